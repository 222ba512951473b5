#include "ui/MessageAnimation.h"

#include <algorithm>

void CMessageAnimation::Start(Kind newKind, const std::string& newText) {
    kind      = newKind;
    text      = newText;
    holdTimer = 0.0f;
    switch (kind) {
    case turn:
        phase = turnStart;
        break;
    case goodAttack:
        phase = goodStart;
        break;
    default:
        phase = 0.0f;
        break;
    }
}

bool CMessageAnimation::Advance(float dt, CMessagePose& pose) {
    pose         = CMessagePose();
    bool running = false;
    switch (kind) {
    case turn:
        running = AdvanceTurn(dt, pose);
        break;
    case goodAttack:
        running = AdvanceGoodAttack(dt, pose);
        break;
    case weakAttack:
        running = AdvanceWeakAttack(dt, pose);
        break;
    case idle:
        return false;
    }
    if (!running) {
        kind = idle;
        text.clear();
    }
    return running;
}

// The shear runs from -15 to 0, holds, then runs on to 15.
bool CMessageAnimation::AdvanceTurn(float dt, CMessagePose& pose) {
    bool running = true;
    if (phase < 0.0f) {
        phase = std::min(phase + turnSpeed * dt, 0.0f);
    } else if (phase == 0.0f) {
        holdTimer += dt;
        if (holdTimer >= turnHold) {
            phase = turnSpeed * dt;
        }
    } else {
        phase += turnSpeed * dt;
        if (phase >= turnEnd) {
            phase   = turnEnd;
            running = false;
        }
    }
    pose.shear = phase;
    return running;
}

// The scale grows from 0.1 to 1, holds, and shrinks back to 0.1 as the
// phase runs on from 1 to 1.9.
bool CMessageAnimation::AdvanceGoodAttack(float dt, CMessagePose& pose) {
    bool running = true;
    if (phase < 1.0f) {
        phase      = std::min(phase + goodSpeed * dt, 1.0f);
        pose.scale = phase;
        return true;
    }
    if (phase == 1.0f) {
        holdTimer += dt;
        if (holdTimer < goodHold) {
            pose.scale = 1.0f;
            return true;
        }
        phase += goodSpeed * dt;
    } else {
        phase += goodSpeed * dt;
    }
    if (phase >= goodEnd) {
        phase   = goodEnd;
        running = false;
    }
    pose.scale = 2.0f - phase;
    return running;
}

// Waits upright, flips over the x axis to 180 degrees, then sinks by 10.
bool CMessageAnimation::AdvanceWeakAttack(float dt, CMessagePose& pose) {
    bool running = true;
    if (phase == 0.0f) {
        holdTimer += dt;
        if (holdTimer >= weakWait) {
            phase = weakFlipSpeed * dt;
        }
    } else if (phase < weakFlipped) {
        phase = std::min(phase + weakFlipSpeed * dt, weakFlipped);
    } else {
        phase += weakSinkSpeed * dt;
        if (phase >= weakEnd) {
            phase   = weakEnd;
            running = false;
        }
    }
    pose.angle = std::min(phase, weakFlipped);
    pose.lift  = phase > weakFlipped ? phase - weakFlipped : 0.0f;
    return running;
}
