#pragma once

#include <string>

// How a message is drawn in the current frame: a shear x' = x + shear * y,
// a uniform scale, a rotation about the x axis in degrees and then a lift
// along y.
struct CMessagePose {
    float shear = 0.0f;
    float scale = 1.0f;
    float angle = 0.0f;
    float lift  = 0.0f;
};

// The animation of one 3D message, stepped by the frame time:
// turn (slant in, hold, slant out: 1.5 s), good attack (grow, hold, shrink:
// 1.5 s), weak attack (wait, flip over, sink: 2 s). A frame time of 0
// leaves it where it is.
class CMessageAnimation {
public:
    enum Kind { idle = 0, goodAttack = 1, weakAttack = 2, turn = 3 };

    static constexpr float turnStart     = -15.0f; // shear at the start
    static constexpr float turnEnd       = 15.0f;
    static constexpr float turnSpeed     = 30.0f; // shear per second
    static constexpr float turnHold      = 0.5f;  // seconds
    static constexpr float goodStart     = 0.1f;  // scale at the start
    static constexpr float goodEnd       = 1.9f;  // phase at the end (scale 0.1)
    static constexpr float goodSpeed     = 1.8f;  // phase per second
    static constexpr float goodHold      = 0.5f;
    static constexpr float weakWait      = 1.0f;
    static constexpr float weakFlipSpeed = 360.0f; // degrees per second
    static constexpr float weakFlipped   = 180.0f;
    static constexpr float weakSinkSpeed = 20.0f; // units per second, counted in the phase
    static constexpr float weakEnd       = 190.0f;

    // Starts a message of `kind` (goodAttack, weakAttack or turn) showing text.
    void Start(Kind kind, const std::string& text);

    Kind               GetKind() const { return kind; }
    bool               IsRunning() const { return kind != idle; }
    const std::string& GetText() const { return text; }
    float              GetPhase() const { return phase; }

    // Steps the animation by dt seconds and gives the pose to draw this
    // frame. Returns false when this frame is its last (it is drawn once
    // more at its end value, and the animation is idle afterwards).
    bool Advance(float dt, CMessagePose& pose);

private:
    bool AdvanceTurn(float dt, CMessagePose& pose);
    bool AdvanceGoodAttack(float dt, CMessagePose& pose);
    bool AdvanceWeakAttack(float dt, CMessagePose& pose);

    Kind        kind = idle;
    std::string text;
    float       phase     = 0.0f;
    float       holdTimer = 0.0f; // seconds spent holding
};
