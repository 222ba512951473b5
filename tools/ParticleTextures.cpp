#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

#include "tools/ContentGenerator.h"
#include "tools/ContentStages.h"
#include "tools/Image.h"
#include "tools/Noise.h"

// Soft 32-bit particle sprites in "particles": light colours (the effect's
// colour tints them) and an alpha that fades to 0 well inside the border,
// so the camera-facing squares never show an edge.
namespace {

constexpr int spriteSize = 64;

double Clamp01(double value) {
    return std::clamp(value, 0.0, 1.0);
}

using SpriteShader = std::function<void(double x, double y, double& brightness, double& alpha)>;

CImage PaintSprite(const SpriteShader& shader) {
    CImage image(spriteSize, spriteSize);
    for (int row = 0; row < spriteSize; ++row) {
        for (int column = 0; column < spriteSize; ++column) {
            // -1..1 across the sprite.
            const double x = (column + 0.5) / spriteSize * 2.0 - 1.0, y = (row + 0.5) / spriteSize * 2.0 - 1.0;
            double       brightness = 1.0, alpha = 0.0;
            shader(x, y, brightness, alpha);
            const double value = 255.0 * Clamp01(brightness);
            image.SetPixel(column, row, value, value, value, 255.0 * Clamp01(alpha));
        }
    }
    return image;
}

// A falloff that is 1 at the centre and reaches 0 at radius `edge`.
double Soft(double radius, double edge) {
    const double t = Clamp01(1.0 - radius / edge);
    return t * t * (3.0 - 2.0 * t);
}

void Puff(const CNoise& noise, double frequency, double x, double y, double& brightness, double& alpha) {
    const double radius = std::sqrt(x * x + y * y);
    const double cloud  = 0.6 + 0.4 * noise.Fractal2(x * frequency + 5.0, y * frequency + 5.0, 4);
    brightness          = 0.75 + 0.25 * cloud;
    alpha               = Soft(radius, 0.95) * cloud;
}

struct Sprite {
    const char*  fileName;
    SpriteShader shader;
};

} // namespace

namespace ContentStages {

bool WriteParticleTextures(CContentGenerator& generator) {
    const CNoise dustNoise(41), smokeNoise(42);
    const Sprite sprites[] = {
        {"dust.tga", [&dustNoise](double x, double y, double& b, double& a) { Puff(dustNoise, 2.5, x, y, b, a); }},
        {"smoke.tga", [&smokeNoise](double x, double y, double& b, double& a) { Puff(smokeNoise, 1.8, x, y, b, a); }},
        {"fire.tga",
         [](double x, double y, double& b, double& a) {
             const double radius = std::sqrt(x * x + y * y);
             b                   = 0.7 + 0.3 * Soft(radius, 0.5);
             a                   = Soft(radius, 0.9);
         }},
        {"flash.tga",
         [](double x, double y, double& b, double& a) {
             const double radius = std::sqrt(x * x + y * y);
             const double angle  = std::atan2(y, x);
             const double rays   = std::pow(std::fabs(std::cos(angle * 3.0)), 12.0);
             b                   = 1.0;
             a                   = Clamp01(Soft(radius, 0.35) + 0.8 * rays * Soft(radius, 0.95));
         }},
        {"spark.tga",
         [](double x, double y, double& b, double& a) {
             const double radius = std::sqrt(x * x + y * y);
             b                   = 1.0;
             a                   = Clamp01(Soft(radius, 0.18) + 0.45 * Soft(radius, 0.8));
         }},
    };
    bool ok = true;
    for (const Sprite& sprite : sprites) {
        ok = generator.EnsureBytes(std::string("particles/") + sprite.fileName, [&sprite]() {
            return PaintSprite(sprite.shader).EncodeTga(32);
        }) && ok;
    }
    return ok;
}

bool RunSharedMedia(CContentGenerator& generator) {
    bool ok = WriteModels(generator);
    ok      = WriteParticleTextures(generator) && ok;
    ok      = WriteSounds(generator) && ok;
    return WriteMusic(generator) && ok;
}

} // namespace ContentStages
