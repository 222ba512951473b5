#include "audio/MusicPlayer.h"

#include <map>

#include "core/Logger.h"
#include "core/XmlFile.h"

namespace {

// Players that may still receive notifications, by registration key. The
// notification holds the registry's lock while it works on a player, and a
// player leaves the registry before it is destroyed. Created once and never
// destroyed, so a notification at process exit still finds a valid lock.
struct CPlayerRegistry {
    std::mutex                        lock;
    std::map<intptr_t, CMusicPlayer*> players;
    intptr_t                          nextKey = 1;
};

CPlayerRegistry& Registry() {
    static CPlayerRegistry* registry = new CPlayerRegistry();
    return *registry;
}

intptr_t Register(CMusicPlayer* player) {
    CPlayerRegistry&            registry = Registry();
    std::lock_guard<std::mutex> guard(registry.lock);
    const intptr_t              key = registry.nextKey++;
    registry.players[key]           = player;
    return key;
}

std::string MusicPath(const std::string& fileName) {
    return "music\\" + fileName;
}

// Reads the numbered tracks of the open playlist file up to the first entry
// that is missing or has no "filename".
std::vector<std::string> ReadTracks(CXmlFile& xml) {
    std::vector<std::string> tracks;
    if (!xml.EnterElement("playlist")) {
        return tracks;
    }
    for (int number = 0; xml.EnterSubElement(number); ++number) {
        char fileName[CMusicPlayer::maxNameLength + 1];
        if (!xml.ReadString("filename", fileName, sizeof fileName)) {
            break;
        }
        tracks.emplace_back(fileName);
        xml.LeaveSubElement();
    }
    xml.LeaveElement();
    return tracks;
}

} // namespace

CMusicPlayer::CMusicPlayer(CSoundLibrary& soundLibrary) : sound(soundLibrary), registration(Register(this)) {}

CMusicPlayer::~CMusicPlayer() {
    {
        CPlayerRegistry&            registry = Registry();
        std::lock_guard<std::mutex> guard(registry.lock);
        registry.players.erase(registration);
    }
    std::lock_guard<std::mutex> guard(lock);
    if (stream != noSound) {
        sound.StopStream(stream);
        sound.CloseStream(stream);
        stream = noSound;
    }
    WritePendingLog();
}

bool CMusicPlayer::LoadPlaylist(const char* fileName) {
    if (fileName == nullptr) {
        return false;
    }
    const std::string path = MusicPath(fileName);
    CXmlFile          xml;
    if (!xml.Open(path.c_str(), 0)) {
        GetLogger()->LogError("CMusicPlayer::LoadPlaylist: cannot read %s; no music plays", path.c_str());
        return false;
    }
    char introName[maxNameLength + 1], endName[maxNameLength + 1], bridgeName[maxNameLength + 1];
    if (!xml.ReadString("intro", introName, sizeof introName) || !xml.ReadString("end", endName, sizeof endName) ||
        !xml.ReadString("bridge", bridgeName, sizeof bridgeName)) {
        GetLogger()->LogError("CMusicPlayer::LoadPlaylist: %s lacks \"intro\", \"end\" or \"bridge\"; no music plays",
                              path.c_str());
        return false;
    }
    std::vector<std::string> playlist = ReadTracks(xml);
    xml.Close();
    if (playlist.empty()) {
        GetLogger()->LogError("CMusicPlayer::LoadPlaylist: %s names no tracks; the music stops after the bridge",
                              path.c_str());
    }
    std::lock_guard<std::mutex> guard(lock);
    tracks = std::move(playlist);
    intro  = introName;
    end    = endName;
    bridge = bridgeName;
    return true;
}

void CMusicPlayer::StartIfIdle() {
    std::lock_guard<std::mutex> guard(lock);
    if (state == stateIdle) {
        trackIndex = -1;
        PlayNextLocked();
    }
    WritePendingLog();
}

void CMusicPlayer::PlayNext() {
    std::lock_guard<std::mutex> guard(lock);
    PlayNextLocked();
}

void CMusicPlayer::SetLevelWon() {
    std::lock_guard<std::mutex> guard(lock);
    levelWon = true;
}

bool CMusicPlayer::OnStreamEnd(SoundStream ended, void*, int, void* userData) {
    CPlayerRegistry&            registry = Registry();
    std::lock_guard<std::mutex> registryGuard(registry.lock);
    auto                        player = registry.players.find(reinterpret_cast<intptr_t>(userData));
    if (player != registry.players.end()) {
        player->second->OnStreamEndLocked(ended);
    }
    return true;
}

void CMusicPlayer::OnStreamEndLocked(SoundStream ended) {
    std::lock_guard<std::mutex> guard(lock);
    // A notification for a stream this player has already replaced is late.
    if (ended == stream) {
        PlayNextLocked();
    }
}

void CMusicPlayer::PlayNextLocked() {
    if (stream != noSound) {
        sound.StopStream(stream);
        sound.CloseStream(stream);
        stream = noSound;
    }
    const std::string* piece = ChooseNextPiece();
    if (piece == nullptr) {
        return;
    }
    const std::string path = MusicPath(*piece);
    stream                 = sound.OpenStream(path.c_str());
    if (stream == noSound) {
        // No end notification can come now: the music stays silent. With
        // the library shut down (sound off) that is expected, not an error.
        if (sound.IsOpen()) {
            pendingErrors.push_back("CMusicPlayer::PlayNext: cannot open " + path + "; the music stops");
        }
        return;
    }
    sound.PlayStream(musicChannel, stream);
    sound.SetStreamEndCallback(stream, OnStreamEnd, reinterpret_cast<void*>(registration));
    sound.SetVolume(musicChannel, volume);
}

// Without tracks the intro is followed by the bridge and then by silence.
const std::string* CMusicPlayer::ChooseNextPiece() {
    switch (state) {
    case stateIdle:
        state = stateIntro;
        return &intro;
    case stateIntro:
        if (tracks.empty()) {
            state = stateTrack;
            return &bridge;
        }
        trackIndex = 0;
        state      = stateFirstTrack;
        return &tracks[trackIndex];
    case stateFirstTrack:
        state = stateTrack;
        return &bridge;
    case stateTrack:
        if (levelWon) {
            state = stateEnd;
            return &end;
        }
        if (tracks.empty()) {
            return nullptr;
        }
        trackIndex = trackIndex + 1 >= static_cast<int>(tracks.size()) ? 0 : trackIndex + 1;
        return &tracks[trackIndex];
    default:
        return nullptr;
    }
}

void CMusicPlayer::WritePendingLog() {
    for (const std::string& line : pendingErrors) {
        GetLogger()->LogError("%s", line.c_str());
    }
    pendingErrors.clear();
}

int CMusicPlayer::GetState() const {
    std::lock_guard<std::mutex> guard(lock);
    return state;
}

int CMusicPlayer::GetTrackIndex() const {
    std::lock_guard<std::mutex> guard(lock);
    return trackIndex;
}

std::vector<std::string> CMusicPlayer::GetTracks() const {
    std::lock_guard<std::mutex> guard(lock);
    return tracks;
}

bool CMusicPlayer::HasStream() const {
    std::lock_guard<std::mutex> guard(lock);
    return stream != noSound;
}
