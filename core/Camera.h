#pragma once

#include "core/Vector3.h"

class CHeightmap;

// The view: an eye that flies at a controlled height above the terrain and
// the point it looks at. Every movement sets `changed`; the frame loop
// recomputes the frustum while it is set and clears it at the end of the
// frame. Amounts are scaled by the frame time passed in (seconds), so speeds
// are per second.
class CCamera {
public:
    // Limits of the eye's height above ground while zooming.
    static constexpr float minZoomHeight = 200.0f;
    static constexpr float maxZoomHeight = 1000.0f;
    // World units per amount unit and second.
    static constexpr float speedScale = 150.0f;
    // Degrees per rotation tick.
    static constexpr float degreesPerTick = 0.05f;
    // A tilt that brings the view closer than this to vertical is refused.
    static constexpr float minAngleToVertical = 5.0f;

    // `heightmap` may be null (flat ground at height 0); it is borrowed.
    explicit CCamera(const CHeightmap* heightmap, float heightAboveGround = 450.0f);

    void SetHeightmap(const CHeightmap* heightmap) { this->heightmap = heightmap; }
    void SetPosition(const CVector3& eye, const CVector3& center, const CVector3& up);

    void MoveAlongView(float amount, bool groundOnly, float frameTime);
    void Strafe(float amount, float frameTime);
    void SetHeightAboveGround(float height);
    void Rotate(int yawTicks, int pitchTicks);
    void RotateAboutAxis(float angleDegrees, const CVector3& axis);

    // Terrain height under a world position (0 without a heightmap).
    float GroundHeight(float x, float z) const;
    // Side length of the ground in world units (0 without a heightmap).
    float GroundExtent() const;

    const CVector3& GetEye() const { return eye; }
    const CVector3& GetCenter() const { return center; }
    const CVector3& GetUp() const { return up; }
    const CVector3& GetRight() const { return right; }
    float           GetPitch() const { return pitch; }
    float           GetHeightAboveGround() const { return heightAboveGround; }
    bool            IsChanged() const { return changed; }
    void            SetChanged(bool value) { changed = value; }

private:
    CVector3 ViewDirection() const;
    void     RefreshRight();
    // Moves eye and centre across the ground by (dx, dz), keeping the height above ground.
    void FollowGround(float dx, float dz);
    bool IsTooCloseToVertical(const CVector3& direction) const;

    bool              changed = true;
    CVector3          eye;
    CVector3          center{0.0f, 0.0f, 1.0f};
    CVector3          up{0.0f, 1.0f, 0.0f};
    CVector3          right{-1.0f, 0.0f, 0.0f};
    float             pitch             = 0.0f;
    float             heightAboveGround = 450.0f;
    const CHeightmap* heightmap         = nullptr;
};
