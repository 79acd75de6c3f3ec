// The difficulty chooser and the credits.
#include <cstring>

#include "frontend/frontend.h"
#include "game/game.h"
#include "support/harness.h"

using OptionsTest = GameTest;

TEST_F(OptionsTest, TheChooserStartsOnEasyEitherArrowTogglesAndEnterChoosesAndBlanks) {
    hardMode = 1;
    headlessPress(keyEnter);
    runOptions();
    EXPECT_EQ(hardMode, 0);
    EXPECT_TRUE(textShownAt("    ", 44, 12, 15) && textShownAt("    ", 44, 13, 15));
    for (uint16_t key : {keyDown, keyUp, uint16_t('H'), keyEnter})
        headlessPress(key);
    runOptions();
    EXPECT_EQ(hardMode, 0);
    headlessPress(keyUp);
    headlessPress(keyEnter);
    runOptions();
    EXPECT_EQ(hardMode, 1);
    headlessPress(keyDown);
    runUntilInputEnds([] { runOptions(); }); // the highlight before any Enter
    EXPECT_TRUE(textShownAt("Easy", 44, 12, 15) && textShownAt("Hard", 44, 13, 240));
}

TEST_F(OptionsTest, CreditLinesAreARoleElevenBlanksAndANameOnOneRow) {
    for (std::string line : creditLines) {
        size_t gap = line.find("  ");
        ASSERT_NE(gap, std::string::npos) << line;
        EXPECT_EQ(line.find_first_not_of(' ', gap), gap + 11) << line;
        EXPECT_LE(line.size(), 60u);
    }
}

TEST_F(OptionsTest, TheCreditsHoldEachLineFourSecondsAfterTypingItThenFadeAndClearIt) {
    headlessSetClockStepMicros(0);
    uint64_t start = headlessNowMicros();
    rollCredits();
    uint64_t typed = 0;
    for (const char *line : creditLines)
        typed += std::strlen(line);
    EXPECT_EQ(headlessNowMicros() - start, (typed * 50 + 5 * 4000) * 1000);
    EXPECT_EQ(screenRow(10), "");
    EXPECT_TRUE(titleIntroRunning == 1 && mainMenuCursor == 0); // the intro plays again

    std::vector<int> shown; // the colours of the line's first cell as the player sees them
    headlessSetPresentHook([&shown] {
        int colour = glyphAt(10, 10) == ' ' ? -1 : colourAt(10, 10);
        if (shown.empty() || shown.back() != colour) shown.push_back(colour);
    });
    showCreditLine(creditLines[0]);
    EXPECT_EQ(shown, (std::vector<int>{15, 7, 8, -1}));
}
