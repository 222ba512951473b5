#include "view/CameraFlight.h"

#include <algorithm>

#include "core/Camera.h"

void CCameraFlight::Start(const CCamera& camera, const CVector3& eye, const CVector3& center, float flightSeconds,
                          float heightAboveGround) {
    fromEye    = camera.GetEye();
    fromCenter = camera.GetCenter();
    toEye      = eye;
    toCenter   = center;
    seconds    = std::max(flightSeconds, 0.0f);
    elapsed    = 0.0f;
    height     = heightAboveGround;
    flying     = true;
}

void CCameraFlight::Advance(float dt, CCamera& camera) {
    if (!flying) {
        return;
    }
    elapsed += std::max(dt, 0.0f);
    const CVector3 up(0.0f, 1.0f, 0.0f);
    if (elapsed >= seconds) {
        flying = false;
        camera.SetPosition(toEye, toCenter, up);
        camera.SetHeightAboveGround(height);
        return;
    }
    const float t = elapsed / seconds;
    const float s = t * t * (3.0f - 2.0f * t); // eases in and out
    camera.SetPosition(fromEye + (toEye - fromEye) * s, fromCenter + (toCenter - fromCenter) * s, up);
}
