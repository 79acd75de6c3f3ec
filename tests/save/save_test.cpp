// The save file: its exact lines, the round trip, older saves, and what a damaged file or
// disk does.
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <vector>
#ifndef _WIN32
#include <sys/resource.h>
#include <tuple>
#include <unistd.h>
#endif

#include "battle/battle.h"
#include "dungeon/dungeon.h"
#include "frontend/frontend.h"
#include "game/game.h"
#include "items/items.h"
#include "program/program.h"
#include "resources/datapath.h"
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
    writeFile("SaveFile.txt.new", "BOB\n"); // left by a save that was cut short
    startUp();
    EXPECT_FALSE(std::filesystem::exists("SaveFile.txt.new"));
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
    game.player.hp = 1234;
    game.player.maxHp = 5000;
    game.player.sp = 0;
    game.player.level = 181;
    game.mollochDefeats = 3;
    game.itemCounts[0] = 0;
    game.itemCounts[12] = 127;
    game.defeatedBosses[0] = DefeatedBoss{4, 11, 7};
    game.defeatedBosses[19] = DefeatedBoss{6, 2, 13}; // the Castle's
    game.player.weaponName = "Broadsword";
    game.player.weaponStrength = 16;
    flashlightClock.minutes = 1;
    flashlightClock.seconds = 7;
    game.bosses[bossAgamir - 1] = BossRecord{"Agamir", 3, 25, 24, 110, ""};
    saveGame();
    std::string saved = readFile("SaveFile.txt");
    EXPECT_NE(saved.find("\n7\n11\n4\n"), std::string::npos); // row, column, mode

    startUp();
    game.hardMode = true;
    ASSERT_TRUE(loadGame());
    EXPECT_EQ(std::tuple(game.player.hp, game.player.sp), std::tuple(1234, 0));
    EXPECT_EQ(game.defeatedBosses[19].roomRow, 13);
    EXPECT_STREQ(game.player.weaponName, "Broadsword");
    EXPECT_EQ(game.player.weaponStrength * 10000 + flashlightClock.minutes * 100 +
                  flashlightClock.seconds,
              160107);
    EXPECT_EQ(game.bosses[bossAgamir - 1].hp * 1000 + game.bosses[bossAgamir - 1].maxHp, 3110);
    EXPECT_STREQ(game.bosses[bossAgamir - 1].name, "Agamir");
    EXPECT_TRUE(game.hardMode); // not in the file
    saveGame();                 // what was loaded is saved again line for line
    EXPECT_EQ(readFile("SaveFile.txt"), saved);
}

TEST_F(SaveTest, AnyNameAndCarriageReturnsLoadAllTheSame) {
    saveGame();
    std::string text = readFile("SaveFile.txt");
    std::string crlf = "Some Other Hero With A Very Long Name Indeed\r\n";
    for (size_t at = text.find('\n') + 1; at < text.size(); at = text.find('\n', at) + 1)
        crlf += text.substr(at, text.find('\n', at) - at) + "\r\n";
    writeFile("SaveFile.txt", crlf);
    game.player.hp = 1;
    ASSERT_TRUE(loadGame());
    EXPECT_EQ(game.player.hp, 100);
    EXPECT_STREQ(game.player.name, "Some Other Hero With A Very L"); // 29 characters kept
    talkToNpcs(modeCave, 2, 7); // the dialogue's scratch text does not become the name
    EXPECT_STREQ(game.player.name, "Some Other Hero With A Very L");
}

