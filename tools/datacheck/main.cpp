// brinewort-datacheck: checks a directory of data files with the game's own loaders and says
// whether the game can be played and won with them. For people who write their own dungeons.
// With --facts it prints, as JSON, the game's tables the data generators in tools/ build on.
#include <cstdio>
#include <cstring>

#include "datacheck/datacheck.h"
#include "game/game.h"
#include "platform/headless.h"
#include "program/program.h"

int main(int argc, char **argv) {
    const char *directory = argc > 1 ? argv[1] : ".";
    bool facts = argc == 2 && std::strcmp(argv[1], "--facts") == 0;
    if (argc > 2 || (argc == 2 && argv[1][0] == '-' && !facts)) {
        std::fprintf(stderr, "usage: brinewort-datacheck [data directory]\n"
                             "       brinewort-datacheck --facts\n");
        return 2;
    }
    // The text is measured with the game's own typewriter, on a screen nobody sees.
    usePlatform(&headlessPlatform);
    headlessReset();
    startUp();
    if (facts) {
        std::fputs(gameFacts().c_str(), stdout);
        return 0;
    }
    DataReport report = examineGameData(directory);
    for (const std::string &step : report.route)
        std::printf("route: %s\n", step.c_str());
    for (const std::string &warning : report.warnings)
        std::printf("warning: %s\n", warning.c_str());
    for (const std::string &problem : report.problems)
        std::printf("problem: %s\n", problem.c_str());
    std::printf("%s\n", report.problems.empty() ? "The game can be won with these files."
                                                : "These files need mending.");
    return report.problems.empty() ? 0 : 1;
}
