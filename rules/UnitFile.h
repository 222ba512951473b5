#pragma once

#include <string>

#include "rules/Unit.h"

// What a unit file says about how a unit looks and sounds: the rules never
// read it, the battle view does. Texts hold at most CUnit::maxTextLength
// characters (the model's name up to maxModelNameLength).
struct CUnitMedia {
    static constexpr size_t maxModelNameLength = 511;

    std::string modelFile;
    std::string effectWheels;
    std::string effectFire;
    std::string effectSmoke;
    std::string effectAttack;
    std::string effectExplosion;
    std::string soundMove;
    std::string soundAttack;
    std::string soundExplosion;
    float       speed             = 0.0f; // the model walks speed x 500 world units per second
    int         startEffectSmoke  = 0;    // hit points below which smoke starts
    int         startEffectFire   = 0;    // hit points below which fire starts
    int         startEffectAttack = 0;    // damage above which a hit shows its effect
};

// A unit file read whole: every value is required, in the file's documented
// order, then the optional "notusable" list; values outside their bounds are
// clamped (CUnitLimits) and logged.
class CUnitFile {
public:
    // False (and the reason in the error log) when the file cannot be read
    // or lacks a value; nothing is kept then.
    bool Load(const char* path);

    const CUnit&      GetUnit() const { return unit; }
    const CUnitMedia& GetMedia() const { return media; }

private:
    CUnit      unit;
    CUnitMedia media;
};
