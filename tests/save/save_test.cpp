// The save file: its exact lines, the round trip, older saves, and what a damaged file or
// disk does.
#include <filesystem>
#include <unistd.h>

#include "battle/battle.h"
#include "dungeon/dungeon.h"
#include "frontend/frontend.h"
#include "game/game.h"
#include "items/items.h"
#include "resources/resources.h"
#include "save/save.h"
#include "support/harness.h"
#include "town/town.h"

// The first lines of a save: a save from before the lines after line 89 were added.
static std::string firstLines(const std::string &text, int lines) {
    size_t end = 0;
    for (int line = 0; line < lines; line++)
        end = text.find('\n', end) + 1;
    return text.substr(0, end);
}

using SaveTest = GameTest;

TEST_F(SaveTest, ASaveRightAfterStartHoldsTheStartingValuesLineForLine) {
    saveGame();
    std::string expected = "BOB\n100\n20\n100\n20\n8\n5\n1\n0\n1\n1\n1\n1\n1\n1\n";
    for (int i = 0; i < 14 + 60; i++)
        expected += "0\n";
    // Then the weapon, the flashlight clock, and each boss's hp, defense, attack and maxHp.
    expected += "Bottle\n1\n0\n0\n50\n15\n15\n50\n70\n18\n17\n70\n200\n25\n30\n200\n";
    EXPECT_EQ(readFile("SaveFile.txt"), expected);
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
    player.weaponName = "Broadsword";
    player.weaponStrength = 16;
    clockMinutes = 1;
    clockSeconds = 7;
    bosses[bossAgamir - 1] = BossRecord{"Agamir", 3, 25, 24, 110, ""};
    saveGame();
    std::string saved = readFile("SaveFile.txt");
    EXPECT_NE(saved.find("\n7\n11\n4\n"), std::string::npos); // row, column, mode

    startUp();
    hardMode = 1;
    ASSERT_TRUE(loadGame());
    EXPECT_TRUE(player.hp == 12345 && player.sp == -5 && defeatedBosses[19].roomRow == 13);
    EXPECT_STREQ(player.weaponName, "Broadsword");
    EXPECT_EQ(player.weaponStrength * 10000 + clockMinutes * 100 + clockSeconds, 160107);
    EXPECT_EQ(bosses[bossAgamir - 1].hp * 1000 + bosses[bossAgamir - 1].maxHp, 3110);
    EXPECT_STREQ(bosses[bossAgamir - 1].name, "Agamir");
    EXPECT_EQ(hardMode, 1); // not in the file
    saveGame();             // what was loaded is saved again line for line
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
    talkToNpcs(modeCave, 2, 7); // the dialogue's scratch text does not become the name
    EXPECT_STREQ(player.name, "Some Other Hero With A Very L");
}

TEST_F(SaveTest, ASaveEndingAtLineEightyNineLoadsWithTheLaterValuesAtTheirStart) {
    saveGame();
    std::string old = firstLines(readFile("SaveFile.txt"), saveFileLines);
    writeFile("SaveFile.txt", old);
    player.weaponName = "Axe";
    player.weaponStrength = 12;
    clockMinutes = 2;
    bosses[bossMolloch - 1].hp = 999;
    ASSERT_TRUE(loadGame());
    EXPECT_STREQ(player.weaponName, "Bottle");
    EXPECT_EQ(player.weaponStrength, 1);
    EXPECT_EQ(clockMinutes * 60 + clockSeconds, 0);
    EXPECT_EQ(bosses[bossMolloch - 1].hp, 50);
    saveGame(); // and the next save has every line
    EXPECT_EQ(firstLines(readFile("SaveFile.txt"), saveFileLines), old);
    EXPECT_EQ(readFile("SaveFile.txt").size(),
              firstLines(readFile("SaveFile.txt"), saveFileLines + saveExtraLines).size());
}

// A save after taking the Broadsword, lighting a flashlight and beating Molloch once, then
// Continue in a new run: nothing of it is lost.
TEST_F(SaveTest, ContinueBringsBackTheWeaponTheLightAndTheGrownBoss) {
    pickUpItem("Broadsword");
    pickUpItem("Flashlight");
    gameMode = modeBattle;
    currentBoss = bossMolloch;
    currentMonster.hp = 0;
    winBattle();
    const BossRecord grown = bosses[bossMolloch - 1];
    ASSERT_GT(grown.maxHp, 50);
    saveGame();

    startUp(); // a new run
    playTitleIntro();
    headlessPress(keyDown);
    headlessPress(keyEnter); // Continue
    runUntilInputEnds([] { runCurrentMode(); });
    ASSERT_EQ(gameMode, modeTavern);

    std::string weapon;
    headlessSetPresentHook([&weapon] { weapon = screenText(66, 15, 10) + screenText(66, 17, 2); });
    headlessPress(keySpace);
    showStatusScreen();
    EXPECT_EQ(weapon, "Broadsword16");

    EXPECT_EQ(itemCount(itemFlashlight), 1);
    EXPECT_EQ(tickFlashlightClock(), 0); // still burning
    EXPECT_GT(clockMinutes * 60 + clockSeconds, 100);

    currentBoss = bossMolloch;
    chooseMonster();
    EXPECT_EQ(currentMonster.hp, grown.hp);
    EXPECT_EQ(currentMonster.attack * 1000 + currentMonster.defense,
              grown.attack * 1000 + grown.defense);
    EXPECT_EQ(currentMonster.expReward, grown.maxHp);
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
    // The lines after line 89 cut short, or a clock that never comes back to 0:00.
    std::string cutLater = firstLines(good, saveFileLines + 3);
    std::string badClock =
        cutLater + "60\n" + good.substr(firstLines(good, saveFileLines + 4).size());
    for (const std::string &bad :
         {good.substr(0, good.size() / 2), garbled, hugeCount, std::string(), cutLater, badClock}) {
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
}
