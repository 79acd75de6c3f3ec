// What the player is shown when a data file cannot give what the game asked of it.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "console/console.h"
#include "resources/resources.h"

void showDataFileProblem(const char *fileName, const LoadProblem &problem,
                         const char *sectionHeadline) {
    if (problem.ok()) return;
    const char *headline =
        problem.failure == LoadFailure::fileUnreadable ? "Couldnt find file" : sectionHeadline;
    if (headline != nullptr) printAt(headline, colourWhite, messageColumn, messageRow);
    char line[512];
    std::snprintf(line, sizeof line, "%s: %s", fileName, problem.reason);
    reportErrorLine(line);
    // Under the message area, cut at the screen's edge.
    std::string shown(line, std::min(std::strlen(line), size_t{screenWidth - messageColumn}));
    printAt(shown.c_str(), colourWhite, messageColumn, messageRow + 1);
}
