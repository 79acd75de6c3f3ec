// Records the headless demos the test suite replays: the automatic player's whole game, and a
// short tour of the spells, the inventory, a lost battle and the overhead map. Each recording
// is made in a scratch copy of the data directory, from the game as it is now, so the demos
// follow the data and the rules when they change.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

#include "autoplay/autoplayer.h"
#include "battle/battle.h"
#include "console/console.h"
#include "frontend/frontend.h"
#include "game/game.h"
#include "items/items.h"
#include "platform/headless.h"
#include "program/program.h"
#include "recording/recording.h"
#include "resources/datapath.h"
#include "save/save.h"
#include "town/town.h"

namespace fs = std::filesystem;

namespace {

// A checkpoint every so many presents: a few dozen to a few hundred per demo.
constexpr int checkpointEvery = 400;
constexpr int maxTourKeys = 20000;

[[noreturn]] void fail(const std::string &what) {
    std::fprintf(stderr, "brinewort-demo-recorder: %s\n", what.c_str());
    std::exit(1);
}

// One program run on the headless backend, recorded into path; the key source plays it.
void recordRun(const fs::path &path, const std::function<void()> &keySource) {
    headlessReset();
    headlessSetKeySource(keySource);
    std::string error;
    if (!startRecording(path.c_str(), checkpointEvery, &error)) fail(error);
    usePlatform(recordThrough(headlessPlatform));
    try {
        runProgram();
        presentScreen();
    } catch (const RunEnded &) {
        fail(path.string() + ": the run stopped where the game waited for a key");
    } catch (const PlayerStuck &stuck) {
        fail(path.string() + ": the player is stuck: " + stuck.where);
    }
    if (!finishRecording(&error)) fail(error);
    usePlatform(&headlessPlatform);
    std::printf("%s: %d presents\n", path.c_str(), headlessPresentCount());
}

// The whole game, New Game to the ending, in two program runs: the first saves and quits,
// the second continues the save.
void recordWholeGame(const std::string &prefix) {
    AutoPlayer bot;
    bot.quitWhenWon = true;
    auto source = [&bot] { pressNextKey(bot); };
    headlessSetPresentHook([&bot] { watchScreen(bot); });
    recordRun(prefix + "-1.rec", source);
    if (!bot.saved) fail("the automatic player quit without saving");
    recordRun(prefix + "-2.rec", source);
    if (game.agamirDefeats < 3) fail("the automatic player did not reach the ending");
    headlessSetPresentHook(nullptr);
}

// The tour's player: after Continue it opens the inventory in the tavern, walks into the Cave,
// looks at the overhead map and the inventory there, then walks about until battles come:
// casts every spell, opens the inventory in a battle, and at last lets a monster win.
struct TourPlayer {
    bool tavernInventory = false, dungeonLooked = false, battleInventory = false;
    bool losing = false, itemUsed = false;
    unsigned spellsCast = 0;
    int direction = 0, lastX = -1, lastY = -1, keys = 0;

    void press(uint16_t key, char character = 0) { headlessPress(key, character); }
    void moveCursor(int cursor, int wanted) { press(cursor < wanted ? keyDown : keyUp); }

    int nextSpell() const {
        for (int spell = 0; spell < game.player.spellsKnown; spell++) {
            if ((spellsCast & (1u << spell)) == 0) return spell;
        }
        return -1;
    }

    void battleKey() {
        int spell = nextSpell();
        if (battleState.specialMenuOpen) {
            if (spell < 0 || battleState.spellCursor == spell) {
                if (spell >= 0) spellsCast |= 1u << spell;
                press(spell < 0 ? keyLeft : keyEnter);
            } else {
                moveCursor(battleState.spellCursor, spell);
            }
            return;
        }
        int command = spell >= 0 ? 1 : !battleInventory ? 2 : 3; // SPECIAL, ITEM, RUN
        losing = command == 3;
        if (battleState.commandCursor != command)
            return moveCursor(battleState.commandCursor, command);
        if (command == 2) battleInventory = true;
        press(keyEnter);
    }

    void dungeonKey() {
        if (!dungeonLooked) {
            dungeonLooked = true;
            headlessPressCharacter('m');
            press(keyEnter);
            headlessPressCharacter('i');
            press(keyLeft);
            return;
        }
        // Walks one way until something stops it, then turns: no map knowledge needed.
        if (game.player.playerRoomX == lastX && game.player.playerRoomY == lastY) {
            direction = (direction + 1) % 4;
        }
        lastX = game.player.playerRoomX;
        lastY = game.player.playerRoomY;
        headlessPressCharacter("wdsa"[direction]);
    }

