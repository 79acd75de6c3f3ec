// Durable saves: a save cut short by a failing step or a killed process leaves a whole file,
// the old one or the new one, never a mix or a fragment.
#include <chrono>
#include <filesystem>
#include <random>
#include <signal.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "game/game.h"
#include "items/items.h"
#include "save/save.h"
#include "support/harness.h"

class DurableSaveTest : public GameTest {
  protected:
    void TearDown() override {
        saveFailureStep = -1;
        GameTest::TearDown();
    }
};

// Two game states that differ on many lines, and the files they save to.
static void becomeFreshPlayer() {
    initPlayer();
    buildItemCatalogue();
    clearDefeatedBosses();
}

static void becomeFirstState() {
    becomeFreshPlayer();
    player.level = 3;
    itemCounts[0] = 2;
}

static void becomeSecondState() {
    becomeFreshPlayer();
    player.maxHp = 1234;
    player.hp = 1234;
    player.experience = 99;
    itemCounts[16] = 100;
    defeatedBosses[19] = DefeatedBoss{modeCastle, 11, 7};
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
        saveFailureStep = step;
        clearScreen(0);
        saveGame();
        if (readFile(saveFileName) != oldText) break;
        EXPECT_TRUE(textShownAt("Cannot save game", 10, 13, 15));
        EXPECT_FALSE(std::filesystem::exists("SaveFile.txt.new"));
        ASSERT_LT(step, 1000);
    }
    EXPECT_EQ(step, 1 + saveFileLines + saveExtraLines + 4);
    EXPECT_TRUE(loadGame());
    EXPECT_EQ(player.level, 3);
    EXPECT_EQ(screenText(10, 13, 16), std::string(16, ' '));
}

TEST_F(DurableSaveTest, AProcessKilledWhileSavingLeavesOneWholeSave) {
    std::string first = savedText(becomeFirstState);
    auto started = std::chrono::steady_clock::now();
    std::string second = savedText(becomeSecondState);
    auto saveMicros = std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::steady_clock::now() - started)
                          .count();
    ASSERT_NE(first, second);
    std::mt19937 random(20240601);
    int seen[2] = {0, 0};
    int leftovers = 0; // kills that caught a save between its open and its rename
    for (int kill = 0; kill < 60; kill++) {
        int saved[2]; // the child tells of each save it has finished
        ASSERT_EQ(pipe(saved), 0);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (bool odd = true;; odd = !odd) {
                odd ? becomeFirstState() : becomeSecondState();
                saveGame();
                if (write(saved[1], "s", 1) != 1) _exit(1);
            }
        }
        close(saved[1]);
        // A few saves finished, then the kill lands somewhere in the next one.
        char byte;
        for (int n = static_cast<int>(random() % 3); n > 0; n--)
            ASSERT_EQ(read(saved[0], &byte, 1), 1);
        std::this_thread::sleep_for(std::chrono::microseconds(random() % (saveMicros + 1)));
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        close(saved[0]);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

        std::string text = readFile(saveFileName);
        ASSERT_TRUE(text == first || text == second) << "after kill " << kill << ":\n" << text;
        seen[text == second]++;
        leftovers += std::filesystem::exists("SaveFile.txt.new");
        becomeFreshPlayer();
        ASSERT_TRUE(loadGame());
        EXPECT_EQ(player.hp, text == second ? 1234 : 100);
    }
    // Both states were caught on disk, and some kills fell in the middle of a save.
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0);
    EXPECT_GT(leftovers, 0);
}
