// A checker proving with the game's own loaders that the data files let the game be won.
#pragma once

#include <string>
#include <vector>

// What the checker found in a data directory.
struct DataReport {
    std::vector<std::string> problems; // faults that break or spoil the game
    std::vector<std::string> warnings; // oddities the game lives with
    std::vector<std::string> route;    // how the game is won, one step a line
};

// Checks the seven data files of a directory: every tagged section is there and fits where it
// is typed, the boss pictures fit the battle screen, the three dungeons are whole, and keys,
// boss fights and pickups lead from the first room to the ending.
//
// Needs a started game on the headless backend (as the GameTest fixture gives): the text is
// measured with the game's own typewriter on the screen buffer, the boss rewards are played
// through the game's own screens, and pickups are judged by its own rule (pickupOf). The
// screen is left cleared; the game's state is given back.
DataReport examineGameData(const std::string &dataDirectory);

// The problems of examineGameData; empty when the data is good.
std::vector<std::string> checkGameData(const std::string &dataDirectory);

// The facts the data generators in tools/ read instead of keeping copies: the non-player
// characters, the doorways, the locked doors' codes, the pickup texts with what they give and
// the areas texts are typed in, as JSON. Needs a started game, as examineGameData does.
std::string gameFacts();
