// The town: the tavern's menu, the bartender's talk, sleep, save and quit; the status screen;
// the world map, whose highlight comes one event late.
#include <filesystem>
#include <tuple>

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
    static void choose(int entry) {
        townState.tavernCursor = static_cast<int8_t>(entry);
        headlessPress(keyEnter);
        runTavern();
        runTavern();
    }
    // Records the text at a place whenever the screen is shown.
    void watch(int x, int y, int length) {
        headlessSetPresentHook([=, this] { shown.push_back(screenText(x, y, length)); });
    }
    bool wasShown(const std::string &text) const {
        return std::find(shown.begin(), shown.end(), text) != shown.end();
    }
    std::vector<std::string> shown;
};

TEST_F(TavernTest, TheMenuWrapsAndDescribesTheChosenEntry) {
    headlessPress(keyUp);
    runTavern();
    EXPECT_EQ(townState.tavernCursor, 5);
    headlessPress(keyDown);
    runUntilInputEnds([] { runTavern(); });
    EXPECT_EQ(townState.tavernCursor, 0);
    EXPECT_TRUE(textShownAt(" World Map ", 2, 18, 240) && textShownAt(" Quit ", 2, 23, 15));
    EXPECT_TRUE(textShownAt("Leave the tavern and enter the world map", 37, 18, 15));
    EXPECT_TRUE(textShownAt("_______________________ |  O            |", 39, 7, 6)); // the bar
    townState.tavernCursor = 3; // a shorter description covers a longer one
    drawTavernMenu();
    townState.tavernCursor = 1;
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

TEST_F(TavernTest, SleepRestoresHealthAndSkillPointsButAKnockOutOnlyHealthAndSaysSoOnce) {
    player.hp = 12;
    player.sp = 3;
    choose(2);
    EXPECT_TRUE(player.hp == player.maxHp && player.sp == player.maxSp &&
                townState.tavernCursor == 0);
    player.hp = 0;
    player.sp = 4;
    watch(37, 19, 31);
    headlessPress(keyDown);
    runTavern();
    EXPECT_TRUE(player.hp == 100 && player.sp == 4);
    EXPECT_TRUE(wasShown("being knocked unconscious      "));
    size_t presents = shown.size();
    headlessPress(keyDown);
    runTavern();
    EXPECT_LT(shown.size(), presents + 3); // typed once only, and gone at the next redraw
    EXPECT_EQ(screenText(37, 19, 31), std::string(31, ' '));
}

TEST_F(TavernTest, SaveSaysSoAndWritesTheFileWorldMapLeadsOutAndQuitEndsTheGame) {
    watch(10, 13, 14);
    choose(3);
    EXPECT_TRUE(wasShown("Progress Saved"));
    EXPECT_EQ(screenText(10, 13, 14), std::string(14, ' '));
    EXPECT_EQ(readFile("SaveFile.txt").substr(0, 8), "BOB\n100\n");
    headlessPress(keyEnter);
    townState.tavernCursor = 0;
    EXPECT_EQ(runTavern(), modeWorldMap);
    EXPECT_EQ(screenRow(16), "");
    choose(5);
    EXPECT_EQ(gameRunning, 0);
}

TEST_F(TavernTest, AFailedSaveIsNeverAnnouncedAsMadeAndSaysWhy) {
    std::filesystem::create_directory("SaveFile.txt");
    watch(10, 13, 14);
    choose(3);
    EXPECT_FALSE(wasShown("Progress Saved"));
    EXPECT_EQ(screenText(10, 13, 16), "Cannot save game");
    EXPECT_EQ(screenText(10, 14, 34), "SaveFile.txt is not a regular file");
}

TEST_F(TavernTest, LowerCaseIOpensTheInventoryAndCapitalIDoesNot) {
    townState.tavernCursor = 2;
    headlessPressCharacter('I');
    runTavern();
    EXPECT_EQ(runTavern(), modeTavern); // its release
    headlessPressCharacter('i');
    headlessPress(keyLeft); // the inventory runs inside the tavern; Left closes it
    bool opened = false;
    headlessSetPresentHook([&opened] {
        opened = opened ||
                 (gameMode == modeInventory && inventoryScreen.opener == InventoryOpener::tavern &&
                  textShownAt("Press left arrow to exit", 47, 23, 15));
    });
    EXPECT_EQ(runTavern(), modeTavern);
    EXPECT_TRUE(opened);
    EXPECT_EQ(gameMode, modeTavern);
}

using StatusTest = GameTest;

TEST_F(StatusTest, EveryValueStandsInItsOwnPlaceLeavesNoOldDigitsAndOnlySpaceEndsIt) {
    headlessPress(keySpace);
    showStatusScreen(); // the start values, longer than some below
    // Hit points 11 of 12, skill points 13 of 14, attack 17, defence 18, experience 15,
    // level 16, a Sword of strength 19.
    player = Player{player.name, "Sword", -1, -1, 11, 13, 12, 14, 17, 18, 1, 15, 16, 19};
    std::vector<Cell> shown;
    headlessSetPresentHook([&shown] { shown = screenSnapshot(); });
    headlessPress(keyEnter); // other keys, and the release of space, only redraw it
    headlessPressCharacter('q');
    headlessEvent(KeyEvent{false, keySpace, ' '});
    headlessPress(keyEnter); // left for whoever reads next
    showStatusScreen();
    EXPECT_TRUE(headlessScriptPending());
    for (int y = 0; y < screenHeight; y++)
        EXPECT_EQ(screenRow(y), "") << y;
    std::copy(shown.begin(), shown.end(), &screenCells[0][0]); // the screen while it waited
    const std::tuple<const char *, int, int> values[] = {
        {"HP", 10, 5},  {"11", 26, 5},      {"SP", 10, 7},     {"13", 26, 7},
        {"15", 26, 15}, {"16", 26, 17},     {"Attack", 50, 5}, {"17", 66, 5},
        {"18", 66, 7},  {"Weapon", 50, 15}, {"Sword", 66, 15}, {"19", 66, 17}};
    for (auto [text, x, y] : values)
        EXPECT_TRUE(textShownAt(text, x, y, 10)) << text;
    for (auto [maximum, y] : {std::pair{"/12", 5}, {"/14", 7}, {"/100", 15}})
        EXPECT_TRUE(textShownAt(maximum, 30, y, 7)) << maximum;
    EXPECT_EQ(screenText(26, 5, 8), "11  /12 ");
    EXPECT_TRUE(textShownAt("Press space to continue", 49, 23, 15));
}

class WorldMapTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        gameMode = modeWorldMap;
    }
};