TEST_F(SaveTest, ASaveEndingAtLineEightyNineLoadsWithTheLaterValuesAtTheirStart) {
    saveGame();
    std::string old = firstLines(readFile("SaveFile.txt"), saveFileLines);
    writeFile("SaveFile.txt", old);
    game.player.weaponName = "Axe";
    game.player.weaponStrength = 12;
    flashlightClock.minutes = 2;
    game.bosses[bossMolloch - 1].hp = 999;
    ASSERT_TRUE(loadGame());
    EXPECT_STREQ(game.player.weaponName, "Bottle");
    EXPECT_EQ(game.player.weaponStrength, 1);
    EXPECT_EQ(flashlightClock.minutes * 60 + flashlightClock.seconds, 0);
    EXPECT_EQ(game.bosses[bossMolloch - 1].hp, 50);
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
    game.gameMode = modeBattle;
    battleState.currentBoss = bossMolloch;
    battleState.currentMonster.hp = 0;
    winBattle();
    const BossRecord grown = game.bosses[bossMolloch - 1];
    ASSERT_GT(grown.maxHp, 50);
    saveGame();

    startUp(); // a new run
    playTitleIntro();
    headlessPress(keyDown);
    headlessPress(keyEnter); // Continue
    runUntilInputEnds([] { runCurrentMode(); });
    ASSERT_EQ(game.gameMode, modeTavern);

    std::string weapon;
    headlessSetPresentHook([&weapon] { weapon = screenText(66, 15, 10) + screenText(66, 17, 2); });
    headlessPress(keySpace);
    showStatusScreen();
    EXPECT_EQ(weapon, "Broadsword16");

    EXPECT_EQ(itemCount(itemFlashlight), 1);
    EXPECT_FALSE(tickFlashlightClock()); // still burning
    EXPECT_GT(flashlightClock.minutes * 60 + flashlightClock.seconds, 100);

    battleState.currentBoss = bossMolloch;
    chooseMonster();
    EXPECT_EQ(battleState.currentMonster.hp, grown.hp);
    EXPECT_EQ(battleState.currentMonster.attack * 1000 + battleState.currentMonster.defense,
              grown.attack * 1000 + grown.defense);
    EXPECT_EQ(battleState.currentMonster.expReward, grown.maxHp);
}

TEST_F(SaveTest, AShortOrGarbledFileChangesNothingAndSaysSo) {
    saveGame();
    std::string good = readFile("SaveFile.txt");
    // The file with line n (1 for the name) replaced.
    auto withLine = [&good](int n, const std::string &text) {
        size_t at = 0;
        for (int line = 1; line < n; line++)
            at = good.find('\n', at) + 1;
        return std::string(good).replace(at, good.find('\n', at) - at, text);
    };
    // Cut short, garbled, empty, and values play never reaches, which the game's sums would
    // overflow on: hit points beyond their maximum or the int range, a count of more than a
    // byte or a negative one (usable for ever), level 0, a boss in a sixth dungeon; the lines
    // after line 89 cut short, a clock that never comes back to 0:00, a boss grown past play; and
    // hand-edited ones: a weapon the game has no such thing as, a boss with more hit points than
    // his most or with none.
    std::string cutLater = firstLines(good, saveFileLines + 3);
    for (const std::string &bad :
         {good.substr(0, good.size() / 2), withLine(7, "eight"), std::string(),
          withLine(2, "2147483647"), withLine(2, "101"), withLine(4, "2147483647"),
          withLine(13, "300"), withLine(13, "-1"), withLine(10, "0"), withLine(32, "9"), cutLater,
          withLine(saveFileLines + 4, "60"), withLine(saveFileLines + 8, "2147483647"),
          withLine(90, "Lightsaber"), withLine(94, "51"), withLine(98, "71"), withLine(102, "0")}) {
        writeFile("SaveFile.txt", bad);
        game.player.hp = 42;
        game.itemCounts[0] = 9;
        LoadOutcome loaded = loadGame();
        EXPECT_FALSE(loaded);
        EXPECT_EQ(std::tuple(game.player.hp, game.itemCounts[0]), std::tuple(42, 9));
        EXPECT_STREQ(loaded.message, "The saved adventure is damaged     ");
    }
    // The line found wrong is named.
    writeFile("SaveFile.txt", withLine(7, "eight"));
    EXPECT_STREQ(loadGame().reason, "SaveFile.txt: line 7: bad or missing");
}

