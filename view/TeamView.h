#pragma once

#include "core/Vector3.h"

class CMatch;

// Each team's own view of the board: the camera stands behind the team's
// living units (headquarters included), looking across at the other team,
// pitched and raised as the game's camera starts. A team whose side is
// empty, or a board without size, has none.
struct CTeamView {
    static constexpr float heightAboveGround = 450.0f;
    static constexpr float behind            = 265.0f; // ground distance from the eye to the point looked at
    static constexpr float drop              = 319.0f; // how far below the eye that point lies
    static constexpr float flightSeconds     = 0.6f;   // how long the camera flies there

    // The eye's height is taken from the board's tile under it; a camera
    // placed there keeps heightAboveGround over its own ground.
    static bool Of(const CMatch& match, int team, CVector3& eye, CVector3& center);
};
