// The program's options: a window instead of the terminal, recording a game and replaying one.
#include "game/commandline.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// "--name VALUE" or "--name=VALUE": the value, or nullptr when this is not the option.
// *missing is set when the option is there but its value is not.
const char *optionValue(const char *name, int argc, char **argv, int *i, bool *missing) {
    size_t length = std::strlen(name);
    const char *arg = argv[*i];
    if (std::strncmp(arg, name, length) != 0) return nullptr;
    if (arg[length] == '=') return arg + length + 1;
    if (arg[length] != '\0') return nullptr;
    if (*i + 1 >= argc) {
        *missing = true;
        return nullptr;
    }
    return argv[++*i];
}

bool parseSpeed(const char *text, double *speed) {
    if (std::strcmp(text, "max") == 0) {
        *speed = 0;
        return true;
    }
    char *end;
    double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || !std::isfinite(value) || value <= 0 || value > 1e6) {
        return false;
    }
    *speed = value;
    return true;
}

} // namespace

bool parseCommandLine(int argc, char **argv, CommandLine *options, std::string *error) {
    const char *speedText = nullptr;
    for (int i = 1; i < argc; i++) {
        const char *option = argv[i];
        bool missing = false;
        const char *value = nullptr;
        if (std::strcmp(option, "--window") == 0) {
            options->window = true;
            continue;
        }
        if ((value = optionValue("--record", argc, argv, &i, &missing))) {
            options->recordPath = value;
        } else if ((value = optionValue("--replay", argc, argv, &i, &missing))) {
            options->replayPath = value;
        } else if ((value = optionValue("--speed", argc, argv, &i, &missing))) {
            speedText = value;
        } else {
            *error = missing ? std::string(option) + " needs a value"
                             : "unknown option " + std::string(option) +
                                   "; usage: brinewort [--window] [--record FILE | --replay FILE "
                                   "[--speed N|max]]";
            return false;
        }
        if (*value == '\0') {
            *error = std::string(option) + " needs a value";
            return false;
        }
    }
    if (options->recordPath != nullptr && options->replayPath != nullptr) {
        *error = "--record and --replay cannot be used together";
        return false;
    }
    if (speedText != nullptr) {
        if (options->replayPath == nullptr) {
            *error = "--speed goes with --replay";
            return false;
        }
        if (!parseSpeed(speedText, &options->replaySpeed)) {
            *error = "--speed wants a number above 0 (such as 0.5, 2 or 10) or max, not \"" +
                     std::string(speedText) + "\"";
            return false;
        }
    }
    return true;
}
