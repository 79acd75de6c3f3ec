// DOM key names to the game's key codes.
#include "web/domkeys.h"

#include <cstring>

#include "platform/keynames.h"

namespace {

struct DomName {
    const char *key; // KeyboardEvent.key
    NamedKey named;
};

// Both spellings browsers have used for the arrows, space and Escape.
const DomName domNames[] = {
    {"ArrowUp", NamedKey::up},       {"Up", NamedKey::up},
    {"ArrowDown", NamedKey::down},   {"Down", NamedKey::down},
    {"ArrowLeft", NamedKey::left},   {"Left", NamedKey::left},
    {"ArrowRight", NamedKey::right}, {"Right", NamedKey::right},
    {"Enter", NamedKey::enter},      {"Backspace", NamedKey::backspace},
    {" ", NamedKey::space},          {"Spacebar", NamedKey::space},
    {"Escape", NamedKey::escape},    {"Esc", NamedKey::escape},
    {"Tab", NamedKey::tab},
};

} // namespace

bool keyEventFromDom(const char *key, const char *code, bool shifted, bool capsLock, bool down,
                     KeyEvent *event) {
    for (const DomName &name : domNames) {
        if (std::strcmp(key, name.key) == 0) {
            *event = keyEventFromNamedKey(name.named, down);
            return true;
        }
    }
    // "F1" to "F12".
    if (key[0] == 'F' && key[1] >= '1' && key[1] <= '9' &&
        (key[2] == '\0' || (key[2] >= '0' && key[2] <= '9' && key[3] == '\0'))) {
        int number = key[1] - '0';
        if (key[2] != '\0') number = number * 10 + key[2] - '0';
        return keyEventFromFunctionKey(number, down, event);
    }
    // One printable ASCII character, typed by a key of the main block.
    if (key[0] <= ' ' || key[0] >= 127 || key[1] != '\0') return false;
    if (std::strncmp(code, "Numpad", 6) == 0) return false;
    // The key names what it typed, Shift and Caps Lock applied; a letter is named by its
    // lower case, and a shifted digit or mark is refused whatever it typed.
    return keyEventFromTypingKey(key[0], shifted, capsLock, down, event);
}
