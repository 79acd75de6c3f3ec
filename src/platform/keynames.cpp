// The codes and characters of named keys, as the terminal gives the same keys.
#include "platform/keynames.h"

KeyEvent keyEventFromNamedKey(NamedKey key, bool down) {
    switch (key) {
    case NamedKey::up:
        return KeyEvent{down, keyUp, 0};
    case NamedKey::down:
        return KeyEvent{down, keyDown, 0};
    case NamedKey::left:
        return KeyEvent{down, keyLeft, 0};
    case NamedKey::right:
        return KeyEvent{down, keyRight, 0};
    case NamedKey::enter:
        return KeyEvent{down, keyEnter, '\r'};
    case NamedKey::backspace:
        return KeyEvent{down, 8, 8};
    case NamedKey::space:
        return KeyEvent{down, keySpace, ' '};
    case NamedKey::escape:
        return KeyEvent{down, 27, 27};
    case NamedKey::tab:
        return KeyEvent{down, 9, 9};
    }
    return KeyEvent{down, 0, 0};
}

bool keyEventFromFunctionKey(int number, bool down, KeyEvent *event) {
    if (number < 1 || number > 12) return false;
    *event = KeyEvent{down, static_cast<uint16_t>(112 + number - 1), 0};
    return true;
}

bool keyEventFromTypingKey(char unshifted, bool shifted, bool capsLock, bool down,
                           KeyEvent *event) {
    char base =
        unshifted >= 'A' && unshifted <= 'Z' ? static_cast<char>(unshifted - 'A' + 'a') : unshifted;
    if (base >= 'a' && base <= 'z') {
        char upper = static_cast<char>(base - 'a' + 'A');
        *event = KeyEvent{down, static_cast<uint16_t>(upper), shifted != capsLock ? upper : base};
        return true;
    }
    if (shifted || base <= ' ' || base >= 127) return false;
    bool digit = base >= '0' && base <= '9';
    // Punctuation: the character as typed, no key code.
    *event = KeyEvent{down, static_cast<uint16_t>(digit ? base : 0), base};
    return true;
}
