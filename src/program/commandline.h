// The program's options: parsed before the terminal is taken over, so that help, the version
// and mistakes are plain lines on the standard streams.
#pragma once

#include <string>

struct CommandLine {
    enum class Action { play, replay, showHelp, showVersion, usageError };
    Action action = Action::play;
    std::string dataDirectory; // --data-dir: searched for data files before anywhere else
    std::string recordPath;    // --record FILE: every input of the game written there
    std::string replayPath;    // --replay FILE: a recording played back (Action::replay)
    double replaySpeed = 1.0;  // --speed N: times the recorded pace; 0 for "max"
    bool window = false;       // --window: a window of its own instead of the terminal
    std::string error;         // what was wrong, for usageError
};

CommandLine parseCommandLine(int argc, const char *const *argv);
// The usage lines alone, for a mistaken option.
const char *usageText();
// Usage, options and keys: one screen of text.
const char *helpText();
