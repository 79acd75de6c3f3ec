// The codes and characters of named keys, as the terminal gives the same keys.
#include "platform/keynames.h"

#include "platform/cp437.h"

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

KeyEvent keyEventFromTypedCharacter(char32_t typed, bool down) {
    KeyEvent event{down, 0, 0};
    if (typed >= 128) {
        for (int byte = 128; byte < 256 && event.character == 0; byte++) {
            if (cp437Unicode[byte] == typed) event.character = static_cast<char>(byte);
        }
        return event;
    }
    char ch = static_cast<char>(typed);
    if (ch == '\r' || ch == '\n') return KeyEvent{down, keyEnter, '\r'};
    if (ch >= 'a' && ch <= 'z') return KeyEvent{down, static_cast<uint16_t>(ch - 'a' + 'A'), ch};
    if ((ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == ' ' || ch == 27 || ch == '\t')
        return KeyEvent{down, static_cast<uint16_t>(ch), ch};
    if (ch == 127 || ch == 8) return KeyEvent{down, 8, 8};
    // Punctuation and control characters: the character as typed, no key code.
    return KeyEvent{down, 0, ch};
}
