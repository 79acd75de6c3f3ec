// The dungeons: the map file and its grid of rooms, room drawing and locked doors, rubble,
// the dungeon screen with its flashlight clock, the exploration step, the overhead map and
// the pickups.
#pragma once

#include <cstdint>
#include <iterator>
#include <memory>
#include <optional>

#include "console/console.h"
#include "game/game.h"
#include "items/items.h"
#include "resources/resources.h"

constexpr int roomRows = 14;
constexpr int roomColumns = 22;      // visible columns; column 22 holds each row's terminator
constexpr int roomTextCapacity = 20; // pickup and feature texts hold at most 19 characters
static_assert(weaponNameCapacity >= roomTextCapacity, "a picked-up weapon's name must fit");
constexpr int roomScreenColumn = 5; // where a room's cell (0, 0) is drawn
constexpr int roomScreenRow = 2;
// Where the lit flashlight's clock counts down, above the room; six blanks clear it.
constexpr uint16_t flashlightClockColumn = 16;
constexpr uint16_t flashlightClockRow = 1;

// A wall of a room, in the order of the doorway table.
enum class Side : uint8_t { north, east, south, west };

// A wall's doorway: its wall and that wall's letter in the map file and the door codes, the
// wall facing it in the next room, the step to that room and the cell of the wall it opens.
struct Doorway {
    Side side;
    char letter;
    Side facing;
    int rowStep, columnStep;
    int row, column;
};
// The four doorways, in the map file's order N, E, S, W; everything that knows where a
// doorway lies (loader, rubble, drawing, overhead map, data checker, automatic player) reads
// it here.
inline constexpr Doorway doorways[4] = {{Side::north, 'N', Side::south, -1, 0, 0, 10},
                                        {Side::east, 'E', Side::west, 0, 1, 7, roomColumns - 1},
                                        {Side::south, 'S', Side::north, 1, 0, roomRows - 1, 10},
                                        {Side::west, 'W', Side::east, 0, -1, 7, 0}};
// The doorway of a wall.
constexpr const Doorway &doorwayOf(Side side) {
    return doorways[static_cast<size_t>(side)];
}
static_assert(
    [] {
        for (size_t i = 0; i < std::size(doorways); i++) {
            if (doorways[i].side != static_cast<Side>(i)) return false;
        }
        return true;
    }(),
    "the doorway table is in the order of Side");
// The doorway of a map file letter, or null for any other character.
constexpr const Doorway *doorwayOfLetter(char letter) {
    for (const Doorway &doorway : doorways) {
        if (doorway.letter == letter) return &doorway;
    }
    return nullptr;
}

// Room state: not in the file (what a new grid holds), not shown yet, shown at least once.
enum class RoomState : uint8_t { absent, shown, unseen };

// Cell characters with a meaning of their own.
constexpr char cellRubble = glyphDarkShade;
constexpr char cellPickup = '$';
constexpr char cellNpc = 2;
constexpr char cellBoss = 1;

// One room of a dungeon grid.
struct Room {
    char cells[roomRows][roomColumns + 1]; // the picture, each row a string of 22 characters
    int32_t encounterLevel;                // character code of the room's level character
    RoomState state;
    std::unique_ptr<char[]> pickupText;  // what lies here, or null
    std::unique_ptr<char[]> featureCode; // "Start", "NPC", "Boss", a door code, or null
};

// A dungeon's rooms, row by row: room (row, column) is rooms[row * width + column].
using RoomGrid = std::unique_ptr<Room[]>;
using SeenCells = char[roomRows][roomColumns + 1];

// Everything one visit to a dungeon keeps, from loading its rooms to leaving.
struct DungeonVisit {
    GameMode dungeon = modeCave; // which dungeon: modeCave, modeSewer or modeCastle
    RoomGrid rooms;              // null between visits
    int32_t roomRow = 0;         // the current room
    int32_t roomCol = 0;
    int32_t height = 0;
    int32_t width = 0;
    SeenCells seenCells = {};         // cells of the current room shown so far
    int32_t stepsUntilEncounter = 10; // steps before encounters are rolled for
    bool roomChanged = true;          // the next draw shows a room just entered
};

// --- Dungeon visit, for one visit ---
// The visit under way: enterDungeon fills it and empties it again however the visit ends;
// tests and the automatic player read it.
extern DungeonVisit dungeonVisit;

// --- Map file and loader ---
// A dungeon as its map file section gives it: the rooms, the start room and the grid's size.
struct DungeonMap {
    RoomGrid rooms;           // null when the section cannot be played; the problem says why
    int32_t startRoomRow = 0; // the room that says "Start"
    int32_t startRoomCol = 0;
    int32_t height = 0; // as the section gives it, even when it cannot be played
    int32_t width = 0;
    LoadProblem problem;
};
// The dungeon of a tagged section of a map file. No rooms when the file cannot be read, the
// tag is missing, the section is cut short or has no start room. The rooms of bosses beaten
// in dungeonMode's dungeon (a gameMode: 4, 5 or 6) come without their feature.
DungeonMap loadDungeon(const char *fileName, const char *tag, int32_t dungeonMode);
// The same for the bytes of a map file already read.
DungeonMap parseDungeon(const std::string &bytes, const char *tag, int32_t dungeonMode);
// One visit to the dungeon of a tag, from loading to leaving. Returns where the player goes
// next: the world map, the tavern after a knockout, the title after the ending.
GameMode enterDungeon(const char *tag);
// A room as the loader builds it before its doors: walls, corners, blank floor.
void buildFreshRoom(Room &room);
// Opens the wall cell of a side.
void openDoorway(Room &room, Side side);
// True when the room's feature code is exactly this text (a null code is nothing).
bool featureIs(const Room &room, const char *code);

