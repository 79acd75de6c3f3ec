// The status screen: the player's values in their places, until space.
#include <tuple>

#include "game/game.h"
#include "support/harness.h"
#include "town/town.h"

using StatusTest = GameTest;

TEST_F(StatusTest, EveryValueStandsInItsOwnPlaceAndLeavesNoOldDigits) {
    headlessPress(keySpace);
    showStatusScreen(); // the start values, longer than some below
    player.hp = 11;
    player.maxHp = 12;
    player.sp = 13;
    player.maxSp = 14;
    player.experience = 15;
    player.level = 16;
    player.attack = 17;
    player.defense = 18;
    player.weaponName = "Sword";
    player.weaponStrength = 19;
    std::vector<Cell> shown;
    headlessSetPresentHook([&shown] { shown = screenSnapshot(); });
    headlessPress(keySpace);
    showStatusScreen();
    std::copy(shown.begin(), shown.end(), &screenCells[0][0]); // the screen while it waited
    const std::tuple<const char *, int, int> values[] = {
        {"HP", 10, 5},  {"11", 26, 5},     {"SP", 10, 7},     {"13", 26, 7},
        {"15", 26, 15}, {"16", 26, 17},    {"Attack", 50, 5}, {"17", 66, 5},
        {"18", 66, 7},  {"Sword", 66, 15}, {"19", 66, 17}};
    for (auto [text, x, y] : values)
        EXPECT_TRUE(textShownAt(text, x, y, 10)) << text;
    for (auto [maximum, y] : {std::pair{"/12", 5}, {"/14", 7}, {"/100", 15}})
        EXPECT_TRUE(textShownAt(maximum, 30, y, 7)) << maximum;
    EXPECT_EQ(screenText(26, 5, 8), "11  /12 ");
    EXPECT_TRUE(textShownAt("Press space to continue", 49, 23, 15));
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
