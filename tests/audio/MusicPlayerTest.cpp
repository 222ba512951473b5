#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "AudioTools.h"
#include "TestSupport.h"
#include "audio/MusicPlayer.h"

namespace {

using namespace audio_tools;

// The pieces, each a tone of its own loudness followed by a short silence,
// so that the mix shows which piece played when.
enum Piece { intro, track1, track2, track3, bridge, ending };
const char*      pieceFiles[]      = {"intro.wav", "t1.wav", "t2.wav", "t3.wav", "bridge.wav", "end.wav"};
const double     pieceAmplitudes[] = {0.12, 0.26, 0.40, 0.54, 0.70, 0.88};
constexpr double toneSeconds       = 0.15;
constexpr double gapSeconds        = 0.05;
constexpr double pieceSeconds      = toneSeconds + gapSeconds;
// The player's volume 150 of 255, as the mixer applies it (75 of 128).
constexpr double musicGain = 75.0 / 128.0;

std::vector<double> ExpectedLevels() {
    std::vector<double> levels;
    for (const double amplitude : pieceAmplitudes) {
        levels.push_back(amplitude * musicGain / std::sqrt(2.0));
    }
    return levels;
}

std::string PlaylistText(const std::vector<std::string>& tracks) {
    std::string text = "<intro>intro.wav</intro>\n<end>end.wav</end>\n<bridge>bridge.wav</bridge>\n<playlist>\n";
    for (size_t number = 0; number < tracks.size(); ++number) {
        const std::string tag = std::to_string(number);
        text += "<" + tag + "><filename>" + tracks[number] + "</filename></" + tag + ">\n";
    }
    return text + "</playlist>\n";
}

std::string Names(const std::vector<int>& sequence) {
    static const char* names[] = {"intro", "T1", "T2", "T3", "bridge", "end"};
    std::string        text;
    for (const int piece : sequence) {
        text += std::string(text.empty() ? "" : ", ") + names[piece];
    }
    return "[" + text + "]";
}

// A player on a library that mixes into "mixed.raw" at the pace of a real
// device; the test thread plays the frame loop, calling StartIfIdle.
class MusicPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", (dir.Path() + "/mixed.raw").c_str(), 1);
        unsetenv("SDL_DISKAUDIODELAY");
        ASSERT_TRUE(sound.Init(mixRate, 32)) << "the disk audio driver should always open";
        MakeFolders("music");
        for (int piece = intro; piece <= ending; ++piece) {
            WriteTone(std::string("music/") + pieceFiles[piece], toneSeconds, pieceAmplitudes[piece], gapSeconds);
        }
    }

    void RunFrames(CMusicPlayer& player, double seconds) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (std::chrono::steady_clock::now() < end) {
            player.StartIfIdle();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    // Closes the device, so that everything mixed is on disk.
    std::vector<double> MixedLevels() {
        sound.Close();
        return WindowLevels(ReadFile("mixed.raw"));
    }

    CTempWorkDir  dir;
    CSoundLibrary sound;
};

struct MusicCase {
    const char*              name;
    std::vector<std::string> tracks;
    bool                     wonAtStart;
    int                      pieces;   // how many pieces' time to listen
    std::vector<int>         expected; // what is heard first
    bool                     nothingMore;
    int                      finalState;
    const char*              logged; // text expected in the error log, or null
};

void PrintTo(const MusicCase& music, std::ostream* out) {
    *out << music.name;
}

class MusicOrder : public MusicPlayerTest, public ::testing::WithParamInterface<MusicCase> {};

