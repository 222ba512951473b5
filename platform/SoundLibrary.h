#pragma once

#include <memory>
#include <string>

// Handles of opened streams and loaded samples. A handle is never reused in
// a process, so a stale one is simply unknown to the library.
using SoundStream = int;
using SoundSample = int;

constexpr int noSound = -1;

// Called once when a stream has played to its end, from a thread of the
// library's own (never from inside the audio device's mixing callback), so it
// may call the library, for example to open and play the next stream. The
// buffer is null and the length 0; the result is ignored.
using StreamEndCallback = bool (*)(SoundStream stream, void* buffer, int length, void* userData);

struct CSoundState;
struct Mix_Chunk;

// The game's audio: music streams with an end-of-stream notification, loaded
// samples, numbered channels with volume and loop mode, and the mixer's CPU
// usage. Channels are numbered from 0 to the channel count given to Init
// minus 1; channel 0 is only used when asked for by number (the looping move
// sound), so "any free channel" never takes it. A stream occupies the channel
// it is played on until it ends or is stopped; one stream plays at a time.
//
// Before Init succeeds and after Close, every call does nothing and reports
// failure (false, noSound, -1 or 0). Without an audio device Init fails, and
// the game runs silent. Only one library object can be open at a time.
//
// The calls are safe from any thread; the end-of-stream callback runs
// without any of the library's locks held.
class CSoundLibrary {
public:
    static constexpr int anyFreeChannel = -1;
    static constexpr int maxVolume      = 255;
    // Loop modes of a channel, applied to the samples played on it next.
    static constexpr int loopOff    = 1;
    static constexpr int loopNormal = 2;

    CSoundLibrary();
    // Closes the library if it is open.
    ~CSoundLibrary();
    CSoundLibrary(const CSoundLibrary&)            = delete;
    CSoundLibrary& operator=(const CSoundLibrary&) = delete;

    // Opens the audio device with the mixing rate in Hz and the number of
    // channels; false (and nothing open) without a device, with absurd
    // numbers, or while another library object is open.
    bool Init(int mixRate, int channelCount);
    void Close();
    bool IsOpen() const;

    // Percent of one processor used by the mixing thread over the last
    // quarter second; 0 when closed or before anything was mixed.
    float GetCpuUsage() const;

    // Streams decode from the file while they play (path through CFileGate).
    SoundStream OpenStream(const char* path);
    // Plays the stream from its start on the channel (or anyFreeChannel),
    // stopping whatever stream played before. Returns the channel or -1.
    int  PlayStream(int channel, SoundStream stream);
    bool SetStreamEndCallback(SoundStream stream, StreamEndCallback callback, void* userData);
    // A stopped stream sends no end notification.
    bool StopStream(SoundStream stream);
    bool CloseStream(SoundStream stream);

    // Volume 0 to maxVolume of the channel: of the samples on it and of a
    // stream playing on it. Out-of-range volumes are clamped.
    bool SetVolume(int channel, int volume);

    // Loads the whole file into memory (path through CFileGate). A missing
    // file or folder, a cut file and a format the mixer cannot read are
    // named in the error log once each; a WAV header may claim no more than
    // the file holds.
    SoundSample LoadSample(const char* path);
    bool        FreeSample(SoundSample sample);
    // Plays the sample on the channel, or on a free channel other than 0 for
    // anyFreeChannel, replacing what played there. Returns the channel or -1.
    int  PlaySound(int channel, SoundSample sample);
    bool StopSound(int channel);
    bool SetLoopMode(int channel, int mode);
    bool IsPlaying(int channel) const;

private:
    Mix_Chunk* ReadSample(const char* path);
    void       ReportOnce(const std::string& subject, const char* format, ...) __attribute__((format(printf, 3, 4)));

    std::shared_ptr<CSoundState> state;
};
