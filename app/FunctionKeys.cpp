#include "app/Application.h"

#include <GL/freeglut.h>

#include "editor/Editor.h"
#include "view/BattleView.h"
#include "render/Terrain.h"
#include "render/TextureManager.h"

namespace {

// The next value of a function-key cycle over the enum values first..last.
template <typename Mode> Mode NextInCycle(Mode value, Mode first, Mode last) {
    return value >= last || value < first ? first : static_cast<Mode>(value + 1);
}

} // namespace

// CApplication's function keys: F1 to F10 switch render options (in editor
// mode F4 to F12 belong to the editor), Alt+F4 quits.
void CApplication::HandleFunctionKey(int key, int modifiers) {
    if (key == GLUT_KEY_F4 && modifiers == GLUT_ACTIVE_ALT) {
        QuitFromKey();
        return;
    }
    // In editor mode F5 to F12 are the editor's; F4 does nothing there.
    if (options.editorMode && key >= GLUT_KEY_F4 && key <= GLUT_KEY_F12) {
        if (editor) {
            editor->OnFunctionKey(key - GLUT_KEY_F1 + 1);
        }
        return;
    }
    switch (key) {
    case GLUT_KEY_F1:
        options.showRenderInfo = !options.showRenderInfo;
        break;
    case GLUT_KEY_F2:
        options.showFramerate = !options.showFramerate;
        break;
    case GLUT_KEY_F3:
        options.wireframe = !options.wireframe;
        glPolygonMode(GL_FRONT_AND_BACK, options.wireframe ? GL_LINE : GL_FILL);
        break;
    case GLUT_KEY_F4:
        options.textureFilter = NextInCycle(options.textureFilter, textureFilterNearest, textureFilterLinear);
        break;
    case GLUT_KEY_F5:
        options.mipmapMode = NextInCycle(options.mipmapMode, mipmapOff, mipmapTrilinear);
        break;
    case GLUT_KEY_F6:
        options.renderMode =
            NextInCycle(options.renderMode, options.vertexBufferObjects ? renderBufferObjects : renderVertexArrays,
                        renderImmediate);
        break;
    case GLUT_KEY_F7:
        options.displayLists = !options.displayLists;
        break;
    case GLUT_KEY_F8:
        options.frustumCulling = !options.frustumCulling;
        break;
    case GLUT_KEY_F9:
        options.transparency = !options.transparency;
        break;
    case GLUT_KEY_F10:
        options.levelOfDetail = !options.levelOfDetail;
        break;
    default:
        break;
    }
    ApplyRenderOptionChange(key);
}

// Filters live in every cached texture, and the terrain's detail and culling
// are chosen again only when told, so those changes are pushed at once.
void CApplication::ApplyRenderOptionChange(int key) {
    if (!level) {
        return;
    }
    if ((key == GLUT_KEY_F4 || key == GLUT_KEY_F5) && level->GetTextures() != nullptr) {
        level->GetTextures()->ApplyFilter(options.textureFilter, options.mipmapMode);
    }
    if ((key == GLUT_KEY_F8 || key == GLUT_KEY_F10) && level->GetTerrain() != nullptr) {
        level->GetTerrain()->Invalidate();
    }
}
