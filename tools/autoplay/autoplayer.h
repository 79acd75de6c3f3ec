// An automatic player: presses the next key from the game's state, headless. The tests play
// the whole game with it, and the demo recorder records it doing so.
#pragma once

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

// One room of a dungeon as the player saw it when the dungeon was loaded.
struct RoomMemory {
    bool exists = false;
    bool open[4] = {};   // doorways by side: north, east, south, west
    std::string feature; // "Start", "NPC", "Boss", a door code, or empty
    std::string pickup;  // the item lying here, or empty
};

// A dungeon as the player saw it on entering it.
struct DungeonMemory {
    int width = 0, height = 0;
    int startRow = 0, startCol = 0;
    std::vector<RoomMemory> rooms; // row by row
};

// Thrown by the player when it cannot go on: where it was and what it wanted.
struct PlayerStuck {
    std::string where;
};

// How the player goes about the game. The careful player (the tests' and the demos') looks into
// every dungeon, takes every item and gains levels and rests until a boss fight looks safe.
// The others are the balance report's: they fight each boss as soon as they reach him.
enum class PlayStyle {
    careful,
    directed,  // straight to the next key or boss, taking what lies in the rooms on the way
    noScrolls, // the directed player who never picks up a spell scroll
    thorough,  // the directed player who enters every room of a boss's dungeon before him
    gatherer,  // the directed player who comes back once for every scroll it found
};

struct AutoPlayer {
    // --- What the player remembers ---
    std::map<int, DungeonMemory> dungeons; // by game mode, from the last visit
    std::set<std::pair<int, int>> emptied; // rooms whose item it took: game mode, room index
    std::set<std::pair<int, int>> silent;  // rooms whose characters it cannot reach
    std::map<int, int> bossLostAtLevel;    // boss number: the level of the last defeat by it
    std::map<int, int> bossDefeatsAtLevel; // boss number: defeats by it at that level
    bool visitRemembered = false;          // the running dungeon visit has been looked at
    bool saved = false;                    // the game has been saved once
    bool quitAfterSave = false;            // then the program is quit and started again
    bool continueNext = false;             // the next title menu is answered with Continue
    bool quitWhenWon = false;              // after the ending, Quit in the title menu (else wait)
    std::string goal;                      // what it was doing last, for the failure message
    PlayStyle style = PlayStyle::careful;
    std::set<int> takenThisVisit;               // rooms of the running visit whose item it took
    std::set<std::pair<int, int>> scrollsFound; // rooms it took a scroll from: mode, room index
    std::set<std::pair<int, int>> scrollsAgain; // of those, fetched again since the last boss

    // --- What it watches ---
    bool fighting = false;
    int foeBoss = 0; // the boss of the battle under way, 0 for a monster
    bool creditsSeen = false;

    // --- Counts for the summary and the bounds ---
    int decisions = 0, stalledDecisions = 0;
    std::tuple<int, int, int, int, int, int> lastProgress{};
    int battles = 0, battlesWon = 0, defeats = 0, steps = 0, roomEntries = 0, saves = 0;
    int lastRoom = -1;
    int lastDungeon = 0;                     // game mode of the dungeon visited last
    std::set<std::pair<int, int>> roomsSeen; // game mode, room index
};

// The key source: called whenever the game looks for input; adds one key press, or none once
// the game has been won and the title menu is back (which ends the run).
void pressNextKey(AutoPlayer &bot);
// The present hook: counts battles and their outcomes, and notices the credits.
void watchScreen(AutoPlayer &bot);
// Where the player is and what it is after, for messages.
std::string describeSituation(const AutoPlayer &bot);
