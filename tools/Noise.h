#pragma once

#include <cstdint>

// Lattice value noise with smooth interpolation, a pure function of the seed
// and the position, so textures sampled at world positions join without
// seams wherever they are cut.
class CNoise {
public:
    explicit CNoise(uint32_t seed) : seed(seed) {}

    // Values in [-1, 1].
    double Value2(double x, double y) const;
    double Value3(double x, double y, double z) const;
    // Sum of `octaves` layers, each twice the frequency and half the amplitude
    // of the last, normalised back to [-1, 1].
    double Fractal2(double x, double y, int octaves) const;
    double Fractal3(double x, double y, double z, int octaves) const;
    // Noise that repeats every `period` units on both axes (period >= 1),
    // for textures drawn with wrap-around.
    double Periodic2(double x, double y, int period) const;
    double PeriodicFractal2(double x, double y, int period, int octaves) const;

private:
    double Lattice2(int32_t x, int32_t y) const;
    double Lattice3(int32_t x, int32_t y, int32_t z) const;

    uint32_t seed;
};
