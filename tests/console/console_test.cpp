// The console primitives: where text lands, how the typewriter wraps, clearing, waiting.
#include "support/harness.h"

using ConsoleTest = GameTest;

TEST_F(ConsoleTest, PrintAtWrapsLikeTheConsoleAndDropsWhatFallsOffTheScreen) {
    printAt("abcdef", 12, 77, 3);
    EXPECT_EQ(screenText(77, 3, 3), "abc");
    EXPECT_EQ(screenText(0, 4, 3), "def");
    EXPECT_EQ(colourAt(0, 4), 12);
    EXPECT_EQ(consoleColour, 12);
    EXPECT_EQ(cursorX, 3);
    EXPECT_EQ(cursorY, 4);

    // A line feed goes to column 0 of the next row and shows nothing.
    printAt("ab\ncd", 15, 40, 6);
    EXPECT_EQ(screenText(40, 6, 3), "ab ");
    EXPECT_EQ(screenText(0, 7, 2), "cd");

    // The bottom-right cell is written; what follows it is dropped, never scrolled.
    printAt("xyz", 15, 79, 24);
    EXPECT_EQ(glyphAt(79, 24), 'x');
    EXPECT_EQ(glyphAt(0, 0), ' ');

    // A start off the screen writes nothing at all.
    Cell before[screenHeight][screenWidth];
    std::copy(&screenCells[0][0], &screenCells[0][0] + screenWidth * screenHeight, &before[0][0]);
    printAt("lost", 15, 80, 2);
    printAt("lost", 15, 2, 25);
    EXPECT_TRUE(std::equal(&screenCells[0][0], &screenCells[0][0] + screenWidth * screenHeight,
                           &before[0][0]));
}

TEST_F(ConsoleTest, NumbersAreWrittenPlainAndCharacterZeroWritesNothing) {
    printNumberAt(-5, 15, 10, 1);
    EXPECT_EQ(screenText(10, 1, 3), "-5 ");
    printNumberAt(100, 15, 10, 2);
    EXPECT_EQ(screenText(10, 2, 4), "100 ");

    printAt("", 9, 30, 12);
    printCharAt(0, 14, 5, 5);
    EXPECT_EQ(consoleColour, 9);
    EXPECT_EQ(cursorX, 30);
    EXPECT_EQ(cursorY, 12);
    EXPECT_EQ(glyphAt(5, 5), ' ');

    printCharAt(static_cast<char>(178), 6, 5, 5);
    EXPECT_EQ(glyphAt(5, 5), 178);
    EXPECT_EQ(colourAt(5, 5), 6);
}

TEST_F(ConsoleTest, TypeTextWrapsWholeWordsAndCutsOverlongOnes) {
    typeText("abc def ghi", 15, 7, 10, 2);
    EXPECT_EQ(screenText(10, 2, 8), "abc def ");
    // The space before the third word is not written; the word starts the next row.
    EXPECT_EQ(screenText(10, 3, 4), "ghi ");
    EXPECT_EQ(screenText(17, 2, 1), " ");

    typeText("abcdefgh", 10, 5, 20, 6);
    EXPECT_EQ(screenText(20, 6, 6), "abcde ");
    EXPECT_EQ(screenText(20, 7, 4), "fgh ");
    EXPECT_EQ(colourAt(20, 7), 10);

    // A word longer than the width is cut; only the blank at the break is skipped, so a
    // second blank starts the next row.
    typeText("longword  x", 15, 4, 40, 10);
    EXPECT_EQ(screenText(40, 10, 4), "long");
    EXPECT_EQ(screenText(40, 11, 4), "word");
    EXPECT_EQ(screenText(40, 12, 2), " x");
}

TEST_F(ConsoleTest, TypeTextTakesFiftyMillisecondsACharacterAndALineFeedTakesAColumn) {
    headlessSetClockStepMicros(0);
    uint64_t start = headlessNowMicros();
    typeText("ab\ncd", 15, 30, 5, 8);
    EXPECT_EQ(headlessNowMicros() - start, 5u * 50000u);
    // The line feed is written like a character: it takes a column and moves nothing.
    EXPECT_EQ(screenText(5, 8, 5), "ab cd");

    uint64_t beforeNull = headlessNowMicros();
    typeText(nullptr, 15, 30, 5, 9);
    EXPECT_EQ(headlessNowMicros(), beforeNull);
    EXPECT_EQ(screenRow(9), "");
}

TEST_F(ConsoleTest, ClearScreenFillsEveryCellWithTheColourAndHomesTheCursor) {
    printAt("something", 15, 30, 20);
    clearScreen(192);
    for (int y = 0; y < screenHeight; y++) {
        for (int x = 0; x < screenWidth; x++) {
            ASSERT_EQ(glyphAt(x, y), ' ');
            ASSERT_EQ(colourAt(x, y), 192);
        }
    }
    EXPECT_EQ(cursorX, 0);
    EXPECT_EQ(cursorY, 0);
    EXPECT_EQ(consoleColour, 192);
}

TEST_F(ConsoleTest, WaitMillisWaitsTheFullTimeAcrossTheTickWrapAndShowsTheScreen) {
    headlessSetClockStepMicros(0);
    // 30 ms before the 32-bit millisecond counter wraps.
    uint64_t start = (uint64_t{1} << 32) * 1000 - 30000;
    headlessSetNowMicros(start);
    int presents = headlessPresentCount();
    waitMillis(100);
    EXPECT_GE(headlessNowMicros() - start, 100000u);
    EXPECT_LT(headlessNowMicros() - start, 101000u);
    EXPECT_EQ(headlessPresentCount(), presents + 1);

    uint64_t beforeZero = headlessNowMicros();
    waitMillis(0);
    EXPECT_EQ(headlessNowMicros(), beforeZero);
}

TEST_F(ConsoleTest, FileErrorsGoToTheErrorStreamWithTheSystemsReason) {
    errno = ENOENT;
    reportFileError("map.txt");
    EXPECT_STREQ(headlessErrors(), "map.txt: No such file or directory\n");
}

TEST(ConsoleDeathTest, ExitWithErrorRestoresAndEndsWithStatusOne) {
    usePlatform(&headlessPlatform);
    EXPECT_EXIT(
        {
            errno = EIO;
            exitWithError("fclose");
        },
        testing::ExitedWithCode(1), "fclose: Input/output error");
}
