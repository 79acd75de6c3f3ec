// The overhead map: the dungeon's rooms as coloured cells with their openings, scrollable.
#include "console/console.h"
#include "dungeon/dungeon.h"
#include "game/game.h"

namespace {

constexpr int visibleRoomRows = 11;    // with rooms two rows apart these fill the screen
constexpr int visibleRoomColumns = 39; // and these its width, openings included

// Where the window onto the grid stands while the map is open.
struct MapView {
    int firstRow;
    int firstColumn;
    int rowLimit;    // one past the last visible grid row
    int columnLimit; // one past the last visible grid column
    int originY;     // screen row of the first visible grid row
    int originX;     // screen column of the first visible grid column
};

bool roomOnMap(const Room &room) {
    return room.state == RoomState::shown || (room.state != RoomState::absent && !game.hardMode);
}

void drawMapCell(char ch, uint16_t colour, int x, int y) {
    // The window sizes keep every cell on screen; this guards the arithmetic anyway.
    if (x < 0 || x >= screenWidth || y < 0 || y >= screenHeight) return;
    printCharAt(ch, colour, static_cast<uint16_t>(x), static_cast<uint16_t>(y));
}

void drawMapRoom(const Room &room, bool playerHere, int x, int y) {
    drawMapCell(' ', 144, x, y);
    // An open doorway is a line towards the neighbour it leads to.
    for (const Doorway &doorway : doorways) {
        if (room.cells[doorway.row][doorway.column] != ' ') continue;
        drawMapCell(doorway.rowStep != 0 ? '|' : '-', 15, x + doorway.columnStep,
                    y + doorway.rowStep);
    }
    if (playerHere) drawMapCell(' ', 224, x, y);
}

void drawOverheadMap(const MapView &view, const Room *rooms, int32_t roomRow, int32_t roomCol,
                     int32_t height, int32_t width) {
    for (int row = view.firstRow; row < height && row < view.rowLimit; row++) {
        for (int column = view.firstColumn; column < width && column < view.columnLimit; column++) {
            const Room &room = rooms[row * width + column];
            if (!roomOnMap(room)) continue;
            drawMapRoom(room, row == roomRow && column == roomCol,
                        view.originX + 2 * (column - view.firstColumn),
                        view.originY + 2 * (row - view.firstRow));
        }
    }
    printCharAt(glyphArrowUp, colourWhite, 2, 3);
    printAt("= Scroll Up", colourWhite, 4, 3);
    printCharAt(glyphArrowDown, colourWhite, 2, 4);
    printAt("= Scroll Down", colourWhite, 4, 4);
    printAt("Press Enter to exit", colourWhite, 2, 6);
}

void scrollMap(MapView &view, uint16_t arrow, int32_t height, int32_t width) {
    if (arrow == keyLeft && view.firstColumn > 0) {
        view.firstColumn--;
        view.columnLimit--;
    } else if (arrow == keyUp && view.firstRow > 0) {
        view.firstRow--;
        view.rowLimit--;
    } else if (arrow == keyRight && view.columnLimit < width) {
        view.columnLimit++;
        view.firstColumn++;
    } else if (arrow == keyDown && view.rowLimit < height) {
        view.rowLimit++;
        view.firstRow++;
    }
}

} // namespace

void showOverheadMap(const Room *rooms, int32_t roomRow, int32_t roomCol, int32_t height,
                     int32_t width) {
    clearScreen(0);
    MapView view{0, 0, visibleRoomRows, visibleRoomColumns, (23 - 2 * height) / 2 + 1, 41 - width};
    if (view.originY < 1) view.originY = 1;
    if (view.originX < 1) view.originX = 1;
    for (;;) {
        drawOverheadMap(view, rooms, roomRow, roomCol, height, width);
        KeyEvent event;
        readKeyEvent(&event);
        bool arrow = event.virtualKey >= keyLeft && event.virtualKey <= keyDown;
        if (event.keyDown && arrow) {
            scrollMap(view, event.virtualKey, height, width);
            clearScreen(0);
        }
        // Either the press or the release of Enter leaves.
        if (event.virtualKey == keyEnter) return;
    }
}
