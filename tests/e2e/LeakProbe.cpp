// Loses one block of memory on purpose, for the test that the sanitized
// build reports leaks of the game's own code: it loses the block in its
// display callback (our code called from inside the window library, as the
// game's frames are) and ends with exit(0) from its idle callback, as the
// finish button does. Builds without the leak checker exit with 77 at once.
#include <GL/freeglut.h>

#include <cstdio>
#include <cstdlib>

#ifdef RIDGELINE_LEAK_CHECK_BEFORE_EXIT_HANDLERS

namespace {

char* volatile lost = nullptr;
bool displayed      = false;

__attribute__((noinline)) void LoseABlock() {
    lost = new char[48];
    lost = nullptr;
}

void Display() {
    if (!displayed) {
        LoseABlock();
        displayed = true;
    }
    glClear(GL_COLOR_BUFFER_BIT);
    glutSwapBuffers();
}

void Idle() {
    static int callsAfterDisplay = 0;
    if (displayed && ++callsAfterDisplay > 2) {
        std::exit(0);
    }
    glutPostRedisplay();
}

} // namespace

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayString("rgb double depth");
    glutInitWindowSize(64, 64);
    glutCreateWindow("ridgeline-leak-probe");
    glutDisplayFunc(Display);
    glutIdleFunc(Idle);
    glutMainLoop();
    return 1;
}

#else

int main() {
    std::puts("ridgeline-leak-probe: no leak checker in this build");
    return 77;
}

#endif
