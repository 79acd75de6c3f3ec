// Battles: the frame's order, attacks, levels, the enemy's turn, defeat, the bosses' rewards
// and the ending, and the boss pictures.
#include <cstring>
#include <tuple>

#include "battle/battle.h"
#include "dungeon/dungeon.h"
#include "frontend/frontend.h"
#include "items/items.h"
#include "support/harness.h"
#include "town/town.h"

class BattleTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        gameMode = modeBattle;
        battleState.currentMonster = monsterTable[0]; // a Blob
        battleState.monsterPicture = &monsterPictures[0];
    }
    // Collects the message area's first row at every pause.
    void watchMessages() {
        headlessSetPresentHook([this] { seen += screenText(45, 2, 31) + "|"; });
    }
    bool said(const std::string &text) const { return seen.find(text) != std::string::npos; }
    std::string seen;
};

TEST_F(BattleTest, AnAttackHurtsOrWhiffsAndNeverTakesHitPointsBelowZero) {
    playerAttack();
    EXPECT_LT(battleState.currentMonster.hp, monsterTable[0].hp);
    EXPECT_TRUE(textShownAt("Well done, you did ", 45, 2, 12));
    battleState.currentMonster.defense = 50;
    playerAttack();
    EXPECT_TRUE(textShownAt("Oh, you whiffed", 45, 2, 12));
    battleState.currentMonster.defense = 0;
    battleState.currentMonster.hp = 3;
    playerAttack();
    EXPECT_EQ(battleState.currentMonster.hp, 0);
}

TEST_F(BattleTest, TheFrameChecksDefeatThenVictoryBeforeAnyoneMoves) {
    battleState.currentMonster.hp = 0;
    battleState.playerTurn = 0; // the enemy would be next
    int32_t experience = player.experience;
    EXPECT_EQ(battleFrame(), BattleOutcome::won);
    EXPECT_GE(player.experience, experience + 10);
    EXPECT_EQ(player.hp, 100); // the beaten Blob did not strike

    // Defeat has one rule wherever it is found: experience is kept, the boss fight dropped.
    player.hp = 0;
    player.experience = 40;
    battleState.currentBoss = bossMolloch;
    townState.tavernCursor = 3;
    EXPECT_EQ(battleFrame(), BattleOutcome::lost);
    EXPECT_EQ(player.experience, 40);
    EXPECT_TRUE(townState.tavernCursor == 0 && battleState.currentBoss == 0);
}

TEST_F(BattleTest, AnAmbushLetsTheEnemyMoveFirstAndABossStillDrawsForAMonster) {
    watchMessages();
    for (uint32_t seed = 1; battleState.playerTurn != 0 || !said("You were caught off guard by");
         seed++) {
        ASSERT_LT(seed, 100u);
        randState = seed;
        battleState.playerTurn = 0;
        seen.clear();
        beginBattle();
    }
    EXPECT_FLOAT_EQ(particles->originX, 15.0f);
    // The same draws with or without a boss, so a fight does not shift the random sequence.
    randState = 1;
    chooseMonster();
    uint32_t afterMonster = randState;
    battleState.currentBoss = bossMolloch;
    randState = 1;
    chooseMonster();
    EXPECT_EQ(randState, afterMonster);
    EXPECT_STREQ(battleState.currentMonster.name, "Molloch");
    EXPECT_EQ(battleState.monsterPicture, &bossPictures[0]);
}

TEST_F(BattleTest, ExperienceCarriesOverOneLevelComesPerCheckAndLevelsRaiseTheStats) {
    player.hp = 1;
    player.experience = 107;
    checkLevelUp();
    EXPECT_EQ(std::tuple(player.level, player.experience), std::tuple(2, 7));
    EXPECT_EQ(std::tuple(player.attack, player.defense, player.maxHp), std::tuple(10, 5, 105));
    EXPECT_TRUE(player.hp == player.maxHp && player.sp == player.maxSp);
    EXPECT_TRUE(textShownAt("You gained a level!", 45, 6, 9));
    player.experience = 305;
    checkLevelUp();
    EXPECT_EQ(std::tuple(player.level, player.experience), std::tuple(3, 205));
    EXPECT_EQ(std::tuple(player.attack, player.defense), std::tuple(10, 7)); // odd: defence
    while (player.level < 5) {
        player.experience = 100;
        checkLevelUp();
    }
    EXPECT_EQ(player.spellsKnown, 2);
}

TEST_F(BattleTest, AnEnemyHitShowsItsTauntAsItStandsAndAKnockOutSendsThePlayerHome) {
    writeFile("SkeletonScripts.txt", "TextTag1\n100% bones_\n");
    watchMessages();
    for (uint32_t seed = 1; !said("100% bones"); seed++) {
        ASSERT_LT(seed, 500u);
        randState = seed;
        player.hp = 100;
        enemyTurn();
        ASSERT_EQ(battleState.playerTurn, 1);
    }
    battleState.currentMonster = monsterTable[3]; // a Golem always hits
    player.hp = 1;
    player.experience = 33;
    battleState.currentBoss = bossAgamir;
    battleState.playerTurn = 0;
    EXPECT_EQ(battleFrame(), BattleOutcome::lost); // the enemy's turn
    EXPECT_EQ(std::tuple(player.hp, battleState.currentBoss), std::tuple(0, 0));
    EXPECT_EQ(player.experience, 33);
    // The turn still ends: after a lost battle even an ambushed player moves first.
    EXPECT_EQ(battleState.playerTurn, 1);
    EXPECT_EQ(screenRow(2), "");
}

