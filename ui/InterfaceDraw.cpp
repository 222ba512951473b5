// Drawing the heads-up display: the 3D message pass and the 2D elements.

#include <GL/glu.h>

#include <algorithm>
#include <string>

#include "render/GlState.h"
#include "ui/Interface.h"

namespace {

// The 3D messages are drawn in a view of their own.
constexpr double messageFieldOfView = 45.0;
constexpr double messageNearPlane   = 1.0;
constexpr double messageFarPlane    = 100.0;
constexpr float  messageDistance    = 5.0f;
constexpr float  messageScale       = 0.5f;

void ApplyPose(const CMessagePose& pose) {
    // Column-major: row 0, column 1 is element 4 (x' = x + shear * y).
    const GLfloat shear[16] = {1, 0, 0, 0, pose.shear, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    glMultMatrixf(shear);
    glScalef(pose.scale, pose.scale, pose.scale);
    glRotatef(pose.angle, 1.0f, 0.0f, 0.0f);
    glTranslatef(0.0f, pose.lift, 0.0f);
}

void SetColour(const CColour& colour) {
    glColor4f(colour.red, colour.green, colour.blue, colour.alpha);
}

} // namespace

void CInterface::BuildFonts() {
    if (fontsBuilt) {
        return;
    }
    fontsBuilt = true;
    const struct {
        const CFontEntry& entry;
        CFont&            font;
    } bitmapFonts[] = {{layout.fontRegular, fontRegular}, {layout.fontHead, fontHead}, {layout.fontFinish, fontFinish}};
    for (const auto& bitmap : bitmapFonts) {
        if (bitmap.entry.loaded) {
            bitmap.font.BuildBitmapFont();
        }
    }
    if (layout.font3d.loaded) {
        font3d.BuildOutlineFont(screenWidth);
    }
}

void CInterface::Draw(const CHudState& state) {
    BuildFonts();
    const CGlStateScope savedColour(GL_CURRENT_BIT);
    DrawMessage(state.frameTime);
    BuildDrawList(state, drawList);
    const CWindowProjectionScope windowPixels(screenWidth, screenHeight);
    if (state.options.transparency) {
        glEnable(GL_BLEND);
    } else {
        glDisable(GL_BLEND);
    }
    glDepthMask(GL_FALSE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    DrawItems(drawList);
}

// The running message advances by the frame time and is drawn in front of
// the camera, lit from the upper right; its flag follows the animation.
// The light set here is restored afterwards.
void CInterface::DrawMessage(float frameTime) {
    if (!IsMessageRunning()) {
        return;
    }
    const CGlStateScope state(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_TRANSFORM_BIT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(messageFieldOfView, static_cast<double>(screenWidth) / std::max(screenHeight, 1), messageNearPlane,
                   messageFarPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_RESCALE_NORMAL);
    const GLfloat lightDirection[4] = {1.0f, 1.0f, 1.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, lightDirection);
    glEnable(GL_LIGHT0);
    glTranslatef(0.0f, 0.0f, -messageDistance);
    glScalef(messageScale, messageScale, messageScale);

    const std::string text = message.GetText();
    CMessagePose      pose;
    const bool        running = message.Advance(frameTime, pose);
    ApplyPose(pose);
    font3d.Print3D("%s", text.c_str());
    turnMessageRunning       = turnMessageRunning && running;
    goodAttackMessageRunning = goodAttackMessageRunning && running;
    weakAttackMessageRunning = weakAttackMessageRunning && running;

    glDisable(GL_RESCALE_NORMAL);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

void CInterface::DrawItems(const CHudDrawList& list) const {
    for (size_t index = 0; index < list.GetCount(); ++index) {
        const CHudDrawItem& item = list.GetItem(index);
        SetColour(item.colour);
        if (item.kind == CHudDrawItem::quadItem) {
            glBegin(GL_QUADS);
            for (const auto& corner : item.corners) {
                glVertex2i(corner[0], corner[1]);
            }
            glEnd();
        } else {
            glRasterPos2i(item.x, item.y);
            GetFont(item.font).Print("%s", item.text);
        }
    }
}
