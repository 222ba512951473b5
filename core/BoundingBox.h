#pragma once

#include "core/Vector3.h"

// An axis-aligned box with its centre.
struct CBoundingBox {
    CVector3 minimum;
    CVector3 maximum;
    CVector3 centre;

    // The box around `count` points; an empty list gives the empty box at the origin.
    static CBoundingBox FromPoints(const CVector3* points, int count);
};
