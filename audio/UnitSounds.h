#pragma once

#include "platform/SoundLibrary.h"

// The units' sound effects over the sound library: a looping move sound on
// the reserved channel 0, attack and explosion sounds on any free channel.
// Only one unit's move sound plays at a time; a unit that starts moving
// takes channel 0 over, and only the unit that holds it stops it, so a unit
// arriving after another has started does not silence the newcomer.
// Units are named by their index; missing samples (noSound) play nothing.
class CUnitSounds {
public:
    static constexpr int moveChannel = 0;

    // Borrows the library; it must outlive this object.
    explicit CUnitSounds(CSoundLibrary& soundLibrary) : sound(soundLibrary) {}

    // Loads "sounds\<fileName>" into memory; noSound when it cannot.
    SoundSample LoadSample(const char* fileName);
    void        FreeSample(SoundSample sample);

    // Starts the unit's move sound looping on channel 0, replacing the one
    // playing there.
    void StartMove(int unit, SoundSample move);
    // Stops channel 0 if the unit's move sound holds it.
    void StopMove(int unit);
    void PlayAttack(SoundSample attack);
    void PlayExplosion(SoundSample explosion);

    // The unit whose move sound holds channel 0, or -1.
    int GetMovingUnit() const { return movingUnit; }

private:
    CSoundLibrary& sound;
    int            movingUnit = -1;
};
