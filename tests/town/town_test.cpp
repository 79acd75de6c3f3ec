// The tavern: a save that fails, and the inventory key.
#include <filesystem>
#include <tuple>

#include "game/game.h"
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
        tavernCursor = static_cast<int8_t>(entry);
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

TEST_F(TavernTest, LowerCaseIOpensTheInventoryAndCapitalIDoesNot) {
    tavernCursor = 2;
    headlessPressCharacter('I');
    runTavern();
    runTavern(); // its release
    EXPECT_EQ(gameMode, modeTavern);
    headlessPressCharacter('i');
    runTavern();
    EXPECT_EQ(std::tuple(gameMode, inventoryReturn), std::tuple(modeInventory, 3));
}
