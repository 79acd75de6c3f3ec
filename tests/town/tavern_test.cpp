// The tavern: its picture and menu, the bartender's talk, sleep, the wake-up, save, quit.
#include "game/game.h"
#include "items/items.h"
#include "support/harness.h"
#include "town/town.h"

class TavernTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        gameMode = modeTavern;
    }
    // Puts the cursor on a menu entry and presses Enter; the second call takes its release.
    void choose(int entry) {
        tavernCursor = static_cast<int8_t>(entry);
        headlessPress(keyEnter);
        runTavern();
        runTavern();
    }
};

TEST_F(TavernTest, TheMenuWrapsAndDescribesTheChosenEntry) {
    headlessPress(keyUp);
    runTavern();
    EXPECT_EQ(tavernCursor, 5);
    headlessPress(keyDown);
    runUntilInputEnds([] { runTavern(); });
    EXPECT_EQ(tavernCursor, 0);
    EXPECT_TRUE(textShownAt(" World Map ", 2, 18, 240) && textShownAt(" Quit ", 2, 23, 15));
    EXPECT_TRUE(textShownAt("Leave the tavern and enter the world map", 37, 18, 15));
    tavernCursor = 3; // a shorter description covers a longer one
    drawTavernMenu();
    tavernCursor = 1;
    drawTavernMenu();
    EXPECT_EQ(screenText(37, 18, 41), "Talk to the Bartender" + std::string(20, ' '));
}

TEST_F(TavernTest, TheBartenderTellsHisLinesInOrderAndThenRepeatsTheLast) {
    writeFile("BartenderScripts.txt",
              "Tag0\nzero_\nTag1\none_\nTag2\ntwo_\nTag3\nthree_\nTag4\nfour_\n");
    for (std::string line : {"zero", "one", "two", "three", "four", "four"}) {
        choose(1);
        EXPECT_EQ(screenText(10, 13, 6), line + std::string(6 - line.size(), ' '));
    }
}

TEST_F(TavernTest, SleepRestoresHealthAndSkillPointsButAKnockOutOnlyHealth) {
    player.hp = 12;
    player.sp = 3;
    choose(2);
    EXPECT_TRUE(player.hp == player.maxHp && player.sp == player.maxSp && tavernCursor == 0);
    player.hp = 0;
    player.sp = 4;
    std::vector<std::string> shown;
    headlessSetPresentHook([&shown] { shown.push_back(screenText(37, 19, 31)); });
    headlessPress(keyDown);
    runTavern();
    EXPECT_TRUE(player.hp == 100 && player.sp == 4);
    EXPECT_NE(std::find(shown.begin(), shown.end(), "being knocked unconscious      "),
              shown.end());
    size_t presents = shown.size();
    headlessPress(keyDown);
    runTavern();
    EXPECT_LT(shown.size(), presents + 3); // typed once only
}

TEST_F(TavernTest, SaveSaysSoWritesTheFileAndClearsTheTalkArea) {
    std::vector<std::string> talk;
    headlessSetPresentHook([&talk] { talk.push_back(screenText(10, 13, 14)); });
    choose(3);
    EXPECT_NE(std::find(talk.begin(), talk.end(), "Progress Saved"), talk.end());
    EXPECT_EQ(screenText(10, 13, 14), std::string(14, ' '));
    EXPECT_EQ(readFile("SaveFile.txt").substr(0, 8), "BOB\n100\n");
}

TEST_F(TavernTest, WorldMapLeadsOutOnACleanScreenAndQuitEndsTheGame) {
    headlessPress(keyEnter);
    EXPECT_EQ(runTavern(), modeWorldMap);
    EXPECT_EQ(screenRow(16), "");
    choose(5);
    EXPECT_EQ(gameRunning, 0);
}

TEST_F(TavernTest, LowerCaseIOpensTheInventoryAndCapitalIDoesNot) {
    tavernCursor = 2;
    headlessPressCharacter('I');
    runTavern();
    EXPECT_EQ(runTavern(), modeTavern); // its release
    headlessPressCharacter('i');
    headlessPress(keyLeft); // the inventory runs inside the tavern; Left closes it
    bool opened = false;
    headlessSetPresentHook([&opened] {
        opened =
            opened || (gameMode == modeInventory && inventoryOpener == InventoryOpener::tavern &&
                       textShownAt("Press left arrow to exit", 47, 23, 15));
    });
    EXPECT_EQ(runTavern(), modeTavern);
    EXPECT_TRUE(opened);
    EXPECT_EQ(gameMode, modeTavern);
}
