#include "tools/Noise.h"

#include <cmath>

namespace {

uint32_t Hash(uint32_t value) {
    value ^= value >> 16;
    value *= 0x7FEB352Du;
    value ^= value >> 15;
    value *= 0x846CA68Bu;
    value ^= value >> 16;
    return value;
}

double Smooth(double t) {
    return t * t * (3.0 - 2.0 * t);
}

double Mix(double a, double b, double t) {
    return a + (b - a) * t;
}

} // namespace

double CNoise::Lattice2(int32_t x, int32_t y) const {
    const uint32_t h = Hash(seed ^ Hash(static_cast<uint32_t>(x) ^ Hash(static_cast<uint32_t>(y) + 0x68E31DA4u)));
    return static_cast<double>(h) * (2.0 / 4294967295.0) - 1.0;
}

double CNoise::Lattice3(int32_t x, int32_t y, int32_t z) const {
    const uint32_t h = Hash(seed ^ Hash(static_cast<uint32_t>(x) ^
                                        Hash(static_cast<uint32_t>(y) ^ Hash(static_cast<uint32_t>(z) + 0x1B56C4E9u))));
    return static_cast<double>(h) * (2.0 / 4294967295.0) - 1.0;
}

double CNoise::Value2(double x, double y) const {
    const double  fx = std::floor(x), fy = std::floor(y);
    const int32_t ix = static_cast<int32_t>(fx), iy = static_cast<int32_t>(fy);
    const double  tx = Smooth(x - fx), ty = Smooth(y - fy);
    const double  top    = Mix(Lattice2(ix, iy), Lattice2(ix + 1, iy), tx);
    const double  bottom = Mix(Lattice2(ix, iy + 1), Lattice2(ix + 1, iy + 1), tx);
    return Mix(top, bottom, ty);
}

double CNoise::Value3(double x, double y, double z) const {
    const double  fx = std::floor(x), fy = std::floor(y), fz = std::floor(z);
    const int32_t ix = static_cast<int32_t>(fx), iy = static_cast<int32_t>(fy), iz = static_cast<int32_t>(fz);
    const double  tx = Smooth(x - fx), ty = Smooth(y - fy), tz = Smooth(z - fz);
    double        layer[2];
    for (int k = 0; k < 2; ++k) {
        const double a = Mix(Lattice3(ix, iy, iz + k), Lattice3(ix + 1, iy, iz + k), tx);
        const double b = Mix(Lattice3(ix, iy + 1, iz + k), Lattice3(ix + 1, iy + 1, iz + k), tx);
        layer[k]       = Mix(a, b, ty);
    }
    return Mix(layer[0], layer[1], tz);
}

double CNoise::Fractal2(double x, double y, int octaves) const {
    double sum = 0.0, amplitude = 1.0, total = 0.0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * Value2(x, y);
        total += amplitude;
        x *= 2.0;
        y *= 2.0;
        amplitude *= 0.5;
    }
    return total > 0.0 ? sum / total : 0.0;
}

double CNoise::Fractal3(double x, double y, double z, int octaves) const {
    double sum = 0.0, amplitude = 1.0, total = 0.0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * Value3(x, y, z);
        total += amplitude;
        x *= 2.0;
        y *= 2.0;
        z *= 2.0;
        amplitude *= 0.5;
    }
    return total > 0.0 ? sum / total : 0.0;
}

double CNoise::Periodic2(double x, double y, int period) const {
    const double  fx = std::floor(x), fy = std::floor(y);
    const int32_t p    = period > 0 ? period : 1;
    const auto    wrap = [p](int32_t value) { return ((value % p) + p) % p; };
    const int32_t ix = static_cast<int32_t>(fx), iy = static_cast<int32_t>(fy);
    const double  tx = Smooth(x - fx), ty = Smooth(y - fy);
    const double  top    = Mix(Lattice2(wrap(ix), wrap(iy)), Lattice2(wrap(ix + 1), wrap(iy)), tx);
    const double  bottom = Mix(Lattice2(wrap(ix), wrap(iy + 1)), Lattice2(wrap(ix + 1), wrap(iy + 1)), tx);
    return Mix(top, bottom, ty);
}

double CNoise::PeriodicFractal2(double x, double y, int period, int octaves) const {
    double sum = 0.0, amplitude = 1.0, total = 0.0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * Periodic2(x, y, period);
        total += amplitude;
        x *= 2.0;
        y *= 2.0;
        period *= 2;
        amplitude *= 0.5;
    }
    return total > 0.0 ? sum / total : 0.0;
}