TEST_F(WorldMapTest, EachArrowChoosesThePlaceInItsDirectionAndEnterGoesThere) {
    const std::pair<uint16_t, int32_t> cases[] = {
        {keyUp, modeCastle}, {keyLeft, modeCave}, {keyRight, modeSewer}, {keyDown, modeTavern}};
    for (auto [arrow, mode] : cases) {
        gameMode = modeWorldMap;
        headlessPress(arrow);
        headlessPress(arrow); // arrows set the choice rather than step
        headlessPress(keyEnter);
        while (gameMode == modeWorldMap)
            runCurrentMode();
        EXPECT_EQ(gameMode, mode) << arrow;
        EXPECT_EQ(screenRow(11), ""); // the screen is cleared on the way
    }
}

TEST_F(WorldMapTest, TheHighlightFollowsTheCursorOneEventLate) {
    headlessPress(keyLeft);
    runWorldMap(); // the press: drawn with the old choice, then the cursor moves
    EXPECT_EQ(townState.worldMapCursor, 3);
    EXPECT_EQ(colourAt(32, 18), 2); // TAVERN's box still green
    EXPECT_EQ(colourAt(3, 9), 14);  // Cave's box yellow
    runWorldMap();                  // the release shows the new choice
    EXPECT_EQ(colourAt(32, 18), 14);
    EXPECT_EQ(colourAt(3, 9), 2);
    EXPECT_TRUE(textShownAt("Cave", 8, 9, 15));
    EXPECT_TRUE(textShownAt("Where would you like to go?", 25, 11, 15));
}
