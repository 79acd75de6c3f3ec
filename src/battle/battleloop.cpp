// The battle loop: one frame redraws the battle, checks whether either side is beaten, and
// then plays the player's command, a queued item spell or the enemy's whole move.
#include "battle/battle.h"
#include "console/console.h"
#include "dungeon/dungeon.h"
#include "game/game.h"
#include "items/items.h"
#include "town/town.h"

Monster currentMonster = {"", 0, 0, 0, 0};
uint8_t currentBoss = 0;
const Picture *monsterPicture = nullptr;
int32_t monsterX = 1;
int32_t monsterY = 0;
char battleMessage[battleMessageSize];
uint8_t playerTurn = 0;
int8_t commandCursor = 0;
uint8_t specialMenuOpen = 0;
int32_t spellCursor = 0;
uint8_t fireSpellPending = 0;
uint8_t windSpellPending = 0;
uint8_t quakeSpellPending = 0;
uint8_t lightningSpellPending = 0;
int32_t quakeFrames = 0;
int32_t lightningBolts = 0;

static const char *const commandLabels[commandCount] = {" ATTACK ", " SPECIAL ", " ITEM ", " RUN "};
static const char monsterAreaBlank[] = "                                  "; // 34 cells

void clearMonsterArea(uint16_t colour) {
    for (uint16_t row = 0; row < 17; row++)
        printAt(monsterAreaBlank, colour, 0, row);
}

void drawBattleScreen() {
    if (monsterPicture != nullptr) {
        for (int row = 0; row < 17; row++) {
            printAt(monsterPicture->rows[row], 12, static_cast<uint16_t>(monsterX),
                    static_cast<uint16_t>(row + monsterY));
        }
    }
    drawDividers();
    drawPlayerStats();
    printAt(currentMonster.name, 13, 2, 19);
    printAt("HP", 15, 2, 20);
    printNumberAt(currentMonster.hp, 12, 6, 20);
    for (int i = 0; i < commandCount; i++) {
        printAt(commandLabels[i], i == commandCursor ? colourChosen : colourWhite, 40,
                static_cast<uint16_t>(19 + i));
    }
    printAt("", 0, 0, 0);
}

static void chooseCommand() {
    switch (commandCursor) {
    case 0:
        playerAttack();
        playerTurn = 0;
        waitMillis(100);
        break;
    case 1:
        specialMenuOpen = 1;
        break;
    case 2:
        // A used item has cost the turn; a queued spell strikes in the frames that follow.
        runInventory(InventoryOpener::battle);
        break;
    case 3:
        // Running away never works: it costs the turn.
        clearScreen(0);
        drawBattleScreen();
        typeText("You ain't goin nowhere", 15, 31, 45, 2);
        waitMillis(500);
        playerTurn = 0;
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
        commandCursor--;
        break;
    case keyDown:
        commandCursor++;
        break;
    default:
        break;
    }
    if (commandCursor < 0) commandCursor = 3;
    if (commandCursor > 3) commandCursor = 0;
}

// The next bolt of a queued lightning spell; the third one strikes.
static void lightningFrame() {
    drawLightningBolt(0, 6 + (gameRand() & 7), 17, 0);
    lightningBolts++;
    if (lightningBolts > 2) {
        lightningSpellPending = 0;
        spellDamage(6);
    }
}

void loseBattle() {
    player.hp = 0;
    resetTavern();
    currentBoss = 0;
}

BattleOutcome battleFrame() {
    drawBattleScreen();
    if (player.hp < 1) {
        // Only a battle begun already knocked out gets here: the enemy's turn ends the others.
        loseBattle();
        return BattleOutcome::lost;
    }
    if (currentMonster.hp < 1) {
        BattleOutcome outcome = winBattle();
        clearScreen(0);
        return outcome;
    }
    if (playerTurn == 1) {
        printAt("Make a move punk!", 15, 45, 2);
        if (specialMenuOpen != 0) {
            drawSpellMenu();
            handleSpellKey();
        } else {
            handleCommandKey();
        }
        discardPendingInput();
        return BattleOutcome::ongoing;
    }
    if (fireSpellPending != 0) {
        fireEffect();
    } else if (windSpellPending != 0) {
        windEffect();
    } else if (quakeSpellPending != 0) {
        quakeFrame();
    } else if (lightningSpellPending != 0) {
        lightningFrame();
    } else {
        enemyTurn();
    }
    discardPendingInput();
    return player.hp < 1 ? BattleOutcome::lost : BattleOutcome::ongoing;
}