TEST_F(BattleTest, TheCommandMenuWrapsAndRunNeverWorks) {
    battleState.playerTurn = 1;
    headlessPress(keyUp);
    battleFrame();
    EXPECT_EQ(battleState.commandCursor, 3);
    EXPECT_TRUE(textShownAt(" RUN ", 40, 22, 15)); // drawn before the key
    battleFrame();                                 // the release
    EXPECT_TRUE(textShownAt(" RUN ", 40, 22, 240));
    headlessPress(keyEnter);
    watchMessages();
    battleFrame();
    EXPECT_TRUE(said("You ain't goin nowhere"));
    EXPECT_EQ(std::tuple(battleState.playerTurn, gameMode), std::tuple(0, modeBattle));
    headlessPress(keyDown);
    battleState.playerTurn = 1;
    battleFrame();
    battleFrame();
    EXPECT_EQ(battleState.commandCursor, 0);
}

TEST_F(BattleTest, AnItemFromTheBattleCostsTheTurn) {
    battleState.playerTurn = 1;
    battleState.commandCursor = 2;
    player.hp = 50;
    headlessPress(keyEnter); // ITEM
    headlessPress(keyEnter); // the Apple
    battleFrame();
    EXPECT_EQ(std::tuple(gameMode, player.hp, battleState.playerTurn),
              std::tuple(modeBattle, 70, 0));
}

TEST_F(BattleTest, MollochGrowsWithEveryDefeatAndRewardsByTheCounter) {
    writeFile("SkeletonScripts.txt", "TextTag0\nYou beat me_\n");
    writeFile("Story.txt", "Chunk3\nThe plot thickens_\n");
    headlessSetPresentHook([this] { seen += screenText(10, 2, 17) + "|"; });
    const char *texts[] = {"You beat me", "The plot thickens", "You"};
    const int keys[] = {itemLightGrayKey, itemPurpleKey, itemPurpleKey};
    for (int defeat = 0; defeat < 3; defeat++) {
        seen.clear();
        int32_t hp = bosses[0].hp;
        bossReward(bossMolloch);
        EXPECT_EQ(bosses[0].hp, hp + 30) << defeat;
        EXPECT_EQ(mollochDefeats, defeat + 2);
        EXPECT_EQ(said(texts[defeat]), defeat < 2) << defeat; // no text the third time
        EXPECT_EQ(itemCount(keys[defeat]), 1) << defeat;
    }
}

TEST_F(BattleTest, AgamirsSecondDefeatEndsTheGame) {
    bossReward(bossAgamir);
    EXPECT_EQ(itemCount(itemYellowKey) + itemCount(itemPimpCane), 2);
    battleState.currentBoss = bossAgamir;
    battleState.currentMonster.hp = 0;
    EXPECT_EQ(winBattle(), BattleOutcome::gameEnded);
    EXPECT_EQ(std::tuple(agamirDefeats, battleState.currentBoss), std::tuple(3, 0));
    for (int8_t count : itemCounts)
        EXPECT_EQ(count, 0);
    EXPECT_EQ(titleIntro.running, 1); // the credits have reset the title
}

using PictureTest = GameTest;

TEST_F(PictureTest, RowsFillTheSlotUpToTheUnderscoreAndNeverBeyondIt) {
    std::string big = "big\n";
    for (int row = 0; row < 40; row++)
        big += std::string(50, static_cast<char>('A' + row % 26)) + "\n";
    writeFile("art.txt", "art\nabc\n\ncd\n_\nend\nxy_\n" + big + "_");
    Picture picture{};
    loadPicture("art.txt", "art", picture);
    EXPECT_STREQ(picture.rows[0], "abc");
    EXPECT_STREQ(picture.rows[1], ""); // an empty line keeps the rows below in place
    EXPECT_STREQ(picture.rows[2], "cd");
    EXPECT_STREQ(picture.rows[3], "");
    loadPicture("art.txt", "end", picture);
    EXPECT_STREQ(picture.rows[0], "xyc"); // no line end: the row ends at what follows
    Picture large{};
    loadPicture("art.txt", "big", large);
    EXPECT_EQ(std::strlen(large.rows[0]), 32u);
    EXPECT_EQ(large.rows[32][0], 'G');
    EXPECT_EQ(std::strlen(large.rows[32]), 32u);
}

TEST_F(PictureTest, MissingPicturesAreReportedAndTheWizardSlotsAreIndependent) {
    writeFile("dragon2.txt", "nothing here\n");
    writeFile("Wizard.txt", "wizard\n /\\\n/--\\_");
    setUpMonsters();
    EXPECT_TRUE(textShownAt("Couldnt find picture", 45, 2, 15));
    EXPECT_STREQ(bossPictures[1].rows[1], "/--\\");
    bossPictures[1].rows[0][0] = '#';
    EXPECT_STREQ(bossPictures[2].rows[0], " /\\");
    std::remove("Wizard.txt");
    setUpMonsters();
    EXPECT_TRUE(textShownAt("Couldnt find file", 45, 2, 15));
    EXPECT_STREQ(bossPictures[1].rows[0], "");
}
