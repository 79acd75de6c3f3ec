// The program's options: recording a game and replaying one.
#pragma once

#include <string>

struct CommandLine {
    const char *recordPath = nullptr; // --record FILE
    const char *replayPath = nullptr; // --replay FILE
    double replaySpeed = 1.0;         // --speed N; 0 for "max"
};

// Reads argv into *options. False with one line in *error that says what is wrong.
bool parseCommandLine(int argc, char **argv, CommandLine *options, std::string *error);
