// The title screen: the goblet intro, the typed title and the main menu.
#include "frontend/frontend.h"
#include "game/game.h"
#include "support/harness.h"

using TitleTest = GameTest;

TEST_F(TitleTest, TheGobletsStopAfterNinetyNineFramesAndTheTitleComesFiftyTwoLater) {
    for (int frame = 1; frame <= 150; frame++) {
        runTitleScreen();
        ASSERT_FLOAT_EQ(particles->originX, 13.0f + 0.5f * std::min(frame, 99));
        ASSERT_FLOAT_EQ(titleParticles->originX, 65.0f - 0.5f * std::min(frame, 99));
        ASSERT_EQ(titleIntroRunning, 1);
    }
    EXPECT_NE(screenText(33, 4, 9), "Brinewort");
    runTitleScreen();
    EXPECT_EQ(titleIntroRunning, 0);
    EXPECT_EQ(titleParticles, nullptr);
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
