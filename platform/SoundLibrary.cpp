#include "platform/SoundLibrary.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>
#include <pthread.h>
#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/DataPath.h"
#include "platform/ErrorReport.h"
#include "platform/FileGate.h"

namespace {

constexpr int    minMixRate           = 8000;
constexpr int    maxMixRate           = 192000;
constexpr int    maxChannelCount      = 256;
constexpr int    outputChannels       = 2;    // stereo
constexpr int    mixBufferFrames      = 1024; // about 23 ms at 44100 Hz
constexpr int    reservedChannel      = 0;    // only played when asked for by number
constexpr double cpuWindowSeconds     = 0.25;
constexpr char   notifierThreadName[] = "SoundNotify";

double ClockSeconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Library volumes run to 255, the mixer's to MIX_MAX_VOLUME (128).
int MixerVolume(int volume) {
    return std::clamp(volume, 0, CSoundLibrary::maxVolume) * MIX_MAX_VOLUME / CSoundLibrary::maxVolume;
}

} // namespace

struct CStreamRecord {
    Mix_Music*        music           = nullptr;
    StreamEndCallback endCallback     = nullptr;
    void*             userData        = nullptr;
    bool              endedUnnotified = false; // ended before a callback was set
};

struct CChannelRecord {
    int volume   = CSoundLibrary::maxVolume;
    int loopMode = CSoundLibrary::loopOff;
};

// Everything an open library holds. Two locks: apiLock serialises the public
// calls (and so every use of the mixer's objects); eventLock guards what the
// mixer's end-of-music hook and the notifier thread touch. The hook runs with
// the mixer's audio lock held, so eventLock is never held while calling the
// mixer, and apiLock is never taken while holding eventLock.
struct CSoundState {
    mutable std::mutex                   apiLock;
    std::mutex                           eventLock;
    std::condition_variable              eventSignal;
    bool                                 open = false;
    std::vector<CChannelRecord>          channels;
    std::map<SoundStream, CStreamRecord> streams; // changed under both locks
    std::map<SoundSample, Mix_Chunk*>    samples;
    SoundStream                          playingStream = noSound; // eventLock
    int                                  streamChannel = -1;      // eventLock
    std::deque<SoundStream>              endedStreams;            // eventLock
    bool                                 stopNotifier = false;    // eventLock
    std::thread                          notifier;
    int                                  nextHandle = 1;

    // Written by the mixing thread after each mixed buffer.
    std::atomic<float> cpuUsage{0.0f};
    double             windowStartWall = 0.0;
    double             windowStartCpu  = 0.0;

    int generation = 0; // of the running notifier; eventLock

    // Sound files and folders already named in the error log (apiLock):
    // every unit loads its samples, and a damaged file is named once.
    std::set<std::string> reported;

    bool IsChannel(int channel) const { return channel >= 0 && channel < static_cast<int>(channels.size()); }

    // The first idle channel after the reserved one, other than `excluded`;
    // asks the mixer, so it is called without eventLock.
    int FindFreeChannel(int excluded) const {
        for (int channel = reservedChannel + 1; channel < static_cast<int>(channels.size()); ++channel) {
            if (channel != excluded && Mix_Playing(channel) == 0) {
                return channel;
            }
        }
        return CSoundLibrary::anyFreeChannel;
    }
};

