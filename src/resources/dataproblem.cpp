// What the player is shown when a data file cannot give what the game asked of it.
#include <cstdio>

#include "console/console.h"
#include "resources/resources.h"

void showDataFileProblem(const char *fileName, const LoadProblem &problem,
                         const char *sectionHeadline, const ProblemPlace &place) {
    if (problem.ok()) return;
    const char *headline =
        problem.failure == LoadFailure::fileUnreadable ? "Couldnt find file" : sectionHeadline;
    if (headline != nullptr) printAt(headline, colourWhite, place.column, place.row);
    char line[512];
    std::snprintf(line, sizeof line, "%s: %s", fileName, problem.reason);
    reportErrorLine(line);
    printWrapped(line, colourWhite, place.width, place.column, place.row + 1, place.lastRow);
}