TEST_P(MusicOrder, PiecesFollowEachOtherAtTheirEnds) {
    const MusicCase& music = GetParam();
    WriteFile("music/playlist.xml", PlaylistText(music.tracks));
    std::vector<int> heard;
    {
        CMusicPlayer player(sound);
        ASSERT_TRUE(player.LoadPlaylist("playlist.xml"));
        EXPECT_EQ(player.GetTracks(), music.tracks);
        if (music.wonAtStart) {
            player.SetLevelWon();
        }
        RunFrames(player, music.pieces * pieceSeconds + (music.nothingMore ? 0.5 : 0.4));
        if (music.nothingMore) {
            EXPECT_EQ(player.GetState(), music.finalState);
            EXPECT_FALSE(player.HasStream());
        }
        const std::vector<double> levels = MixedLevels();
        heard                            = HeardSequence(levels, ExpectedLevels());
        EXPECT_GE(LoudWindows(levels), static_cast<int>(music.expected.size()) * 12) << "the music was not heard";
    }
    if (music.nothingMore) {
        EXPECT_EQ(Names(heard), Names(music.expected));
    } else {
        ASSERT_GE(heard.size(), music.expected.size()) << Names(heard);
        heard.resize(music.expected.size());
        EXPECT_EQ(Names(heard), Names(music.expected));
    }
    if (music.logged != nullptr) {
        EXPECT_NE(ReadFile("log_error.txt").find(music.logged), std::string::npos) << ReadFile("log_error.txt");
    } else {
        EXPECT_FALSE(FileExists("log_error.txt")) << ReadFile("log_error.txt");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Playlists, MusicOrder,
    ::testing::Values(
        MusicCase{"ThreeTracks",
                  {"t1.wav", "t2.wav", "t3.wav"},
                  false,
                  6,
                  {intro, track1, bridge, track2, track3, track1},
                  false,
                  0,
                  nullptr},
        MusicCase{"OneTrack", {"t1.wav"}, false, 5, {intro, track1, bridge, track1, track1}, false, 0, nullptr},
        // The end piece waits for the bridge; then nothing more plays.
        MusicCase{"WonDuringTheIntro",
                  {"t1.wav", "t2.wav", "t3.wav"},
                  true,
                  4,
                  {intro, track1, bridge, ending},
                  true,
                  CMusicPlayer::stateEnd,
                  nullptr},
        MusicCase{"NoTracks", {}, false, 2, {intro, bridge}, true, CMusicPlayer::stateTrack, "names no tracks"},
        MusicCase{
            "MissingFile", {"gone.wav", "t2.wav"}, false, 1, {intro}, true, CMusicPlayer::stateFirstTrack, "gone.wav"}),
    [](const ::testing::TestParamInfo<MusicCase>& info) { return std::string(info.param.name); });

// End notifications that arrive while, or just after, the player is
// destroyed must find nothing (the sanitizer build watches for it).
TEST_F(MusicPlayerTest, NoNotificationReachesADestroyedPlayer) {
    WriteTone("music/blip.wav", 0.02, 0.3);
    WriteFile("music/playlist.xml", "<intro>blip.wav</intro><end>blip.wav</end><bridge>blip.wav</bridge>"
                                    "<playlist><0><filename>blip.wav</filename></0></playlist>");
    for (int round = 0; round < 12; ++round) {
        auto player = std::make_unique<CMusicPlayer>(sound);
        player->LoadPlaylist("playlist.xml");
        player->StartIfIdle();
        std::this_thread::sleep_for(std::chrono::milliseconds(5 * round));
        player.reset();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(sound.IsPlaying(CMusicPlayer::musicChannel)) << "a destroyed player's music went on";
}

// Reading needs no device: a closed library stands for the "sound" setting 0.
class MusicPlaylistTest : public ::testing::Test {
protected:
    void SetUp() override { MakeFolders("music"); }

    CTempWorkDir  dir;
    CSoundLibrary closed;
};

TEST_F(MusicPlaylistTest, TheListEndsAtTheFirstEntryWithoutAFileName) {
    WriteFile("music/playlist.xml", "<intro>i.wav</intro><end>e.wav</end><bridge>b.wav</bridge><playlist>"
                                    "<0><filename>a.wav</filename></0><1><filename>b.wav</filename></1>"
                                    "<2><name>c.wav</name></2><3><filename>d.wav</filename></3></playlist>");
    CMusicPlayer player(closed);
    ASSERT_TRUE(player.LoadPlaylist("playlist.xml"));
    EXPECT_EQ(player.GetTracks(), (std::vector<std::string>{"a.wav", "b.wav"}));
}

TEST_F(MusicPlaylistTest, APlaylistWithoutIntroEndOrBridgeStoresNothing) {
    for (const char* missing : {"intro", "end", "bridge"}) {
        std::string text = "<playlist><0><filename>a.wav</filename></0></playlist>";
        for (const char* key : {"intro", "end", "bridge"}) {
            if (std::string(key) != missing) {
                text = "<" + std::string(key) + ">x.wav</" + key + ">" + text;
            }
        }
        WriteFile("music/playlist.xml", text);
        CMusicPlayer player(closed);
        EXPECT_FALSE(player.LoadPlaylist("playlist.xml")) << "without " << missing;
        EXPECT_TRUE(player.GetTracks().empty()) << "without " << missing;
    }
    CMusicPlayer player(closed);
    EXPECT_FALSE(player.LoadPlaylist("absent.xml"));
    EXPECT_NE(ReadFile("log_error.txt").find("absent.xml"), std::string::npos);
}

// With sound off every call happens and nothing is heard or logged.
TEST_F(MusicPlaylistTest, WithTheLibraryShutDownTheMusicStaysSilentWithoutErrors) {
    WriteFile("music/playlist.xml", PlaylistText({"t1.wav"}));
    CMusicPlayer player(closed);
    ASSERT_TRUE(player.LoadPlaylist("playlist.xml"));
    player.StartIfIdle();
    player.StartIfIdle();
    player.SetLevelWon();
    EXPECT_EQ(player.GetState(), CMusicPlayer::stateIntro);
    EXPECT_FALSE(player.HasStream());
    EXPECT_FALSE(FileExists("log_error.txt"));
}

} // namespace
