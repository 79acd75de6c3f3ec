// Damaged data files end to end: every screen that reads one carries on and says what it should.
// Each case copies the shipped data and makes one file missing, empty, cut in half or junk
// (damaged saves are the save tests').
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <tuple>
#include <utility>

#include "battle/battle.h"
#include "dungeon/dungeon.h"
#include "frontend/frontend.h"
#include "game/game.h"
#include "program/program.h"
#include "resources/resources.h"
#include "save/save.h"
#include "support/harness.h"
#include "town/town.h"

namespace fs = std::filesystem;

static const fs::path shippedData =
    fs::path(__FILE__).parent_path().parent_path().parent_path() / "data";
static const std::string dataFiles[] = {
    "map.txt",     "Story.txt", "NPCscripts.rtf", "SkeletonScripts.txt", "BartenderScripts.txt",
    "dragon2.txt", "Wizard.txt"};

enum class Damage { missing, empty, halved, junk };
// The screens that read the data files, each tried on its own.
enum class Screen { pictures, story, bartender, dungeons, conversations, taunts, rewards, resume };
using Case = std::tuple<std::string, Damage, Screen>; // the damaged file, how, and the screen

static std::string damaged(const std::string &bytes, Damage damage) {
    if (damage == Damage::empty) return "";
    if (damage == Damage::halved) return bytes.substr(0, bytes.size() / 2);
    std::mt19937 random(4242);
    std::string junk(bytes.size(), '\0');
    for (char &ch : junk)
        ch = static_cast<char>(random() & 0xFF);
    return junk;
}

// What the player was shown at some pause of a screen, or when it returned.
struct Seen {
    bool fileMissing = false;    // "Couldnt find file" at column 45, row 2 (in the tavern,
                                 // where the bartender's line goes)
    bool pictureMissing = false; // "Couldnt find picture" there
    bool noSave = false;         // at column 20, row 20
    bool damagedSave = false;
    bool blocked = false;   // the way into a dungeon was blocked
    bool inDungeon = false; // a dungeon room with its key legend
    bool inBattle = false;  // a battle on show
    bool inCorner = false;  // the player stood in a room's corner wall
};

static void look(Seen &seen) {
    seen.fileMissing |= textShownAt("Couldnt find file", 45, 2, 15) ||
                        textShownAt("Couldnt find file", talkColumn, talkRow, 15);
    seen.pictureMissing |= textShownAt("Couldnt find picture", 45, 2, 15);
    seen.noSave |= textShownAt("No previous adventure is documented", 20, 20, 15);
    seen.damagedSave |= textShownAt("The saved adventure is damaged", 20, 20, 15);
    seen.blocked |= textShownAt("The way in is blocked", 4, 12, 15);
    seen.inDungeon |= textShownAt("Keys:", 8, 19, 15) && glyphAt(5, 2) == 201;
    seen.inBattle |= game.gameMode == modeBattle;
    seen.inCorner |= game.player.playerRoomX == 0 && game.player.playerRoomY == 0;
}

// Plays a screen from a blank screen to its end, or to where it waits for keys the script
// does not have.
template <typename Screen>
static Seen watch(Screen screen) {
    Seen seen;
    clearScreen(0);
    headlessSetPresentHook([&seen] { look(seen); });
    try {
        screen();
    } catch (const RunEnded &ended) {
        EXPECT_EQ(ended.signal, 0);
    }
    look(seen);
    headlessSetPresentHook(nullptr);
    headlessSetKeySource(nullptr);
    return seen;
}

// Presses the keys one by one, each only once the game looks for input, so that a screen
// that returns without reading keys leaves none behind. '\r' is Enter, 'v' the down arrow.
static void feedKeys(const std::string &keys) {
    headlessSetKeySource([keys, next = size_t{0}]() mutable {
        if (next == keys.size()) return;
        char key = keys[next++];
        if (key == '\r') {
            headlessPress(keyEnter);
        } else if (key == 'v') {
            headlessPress(keyDown);
        } else {
            headlessPressCharacter(key);
        }
    });
}

