// The program frame: start values, the random number generator, the main loop, the end.
#include <algorithm>
#include <cstring>

#include "effects/particles.h"
#include "frontend/frontend.h"
#include "game/game.h"
#include "support/harness.h"

using GameFrameTest = GameTest;

TEST_F(GameFrameTest, RandomNumbersFollowTheClassicGeneratorFromStateOne) {
    const int32_t expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int32_t value : expected)
        EXPECT_EQ(gameRand(), value);
    randState = 0xFFFFFFFFu; // the state wraps; the draw keeps to 0..32767
    EXPECT_EQ(gameRand(), 0x7FFF & ((0xFFFFFFFFu * 214013u + 2531011u) >> 16));
}

TEST_F(GameFrameTest, StartUpGivesEverySharedValueItsStartValueAgain) {
    player.hp = 3;
    player.weaponName = "Axe";
    itemCounts[5] = 1;
    defeatedBosses[0] = DefeatedBoss{4, 3, 2};
    mollochDefeats = 3;
    hardMode = 1;
    npcs[3].talkedTo = 1;
    gameRand();
    gameMode = modeWorldMap;
    emitParticle(particles, '*', 100, 1.0f, 'd', 1, 1, 15, 0.0f, 0.0f, nullptr);
    startUp();

    EXPECT_EQ(gameMode, modeTitle);
    EXPECT_EQ(randState, 1u);
    EXPECT_STREQ(player.weaponName, "Bottle");
    const int32_t stats[] = {
        player.hp,      player.maxHp,       player.sp,         player.maxSp, player.attack,
        player.defense, player.spellsKnown, player.experience, player.level, player.weaponStrength};
    const int32_t expected[] = {100, 100, 20, 20, 8, 5, 1, 0, 1, 1};
    EXPECT_TRUE(std::equal(std::begin(stats), std::end(stats), std::begin(expected)));
    const int8_t startingItems[itemKinds] = {1, 1, 1}; // an Apple, a Cookie, a Fish Sandwich
    EXPECT_EQ(std::memcmp(itemCounts, startingItems, sizeof itemCounts), 0);
    EXPECT_EQ(defeatedBosses[0].mode, 0);
    EXPECT_EQ(mollochDefeats, 1);
    EXPECT_EQ(hardMode, 0);
    EXPECT_EQ(npcs[3].talkedTo, 0);
    EXPECT_EQ(particles->activeCount, 0);
    EXPECT_EQ(titleIntroRunning, 1);
    EXPECT_STREQ(headlessTitle(), "Brinewort: The Return of ZARG");
    EXPECT_EQ(headlessMinimumWidth() * 100 + headlessMinimumHeight(), 8025);
    EXPECT_FALSE(headlessCursorVisible());
}

TEST_F(GameFrameTest, TheTwoArkumsShareARoomAndSpeakInTableOrder) {
    int arkums[2];
    int found = 0;
    for (int i = 0; i < npcCount; i++) {
        if (npcs[i].dungeon == 1 && npcs[i].roomCol == 2 && npcs[i].roomRow == 9)
            arkums[found++] = i;
    }
    ASSERT_EQ(found, 2);
    EXPECT_STREQ(npcs[arkums[0]].name, "Arkum");
    EXPECT_EQ(npcs[arkums[0]].firstTag, 41);
    EXPECT_EQ(npcs[arkums[1]].firstTag, 71);
    EXPECT_STREQ(npcs[npcCount - 1].name, "Ghali");
    EXPECT_EQ(npcs[npcCount - 1].firstTag, 161);
}

TEST_F(GameFrameTest, MakeNpcNeverOverrunsTheNameField) {
    Npc npc = makeNpc("AVeryLongNameIndeed", 2, 1, 1, 5, 1, 1);
    EXPECT_STREQ(npc.name, "AVeryLongNa");
    EXPECT_EQ(npc.talkedTo, 1);
}

TEST_F(GameFrameTest, AModeWithoutAScreenCallsNothing) {
    gameMode = modeBattleOver;
    printAt("unchanged", 15, 1, 1);
    headlessPress(keyEnter);
    runCurrentMode();
    EXPECT_EQ(gameMode, modeBattleOver);
    EXPECT_EQ(gameRunning, 1);
    EXPECT_EQ(screenText(1, 1, 9), "unchanged");
    EXPECT_TRUE(headlessScriptPending()); // no key was read
}

TEST_F(GameFrameTest, QuitFromTheTitleMenuEndsTheProgramWithTheFarewell) {
    headlessPress(keyUp);
    headlessPress(keyEnter);
    int status = runProgram();
    EXPECT_EQ(status, 0);
    EXPECT_EQ(gameRunning, 0);
    EXPECT_TRUE(textShownAt("where are you goin?  Fine, ", 12, 20, 4));
}

TEST_F(GameFrameTest, TheSameKeysGiveTheSameGame) {
    playTitleIntro();
    std::vector<Cell> first(&screenCells[0][0], &screenCells[0][0] + screenWidth * screenHeight);
    uint32_t firstState = randState;

    headlessReset();
    startUp();
    playTitleIntro();
    std::vector<Cell> second(&screenCells[0][0], &screenCells[0][0] + screenWidth * screenHeight);
    EXPECT_EQ(randState, firstState);
    EXPECT_TRUE(first == second);
}

TEST_F(GameFrameTest, DungeonsStillBeingWrittenLeadBackToTheWorldMap) {
    gameMode = modeWorldMap;
    headlessPress(keyLeft);
    headlessPress(keyEnter);
    headlessPressCharacter('x');
    headlessPress(keyEnter);
    runUntilInputEnds([] { runCurrentMode(); });
    EXPECT_EQ(gameMode, modeWorldMap);
    EXPECT_EQ(gameRunning, 1);
}
