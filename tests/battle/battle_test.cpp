// Battles: the opening, the frame's order, attacks, experience and levels, the enemy's
// turn, defeat, the bosses' rewards and the ending, and the boss pictures.
#include <cstring>

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
        currentMonster = monsterTable[0]; // a Blob
        monsterPicture = &monsterPictures[0];
    }
    // The next draws of the generator from a state, without touching it.
    static int32_t drawAfter(uint32_t state, int n) {
        int32_t draw = 0;
        for (int i = 0; i < n; i++) {
            state = state * 214013u + 2531011u;
            draw = static_cast<int32_t>((state >> 16) & 0x7FFF);
        }
        return draw;
    }
    // A generator state whose n-th next draw satisfies a condition.
    template <typename Condition>
    static uint32_t stateWhere(int n, Condition condition) {
        uint32_t state = 1;
        while (!condition(drawAfter(state, n)))
            state++;
        return state;
    }
};

TEST_F(BattleTest, AttackDamageFollowsLevelDefenceWeaponAndAttack) {
    struct Case {
        int kind;
        int low, high;
    };
    for (Case c : {Case{0, 7, 8}, Case{3, 4, 5}}) {
        for (uint32_t state = 1; state < 40; state++) {
            currentMonster = monsterTable[c.kind];
            randState = state;
            playerAttack();
            int damage = monsterTable[c.kind].hp - currentMonster.hp;
            ASSERT_GE(damage, c.low);
            ASSERT_LE(damage, c.high);
        }
    }
    EXPECT_TRUE(textShownAt("Well done, you did ", 45, 2, 12));
    currentMonster.defense = 50;
    playerAttack();
    EXPECT_TRUE(textShownAt("Oh, you whiffed", 45, 2, 12));
    currentMonster.defense = 0;
    currentMonster.hp = 3;
    playerAttack();
    EXPECT_EQ(currentMonster.hp, 0); // never below 0
}

TEST_F(BattleTest, TheFrameChecksDefeatThenVictoryBeforeAnyoneMoves) {
    currentMonster.hp = 0;
    playerTurn = 0; // the enemy would be next
    int32_t experience = player.experience;
    EXPECT_EQ(battleFrame(), BattleOutcome::won);
    EXPECT_GE(player.experience, experience + 10);
    EXPECT_EQ(player.hp, 100); // the beaten Blob did not strike

    // Defeat has one rule wherever it is found: experience is kept, the boss fight dropped.
    player.hp = 0;
    player.experience = 40;
    currentBoss = bossMolloch;
    tavernCursor = 3;
    EXPECT_EQ(battleFrame(), BattleOutcome::lost);
    EXPECT_EQ(player.experience, 40);
    EXPECT_TRUE(tavernCursor == 0 && currentBoss == 0);
}

TEST_F(BattleTest, AnAmbushLetsTheEnemyMoveFirst) {
    randState = stateWhere(2, [](int32_t draw) { return draw % 7 == 0; });
    playerTurn = 0;
    std::string seen;
    headlessSetPresentHook([&seen] { seen = screenText(45, 2, 31) + screenText(45, 3, 31); });
    beginBattle();
    EXPECT_EQ(playerTurn, 0);
    EXPECT_NE(seen.find("You were caught off guard by"), std::string::npos);
    randState = stateWhere(2, [](int32_t draw) { return draw % 7 != 0; });
    beginBattle();
    EXPECT_EQ(playerTurn, 1);
    EXPECT_FLOAT_EQ(particles->originX, 15.0f);
}

TEST_F(BattleTest, ABossFightStillDrawsForAMonsterFirst) {
    currentBoss = bossMolloch;
    randState = 1;
    chooseMonster();
    EXPECT_EQ(randState, 1u * 214013u + 2531011u);
    EXPECT_STREQ(currentMonster.name, "Molloch");
    EXPECT_EQ(currentMonster.expReward, 50);
    EXPECT_EQ(monsterPicture, &bossPictures[0]);
}

TEST_F(BattleTest, ExperienceCarriesOverAndOnlyOneLevelComesPerCheck) {
    player.experience = 107; // 95 and a gain of 12
    checkLevelUp();
    EXPECT_EQ(player.level, 2);
    EXPECT_EQ(player.experience, 7);
    player.experience = 305;
    checkLevelUp();
    EXPECT_EQ(player.level, 3);
    EXPECT_EQ(player.experience, 205);
    EXPECT_TRUE(textShownAt("You gained a level!", 45, 6, 9));
}

