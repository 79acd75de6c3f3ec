// Locked doors: a code names a wall and a colour, and the door is a coloured blank painted
// over that wall's doorway.
#include <cstring>

#include "console/console.h"
#include "dungeon/dungeon.h"
#include "items/items.h"

// The white door's message names no colour of its own: it is typed as one text.
static const DoorKind doorKinds[] = {
    {'Y', 224, itemYellowKey, "yellow ", 14},
    {'G', 32, itemGreenKey, "green ", 2},
    {'R', 64, itemRedKey, "red ", 4},
    {'B', 16, itemBlueKey, "blue ", 1},
    {'W', colourBlackOnWhite, itemWhiteKey, nullptr, 15},
    {'P', 80, itemPurpleKey, "purple ", 5},
    {'L', 208, itemLavendarKey, "lavendar ", 13},
    {'O', 112, itemLightGrayKey, "light gray ", 7},
};
static const DoorKind sealedDoor = {'X', 128, 0, nullptr, 15};

const DoorKind *lockedDoorOf(const char *featureCode, Side side) {
    if (featureCode == nullptr || std::strlen(featureCode) != 4 ||
        std::strncmp(featureCode, "LD", 2) != 0 || featureCode[2] != doorwayOf(side).letter) {
        return nullptr;
    }
    for (const DoorKind &kind : doorKinds) {
        if (featureCode[3] == kind.letter) return &kind;
    }
    if (side == Side::west && featureCode[3] == sealedDoor.letter) return &sealedDoor;
    return nullptr;
}

void drawLockedDoor(const char *featureCode) {
    for (const Doorway &doorway : doorways) {
        const DoorKind *kind = lockedDoorOf(featureCode, doorway.side);
        if (kind != nullptr) {
            printCharAt(' ', kind->doorColour,
                        static_cast<uint16_t>(roomScreenColumn + doorway.column),
                        static_cast<uint16_t>(roomScreenRow + doorway.row));
            return;
        }
    }
}
