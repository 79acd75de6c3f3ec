#!/usr/bin/env python3
"""Writes src/platform/cp437.cpp: code page 437 bytes as Unicode characters, and as plain
ASCII for terminals without a UTF-8 locale. Run from the repository root."""
import unicodedata

# Bytes 0x01-0x1F and 0x7F show pictures on the console, not control characters.
LOW = "\u0020☺☻♥♦♣♠•◘○◙♂♀♪♫☼►◄↕‼¶§▬↨↑↓→←∟↔▲▼"
HIGH = "⌂"


def unicode_of(byte):
    if byte < 0x20:
        return LOW[byte]
    if byte == 0x7F:
        return HIGH
    if byte < 0x7F:
        return chr(byte)
    return bytes([byte]).decode("cp437")


ASCII_SPECIAL = {
    0x01: "O", 0x02: "Q", 0x0B: "@", 0x18: "^", 0x19: "v", 0x1A: ">", 0x1B: "<",
    0x1E: "^", 0x1F: "v", 0x10: ">", 0x11: "<", 0x7F: "^",
    0xB0: ".", 0xB1: ":", 0xB2: "#", 0xDB: "#", 0xDC: "#", 0xDD: "#", 0xDE: "#", 0xDF: "#",
    0xFE: "#", 0xFA: ".", 0xF9: ".", 0xF8: "o", 0xFF: " ",
}


def ascii_of(byte):
    if byte in ASCII_SPECIAL:
        return ASCII_SPECIAL[byte]
    ch = unicode_of(byte)
    if byte == 0 or (0x20 <= byte < 0x7F):
        return ch
    name = unicodedata.name(ch, "")
    if name.startswith("BOX DRAWINGS"):
        vertical = "VERTICAL" in name or "UP" in name or "DOWN" in name
        horizontal = "HORIZONTAL" in name or "LEFT" in name or "RIGHT" in name
        if vertical and horizontal:
            return "+"
        if vertical:
            return "|"
        return "=" if "DOUBLE" in name else "-"
    base = unicodedata.normalize("NFKD", ch).encode("ascii", "ignore").decode()
    if len(base) == 1:
        return base
    return "*"


def c_char32(ch):
    if ch in "\\'":
        return "U'\\" + ch + "'"
    return "U'" + ch + "'"


def c_char(ch):
    if ch in "\\'":
        return "'\\" + ch + "'"
    return "'" + ch + "'"


lines = [
    "// Code page 437 as Unicode and as plain ASCII. Written by tools/gen_cp437_table.py.",
    '#include "platform/cp437.h"',
    "",
    "// Byte 0 shows as a blank; 0x01-0x1F and 0x7F are the console's pictures.",
    "const char32_t cp437Unicode[256] = {",
]
for row in range(16):
    cells = ", ".join(c_char32(unicode_of(row * 16 + col)) for col in range(16))
    lines.append(f"    {cells}, // {row * 16:#04x}")
lines += ["};", "", "const char cp437Ascii[256] = {"]
for row in range(16):
    cells = ", ".join(c_char(ascii_of(row * 16 + col)) for col in range(16))
    lines.append(f"    {cells}, // {row * 16:#04x}")
lines += ["};", ""]
with open("src/platform/cp437.cpp", "w", encoding="utf-8") as out:
    out.write("\n".join(lines))
