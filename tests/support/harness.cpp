// The shared test harness.
#include "support/harness.h"

#include "frontend/frontend.h"
#include "game/game.h"

void GameTest::SetUp() {
    usePlatform(&headlessPlatform);
    headlessReset();
    startUp();
}

std::string screenText(int x, int y, int length) {
    std::string text;
    for (int i = 0; i < length && x + i < screenWidth; i++) {
        text += static_cast<char>(screenCells[y][x + i].glyph);
    }
    return text;
}

std::string screenRow(int y) {
    std::string row = screenText(0, y, screenWidth);
    row.erase(row.find_last_not_of(' ') + 1);
    return row;
}

uint8_t glyphAt(int x, int y) {
    return screenCells[y][x].glyph;
}

uint8_t colourAt(int x, int y) {
    return screenCells[y][x].colour;
}

bool textShownAt(const std::string &text, int x, int y, uint8_t colour) {
    if (screenText(x, y, static_cast<int>(text.size())) != text) return false;
    for (size_t i = 0; i < text.size(); i++) {
        if (colourAt(x + static_cast<int>(i), y) != colour) return false;
    }
    return true;
}

void playTitleIntro() {
    while (titleIntroRunning == 1)
        runTitleScreen();
}
