// What the game's tests share: a program start on the headless backend, in an empty directory
// of its own (the game reads and writes its files in the current one), and ways to read the
// screen back.
#pragma once

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "console/console.h"
#include "platform/headless.h"

class GameTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

  private:
    std::string previousDirectory, directory;
};

void writeFile(const std::string &name, const std::string &bytes);
std::string readFile(const std::string &name); // empty when it cannot be read

std::string screenText(int x, int y, int length);
std::string screenRow(int y); // without trailing blanks
// Text wrapped in a column width wide from (x, y), rows joined by a blank, up to a blank row
// or lastRow.
std::string wrappedTextAt(int x, int y, int width, int lastRow);
inline uint8_t glyphAt(int x, int y) {
    return console.screenCells[y][x].glyph;
}
inline uint8_t colourAt(int x, int y) {
    return console.screenCells[y][x].colour;
}
std::vector<Cell> screenSnapshot();
// True when the row holds the text at x, all of it in the colour.
bool textShownAt(const std::string &text, int x, int y, uint8_t colour);

// Calls step until the scripted keys run out where the game waits for one.
template <typename Step>
void runUntilInputEnds(Step step) {
    try {
        for (;;)
            step();
    } catch (const RunEnded &ended) {
        EXPECT_EQ(ended.signal, 0);
    }
}

// Plays the title intro to its end, so the menu takes the next keys.
void playTitleIntro();