static void expectSane() {
    EXPECT_EQ(game.gameRunning, 1);
    EXPECT_GE(game.gameMode, modeTitle);
    EXPECT_LE(game.gameMode, modeWorldMap);
    EXPECT_EQ(dungeonVisit.rooms, nullptr);
    EXPECT_GE(game.player.hp, 0);
    EXPECT_LE(game.player.hp, game.player.maxHp);
    EXPECT_LE(game.player.sp, game.player.maxSp);
    for (int8_t count : game.itemCounts)
        EXPECT_GE(count, 0);
    for (const Picture &picture : bossPictures.pictures) {
        for (const auto &row : picture.rows)
            EXPECT_NE(std::memchr(row, 0, pictureColumns), nullptr);
    }
    EXPECT_NE(std::memchr(battleState.battleMessage, 0, battleMessageSize), nullptr);
}

// A map section that begins with its tag line and reaches its closing underscore.
static bool sectionWhole(const std::string &text, const std::string &tag) {
    size_t at = text.find(tag + "\n");
    return at != std::string::npos && text.find('_', at) != std::string::npos;
}

class BadDataTest : public GameTest, public ::testing::WithParamInterface<Case> {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        for (const std::string &name : dataFiles)
            ASSERT_TRUE(fs::copy_file(shippedData / name, name)) << name;
        // The save an earlier session left for Continue.
        game.player.level = 7;
        game.player.hp = 55;
        saveGame();
        std::string intact = readFile(file());
        ASSERT_FALSE(intact.empty()) << file();
        if (damage() == Damage::missing) {
            fs::remove(file());
        } else {
            writeFile(file(), damaged(intact, damage()));
        }
        headlessReset();
        startUp();
    }
    const std::string &file() const { return std::get<0>(GetParam()); }
    Damage damage() const { return std::get<1>(GetParam()); }
    // True when the damaged file is one of these.
    bool hits(std::initializer_list<std::string> files) const {
        return std::find(files.begin(), files.end(), file()) != files.end();
    }
    // "Couldnt find file" shows exactly when a screen reads the file that is missing, and a
    // missing or empty file it reads is named on the error stream.
    void expectFileMessage(const Seen &seen, std::initializer_list<std::string> reads) const {
        EXPECT_EQ(seen.fileMissing, hits(reads) && damage() == Damage::missing);
        if (hits(reads) && (damage() == Damage::missing || damage() == Damage::empty)) {
            EXPECT_STRNE(headlessErrors(), "");
        }
    }
    void pictures();
    void story();
    void bartender();
    void dungeons();
    void conversations();
    void taunts();
    void rewards();
    void resume();
};

// The boss pictures at start-up, then drawn in battle: the others drawn, the damaged file's not.
void BadDataTest::pictures() {
    Seen seen = watch([] {
        startUp(); // its messages reach the screen before start-up clears it
        for (uint8_t boss = 1; boss <= bossCount; boss++) {
            battleState.currentBoss = boss;
            chooseMonster();
            drawBattleScreen();
        }
        battleState.currentBoss = 0;
    });
    expectFileMessage(seen, {"dragon2.txt", "Wizard.txt"});
    EXPECT_EQ(seen.pictureMissing,
              hits({"dragon2.txt", "Wizard.txt"}) && damage() != Damage::missing);
    const char *pictureFiles[bossCount] = {"dragon2.txt", "Wizard.txt", "Wizard.txt"};
    for (int boss = 0; boss < bossCount; boss++) {
        bool drawn = bossPictures.pictures[boss].rows[0][0] != '\0';
        if (file() != pictureFiles[boss]) {
            EXPECT_TRUE(drawn) << boss;
        } else if (damage() != Damage::halved) { // half a file may still hold the picture
            EXPECT_FALSE(drawn) << boss;
        }
    }
}

void BadDataTest::story() {
    feedKeys("\r\r\r");
    Seen seen = watch([] { runUntilInputEnds([] { runCurrentMode(); }); });
    expectFileMessage(seen, {"Story.txt"});
    EXPECT_EQ(game.gameMode, modeTavern);
}

void BadDataTest::bartender() {
    Seen seen = watch([] {
        for (int i = 0; i < 5; i++)
            talkToBartender();
    });
    expectFileMessage(seen, {"BartenderScripts.txt"});
    EXPECT_EQ(townState.bartenderLine, 4);
}

