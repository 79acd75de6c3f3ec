// The town: the world map between the tavern and the dungeons, the tavern hub, and the
// character status screen.
#pragma once

#include <cstdint>

#include "console/menu.h"
#include "game/game.h"

constexpr int tavernMenuEntries = 6; // the tavern menu; its cursor wraps around them
constexpr int worldMapPlaceCount = 4;

// A place on the world map: its label and box, the arrow that chooses it, and where Enter goes.
struct WorldMapPlace {
    const char *label;
    uint16_t boxColumn, boxRow; // the box's top-left corner
    uint16_t labelColumn;       // the label stands on the box's top border
    uint16_t arrowKey;
    GameMode mode;
};
// In cursor order: 0 TAVERN, 1 Sewer, 2 CASTLE, 3 Cave.
extern const WorldMapPlace worldMapPlaces[worldMapPlaceCount];

// The town's menus as the player left them; its default values are those of a program start.
struct TownState {
    int32_t worldMapCursor = 0; // chosen place: 0 TAVERN, 1 Sewer, 2 CASTLE, 3 Cave
    int8_t tavernCursor = 0;    // highlighted tavern entry, 0..5; a new game starts it over
    int8_t bartenderLine = 0;   // the bartender's next section, 0..4; not saved
};

// --- Town state, for the whole run ---
extern TownState townState;
extern const MenuEntry<GameMode (*)()> tavernMenu[tavernMenuEntries]; // labels, a blank each side

// The world map's handler: one key event per call, the highlight one event late. Returns the
// chosen place's mode after Enter, else the world map.
GameMode runWorldMap();
void drawWorldMap();

// The tavern's handler: the whole tavern redrawn, then one key event (the inventory runs
// inside it). Returns the world map when the player leaves, else the tavern.
GameMode runTavern();
// Tavern cursor on its first entry and a cleared screen.
void resetTavern();
void drawTavernFrame();
void drawBartender();
void drawTavernMenu();
// One key of the tavern menu; returns the world map when it is chosen, modeInventory when
// 'i' asks for the inventory (which runTavern opens), else the tavern.
GameMode handleTavernKey();
void talkToBartender();
void saveFromTavern();

// The status screen: the player's values until space is pressed; returns on a cleared screen.
void showStatusScreen();
void drawStatusScreen();
