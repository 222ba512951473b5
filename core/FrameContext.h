#pragma once

// What the drawing subsystems may know of the running frame without the
// application object: the frame time, the debug overlay's lines and the
// window size. The application provides them; render/, ui/, fx/ and editor/
// include this header instead of the application's.

// Seconds of the last frame; 0 during the first frame.
float GetFrameTime();
// Records one overlay line for this frame (printf rules, cut to 511
// characters), only with debug info or editor mode on.
void AddDebugLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The window's client size in pixels, as of the last reshape.
int GetWindowWidth();
int GetWindowHeight();
