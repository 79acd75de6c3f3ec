// Spells: the SPECIAL submenu with its four learned spells, the item spells' animations, and
// the shared spell damage that ignores the monster's defence.
#include <cmath>
#include <cstdio>

#include "battle/battle.h"
#include "console/console.h"
#include "console/menu.h"
#include "effects/particles.h"
#include "game/game.h"

// One learned spell of the SPECIAL submenu, an entry of its menu.
struct Spell {
    const char *label; // name, blanks and cost: nine characters, printed as is
    int32_t cost;      // skill points
    void (*animation)();
    int32_t power; // handed to spellDamage
};

static const Spell spellTable[spellCount] = {
    {"Blast   2", 2, blastEffect, 0},
    {"Poison  4", 4, poisonEffect, 1},
    {"Storm   6", 6, stormEffect, 2},
    {"Luminus 8", 8, luminusEffect, 3},
};

static constexpr double pi = 3.14159;
static constexpr char fireGlyph = glyphDarkShade;
// The main bolt reaches the top of the divider; only it branches and flashes.
static constexpr int32_t mainBoltEndRow = 17;

// The spells the menu offers: spellsKnown, kept within the table whatever a save file held.
static int32_t knownSpells() {
    if (game.player.spellsKnown < 0) return 0;
    if (game.player.spellsKnown > spellCount) return spellCount;
    return game.player.spellsKnown;
}

static void runParticlesOut() {
    while (particles.activeCount > 0)
        stepParticles(&particles);
}

void queueScrollSpell(ScrollSpell spell) {
    battleState.playerTurn = false;
    battleState.queuedSpell = QueuedSpell{spell};
}

void spellDamage(int32_t power) {
    // A negative power would divide by zero below; none of the game's spells has one.
    if (power < 0) power = 0;
    int32_t damage = spellBlow(gameRand() % (power + 2), power);
    battleState.currentMonster.hp -= damage;
    if (battleState.currentMonster.hp < 0) battleState.currentMonster.hp = 0;
    drawBattleScreen();
    std::snprintf(
        battleState.battleMessage, sizeof battleState.battleMessage, "You did %d damage to the %s.",
        damage, battleState.currentMonster.name != nullptr ? battleState.currentMonster.name : "");
    typeText(battleState.battleMessage, colourWhite, messageWidth, messageColumn, messageRow);
    waitMillis(300);
    clearScreen(0);
}

void drawSpellMenu() {
    drawMenu(spellTable, knownSpells(), battleState.spellCursor, 53, 19);
    parkCursor();
}

static void castHighlightedSpell() {
    // A cursor left outside the table (no spells known) has nothing to cast.
    if (battleState.spellCursor < 0 || battleState.spellCursor >= spellCount) return;
    const Spell &spell = spellTable[battleState.spellCursor];
    if (spell.cost <= game.player.sp) {
        spell.animation();
        game.player.sp -= spell.cost;
        spellDamage(spell.power);
        battleState.specialMenuOpen = false;
        battleState.playerTurn = false;
        return;
    }
    // The menu stays open and the turn is not used: the player may pick another spell.
    clearScreen(0);
    drawBattleScreen();
    drawSpellMenu();
    typeText("Not enough SP.", colourLightGreen, messageWidth, messageColumn, messageRow);
    waitMillis(300);
}

void handleSpellKey() {
    KeyEvent event;
    readKeyEvent(&event);
    MenuKey key = takeMenuKey(event, battleState.spellCursor, knownSpells(), MenuEnds::clamp,
                              castHighlightedSpell);
    if (key == MenuKey::left) {
        battleState.specialMenuOpen = false;
        clearScreen(0);
    }
}

void blastEffect() {
    for (int i = 0; i < 100; i++) {
        // Whole radians on purpose: the burst scatters unevenly.
        int32_t angle = gameRand() % 30;
        int32_t lifetime = gameRand() % 50 + 250;
        emitParticle(&particles, '*', lifetime, 60.0f, ParticleMotion::straight, 1, 1, 76,
                     static_cast<float>(std::cos(angle)), static_cast<float>(std::sin(angle)),
                     nullptr);
    }
    while (particles.activeCount > 0) {
        if (gameRand() % 10 == 0) {
            clearScreen(0);
            drawBattleScreen();
        }
        stepParticles(&particles);
    }
    clearScreen(0);
}

void poisonEffect() {
    for (int i = 0; i < 6; i++) {
        ParticleMotion motion =
            (gameRand() & 1) == 0 ? ParticleMotion::sine : ParticleMotion::cosine;
        int32_t lifetime = gameRand() % 200 + 800;
        // Rises from six rows below the origin along a wave four columns wide.
        emitParticle(&particles, '*', lifetime, 50.0f, motion, 18, 6, 42, 4.0f, -0.3f, nullptr);
    }
    runParticlesOut();
    clearScreen(0);
}

