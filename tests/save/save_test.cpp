// The save file: its exact lines, the round trip, and what a damaged file or disk does.
#include <filesystem>
#include <sstream>
#include <unistd.h>

#include "game/game.h"
#include "save/save.h"
#include "support/harness.h"

using SaveTest = GameTest;

static int lineCount(const std::string &text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST_F(SaveTest, ASaveRightAfterStartHoldsTheStartingValuesLineForLine) {
    saveGame();
    std::string expected = "BOB\n100\n20\n100\n20\n8\n5\n1\n0\n1\n1\n1\n1\n1\n1\n";
    for (int i = 0; i < 14 + 60; i++)
        expected += "0\n";
    EXPECT_EQ(readFile("SaveFile.txt"), expected);
    EXPECT_EQ(lineCount(expected), 89);
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
    player.weaponStrength = 6;
    ASSERT_TRUE(loadGame());
    EXPECT_EQ(player.hp, 12345);
    EXPECT_EQ(player.maxHp, 1000000);
    EXPECT_EQ(player.sp, -5);
    EXPECT_EQ(player.level, 181);
    EXPECT_EQ(mollochDefeats, 3);
    EXPECT_EQ(itemCounts[0], -5);
    EXPECT_EQ(itemCounts[12], 127);
    EXPECT_EQ(defeatedBosses[0].mode, 4);
    EXPECT_EQ(defeatedBosses[0].roomCol, 11);
    EXPECT_EQ(defeatedBosses[0].roomRow, 7);
    EXPECT_EQ(defeatedBosses[19].roomRow, 13);
    EXPECT_STREQ(player.weaponName, "Sword"); // not in the file
    EXPECT_STREQ(player.name, "BOB");
    saveGame();
    EXPECT_EQ(readFile("SaveFile.txt"), saved); // saving again keeps only the new state
}

TEST_F(SaveTest, AnyNameAndCarriageReturnsLoadAllTheSame) {
    saveGame();
    std::string text = readFile("SaveFile.txt");
    std::string crlf = "Some Other Hero With A Very Long Name Indeed\r\n";
    for (size_t at = text.find('\n') + 1; at < text.size();) {
        size_t end = text.find('\n', at);
        crlf += text.substr(at, end - at) + "\r\n";
        at = end + 1;
    }
    writeFile("SaveFile.txt", crlf);
    player.hp = 1;
    ASSERT_TRUE(loadGame());
    EXPECT_EQ(player.hp, 100);
    EXPECT_STREQ(player.name, "Some Other Hero With A Very L"); // 29 characters kept
}

TEST_F(SaveTest, AShortOrGarbledFileChangesNothingAndSaysSo) {
    saveGame();
    std::string good = readFile("SaveFile.txt");
    std::string shortFile = good.substr(0, good.size() / 2);
    std::string garbled = good;
    garbled.replace(garbled.find("\n8\n"), 3, "\neight\n");
    std::string hugeCount = good;
    hugeCount.replace(hugeCount.find("\n1\n1\n1\n0\n") + 1, 3, "300");
    for (const std::string &bad : {shortFile, garbled, hugeCount, std::string()}) {
        writeFile("SaveFile.txt", bad);
        player.hp = 42;
        itemCounts[0] = 9;
        EXPECT_FALSE(loadGame());
        EXPECT_EQ(player.hp, 42);
        EXPECT_EQ(itemCounts[0], 9);
        EXPECT_TRUE(textShownAt("The saved adventure is damaged", 20, 20, 15));
    }
}

TEST_F(SaveTest, ContinueWithoutAFileSaysNoAdventureIsDocumented) {
    EXPECT_FALSE(loadGame());
    EXPECT_TRUE(textShownAt("No previous adventure is documented", 20, 20, 15));
}

TEST_F(SaveTest, ASaveThatCannotBeCompletedLeavesTheOldSaveWhole) {
    saveGame();
    std::string old = readFile("SaveFile.txt");
    player.hp = 7;
    // The disk fills up while the new save is written.
    ASSERT_EQ(symlink("/dev/full", "SaveFile.txt.new"), 0);
    saveGame();
    EXPECT_EQ(readFile("SaveFile.txt"), old);
    EXPECT_TRUE(textShownAt("Cannot save game", 45, 5, 15));
    EXPECT_FALSE(std::filesystem::exists("SaveFile.txt.new"));

    // The save cannot be put in place at all.
    std::filesystem::remove("SaveFile.txt");
    std::filesystem::create_directory("SaveFile.txt");
    std::filesystem::create_directory("SaveFile.txt/inside");
    clearScreen(0);
    saveGame();
    EXPECT_TRUE(textShownAt("Cannot save game", 45, 5, 15));
}
