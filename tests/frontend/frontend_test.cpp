// The front end: the goblet intro, the typed title and the main menu; the difficulty chooser
// and the credits; the story introduction, two pages each turned by Enter.
#include <cstring>

#include "frontend/frontend.h"
#include "game/game.h"
#include "support/harness.h"

using TitleTest = GameTest;

TEST_F(TitleTest, TheGobletsMoveThenStopAndTheTitleIsTypedAfterThem) {
    int frames = 0;
    for (; titleIntro.running == 1; frames++) {
        ASSERT_LT(frames, 1000);
        ASSERT_NE(screenText(33, 4, 9), "Brinewort");
        runTitleScreen();
    }
    EXPECT_EQ(frames, 151);
    EXPECT_EQ(titleIntro.particles, nullptr);
    EXPECT_TRUE(textShownAt("Brinewort", 33, 4, 10));
    EXPECT_TRUE(textShownAt("The Return of ZARG", 31, 6, 12));
    EXPECT_TRUE(textShownAt(titleGoblet[0], 56, 13, 6)); // the stopped goblet, in brown
}

TEST_F(TitleTest, TheMenuWrapsAtBothEndsAndItsHighlightFollowsOnTheRelease) {
    playTitleIntro();
    headlessPress(keyUp);
    runTitleScreen();
    EXPECT_EQ(mainMenuCursor, 4);
    EXPECT_TRUE(textShownAt("Quit", 35, 14, 15)); // drawn before the key is handled
    runTitleScreen();                             // the release of up: nothing more
    EXPECT_EQ(mainMenuCursor, 4);
    EXPECT_TRUE(textShownAt("Quit", 35, 14, 240));
    headlessPress(keyDown);
    runTitleScreen();
    EXPECT_EQ(mainMenuCursor, 0);
}

TEST_F(TitleTest, ReleasesAndOtherKeysChangeNothingButDropWhatWasTypedAhead) {
    playTitleIntro();
    headlessEvent(KeyEvent{false, keyDown, 0});
    runTitleScreen();
    EXPECT_EQ(mainMenuCursor, 0);
    // The discard after 'x' drops the Down typed behind it but keeps x's release.
    headlessTypeAhead('X', 'x');
    headlessTypeAhead(keyDown);
    headlessPress(keyEnter);
    runTitleScreen();
    runTitleScreen();
    EXPECT_EQ(mainMenuCursor, 0);
    headlessPress(keyEnter); // the two story pages
    headlessPress(keyEnter);
    runCurrentMode();
    EXPECT_EQ(gameMode, modeTavern); // New Game, not Continue
}

TEST_F(TitleTest, AnEnterPressedDuringTheIntroStartsANewGameOnceTheMenuIsUp) {
    headlessTypeAhead(keyEnter);
    playTitleIntro();
    EXPECT_EQ(gameMode, modeTitle);
    headlessPress(keyEnter); // the two story pages
    headlessPress(keyEnter);
    runCurrentMode();
    EXPECT_EQ(gameMode, modeTavern);
    EXPECT_EQ(particles->activeCount, 0);
}

TEST_F(TitleTest, ContinueWithoutASavedGameSaysSoAndStaysInTheMenu) {
    playTitleIntro();
    headlessPress(keyDown);
    headlessPress(keyEnter);
    runUntilInputEnds([] { runCurrentMode(); });
    EXPECT_EQ(gameMode, modeTitle);
    EXPECT_TRUE(textShownAt("No previous adventure is documented", 20, 20, 15));
    EXPECT_TRUE(textShownAt("Continue", 35, 11, 240));
}

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

TEST_F(OptionsTest, TheCreditsHoldEachLineFourSecondsAfterTypingItThenFadeAndClearIt) {
    headlessSetClockStepMicros(0);
    uint64_t start = headlessNowMicros();
    rollCredits();
    uint64_t typed = 0;
    for (const char *line : creditLines)
        typed += std::strlen(line);
    EXPECT_EQ(headlessNowMicros() - start, (typed * 50 + 5 * 4000) * 1000);
    EXPECT_EQ(screenRow(10), "");
    EXPECT_TRUE(titleIntro.running == 1 && mainMenuCursor == 0); // the intro plays again

    std::vector<int> shown; // the colours of the line's first cell as the player sees them
    headlessSetPresentHook([&shown] {
        int colour = glyphAt(10, 10) == ' ' ? -1 : colourAt(10, 10);
        if (shown.empty() || shown.back() != colour) shown.push_back(colour);
    });
    showCreditLine(creditLines[0]);
    EXPECT_EQ(shown, (std::vector<int>{15, 7, 8, -1}));
}

class StoryTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        writeFile("Story.txt", "Chunk1\nOnce upon a time_\nChunk2\nThe end is near_\n");
    }
};

TEST_F(StoryTest, EachPageIsTypedAndOnlyEnterTurnsIt) {
    std::vector<std::string> pages;
    headlessSetPresentHook([&pages] {
        std::string row = screenText(10, 2, 20);
        if (pages.empty() || pages.back() != row) pages.push_back(row);
    });
    headlessPressCharacter('x');
    headlessPress(keySpace);
    headlessPress(keyEnter);
    headlessPress(keyDown);
    headlessPress(keyEnter);
    showStoryIntro();
    EXPECT_FALSE(headlessScriptPending());
    EXPECT_NE(std::find(pages.begin(), pages.end(), "Once upon a time    "), pages.end());
    EXPECT_NE(std::find(pages.begin(), pages.end(), "The end is near     "), pages.end());
    EXPECT_EQ(screenRow(2), ""); // cleared at the end
}

TEST_F(StoryTest, AnEnterTypedDuringTheFirstPageTurnsItButOneDuringTheSecondIsLost) {
    headlessTypeAhead(keyEnter);
    bool pressed = false;
    headlessSetPresentHook([&pressed] {
        if (!pressed && screenText(10, 2, 3) == "The") {
            headlessTypeAhead(keyEnter);
            pressed = true;
        }
    });
    runUntilInputEnds([] { showStoryIntro(); });
    EXPECT_TRUE(pressed);
    EXPECT_TRUE(textShownAt("The end is near", 10, 2, 15)); // still waiting on page two
}
