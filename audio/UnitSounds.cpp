#include "audio/UnitSounds.h"

#include <string>

SoundSample CUnitSounds::LoadSample(const char* fileName) {
    if (fileName == nullptr || *fileName == '\0') {
        return noSound;
    }
    return sound.LoadSample((std::string("sounds\\") + fileName).c_str());
}

void CUnitSounds::FreeSample(SoundSample sample) {
    if (sample != noSound) {
        sound.FreeSample(sample);
    }
}

void CUnitSounds::StartMove(int unit, SoundSample move) {
    sound.StopSound(moveChannel);
    sound.SetLoopMode(moveChannel, CSoundLibrary::loopNormal);
    sound.PlaySound(moveChannel, move);
    movingUnit = unit;
}

void CUnitSounds::StopMove(int unit) {
    if (unit != movingUnit) {
        return;
    }
    sound.StopSound(moveChannel);
    movingUnit = -1;
}

void CUnitSounds::PlayAttack(SoundSample attack) {
    sound.PlaySound(CSoundLibrary::anyFreeChannel, attack);
}

void CUnitSounds::PlayExplosion(SoundSample explosion) {
    sound.PlaySound(CSoundLibrary::anyFreeChannel, explosion);
}
