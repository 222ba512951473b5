#include "view/TeamView.h"

#include <algorithm>
#include <cmath>

#include "rules/Match.h"

namespace {

// The mean of the tile centres of a team's living units; false for none.
bool SideCentre(const CMatch& match, int team, float& x, float& z) {
    const CGridManager& board = match.GetBoard();
    float               sumX = 0.0f, sumZ = 0.0f;
    int                 count = 0;
    for (const CUnit& unit : match.GetUnits()) {
        if (unit.team == team && unit.hitpoints > 0) {
            float unitX = 0.0f, unitZ = 0.0f;
            board.GetTileCentre(unit.tileX, unit.tileY, unitX, unitZ);
            sumX += unitX;
            sumZ += unitZ;
            ++count;
        }
    }
    if (count == 0) {
        return false;
    }
    x = sumX / static_cast<float>(count);
    z = sumZ / static_cast<float>(count);
    return true;
}

} // namespace

bool CTeamView::Of(const CMatch& match, int team, CVector3& eye, CVector3& center) {
    const CGridManager& board = match.GetBoard();
    const float         width = board.GetTileSize() * static_cast<float>(CGridManager::gridSize);
    float               ownX = 0.0f, ownZ = 0.0f;
    if (width <= 0.0f || !SideCentre(match, team, ownX, ownZ)) {
        return false;
    }
    // Towards the other side; with none left (or both on one spot), towards
    // the far half of the board: team 1 sets out from its near edge.
    float otherX = 0.0f, otherZ = 0.0f;
    float dirX = 0.0f, dirZ = team == 1 ? 1.0f : -1.0f;
    if (SideCentre(match, CMatch::OtherTeam(team), otherX, otherZ)) {
        const float length = std::hypot(otherX - ownX, otherZ - ownZ);
        if (length > 1.0f) {
            dirX = (otherX - ownX) / length;
            dirZ = (otherZ - ownZ) / length;
        }
    }
    const float eyeX  = std::clamp(ownX - dirX * behind, 0.0f, width);
    const float eyeZ  = std::clamp(ownZ - dirZ * behind, 0.0f, width);
    int         tileX = 0, tileY = 0;
    CGridManager::TileUnderPoint(board.GetTileSize(), eyeX, eyeZ, tileX, tileY);
    eye    = CVector3(eyeX, board.GetTile(tileX, tileY).height + heightAboveGround, eyeZ);
    center = CVector3(ownX, eye.y - drop, ownZ);
    return true;
}
