// The game's UTF-8 and the UTF-16 of Windows' wide calls, and a Windows error as an errno value,
// so that the game's messages read as on other systems. Implemented in files_windows.cpp.
#pragma once

#include <string>

std::wstring wideOf(const std::string &text);
std::string utf8Of(const wchar_t *text, size_t length);
std::string utf8Of(const std::wstring &text);
// The errno value nearest to a Windows error (GetLastError); EIO for any without one.
int errnoOf(unsigned long windowsError);
