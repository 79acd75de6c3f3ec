// The bosses: their records, and what beating one brings — a stronger boss next time, story,
// keys, and after Agamir's second defeat the end of the game.
#include "battle/battle.h"
#include "console/console.h"
#include "game/game.h"
#include "items/items.h"
#include "resources/resources.h"

// Story and reward texts are typed in white, 60 wide, from column 10, row 2.
static void typeStory(const char *text) {
    typeText(text, colourWhite, pageWidth, pageColumn, pageRow);
}

static void typeStorySection(const char *fileName, const char *tag) {
    TextSection section = readTextSection(fileName, tag);
    showDataFileProblem(fileName, section.problem);
    typeStory(section.text.get());
}

// Each defeat makes a boss stronger for the next fight, which starts at full health.
static void growBoss(BossRecord &boss, int32_t strength, int32_t health) {
    boss.attack = addCapped(boss.attack, strength, maxStat);
    boss.defense = addCapped(boss.defense, strength, maxStat);
    boss.maxHp = addCapped(boss.maxHp, health, maxStat);
    boss.hp = boss.maxHp;
}

// Gives the items of a boss's win.
static void giveBossReward(uint8_t boss, int32_t win) {
    for (const BossReward &reward : bossRewardTable) {
        if (reward.boss != boss || reward.win != win) continue;
        if (reward.item != 0) itemCount(reward.item) = 1;
        if (reward.alsoItem != 0) itemCount(reward.alsoItem) = 1;
    }
}

static void mollochReward() {
    growBoss(game.bosses[bossMolloch - 1], 5, 30);
    if (game.mollochDefeats == 1) {
        clearScreen(0);
        typeStorySection("SkeletonScripts.txt", "TextTag0");
        waitMillis(1000);
        clearScreen(0);
        typeStory("You recieve the light gray key.  Maybe you should head back to the castle.");
        giveBossReward(bossMolloch, 1);
        waitMillis(1000);
        clearScreen(0);
    } else if (game.mollochDefeats == 2) {
        clearScreen(0);
        typeStorySection("Story.txt", "Chunk3");
        waitMillis(2000);
        // Typed over the chapter it would cover its first rows while they are still read:
        // the chapter goes first, as the other story texts do before their messages.
        clearScreen(0);
        typeStory("You recieve the purple key.  Maybe you should head back to the sewer.");
        giveBossReward(bossMolloch, 2);
        waitMillis(1000);
        clearScreen(0);
    }
    game.mollochDefeats = addCapped(game.mollochDefeats, 1, maxBossDefeats);
}

// True when this defeat ends the game.
static bool agamirReward() {
    bool ending = false;
    growBoss(game.bosses[bossAgamir - 1], 7, 40);
    if (game.agamirDefeats == 1) {
        clearScreen(0);
        typeStory("You recieve the yellow key and the pimp cane.  Maybe you should head to the "
                  "castle.");
        giveBossReward(bossAgamir, 1);
        waitMillis(1000);
        clearScreen(0);
    } else if (game.agamirDefeats == 2) {
        // The end of the game: the closing story, an empty inventory, the credits, the title.
        clearScreen(0);
        typeStorySection("Story.txt", "Chunk4");
        waitMillis(1000);
        clearScreen(0);
        for (int8_t &count : game.itemCounts)
            count = 0;
        rollCredits();
        ending = true;
    }
    game.agamirDefeats = addCapped(game.agamirDefeats, 1, maxBossDefeats);
    return ending;
}

bool bossReward(int32_t boss) {
    if (boss == bossMolloch) mollochReward();
    return boss == bossAgamir && agamirReward();
}
