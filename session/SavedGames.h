#pragma once

#include <ctime>
#include <string>
#include <vector>

// One game of the saves folder, as the start-up offers it.
struct CSavedGame {
    std::string path;
    std::string startTime; // as the log's header has it
    std::string level;
    int         commands = 0;
    bool        playable = false; // the log loads and replays here
    bool        finished = false;
    std::string state; // "team 2 to move in turn 3", or why it cannot be played
};

// Where games are kept and what is there. Every game is a log file in one
// folder, named by the time the game began.
class CSavedGames {
public:
    // The folder of every log: "saves" in the working directory, or the
    // user's state folder's for an installed copy.
    static std::string Folder();
    // Creates the folder when missing. False (logged) when it cannot be
    // made or is not a folder of its own (a link is refused).
    static bool EnsureFolder();
    // "YYYY-MM-DDTHH:MM:SSZ" (UTC) for the log's header.
    static std::string FormatStartTime(time_t time);
    // A path for a new log begun at that time: "<folder>/YYYY-MM-DD_HH-MM-SS.log",
    // with "-2", "-3" ... appended while the name is taken.
    static std::string NewLogPath(time_t time);
    // Every ".log" file of the folder, newest first, each loaded and
    // replayed to say where it stands. At most maxListed are looked at.
    static std::vector<CSavedGame> List();
    static constexpr size_t        maxListed = 100;
};
