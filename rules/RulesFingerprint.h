#pragma once

#include <cstdint>

// The version of the rules: raised whenever a rule changes what a list of
// commands gives, so that logs and peers of another version are refused.
constexpr int rulesVersion = 1;

// A hash of fixed probe results of the rules on this machine: exchanges over
// a spread of strengths, heights and fight values, the arctangent, move and
// fire areas and a path on a made-up board. Two machines whose fingerprints
// differ would play the same commands differently.
uint64_t ComputeRulesFingerprint();