// A few steps in each dungeon, a word, the overhead map and back, then out; or the way in
// blocked when its section is not whole.
void BadDataTest::dungeons() {
    for (const Dungeon &dungeon : dungeonTable) {
        SCOPED_TRACE(dungeon.name);
        bool loadable = sectionWhole(readFile("map.txt"), dungeon.mapTag);
        game.gameMode = dungeon.mode;
        // Where the last visit (or a new game) left the player must not carry into this one.
        game.player.playerRoomX = 0;
        game.player.playerRoomY = 0;
        feedKeys("daswtm\rp");
        Seen seen = watch([] { runCurrentMode(); });
        expectFileMessage(seen, {"map.txt"});
        EXPECT_EQ(seen.inDungeon, loadable);
        EXPECT_EQ(seen.blocked, !loadable);
        EXPECT_FALSE(seen.inCorner);
        EXPECT_EQ(game.gameMode, modeWorldMap);
        EXPECT_EQ(game.player.playerRoomX, -1);
    }
}

void BadDataTest::conversations() {
    Seen seen = watch([] {
        for (const Npc &npc : game.npcs)
            talkToNpcs(dungeonNumbered(npc.dungeon)->mode, npc.roomRow, npc.roomCol);
    });
    expectFileMessage(seen, {"NPCscripts.rtf"});
    for (const Npc &npc : game.npcs)
        EXPECT_TRUE(npc.talkedTo) << npc.name;
}

// Every enemy hit taunts with a line of the file, or, without it, with none.
void BadDataTest::taunts() {
    int taunts = 0;
    Seen seen = watch([&taunts] {
        game.gameMode = modeBattle;
        beginBattle();
        for (int turn = 0; turn < 12; turn++) {
            game.player.hp = game.player.maxHp;
            battleState.currentMonster.attack = 40; // every attack hits, and every hit taunts
            enemyTurn();
            taunts += battleState.battleMessage[0] != '\0';
        }
    });
    expectFileMessage(seen, {"SkeletonScripts.txt"});
    if (!hits({"SkeletonScripts.txt"})) {
        EXPECT_EQ(taunts, 12);
    } else if (damage() != Damage::halved) {
        EXPECT_EQ(taunts, 0);
    }
    EXPECT_EQ(game.gameMode, modeBattle);
}

// The bosses' rewards up to the end of the game.
void BadDataTest::rewards() {
    bool ended = false;
    Seen seen = watch([&ended] {
        game.mollochDefeats = 1;
        bossReward(bossMolloch);
        bossReward(bossMolloch);
        game.agamirDefeats = 2;
        ended = bossReward(bossAgamir);
    });
    expectFileMessage(seen, {"SkeletonScripts.txt", "Story.txt"});
    EXPECT_EQ(std::tuple(game.mollochDefeats, game.agamirDefeats), std::tuple(3, 3));
    EXPECT_TRUE(ended);
}

// Continue from the title: the save the earlier session left comes back.
void BadDataTest::resume() {
    game.gameMode = modeTitle;
    game.player.hp = 42;
    playTitleIntro();
    feedKeys("v\r");
    Seen seen = watch([] { runUntilInputEnds([] { runCurrentMode(); }); });
    EXPECT_FALSE(seen.noSave);
    EXPECT_FALSE(seen.damagedSave);
    EXPECT_EQ(std::tuple(game.gameMode, game.player.hp), std::tuple(modeTavern, 55));
}

TEST_P(BadDataTest, TheScreenCarriesOnAndSaysWhatIsWrong) {
    switch (std::get<2>(GetParam())) {
    case Screen::pictures:
        pictures();
        break;
    case Screen::story:
        story();
        break;
    case Screen::bartender:
        bartender();
        break;
    case Screen::dungeons:
        dungeons();
        break;
    case Screen::conversations:
        conversations();
        break;
    case Screen::taunts:
        taunts();
        break;
    case Screen::rewards:
        rewards();
        break;
    case Screen::resume:
        resume();
        break;
    }
    expectSane();
    // Every line on the error stream names the damaged file and says what is wrong with it.
    std::istringstream lines(headlessErrors());
    for (std::string line; std::getline(lines, line);) {
        EXPECT_EQ(line.rfind(file() + ": ", 0), 0u) << line;
        if (damage() == Damage::missing) {
            EXPECT_EQ(line, file() + ": No such file or directory");
        }
    }
}

