// Battles: the monsters and bosses, opening a battle, the battle loop with its command menu,
// the player's attacks, experience and levels, the spells, the enemy's turn, and the bosses'
// rewards up to the end of the game.
#pragma once

#include <cstdint>
#include <optional>

#include "console/menu.h"
#include "game/game.h"
#include "items/items.h"
#include "resources/resources.h"

// How a battle ended.
enum class BattleOutcome {
    ongoing,   // battleFrame only: the battle goes on
    won,       // the opponent is beaten; the player goes on where the battle began
    lost,      // the player was knocked out and wakes up in the tavern
    gameEnded, // the last boss is beaten: the credits have rolled, the title is next
};

// The opponent of the running battle.
struct Monster {
    const char *name;
    int32_t hp; // never below 0; beaten once below 1
    int32_t defense;
    int32_t attack;
    int32_t expReward;
};

constexpr int monsterKinds = 4;
constexpr int battleMessageSize = 500;
constexpr int monsterAreaRows = 17;    // the opponent's picture shows in rows 0 to 16
constexpr int monsterAreaColumns = 34; // from column 0, left of the divider
constexpr int commandCount = 4;        // ATTACK, SPECIAL, ITEM, RUN; the cursor wraps around them
constexpr int spellCount = 4;

// What a boss's first and second defeats give (item 0: none); Agamir's second ends the game.
// The game and the data checker read it.
struct BossReward {
    uint8_t boss;
    int32_t win; // the defeat it follows: 1 or 2
    int32_t item, alsoItem;
};
inline constexpr BossReward bossRewardTable[] = {{bossMolloch, 1, itemLightGrayKey, 0},
                                                 {bossMolloch, 2, itemPurpleKey, 0},
                                                 {bossAgamir, 1, itemYellowKey, itemPimpCane},
                                                 {bossAgamir, 2, 0, 0}};

// The battle's commands, in the order the menu shows them.
extern const MenuEntry<void (*)()> battleCommands[commandCount];

// --- Monsters and bosses, for the whole run ---
extern const Monster monsterTable[monsterKinds];    // Blob, Skeleton, Zombie, Golem
extern const Picture monsterPictures[monsterKinds]; // their pictures, by kind

// The bosses' pictures, read from their files at start-up (setUpMonsters).
struct BossPictures {
    Picture pictures[bossCount] = {}; // boss n is pictures[n - 1]
};

// --- Boss pictures, for the whole run ---
extern BossPictures bossPictures;

// A scroll's spell, used in a battle: it strikes in the frames after the player's turn.
struct QueuedSpell {
    ScrollSpell spell;
    int32_t framesShown = 0; // quake frames shaken, or lightning bolts struck, so far
};

// What one battle leaves to the next: beginBattle starts each from these.
struct BattleCarryOver {
    bool playerTurn = false; // the turn the last battle ended on: an ambush leaves it as it was
    int32_t spellCursor = 0; // the spell menu's highlighted spell
};

// --- Battle carry-over, for the whole run ---
extern BattleCarryOver battleCarryOver;

// One battle, from beginBattle to its end (BattleState{} and what carries over).
struct BattleState {
    Monster currentMonster{"", 0, 0, 0, 0};     // the opponent
    uint8_t currentBoss = 0;                    // 0 for a random encounter, else the boss number
    const Picture *monsterPicture = nullptr;    // the opponent's picture
    int32_t monsterX = 1;                       // the picture's column, normally 1
    int32_t monsterY = 0;                       // a downward shift of the picture, normally 0
    char battleMessage[battleMessageSize] = {}; // every battle message is formatted here
    bool playerTurn = false;                    // the next frame reads the player's command
    int8_t commandCursor = 0;                   // the highlighted command, 0..3
    bool specialMenuOpen = false;               // the spell menu takes the keys
    int32_t spellCursor = 0;                    // the highlighted spell
    std::optional<QueuedSpell> queuedSpell;     // a scroll's spell waiting to strike
};

// --- Battle state, for one battle (left as it ended until the next begins) ---
extern BattleState battleState;

