// The keys the game has codes for, as a keyboard layer names them: one home for the code and
// character each key gives, shared by the backends whose keyboards report named keys (the
// window's SDL key symbols, the page's DOM key names).
#pragma once

#include <cstdint>

#include "platform/platform.h"

// Keys that type no character the game reads as text.
enum class NamedKey : uint8_t { up, down, left, right, enter, backspace, space, escape, tab };

// The event for a named key.
KeyEvent keyEventFromNamedKey(NamedKey key, bool down);
// The event for function key F1..F12 (its code alone); false for another number.
bool keyEventFromFunctionKey(int number, bool down, KeyEvent *event);
// The event for a key that types a printable character, named by what it types without Shift
// ('a' for the A key, '1', ';'). A letter gives the upper-case letter's code and the character
// as typed (upper case when Shift or Caps Lock, not both, is on); an unshifted digit its code
// and character; other unshifted punctuation the character alone, with no code. False for a
// shifted digit or punctuation mark (what it types depends on the layout) and for anything
// outside printable ASCII.
bool keyEventFromTypingKey(char unshifted, bool shifted, bool capsLock, bool down, KeyEvent *event);
// The event for a character typed, as a terminal or console reports it (a code point): Enter
// (carriage return or line feed), letters, digits, space, Escape, Tab and Backspace (DEL or
// BS) with their codes; other ASCII as the character alone; a character outside ASCII as its
// code page 437 byte if it has one, else neither code nor character.
KeyEvent keyEventFromTypedCharacter(char32_t typed, bool down);
