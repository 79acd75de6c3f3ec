// The program's options.
#include "game/commandline.h"

#include <cstring>

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

CommandLine parseCommandLine(int argc, const char *const *argv) {
    CommandLine line;
    for (int i = 1; i < argc && line.action != CommandLine::Action::usageError; i++) {
        const char *argument = argv[i];
        if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
            line.action = CommandLine::Action::showHelp;
        } else if (std::strcmp(argument, "--version") == 0) {
            if (line.action == CommandLine::Action::play) {
                line.action = CommandLine::Action::showVersion;
            }
        } else if (!optionValue("--data-dir", argc, argv, i, line.dataDirectory, line)) {
            line.action = CommandLine::Action::usageError;
            line.error =
                std::string(argument[0] == '-' ? "unknown option " : "unexpected argument ") +
                argument;
        }
    }
    return line;
}

const char *helpText() {
    return "Usage: brinewort [--data-dir DIR]\n"
           "       brinewort --help | --version\n"
           "Brinewort: The Return of ZARG, a role-playing game for a terminal of 80x25 or more.\n"
           "\n"
           "  --data-dir DIR  look for the data files in DIR first\n"
           "  --help          show this help and exit\n"
           "  --version       show the version and exit\n"
           "\n"
           "Keys:\n"
           "  menus        Up, Down choose; Enter acts\n"
           "  story        Enter turns the page\n"
           "  world map    an arrow chooses the place that way; Enter goes there\n"
           "  dungeon      w a s d walk; t talk or challenge a boss; i inventory;\n"
           "               m overhead map (arrows scroll, Enter leaves); p leave\n"
           "  battle       Up, Down choose ATTACK, SPECIAL, ITEM, RUN; Enter acts;\n"
           "               Left leaves the spell menu\n"
           "  inventory    Up, Down choose; Enter uses; Left leaves\n"
           "  status       Space goes back\n"
           "\n"
           "Data files come from DIR, the current directory, $XDG_DATA_HOME/brinewort, then the\n"
           "installed data. The save, SaveFile.txt, is kept beside the data in the current\n"
           "directory, or else in $XDG_DATA_HOME/brinewort. More in brinewort(6).\n";
}