namespace {

// The mixer's end-of-music hook has no user argument; at most one library is
// open, and this points at its state while the hook is installed.
std::atomic<CSoundState*> hookedState{nullptr};
std::mutex                openLibraryLock;
bool                      libraryOpen = false;

// Runs with the audio lock held, on the mixing thread (end of the data) or on
// the thread that halts the music; it only queues the event.
void OnMusicFinished() {
    CSoundState* state = hookedState.load();
    if (state == nullptr) {
        return;
    }
    std::lock_guard<std::mutex> guard(state->eventLock);
    if (state->playingStream == noSound) {
        return; // stopped on purpose
    }
    state->endedStreams.push_back(state->playingStream);
    state->playingStream = noSound;
    state->streamChannel = -1;
    state->eventSignal.notify_one();
}

// After each mixed buffer, on the mixing thread: its processor time over wall
// time, averaged over a short window.
void OnBufferMixed(void* userData, Uint8*, int) {
    CSoundState* state = static_cast<CSoundState*>(userData);
    const double wall  = ClockSeconds(CLOCK_MONOTONIC);
    const double cpu   = ClockSeconds(CLOCK_THREAD_CPUTIME_ID);
    if (state->windowStartWall == 0.0) {
        state->windowStartWall = wall;
        state->windowStartCpu  = cpu;
        return;
    }
    const double elapsed = wall - state->windowStartWall;
    if (elapsed >= cpuWindowSeconds) {
        state->cpuUsage.store(static_cast<float>(100.0 * (cpu - state->windowStartCpu) / elapsed));
        state->windowStartWall = wall;
        state->windowStartCpu  = cpu;
    }
}

// A notifier left running by a Close from inside a callback ends when it sees
// a newer generation, so a quick re-Init never has two notifiers.
void RunNotifier(std::shared_ptr<CSoundState> state, int generation) {
    pthread_setname_np(pthread_self(), notifierThreadName);
    // The callbacks call the sound library, which keeps per-thread data
    // (its error text, for one) for threads it did not start until told
    // that the thread ends.
    struct CThreadDataRelease {
        ~CThreadDataRelease() { SDL_TLSCleanup(); }
    } releaseThreadData;
    std::unique_lock<std::mutex> lock(state->eventLock);
    for (;;) {
        const auto stopping = [&] { return state->stopNotifier || state->generation != generation; };
        state->eventSignal.wait(lock, [&] { return stopping() || !state->endedStreams.empty(); });
        if (stopping()) {
            return;
        }
        const SoundStream stream = state->endedStreams.front();
        state->endedStreams.pop_front();
        auto record = state->streams.find(stream);
        if (record == state->streams.end()) {
            continue; // closed by its owner meanwhile
        }
        if (record->second.endCallback == nullptr) {
            record->second.endedUnnotified = true;
            continue;
        }
        const StreamEndCallback callback = record->second.endCallback;
        void* const             userData = record->second.userData;
        lock.unlock();
        callback(stream, nullptr, 0, userData);
        lock.lock();
    }
}

// The file as an SDL source that closes it when closed itself.
SDL_RWops* OpenThroughGate(const char* path, FileKind kind) {
    FILE* file = CFileGate::OpenForReading(path, kind);
    if (file == nullptr) {
        return nullptr;
    }
    SDL_RWops* source = SDL_RWFromFP(file, SDL_TRUE);
    if (source == nullptr) {
        fclose(file);
    }
    return source;
}

bool OpenDevice(int mixRate, int channelCount) {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        ReportInfo("CSoundLibrary::Init: no audio (%s); the game runs silent", SDL_GetError());
        return false;
    }
    Mix_Init(MIX_INIT_OGG);
    if (Mix_OpenAudio(mixRate, AUDIO_S16SYS, outputChannels, mixBufferFrames) != 0) {
        ReportInfo("CSoundLibrary::Init: no audio device (%s); the game runs silent", Mix_GetError());
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(channelCount);
    return true;
}

uint32_t LittleEndian32(const std::vector<uint8_t>& bytes, size_t at) {
    return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
           static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

void PutLittleEndian32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

// The decoder reserves what a WAV header claims before it reads, so a header
// claiming gigabytes would reserve them. Every RIFF length is cut to what the
// file holds behind it; true when one had to be (a cut file or a lying header).
bool BoundWaveLengths(std::vector<uint8_t>& bytes) {
    constexpr size_t headerBytes = 12, chunkHeaderBytes = 8;
    if (bytes.size() < headerBytes || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        return false;
    }
    bool         cut  = false;
    const size_t held = bytes.size() - chunkHeaderBytes;
    if (LittleEndian32(bytes, 4) > held) {
        PutLittleEndian32(bytes, 4, static_cast<uint32_t>(held));
        cut = true;
    }
    for (size_t at = headerBytes; at + chunkHeaderBytes <= bytes.size();) {
        const size_t room = bytes.size() - at - chunkHeaderBytes;
        if (LittleEndian32(bytes, at + 4) > room) {
            PutLittleEndian32(bytes, at + 4, static_cast<uint32_t>(room));
            cut = true;
        }
        at += chunkHeaderBytes + LittleEndian32(bytes, at + 4) + (LittleEndian32(bytes, at + 4) & 1);
    }
    return cut;
}

// The game path's folder ("sounds\\shot.wav" gives "sounds"); empty for none.
std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool FolderExists(const std::string& folder) {
    struct stat status {};
    return folder.empty() ||
           (stat(CDataPath::Resolve(folder.c_str()).c_str(), &status) == 0 && S_ISDIR(status.st_mode));
}

} // namespace

CSoundLibrary::CSoundLibrary() : state(std::make_shared<CSoundState>()) {}

CSoundLibrary::~CSoundLibrary() {
    Close();
}

bool CSoundLibrary::Init(int mixRate, int channelCount) {
    if (mixRate < minMixRate || mixRate > maxMixRate || channelCount < 1 || channelCount > maxChannelCount) {
        ReportError("CSoundLibrary::Init: unusable mixing rate %d Hz or channel count %d", mixRate, channelCount);
        return false;
    }
    std::lock_guard<std::mutex> openGuard(openLibraryLock);
    std::lock_guard<std::mutex> guard(state->apiLock);
    if (libraryOpen || !OpenDevice(mixRate, channelCount)) {
        return false;
    }
    libraryOpen = true;
    state->channels.assign(channelCount, CChannelRecord());
    state->cpuUsage.store(0.0f);
    state->windowStartWall = 0.0;
    int generation         = 0;
    {
        std::lock_guard<std::mutex> events(state->eventLock);
        generation           = ++state->generation;
        state->open          = true;
        state->stopNotifier  = false;
        state->playingStream = noSound;
        state->streamChannel = -1;
        state->endedStreams.clear();
    }
    state->notifier = std::thread(RunNotifier, state, generation);
    hookedState.store(state.get());
    Mix_HookMusicFinished(OnMusicFinished);
    Mix_SetPostMix(OnBufferMixed, state.get());
    return true;
}

void CSoundLibrary::Close() {
    {
        // From here on every call fails; calls already inside finish first.
        std::lock_guard<std::mutex> guard(state->apiLock);
        if (!state->open) {
            return;
        }
        std::lock_guard<std::mutex> events(state->eventLock);
        state->open         = false;
        state->stopNotifier = true;
        state->eventSignal.notify_all();
    }
    // The notifier may be inside a callback that is calling the library; it
    // is never waited for while apiLock is held.
    if (state->notifier.get_id() == std::this_thread::get_id()) {
        state->notifier.detach(); // Close called from an end callback
    } else if (state->notifier.joinable()) {
        state->notifier.join();
    }
    std::lock_guard<std::mutex> openGuard(openLibraryLock);
    std::lock_guard<std::mutex> guard(state->apiLock);
    Mix_HookMusicFinished(nullptr);
    Mix_SetPostMix(nullptr, nullptr);
    hookedState.store(nullptr);
    Mix_HaltMusic();
    Mix_HaltChannel(-1);
    std::map<SoundStream, CStreamRecord> streams;
    {
        std::lock_guard<std::mutex> events(state->eventLock);
        streams.swap(state->streams);
        state->endedStreams.clear();
        state->playingStream = noSound;
        state->streamChannel = -1;
    }
    for (auto& stream : streams) {
        Mix_FreeMusic(stream.second.music);
    }
    for (auto& sample : state->samples) {
        Mix_FreeChunk(sample.second);
    }
    state->samples.clear();
    state->channels.clear();
    state->cpuUsage.store(0.0f);
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    libraryOpen = false;
}

bool CSoundLibrary::IsOpen() const {
    std::lock_guard<std::mutex> guard(state->apiLock);
    return state->open;
}

float CSoundLibrary::GetCpuUsage() const {
    std::lock_guard<std::mutex> guard(state->apiLock);
    return state->open ? state->cpuUsage.load() : 0.0f;
}

SoundStream CSoundLibrary::OpenStream(const char* path) {
    std::lock_guard<std::mutex> guard(state->apiLock);
    if (!state->open || path == nullptr) {
        return noSound;
    }
    // The stream keeps reading the file while it plays and closes it when freed.
    SDL_RWops* source = OpenThroughGate(path, FileKind::music);
    if (source == nullptr) {
        return noSound;
    }
    Mix_Music* music = Mix_LoadMUS_RW(source, 1);
    if (music == nullptr) {
        return noSound;
    }
    std::lock_guard<std::mutex> events(state->eventLock);
    const SoundStream           stream = state->nextHandle++;
    state->streams[stream].music       = music;
    return stream;
}

int CSoundLibrary::PlayStream(int channel, SoundStream stream) {
    std::lock_guard<std::mutex> guard(state->apiLock);
    if (!state->open || (channel != anyFreeChannel && !state->IsChannel(channel))) {
        return -1;
    }
    Mix_Music* music = nullptr;
    {
        std::lock_guard<std::mutex> events(state->eventLock);
        auto                        record = state->streams.find(stream);
        if (record == state->streams.end()) {
            return -1;
        }
        music = record->second.music;
        // Whatever played before is replaced, not ended: no notification.
        state->playingStream = noSound;
        state->streamChannel = -1;
    }
    Mix_HaltMusic();
    if (channel == anyFreeChannel) {
        channel = state->FindFreeChannel(-1);
        if (channel == anyFreeChannel) {
            return -1;
        }
    }
    Mix_HaltChannel(channel);
    Mix_VolumeMusic(MixerVolume(state->channels[channel].volume));
    {
        std::lock_guard<std::mutex> events(state->eventLock);
        state->playingStream = stream;
        state->streamChannel = channel;
    }
    if (Mix_PlayMusic(music, 0) != 0) {
        std::lock_guard<std::mutex> events(state->eventLock);
        state->playingStream = noSound;
        state->streamChannel = -1;
        return -1;
    }
    return channel;
}

bool CSoundLibrary::SetStreamEndCallback(SoundStream stream, StreamEndCallback callback, void* userData) {
    std::lock_guard<std::mutex> guard(state->apiLock);
    if (!state->open) {
        return false;
    }
    std::lock_guard<std::mutex> events(state->eventLock);
    auto                        record = state->streams.find(stream);
    if (record == state->streams.end()) {
        return false;
    }
    record->second.endCallback = callback;
    record->second.userData    = userData;
    if (record->second.endedUnnotified && callback != nullptr) {
        // A short stream may end before its owner registered the callback.
        record->second.endedUnnotified = false;
        state->endedStreams.push_back(stream);
        state->eventSignal.notify_one();
    }
    return true;
}

bool CSoundLibrary::StopStream(SoundStream stream) {
    std::lock_guard<std::mutex> guard(state->apiLock);
    if (!state->open) {
        return false;
    }
    bool wasPlaying = false;
    {
        std::lock_guard<std::mutex> events(state->eventLock);
        if (state->streams.count(stream) == 0) {
            return false;
        }
        wasPlaying = state->playingStream == stream;
        if (wasPlaying) {
            state->playingStream = noSound;
            state->streamChannel = -1;
        }
        auto& ended = state->endedStreams;
        ended.erase(std::remove(ended.begin(), ended.end(), stream), ended.end());
        state->streams[stream].endedUnnotified = false;
    }
    if (wasPlaying) {
        Mix_HaltMusic();
    }
    return true;
}

bool CSoundLibrary::CloseStream(SoundStream stream) {
    std::lock_guard<std::mutex> guard(state->apiLock);
    if (!state->open) {
        return false;
    }
    Mix_Music* music = nullptr;
    {
        std::lock_guard<std::mutex> events(state->eventLock);
        auto                        record = state->streams.find(stream);
        if (record == state->streams.end()) {
            return false;
        }
        music = record->second.music;
        state->streams.erase(record);
        if (state->playingStream == stream) {
            state->playingStream = noSound;
            state->streamChannel = -1;
        }
        auto& ended = state->endedStreams;
        ended.erase(std::remove(ended.begin(), ended.end(), stream), ended.end());
    }
    Mix_FreeMusic(music); // halts it first when it is the one playing
    return true;
}

bool CSoundLibrary::SetVolume(int channel, int volume) {
    std::lock_guard<std::mutex> guard(state->apiLock);
    if (!state->open || !state->IsChannel(channel)) {
        return false;
    }
    state->channels[channel].volume = std::clamp(volume, 0, maxVolume);
    Mix_Volume(channel, MixerVolume(volume));
    bool streamOnChannel = false;
    {
        std::lock_guard<std::mutex> events(state->eventLock);
        streamOnChannel = state->streamChannel == channel;
    }
    if (streamOnChannel) {
        Mix_VolumeMusic(MixerVolume(volume));
    }
    return true;
}

SoundSample CSoundLibrary::LoadSample(const char* path) {
    std::lock_guard<std::mutex> guard(state->apiLock);
    if (!state->open || path == nullptr) {
        return noSound;
    }
    Mix_Chunk* chunk = ReadSample(path);
    if (chunk == nullptr) {
        return noSound;
    }
    const SoundSample sample = state->nextHandle++;
    state->samples[sample]   = chunk;
    return sample;
}

// Called with apiLock held. A file the gate refuses is named by the gate.
Mix_Chunk* CSoundLibrary::ReadSample(const char* path) {
    std::vector<uint8_t> bytes;
    bool                 missing = false;
    if (!CFileGate::ReadWholeFile(path, FileKind::sound, bytes, &missing)) {
        const std::string folder = FolderOf(path);
        if (missing && !FolderExists(folder)) {
            ReportOnce(folder, "CSoundLibrary::LoadSample: the sound folder %s is missing; its sounds stay silent",
                       folder.c_str());
        } else if (missing) {
            ReportOnce(path, "CSoundLibrary::LoadSample: cannot find %s; it stays silent", path);
        }
        return nullptr;
    }
    if (BoundWaveLengths(bytes)) {
        ReportOnce(path, "CSoundLibrary::LoadSample: %s is cut short or claims more than it holds; what it holds plays",
                   path);
    }
    Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
    if (chunk == nullptr) {
        ReportOnce(std::string("format:") + path, "CSoundLibrary::LoadSample: %s is no sound the mixer reads (%s)",
                   path, Mix_GetError());
    }
    return chunk;
}

void CSoundLibrary::ReportOnce(const std::string& subject, const char* format, ...) {
    if (!state->reported.insert(subject).second) {
        return;
    }
    char    line[1024];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    ReportError("%s", line);
}

bool CSoundLibrary::FreeSample(SoundSample sample) {
    std::lock_guard<std::mutex> guard(state->apiLock);
    auto                        record = state->samples.find(sample);
    if (!state->open || record == state->samples.end()) {
        return false;
    }
    Mix_Chunk* chunk = record->second;
    state->samples.erase(record);
    // A chunk must not be freed while a channel still mixes it.
    for (int channel = 0; channel < static_cast<int>(state->channels.size()); ++channel) {
        if (Mix_GetChunk(channel) == chunk) {
            Mix_HaltChannel(channel);
        }
    }
    Mix_FreeChunk(chunk);
    return true;
}

int CSoundLibrary::PlaySound(int channel, SoundSample sample) {
    std::lock_guard<std::mutex> guard(state->apiLock);
    auto                        record = state->samples.find(sample);
    if (!state->open || record == state->samples.end() || (channel != anyFreeChannel && !state->IsChannel(channel))) {
        return -1;
    }
    int streamChannel = -1;
    {
        std::lock_guard<std::mutex> events(state->eventLock);
        streamChannel = state->streamChannel;
    }
    if (channel == anyFreeChannel) {
        channel = state->FindFreeChannel(streamChannel);
        if (channel == anyFreeChannel) {
            return -1;
        }
    }
    bool stopStream = false;
    if (channel == streamChannel) {
        std::lock_guard<std::mutex> events(state->eventLock);
        stopStream           = state->playingStream != noSound;
        state->playingStream = noSound;
        state->streamChannel = -1;
    }
    if (stopStream) {
        Mix_HaltMusic();
    }
    const int loops = state->channels[channel].loopMode == loopNormal ? -1 : 0;
    Mix_Volume(channel, MixerVolume(state->channels[channel].volume));
    return Mix_PlayChannel(channel, record->second, loops) == channel ? channel : -1;
}

bool CSoundLibrary::StopSound(int channel) {
    std::lock_guard<std::mutex> guard(state->apiLock);
    if (!state->open || !state->IsChannel(channel)) {
        return false;
    }
    bool streamOnChannel = false;
    {
        std::lock_guard<std::mutex> events(state->eventLock);
        streamOnChannel = state->streamChannel == channel;
        if (streamOnChannel) {
            state->playingStream = noSound;
            state->streamChannel = -1;
        }
    }
    if (streamOnChannel) {
        Mix_HaltMusic();
    }
    Mix_HaltChannel(channel);
    return true;
}

bool CSoundLibrary::SetLoopMode(int channel, int mode) {
    std::lock_guard<std::mutex> guard(state->apiLock);
    if (!state->open || !state->IsChannel(channel) || (mode != loopOff && mode != loopNormal)) {
        return false;
    }
    state->channels[channel].loopMode = mode;
    return true;
}

bool CSoundLibrary::IsPlaying(int channel) const {
    std::lock_guard<std::mutex> guard(state->apiLock);
    if (!state->open || !state->IsChannel(channel)) {
        return false;
    }
    bool streamOnChannel = false;
    {
        std::lock_guard<std::mutex> events(state->eventLock);
        streamOnChannel = state->streamChannel == channel;
    }
    return Mix_Playing(channel) != 0 || (streamOnChannel && Mix_PlayingMusic() != 0);
}
