// The console primitives at their edges: text off the screen, waits across the tick wrap, the
// error exit.
#include <tuple>

#include "support/harness.h"

using ConsoleTest = GameTest;

static std::tuple<int, int, int> cursorAndColour() {
    return {console.cursorX, console.cursorY, console.consoleColour};
}

TEST_F(ConsoleTest, PrintingWrapsLikeTheConsoleDropsWhatFallsOffAndSkipsCharacterZero) {
    printAt("abcdef", 12, 77, 3);
    EXPECT_EQ(screenText(77, 3, 3) + screenText(0, 4, 3), "abcdef");
    EXPECT_EQ(colourAt(0, 4), 12);
    EXPECT_EQ(cursorAndColour(), std::tuple(3, 4, 12));
    printAt("ab\ncd", 15, 40, 6); // a line feed moves to column 0 and shows nothing
    EXPECT_EQ(screenText(40, 6, 3) + screenText(0, 7, 2), "ab cd");
    printAt("xyz", 15, 79, 24); // the last cell is written; nothing scrolls
    EXPECT_EQ(glyphAt(79, 24), 'x');
    EXPECT_EQ(cursorAndColour(), std::tuple(2, 25, 15)); // nothing written below the screen
    EXPECT_EQ(glyphAt(0, 0), ' ');
    std::vector<Cell> before = screenSnapshot();
    printAt("lost", 15, 80, 2);
    printAt("lost", 15, 2, 25);
    EXPECT_TRUE(screenSnapshot() == before);

    printNumberAt(-5, 15, 10, 1); // numbers plain; character 0 writes nothing, changes nothing
    EXPECT_EQ(screenText(10, 1, 3), "-5 ");
    printAt("", 9, 30, 12);
    printCharAt(0, 14, 5, 5);
    EXPECT_EQ(cursorAndColour(), std::tuple(30, 12, 9));
    EXPECT_EQ(glyphAt(5, 5), ' ');
    printCharAt(static_cast<char>(178), 6, 5, 5);
    EXPECT_EQ(console.screenCells[5][5], (Cell{178, 6}));
}

TEST_F(ConsoleTest, WaitMillisWaitsTheFullTimeAcrossTheTickWrapAndShowsTheScreen) {
    headlessSetClockStepMicros(0);
    uint64_t start = (uint64_t{1} << 32) * 1000 - 30000; // 30 ms before the 32-bit wrap
    headlessSetNowMicros(start);
    int presents = headlessPresentCount();
    waitMillis(100);
    uint64_t waited = headlessNowMicros() - start;
    EXPECT_GE(waited, 100000u);
    EXPECT_LT(waited, 101000u);
    EXPECT_EQ(headlessPresentCount(), presents + 1);
    waitMillis(0);
    EXPECT_EQ(headlessNowMicros() - start, waited);
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
