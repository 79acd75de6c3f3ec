// What files.cpp shares with each system's own file code (files_posix.cpp, files_windows.cpp).
#pragma once

#include <cstddef>

// Sets a failure's errno and its words: text, or the system's words for error when null.
void setReason(char (&reason)[64], int *errorOut, int error, const char *text);
// Sets the failure of a file over maxBytes.
void setTooBig(char (&reason)[64], int *errorOut, size_t maxBytes);
