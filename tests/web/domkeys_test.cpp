// The page's keys: each DOM key event gives the code and character the window (and the
// terminal) give the same key, and keys the game has no code for give nothing.
#include <gtest/gtest.h>
#include <optional>

#include "web/domkeys.h"

namespace {

struct DomKey {
    const char *key, *code;
    bool shifted, capsLock;
    std::optional<KeyEvent> wanted; // as a press
};

TEST(DomKeys, GiveTheWindowsCodesAndCharacters) {
    const DomKey cases[] = {
        {"ArrowUp", "ArrowUp", false, false, KeyEvent{true, keyUp, 0}},
        {"Left", "ArrowLeft", false, false, KeyEvent{true, keyLeft, 0}}, // an older spelling
        {"Enter", "NumpadEnter", false, false, KeyEvent{true, keyEnter, '\r'}},
        {" ", "Space", false, false, KeyEvent{true, keySpace, ' '}},
        {"Escape", "Escape", false, false, KeyEvent{true, 27, 27}},
        {"Backspace", "Backspace", false, false, KeyEvent{true, 8, 8}},
        {"Tab", "Tab", false, false, KeyEvent{true, 9, 9}},
        {"F5", "F5", false, false, KeyEvent{true, 116, 0}},
        {"F12", "F12", false, false, KeyEvent{true, 123, 0}},
        // Letters: the upper-case code, the character as typed.
        {"w", "KeyW", false, false, KeyEvent{true, 'W', 'w'}},
        {"I", "KeyI", true, false, KeyEvent{true, 'I', 'I'}},
        {"A", "KeyA", false, true, KeyEvent{true, 'A', 'A'}},
        {"a", "KeyA", true, true, KeyEvent{true, 'A', 'a'}},
        {"q", "KeyA", false, false, KeyEvent{true, 'Q', 'q'}}, // AZERTY: what the key types
        // Digits their code, other marks the character alone; shifted ones nothing.
        {"1", "Digit1", false, false, KeyEvent{true, '1', '1'}},
        {";", "Semicolon", false, false, KeyEvent{true, 0, ';'}},
        {"!", "Digit1", true, false, std::nullopt},
        {"1", "Numpad1", false, false, std::nullopt},
        {"F13", "F13", false, false, std::nullopt},
        {"Shift", "ShiftLeft", true, false, std::nullopt},
        {"Dead", "BracketLeft", false, false, std::nullopt},
        {"\xc3\xa9", "Digit2", false, false, std::nullopt}, // é
        {"", "", false, false, std::nullopt},
    };
    for (const DomKey &c : cases) {
        SCOPED_TRACE(std::string(c.key) + " " + c.code);
        for (bool down : {true, false}) {
            KeyEvent event{};
            bool given = keyEventFromDom(c.key, c.code, c.shifted, c.capsLock, down, &event);
            ASSERT_EQ(given, c.wanted.has_value());
            if (!given) continue;
            EXPECT_EQ(event.keyDown, down);
            EXPECT_EQ(event.virtualKey, c.wanted->virtualKey);
            EXPECT_EQ(event.character, c.wanted->character);
        }
    }
}

} // namespace
