// Menus: a column of entries, one of them highlighted, moved by Up and Down and chosen with
// Enter. Each screen keeps its menu as a table of entries (what each says, and what it does),
// and these helpers read its keys and draw it the one way every menu does.
#pragma once

#include <cstdint>

#include "console/console.h"

// What the ends of a menu do to a cursor moved past them.
enum class MenuEnds : uint8_t {
    wrap,  // past the last entry to the first, and before the first to the last
    clamp, // it stays on the first or the last
};

// What a key asked of a menu.
enum class MenuKey : uint8_t {
    none,   // a release, or a key the menu does not take
    moved,  // Up or Down: the cursor moved (or stayed, at a clamped end)
    chosen, // Enter: the highlighted entry has acted
    left,   // Left: a menu that can be left is left
};

// One entry of a menu: its label, and what choosing it does.
template <typename Action>
struct MenuEntry {
    const char *label;
    Action action;
};

// Takes a key for a menu of count entries: Up and Down move the cursor as the menu's ends say,
// Enter calls choose (the caller acts on the highlighted entry, which may be out of the
// menu's range only when something set the cursor there), and then a wrapping menu brings a
// cursor outside its range back in. Releases do nothing.
template <typename Cursor, typename Choose>
MenuKey takeMenuKey(const KeyEvent &event, Cursor &cursor, int count, MenuEnds ends,
                    Choose &&choose) {
    if (!event.keyDown) return MenuKey::none;
    MenuKey key = MenuKey::none;
    switch (event.virtualKey) {
    case keyEnter:
        key = MenuKey::chosen;
        choose();
        break;
    case keyLeft:
        key = MenuKey::left;
        break;
    case keyUp:
        key = MenuKey::moved;
        cursor = static_cast<Cursor>(ends == MenuEnds::clamp && cursor - 1 < 0 ? 0 : cursor - 1);
        break;
    case keyDown:
        key = MenuKey::moved;
        cursor = static_cast<Cursor>(
            ends == MenuEnds::clamp && cursor + 1 > count - 1 ? count - 1 : cursor + 1);
        break;
    default:
        break;
    }
    if (ends == MenuEnds::wrap) {
        if (cursor < 0) cursor = static_cast<Cursor>(count - 1);
        if (cursor >= count) cursor = 0;
    }
    return key;
}

// The entry under the cursor acts, if the cursor is on one; returns what it returned, or
// otherwise when it is not.
template <typename Result, typename Action, int count, typename Cursor>
Result actOnEntry(const MenuEntry<Action> (&entries)[count], Cursor cursor, Result otherwise) {
    if (cursor < 0 || cursor >= count) return otherwise;
    return entries[cursor].action();
}

// Draws the labels of the first count entries (any table whose entries have a label) in a
// column from (column, row): the highlighted one in colourChosen, the others in colourWhite.
template <typename Entry>
void drawMenu(const Entry *entries, int count, int cursor, uint16_t column, uint16_t row) {
    for (int i = 0; i < count; i++) {
        printAt(entries[i].label, i == cursor ? colourChosen : colourWhite, column,
                static_cast<uint16_t>(row + i));
    }
}
