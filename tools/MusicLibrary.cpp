#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "tools/ContentCatalog.h"
#include "tools/ContentGenerator.h"
#include "tools/ContentStages.h"
#include "tools/Random.h"
#include "tools/Synth.h"

// The music in "music": each piece is a four-chord progression repeated for
// at least half a minute, with a pad, a bass line, a melody drawn from the
// chord and scale tones by a seeded walk, and (in the marches) drums. Every
// piece closes on its tonic and fades, so it sits well before whatever the
// playlist plays next and on repeat.
namespace {

constexpr int    beatsPerBar  = 4;
constexpr double closingHold  = 3.5; // seconds of the final tonic chord
constexpr double musicPeak    = 0.8;
constexpr double minimumMusic = 32.0;

const int majorScale[7] = {0, 2, 4, 5, 7, 9, 11};
const int minorScale[7] = {0, 2, 3, 5, 7, 8, 10};

struct Piece {
    const char*      fileName;
    double           bpm;
    int              root; // MIDI note of the tonic, bass octave
    bool             minor;
    std::vector<int> progression; // scale degrees of the chords, one per bar
    bool             drums;
    double           melodyDensity; // chance of a note on each eighth
    double           brightness;    // of the melody voice
    uint64_t         seed;
};

const Piece pieces[] = {
    {"intro.wav", 76, 38, true, {0, 5, 2, 6}, false, 0.55, 0.5, 101},
    {"advance.wav", 112, 40, true, {0, 5, 2, 6}, true, 0.75, 0.6, 102},
    {"high_ground.wav", 92, 45, true, {0, 3, 6, 2}, true, 0.6, 0.55, 103},
    {"river_crossing.wav", 104, 43, false, {0, 4, 5, 3}, true, 0.7, 0.6, 104},
    {"interlude.wav", 70, 41, false, {0, 5, 3, 4}, false, 0.4, 0.45, 105},
    {"victory.wav", 100, 36, false, {0, 3, 4, 0}, true, 0.8, 0.75, 106},
};

double Frequency(int midi) {
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

class CComposer {
public:
    explicit CComposer(const Piece& piece)
        : piece(piece), beat(60.0 / piece.bpm), bar(beat * beatsPerBar), random(piece.seed), bars(BarCount()),
          synth(bars * bar + closingHold) {}

    std::vector<uint8_t> Compose() {
        for (int b = 0; b < bars; ++b) {
            const int    degree = piece.progression[b % piece.progression.size()];
            const double start  = b * bar;
            Pad(start, bar + 0.25, degree, 0.09);
            Bass(start, degree);
            Melody(start, degree, b);
            if (piece.drums) {
                Drums(start, b);
            }
        }
        const double end = bars * bar;
        Pad(end, closingHold, 0, 0.12);
        synth.AddTone(end, closingHold, Frequency(piece.root), 0.25, 4, 0.5, 0.01, 2.5, 1.5);
        synth.FadeIn(0.3);
        synth.FadeOut(2.0);
        return EncodeWav(synth.Finish(musicPeak), CSynth::sampleRate);
    }

private:
    int BarCount() const {
        const int perCycle = static_cast<int>(piece.progression.size());
        int       count    = static_cast<int>(std::ceil((minimumMusic - closingHold) / bar));
        return (count + perCycle - 1) / perCycle * perCycle;
    }

    // MIDI note of scale step `step` above the tonic (steps may exceed 7).
    int ScaleNote(int step) const {
        const int* scale  = piece.minor ? minorScale : majorScale;
        const int  octave = static_cast<int>(std::floor(step / 7.0));
        return piece.root + 12 * octave + scale[step - 7 * octave];
    }

    void Pad(double start, double length, int degree, double amplitude) {
        for (int voice = 0; voice < 3; ++voice) {
            const int note = ScaleNote(degree + 2 * voice + 7);
            synth.AddTone(start, length, Frequency(note), amplitude, 3, 0.45, 0.35, 0.45);
        }
    }

    void Bass(double start, int degree) {
        const int note = ScaleNote(degree);
        for (int b = 0; b < beatsPerBar; ++b) {
            const int pitch = (b == 2) ? ScaleNote(degree + 4) : note;
            synth.AddTone(start + b * beat, beat * 0.9, Frequency(pitch), 0.22, 4, 0.55, 0.01, 0.08, 0.5);
        }
    }

    // Eighth notes two octaves up: chord tones on the strong beats, steps of
    // the scale between them; the last bar of each cycle rests on the tonic.
    void Melody(double start, int degree, int barIndex) {
        const bool cadence = barIndex % piece.progression.size() == piece.progression.size() - 1;
        for (int eighth = 0; eighth < 2 * beatsPerBar; ++eighth) {
            const bool strong = eighth % 4 == 0;
            if (!strong && random.Uniform() > piece.melodyDensity) {
                continue;
            }
            if (strong) {
                melodyStep = degree + 14 + 2 * random.Below(3);
            } else {
                melodyStep += random.Below(3) - 1;
            }
            melodyStep = std::clamp(melodyStep, 12, 23);
            if (cadence && eighth >= 6) {
                melodyStep = 14;
            }
            const double length = beat * (strong ? 0.9 : 0.45);
            synth.AddTone(start + eighth * beat / 2, length, Frequency(ScaleNote(melodyStep)), 0.11, 5,
                          piece.brightness, 0.006, 0.08, 0.35);
        }
    }

    void Drums(double start, int barIndex) {
        for (int b = 0; b < beatsPerBar; ++b) {
            const double at = start + b * beat;
            if (b % 2 == 0) {
                synth.AddGlide(at, 0.3, 110.0, 42.0, 0.55, 0.1);
            } else {
                synth.AddNoise(random, at, 0.25, 4200.0, 0.22, 0.07);
                synth.AddTone(at, 0.12, 190.0, 0.12, 1, 0.0, 0.002, 0.03, 0.05);
            }
            for (int half = 0; half < 2; ++half) {
                synth.AddNoise(random, at + half * beat / 2, 0.06, 9000.0, 0.035, 0.02);
            }
        }
        // A snare roll leads into every new cycle.
        if (barIndex % piece.progression.size() == piece.progression.size() - 1) {
            for (int k = 0; k < 4; ++k) {
                synth.AddNoise(random, start + 3 * beat + k * beat / 4, 0.12, 4200.0, 0.18, 0.05);
            }
        }
    }

    const Piece& piece;
    double       beat, bar;
    CRandom      random;
    int          bars;
    CSynth       synth;
    int          melodyStep = 14;
};

} // namespace

namespace ContentStages {

bool WriteMusic(CContentGenerator& generator) {
    bool ok = true;
    for (const Piece& piece : pieces) {
        ok = generator.EnsureBytes(std::string("music/") + piece.fileName, [&piece]() {
            return CComposer(piece).Compose();
        }) && ok;
    }
    return ok;
}

} // namespace ContentStages
