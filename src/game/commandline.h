// The program's options: parsed before the terminal is taken over, so that help, the version
// and mistakes are plain lines on the standard streams.
#pragma once

#include <string>

struct CommandLine {
    enum class Action { play, showHelp, showVersion, usageError };
    Action action = Action::play;
    std::string dataDirectory; // --data-dir: searched for data files before anywhere else
    std::string error;         // what was wrong, for usageError
};

CommandLine parseCommandLine(int argc, const char *const *argv);
// Usage, options and keys: one screen of text.
const char *helpText();
