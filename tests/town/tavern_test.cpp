// The tavern: its picture and menu, the bartender's talk, sleep, the wake-up, save, quit.
#include "game/game.h"
#include "support/harness.h"
#include "town/town.h"

class TavernTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        gameMode = modeTavern;
    }
    // Puts the cursor on a menu entry and presses Enter; the next call takes its release.
    void choose(int entry) {
        tavernCursor = static_cast<int8_t>(entry);
        headlessPress(keyEnter);
        runTavern();
        runTavern();
    }
};

TEST_F(TavernTest, ThePictureKeepsToItsAreasAndColours) {
    headlessPress(keyDown);
    runTavern();
    for (int y = 0; y <= 12; y++) {
        for (int x = 0; x < 80; x++) {
            bool bartender =
                (y >= 2 && y <= 11 && y != 7 && x <= 39) || (y == 7 && x >= 25 && x <= 38);
            bool cursorRest = x == 0 && y == 0; // the menu parks the cursor with a black blank
            ASSERT_EQ(colourAt(x, y), cursorRest ? 0 : bartender ? 15 : 6) << x << "," << y;
        }
    }
    EXPECT_EQ(screenText(0, 7, 25), std::string(25, '_'));
    EXPECT_EQ(screenText(0, 12, 80), std::string(80, '='));
    EXPECT_EQ(glyphAt(66, 7), 'O');
    for (int y = 0; y <= 11; y++)
        EXPECT_TRUE(glyphAt(63, y) == '|' && glyphAt(79, y) == '|') << y;
    // The frame: a double line on row 16 meeting the one at column 35.
    EXPECT_EQ(glyphAt(35, 16), 203);
    EXPECT_EQ(glyphAt(0, 16), 205);
    EXPECT_EQ(glyphAt(35, 24), 186);
    EXPECT_EQ(colourAt(35, 24), 7);
}

TEST_F(TavernTest, TheMenuWrapsAndDescribesTheChosenEntry) {
    const char *labels[] = {" World Map ", " Talk ", " Sleep ", " Save ", " Status ", " Quit "};
    headlessPress(keyUp);
    runTavern();
    EXPECT_EQ(tavernCursor, 5);
    headlessPress(keyDown);
    runUntilInputEnds([] { runTavern(); });
    EXPECT_EQ(tavernCursor, 0);
    for (int i = 0; i < 6; i++)
        EXPECT_TRUE(textShownAt(labels[i], 2, 18 + i, i == 0 ? 240 : 15));
    EXPECT_TRUE(textShownAt("Leave the tavern and enter the world map", 37, 18, 15));

    // A shorter description covers a longer one.
    tavernCursor = 3;
    drawTavernMenu();
    tavernCursor = 1;
    drawTavernMenu();
    EXPECT_EQ(screenText(37, 18, 41), "Talk to the Bartender" + std::string(20, ' '));
}

TEST_F(TavernTest, TheBartenderTellsHisLinesInOrderAndThenRepeatsTheLast) {
    writeFile("BartenderScripts.txt",
              "Tag0\nzero_\nTag1\none_\nTag2\ntwo_\nTag3\nthree_\nTag4\nfour_\n");
    const char *expected[] = {"zero", "one", "two", "three", "four", "four", "four"};
    for (const char *line : expected) {
        choose(1);
        EXPECT_EQ(screenText(10, 13, 6), std::string(line) + std::string(6 - strlen(line), ' '));
    }
}

TEST_F(TavernTest, SleepRestoresHealthAndSkillPointsAndGoesBackToTheTop) {
    player.hp = 12;
    player.sp = 3;
    choose(2);
    EXPECT_EQ(player.hp, player.maxHp);
    EXPECT_EQ(player.sp, player.maxSp);
    EXPECT_EQ(tavernCursor, 0);
}

TEST_F(TavernTest, AKnockedOutPlayerWakesUpWithFullHealthButNotSkillPoints) {
    player.hp = 0;
    player.sp = 4;
    std::vector<std::string> shown;
    headlessSetPresentHook([&shown] { shown.push_back(screenText(37, 19, 31)); });
    headlessPress(keyDown);
    runTavern();
    EXPECT_EQ(player.hp, 100);
    EXPECT_EQ(player.sp, 4);
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

TEST_F(TavernTest, QuitEndsTheGameAndWorldMapLeadsOut) {
    headlessPress(keyEnter);
    runTavern();
    EXPECT_EQ(gameMode, modeWorldMap);
    EXPECT_EQ(screenRow(16), ""); // left on a cleared screen
    choose(5);
    EXPECT_EQ(gameRunning, 0);
}

TEST_F(TavernTest, LowerCaseIOpensTheInventoryAndCapitalIDoesNot) {
    tavernCursor = 2;
    headlessPressCharacter('I');
    runTavern();
    runTavern(); // its release
    EXPECT_EQ(gameMode, modeTavern);
    headlessPressCharacter('i');
    runTavern();
    EXPECT_EQ(gameMode, modeInventory);
    EXPECT_EQ(inventoryReturn, 3);
    runCurrentMode(); // the inventory: everything grey in the tavern
    EXPECT_TRUE(textShownAt("Apple", 2, 2, 112));
}
