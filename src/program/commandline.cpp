// The program's options.
#include "program/commandline.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/files.h"
#include "resources/datapath.h"

// Takes an option's value, given as "--name VALUE" or "--name=VALUE". False when it is not
// this option; sets the error when the value is missing.
static bool optionValue(const char *name, int argc, const char *const *argv, int &i,
                        std::string &value, CommandLine &line) {
    size_t length = std::strlen(name);
    const char *argument = argv[i];
    if (std::strncmp(argument, name, length) != 0) return false;
    if (argument[length] == '=') {
        value = argument + length + 1;
    } else if (argument[length] != '\0') {
        return false;
    } else if (i + 1 < argc) {
        value = argv[++i];
    } else {
        value.clear();
    }
    if (value.empty()) {
        line.action = CommandLine::Action::usageError;
        line.error = std::string("option ") + name + " needs a value";
    }
    return true;
}

// "max", or a number above 0 (such as 0.5, 2 or 10).
static bool parseSpeed(const std::string &text, double *speed) {
    if (text == "max") {
        *speed = 0;
        return true;
    }
    char *end;
    double value = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !std::isfinite(value) || value <= 0 || value > 1e6) {
        return false;
    }
    *speed = value;
    return true;
}

static void refuse(CommandLine &line, const std::string &error) {
    line.action = CommandLine::Action::usageError;
    line.error = error;
}

CommandLine parseCommandLine(int argc, const char *const *argv) {
    CommandLine line;
    bool helpAsked = false, versionAsked = false;
    std::string speedText;
    for (int i = 1; i < argc && line.action != CommandLine::Action::usageError; i++) {
        const char *argument = argv[i];
        if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
            helpAsked = true;
        } else if (std::strcmp(argument, "--version") == 0) {
            versionAsked = true;
        } else if (std::strcmp(argument, "--window") == 0) {
            line.window = true;
        } else if (!optionValue("--data-dir", argc, argv, i, line.dataDirectory, line) &&
                   !optionValue("--record", argc, argv, i, line.recordPath, line) &&
                   !optionValue("--replay", argc, argv, i, line.replayPath, line) &&
                   !optionValue("--speed", argc, argv, i, speedText, line)) {
            refuse(line,
                   std::string(argument[0] == '-' ? "unknown option " : "unexpected argument ") +
                       printableText(argument));
        }
    }
    if (line.action == CommandLine::Action::usageError) return line;
    if (helpAsked) {
        line.action = CommandLine::Action::showHelp;
    } else if (versionAsked) {
        line.action = CommandLine::Action::showVersion;
    } else if (!line.recordPath.empty() && !line.replayPath.empty()) {
        refuse(line, "--record and --replay cannot be used together");
    } else if (!speedText.empty() && line.replayPath.empty()) {
        refuse(line, "--speed goes with --replay");
    } else if (!speedText.empty() && !parseSpeed(speedText, &line.replaySpeed)) {
        refuse(line, "--speed wants a number above 0 (such as 0.5, 2 or 10) or max, not \"" +
                         printableText(speedText) + "\"");
    } else if (!line.replayPath.empty()) {
        line.action = CommandLine::Action::replay;
    }
    return line;
}

// Each on a line of its own, so that the help below can begin with them.
#define BRINEWORT_USAGE                                                                            \
    "Usage: brinewort [--window] [--data-dir DIR] [--record FILE]\n"                               \
    "       brinewort [--window] --replay FILE [--speed N|max]\n"                                  \
    "       brinewort --help | --version\n"

const char *usageText() {
    return BRINEWORT_USAGE;
}

const char *helpText() {
    // Where the files are is the system's: datapath.h says.
    static const std::string text =
        BRINEWORT_USAGE
        "Brinewort: The Return of ZARG, a role-playing game for a terminal of 80x25.\n"
        "  --window           play in a window of its own instead of the terminal\n"
        "  --data-dir DIR     look for the data files in DIR first\n"
        "  --record FILE      play, and write every key and clock reading to FILE\n"
        "  --replay FILE      play FILE back (q or Esc stops, space pauses)\n"
        "  --speed N|max      replay at N times the recorded pace, or as fast as it goes\n"
        "  --help, --version  show this help, or the version, and exit\n"
        "Keys:\n"
        "  menus        Up, Down choose; Enter acts\n"
        "  story        Enter turns the page\n"
        "  world map    an arrow chooses the place that way; Enter goes there\n"
        "  dungeon      w a s d walk; t talk or challenge a boss; i inventory;\n"
        "               m overhead map (arrows scroll, Enter leaves); p leave\n"
        "  battle       Up, Down choose ATTACK, SPECIAL, ITEM, RUN; Enter acts;\n"
        "               Left leaves the spell menu\n"
        "  inventory    Up, Down choose; Enter uses; Left leaves\n" +
        std::string(dataPlacesHelp);
    return text.c_str();
}
