#include "core/BoundingBox.h"

#include <algorithm>

CBoundingBox CBoundingBox::FromPoints(const CVector3* points, int count) {
    CBoundingBox box;
    if (points == nullptr || count <= 0) {
        return box;
    }
    box.minimum = points[0];
    box.maximum = points[0];
    for (int i = 1; i < count; ++i) {
        box.minimum = CVector3(std::min(box.minimum.x, points[i].x), std::min(box.minimum.y, points[i].y),
                               std::min(box.minimum.z, points[i].z));
        box.maximum = CVector3(std::max(box.maximum.x, points[i].x), std::max(box.maximum.y, points[i].y),
                               std::max(box.maximum.z, points[i].z));
    }
    box.centre = (box.minimum + box.maximum) * 0.5f;
    return box;
}
