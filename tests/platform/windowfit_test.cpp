// Where the screen stands in windows around its size, and the notice of one too small.
#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/windowfit.h"

TEST(WindowFit, TheScreenIsCentredInAWindowOfAtLeastTheLeastSizeElseTheNoticeShows) {
    struct Case {
        int columns, rows;
        ScreenPlace place;
    };
    const Case cases[] = {
        {80, 25, {false, 0, 0}}, {100, 30, {false, 10, 2}}, {81, 26, {false, 0, 0}},
        {79, 25, {true, 0, 0}},  {80, 24, {true, 0, 0}},    {200, 10, {true, 0, 0}},
    };
    for (const Case &c : cases) {
        ScreenPlace place = placeScreen(c.columns, c.rows, 80, 25);
        EXPECT_EQ(place.tooSmall, c.place.tooSmall) << c.columns << "x" << c.rows;
        EXPECT_EQ(place.originColumn, c.place.originColumn) << c.columns << "x" << c.rows;
        EXPECT_EQ(place.originRow, c.place.originRow) << c.columns << "x" << c.rows;
    }
}

TEST(WindowFit, TheNoticeBreaksAtTheLastSpaceThatFitsAndStopsAtTheWindowsHeight) {
    const std::vector<std::string> lines = tooSmallNotice("terminal", 30, 10, 80, 25);
    std::string joined;
    for (size_t i = 0; i < lines.size(); i++) {
        EXPECT_LE(lines[i].size(), 30u) << lines[i];
        joined += (i == 0 ? "" : " ") + lines[i];
        // The next line's first word would not have fitted on this one.
        if (i + 1 < lines.size()) {
            size_t word = std::min(lines[i + 1].find(' '), lines[i + 1].size());
            EXPECT_GT(lines[i].size() + 1 + word, 30u) << lines[i];
        }
    }
    EXPECT_EQ(joined, "Brinewort needs a terminal window of at least 80 x 25 characters; this "
                      "one is 30 x 10. Please make the window larger: the game waits.");
    EXPECT_EQ(tooSmallNotice("console", 30, 2, 80, 25).size(), 2u);
    // A word wider than the window is cut; a window without a column shows nothing.
    EXPECT_EQ(tooSmallNotice("console", 5, 40, 80, 25).front(), "Brine");
    EXPECT_TRUE(tooSmallNotice("console", 0, 25, 80, 25).empty());
}