void stormEffect() {
    particles.originX = 16.0f;
    particles.originY = 0.0f;
    // Elapsed time from the millisecond field alone, which wraps every second.
    int32_t elapsed = 0;
    int32_t last = timeOfDayMillis();
    while (elapsed < 2000) {
        if (gameRand() % 100 == 0) {
            int32_t lifetime = gameRand() % 100 + 400;
            emitParticle(&particles, '*', lifetime, 35.0f, ParticleMotion::sine, 10, 1, 31, 4.0f,
                         1.0f, nullptr);
        }
        if (gameRand() % 100 == 0) {
            clearScreen(0);
            drawBattleScreen();
        }
        stepParticles(&particles);
        int32_t now = timeOfDayMillis();
        int32_t step = now - last;
        if (step < 0) step += 1000;
        elapsed += step;
        last = now;
    }
    // The storm stops at once: every slot is freed, whatever still flies.
    for (Particle &slot : particles.slots)
        slot.dead = true;
    particles.activeCount = 0;
    clearScreen(0);
}

void luminusEffect() {
    for (int i = 0; i < 400; i++) {
        double angle = (gameRand() % 360) * pi / 180;
        emitParticle(&particles, '*', 2000, 30.0f, ParticleMotion::straight, 1, 1, 15,
                     static_cast<float>(std::cos(angle)), static_cast<float>(std::sin(angle)),
                     nullptr);
    }
    runParticlesOut();
    clearScreen(colourBlackOnWhite);
    waitMillis(200);
    clearScreen(0);
}

void fireEffect() {
    particles.originX = 16.0f;
    particles.originY = 16.0f;
    for (int pass = 0; pass < 100; pass++) {
        for (int i = 0; i < 5; i++) {
            // 30 to 149 degrees: the flames leap upward, never sideways along the floor.
            double angle = (gameRand() % 120 + 30) * pi / 180;
            int32_t colour = gameRand() % 3 == 0 ? 4 : 14;
            int32_t lifetime = gameRand() % 200 + 800;
            emitParticle(&particles, fireGlyph, lifetime, 20.0f, ParticleMotion::straight, 1, 1,
                         colour, static_cast<float>(std::cos(angle)),
                         static_cast<float>(-std::sin(angle)), particleHook);
        }
        stepParticles(&particles);
    }
    runParticlesOut();
    battleState.queuedSpell.reset();
    spellDamage(4);
}

void windEffect() {
    particles.originX = 16.0f;
    particles.originY = 16.0f;
    for (int pass = 0; pass < 30; pass++) {
        int32_t amplitude = gameRand() % 10 + 5;
        int32_t speed = gameRand() % 10 + 35;
        bool swingsRight = (gameRand() & 1) == 0;
        int32_t lifetime = gameRand() % 1000 + 1000;
        emitParticle(&particles, swingsRight ? ')' : '(', lifetime, static_cast<float>(speed),
                     swingsRight ? ParticleMotion::sine : ParticleMotion::negativeSine, 2, 1, 15,
                     static_cast<float>(amplitude), -0.3f, nullptr);
        stepParticles(&particles);
        drawBattleScreen();
        if ((gameRand() & 7) == 0) clearScreen(0);
    }
    while (particles.activeCount > 0) {
        stepParticles(&particles);
        drawBattleScreen();
        if (gameRand() % 6 == 0) clearScreen(0);
    }
    clearScreen(0);
    battleState.queuedSpell.reset();
    spellDamage(4);
}

void quakeFrame() {
    // The battle frame has just redrawn the screen: show it as one frame of the shake, since
    // nothing else in a quake frame pauses. The picture lands somewhere else each time.
    presentFrame();
    battleState.monsterX = gameRand() % 3;
    battleState.monsterY = gameRand() % 3;
    if (++battleState.queuedSpell->framesShown > 200) {
        battleState.queuedSpell.reset();
        battleState.monsterX = 1;
        battleState.monsterY = 0;
        clearScreen(0);
        spellDamage(4);
    }
}

void drawLightningBolt(int32_t startRow, int32_t column, int32_t endRow, BoltCourse course) {
    char ch = '|';
    for (int32_t row = startRow; row < endRow; row++) {
        // A bolt that zigzags off the side of the screen is simply not seen there.
        if (column >= 0 && column < screenWidth && row >= 0 && row < screenHeight) {
            printCharAt(ch, colourWhite, static_cast<uint16_t>(column), static_cast<uint16_t>(row));
        }
        if (course == BoltCourse::zigzag) {
            if (gameRand() & 1) {
                column += gameRand() & 1;
                ch = '\\';
            } else if (gameRand() & 1) {
                column -= gameRand() & 1;
                ch = '/';
            } else {
                ch = '|';
            }
        } else if (course == BoltCourse::right) {
            column++;
            ch = '\\';
        } else if (course == BoltCourse::left) {
            column--;
            ch = '/';
        }
        waitMillis(1);
        // The draw comes first on every row, branches included, to keep the random sequence.
        if ((gameRand() & 1) != 0 && endRow == mainBoltEndRow) {
            BoltCourse branch = (gameRand() & 1) == 0 ? BoltCourse::left : BoltCourse::right;
            int32_t branchEnd = (gameRand() & 3) + 3;
            drawLightningBolt(row, column, branchEnd, branch);
        }
    }
    if (endRow == mainBoltEndRow) {
        clearMonsterArea(colourBlackOnWhite);
        waitMillis(50);
        clearScreen(0);
    }
}