// --- The battle's arithmetic: what a blow or a spell does, given its dice ---
// The game rolls the dice (gameRand); the automatic player reckons with every roll.
// The player's blow: a roll of 0 to twice the level less one, less the foe's defence, plus the
// weapon's strength and the player's attack; never below 0.
constexpr int32_t playerBlow(int32_t roll, int32_t attack, int32_t weaponStrength,
                             int32_t foeDefense) {
    int32_t damage = roll - foeDefense + weaponStrength + attack;
    return damage < 0 ? 0 : damage;
}
// The foe's blow: a roll of 0 to the player's level less one and one of 0 to 6, less the
// player's defence, plus the foe's attack; 0 or less misses.
constexpr int32_t foeBlow(int32_t levelRoll, int32_t dieRoll, int32_t defense, int32_t foeAttack) {
    return dieRoll - defense + levelRoll + foeAttack;
}
constexpr int32_t foeDieSides = 7;
// A spell of a power (0 to 6): a roll of 0 to power + 1, plus 5 x power + 5; the foe's defence
// counts for nothing.
constexpr int32_t spellBlow(int32_t roll, int32_t power) {
    return roll + 5 * power + 5;
}

// --- Encounters ---
// The monster table's pictures and the boss pictures from their files (at start-up).
void setUpMonsters();
void chooseMonster();
// Opens a battle against a boss (by number) or, with 0, a monster: a new battle state that takes
// the turn and the spell cursor the last battle left, the opponent, the screen, the ambush roll.
void beginBattle(uint8_t boss = 0);
// Fights a battle from its opening to its end, the battle on show meanwhile, and leaves what
// carries over to the next.
BattleOutcome fightBattle(uint8_t boss = 0);
// The boss room's entry: fights the boss of the dungeon on show, if it has one, and records
// a win. Returns won when there was no boss to fight.
BattleOutcome startBossBattle(int32_t roomRow, int32_t roomCol);

// --- Battle loop ---
// One battle step: redraw, the end checks, then the player's command, a queued item spell or
// the enemy's move. Returns ongoing until the battle is over.
BattleOutcome battleFrame();
void drawBattleScreen();
// Blanks the monster's side (17 rows of 34 cells) in a colour: a flash, or an erasure.
void clearMonsterArea(uint16_t colour);
void handleCommandKey();

// --- Attacks, experience, levels ---
void playerAttack();
// The victory: rewards, the message and experience. Returns won, or gameEnded after the last
// boss.
BattleOutcome winBattle();
// The knockout, the one way a battle is lost: the player lies at 0 HP, the tavern is made
// ready to wake up in and no boss fight stays pending.
void loseBattle();
void awardExperience();
void checkLevelUp();
void growStats();

// --- Spells ---
// Queues a scroll's spell: the turn is over, and the spell strikes in the frames that follow.
void queueScrollSpell(ScrollSpell spell);
// Deals spell damage of a power (0..6): rand() % (power + 2) + 5 * power + 5, defence ignored.
void spellDamage(int32_t power);
void drawSpellMenu();
void handleSpellKey();
void blastEffect();
void poisonEffect();
void stormEffect();
void luminusEffect();
void fireEffect();
void windEffect();
void quakeFrame();
// How a bolt runs down the rows: the main bolt zigzags at random, its branches run straight
// down to the left or to the right.
enum class BoltCourse : uint8_t { zigzag, left, right };
void drawLightningBolt(int32_t startRow, int32_t column, int32_t endRow, BoltCourse course);

// --- Enemy turn ---
void enemyTurn();

// --- The credits ---
constexpr int creditLineCount = 5;
extern const char *const creditLines[creditLineCount]; // role, 11 blanks, name
// The five credit lines, each typed, dimmed and cleared.
void rollCredits();
void showCreditLine(const char *line);

// --- Bosses ---
// The reward for beating a boss (1..3), before the victory message. True when it was the end
// of the game (the credits have rolled).
bool bossReward(int32_t boss);
