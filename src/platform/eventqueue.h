// The pending key events of a backend, with the console's rule for discarding them.
#pragma once

#include <bitset>
#include <cstddef>

#include "platform/platform.h"

// A fixed ring of pending events. A terminal gives presses only; each press goes in as a
// press followed by its release, so the screens that act on releases behave as described.
struct EventQueue {
    static constexpr int capacity = 1024;
    KeyEvent events[capacity];
    int head = 0;
    int count = 0;
    bool pressJustTaken = false;  // the last event taken was a press whose release is next
    bool releaseHeldBack = false; // a poll has left that release pending once already
};

inline bool queueHasRoom(const EventQueue &queue, int n) {
    return queue.count + n <= EventQueue::capacity;
}

// Appends an event; a full queue drops it (a player cannot type a thousand keys ahead).
inline void queuePush(EventQueue &queue, const KeyEvent &event) {
    if (!queueHasRoom(queue, 1)) return;
    queue.events[(queue.head + queue.count) % EventQueue::capacity] = event;
    queue.count++;
}

// Appends a key press followed at once by its release.
inline void queuePushPress(EventQueue &queue, uint16_t virtualKey, char character) {
    if (!queueHasRoom(queue, 2)) return;
    queuePush(queue, KeyEvent{true, virtualKey, character});
    queuePush(queue, KeyEvent{false, virtualKey, character});
}

inline bool queuePop(EventQueue &queue, KeyEvent *event) {
    if (queue.count == 0) return false;
    *event = queue.events[queue.head];
    queue.head = (queue.head + 1) % EventQueue::capacity;
    queue.count--;
    queue.pressJustTaken = event->keyDown;
    queue.releaseHeldBack = false;
    return true;
}

// As queuePop, for a poll: the release of the press just taken is left pending when nothing
// follows it, because the player is still holding that key. It arrives with the next read or
// poll, as the release of a held key does (the world map draws at that release).
inline bool queuePopPolled(EventQueue &queue, KeyEvent *event) {
    if (queue.count == 1 && queue.pressJustTaken && !queue.releaseHeldBack &&
        !queue.events[queue.head].keyDown) {
        queue.releaseHeldBack = true;
        return false;
    }
    return queuePop(queue, event);
}

// Drops every pending event but one: the release of the press the game has just taken,
// which belongs to a key the player is still holding, not to the keys typed ahead.
inline void queueDiscard(EventQueue &queue) {
    const KeyEvent &front = queue.events[queue.head];
    bool keepRelease = queue.pressJustTaken && queue.count > 0 && !front.keyDown;
    queue.head = keepRelease ? queue.head : 0;
    queue.count = keepRelease ? 1 : 0;
}

inline void queueClear(EventQueue &queue) {
    queue.head = 0;
    queue.count = 0;
    queue.pressJustTaken = false;
    queue.releaseHeldBack = false;
}

// For a backend with real key releases: keys whose press a discard dropped while they were
// held. Their release is dropped too, so that no screen sees the release of a key it never saw
// pressed.
struct DroppedReleases {
    std::bitset<512> keys; // by slotOf

    // A key's slot: its code, or its character when it has none.
    static size_t slotOf(const KeyEvent &event) {
        return event.virtualKey != 0 ? event.virtualKey & 0xFFu
                                     : 256u + static_cast<unsigned char>(event.character);
    }
    // Notes what queueDiscard is about to drop from the queue.
    void noteDiscard(const EventQueue &queue) {
        const KeyEvent &front = queue.events[queue.head];
        bool keepFront = queue.pressJustTaken && queue.count > 0 && !front.keyDown;
        for (int i = keepFront ? 1 : 0; i < queue.count; i++) {
            const KeyEvent &event = queue.events[(queue.head + i) % EventQueue::capacity];
            keys.set(slotOf(event), event.keyDown);
        }
    }
    // False for the release of a key whose press was dropped.
    bool wanted(const KeyEvent &event) {
        size_t slot = slotOf(event);
        bool dropped = keys.test(slot);
        keys.reset(slot);
        return event.keyDown || !dropped;
    }
};
