// What the game's tests share: a fresh program start on the headless backend, and ways to
// read the screen back.
#pragma once

#include <cstdint>
#include <gtest/gtest.h>
#include <string>

#include "console/console.h"
#include "platform/headless.h"

// Every test of the game begins as a program start does, on the headless backend, in an
// empty directory of its own (the game reads and writes its files in the current one).
class GameTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

  private:
    std::string previousDirectory;
    std::string directory;
};

// Writes a file in the current directory, byte for byte.
void writeFile(const std::string &name, const std::string &bytes);
// A whole file's bytes; empty when it cannot be read.
std::string readFile(const std::string &name);

// The glyph bytes of a stretch of one row, as text.
std::string screenText(int x, int y, int length);
// One whole row, without trailing blanks.
std::string screenRow(int y);
uint8_t glyphAt(int x, int y);
uint8_t colourAt(int x, int y);
// True when the row holds text at x, in the colour, for its whole length.
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
