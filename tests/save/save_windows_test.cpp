// The save on Windows: a read-only save or a folder in its place is not replaced, a link the
// player made stays a link and its target gets the save, one planted as the new file is never
// followed; the save stays beside the data in the current folder, else goes to %APPDATA%.
#include <windows.h>

#include <cstring>
#include <filesystem>
#include <map>

#include "game/game.h"
#include "platform/system.h"
#include "platform/windows_text.h"
#include "resources/datapath.h"
#include "save/save.h"
#include "support/harness.h"

namespace fs = std::filesystem;

using WindowsSaveTest = GameTest;

// A link, as a player without the privilege for links makes it in developer mode; false when
// links cannot be made here (Wine 8 says it made one and makes none).
static bool makeLink(const char *target, const char *link) {
    CreateSymbolicLinkW(wideOf(link).c_str(), wideOf(target).c_str(),
                        SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
    DWORD attributes = GetFileAttributesW(wideOf(link).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

static void expectRefused(const char *reason) {
    SaveOutcome saved = saveGame();
    EXPECT_FALSE(saved);
    EXPECT_STREQ(saved.reason, reason);
}

TEST_F(WindowsSaveTest, AReadOnlySaveOrAFolderInItsPlaceIsNotReplaced) {
    ASSERT_TRUE(saveGame());
    std::string old = readFile("SaveFile.txt");
    game.player.hp = 7;
    SetFileAttributesW(L"SaveFile.txt", FILE_ATTRIBUTE_READONLY);
    expectRefused("SaveFile.txt is read-only");
    EXPECT_EQ(readFile("SaveFile.txt"), old);
    EXPECT_FALSE(fs::exists("SaveFile.txt.new"));
    SetFileAttributesW(L"SaveFile.txt", FILE_ATTRIBUTE_NORMAL);

    fs::remove("SaveFile.txt");
    fs::create_directory("SaveFile.txt");
    expectRefused("SaveFile.txt is not a regular file");
}

TEST_F(WindowsSaveTest, ALinkedSaveStaysALinkAndALinkPlantedAsTheNewFileIsNotFollowed) {
    fs::create_directory("elsewhere");
    writeFile("elsewhere\\mine.txt", "");
    if (!makeLink("elsewhere\\mine.txt", "SaveFile.txt")) GTEST_SKIP() << "no links here";
    game.player.level = 12;
    ASSERT_TRUE(saveGame()) << headlessErrors();
    EXPECT_TRUE(fs::is_symlink("SaveFile.txt"));
    EXPECT_EQ(readFile("elsewhere\\mine.txt").substr(0, 4), "BOB\n");
    game.player.level = 1;
    ASSERT_TRUE(loadGame());
    EXPECT_EQ(game.player.level, 12);
    EXPECT_FALSE(fs::exists("elsewhere\\mine.txt.new"));

    fs::remove("SaveFile.txt");
    writeFile("victim", "precious");
    ASSERT_TRUE(makeLink("victim", "SaveFile.txt.new"));
    ASSERT_TRUE(saveGame()) << headlessErrors();
    EXPECT_EQ(readFile("victim"), "precious");
    EXPECT_EQ(readFile("SaveFile.txt").substr(0, 4), "BOB\n");
    EXPECT_FALSE(fs::exists("SaveFile.txt.new"));
}

// The environment a program start sees, for findDataPlaces.
static std::map<std::string, std::string> environment;
static const char *variable(const char *name) {
    auto found = environment.find(name);
    return found == environment.end() ? nullptr : found->second.c_str();
}

TEST_F(WindowsSaveTest, TheSaveStaysBesideDataInTheCurrentFolderElseGoesToAppData) {
    const std::string here = currentDirectory();
    fs::create_directory("program");
    const std::string zoe = "C:\\Users\\Zo\xC3\xAB";
    struct Case {
        bool dataHere;
        std::string program; // the folder the program is in
        const char *appData;
        std::string playerFolder, saveDirectory, problem;
    } cases[] = {
        {true, here + "\\program", zoe.c_str(), zoe + "\\Brinewort", "", ""},
        {false, here + "\\program", zoe.c_str(), zoe + "\\Brinewort", zoe + "\\Brinewort", ""},
        // Started in the folder the program came in (a double click): never written to.
        {true, here, "D:/roaming", "D:/roaming\\Brinewort", "D:/roaming\\Brinewort", ""},
        // A relative %APPDATA% does not count.
        {false, here, "roaming", "", "", "APPDATA names no folder"},
        {false, here, nullptr, "", "", "APPDATA names no folder"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.saveDirectory + c.problem);
        fs::remove("map.txt");
        if (c.dataHere) writeFile("map.txt", "");
        environment.clear();
        if (c.appData != nullptr) environment["APPDATA"] = c.appData;
        DataPlaces places = findDataPlaces("D:\\mine", c.program, variable);
        EXPECT_EQ(places.saveDirectory, c.saveDirectory);
        EXPECT_EQ(places.saveProblem.substr(0, c.problem.size()), c.problem);
        std::vector<std::string> searched = {"D:\\mine", "", c.program};
        if (!c.playerFolder.empty()) searched.push_back(c.playerFolder);
        EXPECT_EQ(places.searchDirectories, searched);
    }
}

TEST_F(WindowsSaveTest, ASaveInAppDataMakesItsFoldersWhateverTheUsersName) {
    std::string appData = currentDirectory() + "\\Users\\Zo\xC3\xAB\\AppData\\Roaming";
    environment = {{"APPDATA", appData}};
    setDataPlaces(findDataPlaces(nullptr, "", variable));
    game.player.level = 5;
    ASSERT_TRUE(saveGame()) << headlessErrors();
    EXPECT_TRUE(fs::exists(pathOf(appData + "\\Brinewort\\SaveFile.txt")));
    game.player.level = 1;
    ASSERT_TRUE(loadGame());
    EXPECT_EQ(game.player.level, 5);
}
