// Where the tiles of a level appear in the game's window at the start view,
// for end-to-end scripts that click tiles as a player would.
//
// Usage (working directory: the game's data folder):
//   ridgeline-tile-projector [--team N] [width height]
// Prints one line per tile whose centre lies in the window, at least
// `margin` pixels from every edge (the edge-scroll band):
//   x y windowX windowY usable terrainType slopeDegrees height
// windowX and windowY are pixels from the window's top left corner, as the
// pointer reports them. The camera is placed as the editor places it, or
// with --team at team N's own view of the level's teams, where the game's
// camera comes to rest at each of N's turns; the projection is the game's
// (45 degrees, near 1, far 8000).
//
//   ridgeline-tile-projector --hud [width height]
// Prints where the heads-up display puts what a script clicks or looks at,
// read from the interface files as the game reads them, as rectangles in
// window pixels from the top left corner (both corners inside):
//   endturn x0 y0 x1 y1       the end-turn button
//   preview x0 y0 x1 y1       the lines an attack preview adds to the panel of
//                             the unit under the pointer (labels and the start
//                             of their values)
//   finishbox x0 y0 x1 y1     the finish screen's box
//   finishbutton x0 y0 x1 y1  its button
//   notice x0 y0 x1 y1        the middle of the line that says why a click did nothing
//   scrollmargin pixels       the edge-scroll band, where the pointer moves the camera

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "core/Camera.h"
#include "app/Input.h"
#include "core/PropertyFile.h"
#include "rules/GridManager.h"
#include "core/Heightmap.h"
#include "view/BattleView.h"
#include "view/TeamView.h"
#include "ui/Interface.h"

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

// A rectangle of the display (corners counted up from the bottom edge) in
// window rows counted down from the top.
void PrintRect(const char* name, int left, int upper, int right, int lower, int height) {
    printf("%s %d %d %d %d\n", name, left, height - upper, right, height - lower);
}

// The texts of `with` that `without` lacks, as a rectangle: from the first
// text's start to `valueWidth` past the last one's, from a line height above
// the highest baseline to a quarter of it below the lowest.
bool AddedTexts(const CHudDrawList& with, const CHudDrawList& without, int lineHeight, int valueWidth, int& left,
                int& upper, int& right, int& lower) {
    left = lower = INT_MAX;
    right = upper = INT_MIN;
    for (size_t index = 0; index < with.GetCount(); ++index) {
        const CHudDrawItem& item  = with.GetItem(index);
        bool                known = item.kind != CHudDrawItem::textItem;
        for (size_t other = 0; !known && other < without.GetCount(); ++other) {
            const CHudDrawItem& was = without.GetItem(other);
            known = was.kind == item.kind && was.x == item.x && was.y == item.y && strcmp(was.text, item.text) == 0;
        }
        if (!known) {
            left  = std::min(left, item.x);
            right = std::max(right, item.x + valueWidth);
            upper = std::max(upper, item.y + lineHeight);
            lower = std::min(lower, item.y - lineHeight / 4);
        }
    }
    return left != INT_MAX;
}