#ifndef _WIN32 // POSIX links, owners, limits and places (Windows: save_windows_test.cpp)
// A save that cannot be made says why, in the talk area and on the error stream, and leaves
// the old save as it was; a link planted as the temporary file is never followed.
TEST_F(SaveTest, ASaveRefusedOrCutShortSaysWhyAndLeavesTheOldSaveWhole) {
    namespace fs = std::filesystem;
    struct Case {
        const char *what;
        std::function<void()> arrange, undo;
        const char *reason; // null: the save goes through
    };
    struct rlimit limit;
    getrlimit(RLIMIT_FSIZE, &limit);
    const Case cases[] = {
        {"a link planted as the temporary file",
         [] { ASSERT_EQ(symlink("victim", "SaveFile.txt.new"), 0); }, [] {}, nullptr},
        {"a directory others may write to",
         [] { fs::permissions(".", fs::perms::others_write, fs::perm_options::add); },
         [] { fs::permissions(".", fs::perms::others_write, fs::perm_options::remove); },
         "its directory is not the player's alone"},
        {"a save the player made read-only",
         [] { fs::permissions("SaveFile.txt", fs::perms::owner_write, fs::perm_options::remove); },
         [] { fs::permissions("SaveFile.txt", fs::perms::owner_write, fs::perm_options::add); },
         "SaveFile.txt is read-only"},
        {"a save that is a directory",
         [] {
             fs::rename("SaveFile.txt", "kept");
             fs::create_directory("SaveFile.txt");
         },
         [] {
             fs::remove("SaveFile.txt");
             fs::rename("kept", "SaveFile.txt");
         },
         "SaveFile.txt is not a regular file"},
        {"a file size limit (the disk is full)",
         [] {
             signal(SIGXFSZ, SIG_IGN);
             struct rlimit none = {0, RLIM_INFINITY};
             getrlimit(RLIMIT_FSIZE, &none);
             none.rlim_cur = 0;
             setrlimit(RLIMIT_FSIZE, &none);
         },
         [limit] {
             setrlimit(RLIMIT_FSIZE, &limit);
             signal(SIGXFSZ, SIG_DFL);
         },
         "File too large"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        game.player.hp = 100;
        ASSERT_TRUE(saveGame());
        std::string old = readFile("SaveFile.txt");
        writeFile("victim", "precious");
        headlessReset();
        clearScreen(0);
        game.player.hp = 7;
        c.arrange();
        SaveOutcome saved = saveGame();
        c.undo();
        EXPECT_EQ(saved.done, c.reason == nullptr);
        EXPECT_EQ(readFile("victim"), "precious");
        EXPECT_FALSE(fs::exists("SaveFile.txt.new"));
        if (c.reason == nullptr) {
            EXPECT_NE(readFile("SaveFile.txt"), old);
            continue;
        }
        EXPECT_EQ(readFile("SaveFile.txt"), old);
        EXPECT_STREQ(saved.reason, c.reason);
    }
}

// Who else may write beside the save, and whose the save is, decide whether it is replaced:
// the player's own private group may (a umask of 002), a group with other members may not, nor
// is another user's save replaced. A save that is replaced keeps its permissions.
TEST_F(SaveTest, OnlyThePlayersOwnSaveInAPlaceOnlyTheyMayWriteIsReplaced) {
    namespace fs = std::filesystem;
    ASSERT_TRUE(saveGame());
    fs::permissions("SaveFile.txt", fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(saveGame());
    EXPECT_EQ(fs::status("SaveFile.txt").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    if (geteuid() != 0) GTEST_SKIP() << "giving files to other users and groups needs root";
    // Root's own group, root alone in it: as a user's private group is.
    fs::permissions(".", fs::perms::group_write, fs::perm_options::add);
    EXPECT_TRUE(saveGame()) << headlessErrors();
    // The group of all users.
    ASSERT_EQ(chown(".", static_cast<uid_t>(-1), 100), 0);
    EXPECT_STREQ(saveGame().reason, "its directory is not the player's alone");
    // The same group, but without the right to write there.
    fs::permissions(".", fs::perms::group_write, fs::perm_options::remove);
    EXPECT_TRUE(saveGame()) << headlessErrors();
    ASSERT_EQ(chown(".", static_cast<uid_t>(-1), 0), 0);
    // Nobody's save.
    ASSERT_EQ(chown("SaveFile.txt", 65534, 65534), 0);
    std::string before = readFile("SaveFile.txt");
    game.player.hp = 3;
    EXPECT_STREQ(saveGame().reason, "SaveFile.txt belongs to another user");
    EXPECT_EQ(readFile("SaveFile.txt"), before);
}

// Where a written file is not yet a kept one (the page's browser storage), the keeper is asked
// after each save that was written; when it cannot keep it, the tavern reports the save as
// any other that failed.
TEST_F(SaveTest, ASaveItsKeeperCannotKeepIsReportedAsNotSaved) {
    static int asked;
    static bool keeps;
    asked = 0;
    keeps = false;
    keepSavesWith([](char *reason, size_t size) {
        asked++;
        if (!keeps) std::snprintf(reason, size, "the browser did not keep it: full");
        return keeps;
    });
    struct Forget {
        ~Forget() { keepSavesWith(nullptr); }
    } forget;
    SaveOutcome saved = saveGame();
    EXPECT_FALSE(saved);
    EXPECT_EQ(asked, 1);
    EXPECT_STREQ(saved.reason, "the browser did not keep it: full");
    EXPECT_FALSE(saveGame(0)); // not written: nothing to keep
    EXPECT_EQ(asked, 1);
    keeps = true;
    EXPECT_TRUE(saveGame());
    EXPECT_EQ(asked, 2);
}

// A save the player linked elsewhere stays a link: its target gets the new save.
TEST_F(SaveTest, ALinkedSaveStaysALinkAndItsTargetIsSaved) {
    std::filesystem::create_directory("elsewhere");
    writeFile("elsewhere/mine.txt", "");
    ASSERT_EQ(symlink("elsewhere/mine.txt", "SaveFile.txt"), 0);
    game.player.level = 12;
    ASSERT_TRUE(saveGame());
    EXPECT_TRUE(std::filesystem::is_symlink("SaveFile.txt"));
    game.player.level = 1;
    ASSERT_TRUE(loadGame());
    EXPECT_EQ(game.player.level, 12);
    EXPECT_FALSE(std::filesystem::exists("elsewhere/mine.txt.new"));
}

#endif
// A save that is there but cannot be read is not reported as missing.
TEST_F(SaveTest, ASaveThatCannotBeReadSaysWhy) {
    std::filesystem::create_directory("SaveFile.txt");
    LoadOutcome loaded = loadGame();
    EXPECT_FALSE(loaded);
    EXPECT_STREQ(loaded.message, "The saved adventure cannot be read ");
    EXPECT_STREQ(loaded.reason, "SaveFile.txt: a directory");
}

#ifndef _WIN32 // POSIX links, owners, limits and places (Windows: save_windows_test.cpp)
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
    // The system's data directories in their order, the relative and empty ones left out (the
    // window looks for its font in the same ones).
    environment = {{"XDG_DATA_DIRS", "/a:relative::/b"}};
    DataPlaces places = findDataPlaces(nullptr, "", variable);
    EXPECT_EQ(places.searchDirectories,
              (std::vector<std::string>{"", "/a/brinewort", "/b/brinewort"}));
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
    game.player.hp = 1;
    EXPECT_TRUE(loadGame());
    EXPECT_EQ(game.player.hp, 100);

    environment = {};
    setDataPlaces(findDataPlaces(nullptr, "", variable));
    EXPECT_EQ(std::string(saveGame().reason).rfind("neither", 0), 0u);
}
#endif
