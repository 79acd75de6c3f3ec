// The title screen: the goblet intro, the typed title and the main menu.
#include "frontend/frontend.h"
#include "game/game.h"
#include "support/harness.h"

using TitleTest = GameTest;

TEST_F(TitleTest, TheGobletsStopAfterNinetyNineFramesAndTheTitleComesFiftyTwoLater) {
    for (int frame = 1; frame <= 99; frame++) {
        runTitleScreen();
        ASSERT_FLOAT_EQ(particles->originX, 13.0f + 0.5f * frame);
        ASSERT_FLOAT_EQ(titleParticles->originX, 65.0f - 0.5f * frame);
    }
    for (int frame = 1; frame <= 51; frame++) {
        runTitleScreen();
        ASSERT_FLOAT_EQ(particles->originX, 62.5f);
        ASSERT_EQ(titleIntroRunning, 1);
    }
    EXPECT_NE(screenText(33, 4, 9), "Brinewort");
    runTitleScreen();
    EXPECT_EQ(titleIntroRunning, 0);
    EXPECT_EQ(titleParticles, nullptr);
    EXPECT_TRUE(textShownAt("Brinewort", 33, 4, 10));
    EXPECT_TRUE(textShownAt("The Return of ZARG", 31, 6, 12));

    // The stopped goblets stand whole at columns 9 and 56, rows 13 to 22, in brown.
    for (int row = 0; row < gobletRows; row++) {
        EXPECT_TRUE(textShownAt(titleGoblet[row], 9, 13 + row, 6)) << "row " << row;
        EXPECT_TRUE(textShownAt(titleGoblet[row], 56, 13 + row, 6)) << "row " << row;
    }
    EXPECT_EQ(screenText(61, 17, 2), "BZ");
}

TEST_F(TitleTest, TheMenuShowsFiveEntriesWithTheChosenOneHighlighted) {
    playTitleIntro();
    mainMenuCursor = 2;
    drawMainMenu();
    const char *labels[] = {"New Game", "Continue", "Options", "Credits", "Quit"};
    for (int i = 0; i < 5; i++) {
        EXPECT_TRUE(textShownAt(labels[i], 35, 10 + i, i == 2 ? 240 : 15)) << labels[i];
    }
    // The console's cursor rests at the top-left corner in black.
    EXPECT_EQ(cursorX, 0);
    EXPECT_EQ(cursorY, 0);
    EXPECT_EQ(consoleColour, 0);
}

TEST_F(TitleTest, TheMenuWrapsAtBothEnds) {
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

    // 'x' and Down were typed ahead; the discard after 'x' drops Down but keeps x's release.
    headlessTypeAhead('X', 'x');
    headlessTypeAhead(keyDown);
    headlessPress(keyEnter);
    runTitleScreen();
    EXPECT_EQ(mainMenuCursor, 0);
    runTitleScreen();
    EXPECT_EQ(mainMenuCursor, 0);
    headlessPress(keyEnter); // the two story pages
    headlessPress(keyEnter);
    runTitleScreen();
    EXPECT_EQ(gameMode, modeTavern); // New Game, not Continue
}

TEST_F(TitleTest, AnEnterPressedDuringTheIntroStartsANewGameOnceTheMenuIsUp) {
    headlessTypeAhead(keyEnter);
    playTitleIntro();
    EXPECT_EQ(gameMode, modeTitle);
    headlessPress(keyEnter); // the two story pages
    headlessPress(keyEnter);
    runTitleScreen();
    EXPECT_EQ(gameMode, modeTavern);
    EXPECT_EQ(particles->activeCount, 0);
    for (const Particle &p : particles->slots)
        ASSERT_EQ(p.dead, 1);
}

TEST_F(TitleTest, ContinueWithoutASavedGameSaysSoAndStaysInTheMenu) {
    playTitleIntro();
    headlessPress(keyDown);
    headlessPress(keyEnter);
    runUntilInputEnds([] { runTitleScreen(); });
    EXPECT_EQ(gameMode, modeTitle);
    EXPECT_EQ(mainMenuCursor, 1);
    EXPECT_TRUE(textShownAt("No previous adventure is documented", 20, 20, 15));
    EXPECT_TRUE(textShownAt("Continue", 35, 11, 240));
}

TEST_F(TitleTest, QuitStopsTheGame) {
    playTitleIntro();
    mainMenuCursor = 4;
    headlessPress(keyEnter);
    runTitleScreen();
    EXPECT_EQ(gameRunning, 0);
}

TEST_F(TitleTest, AfterTheCreditsTheIntroPlaysAgainOnACleanScreen) {
    playTitleIntro();
    mainMenuCursor = 3;
    headlessPress(keyEnter);
    runTitleScreen();
    EXPECT_EQ(titleIntroRunning, 1);
    EXPECT_EQ(mainMenuCursor, 0);
    EXPECT_FLOAT_EQ(particles->originX, 13.0f);
    ASSERT_NE(titleParticles, nullptr);
    EXPECT_FLOAT_EQ(titleParticles->originX, 65.0f);
    for (int y = 0; y < screenHeight; y++)
        EXPECT_EQ(screenRow(y), "") << "row " << y;
    playTitleIntro();
    EXPECT_TRUE(textShownAt("Brinewort", 33, 4, 10));
}
