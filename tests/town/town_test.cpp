// The town beyond what the recorded games show: the bartender's talk, a save that fails,
// and the status screen.
#include <filesystem>
#include <tuple>

#include "game/game.h"
#include "items/items.h"
#include "resources/datapath.h"
#include "support/harness.h"
#include "town/town.h"

class TavernTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        game.gameMode = modeTavern;
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

TEST_F(TavernTest, AFailedSaveIsNeverAnnouncedAsMadeAndSaysWhy) {
    std::filesystem::create_directory("SaveFile.txt");
    watch(10, 13, 14);
    choose(3);
    EXPECT_FALSE(wasShown("Progress Saved"));
    EXPECT_EQ(screenText(10, 13, 16), "Cannot save game");
    EXPECT_EQ(screenText(10, 14, 34), "SaveFile.txt is not a regular file");
}

// However long the reason, the next Talk leaves nothing of it behind; the error stream has it all.
TEST_F(TavernTest, AFailedSavesLongReasonGoesWithTheNextTalk) {
    writeFile("BartenderScripts.txt", "Tag0\nHi._\n");
    std::string reason = "neither XDG_DATA_HOME nor HOME names a directory to keep it in";
    DataPlaces nowhere;
    nowhere.saveProblem = reason;
    setDataPlaces(nowhere);
    choose(3);
    EXPECT_EQ(screenText(10, 14, 51), reason.substr(0, 48) + "...");
    EXPECT_NE(std::string(headlessErrors()).find(reason), std::string::npos);
    choose(1);
    EXPECT_EQ(screenText(0, 14, screenWidth), std::string(screenWidth, ' '));
    EXPECT_EQ(screenText(0, 15, screenWidth), std::string(screenWidth, ' '));
}

TEST_F(TavernTest, TalkTypesTheBartendersLinesInTurnAndKeepsToTheLast) {
    writeFile("BartenderScripts.txt",
              "Tag0\nFirst._\nTag1\nSecond._\nTag2\nThird._\nTag3\nFourth._\nTag4\nLast._\n");
    for (const char *line :
         {"First.  ", "Second. ", "Third.  ", "Fourth. ", "Last.   ", "Last.   "}) {
        choose(1);
        EXPECT_EQ(screenText(10, 13, 8), line);
    }
}

TEST_F(TavernTest, AMissingScriptStaysInTheTalkAreaUntilTheNextTalk) {
    choose(1); // the tavern drawn again, waiting for the next key
    EXPECT_TRUE(textShownAt("Couldnt find file", 10, 13, colourWhite));
    EXPECT_TRUE(
        textShownAt("BartenderScripts.txt: No such file or directory", 10, 14, colourWhite));
    writeFile("BartenderScripts.txt", "Tag1\nSecond._\n");
    choose(1);
    EXPECT_EQ(screenRow(13), "          Second.");
    EXPECT_EQ(screenRow(14), "");
}

using StatusTest = GameTest;

TEST_F(StatusTest, EveryValueStandsInItsOwnPlaceLeavesNoOldDigitsAndOnlySpaceEndsIt) {
    headlessPress(keySpace);
    showStatusScreen(); // the start values, longer than some below
    // Hit points 11 of 12, skill points 13 of 14, attack 17, defence 18, experience 15,
    // level 16, a Sword of strength 19.
    game.player = Player{game.player.name, "Sword", -1, -1, 11, 13, 12, 14, 17, 18, 1, 15, 16, 19};
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
    std::copy(shown.begin(), shown.end(), &console.screenCells[0][0]); // the screen while it waited
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
