#pragma once

// Places the mouse pointer in the current window.
class CCursor {
public:
    // Window pixels, origin at the top left. The move produces a motion
    // event like any other, so callers that centre the pointer each frame
    // must expect to see their own move come back.
    static void Place(int x, int y);
};
