// Pictures of the bosses, read from tagged sections: a row per line up to the underscore.
#include <cstdio>

#include "resources/resources.h"

LoadProblem loadPicture(const char *fileName, const char *tag, Picture &picture) {
    std::string bytes;
    LoadProblem problem = loadDataFile(fileName, bytes);
    if (!problem.ok()) return problem;
    DataReader in = readerOf(bytes);
    bool found = findTagLine(in, tag);
    bool complete = false;
    if (found) {
        int row = 0;
        int column = 0;
        for (int ch = readSectionChar(in); ch != EOF; ch = readSectionChar(in)) {
            if (ch == '_') {
                complete = true;
                break;
            }
            // Rows past the slot, and characters past a row's 32, are cut: a row always
            // keeps its terminator.
            bool inside = row < pictureRows && column < pictureColumns - 1;
            if (ch == '\n') {
                if (row < pictureRows) picture.rows[row][inside ? column : pictureColumns - 1] = 0;
                row++;
                column = 0;
            } else {
                if (inside) picture.rows[row][column] = static_cast<char>(ch);
                column++;
            }
        }
    }
    if (!complete) {
        problem.failure = LoadFailure::sectionUnusable;
        std::snprintf(problem.reason, sizeof problem.reason,
                      found ? "picture %s has no closing _" : "no picture %s", tag);
    }
    return problem;
}
