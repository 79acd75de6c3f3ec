// The world map: arrows choose a place, Enter goes there, the highlight comes one event late.
#include "game/game.h"
#include "support/harness.h"
#include "town/town.h"

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
        headlessPress(keyEnter);
        while (gameMode == modeWorldMap)
            runCurrentMode();
        EXPECT_EQ(gameMode, mode) << arrow;
        EXPECT_EQ(screenRow(11), ""); // the screen is cleared on the way
    }
}

TEST_F(WorldMapTest, RightAfterStartEnterLeadsBackToTheTavernAndArrowsSetRatherThanStep) {
    headlessPress(keyEnter);
    EXPECT_EQ(runWorldMap(), modeTavern);
    gameMode = modeWorldMap;
    headlessPress(keyUp);
    headlessPress(keyUp);
    runUntilInputEnds([] { runWorldMap(); });
    EXPECT_EQ(worldMapCursor, 2);
}

TEST_F(WorldMapTest, TheHighlightFollowsTheCursorOneEventLate) {
    headlessPress(keyLeft);
    runWorldMap(); // the press: drawn with the old choice, then the cursor moves
    EXPECT_EQ(worldMapCursor, 3);
    EXPECT_EQ(colourAt(32, 18), 2); // TAVERN's box still green
    EXPECT_EQ(colourAt(3, 9), 14);  // Cave's box yellow
    runWorldMap();                  // the release shows the new choice
    EXPECT_EQ(colourAt(32, 18), 14);
    EXPECT_EQ(colourAt(3, 9), 2);
    EXPECT_TRUE(textShownAt("Cave", 8, 9, 15));
    EXPECT_TRUE(textShownAt("Where would you like to go?", 25, 11, 15));
}