// --- Room drawing and locked doors ---
// A colour of locked door: its code letter, how it is drawn, the key that opens it and how
// the message for a missing key names it.
struct DoorKind {
    char letter;
    uint16_t doorColour; // black on the door's colour
    int32_t keyItem;     // item number of its key; 0 for the sealed door, which never opens
    const char *word;    // the colour word in "You need a ... key to go through there."
    uint16_t wordColour;
};
// The door a feature code puts in a wall: "LD", the side (N, E, S, W), the colour letter.
// Null when the code is not a door code for that side (the sealed "X" is west only).
const DoorKind *lockedDoorOf(const char *featureCode, Side side);
// Paints the locked door a door code names over its doorway; other texts draw nothing.
void drawLockedDoor(const char *featureCode);

// --- Rubble ---
using FreeCells = int32_t[roomRows][roomColumns + 1];
// Fills the interior with 100 blocks of rubble, never cutting a space off an open exit.
void scatterRubble(Room &room);
void markFreeCells(const Room &room, FreeCells &grid);
void floodFillExits(const Room &room, FreeCells &grid, int row, int column, int32_t &fillProduct);
// A random empty interior cell (row drawn first); false when the room has none.
bool randomEmptyCell(const Room &room, int &row, int &column);

// --- Dungeon screen and clock ---
// Makes a room ready to be shown: furnished (rubble, its item, character or boss) the first time
// on a visit, and the player put on a free cell when not placed yet. Before each draw.
void readyRoom(Room &room);
// Draws the room of a readied grid, the dividers, the stats and the keys; in Hard mode only what
// the player has come near (seenCells, started afresh when roomChanged).
void drawRoomScreen(const Room *rooms, int32_t roomRow, int32_t roomCol, int32_t width,
                    SeenCells &seenCells, bool &roomChanged);
void resetSeenCells(const Room &room, SeenCells &seenCells);
void drawPlayer();
// One tick of the flashlight clock; true once it stands at 0:00.
bool tickFlashlightClock();
// True when more than limitMillis have gathered since it last returned true.
bool intervalElapsed(int32_t limitMillis);
// How long the exploration may wait for a key before the flashlight clock needs a call.
int32_t millisUntilClockTick();

// --- Exploration ---
// One poll of the keyboard and everything it brings. Nothing while the visit goes on; once
// it is over, the mode the player goes on to.
std::optional<GameMode> exploreStep(DungeonVisit &visit);

// --- Overhead map ---
// The whole grid, scrollable with the arrows; returns on Enter.
void showOverheadMap(const Room *rooms, int32_t roomRow, int32_t roomCol, int32_t height,
                     int32_t width);

// --- Pickups ---
// An item a room's pickup text gives, and how the count changes: food is counted, a key held,
// a scroll gives charges. Weapons (weaponTable) and the flashlight are picked up otherwise.
struct ItemPickup {
    enum class Gain { count, flag, charges };
    const char *text;
    int32_t item;
    Gain gain;
};
// Searched in order; a text must match exactly. The lavender key's pickup text has always
// been spelled differently from its catalogue name, and maps rely on it.
inline constexpr ItemPickup itemPickups[] = {
    {"Apple", itemApple, ItemPickup::Gain::count},
    {"Cookie", itemCookie, ItemPickup::Gain::count},
    {"Fish Sandwich", itemFishSandwich, ItemPickup::Gain::count},
    {"Red Key", itemRedKey, ItemPickup::Gain::flag},
    {"Green Key", itemGreenKey, ItemPickup::Gain::flag},
    {"Yellow Key", itemYellowKey, ItemPickup::Gain::flag},
    {"Blue Key", itemBlueKey, ItemPickup::Gain::flag},
    {"Light Gray Key", itemLightGrayKey, ItemPickup::Gain::flag},
    {"Lavander Key", itemLavendarKey, ItemPickup::Gain::flag},
    {"Purple Key", itemPurpleKey, ItemPickup::Gain::flag},
    {"White Key", itemWhiteKey, ItemPickup::Gain::flag},
    {"Fire Spell", itemFireSpell, ItemPickup::Gain::charges},
    {"Wind Spell", itemWindSpell, ItemPickup::Gain::charges},
    {"Quake Spell", itemQuakeSpell, ItemPickup::Gain::charges},
    {"Lightning Spell", itemLightningSpell, ItemPickup::Gain::charges},
};
// What an item's text gives when it is picked up, whatever the player holds: an item (counted,
// held as a key or five scroll charges), a flashlight lit, or a weapon (taken only when it is
// stronger than the one held); nothing for a text the game does not know.
struct Pickup {
    int32_t item = 0;                                // the item gained, or 0
    ItemPickup::Gain gain = ItemPickup::Gain::count; // how the item's count grows
    bool lightsFlashlight = false;                   // a flashlight: lit for two minutes
    const Weapon *weapon = nullptr;                  // the weapon offered, or null
};
Pickup pickupOf(const char *text);
// Gives the player what a pickup holds; true when it was a stronger weapon, which the screen
// then announces.
bool takePickup(const Pickup &pickup);
// The dungeon's pickup: takes what the text gives, and types "Your weapon strength increased
// to N!" under the message area when the weapon was stronger.
void pickUpItem(const char *text);
