// The difficulty chooser and the credits.
#include <cstring>

#include "frontend/frontend.h"
#include "game/game.h"
#include "support/harness.h"

using OptionsTest = GameTest;

TEST_F(OptionsTest, EnterRightAwayChoosesEasyWhateverWasChosenBefore) {
    hardMode = 1;
    headlessPress(keyEnter);
    runOptions();
    EXPECT_EQ(hardMode, 0);
    // The words are blanked once the choice is made.
    EXPECT_TRUE(textShownAt("    ", 44, 12, 15));
    EXPECT_TRUE(textShownAt("    ", 44, 13, 15));
}

TEST_F(OptionsTest, EitherArrowTogglesAndTwiceComesBackToEasy) {
    headlessPress(keyDown);
    headlessPress(keyUp);
    headlessPressCharacter('h');
    headlessPress(keyEnter);
    runOptions();
    EXPECT_EQ(hardMode, 0);

    headlessPress(keyUp);
    headlessPress(keyEnter);
    runOptions();
    EXPECT_EQ(hardMode, 1);
}

TEST_F(OptionsTest, TheHighlightShowsTheWordThatEnterWouldChoose) {
    headlessPress(keyDown);
    // The chooser polls in a loop; nothing further ends the run where it waits.
    runUntilInputEnds([] { runOptions(); });
    EXPECT_TRUE(textShownAt("Easy", 44, 12, 15));
    EXPECT_TRUE(textShownAt("Hard", 44, 13, 240));
}

TEST_F(OptionsTest, CreditLinesAreARoleElevenBlanksAndANameOnOneRow) {
    const char *roles[] = {"Producer", "Technical Director", "Lead Designer", "Product Manager",
                           "Executive Producer"};
    for (int i = 0; i < creditLineCount; i++) {
        std::string line = creditLines[i];
        std::string role = roles[i];
        EXPECT_EQ(line.substr(0, role.size() + 11), role + std::string(11, ' '));
        EXPECT_NE(line[role.size() + 11], ' ');
        EXPECT_LE(line.size(), 60u);
    }
}

TEST_F(OptionsTest, TheCreditsHoldEachLineFourSecondsAfterTypingIt) {
    headlessSetClockStepMicros(0);
    uint64_t start = headlessNowMicros();
    rollCredits();
    uint64_t typed = 0;
    for (const char *line : creditLines)
        typed += std::strlen(line);
    EXPECT_EQ(headlessNowMicros() - start, (typed * 50 + 5 * 4000) * 1000);
    EXPECT_EQ(screenRow(10), "");
    EXPECT_EQ(titleIntroRunning, 1);
}

TEST_F(OptionsTest, ACreditLineFadesFromWhiteToGreyBeforeItIsCleared) {
    // The colours of the line's first cell each time the player is shown the screen.
    std::vector<int> shown;
    headlessSetPresentHook([&shown] {
        int colour = glyphAt(10, 10) == ' ' ? -1 : colourAt(10, 10);
        if (shown.empty() || shown.back() != colour) shown.push_back(colour);
    });
    showCreditLine(creditLines[0]);
    EXPECT_EQ(shown, (std::vector<int>{15, 7, 8, -1}));
}
