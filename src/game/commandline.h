// The program's options: a window instead of the terminal, recording a game and replaying one.
#pragma once

#include <string>

struct CommandLine {
    const char *recordPath = nullptr; // --record FILE
    const char *replayPath = nullptr; // --replay FILE
    double replaySpeed = 1.0;         // --speed N; 0 for "max"
    bool window = false;              // --window
};

// Reads argv into *options. False with one line in *error that says what is wrong.
bool parseCommandLine(int argc, char **argv, CommandLine *options, std::string *error);