TEST_F(BattleTest, LevelsRaiseAttackOnEvenLevelsDefenceOnOddOnesAndTeachSpells) {
    struct Expected {
        int level, attack, defense, spells, maxHp, maxSp;
    };
    const Expected steps[] = {{2, 10, 5, 1, 105, 21},
                              {3, 10, 7, 1, 110, 22},
                              {5, 12, 9, 2, 120, 24},
                              {9, 16, 13, 3, 140, 28},
                              {14, 22, 17, 4, 165, 33}};
    player.hp = 1;
    for (const Expected &step : steps) {
        while (player.level < step.level) {
            player.experience = 100;
            checkLevelUp();
        }
        EXPECT_EQ(player.attack, step.attack) << step.level;
        EXPECT_EQ(player.defense, step.defense) << step.level;
        EXPECT_EQ(player.spellsKnown, step.spells) << step.level;
        EXPECT_EQ(player.maxHp, step.maxHp) << step.level;
        EXPECT_EQ(player.hp, player.maxHp);
        EXPECT_EQ(player.sp, step.maxSp);
    }
}

TEST_F(BattleTest, ABlobHitsTheStartingPlayerOnlyWhenItRollsFourOrMore) {
    writeFile("SkeletonScripts.txt", "TextTag1\n100% bones_\n");
    for (uint32_t state = 1; state < 60; state++) {
        player.hp = 100;
        randState = state;
        enemyTurn();
        int32_t b = drawAfter(state, 2) % 7; // after the level's draw
        int32_t expected = b >= 4 ? b - 3 : 0;
        ASSERT_EQ(100 - player.hp, expected) << state;
        ASSERT_EQ(playerTurn, 1);
    }
    // A hit's taunt (here "TextTag1") is shown as it stands, percent sign and all.
    uint32_t state = 1;
    while (drawAfter(state, 2) % 7 < 4 || drawAfter(state, 3) % 10 != 0)
        state++;
    randState = state;
    std::string seen;
    headlessSetPresentHook([&seen] { seen += screenText(45, 2, 31) + "|"; });
    enemyTurn();
    EXPECT_NE(seen.find("100% bones"), std::string::npos);
}

TEST_F(BattleTest, AKnockOutSendsThePlayerToTheTavern) {
    currentMonster = monsterTable[3]; // a Golem always hits
    player.hp = 1;
    player.experience = 33;
    currentBoss = bossAgamir;
    playerTurn = 0;
    EXPECT_EQ(battleFrame(), BattleOutcome::lost); // the enemy's turn
    EXPECT_EQ(player.hp, 0);
    EXPECT_EQ(currentBoss, 0);
    EXPECT_EQ(player.experience, 33);
    // The turn still ends: after a lost battle even an ambushed player moves first.
    EXPECT_EQ(playerTurn, 1);
    EXPECT_EQ(screenRow(2), "");
}

TEST_F(BattleTest, TheCommandMenuWrapsAndRunNeverWorks) {
    playerTurn = 1;
    headlessPress(keyUp);
    battleFrame();
    EXPECT_EQ(commandCursor, 3);
    EXPECT_TRUE(textShownAt(" RUN ", 40, 22, 15)); // drawn before the key
    battleFrame();                                 // the release
    EXPECT_TRUE(textShownAt(" RUN ", 40, 22, 240));
    headlessPress(keyEnter);
    std::string seen;
    headlessSetPresentHook([&seen] { seen += screenText(45, 2, 31) + "|"; });
    battleFrame();
    EXPECT_NE(seen.find("You ain't goin nowhere"), std::string::npos);
    EXPECT_EQ(playerTurn, 0);
    EXPECT_EQ(gameMode, modeBattle);
    headlessPress(keyDown);
    playerTurn = 1;
    battleFrame();
    battleFrame();
    EXPECT_EQ(commandCursor, 0);
}

TEST_F(BattleTest, AnItemFromTheBattleCostsTheTurn) {
    playerTurn = 1;
    commandCursor = 2;
    player.hp = 50;
    headlessPress(keyEnter); // ITEM
    headlessPress(keyEnter); // the Apple
    battleFrame();
    EXPECT_EQ(gameMode, modeBattle);
    EXPECT_EQ(player.hp, 70);
    EXPECT_EQ(playerTurn, 0);
}

