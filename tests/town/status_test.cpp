// The status screen: the player's values in their places, until space.
#include "game/game.h"
#include "support/harness.h"
#include "town/town.h"

using StatusTest = GameTest;

TEST_F(StatusTest, RightAfterStartTheScreenShowsTheStartingValues) {
    std::vector<Cell> shown;
    headlessSetPresentHook([&shown] {
        shown.assign(&screenCells[0][0], &screenCells[0][0] + screenWidth * screenHeight);
    });
    headlessPress(keySpace);
    showStatusScreen();
    std::copy(shown.begin(), shown.end(), &screenCells[0][0]); // the screen while it waited
    struct Expected {
        const char *text;
        int x, y, colour;
    };
    const Expected values[] = {
        {"HP", 10, 5, 10},      {"100", 26, 5, 10},
        {"/", 30, 5, 7},        {"100", 31, 5, 7},
        {"SP", 10, 7, 10},      {"20", 26, 7, 10},
        {"/", 30, 7, 7},        {"20", 31, 7, 7},
        {"Exp", 10, 15, 10},    {"0", 26, 15, 10},
        {"100", 31, 15, 7},     {"Level", 10, 17, 10},
        {"1", 26, 17, 10},      {"Attack", 50, 5, 10},
        {"8", 66, 5, 10},       {"Defense", 50, 7, 10},
        {"5", 66, 7, 10},       {"Weapon", 50, 15, 10},
        {"Bottle", 66, 15, 10}, {"Weapon Strength", 50, 17, 10},
        {"1", 66, 17, 10},      {"Press space to continue", 49, 23, 15},
    };
    for (const Expected &value : values) {
        EXPECT_TRUE(textShownAt(value.text, value.x, value.y, value.colour)) << value.text;
    }
    EXPECT_EQ(glyphAt(40, 11), 206);
    EXPECT_EQ(glyphAt(40, 0), 186);
    EXPECT_EQ(glyphAt(79, 11), 205);
}

TEST_F(StatusTest, OtherKeysRedrawAndSpaceEndsItOnACleanScreenEvenAsARelease) {
    headlessPress(keyEnter);
    headlessPressCharacter('q');
    headlessEvent(KeyEvent{false, keySpace, ' '});
    headlessPress(keyEnter); // left for whoever reads next
    showStatusScreen();
    EXPECT_TRUE(headlessScriptPending());
    for (int y = 0; y < screenHeight; y++)
        EXPECT_EQ(screenRow(y), "") << y;
}

TEST_F(StatusTest, AShorterValueLeavesNoOldDigits) {
    player.hp = 100;
    headlessPress(keySpace);
    showStatusScreen();
    player.hp = 99;
    std::string hpShown;
    headlessSetPresentHook([&hpShown] { hpShown = screenText(26, 5, 3); });
    headlessPress(keySpace);
    showStatusScreen();
    EXPECT_EQ(hpShown, "99 ");
}
