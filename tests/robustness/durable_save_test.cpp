// Durable saves: a save cut short at any step (a failing call, or the process killed there)
// leaves a whole file, the old one, never a mix or a fragment.
#include <filesystem>

#include "game/game.h"
#include "items/items.h"
#include "resources/datapath.h"
#include "save/save.h"
#include "support/harness.h"

class DurableSaveTest : public GameTest {};

// Two game states that differ on many lines, and the files they save to.
static void becomeFreshPlayer() {
    initPlayer();
    buildItemCatalogue();
    clearDefeatedBosses();
}

static void becomeFirstState() {
    becomeFreshPlayer();
    game.player.level = 3;
    game.itemCounts[0] = 2;
}

static void becomeSecondState() {
    becomeFreshPlayer();
    game.player.maxHp = 1234;
    game.player.hp = 1234;
    game.player.experience = 99;
    game.itemCounts[16] = 100;
    game.defeatedBosses[19] = DefeatedBoss{modeCastle, 11, 7};
}

static std::string savedText(void (*become)()) {
    become();
    saveGame();
    return readFile(saveFileName);
}

TEST_F(DurableSaveTest, AFailureAtAnyStepLeavesTheOldSaveAndNoLeftover) {
    std::string oldText = savedText(becomeSecondState);
    becomeFirstState();
    // Fail each step in turn until the save goes through: the open, every line, the flush,
    // the fsync, the close and the rename are the steps before that.
    int step = 0;
    for (;; step++) {
        SCOPED_TRACE("failing step " + std::to_string(step));
        bool saved = saveGame(step).done;
        if (readFile(saveFileName) != oldText) break;
        EXPECT_FALSE(saved);
        EXPECT_FALSE(std::filesystem::exists("SaveFile.txt.new"));
        ASSERT_LT(step, 1000);
    }
    EXPECT_EQ(step, 1 + saveFileLines + saveExtraLines + 4);
    EXPECT_TRUE(loadGame());
    EXPECT_EQ(game.player.level, 3);
}
