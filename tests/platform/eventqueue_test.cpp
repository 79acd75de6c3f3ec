// Keyboards that report real releases (the window, the page): the release of a key whose press
// was dropped is dropped too, and a keyboard that loses the focus lets go of every key held,
// after the keys typed before, and only once.
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

#include "platform/eventqueue.h"

namespace {

std::vector<KeyEvent> taken(EventQueue &queue) {
    std::vector<KeyEvent> events;
    for (KeyEvent event; queuePop(queue, &event);)
        events.push_back(event);
    return events;
}

TEST(RealKeys, LosingTheFocusLetsGoOfHeldKeysAndDropsNothingTyped) {
    EventQueue queue;
    ReleaseFilter filter;
    HeldKeys held;
    const KeyEvent a{true, 'A', 'a'}, up{true, keyUp, 0}, upLetGo{false, keyUp, 0};
    queueHeldKey(queue, filter, held, a);
    queueHeldKey(queue, filter, held, up);
    queueHeldKey(queue, filter, held, upLetGo);
    releaseHeldKeys(queue, filter, held);
    releaseHeldKeys(queue, filter, held); // nothing is down any more
    std::vector<KeyEvent> events = taken(queue);
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(std::tuple(events[0].keyDown, events[0].virtualKey), std::tuple(true, 'A'));
    EXPECT_EQ(std::tuple(events[1].keyDown, events[1].virtualKey), std::tuple(true, keyUp));
    EXPECT_EQ(std::tuple(events[2].keyDown, events[2].virtualKey), std::tuple(false, keyUp));
    EXPECT_EQ(std::tuple(events[3].keyDown, events[3].virtualKey, events[3].character),
              std::tuple(false, 'A', 'a'));

    // A key typed ahead and dropped while held: neither its real release nor the one made when
    // the focus goes reaches the game; the key just read keeps its release.
    const KeyEvent enter{true, keyEnter, '\r'}, d{true, 'D', 'd'};
    queueHeldKey(queue, filter, held, enter);
    queueHeldKey(queue, filter, held, KeyEvent{false, keyEnter, '\r'});
    queueHeldKey(queue, filter, held, d);
    KeyEvent event;
    ASSERT_TRUE(queuePop(queue, &event));
    queueDiscardRealKeys(queue, filter);
    releaseHeldKeys(queue, filter, held);
    events = taken(queue);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(std::tuple(events[0].keyDown, events[0].virtualKey), std::tuple(false, keyEnter));
    queueHeldKey(queue, filter, held, KeyEvent{false, 'D', 'd'}); // let go when back in focus
    EXPECT_TRUE(taken(queue).empty());
    queueHeldKey(queue, filter, held, d); // pressed again: its own press and release count
    queueHeldKey(queue, filter, held, KeyEvent{false, 'D', 'd'});
    EXPECT_EQ(taken(queue).size(), 2u);
}

} // namespace
