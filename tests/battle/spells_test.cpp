// The spell menu, spell damage, and the spell animations on the headless clock.
#include <set>

#include "battle/battle.h"
#include "effects/particles.h"
#include "game/game.h"
#include "support/harness.h"

class SpellTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        currentMonster = Monster{"Blob", 10, 2, 2, 10};
        playerTurn = specialMenuOpen = 1;
        quakeFrames = 0;
        player.spellsKnown = 4;
    }

    // One key as a player types it: the press, then its release, which must change nothing.
    static void press(uint16_t key) {
        headlessPress(key);
        handleSpellKey();
        handleSpellKey();
    }

    static std::set<int> damagesDealt(int power) {
        std::set<int> seen;
        for (uint32_t seed = 1; seed <= 300; seed++) {
            randState = seed * 7919;
            currentMonster.hp = 1000;
            spellDamage(power);
            seen.insert(1000 - currentMonster.hp);
        }
        return seen;
    }
};

TEST_F(SpellTest, SpellsCostTheirSpOrLeaveTheMenuOpen) {
    player.sp = 5;
    spellCursor = 2;
    press(keyEnter);
    EXPECT_TRUE(textShownAt("Not enough SP.", 45, 2, 10));
    EXPECT_TRUE(textShownAt("Storm   6", 53, 21, 240));
    EXPECT_EQ(player.sp, 5);
    EXPECT_EQ(specialMenuOpen + playerTurn, 2);

    player.sp = 2;
    press(keyUp);
    press(keyUp);
    press(keyEnter);
    EXPECT_EQ(player.sp, 0);
    EXPECT_EQ(std::string(battleMessage),
              "You did " + std::to_string(10 - currentMonster.hp) + " damage to the Blob.");
    EXPECT_EQ(specialMenuOpen + playerTurn, 0);
    EXPECT_EQ(particles->activeCount, 0);

    specialMenuOpen = playerTurn = 1;
    press(keyLeft);
    EXPECT_EQ(specialMenuOpen, 0);
    EXPECT_EQ(playerTurn, 1);
}

TEST_F(SpellTest, MenuListsKnownSpellsAndTheCursorStaysOnThem) {
    player.spellsKnown = 1;
    spellCursor = 0;
    drawSpellMenu();
    EXPECT_TRUE(textShownAt("Blast   2", 53, 19, 240));
    EXPECT_EQ(screenText(53, 20, 9), "         ");

    player.spellsKnown = 3;
    press(keyUp);
    EXPECT_EQ(spellCursor, 0);
    for (int expected : {1, 2, 2}) {
        press(keyDown);
        EXPECT_EQ(spellCursor, expected);
    }
    // A save file claiming more spells than exist, or none: nothing off the table is cast.
    player.spellsKnown = 9;
    for (int i = 0; i < 5; i++)
        press(keyDown);
    EXPECT_EQ(spellCursor, 3);
    player.spellsKnown = 0;
    player.sp = 50;
    press(keyDown);
    press(keyEnter);
    EXPECT_EQ(player.sp, 50);
    EXPECT_EQ(screenRow(2), "");
}

TEST_F(SpellTest, DamageCoversItsWholeRangeIgnoresDefenceAndStopsAtZero) {
    currentMonster = Monster{"Golem", 30, 5, 6, 30};
    EXPECT_EQ(damagesDealt(0), (std::set<int>{5, 6}));
    EXPECT_EQ(damagesDealt(1), (std::set<int>{10, 11, 12}));
    EXPECT_EQ(damagesDealt(2), (std::set<int>{15, 16, 17, 18}));
    EXPECT_EQ(damagesDealt(3), (std::set<int>{20, 21, 22, 23, 24}));
    EXPECT_EQ(damagesDealt(4), (std::set<int>{25, 26, 27, 28, 29, 30}));
    EXPECT_EQ(damagesDealt(6), (std::set<int>{35, 36, 37, 38, 39, 40, 41, 42}));
    currentMonster.hp = 3;
    spellDamage(3);
    EXPECT_EQ(currentMonster.hp, 0);
}

TEST_F(SpellTest, QuakeShowsTwoHundredShakenFramesAtAboutSixtyASecondAndStrikesOnTheNext) {
    gameMode = modeBattle;
    playerTurn = specialMenuOpen = 0;
    quakeSpellPending = 1;
    monsterPicture = &monsterPictures[0];
    std::set<std::pair<int, int>> shownPlaces;
    int shakenPresents = 0;
    uint64_t start = headlessNowMicros(), lastShake = start;
    headlessSetPresentHook([&] {
        if (quakeSpellPending == 0) return;
        shownPlaces.insert({monsterX, monsterY});
        shakenPresents++;
        lastShake = headlessNowMicros();
    });
    int frames = 0;
    while (quakeSpellPending != 0) {
        ASSERT_EQ(currentMonster.hp, 10);
        battleFrame();
        frames++;
    }
    EXPECT_EQ(frames, 201);
    EXPECT_GE(shakenPresents, 200);      // every frame reaches the player
    std::set<std::pair<int, int>> shake; // every place of the 3 x 3 square, and no other
    for (int i = 0; i < 9; i++)
        shake.insert({i / 3, i % 3});
    EXPECT_EQ(shownPlaces, shake);
    EXPECT_GE(lastShake - start, 200u * 16000u); // paced, not as fast as the drawing goes
    EXPECT_LE(lastShake - start, 200u * 20000u);
    EXPECT_EQ(monsterX * 10 + monsterY, 10);
    EXPECT_EQ(currentMonster.hp, 0);
}

TEST_F(SpellTest, EveryAnimationRunsOutAndStormFreesWhatStillFlies) {
    fireSpellPending = windSpellPending = 1;
    for (void (*animation)() : {blastEffect, poisonEffect, luminusEffect, fireEffect, windEffect}) {
        animation();
        EXPECT_EQ(particles->activeCount, 0);
    }
    EXPECT_EQ(fireSpellPending + windSpellPending, 0);
    EXPECT_EQ(particles->originY, 16.0f);

    // A particle that stands still for a minute would outlive the storm.
    emitParticle(particles, '*', 60000, 0.0f, 's', 1, 1, 15, 0.0f, 0.0f, nullptr);
    stormEffect();
    EXPECT_EQ(particles->activeCount, 0);
    EXPECT_EQ(particles->slots[0].dead, 1);
    EXPECT_EQ(particles->originY, 0.0f);
}

TEST_F(SpellTest, LightningBoltStrikesEveryRowThenFlashes) {
    std::set<int> boltRows;
    bool flashed = false;
    headlessSetPresentHook([&] {
        for (int row = 0; row < 17; row++) {
            for (int x = 0; x < 34; x++) {
                uint8_t glyph = glyphAt(x, row);
                if ((glyph == '|' || glyph == '\\' || glyph == '/') && colourAt(x, row) == 15)
                    boltRows.insert(row);
            }
        }
        flashed = flashed || (colourAt(0, 0) == 240 && colourAt(33, 16) == 240);
    });
    drawLightningBolt(0, 10, 17, 0);
    headlessSetPresentHook(nullptr);
    EXPECT_EQ(boltRows.size(), 17u);
    EXPECT_TRUE(flashed);
    EXPECT_EQ(colourAt(0, 0), 0);
}
