// Whether the game's 80x25 screen fits the terminal window or console it is shown in, where
// it stands there, and the notice a window too small shows instead: shared by the terminal
// and Windows console backends.
#pragma once

#include <string>
#include <vector>

// Where the screen stands in a window of the given size: centred, or at the top left with
// tooSmall set when the window is smaller than the least size asked for.
struct ScreenPlace {
    bool tooSmall;    // the notice is shown instead of the game
    int originColumn; // the window's column and row of the screen's top left cell
    int originRow;
};

ScreenPlace placeScreen(int columns, int rows, int minimumWidth, int minimumHeight);

// The notice for a window of columns x rows, smaller than minimumWidth x minimumHeight,
// word-wrapped to its width (a word longer than the width is cut) and cut to its height.
// windowKind names what the player should enlarge ("terminal", "console").
std::vector<std::string> tooSmallNotice(const char *windowKind, int columns, int rows,
                                        int minimumWidth, int minimumHeight);
