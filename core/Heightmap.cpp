#include "core/Heightmap.h"

#include <algorithm>
#include <cmath>

#include "core/BmpHandler.h"

CHeightmap::CHeightmap(const char* path, float maxWidthValue, float maxHeightValue)
    : maxWidth(maxWidthValue), maxHeight(maxHeightValue), fileName(path != nullptr ? path : "") {
    CBmpHandler image;
    image.Load(fileName.c_str(), false);
    width  = image.GetWidth();
    height = image.GetHeight();
    samples.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            samples[static_cast<size_t>(row) * width + column] = image.GetRed(row, column);
        }
    }
    SetScale();
}

CHeightmap::CHeightmap(int size, const std::vector<int>& values, float maxWidthValue, float maxHeightValue)
    : maxWidth(maxWidthValue), maxHeight(maxHeightValue) {
    if (size > 0 && values.size() == static_cast<size_t>(size) * static_cast<size_t>(size)) {
        width   = size;
        height  = size;
        samples = values;
    }
    SetScale();
}

void CHeightmap::SetScale() {
    spacing     = width > 1 ? maxWidth / static_cast<float>(width - 1) : 0.0f;
    heightScale = maxHeight * (1.0f / 255.0f);
}

int CHeightmap::Clamp(int index) const {
    return std::max(0, std::min(index, width - 1));
}

int CHeightmap::GetSample(int column, int row) const {
    if (IsEmpty()) {
        return 0;
    }
    // Clamped on both axes by width - 1: the terrain is square.
    const int clampedRow = std::min(Clamp(row), height - 1);
    return samples[static_cast<size_t>(clampedRow) * width + Clamp(column)];
}

void CHeightmap::SetSample(int column, int row, int value) {
    if (IsEmpty()) {
        return;
    }
    const int clampedRow                                             = std::min(Clamp(row), height - 1);
    samples[static_cast<size_t>(clampedRow) * width + Clamp(column)] = value;
}

float CHeightmap::SlopeAt(int column, int row) const {
    const float gx       = std::fabs((GetSample(column + 1, row) - GetSample(column - 1, row)) * 0.5f);
    const float gy       = std::fabs((GetSample(column, row + 1) - GetSample(column, row - 1)) * 0.5f);
    const float gradient = std::max(gx, gy);
    return (1.0f - std::exp(-0.1f * gradient)) * 255.0f;
}

float CHeightmap::HeightAt(float worldX, float worldZ) const {
    if (IsEmpty() || !(spacing > 0.0f) || !std::isfinite(spacing) || !std::isfinite(worldX) || !std::isfinite(worldZ)) {
        return 0.0f;
    }
    const float u = worldX / spacing;
    const float v = worldZ / spacing;
    // Far outside the map the truncation is clamped before the int conversion.
    const float limit = static_cast<float>(width);
    const int   cu    = static_cast<int>(std::max(-limit, std::min(u, limit)));
    const int   cv    = static_cast<int>(std::max(-limit, std::min(v, limit)));
    const float fu    = u - static_cast<float>(cu);
    const float fv    = v - static_cast<float>(cv);
    float       sample;
    if (fu + fv < 1.0f) {
        const float h00 = static_cast<float>(GetSample(cu, cv));
        sample          = h00 + (GetSample(cu + 1, cv) - h00) * fu + (GetSample(cu, cv + 1) - h00) * fv;
    } else {
        const float h11 = static_cast<float>(GetSample(cu + 1, cv + 1));
        sample = h11 + (GetSample(cu, cv + 1) - h11) * (1.0f - fu) + (GetSample(cu + 1, cv) - h11) * (1.0f - fv);
    }
    return sample * heightScale;
}
