#include "GlFixture.h"

#include <GL/freeglut.h>

#include <cstdlib>

#include "platform/MessageBox.h"

namespace {

int glutWindow = 0;

void IgnoreDisplay() {}

} // namespace

void GlTest::SetUpTestSuite() {
    if (glutWindow != 0) {
        return;
    }
    if (std::getenv("DISPLAY") == nullptr) {
        return;
    }
    int   argc   = 1;
    char  name[] = "ridgeline-gl-test";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH | GLUT_STENCIL);
    glutInitWindowSize(windowWidth, windowHeight);
    glutWindow = glutCreateWindow("ridgeline-gl-test");
    glutDisplayFunc(IgnoreDisplay);
    glutHideWindow();
    glutMainLoopEvent();
}

void GlTest::SetUp() {
    ASSERT_NE(glutWindow, 0) << "GL tests need a display: run them through ./test, which starts Xvfb";
    glutSetWindow(glutWindow);
    glViewport(0, 0, windowWidth, windowHeight);
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
}

void GlSceneTest::SetUp() {
    GlTest::SetUp();
    app          = GetApp();
    saved        = app->options;
    app->options = CAppOptions();
    CMessageBox::StartRecording();
}

void GlSceneTest::TearDown() {
    CMessageBox::StopRecording();
    app->options = saved;
}
