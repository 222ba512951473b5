#include "core/Camera.h"

#include <cmath>

#include "core/Heightmap.h"
#include "core/Quaternion.h"

namespace {

constexpr float pi = 3.14159265358979323846f;

// Below this length a direction is treated as zero and not normalised.
constexpr float tinyLength = 1e-6f;

} // namespace

CCamera::CCamera(const CHeightmap* heightmapValue, float height)
    : heightAboveGround(height), heightmap(heightmapValue) {}

void CCamera::SetPosition(const CVector3& eyeValue, const CVector3& centerValue, const CVector3& upValue) {
    eye    = eyeValue;
    center = centerValue;
    up     = upValue;
    RefreshRight();
    changed = true;
}

float CCamera::GroundHeight(float x, float z) const {
    return heightmap != nullptr ? heightmap->HeightAt(x, z) : 0.0f;
}

float CCamera::GroundExtent() const {
    if (heightmap == nullptr || heightmap->IsEmpty()) {
        return 0.0f;
    }
    return static_cast<float>(heightmap->GetWidth() - 1) * heightmap->GetSpacing();
}

CVector3 CCamera::ViewDirection() const {
    const CVector3 view = center - eye;
    return view.Length() > tinyLength ? Normalize(view) : CVector3(0.0f, 0.0f, 1.0f);
}

void CCamera::RefreshRight() {
    // A view parallel to up has no sideways direction; the last one is kept.
    const CVector3 side = Cross(ViewDirection(), up);
    if (side.Length() > tinyLength) {
        right = Normalize(side);
    }
}

void CCamera::MoveAlongView(float amount, bool groundOnly, float frameTime) {
    const CVector3 direction = ViewDirection();
    const float    step      = frameTime * amount * speedScale;
    if (groundOnly) {
        FollowGround(direction.x * step, direction.z * step);
        return;
    }
    const float newHeight = eye.y + direction.y * step - GroundHeight(eye.x, eye.z);
    if (newHeight < minZoomHeight || newHeight > maxZoomHeight) {
        return;
    }
    heightAboveGround = newHeight;
    eye               = eye + direction * step;
    center            = center + direction * step;
    changed           = true;
}

void CCamera::Strafe(float amount, float frameTime) {
    RefreshRight();
    const float step = frameTime * amount * speedScale;
    FollowGround(right.x * step, right.z * step);
}

void CCamera::FollowGround(float dx, float dz) {
    eye.x += dx;
    eye.z += dz;
    center.x += dx;
    center.z += dz;
    SetHeightAboveGround(heightAboveGround);
}

void CCamera::SetHeightAboveGround(float height) {
    heightAboveGround  = height;
    const float newEye = GroundHeight(eye.x, eye.z) + height;
    center.y += newEye - eye.y;
    eye.y   = newEye;
    changed = true;
}

bool CCamera::IsTooCloseToVertical(const CVector3& direction) const {
    const float limit = std::cos(minAngleToVertical * pi / 180.0f);
    return std::fabs(Dot(Normalize(direction), Normalize(up))) > limit;
}

void CCamera::Rotate(int yawTicks, int pitchTicks) {
    if (yawTicks == 0 && pitchTicks == 0) {
        return;
    }
    if (pitchTicks != 0) {
        const float    pitchAngle = degreesPerTick * static_cast<float>(pitchTicks);
        const CVector3 oldCenter  = center;
        RefreshRight();
        RotateAboutAxis(pitchAngle, right);
        if (IsTooCloseToVertical(center - eye)) {
            center = oldCenter;
        } else {
            pitch -= pitchAngle;
        }
    }
    if (yawTicks != 0) {
        RotateAboutAxis(degreesPerTick * static_cast<float>(yawTicks), CVector3(0.0f, 1.0f, 0.0f));
    }
}

void CCamera::RotateAboutAxis(float angleDegrees, const CVector3& axis) {
    const CQuaternion q    = CQuaternion::FromAxisAngle(angleDegrees, axis.x, axis.y, axis.z);
    const CVector3    view = center - eye;
    const CQuaternion v{view.x, view.y, view.z, 0.0f};
    const CQuaternion rotated = Multiply(Multiply(q, v), Conjugate(q));
    center                    = eye + CVector3(rotated.x, rotated.y, rotated.z);
    changed                   = true;
}
