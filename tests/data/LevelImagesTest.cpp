#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "DataFiles.h"
#include "core/BmpHandler.h"

// The level's textures join without seams: neighbouring terrain patches
// agree along their shared edge, and so do neighbouring sky faces as the
// sky box maps them onto its faces.
namespace {

double Difference(const uint8_t* a, const uint8_t* b) {
    return (std::fabs(a[0] - b[0]) + std::fabs(a[1] - b[1]) + std::fabs(a[2] - b[2])) / 3.0;
}

struct Rgb {
    uint8_t c[3];
};

std::string PatchPath(int column, int row) {
    char name[64];
    snprintf(name, sizeof name, "TestLevel\\Terrain\\terrain_%d_%d.bmp", column, row);
    return name;
}

void LoadPatch(CBmpHandler& image, int column, int row) {
    const DataFiles::CInDataFolder inData;
    image.Load(PatchPath(column, row).c_str(), false);
}

Rgb Pixel(const CBmpHandler& image, int row, int column) {
    return {{static_cast<uint8_t>(image.GetRed(row, column)), static_cast<uint8_t>(image.GetGreen(row, column)),
             static_cast<uint8_t>(image.GetBlue(row, column))}};
}

// Mean colour step across the seam between a patch and its east or south
// neighbour, against the mean step between the two texel lines just inside.
TEST(LevelImagesTest, TerrainPatchesJoinWithoutSeams) {
    constexpr int patches = 8;
    for (int row = 0; row < patches; ++row) {
        for (int column = 0; column < patches; ++column) {
            CBmpHandler here;
            LoadPatch(here, column, row);
            const int size = here.GetWidth();
            ASSERT_GT(size, 2) << PatchPath(column, row);
            for (int direction = 0; direction < 2; ++direction) {
                const int nextColumn = column + (direction == 0), nextRow = row + (direction == 1);
                if (nextColumn >= patches || nextRow >= patches) {
                    continue;
                }
                CBmpHandler next;
                LoadPatch(next, nextColumn, nextRow);
                ASSERT_EQ(next.GetWidth(), size);
                double seam = 0, inside = 0;
                for (int i = 0; i < size; ++i) {
                    // Row 0 of a picture is the patch's north edge, column 0 its west edge.
                    const Rgb last   = direction == 0 ? Pixel(here, i, size - 1) : Pixel(here, size - 1, i);
                    const Rgb before = direction == 0 ? Pixel(here, i, size - 2) : Pixel(here, size - 2, i);
                    const Rgb first  = direction == 0 ? Pixel(next, i, 0) : Pixel(next, 0, i);
                    seam += Difference(last.c, first.c);
                    inside += Difference(before.c, last.c);
                }
                EXPECT_LE(seam, 1.6 * inside + 2.0 * size)
                    << "seam between patch " << column << "," << row << " and " << nextColumn << "," << nextRow;
            }
        }
    }
}

// The sky box's faces as it draws them: for each file the corners (0/1 per
// axis of the box) that carry texture coordinates (0,0), (1,0) and (0,1).
struct Face {
    const char* name;
    int         origin[3], alongS[3], alongT[3];
};

const Face faces[] = {
    {"front", {0, 0, 0}, {1, 0, 0}, {0, 1, 0}},  {"back", {1, 0, 1}, {0, 0, 1}, {1, 1, 1}},
    {"bottom", {1, 0, 0}, {0, 0, 0}, {1, 0, 1}}, {"top", {0, 1, 0}, {1, 1, 0}, {0, 1, 1}},
    {"left", {1, 0, 0}, {1, 0, 1}, {1, 1, 0}},   {"right", {0, 0, 1}, {0, 0, 0}, {0, 1, 1}},
};

struct SkyImage {
    int                  size = 0;
    std::vector<uint8_t> bytes; // TGA, 24 bits, rows in stored order = texture t from 0
    const uint8_t*       Texel(int s, int t) const { return &bytes[18 + (static_cast<size_t>(t) * size + s) * 3]; }
};

// Box extents for the 2048-wide map (x, z 4 map widths, y from -2800 to 2200).
double Extent(int axis, int flag) {
    const double low[3] = {-3072.0, -2800.0, -3072.0}, high[3] = {5120.0, 2200.0, 5120.0};
    return flag ? high[axis] : low[axis];
}

void Point(const Face& face, double s, double t, double out[3]) {
    for (int axis = 0; axis < 3; ++axis) {
        const double o = Extent(axis, face.origin[axis]);
        out[axis]      = o + s * (Extent(axis, face.alongS[axis]) - o) + t * (Extent(axis, face.alongT[axis]) - o);
    }
}

// Texture coordinates of a point on (or just off) a face; false when it lies elsewhere.
bool Project(const Face& face, const double p[3], double& s, double& t) {
    double o[3], ds[3], dt[3], ss = 0, tt = 0, sLength = 0, tLength = 0;
    for (int axis = 0; axis < 3; ++axis) {
        o[axis]  = Extent(axis, face.origin[axis]);
        ds[axis] = Extent(axis, face.alongS[axis]) - o[axis];
        dt[axis] = Extent(axis, face.alongT[axis]) - o[axis];
        ss += (p[axis] - o[axis]) * ds[axis];
        tt += (p[axis] - o[axis]) * dt[axis];
        sLength += ds[axis] * ds[axis];
        tLength += dt[axis] * dt[axis];
    }
    s               = ss / sLength;
    t               = tt / tLength;
    double offPlane = 0;
    for (int axis = 0; axis < 3; ++axis) {
        offPlane = std::max(offPlane, std::fabs(p[axis] - (o[axis] + s * ds[axis] + t * dt[axis])));
    }
    return s > -0.01 && s < 1.01 && t > -0.01 && t < 1.01 && offPlane < 40.0;
}

TEST(LevelImagesTest, SkyFacesJoinWithoutSeams) {
    SkyImage images[6];
    for (int f = 0; f < 6; ++f) {
        images[f].bytes =
            DataFiles::ReadBytes(DataFiles::Path(std::string("TestLevel\\Skydome\\") + faces[f].name + ".tga"));
        ASSERT_GT(images[f].bytes.size(), 18u) << faces[f].name;
        images[f].size = static_cast<int>(DataFiles::U16(images[f].bytes, 12));
        ASSERT_EQ(images[f].bytes.size(), 18u + 3u * images[f].size * images[f].size) << faces[f].name;
    }
    // Walk the border texels of every face and compare each with the texel
    // nearest to the same point on the neighbouring face.
    for (int f = 0; f < 6; ++f) {
        const int size     = images[f].size;
        int       compared = 0;
        double    total    = 0;
        for (int i = 0; i < size; ++i) {
            const int border[4][2] = {{i, 0}, {i, size - 1}, {0, i}, {size - 1, i}};
            for (const auto& texel : border) {
                double p[3];
                Point(faces[f], (texel[0] + 0.5) / size, (texel[1] + 0.5) / size, p);
                for (int g = 0; g < 6; ++g) {
                    double s, t;
                    if (g == f || !Project(faces[g], p, s, t)) {
                        continue;
                    }
                    const int gs = std::clamp(static_cast<int>(s * images[g].size), 0, images[g].size - 1);
                    const int gt = std::clamp(static_cast<int>(t * images[g].size), 0, images[g].size - 1);
                    total += Difference(images[f].Texel(texel[0], texel[1]), images[g].Texel(gs, gt));
                    ++compared;
                }
            }
        }
        ASSERT_GT(compared, size) << faces[f].name << " has no neighbours: wrong face table";
        EXPECT_LT(total / compared, 1.0) << faces[f].name << ": mean colour step across its edges";
    }
}

} // namespace
