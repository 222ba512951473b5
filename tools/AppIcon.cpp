#include "tools/AppIcon.h"

#include <sys/stat.h>

#include <cmath>
#include <cstdio>

#include "tools/Noise.h"

namespace {

constexpr uint32_t ridgeSeed      = 1907;
constexpr int      samplesPerAxis = 4; // supersampling for smooth edges
constexpr double   cornerRadius   = 0.18;

struct Colour {
    double red, green, blue, alpha;
};

Colour Mix(const Colour& from, const Colour& to, double amount) {
    const double keep = 1.0 - amount;
    return {from.red * keep + to.red * amount, from.green * keep + to.green * amount,
            from.blue * keep + to.blue * amount, from.alpha * keep + to.alpha * amount};
}

// Heights of the far and the near ridge at x (both in 0..1 of the icon,
// 0 at the top), rising to a peak left of the middle.
double FarRidge(const CNoise& noise, double x) {
    return 0.50 - 0.10 * std::exp(-std::pow((x - 0.65) / 0.2, 2.0)) + 0.05 * noise.Fractal2(x * 5.0, 0.5, 3);
}

double NearRidge(const CNoise& noise, double x) {
    return 0.66 - 0.26 * std::exp(-std::pow((x - 0.38) / 0.18, 2.0)) + 0.04 * noise.Fractal2(x * 7.0, 3.5, 4);
}

bool InsideRoundedSquare(double x, double y) {
    const double dx = std::max(std::fabs(x - 0.5) - (0.5 - cornerRadius), 0.0);
    const double dy = std::max(std::fabs(y - 0.5) - (0.5 - cornerRadius), 0.0);
    return dx * dx + dy * dy <= cornerRadius * cornerRadius;
}

// The colour at one point of the icon (x, y in 0..1, y down).
Colour Sample(const CNoise& noise, double x, double y) {
    if (!InsideRoundedSquare(x, y)) {
        return {0.0, 0.0, 0.0, 0.0};
    }
    const double peakX = 0.38, peakY = NearRidge(noise, peakX);
    // The flag: a pole and a red cloth above the near ridge's peak.
    if (std::fabs(x - peakX) < 0.012 && y > peakY - 0.2 && y < peakY + 0.02) {
        return {235, 235, 225, 255};
    }
    if (x > peakX && x < peakX + 0.13 && y > peakY - 0.2 && y < peakY - 0.2 + 0.08 - (x - peakX) * 0.3) {
        return {205, 40, 35, 255};
    }
    if (y > NearRidge(noise, x)) {
        return Mix({70, 120, 50, 255}, {30, 60, 30, 255}, std::min((y - NearRidge(noise, x)) * 3.0, 1.0));
    }
    if (y > FarRidge(noise, x)) {
        return {60, 80, 110, 255};
    }
    const double sun = std::hypot(x - 0.72, y - 0.28);
    if (sun < 0.09) {
        return {255, 225, 150, 255};
    }
    return Mix({40, 70, 140, 255}, {245, 170, 110, 255}, std::min(y / 0.55, 1.0));
}

} // namespace

CImage CAppIcon::Draw(int size) {
    const CNoise noise(ridgeSeed);
    CImage       image(size, size);
    const double step = 1.0 / (size * samplesPerAxis);
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            Colour sum{0, 0, 0, 0};
            for (int sy = 0; sy < samplesPerAxis; ++sy) {
                for (int sx = 0; sx < samplesPerAxis; ++sx) {
                    const double x = (column * samplesPerAxis + sx + 0.5) * step;
                    const double y = (row * samplesPerAxis + sy + 0.5) * step;
                    const Colour c = Sample(noise, x, y);
                    // Colours weighted by coverage, so edges do not darken.
                    sum = {sum.red + c.red * c.alpha, sum.green + c.green * c.alpha, sum.blue + c.blue * c.alpha,
                           sum.alpha + c.alpha};
                }
            }
            const double count = samplesPerAxis * samplesPerAxis;
            if (sum.alpha > 0.0) {
                image.SetPixel(column, row, sum.red / sum.alpha, sum.green / sum.alpha, sum.blue / sum.alpha,
                               sum.alpha / count);
            }
        }
    }
    return image;
}

bool CAppIcon::WriteTheme(const std::string& folder) {
    mkdir(folder.c_str(), 0755);
    for (const int size : sizes) {
        std::string path = folder;
        for (const std::string& part :
             {"/" + std::to_string(size) + "x" + std::to_string(size), std::string("/apps")}) {
            path += part;
            mkdir(path.c_str(), 0755);
        }
        path += "/ridgeline.png";
        const std::vector<uint8_t> bytes = Draw(size).EncodePng();
        FILE*                      file  = fopen(path.c_str(), "wb");
        const bool written = file != nullptr && fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        if (file == nullptr || fclose(file) != 0 || !written) {
            fprintf(stderr, "cannot write the icon %s\n", path.c_str());
            return false;
        }
    }
    return true;
}
