#pragma once

#include "core/Vector3.h"

class CCamera;

// A short, smooth flight of the camera to a new view, stepped by the frame
// time: eye and point looked at glide there together, slow at both ends.
// The flight ends with the camera at the target and at the height above
// ground it is to keep.
class CCameraFlight {
public:
    // Starts from where the camera is; a flight of no length lands at once
    // with the next Advance.
    void Start(const CCamera& camera, const CVector3& eye, const CVector3& center, float seconds,
               float heightAboveGround);
    bool IsFlying() const { return flying; }
    // Moves the camera dt seconds along the flight; nothing when not flying.
    void Advance(float dt, CCamera& camera);

private:
    CVector3 fromEye, fromCenter, toEye, toCenter;
    float    seconds = 0.0f;
    float    elapsed = 0.0f;
    float    height  = 0.0f;
    bool     flying  = false;
};
