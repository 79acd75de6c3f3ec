// What differs per system besides the backend and the files themselves: paths and how they are
// put together, the program's arguments and its environment, all as UTF-8 on every system.
// Implemented in files_posix.cpp and files_windows.cpp.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
constexpr char pathSeparator = '\\';
#else
constexpr char pathSeparator = '/';
#endif

// True when name is a file's name alone, with no directory in it.
bool isPlainFileName(const char *name);
// The path of the file name in directory ("" is the current directory).
std::string inDirectory(const std::string &directory, const char *name);
// The directory a path is in ("." for a plain file name).
std::string directoryOf(const std::string &path);
// True when there is a file or a directory at path.
bool pathExists(const std::string &path);
// True when a and b are the same file or directory.
bool sameFile(const std::string &a, const std::string &b);
// Why path is no directory (the system's words, or "not a directory"); null when it is one.
const char *whyNotADirectory(const std::string &path);
// Makes the directory and each missing one above it, private to the player; false with the
// reason.
bool makeDirectories(const std::string &directory, std::string *reason);
// The current directory; "" when it cannot be told.
std::string currentDirectory();
// The directory the running program is in; "" when it cannot be told.
std::string programDirectory();
// A std::filesystem path for the game's UTF-8 text, and the text of one.
std::filesystem::path pathOf(const std::string &text);
std::string textOf(const std::filesystem::path &path);
// The program's arguments, its own name first.
std::vector<std::string> programArguments(int argc, char **argv);
// An environment variable; null when it is not set. Valid until the program ends.
const char *systemVariable(const char *name);
#ifndef _WIN32
// The XDG base directories for data: the player's own ($XDG_DATA_HOME, else
// ~/.local/share; "" when neither is known) and the system's ($XDG_DATA_DIRS, else
// /usr/local/share and /usr/share). Only absolute paths count, as the XDG rules ask.
struct XdgDataDirectories {
    std::string home;
    std::vector<std::string> system;
};
XdgDataDirectories xdgDataDirectories(const char *(*getVariable)(const char *name));
#endif
