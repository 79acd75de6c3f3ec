// The three ways of reading keys, as every backend must give them, through the headless one.
#include "support/harness.h"

using KeyReadingTest = GameTest;

TEST_F(KeyReadingTest, APressArrivesAsAPressAndThenItsRelease) {
    headlessPressCharacter('d');
    KeyEvent event;
    readKeyEvent(&event);
    EXPECT_TRUE(event.keyDown);
    EXPECT_EQ(event.virtualKey, 'D');
    EXPECT_EQ(event.character, 'd');
    readKeyEvent(&event);
    EXPECT_FALSE(event.keyDown);
    EXPECT_EQ(event.virtualKey, 'D');
}

TEST_F(KeyReadingTest, ADiscardKeepsTheReleaseOfTheKeyJustReadButDropsKeysTypedAhead) {
    headlessTypeAhead(keyEnter);
    headlessTypeAhead(keyDown);
    headlessTypeAhead(keyUp);
    KeyEvent event;
    readKeyEvent(&event);
    discardPendingInput();
    readKeyEvent(&event);
    EXPECT_FALSE(event.keyDown);
    EXPECT_EQ(event.virtualKey, keyEnter);
    discardPendingInput(); // after a release nothing is kept
    headlessPress(keySpace);
    readKeyEvent(&event);
    EXPECT_TRUE(event.keyDown);
    EXPECT_EQ(event.virtualKey, keySpace);
}

TEST_F(KeyReadingTest, APollTakesEverythingPendingButTheReleaseOfAKeyStillHeld) {
    headlessTypeAhead('W', 'w');
    headlessTypeAhead('D', 'd');
    KeyEvent events[maxPolledEvents];
    ASSERT_EQ(pollKeyEvents(events, maxPolledEvents), 3);
    EXPECT_TRUE(events[0].keyDown && events[0].character == 'w');
    EXPECT_FALSE(events[1].keyDown);
    EXPECT_TRUE(events[2].keyDown && events[2].character == 'd');
    // The last key's release comes with the next look at the keyboard.
    ASSERT_EQ(pollKeyEvents(events, maxPolledEvents), 1);
    EXPECT_FALSE(events[0].keyDown);
    EXPECT_EQ(events[0].character, 'd');

    // The player waits a moment: the poll in that time sees nothing and returns at once.
    headlessIdle(300);
    headlessPressCharacter('s');
    EXPECT_EQ(pollKeyEvents(events, maxPolledEvents), 0);
    EXPECT_EQ(pollKeyEvents(events, maxPolledEvents), 1);
    EXPECT_EQ(events[0].character, 's');
    KeyEvent release;
    readKeyEvent(&release); // a wait takes it too
    EXPECT_FALSE(release.keyDown);
}

TEST_F(KeyReadingTest, AReadWithNoKeyLeftEndsTheRunInsteadOfHanging) {
    KeyEvent event;
    EXPECT_THROW(readKeyEvent(&event), RunEnded);
    // A loop that only polls ends too, after a long stretch of virtual time.
    KeyEvent events[maxPolledEvents];
    EXPECT_THROW(
        {
            for (;;)
                pollKeyEvents(events, maxPolledEvents);
        },
        RunEnded);
}

TEST_F(KeyReadingTest, AKeySourceAnswersEachReadAsItComes) {
    int asked = 0;
    headlessSetKeySource([&asked] {
        if (++asked <= 3) headlessPressCharacter(static_cast<char>('a' + asked - 1));
    });
    std::string typed;
    runUntilInputEnds([&typed] {
        KeyEvent event;
        readKeyEvent(&event);
        if (event.keyDown) typed += event.character;
    });
    EXPECT_EQ(typed, "abc");
    EXPECT_EQ(asked, 4);
}

TEST_F(KeyReadingTest, EveryPauseShowsTheScreen) {
    int presents = headlessPresentCount();
    headlessPress(keyEnter);
    KeyEvent event;
    readKeyEvent(&event);
    EXPECT_EQ(headlessPresentCount(), presents + 1);
    pollKeyEvents(&event, 1);
    EXPECT_EQ(headlessPresentCount(), presents + 2);
    waitMillis(10);
    EXPECT_EQ(headlessPresentCount(), presents + 3);
}
