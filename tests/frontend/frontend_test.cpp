// The front end where the recorded games never go: the difficulty chooser, and an Enter typed
// ahead of the story pages.
#include "frontend/frontend.h"
#include "game/game.h"
#include "support/harness.h"

using OptionsTest = GameTest;

TEST_F(OptionsTest, TheChooserStartsOnEasyEitherArrowTogglesAndEnterChoosesAndBlanks) {
    game.hardMode = true;
    headlessPress(keyEnter);
    runOptions();
    EXPECT_FALSE(game.hardMode);
    EXPECT_TRUE(textShownAt("    ", 44, 12, 15));
    EXPECT_TRUE(textShownAt("    ", 44, 13, 15));
    for (uint16_t key : {keyDown, keyUp, uint16_t('H'), keyEnter})
        headlessPress(key);
    runOptions();
    EXPECT_FALSE(game.hardMode);
    headlessPress(keyUp);
    headlessPress(keyEnter);
    runOptions();
    EXPECT_TRUE(game.hardMode);
    headlessPress(keyDown);
    runUntilInputEnds([] { runOptions(); }); // the highlight before any Enter
    EXPECT_TRUE(textShownAt("Easy", 44, 12, 15));
    EXPECT_TRUE(textShownAt("Hard", 44, 13, colourChosen));
}

class StoryTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        writeFile("Story.txt", "Chunk1\nOnce upon a time_\nChunk2\nThe end is near_\n");
    }
};

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

using TitleTest = GameTest;

// Continue with a damaged save: what went wrong under the menu and why on the row below, and
// the title stays.
TEST_F(TitleTest, ADamagedSaveIsExplainedUnderTheMenuAndTheTitleStays) {
    writeFile("SaveFile.txt", "garbage");
    playTitleIntro();
    headlessPress(keyDown);
    headlessPress(keyEnter);
    GameMode next = modeTitle;
    runUntilInputEnds([&next] { next = runTitleScreen(); });
    EXPECT_EQ(next, modeTitle);
    EXPECT_TRUE(textShownAt("The saved adventure is damaged", 20, 20, colourWhite));
    EXPECT_EQ(screenText(19, 21, 1), " ");
    EXPECT_NE(screenText(20, 21, 1), " "); // the reason starts right under the message
}
