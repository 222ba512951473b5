// Where the tiles of a level appear in the game's window at the start view,
// for end-to-end scripts that click tiles as a player would.
//
// Usage (working directory: the game's data folder):
//   ridgeline-tile-projector [width height]
// Prints one line per tile whose centre lies in the window, at least
// `margin` pixels from every edge (the edge-scroll band):
//   x y windowX windowY usable terrainType slopeDegrees height
// windowX and windowY are pixels from the window's top left corner, as the
// pointer reports them. The camera is placed as the game places it before
// the first frame; the projection is the game's (45 degrees, near 1, far 8000).

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/Camera.h"
#include "app/PropertyFile.h"
#include "game/GridManager.h"
#include "game/Heightmap.h"
#include "game/Level.h"

namespace {

// The game's start camera and projection.
const CVector3   startEye(665.0f, 528.0f, 145.0f);
const CVector3   startCenter(683.76f, 209.0f, 409.0f);
constexpr float  startHeightAboveGround = 450.0f;
constexpr double fieldOfViewDegrees     = 45.0;
constexpr double nearPlane              = 1.0;
constexpr double farPlane               = 8000.0;
constexpr int    margin                 = 60;

struct CView {
    double forward[3], side[3], up[3], eye[3];
    double focal, aspect;
    int    width, height;
};

void Normalise(double v[3]) {
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    for (int i = 0; i < 3; ++i) {
        v[i] /= length;
    }
}

void Cross(const double a[3], const double b[3], double out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

// The look-at frame and the perspective of the game's view.
CView MakeView(const CCamera& camera, int width, int height) {
    CView           view{};
    const CVector3& e = camera.GetEye();
    const CVector3& c = camera.GetCenter();
    view.eye[0]       = e.x;
    view.eye[1]       = e.y;
    view.eye[2]       = e.z;
    view.forward[0]   = c.x - e.x;
    view.forward[1]   = c.y - e.y;
    view.forward[2]   = c.z - e.z;
    Normalise(view.forward);
    const double worldUp[3] = {0.0, 1.0, 0.0};
    Cross(view.forward, worldUp, view.side);
    Normalise(view.side);
    Cross(view.side, view.forward, view.up);
    view.focal  = 1.0 / std::tan(fieldOfViewDegrees * M_PI / 360.0);
    view.aspect = static_cast<double>(static_cast<float>(width) / static_cast<float>(height));
    view.width  = width;
    view.height = height;
    return view;
}

// Window pixel (origin top left) of a world point; false behind the eye or
// outside the depth range.
bool Project(const CView& view, double x, double y, double z, double& windowX, double& windowY) {
    const double d[3]  = {x - view.eye[0], y - view.eye[1], z - view.eye[2]};
    const double depth = d[0] * view.forward[0] + d[1] * view.forward[1] + d[2] * view.forward[2];
    if (depth < nearPlane || depth > farPlane) {
        return false;
    }
    const double sx = d[0] * view.side[0] + d[1] * view.side[1] + d[2] * view.side[2];
    const double sy = d[0] * view.up[0] + d[1] * view.up[1] + d[2] * view.up[2];
    const double nx = view.focal / view.aspect * sx / depth;
    const double ny = view.focal * sy / depth;
    windowX         = (nx + 1.0) * 0.5 * view.width;
    windowY         = view.height - (ny + 1.0) * 0.5 * view.height;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    int width  = 640;
    int height = 480;
    if (argc == 3) {
        width  = atoi(argv[1]);
        height = atoi(argv[2]);
    }
    if (width <= 0 || height <= 0 || (argc != 1 && argc != 3)) {
        fprintf(stderr, "usage: ridgeline-tile-projector [width height]\n");
        return 2;
    }
    CPropertyFile parameters("TestLevel\\Terrain\\ter_params.ini");
    if (!parameters.LoadProperties()) {
        fprintf(stderr, "ridgeline-tile-projector: no TestLevel/Terrain/ter_params.ini here\n");
        return 1;
    }
    const CHeightmap heightmap("TestLevel\\Terrain\\ter_heightmap.bmp", parameters.GetFloatProperty("maxwidth"),
                               parameters.GetFloatProperty("maxheight"));
    CGridManager     grid("TestLevel\\Terrain\\terrain.xml", &heightmap);
    grid.SetWaterHeight(heightmap.GetHeightScale() * CLevel::waterLevel);

    CCamera camera(&heightmap, startHeightAboveGround);
    camera.SetPosition(startEye, startCenter, CVector3(0.0f, 1.0f, 0.0f));
    camera.SetHeightAboveGround(startHeightAboveGround);
    const CView view = MakeView(camera, width, height);

    for (int y = 0; y < CGridManager::gridSize; ++y) {
        for (int x = 0; x < CGridManager::gridSize; ++x) {
            float worldX = 0.0f, worldZ = 0.0f;
            grid.GetTileCentre(x, y, worldX, worldZ);
            const float ground  = heightmap.HeightAt(worldX, worldZ);
            double      windowX = 0.0, windowY = 0.0;
            if (!Project(view, worldX, ground, worldZ, windowX, windowY)) {
                continue;
            }
            const int px = static_cast<int>(std::lround(windowX));
            const int py = static_cast<int>(std::lround(windowY));
            if (px < margin || py < margin || px > width - margin || py > height - margin) {
                continue;
            }
            const Tile& tile = grid.GetTile(x, y);
            printf("%d %d %d %d %d %d %d %.1f\n", x, y, px, py, grid.IsTileUsable(x, y) ? 1 : 0, tile.terrainType,
                   tile.slopeDegrees, tile.height);
        }
    }
    return 0;
}
