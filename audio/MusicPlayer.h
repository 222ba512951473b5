#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/SoundLibrary.h"

// The game's music: an intro, the first track of the playlist, a bridge,
// then the remaining tracks in a loop, and once the level is won the end
// piece, after which the music stops. Each change happens when the sound
// library reports that the piece playing has ended.
//
// Threads: the end-of-stream notification arrives on the sound library's own
// thread and starts the next piece there. Every member is guarded by one
// mutex, which the notification and the main thread's calls take, so the
// two never work on the player at once. The notification reaches the player
// through a process-wide registry of live players rather than a raw pointer:
// the destructor first leaves the registry (waiting for a notification that
// is running) and only then stops its stream, so no late notification can
// touch a destroyed player. Lines for the error log found on that thread are
// kept and written by the next StartIfIdle (or the destructor) on the main
// thread, because the logger belongs to the main thread.
class CMusicPlayer {
public:
    // Which piece plays; the states follow one another as 0, 1, 4, 3, 3, ..., 2.
    enum State { stateIdle = 0, stateIntro = 1, stateEnd = 2, stateTrack = 3, stateFirstTrack = 4 };

    static constexpr int    musicChannel  = 31;
    static constexpr int    musicVolume   = 150; // of the library's 0..255
    static constexpr size_t maxNameLength = 511;

    // Borrows the library; it must outlive the player.
    explicit CMusicPlayer(CSoundLibrary& sound);
    // Stops and closes the piece playing.
    ~CMusicPlayer();
    CMusicPlayer(const CMusicPlayer&)            = delete;
    CMusicPlayer& operator=(const CMusicPlayer&) = delete;

    // Reads "music\<fileName>": "intro", "end" and "bridge" (all three or
    // nothing is stored) and the numbered "filename" entries of "playlist"
    // up to the first missing one. False when nothing was stored.
    bool LoadPlaylist(const char* fileName);
    // Called every frame on the main thread: starts the intro while nothing
    // has started yet, and writes the log lines the notification left.
    void StartIfIdle();
    // Stops the piece playing and starts the one that follows it. A piece
    // that cannot be opened silences the music from then on.
    void PlayNext();
    // The level has been won: the end piece follows the next track that ends.
    void SetLevelWon();

    int                      GetState() const;
    int                      GetTrackIndex() const;
    std::vector<std::string> GetTracks() const;
    // True while a stream is open (playing, or ended and not yet followed).
    bool HasStream() const;

private:
    static bool OnStreamEnd(SoundStream stream, void* buffer, int length, void* userData);
    void        OnStreamEndLocked(SoundStream ended);
    void        PlayNextLocked();
    // The next piece's file name (advancing state and trackIndex), or null
    // when nothing more plays.
    const std::string* ChooseNextPiece();
    void               WritePendingLog();

    CSoundLibrary&           sound;
    const intptr_t           registration; // key of this player in the registry of live players
    mutable std::mutex       lock;
    std::vector<std::string> tracks;
    std::string              intro;
    std::string              end;
    std::string              bridge;
    SoundStream              stream     = noSound;
    int                      trackIndex = -1; // last track started
    int                      state      = stateIdle;
    int                      volume     = musicVolume;
    bool                     levelWon   = false;
    std::vector<std::string> pendingErrors; // for the main thread's logger
};
