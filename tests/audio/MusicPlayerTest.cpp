#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "AudioTools.h"
#include "TestSupport.h"
#include "audio/MusicPlayer.h"

namespace {

using namespace audio_tools;

// Each piece is a tone of its own loudness and a short silence: the mix shows which piece played when.
enum Piece { intro, t1, t2, t3, bridge, ending };
const char*      pieceNames[] = {"intro", "t1", "t2", "t3", "bridge", "end"};
const double     amplitudes[] = {0.12, 0.26, 0.40, 0.54, 0.70, 0.88};
constexpr double pieceSeconds = 0.2;
constexpr double musicGain    = 75.0 / 128.0; // volume 150 of 255 as the mixer applies it

void WritePlaylist(const std::vector<std::string>& tracks) {
    std::string text = "<intro>intro.wav</intro><end>end.wav</end><bridge>bridge.wav</bridge><playlist>";
    for (size_t number = 0; number < tracks.size(); ++number) {
        const std::string tag = std::to_string(number);
        text += "<" + tag + "><filename>" + tracks[number] + "</filename></" + tag + ">";
    }
    MakeFolders("music");
    WriteFile("music/playlist.xml", text + "</playlist>");
}

struct MusicCase {
    const char*              name;
    std::vector<std::string> tracks;
    bool                     wonAtStart;
    std::vector<int>         expected;    // what is heard first
    bool                     nothingMore; // and then silence
    const char*              logged;      // text of the error log, or null
};

class MusicOrder : public CDiskAudioTest, public ::testing::WithParamInterface<MusicCase> {};
using MusicPlayerEnd = CDiskAudioTest;

// The real library mixes while the test thread plays the frame loop, calling StartIfIdle.
TEST_P(MusicOrder, PiecesFollowEachOtherAtTheirEnds) {
    const MusicCase& music = GetParam();
    WritePlaylist(music.tracks);
    for (int piece = intro; piece <= ending; ++piece) {
        WriteTone("music/" + std::string(pieceNames[piece]) + ".wav", 0.15, amplitudes[piece], 0.05);
    }
    CMusicPlayer player(sound);
    ASSERT_TRUE(player.LoadPlaylist("playlist.xml"));
    if (music.wonAtStart) {
        player.SetLevelWon();
    }
    MixFor(dir.Path(), static_cast<double>(music.expected.size()) * pieceSeconds + 0.4, [&] {
        player.StartIfIdle();
        return false;
    });
    EXPECT_EQ(player.HasStream(), !music.nothingMore);
    sound.Close();

    std::vector<double> levels;
    for (const double amplitude : amplitudes) {
        levels.push_back(amplitude * musicGain / std::sqrt(2.0));
    }
    std::vector<int> heard = HeardSequence(ReadFile("mixed.raw"), levels);
    if (!music.nothingMore && heard.size() > music.expected.size()) {
        heard.resize(music.expected.size());
    }
    EXPECT_EQ(heard, music.expected) << "0 intro, 1-3 tracks, 4 bridge, 5 end";
    const std::string log = ReadFile("log_error.txt");
    EXPECT_EQ(music.logged != nullptr && log.find(music.logged) != std::string::npos, !log.empty()) << log;
}

INSTANTIATE_TEST_SUITE_P(
    Playlists, MusicOrder,
    ::testing::Values(
        MusicCase{
            "ThreeTracks", {"t1.wav", "t2.wav", "t3.wav"}, false, {intro, t1, bridge, t2, t3, t1}, false, nullptr},
        MusicCase{"OneTrack", {"t1.wav"}, false, {intro, t1, bridge, t1, t1}, false, nullptr},
        MusicCase{"WonDuringTheIntro", {"t1.wav", "t2.wav"}, true, {intro, t1, bridge, ending}, true, nullptr},
        MusicCase{"NoTracks", {}, false, {intro, bridge}, true, "names no tracks"},
        MusicCase{"MissingFile", {"gone.wav", "t2.wav"}, false, {intro}, true, "gone.wav"}),
    [](const ::testing::TestParamInfo<MusicCase>& info) { return std::string(info.param.name); });

// End notifications that arrive while, or just after, a player is destroyed must find nothing (the sanitizer
// build watches for it).
TEST_F(MusicPlayerEnd, NoNotificationReachesADestroyedPlayer) {
    WritePlaylist({"blip.wav"});
    for (const char* name : {"intro", "bridge", "end", "blip"}) {
        WriteTone("music/" + std::string(name) + ".wav", 0.02, 0.3);
    }
    for (int round = 0; round < 12; ++round) {
        auto player = std::make_unique<CMusicPlayer>(sound);
        player->LoadPlaylist("playlist.xml");
        player->StartIfIdle();
        std::this_thread::sleep_for(std::chrono::milliseconds(5 * round));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(sound.IsPlaying(CMusicPlayer::musicChannel)) << "a destroyed player's music went on";
}

// The list ends at the first entry without a file name; without "intro", "end" or "bridge" nothing is stored.
// With the library shut down (sound off) the player goes through its calls silently.
TEST(MusicPlayerTest, PlaylistsAreReadUpToTheFirstGap) {
    MakeFolders("music");
    WriteFile("music/gap.xml", "<intro>i</intro><end>e</end><bridge>b</bridge><playlist><0><filename>a</filename>"
                               "</0><1><filename>b</filename></1><2><name>c</name></2><3><filename>d</filename>"
                               "</3></playlist>");
    WriteFile("music/no_end.xml", "<intro>i</intro><bridge>b</bridge><playlist><0><filename>a</filename></0>");
    CSoundLibrary closed;
    CMusicPlayer  player(closed);
    EXPECT_FALSE(player.LoadPlaylist("no_end.xml"));
    EXPECT_TRUE(player.GetTracks().empty());
    ASSERT_TRUE(player.LoadPlaylist("gap.xml"));
    EXPECT_EQ(player.GetTracks(), (std::vector<std::string>{"a", "b"}));
    player.StartIfIdle();
    player.StartIfIdle();
    EXPECT_EQ(player.GetState(), CMusicPlayer::stateIntro);
    EXPECT_FALSE(player.HasStream());
    EXPECT_EQ(ReadFile("log_error.txt").find("cannot open"), std::string::npos) << "silence was expected";
}

} // namespace
