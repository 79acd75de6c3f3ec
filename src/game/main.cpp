// The program's entry point: the options, where the files are, the real terminal, the game,
// and a clean way out.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

#include "console/console.h"
#include "game/commandline.h"
#include "game/game.h"
#include "platform/terminal.h"
#include "resources/datapath.h"

static const char *environmentVariable(const char *name) {
    return std::getenv(name);
}

int main(int argc, char **argv) {
    CommandLine options = parseCommandLine(argc, argv);
    switch (options.action) {
    case CommandLine::Action::showHelp:
        std::fputs(helpText(), stdout);
        return 0;
    case CommandLine::Action::showVersion:
        std::puts("brinewort " BRINEWORT_VERSION);
        return 0;
    case CommandLine::Action::usageError:
        std::fprintf(stderr, "brinewort: %s\n\n%s", options.error.c_str(), helpText());
        return 2;
    case CommandLine::Action::play:
        break;
    }
    // A mistyped directory would quietly give the installed data instead.
    if (!options.dataDirectory.empty()) {
        struct stat status;
        const char *problem = nullptr;
        if (stat(options.dataDirectory.c_str(), &status) != 0) {
            problem = std::strerror(errno);
        } else if (!S_ISDIR(status.st_mode)) {
            problem = "not a directory";
        }
        if (problem != nullptr) {
            std::fprintf(stderr, "brinewort: --data-dir %s: %s\n", options.dataDirectory.c_str(),
                         problem);
            return 2;
        }
    }
    setDataPlaces(findDataPlaces(options.dataDirectory.c_str(), installedDataDirectory(),
                                 environmentVariable));

    usePlatform(&terminalPlatform);
    if (!terminalPlatform.init()) return 2;
    int status = 0;
    try {
        status = runProgram();
        presentScreen();
    } catch (const RunEnded &ended) {
        terminalPlatform.shutdown();
        reraiseQuitSignal(ended.signal);
        std::fputs("brinewort: the terminal's input has closed; the game has ended\n", stderr);
        return 1;
    }
    terminalPlatform.shutdown();
    return status;
}