static std::string caseName(const ::testing::TestParamInfo<Case> &info) {
    static const char *const damageNames[] = {"Missing", "Empty", "Halved", "Junk"};
    static const char *const screenNames[] = {"Pictures",      "Story",  "Bartender", "Dungeons",
                                              "Conversations", "Taunts", "Rewards",   "Continue"};
    std::string name = std::get<0>(info.param);
    std::replace(name.begin(), name.end(), '.', '_');
    return name + damageNames[static_cast<int>(std::get<1>(info.param))] +
           screenNames[static_cast<int>(std::get<2>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(OneFileDamaged, BadDataTest,
                         ::testing::Combine(::testing::ValuesIn(dataFiles),
                                            ::testing::Values(Damage::missing, Damage::empty,
                                                              Damage::halved, Damage::junk),
                                            ::testing::Values(Screen::pictures, Screen::story,
                                                              Screen::bartender, Screen::dungeons,
                                                              Screen::conversations, Screen::taunts,
                                                              Screen::rewards, Screen::resume)),
                         caseName);

using DamagedMapTest = GameTest;

// A level character of byte 255, the text files' end mark, once made the encounter roll divide
// by zero ten steps into the room; the roll must go on and sooner or later bring a battle.
TEST_F(DamagedMapTest, ARoomWhoseLevelCharacterIsByte255RollsForEncountersSafely) {
    writeFile("map.txt", "MapTag1\n1,1\n0,0:NESW:\xFF#Start\n_\n");
    game.gameMode = modeCave;
    std::string walk;
    for (int i = 0; i < 20; i++)
        walk += "adws";
    feedKeys(walk);
    Seen seen = watch([] { runCurrentMode(); });
    EXPECT_TRUE(seen.inDungeon);
    EXPECT_TRUE(seen.inBattle);
}

// Files no reader can use: each is refused at once, on screen and on the error stream, with
// the reason; none may block (a FIFO) or read for ever (/dev/zero).
TEST_F(DamagedMapTest, HostileDataFilesAreRefusedWithTheirReason) {
    struct Hostile {
        const char *what;
        void (*make)(const char *name);
        const char *reason;
        bool couldntFind; // "Couldnt find file" stands above the reason
    };
    const Hostile cases[] = {
        {"a directory", [](const char *name) { fs::create_directory(name); }, "a directory", true},
#ifndef _WIN32 // Windows' devices and pipes: files_windows_test.cpp
        {"a FIFO", [](const char *name) { ASSERT_EQ(mkfifo(name, 0600), 0); }, "a FIFO", true},
        {"a link to /dev/zero", [](const char *name) { fs::create_symlink("/dev/zero", name); },
         "a device", true},
#endif
        {"too large",
         [](const char *name) { writeFile(name, std::string(maxDataFileBytes + 1, 'x')); },
         "too big: over 1 MiB", true},
        {"without the tag", [](const char *name) { writeFile(name, "Other\ntext_\n"); },
         "no section", false},
    };
    for (const Hostile &hostile : cases) {
        for (const char *name : {"Story.txt", "map.txt"}) {
            SCOPED_TRACE(std::string(name) + " as " + hostile.what);
            fs::remove_all(name);
            hostile.make(name);
            headlessReset();
            clearScreen(0);
            LoadProblem problem;
            if (name == std::string("map.txt")) {
                DungeonMap map = loadDungeon(name, "MapTag1", game.gameMode);
                EXPECT_EQ(map.rooms, nullptr);
                problem = map.problem;
            } else {
                TextSection section = readTextSection(name, "Chunk1");
                EXPECT_EQ(section.text, nullptr);
                problem = section.problem;
            }
            showDataFileProblem(name, problem);
            EXPECT_EQ(textShownAt("Couldnt find file", 45, 2, 15), hostile.couldntFind);
            std::string reason = std::string(name) + ": " + hostile.reason;
            const ProblemPlace &place = messageAreaProblem;
            std::string shown =
                wrappedTextAt(place.column, place.row + 1, place.width, place.lastRow);
            EXPECT_EQ(shown.rfind(reason, 0), 0u) << shown;
            EXPECT_EQ(std::string(headlessErrors()).rfind(reason, 0), 0u) << headlessErrors();
        }
    }
}