int PrintHud(int width, int height) {
    const CInterface        hud("Interface\\interface.xml", width, height);
    const CInterfaceLayout& layout = hud.GetLayout();
    if (layout.endTurn.label.empty() || layout.finish.label.empty()) {
        fprintf(stderr, "ridgeline-tile-projector: no interface files here\n");
        return 1;
    }
    const CHudRect& endTurn = layout.endTurn.button;
    PrintRect("endturn", endTurn.upperLeftX, endTurn.upperLeftY, endTurn.lowerRightX, endTurn.lowerRightY, height);

    // Unit 0 of team 1 is selected and may fire at unit 1 of team 2, under
    // the pointer: the display with and without the preview of that shot.
    CHudState state;
    state.units.resize(2);
    state.units[0].team      = 1;
    state.units[1].team      = 2;
    state.units[0].hitpoints = state.units[0].maxHitpoints = 1000;
    state.units[1].hitpoints = state.units[1].maxHitpoints = 40;
    state.maxHitpoints                                     = 1000;
    state.selectedUnit                                     = 0;
    state.selectedX                                        = 1;
    state.selectedY                                        = 1;
    state.activeX                                          = 2;
    state.activeY                                          = 2;
    state.activeTile.unit                                  = 1;
    CHudDrawList without, with;
    hud.BuildDrawList(state, without);
    state.preview.kind                   = CAttackPreview::attack;
    state.preview.attacker               = 0;
    state.preview.target                 = 1;
    state.preview.damageToTarget         = 60;
    state.preview.targetHitpointsAfter   = -20;
    state.preview.attackerHitpointsAfter = 1000;
    hud.BuildDrawList(state, with);
    const int fontSize = layout.fontRegular.description.size;
    int       left = 0, upper = 0, right = 0, lower = 0;
    if (!AddedTexts(with, without, fontSize, 4 * fontSize, left, upper, right, lower)) {
        fprintf(stderr, "ridgeline-tile-projector: the display shows no attack preview\n");
        return 1;
    }
    PrintRect("preview", left, upper, right, lower, height);

    const CHudRect& finishBox = layout.finish.box;
    PrintRect("finishbox", finishBox.upperLeftX, finishBox.upperLeftY, finishBox.lowerRightX, finishBox.lowerRightY,
              height);
    const CHudRect& finish = layout.finish.button;
    PrintRect("finishbutton", finish.upperLeftX, finish.upperLeftY, finish.lowerRightX, finish.lowerRightY, height);
    const int noticeY = height - CInterface::noticeTop, size = layout.fontHead.description.size;
    PrintRect("notice", width / 2 - 120, noticeY + size, width / 2 + 120, noticeY - size / 4, height);
    printf("scrollmargin %d\n", CInput::scrollMargin);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const bool hud    = argc > 1 && strcmp(argv[1], "--hud") == 0;
    const int  team   = argc > 2 && strcmp(argv[1], "--team") == 0 ? atoi(argv[2]) : 0;
    const int  sizeAt = hud ? 2 : team != 0 ? 3 : 1;
    int        width  = 640;
    int        height = 480;
    if (argc == sizeAt + 2) {
        width  = atoi(argv[sizeAt]);
        height = atoi(argv[sizeAt + 1]);
    }
    if (width <= 0 || height <= 0 || (argc != sizeAt && argc != sizeAt + 2)) {
        fprintf(stderr, "usage: ridgeline-tile-projector [--hud | --team N] [width height]\n");
        return 2;
    }
    if (hud) {
        return PrintHud(width, height);
    }
    CPropertyFile parameters("TestLevel\\Terrain\\ter_params.ini");
    if (!parameters.LoadProperties()) {
        fprintf(stderr, "ridgeline-tile-projector: no TestLevel/Terrain/ter_params.ini here\n");
        return 1;
    }
    const CHeightmap heightmap("TestLevel\\Terrain\\ter_heightmap.bmp", parameters.GetFloatProperty("maxwidth"),
                               parameters.GetFloatProperty("maxheight"));
    CGridManager     grid("TestLevel\\Terrain\\terrain.xml", &heightmap);
    grid.SetWaterHeight(heightmap.GetHeightScale() * CMatch::waterLevel);

    CCamera  camera(&heightmap, startHeightAboveGround);
    CVector3 eye = startEye, center = startCenter;
    if (team != 0) {
        std::string                   error;
        const std::unique_ptr<CMatch> match = CMatch::LoadLevel("TestLevel", 0, error);
        if (!match || !CTeamView::Of(*match, team, eye, center)) {
            fprintf(stderr, "ridgeline-tile-projector: team %d has no view: %s\n", team, error.c_str());
            return 1;
        }
    }
    camera.SetPosition(eye, center, CVector3(0.0f, 1.0f, 0.0f));
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