TEST_F(BattleTest, MollochGrowsWithEveryDefeatAndRewardsByTheCounter) {
    writeFile("SkeletonScripts.txt", "TextTag0\nYou beat me_\n");
    writeFile("Story.txt", "Chunk3\nThe plot thickens_\n");
    std::string story;
    headlessSetPresentHook([&story] {
        std::string row = screenText(10, 2, 17);
        if (story.empty() || story.substr(story.size() - 17) != row) story += row;
    });
    const int32_t grown[3][3] = {{80, 20, 20}, {110, 25, 25}, {140, 30, 30}};
    for (int defeat = 0; defeat < 3; defeat++) {
        story.clear();
        bossReward(bossMolloch);
        const BossRecord &molloch = bosses[0];
        EXPECT_EQ(molloch.hp * 10000 + molloch.defense * 100 + molloch.attack,
                  grown[defeat][0] * 10000 + grown[defeat][1] * 100 + grown[defeat][2]);
        EXPECT_EQ(mollochDefeats, defeat + 2);
        if (defeat == 0) {
            EXPECT_NE(story.find("You beat me"), std::string::npos);
            EXPECT_EQ(itemCount(itemLightGrayKey), 1);
        } else if (defeat == 1) {
            EXPECT_NE(story.find("The plot thickens"), std::string::npos);
            EXPECT_EQ(itemCount(itemPurpleKey), 1);
        } else {
            EXPECT_EQ(story.find("You"), std::string::npos); // no text the third time
        }
    }
}

TEST_F(BattleTest, AgamirsSecondDefeatEndsTheGame) {
    bossReward(bossAgamir);
    EXPECT_EQ(itemCount(itemYellowKey), 1);
    EXPECT_EQ(itemCount(itemPimpCane), 1);
    EXPECT_EQ(bosses[1].hp, 110);

    currentBoss = bossAgamir;
    currentMonster.hp = 0;
    EXPECT_EQ(winBattle(), BattleOutcome::gameEnded);
    EXPECT_EQ(agamirDefeats, 3);
    for (int8_t count : itemCounts)
        EXPECT_EQ(count, 0);
    EXPECT_EQ(titleIntroRunning, 1); // the credits have reset the title
    EXPECT_EQ(currentBoss, 0);
}

TEST_F(BattleTest, OnlyTheFirstTwoDungeonsHaveBossesAndAWinIsRecorded) {
    gameMode = modeCastle;
    EXPECT_EQ(startBossBattle(3, 4), BattleOutcome::won);
    EXPECT_EQ(gameMode, modeCastle);
    EXPECT_EQ(currentBoss, 0);

    gameMode = modeCave;
    bosses[0].hp = 1;
    bosses[0].defense = 0;
    headlessSetKeySource([] { headlessPress(keyEnter); }); // attack, attack...
    playerTurn = 1;
    EXPECT_EQ(startBossBattle(3, 4), BattleOutcome::won);
    EXPECT_EQ(gameMode, modeCave);
    EXPECT_EQ(isBossAlive(modeCave, 3, 4), 0);
    EXPECT_EQ(itemCount(itemLightGrayKey), 1);
}

using PictureTest = GameTest;

TEST_F(PictureTest, RowsFillTheSlotUpToTheUnderscoreAndNeverBeyondIt) {
    writeFile("art.txt", "art\nabc\n\ncd\n_\nend\nxy_");
    Picture picture{};
    loadPicture("art.txt", "art", picture);
    EXPECT_STREQ(picture.rows[0], "abc");
    EXPECT_STREQ(picture.rows[1], ""); // an empty line keeps the rows below in place
    EXPECT_STREQ(picture.rows[2], "cd");
    EXPECT_STREQ(picture.rows[3], "");
    loadPicture("art.txt", "end", picture);
    EXPECT_STREQ(picture.rows[0], "xyc"); // no line end: the row ends at what follows

    std::string big = "big\n";
    for (int row = 0; row < 40; row++)
        big += std::string(50, static_cast<char>('A' + row % 26)) + "\n";
    writeFile("big.txt", big + "_");
    Picture large{};
    loadPicture("big.txt", "big", large);
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
