// Battles: the boss pictures read from damaged files, a spell menu fed a save's odd spell
// count, and the spells' effects.
#include <cstring>
#include <set>
#include <string>
#include <tuple>

#include "battle/battle.h"
#include "effects/particles.h"
#include "game/game.h"
#include "items/items.h"
#include "support/harness.h"

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

TEST_F(PictureTest, TheWizardSlotsAreIndependentAndAMissingFileEmptiesThem) {
    writeFile("Wizard.txt", "wizard\n /\\\n/--\\_");
    setUpMonsters();
    EXPECT_STREQ(bossPictures.pictures[1].rows[1], "/--\\");
    bossPictures.pictures[1].rows[0][0] = '#';
    EXPECT_STREQ(bossPictures.pictures[2].rows[0], " /\\");
    std::remove("Wizard.txt");
    setUpMonsters();
    EXPECT_STREQ(bossPictures.pictures[1].rows[0], "");
}

class SpellTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        game.gameMode = modeBattle;
        battleState.currentMonster = Monster{"Blob", 10, 2, 2, 10};
        battleState.monsterPicture = &monsterPictures[0];
        battleState.playerTurn = battleState.specialMenuOpen = true;
        game.player.spellsKnown = 4;
    }
    // One key as a player types it, through the battle's frame: the press, then its release.
    static void press(uint16_t key) {
        headlessPress(key);
        battleFrame();
        if (battleState.playerTurn) battleFrame();
    }
};

TEST_F(SpellTest, MenuListsKnownSpellsAndTheCursorStaysOnThem) {
    game.player.spellsKnown = 3;
    press(keyUp);
    EXPECT_EQ(battleState.spellCursor, 0);
    for (int expected : {1, 2, 2}) {
        press(keyDown);
        EXPECT_EQ(battleState.spellCursor, expected);
    }
    // A save file claiming more spells than exist, or none: nothing off the table is cast.
    game.player.spellsKnown = 9;
    for (int i = 0; i < 5; i++)
        press(keyDown);
    EXPECT_EQ(battleState.spellCursor, 3);
    game.player.spellsKnown = 0;
    game.player.sp = 50;
    press(keyDown);
    press(keyEnter);
    EXPECT_EQ(std::tuple(game.player.sp, battleState.specialMenuOpen), std::tuple(50, true));
}

// A scroll queues its spell; the battle's next frames play it, hit the opponent and hand the
// turn on, with every particle gone and the picture back in its place.
TEST_F(SpellTest, EachScrollPlaysItsEffectToTheEndThenHits) {
    for (int scroll : {itemFireSpell, itemWindSpell, itemQuakeSpell, itemLightningSpell}) {
        SCOPED_TRACE(itemCatalogue[scroll - 1].name);
        battleState.currentMonster.hp = 500;
        queueScrollSpell(itemCatalogue[scroll - 1].spell);
        int frames = 0;
        while (battleState.queuedSpell) {
            battleFrame();
            ASSERT_LT(++frames, 1000);
        }
        EXPECT_LT(battleState.currentMonster.hp, 500);
        EXPECT_EQ(particles.activeCount, 0);
        EXPECT_EQ(std::tuple(battleState.monsterX, battleState.monsterY), std::tuple(1, 0));
    }
}

// The quake is counted in frames: each is shown, at the frame pace, with the picture
// somewhere else, so the screen shakes for about three seconds.
TEST_F(SpellTest, TheQuakeShowsEachOfItsFramesWithThePictureShaken) {
    battleState.currentMonster.hp = 500;
    queueScrollSpell(ScrollSpell::quake);
    std::set<std::string> shaken; // the screens' text as shown during the quake
    int presents = 0;
    headlessSetPresentHook([&] {
        presents++;
        std::string screen;
        for (int row = 0; row < screenHeight; row++)
            screen += screenRow(row) + "\n";
        if (battleState.queuedSpell) shaken.insert(screen);
    });
    headlessSetClockStepMicros(0);
    uint64_t start = headlessNowMicros();
    while (battleState.queuedSpell)
        battleFrame();
    headlessSetPresentHook(nullptr);
    EXPECT_GE(presents, 200);
    EXPECT_GE(shaken.size(), 5u); // of the nine places the picture can land
    EXPECT_GE(headlessNowMicros() - start, 200u * 16000u);
}

using BossRewardTest = GameTest;

// Molloch's second defeat types a chapter, then the purple key's message: never both on one
// screen, so the message never covers words of the chapter while they can still be read.
TEST_F(BossRewardTest, TheChapterAfterMollochsSecondDefeatIsClearedBeforeTheKeysMessage) {
    std::string rows;
    for (int word = 0; word < 60; word++)
        rows += "words ";
    writeFile("Story.txt", "Chunk3\n" + rows + "Molloch falls for good this time_\n");
    game.mollochDefeats = 2;
    int chapterScreens = 0, sharedScreens = 0;
    headlessSetPresentHook([&] {
        bool chapter = false, message = false;
        for (int row = 0; row < screenHeight; row++) {
            chapter = chapter || screenRow(row).find("Molloch falls") != std::string::npos;
            message = message || screenRow(row).find("You recieve the purple") != std::string::npos;
        }
        chapterScreens += chapter;
        sharedScreens += chapter && message;
    });
    EXPECT_FALSE(bossReward(bossMolloch));
    EXPECT_GT(chapterScreens, 0);
    EXPECT_EQ(sharedScreens, 0);
    EXPECT_EQ(itemCount(itemPurpleKey), 1);
}
