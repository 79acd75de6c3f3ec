// The battle loop: one frame redraws the battle, checks whether either side is beaten, and
// then plays the player's command, a queued item spell or the enemy's whole move.
#include "battle/battle.h"
#include "console/console.h"
#include "dungeon/dungeon.h"
#include "game/game.h"
#include "items/items.h"
#include "town/town.h"

BattleState battleState;

static const char *const commandLabels[commandCount] = {" ATTACK ", " SPECIAL ", " ITEM ", " RUN "};
static const char monsterAreaBlank[] = "                                  "; // 34 cells

void clearMonsterArea(uint16_t colour) {
    for (uint16_t row = 0; row < monsterAreaRows; row++)
        printAt(monsterAreaBlank, colour, 0, row);
}

void drawBattleScreen() {
    if (battleState.monsterPicture != nullptr) {
        for (int row = 0; row < monsterAreaRows; row++) {
            printAt(battleState.monsterPicture->rows[row], 12,
                    static_cast<uint16_t>(battleState.monsterX),
                    static_cast<uint16_t>(row + battleState.monsterY));
        }
    }
    drawDividers();
    drawPlayerStats();
    printAt(battleState.currentMonster.name, 13, 2, 19);
    printAt("HP", 15, 2, 20);
    printNumberAt(battleState.currentMonster.hp, 12, 6, 20);
    for (int i = 0; i < commandCount; i++) {
        printAt(commandLabels[i], i == battleState.commandCursor ? colourChosen : colourWhite, 40,
                static_cast<uint16_t>(19 + i));
    }
    printAt("", 0, 0, 0);
}

static void chooseCommand() {
    switch (battleState.commandCursor) {
    case 0:
        playerAttack();
        battleState.playerTurn = false;
        waitMillis(100);
        break;
    case 1:
        battleState.specialMenuOpen = true;
        break;
    case 2:
        // A used item has cost the turn; a queued spell strikes in the frames that follow.
        runInventory(InventoryOpener::battle);
        break;
    case 3:
        // Running away never works: it costs the turn.
        clearScreen(0);
        drawBattleScreen();
        typeText("You ain't goin nowhere", colourWhite, messageWidth, messageColumn, messageRow);
        waitMillis(500);
        battleState.playerTurn = false;
        break;
    }
    clearScreen(0);
}

void handleCommandKey() {
    KeyEvent event;
    readKeyEvent(&event);
    if (!event.keyDown) return;
    switch (event.virtualKey) {
    case keyEnter:
        chooseCommand();
        break;
    case keyUp:
        battleState.commandCursor--;
        break;
    case keyDown:
        battleState.commandCursor++;
        break;
    default:
        break;
    }
    if (battleState.commandCursor < 0) battleState.commandCursor = commandCount - 1;
    if (battleState.commandCursor >= commandCount) battleState.commandCursor = 0;
}

// The next bolt of a queued lightning spell; the third one strikes.
static void lightningFrame() {
    drawLightningBolt(0, 6 + (gameRand() & 7), 17, BoltCourse::zigzag);
    battleState.lightningBolts++;
    if (battleState.lightningBolts > 2) {
        battleState.lightningSpellPending = false;
        spellDamage(6);
    }
}

void loseBattle() {
    game.player.hp = 0;
    resetTavern();
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
    if (battleState.fireSpellPending) {
        fireEffect();
    } else if (battleState.windSpellPending) {
        windEffect();
    } else if (battleState.quakeSpellPending) {
        quakeFrame();
    } else if (battleState.lightningSpellPending) {
        lightningFrame();
    } else {
        enemyTurn();
    }
    discardPendingInput();
    return game.player.hp < 1 ? BattleOutcome::lost : BattleOutcome::ongoing;
}
