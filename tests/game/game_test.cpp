// The program frame: start values, the random number generator, the main loop, the end.
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
    // The whole range is used and nothing outside it.
    randState = 0xFFFFFFFFu;
    for (int i = 0; i < 100000; i++) {
        int32_t value = gameRand();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 32767);
    }
}

TEST_F(GameFrameTest, StartUpGivesEverySharedValueItsStartValue) {
    EXPECT_EQ(gameRunning, 1);
    EXPECT_EQ(gameMode, modeTitle);
    EXPECT_STREQ(player.weaponName, "Bottle");
    EXPECT_EQ(player.weaponStrength, 1);
    EXPECT_EQ(player.hp, 100);
    EXPECT_EQ(player.maxHp, 100);
    EXPECT_EQ(player.sp, 20);
    EXPECT_EQ(player.maxSp, 20);
    EXPECT_EQ(player.attack, 8);
    EXPECT_EQ(player.defense, 5);
    EXPECT_EQ(player.spellsKnown, 1);
    EXPECT_EQ(player.experience, 0);
    EXPECT_EQ(player.level, 1);
    EXPECT_EQ(player.playerRoomX, 8);
    EXPECT_EQ(player.playerRoomY, 8);
    EXPECT_EQ(hardMode, 0);
    EXPECT_EQ(mollochDefeats, 1);
    EXPECT_EQ(agamirDefeats, 1);
    const int8_t startingItems[itemKinds] = {1, 1, 1};
    EXPECT_EQ(std::memcmp(itemCounts, startingItems, sizeof itemCounts), 0);
    for (const DefeatedBoss &entry : defeatedBosses) {
        EXPECT_EQ(entry.mode, 0);
        EXPECT_EQ(entry.roomCol, 0);
        EXPECT_EQ(entry.roomRow, 0);
    }
    EXPECT_EQ(particleHook, &fadeParticle);
    EXPECT_EQ(particles->activeCount, 0);
    EXPECT_EQ(titleIntroRunning, 1);
}

TEST_F(GameFrameTest, StartUpPutsBackWhatAnEarlierRunChanged) {
    player.hp = 3;
    itemCounts[5] = 1;
    defeatedBosses[0] = DefeatedBoss{4, 3, 2};
    npcs[3].talkedTo = 1;
    gameRand();
    gameMode = modeWorldMap;
    emitParticle(particles, '*', 100, 1.0f, 'd', 1, 1, 15, 0.0f, 0.0f, nullptr);
    startUp();
    EXPECT_EQ(player.hp, 100);
    EXPECT_EQ(itemCounts[5], 0);
    EXPECT_EQ(defeatedBosses[0].mode, 0);
    EXPECT_EQ(npcs[3].talkedTo, 0);
    EXPECT_EQ(randState, 1u);
    EXPECT_EQ(gameMode, modeTitle);
    EXPECT_EQ(particles->activeCount, 0);
}

TEST_F(GameFrameTest, TheNpcTableHoldsSixteenCharactersInDialogueOrder) {
    struct Expected {
        const char *name;
        int dungeon, col, row, firstTag, lineCount;
    };
    const Expected table[npcCount] = {
        {"Goro", 1, 7, 2, 11, 3},    {"Pogo", 1, 8, 5, 31, 7},     {"Vurgle", 1, 3, 5, 21, 7},
        {"Arkum", 1, 2, 9, 41, 1},   {"Dele", 1, 1, 0, 51, 9},     {"Pogo", 1, 13, 3, 61, 5},
        {"Arkum", 1, 2, 9, 71, 1},   {"Luba", 2, 13, 3, 81, 1},    {"Bemi", 2, 2, 4, 91, 1},
        {"Nerman", 2, 8, 1, 101, 1}, {"Xilco", 2, 8, 10, 111, 1},  {"Murdik", 2, 4, 12, 121, 1},
        {"Anook", 2, 1, 13, 131, 1}, {"Ghali", 3, 14, 10, 141, 7}, {"Ghali", 3, 13, 3, 151, 7},
        {"Ghali", 3, 5, 7, 161, 1},
    };
    for (int i = 0; i < npcCount; i++) {
        SCOPED_TRACE(i);
        EXPECT_STREQ(npcs[i].name, table[i].name);
        EXPECT_EQ(npcs[i].dungeon, table[i].dungeon);
        EXPECT_EQ(npcs[i].roomCol, table[i].col);
        EXPECT_EQ(npcs[i].roomRow, table[i].row);
        EXPECT_EQ(npcs[i].firstTag, table[i].firstTag);
        EXPECT_EQ(npcs[i].lineCount, table[i].lineCount);
        EXPECT_EQ(npcs[i].talkedTo, 0);
    }
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

TEST_F(GameFrameTest, ScreensStillBeingWrittenLeadBackToTheTitle) {
    playTitleIntro();
    headlessPress(keyEnter); // New Game
    runTitleScreen();
    ASSERT_EQ(gameMode, modeTavern);
    headlessPressCharacter('x');
    headlessPress(keyEnter);
    runCurrentMode();
    EXPECT_EQ(gameMode, modeTitle);
    EXPECT_EQ(titleIntroRunning, 1);
    EXPECT_EQ(gameRunning, 1);
}