    void next() {
        if (++keys > maxTourKeys)
            fail("the tour goes on too long in game mode " + std::to_string(game.gameMode));
        switch (game.gameMode) {
        case modeTitle:
            if (titleScreen.mainMenuCursor == 1) return press(keyEnter);
            return moveCursor(titleScreen.mainMenuCursor, 1);
        case modeTavern: {
            if (!tavernInventory) {
                tavernInventory = true;
                return headlessPressCharacter('i');
            }
            int wanted = losing ? tavernMenuEntries - 1 : 0; // after the defeat, Quit
            if (townState.tavernCursor == wanted) return press(keyEnter);
            return moveCursor(townState.tavernCursor, wanted);
        }
        case modeInventory:
            // In battle the first item is used once; otherwise the inventory is just closed.
            if (inventoryScreen.opener == InventoryOpener::battle && !itemUsed &&
                inventoryScreen.length > 0) {
                itemUsed = true;
                return press(inventoryScreen.cursor == 0 ? keyEnter : keyUp);
            }
            return press(keyLeft);
        case modeWorldMap:
            return press(townState.worldMapCursor == 3 ? keyEnter : keyLeft); // the Cave
        case modeBattle:
            return battleKey();
        case modeCave:
        case modeSewer:
        case modeCastle:
            return dungeonKey();
        default:
            fail("the tour met game mode " + std::to_string(game.gameMode));
        }
    }
};

// The starting player, saved by the game itself so that the save has whatever form the game
// gives it: for the terminal demo, which begins with Continue.
void writeStartSave() {
    usePlatform(&headlessPlatform);
    headlessReset();
    startUp();
    saveGame();
    if (!fs::exists(saveFileName)) fail("the save could not be written");
}

// A player strong in spells and weak in defence.
void writeTourSave() {
    usePlatform(&headlessPlatform);
    headlessReset();
    startUp();
    game.player.hp = game.player.maxHp = 60;
    game.player.sp = game.player.maxSp = 999;
    game.player.defense = 0;
    game.player.spellsKnown = 4;
    for (int item = 0; item < itemKinds; item++)
        game.itemCounts[item] = 1;
    saveGame();
    if (!fs::exists(saveFileName)) fail("the tour's save could not be written");
}

void recordTour(const std::string &prefix) {
    writeTourSave();
    TourPlayer tour;
    recordRun(prefix + ".rec", [&tour] { tour.next(); });
    if (tour.nextSpell() >= 0 || !tour.losing || game.gameRunning) {
        fail("the tour did not cast every spell and lose a battle");
    }
}

} // namespace

// Writes a recording again with the looks its replay shows now: every checkpoint's state must
// still hold (only how the game looks has changed), and the inputs stay as they are, so that
// the new file differs from the old one only in what its screens show.
void recordLooksAgain(const fs::path &file) {
    Recording recording;
    std::string error;
    if (!loadRecording(file.c_str(), &recording, &error) || !checkReplayData(recording, &error))
        fail(error);
    if (recording.version < 2) fail(file.string() + ": record it again from scratch");
    usePlatform(&headlessPlatform);
    headlessReset();
    ReplayOptions options;
    options.speed = 0;
    options.newLooks = true;
    ReplayResult result = runReplay(recording, headlessPlatform, options, runProgram);
    if (result.outcome != ReplayOutcome::finished)
        fail(file.string() + ": " + result.message + " (the state changed: record it again)");
    std::ifstream in(file);
    std::string text, line;
    size_t checkpoint = 0;
    bool skipping = false;
    while (std::getline(in, line)) {
        bool looks = line.rfind("l ", 0) == 0 || line.rfind("r ", 0) == 0;
        if (looks && !skipping) {
            // The first looks line of a checkpoint's block: all of its looks, as replayed.
            if (checkpoint >= result.looks.size())
                fail(file.string() + ": more looks than checkpoints");
            for (const std::string &replayed : result.looks[checkpoint++])
                text += replayed + "\n";
        }
        skipping = looks;
        if (!looks) text += line + "\n";
    }
    std::ofstream(file, std::ios::trunc) << text;
    std::printf("%s: the looks of %zu checkpoints recorded again\n", file.c_str(), checkpoint);
}

int main(int argc, char **argv) {
    if (argc >= 3 && std::strcmp(argv[1], "looks") == 0) {
        std::vector<fs::path> files;
        for (int i = 3; i < argc; i++)
            files.push_back(fs::absolute(argv[i]));
        // In the data directory, where the replays find the data files.
        if (chdir(argv[2]) != 0) fail(std::string(argv[2]) + ": cannot go there");
        for (const fs::path &file : files)
            recordLooksAgain(file);
        return 0;
    }
    bool known =
        argc == 4 && (std::strcmp(argv[1], "whole") == 0 || std::strcmp(argv[1], "tour") == 0 ||
                      std::strcmp(argv[1], "save") == 0);
    if (!known) {
        std::fputs("usage: brinewort-demo-recorder whole|tour DATA_DIR OUTPUT_PREFIX\n"
                   "       brinewort-demo-recorder save DATA_DIR SAVE_FILE\n"
                   "       brinewort-demo-recorder looks DATA_DIR RECORDING...\n",
                   stderr);
        return 2;
    }
    std::error_code error;
    fs::path data = fs::absolute(argv[2]);
    std::string prefix = fs::absolute(argv[3]).string();
    char pattern[] = "/tmp/brinewort-demo-XXXXXX";
    if (mkdtemp(pattern) == nullptr) fail("cannot make a scratch directory");
    fs::path scratch = pattern;
    for (const fs::directory_entry &entry : fs::directory_iterator(data)) {
        fs::path name = entry.path().filename();
        bool dataFile = name.extension() == ".txt" || name.extension() == ".rtf";
        if (dataFile && name != saveFileName) fs::copy_file(entry.path(), scratch / name);
    }
    fs::current_path(scratch);
    if (std::strcmp(argv[1], "whole") == 0) {
        recordWholeGame(prefix);
    } else if (std::strcmp(argv[1], "save") == 0) {
        writeStartSave();
        fs::copy_file(saveFileName, prefix, fs::copy_options::overwrite_existing);
    } else {
        recordTour(prefix);
    }
    fs::current_path("/");
    fs::remove_all(scratch, error);
    return 0;
}
