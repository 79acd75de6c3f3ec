// The battle loop: one frame redraws the battle, checks whether either side is beaten, and
// then plays the player's command, a queued item spell or the enemy's whole move.
#include <string>

#include "battle/battle.h"
#include "console/console.h"
#include "console/menu.h"
#include "game/game.h"
#include "hud/hud.h"
#include "items/items.h"

BattleState battleState;

static const std::string monsterAreaBlank(monsterAreaColumns, ' ');

void clearMonsterArea(uint16_t colour) {
    for (uint16_t row = 0; row < monsterAreaRows; row++)
        printAt(monsterAreaBlank.c_str(), colour, 0, row);
}

// Under the picture: the monster's name and hit points on the left, the commands right of
// the divider.
constexpr uint16_t foeColumn = 2;
constexpr uint16_t foeNameRow = 19;
constexpr uint16_t foeHitPointsRow = 20;
constexpr uint16_t foeHitPointsColumn = 6;
constexpr uint16_t commandColumn = 40;
constexpr uint16_t commandRow = 19;

void drawBattleScreen() {
    if (battleState.monsterPicture != nullptr) {
        for (int row = 0; row < monsterAreaRows; row++) {
            printAt(battleState.monsterPicture->rows[row], colourLightRed,
                    static_cast<uint16_t>(battleState.monsterX),
                    static_cast<uint16_t>(row + battleState.monsterY));
        }
    }
    drawDividers();
    drawPlayerStats();
    printAt(battleState.currentMonster.name, colourLightMagenta, foeColumn, foeNameRow);
    printAt("HP", colourWhite, foeColumn, foeHitPointsRow);
    printNumberAt(battleState.currentMonster.hp, colourLightRed, foeHitPointsColumn,
                  foeHitPointsRow);
    drawMenu(battleCommands, commandCount, battleState.commandCursor, commandColumn, commandRow);
    parkCursor();
}

static void attack() {
    playerAttack();
    battleState.playerTurn = false;
    waitMillis(100);
}

static void openSpellMenu() {
    battleState.specialMenuOpen = true;
}

static void useItem() {
    int32_t used = runInventory(InventoryOpener::battle);
    if (used == 0) return;
    // A used item has cost the turn; a scroll's spell strikes in the frames that follow.
    battleState.playerTurn = false;
    ScrollSpell spell = itemCatalogue[used - 1].spell;
    if (spell != ScrollSpell::none) queueScrollSpell(spell);
}

static void run() {
    // Running away never works: it costs the turn.
    clearScreen(0);
    drawBattleScreen();
    typeText("You ain't goin nowhere", colourWhite, messageWidth, messageColumn, messageRow);
    waitMillis(500);
    battleState.playerTurn = false;
}

const MenuEntry<void (*)()> battleCommands[commandCount] = {
    {" ATTACK ", attack}, {" SPECIAL ", openSpellMenu}, {" ITEM ", useItem}, {" RUN ", run}};

void handleCommandKey() {
    KeyEvent event;
    readKeyEvent(&event);
    takeMenuKey(event, battleState.commandCursor, commandCount, MenuEnds::wrap, [] {
        if (battleState.commandCursor >= 0 && battleState.commandCursor < commandCount)
            battleCommands[battleState.commandCursor].action();
        clearScreen(0);
    });
}

// The next bolt of a queued lightning spell; the third one strikes.
static void lightningFrame() {
    drawLightningBolt(0, 6 + (gameRand() & 7), 17, BoltCourse::zigzag);
    if (++battleState.queuedSpell->framesShown > 2) {
        battleState.queuedSpell.reset();
        spellDamage(6);
    }
}

void loseBattle() {
    game.player.hp = 0;
    clearScreen(0); // the tavern, where the player wakes up, starts from a cleared screen
    battleState.currentBoss = 0;
}

BattleOutcome battleFrame() {
    drawBattleScreen();
    if (game.player.hp < 1) {
        // Only a battle begun already knocked out gets here: the enemy's turn ends the others.
        loseBattle();
        return BattleOutcome::lost;
    }
    if (battleState.currentMonster.hp < 1) {
        BattleOutcome outcome = winBattle();
        clearScreen(0);
        return outcome;
    }
    if (battleState.playerTurn) {
        printAt("Make a move punk!", colourWhite, messageColumn, messageRow);
        if (battleState.specialMenuOpen) {
            drawSpellMenu();
            handleSpellKey();
        } else {
            handleCommandKey();
        }
        discardPendingInput();
        return BattleOutcome::ongoing;
    }
    if (!battleState.queuedSpell) {
        enemyTurn();
    } else {
        switch (battleState.queuedSpell->spell) {
        case ScrollSpell::none: // never queued: nothing to wait for
            battleState.queuedSpell.reset();
            break;
        case ScrollSpell::fire:
            fireEffect();
            break;
        case ScrollSpell::wind:
            windEffect();
            break;
        case ScrollSpell::quake:
            quakeFrame();
            break;
        case ScrollSpell::lightning:
            lightningFrame();
            break;
        }
    }
    discardPendingInput();
    return game.player.hp < 1 ? BattleOutcome::lost : BattleOutcome::ongoing;
}
