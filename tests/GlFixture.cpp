#include "GlFixture.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <cstdlib>

#include "TestSupport.h"
#include "platform/MessageBox.h"
#include "rules/GridManager.h"

static int glutWindow = 0;

void GlTest::SetUpTestSuite() {
    if (glutWindow != 0 || std::getenv("DISPLAY") == nullptr) {
        return;
    }
    int   argc   = 1;
    char  name[] = "ridgeline-gl-test";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH | GLUT_STENCIL);
    glutInitWindowSize(windowWidth, windowHeight);
    glutWindow = glutCreateWindow("ridgeline-gl-test");
    glutDisplayFunc([] {});
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

std::string UsableTilesText() {
    std::string tiles = "<tiles>\n";
    for (int number = 0; number < CGridManager::tileCount; ++number) {
        const std::string name = std::to_string(number);
        tiles += "<" + name + "><usable>1</usable><terrainID>0</terrainID></" + name + ">\n";
    }
    return tiles + "</tiles>\n";
}

void WriteTestLevel(const char* params, const std::string& heightmap) {
    MakeFolders("TestLevel/Terrain");
    if (params != nullptr) {
        WriteFile("TestLevel/Terrain/ter_params.ini", params);
    }
    WriteFile("TestLevel/Terrain/ter_heightmap.bmp", heightmap);
    WriteFile("TestLevel/Terrain/terrain.xml", UsableTilesText());
}

void CopyCelPrograms() {
    MakeFolders("shader");
    for (const std::string name : {"celshadermulti.vsh", "celshadersingle.vsh"}) {
        const std::string text = ReadFile(std::string(RIDGELINE_SOURCE_DIR) + "/data/shader/" + name);
        ASSERT_FALSE(text.empty()) << name;
        WriteFile("shader/" + name, text);
    }
}

CPicture CPicture::Read(int width, int height) {
    CPicture picture{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 4)};
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, picture.pixels.data());
    return picture;
}

bool CPicture::Is(int x, int y, const uint8_t rgb[3], int tolerance) const {
    const uint8_t* pixel = At(x, y);
    return std::abs(pixel[0] - rgb[0]) <= tolerance && std::abs(pixel[1] - rgb[1]) <= tolerance &&
           std::abs(pixel[2] - rgb[2]) <= tolerance;
}

int CPicture::Count(const std::function<bool(const uint8_t*)>& accept) const {
    int count = 0;
    for (size_t i = 0; i + 3 < pixels.size(); i += 4) {
        count += accept(&pixels[i]) ? 1 : 0;
    }
    return count;
}

int CountDifferences(const CPicture& a, const CPicture& b, int tolerance) {
    int different = 0;
    for (size_t i = 0; i + 3 < a.pixels.size() && i + 3 < b.pixels.size(); i += 4) {
        const auto differs = [&](size_t c) { return std::abs(a.pixels[i + c] - b.pixels[i + c]) > tolerance; };
        different += differs(0) || differs(1) || differs(2) ? 1 : 0;
    }
    return different;
}

void ClearAndLook(const float clear[3], const CView& view) {
    glClearColor(clear[0], clear[1], clear[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double aspect = static_cast<double>(GlTest::windowWidth) / GlTest::windowHeight;
    if (view.fieldOfView > 0.0) {
        gluPerspective(view.fieldOfView, aspect, view.nearPlane, view.farPlane);
    } else {
        glOrtho(-view.halfSize * aspect, view.halfSize * aspect, -view.halfSize, view.halfSize, view.nearPlane,
                view.farPlane);
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(view.eye[0], view.eye[1], view.eye[2], view.centre[0], view.centre[1], view.centre[2], view.up[0],
              view.up[1], view.up[2]);
}
