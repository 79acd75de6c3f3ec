// brinewort-datacheck: checks a directory of data files with the game's own loaders and says
// whether the game can be played and won with them. For people who write their own dungeons.
#include <cstdio>

#include "datacheck/datacheck.h"
#include "game/game.h"
#include "platform/headless.h"

int main(int argc, char **argv) {
    const char *directory = argc > 1 ? argv[1] : ".";
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        std::fprintf(stderr, "usage: brinewort-datacheck [data directory]\n");
        return 2;
    }
    // The text is measured with the game's own typewriter, on a screen nobody sees.
    usePlatform(&headlessPlatform);
    headlessReset();
    startUp();
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
