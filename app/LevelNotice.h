#pragma once

#include <string>
#include <vector>

// What the window shows instead of a level that could not be loaded: that it
// could not be loaded, where the reason is written, and how to leave.
class CLevelNotice {
public:
    // The lines, top down; the log's path is absolute, so the player finds
    // it whatever folder the game was started from.
    static std::vector<std::string> GetLines(const std::string& levelName);
    // Draws the lines in white, centred across the lower part of the window,
    // over whatever the frame holds; the GL state is restored afterwards.
    static void Draw(const std::string& levelName, int windowWidth, int windowHeight);
};
