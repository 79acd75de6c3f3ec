// The world map: the Castle north, the Cave west, the Sewer east and the Tavern south.
#include <initializer_list>

#include "console/console.h"
#include "game/game.h"
#include "town/town.h"

// One box of double lines, the same for every place.
static const char placeBox[6][15] = {
    "\xC9\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xBB",
    "\xBA            \xBA",
    "\xBA            \xBA",
    "\xBA            \xBA",
    "\xBA            \xBA",
    "\xC8\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xBC",
};

const WorldMapPlace worldMapPlaces[worldMapPlaceCount] = {
    {"TAVERN", 32, 18, 36, keyDown, modeTavern},
    {"Sewer", 61, 9, 65, keyRight, modeSewer},
    {"CASTLE", 32, 1, 36, keyUp, modeCastle},
    {"Cave", 3, 9, 8, keyLeft, modeCave},
};
static constexpr const WorldMapPlace (&places)[worldMapPlaceCount] = worldMapPlaces;

void drawWorldMap() {
    // Boxes in the order Castle, Cave, Sewer, Tavern; then the texts.
    for (int place : {2, 3, 1, 0}) {
        uint16_t colour = place == townState.worldMapCursor ? 2 : 14;
        for (int row = 0; row < 6; row++) {
            printAt(placeBox[row], colour, places[place].boxColumn,
                    static_cast<uint16_t>(places[place].boxRow + row));
        }
    }
    printAt("Where would you like to go?", colourWhite, 25, 11);
    for (int place : {0, 2, 3, 1}) {
        printAt(places[place].label, colourWhite, places[place].labelColumn, places[place].boxRow);
    }
}

GameMode runWorldMap() {
    KeyEvent event;
    readKeyEvent(&event);
    // Drawn after the wait and before the action: the highlight follows one event late.
    drawWorldMap();
    if (!event.keyDown) return modeWorldMap;
    GameMode next = modeWorldMap;
    if (event.virtualKey == keyEnter) {
        next = places[townState.worldMapCursor].mode;
        clearScreen(0);
    }
    for (int place = 0; place < worldMapPlaceCount; place++) {
        if (event.virtualKey == places[place].arrowKey) townState.worldMapCursor = place;
    }
    discardPendingInput();
    return next;
}
