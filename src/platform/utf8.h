// Characters written as UTF-8, for what the terminal is sent and what recordings show.
#pragma once

#include <string>

// Appends a character of the Basic Multilingual Plane (every character code page 437 shows
// stands there) as UTF-8.
inline void appendUtf8(std::string &out, char32_t ch) {
    if (ch < 0x80) {
        out += static_cast<char>(ch);
    } else if (ch < 0x800) {
        out += static_cast<char>(0xC0 | (ch >> 6));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (ch >> 12));
        out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    }
}
