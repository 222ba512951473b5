#include "platform/Cursor.h"

#include <GL/freeglut.h>

void CCursor::Place(int x, int y) {
    glutWarpPointer(x, y);
}
