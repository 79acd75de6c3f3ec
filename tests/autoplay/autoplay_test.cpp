// An automatic player plays the shipped game to its ending, saving and restarting on the way.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "autoplay/autoplayer.h"
#include "frontend/frontend.h"
#include "game/game.h"
#include "items/items.h"
#include "support/harness.h"

namespace fs = std::filesystem;

// The shipped data, found from this file: tests/autoplay/../../data.
static const fs::path shippedData =
    fs::path(__FILE__).parent_path().parent_path().parent_path() / "data";

// The game's data files into the current directory; a save left in data/ is not game data.
static void copyShippedData() {
    for (const fs::directory_entry &entry : fs::directory_iterator(shippedData)) {
        fs::path name = entry.path().filename();
        bool dataFile = name.extension() == ".txt" || name.extension() == ".rtf";
        if (dataFile && name != "SaveFile.txt") fs::copy_file(entry.path(), name);
    }
}

static std::string playTime(uint64_t micros) {
    uint64_t seconds = micros / 1000000;
    char text[40];
    std::snprintf(text, sizeof text, "%lluh %02llum %02llus",
                  static_cast<unsigned long long>(seconds / 3600),
                  static_cast<unsigned long long>(seconds / 60 % 60),
                  static_cast<unsigned long long>(seconds % 60));
    return text;
}

class AutoplayTest : public GameTest {};

TEST_F(AutoplayTest, PlaysFromNewGameThroughASaveToTheEndingAndTheTitleMenu) {
    copyShippedData();
    auto started = std::chrono::steady_clock::now();
    AutoPlayer bot;
    headlessSetKeySource([&bot] { pressNextKey(bot); });
    headlessSetPresentHook([&bot] { watchScreen(bot); });
    std::string stuck;
    bool ended = false;
    try {
        // The first program start ends when the player quits after saving.
        EXPECT_EQ(runProgram(), 0);
        EXPECT_TRUE(bot.saved && fs::exists("SaveFile.txt")) << describeSituation(bot);
        // The second continues the save and ends where the title menu waits after the ending.
        runProgram();
    } catch (const RunEnded &) {
        ended = true;
    } catch (const PlayerStuck &failure) {
        stuck = failure.where;
    }
    headlessSetKeySource(nullptr);
    headlessSetPresentHook(nullptr);
    double realSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    ASSERT_EQ(stuck, "") << "The automatic player is stuck";
    ASSERT_TRUE(ended) << describeSituation(bot);

    EXPECT_EQ(agamirDefeats, 3);
    EXPECT_EQ(mollochDefeats, 3);
    EXPECT_TRUE(bot.creditsSeen);
    EXPECT_EQ(gameMode, modeTitle);
    EXPECT_EQ(titleIntro.running, 0); // the intro has played again and the menu waits
    EXPECT_EQ(mainMenuCursor, 0);
    for (int item = 1; item <= itemKinds; item++)
        EXPECT_EQ(itemCount(item), 0) << "item " << item;
    // Every item of every dungeon was picked up, those of the data checker's route among them.
    size_t items = 0;
    for (const auto &[mode, dungeon] : bot.dungeons) {
        for (const RoomMemory &room : dungeon.rooms)
            items += room.pickup.empty() ? 0 : 1;
    }
    EXPECT_EQ(bot.dungeons.size(), 3u);
    EXPECT_EQ(bot.emptied.size(), items);
    EXPECT_EQ(bot.battlesWon + bot.defeats, bot.battles);

    std::printf("autoplay: battles %d (won %d, lost %d), level %d, steps %d, rooms visited %zu "
                "(entered %d times), saves %d, key presses %d, virtual play time %s, real "
                "time %.2f s\n",
                bot.battles, bot.battlesWon, bot.defeats, player.level, bot.steps,
                bot.roomsSeen.size(), bot.roomEntries, bot.saves, bot.decisions,
                playTime(headlessNowMicros()).c_str(), realSeconds);
}
