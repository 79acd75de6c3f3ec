// The console's character set, code page 437, for terminals that speak Unicode or only ASCII.
#pragma once

extern const char32_t cp437Unicode[256]; // the character each byte shows
extern const char cp437Ascii[256];       // a plain ASCII stand-in for each byte
