// The spell menu, and the spell animations as the player sees them on the headless clock.
#include <set>
#include <tuple>

#include "battle/battle.h"
#include "effects/particles.h"
#include "game/game.h"
#include "support/harness.h"

class SpellTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        gameMode = modeBattle;
        battleState.currentMonster = Monster{"Blob", 10, 2, 2, 10};
        battleState.monsterPicture = &monsterPictures[0];
        battleState.playerTurn = battleState.specialMenuOpen = 1;
        player.spellsKnown = 4;
    }
    // One key as a player types it, through the battle's frame: the press, then its release.
    static void press(uint16_t key) {
        headlessPress(key);
        battleFrame();
        if (battleState.playerTurn == 1) battleFrame();
    }
    // Runs the battle's frames until the queued spell has played out.
    static void playOut(const uint8_t &pending) {
        battleState.playerTurn = battleState.specialMenuOpen = 0;
        for (int frame = 0; pending != 0; frame++) {
            ASSERT_LT(frame, 1000);
            battleFrame();
        }
    }
};

TEST_F(SpellTest, SpellsCostTheirSpOrLeaveTheMenuOpenAndLeftClosesIt) {
    std::string messages;
    headlessSetPresentHook([&messages] { messages += screenText(45, 2, 14) + "|"; });
    player.sp = 5;
    battleState.spellCursor = 2;
    press(keyEnter);
    EXPECT_NE(messages.find("Not enough SP.|"), std::string::npos);
    EXPECT_TRUE(textShownAt("Storm   6", 53, 21, 240));
    EXPECT_EQ(player.sp, 5);
    EXPECT_EQ(battleState.specialMenuOpen + battleState.playerTurn, 2);

    player.sp = 2;
    press(keyUp);
    press(keyUp);
    press(keyEnter);
    EXPECT_EQ(player.sp, 0);
    EXPECT_EQ(std::string(battleState.battleMessage),
              "You did " + std::to_string(10 - battleState.currentMonster.hp) +
                  " damage to the Blob.");
    EXPECT_EQ(battleState.specialMenuOpen + battleState.playerTurn, 0);
    EXPECT_EQ(particles->activeCount, 0);

    battleState.specialMenuOpen = battleState.playerTurn = 1;
    press(keyLeft);
    EXPECT_EQ(std::tuple(battleState.specialMenuOpen, battleState.playerTurn), std::tuple(0, 1));
    battleState.currentMonster.hp = 3; // spell damage stops at zero as well
    spellDamage(3);
    EXPECT_EQ(battleState.currentMonster.hp, 0);
}

TEST_F(SpellTest, MenuListsKnownSpellsAndTheCursorStaysOnThem) {
    player.spellsKnown = 1;
    battleState.spellCursor = 0;
    drawSpellMenu();
    EXPECT_TRUE(textShownAt("Blast   2", 53, 19, 240));
    EXPECT_EQ(screenText(53, 20, 9), "         ");

    player.spellsKnown = 3;
    press(keyUp);
    EXPECT_EQ(battleState.spellCursor, 0);
    for (int expected : {1, 2, 2}) {
        press(keyDown);
        EXPECT_EQ(battleState.spellCursor, expected);
    }
    // A save file claiming more spells than exist, or none: nothing off the table is cast.
    player.spellsKnown = 9;
    for (int i = 0; i < 5; i++)
        press(keyDown);
    EXPECT_EQ(battleState.spellCursor, 3);
    player.spellsKnown = 0;
    player.sp = 50;
    press(keyDown);
    press(keyEnter);
    EXPECT_EQ(std::tuple(player.sp, battleState.specialMenuOpen), std::tuple(50, 1));
}

TEST_F(SpellTest, QuakeShowsTwoHundredShakenFramesAtAboutSixtyASecondAndStrikesOnTheNext) {
    battleState.quakeSpellPending = 1;
    battleState.quakeFrames = 0;
    std::set<std::pair<int, int>> shownPlaces;
    int shakenPresents = 0;
    uint64_t start = headlessNowMicros(), lastShake = start;
    headlessSetPresentHook([&] {
        if (battleState.quakeSpellPending == 0) return;
        shownPlaces.insert({battleState.monsterX, battleState.monsterY});
        shakenPresents++;
        lastShake = headlessNowMicros();
    });
    int frames = 0;
    battleState.playerTurn = battleState.specialMenuOpen = 0;
    while (battleState.quakeSpellPending != 0) {
        ASSERT_EQ(battleState.currentMonster.hp, 10);
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
    EXPECT_EQ(battleState.monsterX * 10 + battleState.monsterY, 10);
    EXPECT_EQ(battleState.currentMonster.hp, 0);
}

TEST_F(SpellTest, EveryAnimationRunsOutFireBurnsInRedAndYellowAndStormFreesWhatStillFlies) {
    std::set<int> fireColours;
    headlessSetPresentHook([&fireColours] {
        for (Cell cell : screenSnapshot()) {
            if (cell.glyph == 178 && battleState.fireSpellPending != 0)
                fireColours.insert(cell.colour);
        }
    });
    for (void (*animation)() : {blastEffect, poisonEffect, luminusEffect, fireEffect, windEffect}) {
        battleState.fireSpellPending = animation == fireEffect;
        battleState.windSpellPending = animation == windEffect;
        animation();
        EXPECT_EQ(particles->activeCount, 0);
    }
    EXPECT_EQ(fireColours, (std::set<int>{4, 6, 12, 14})); // bright, then dimmed
    EXPECT_EQ(battleState.fireSpellPending + battleState.windSpellPending, 0);
    EXPECT_EQ(particles->originY, 16.0f);

    // A particle that stands still for a minute would outlive the storm.
    emitParticle(particles, '*', 60000, 0.0f, 's', 1, 1, 15, 0.0f, 0.0f, nullptr);
    stormEffect();
    EXPECT_EQ(particles->activeCount, 0);
    EXPECT_EQ(particles->slots[0].dead, 1);
    EXPECT_EQ(particles->originY, 0.0f);
}

TEST_F(SpellTest, LightningStrikesFromTheTopRowDownThreeTimesFlashesAndThenHurts) {
    std::set<int> boltRows;
    int flashes = 0;
    headlessSetPresentHook([&] {
        for (int row = 0; row < 17; row++) {
            for (int x = 0; x < 34; x++) {
                uint8_t glyph = glyphAt(x, row);
                if ((glyph == '|' || glyph == '\\' || glyph == '/') && colourAt(x, row) == 15)
                    boltRows.insert(row);
            }
        }
        flashes += colourAt(0, 0) == 240 && colourAt(33, 16) == 240;
    });
    battleState.lightningSpellPending = 1;
    battleState.lightningBolts = 0;
    battleState.currentMonster.hp = 100;
    playOut(battleState.lightningSpellPending);
    EXPECT_EQ(boltRows.size(), 17u);
    EXPECT_GE(flashes, 3);
    EXPECT_LT(battleState.currentMonster.hp, 100);
    EXPECT_EQ(colourAt(0, 0), 0);
}
