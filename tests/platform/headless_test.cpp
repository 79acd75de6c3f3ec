// The three ways of reading keys, as every backend must give them, through the headless one;
// and the queue of pending events they share.
#include <tuple>

#include "platform/eventqueue.h"
#include "support/harness.h"

using KeyReadingTest = GameTest;

TEST_F(KeyReadingTest, APollTakesEverythingPendingButTheReleaseOfAKeyStillHeld) {
    headlessTypeAhead('W', 'w');
    headlessTypeAhead('D', 'd');
    KeyEvent events[maxPolledEvents];
    ASSERT_EQ(pollKeyEvents(events, maxPolledEvents, 0), 3);
    EXPECT_EQ(std::tuple(events[0].keyDown, events[0].character), std::tuple(true, 'w'));
    EXPECT_FALSE(events[1].keyDown);
    EXPECT_EQ(std::tuple(events[2].keyDown, events[2].character), std::tuple(true, 'd'));
    ASSERT_EQ(pollKeyEvents(events, maxPolledEvents, 0), 1); // the next look brings it
    EXPECT_EQ(std::tuple(events[0].keyDown, events[0].character), std::tuple(false, 'd'));

    // While the player waits a poll sees nothing and returns at once.
    headlessIdle(300);
    headlessPressCharacter('s');
    EXPECT_EQ(pollKeyEvents(events, maxPolledEvents, 0), 0);
    EXPECT_EQ(pollKeyEvents(events, maxPolledEvents, 0), 1);
    EXPECT_EQ(events[0].character, 's');
    readKeyEvent(&events[0]); // a wait takes the release too
    EXPECT_FALSE(events[0].keyDown);
}

TEST_F(KeyReadingTest, AReadWithNoKeyLeftEndsTheRunAndAKeySourceAnswersEachReadAsItComes) {
    KeyEvent events[maxPolledEvents];
    EXPECT_THROW(readKeyEvent(events), RunEnded);
    // A loop that only polls ends too, after a long stretch of virtual time.
    EXPECT_THROW(
        {
            for (;;)
                pollKeyEvents(events, maxPolledEvents, 0);
        },
        RunEnded);
    int asked = 0;
    headlessSetKeySource([&asked] {
        if (++asked <= 3) headlessPressCharacter(static_cast<char>('a' + asked - 1));
    });
    std::string typed;
    runUntilInputEnds([&typed] {
        KeyEvent event;
        readKeyEvent(&event);
        if (event.keyDown) typed += {event.character, static_cast<char>(event.virtualKey)};
    });
    EXPECT_EQ(typed, "aAbBcC"); // a letter comes with the upper-case code, as from a terminal
    EXPECT_EQ(asked, 4);
}

TEST(EventQueue, AFullQueueDropsWholeKeysAndKeepsOrderAcrossItsEnd) {
    EventQueue queue;
    for (int key = 0; key < EventQueue::capacity; key++) // twice what fits
        queuePushPress(queue, static_cast<uint16_t>(key), 'k');
    EXPECT_EQ(queue.count, EventQueue::capacity);
    KeyEvent event;
    ASSERT_TRUE(queuePop(queue, &event));
    queuePushPress(queue, 9999, 'x'); // room for its press only: never half a key
    queuePush(queue, KeyEvent{true, 9998, 'y'});
    for (int i = 1; i <= EventQueue::capacity; i++) {
        ASSERT_TRUE(queuePop(queue, &event));
        if (i == EventQueue::capacity) break;
        ASSERT_EQ(std::tuple(event.keyDown, event.virtualKey), std::tuple(i % 2 == 0, i / 2)) << i;
    }
    EXPECT_EQ(std::tuple(event.keyDown, event.virtualKey), std::tuple(true, 9998));
    EXPECT_FALSE(queuePop(queue, &event));
}
