#pragma once

#include <cstdint>
#include <string>

// A series of seeded games between two players on one level, as
// ridgeline-match --tournament plays it.
struct CTournamentOptions {
    std::string levelName = "TestLevel";
    uint64_t    firstSeed = 1; // game g is played with seed firstSeed + g
    int         games     = 10;
    std::string playerA   = "normal";
    std::string playerB   = "greedy";
    int         maxTurns  = 300; // a game still open after this many turns is a draw
};

// Whether the name is a player the tournament knows: easy, normal, hard
// (the computer's levels), random, greedy.
bool IsTournamentPlayer(const std::string& name);

// Plays the games, A with the team that moves first in the even games and
// B in the odd ones, and prints the wins of each, the draws, the average
// length of a game and each player's decision time per turn. Returns the
// exit status: 0, 1 when a player gave a command the rules refused, 2 when
// the level cannot be played.
int RunTournament(const CTournamentOptions& options);
