// The save file: its exact lines, the round trip, and what a damaged file or disk does.
#include <filesystem>
#include <map>
#include <unistd.h>

#include "game/game.h"
#include "resources/datapath.h"
#include "save/save.h"
#include "support/harness.h"

using SaveTest = GameTest;

TEST_F(SaveTest, ASaveRightAfterStartHoldsTheStartingValuesLineForLine) {
    saveGame();
    std::string expected = "BOB\n100\n20\n100\n20\n8\n5\n1\n0\n1\n1\n1\n1\n1\n1\n";
    for (int i = 0; i < 14 + 60; i++)
        expected += "0\n";
    EXPECT_EQ(readFile("SaveFile.txt"), expected); // 89 lines
    EXPECT_FALSE(std::filesystem::exists("SaveFile.txt.new"));
}

TEST_F(SaveTest, WhatIsSavedLoadsBackExactlyAndNothingElseChanges) {
    player.hp = 12345;
    player.maxHp = 1000000;
    player.sp = -5;
    player.level = 181;
    mollochDefeats = 3;
    itemCounts[0] = -5;
    itemCounts[12] = 127;
    defeatedBosses[0] = DefeatedBoss{4, 11, 7};
    defeatedBosses[19] = DefeatedBoss{5, 2, 13};
    saveGame();
    std::string saved = readFile("SaveFile.txt");
    EXPECT_NE(saved.find("\n7\n11\n4\n"), std::string::npos); // row, column, mode

    startUp();
    player.weaponName = "Sword";
    ASSERT_TRUE(loadGame());
    EXPECT_TRUE(player.hp == 12345 && player.sp == -5 && defeatedBosses[19].roomRow == 13);
    EXPECT_STREQ(player.weaponName, "Sword"); // not in the file
    saveGame();                               // what was loaded is saved again line for line
    EXPECT_EQ(readFile("SaveFile.txt"), saved);
}

TEST_F(SaveTest, AnyNameAndCarriageReturnsLoadAllTheSame) {
    saveGame();
    std::string text = readFile("SaveFile.txt");
    std::string crlf = "Some Other Hero With A Very Long Name Indeed\r\n";
    for (size_t at = text.find('\n') + 1; at < text.size(); at = text.find('\n', at) + 1)
        crlf += text.substr(at, text.find('\n', at) - at) + "\r\n";
    writeFile("SaveFile.txt", crlf);
    player.hp = 1;
    ASSERT_TRUE(loadGame());
    EXPECT_EQ(player.hp, 100);
    EXPECT_STREQ(player.name, "Some Other Hero With A Very L"); // 29 characters kept
}

TEST_F(SaveTest, AShortOrGarbledFileChangesNothingAndSaysSo) {
    saveGame();
    std::string good = readFile("SaveFile.txt");
    std::string garbled = good, hugeCount = good;
    garbled.replace(garbled.find("\n8\n"), 3, "\neight\n");
    size_t itemLine = 0; // line 13, the first item count, after the name and the stats
    for (int line = 0; line < 12; line++)
        itemLine = hugeCount.find('\n', itemLine) + 1;
    hugeCount.replace(itemLine, 1, "300"); // more than a byte holds
    for (const std::string &bad :
         {good.substr(0, good.size() / 2), garbled, hugeCount, std::string()}) {
        writeFile("SaveFile.txt", bad);
        player.hp = 42;
        itemCounts[0] = 9;
        EXPECT_FALSE(loadGame());
        EXPECT_TRUE(player.hp == 42 && itemCounts[0] == 9);
        EXPECT_TRUE(textShownAt("The saved adventure is damaged", 20, 20, 15));
    }
}

TEST_F(SaveTest, ASaveThatCannotBeCompletedLeavesTheOldSaveWhole) {
    saveGame();
    std::string old = readFile("SaveFile.txt");
    player.hp = 7;
    ASSERT_EQ(symlink("/dev/full", "SaveFile.txt.new"), 0); // the disk fills up
    saveGame();
    EXPECT_EQ(readFile("SaveFile.txt"), old);
    EXPECT_TRUE(textShownAt("Cannot save game", 45, 5, 15));
    EXPECT_FALSE(std::filesystem::exists("SaveFile.txt.new"));

    // The save cannot be put in place at all.
    std::filesystem::remove("SaveFile.txt");
    std::filesystem::create_directories("SaveFile.txt/inside");
    clearScreen(0);
    saveGame();
    EXPECT_TRUE(textShownAt("Cannot save game", 45, 5, 15));
    EXPECT_NE(
        std::string(headlessErrors()).find("cannot save the game: SaveFile.txt: Is a directory"),
        std::string::npos);
}

// The environment a program start sees, for findDataPlaces.
static std::map<std::string, std::string> environment;
static const char *variable(const char *name) {
    auto found = environment.find(name);
    return found == environment.end() ? nullptr : found->second.c_str();
}

TEST_F(SaveTest, TheSaveStaysBesideDataInTheCurrentDirectoryElseGoesToTheDataHome) {
    struct Case {
        bool dataHere;
        std::string installed; // the installed data directory
        std::map<std::string, std::string> environment;
        std::string saveDirectory, problem;
    } cases[] = {
        {true, "/opt/b/share/brinewort", {}, "", ""},
        {false, "", {{"XDG_DATA_HOME", "/x/data"}, {"HOME", "/h"}}, "/x/data/brinewort", ""},
        // A relative XDG_DATA_HOME does not count.
        {false, "", {{"XDG_DATA_HOME", "data"}, {"HOME", "/h"}}, "/h/.local/share/brinewort", ""},
        {false, "", {{"HOME", ""}}, "", "neither XDG_DATA_HOME nor HOME"},
        // Started inside the installed data: never written to.
        {true, ".", {{"HOME", "/h"}}, "/h/.local/share/brinewort", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.saveDirectory + c.problem);
        std::filesystem::remove("map.txt");
        if (c.dataHere) writeFile("map.txt", "");
        environment = c.environment;
        DataPlaces places = findDataPlaces("/mine", c.installed, variable);
        EXPECT_EQ(places.saveDirectory, c.saveDirectory);
        EXPECT_EQ(places.saveProblem.substr(0, c.problem.size()), c.problem);
        EXPECT_EQ(places.searchDirectories.front(), "/mine");
        EXPECT_EQ(places.searchDirectories.back(), "/usr/share/brinewort");
    }
}

TEST_F(SaveTest, ASaveInTheDataHomeMakesItsDirectoriesPrivateAndAMissingHomeIsReported) {
    std::string home = std::filesystem::current_path().string() + "/home";
    environment = {{"HOME", home}};
    setDataPlaces(findDataPlaces(nullptr, "", variable));
    saveGame();
    std::string dataHome = home + "/.local/share/brinewort";
    EXPECT_EQ(readFile(dataHome + "/SaveFile.txt").substr(0, 4), "BOB\n");
    for (std::string path : {home, home + "/.local", dataHome}) {
        EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms::owner_all);
    }
    player.hp = 1;
    EXPECT_TRUE(loadGame() && player.hp == 100);

    environment = {};
    setDataPlaces(findDataPlaces(nullptr, "", variable));
    saveGame();
    EXPECT_TRUE(textShownAt("Cannot save game", 45, 5, 15));
    EXPECT_NE(std::string(headlessErrors()).find("cannot save the game"), std::string::npos);
}
