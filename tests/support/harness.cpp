#include "support/harness.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#ifdef _WIN32
#include <io.h>
#endif

#include "frontend/frontend.h"
#include "game/game.h"
#include "platform/system.h"
#include "program/program.h"
#include "resources/datapath.h"

void GameTest::SetUp() {
    previousDirectory = currentDirectory();
    // In TMPDIR when it is set: a run can have a temporary directory nothing else cleans.
    std::string pattern = textOf(std::filesystem::temp_directory_path() / "brinewort-test-XXXXXX");
#ifdef _WIN32
    // No mkdtemp: a name nobody has, then the directory.
    ASSERT_EQ(_mktemp_s(pattern.data(), pattern.size() + 1), 0) << pattern;
    ASSERT_TRUE(std::filesystem::create_directory(pathOf(pattern))) << pattern;
#else
    ASSERT_NE(mkdtemp(pattern.data()), nullptr) << pattern;
#endif
    directory = pattern;
    std::filesystem::current_path(pathOf(directory));
    usePlatform(&headlessPlatform);
    headlessReset();
    setDataPlaces(DataPlaces{}); // everything in the test's own directory
    startUp();
}

void GameTest::TearDown() {
    std::filesystem::current_path(pathOf(previousDirectory));
    std::filesystem::remove_all(pathOf(directory));
}

void writeFile(const std::string &name, const std::string &bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
}

std::string readFile(const std::string &name) {
    std::ifstream file(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string screenText(int x, int y, int length) {
    std::string text;
    for (int i = 0; i < length && x + i < screenWidth; i++)
        text += static_cast<char>(console.screenCells[y][x + i].glyph);
    return text;
}

std::string screenRow(int y) {
    std::string row = screenText(0, y, screenWidth);
    return row.erase(row.find_last_not_of(' ') + 1);
}

std::string wrappedTextAt(int x, int y, int width, int lastRow) {
    std::string text;
    for (int row = y; row <= lastRow; row++) {
        std::string part = screenText(x, row, width);
        part.erase(part.find_last_not_of(' ') + 1);
        if (part.empty()) break;
        text += (text.empty() ? "" : " ") + part;
    }
    return text;
}

std::vector<Cell> screenSnapshot() {
    return std::vector<Cell>(&console.screenCells[0][0],
                             &console.screenCells[0][0] + screenWidth * screenHeight);
}

bool textShownAt(const std::string &text, int x, int y, uint8_t colour) {
    if (screenText(x, y, static_cast<int>(text.size())) != text) return false;
    for (size_t i = 0; i < text.size(); i++) {
        if (colourAt(x + static_cast<int>(i), y) != colour) return false;
    }
    return true;
}

void playTitleIntro() {
    while (titleScreen.introRunning)
        runTitleScreen();
}
