// The program frame and the data every screen shares: the game modes, the tables of
// characters, weapons and bosses, and the record of the whole run (the player, the item
// counts, the boss progress, the random number generator).
#pragma once

#include <cstdint>

// The screens of the game; gameMode holds the one on show. The values are those recordings
// pin; 3 once marked an ended battle and is no longer used.
enum GameMode : int32_t {
    modeTitle = 0,     // title screen and main menu
    modeTavern = 1,    // the tavern hub
    modeBattle = 2,    // a battle, run by the dungeon that met it
    modeCave = 4,      // the dungeons (dungeonTable)
    modeSewer = 5,     //
    modeCastle = 6,    //
    modeInventory = 7, // the inventory, run by the screen that opened it
    modeWorldMap = 8,  // the world map
};

// A non-player character standing in one room of one dungeon.
struct Npc {
    int32_t firstTag; // number of its first dialogue section ("Tag%d")
    char name[12];    // how its own lines begin in the script
    int32_t dungeon;  // 1, 2 or 3: a dungeon's number in dungeonTable
    int32_t roomCol;  // its room in that dungeon's grid
    int32_t roomRow;
    int32_t lineCount; // sections spoken at the first talk; the next one is the repeat line
    bool talkedTo;     // set once it has been talked to
};

constexpr int npcCount = 16;

// Every non-player character as a new game finds it, in the order their dialogue runs; the
// game, the data checker and the automatic player read it.
// firstTag, name, dungeon, roomCol, roomRow, lineCount, talkedTo
inline constexpr Npc npcTable[npcCount] = {
    {11, "Goro", 1, 7, 2, 3, false},    {31, "Pogo", 1, 8, 5, 7, false},
    {21, "Vurgle", 1, 3, 5, 7, false},  {41, "Arkum", 1, 2, 9, 1, false},
    {51, "Dele", 1, 1, 0, 9, false},    {61, "Pogo", 1, 13, 3, 5, false},
    {71, "Arkum", 1, 2, 9, 1, false},   {81, "Luba", 2, 13, 3, 1, false},
    {91, "Bemi", 2, 2, 4, 1, false},    {101, "Nerman", 2, 8, 1, 1, false},
    {111, "Xilco", 2, 8, 10, 1, false}, {121, "Murdik", 2, 4, 12, 1, false},
    {131, "Anook", 2, 1, 13, 1, false}, {141, "Ghali", 3, 14, 10, 7, false},
    {151, "Ghali", 3, 13, 3, 7, false}, {161, "Ghali", 3, 5, 7, 1, false},
};

// A weapon, picked up by its exact pickup text; its strength is added to the player's damage.
struct Weapon {
    const char *name;
    int32_t strength;
};

// The weapon every game begins with, and those the dungeons hold, weakest first.
inline constexpr Weapon startWeapon{"Bottle", 1};
inline constexpr Weapon weaponTable[] = {
    {"Whip", 4}, {"Sword", 6}, {"Bow", 9}, {"Axe", 12}, {"Broadsword", 16},
};

// The player, program-wide.
struct Player {
    const char *name;       // set only by loading a game, to a copy of its own; nothing reads it
    const char *weaponName; // the current weapon
    int32_t playerRoomX;    // column inside the current room; -1: not placed yet
    int32_t playerRoomY;    // row inside the current room; -1 with playerRoomX
    int32_t hp;
    int32_t sp;
    int32_t maxHp;
    int32_t maxSp;
    int32_t attack;
    int32_t defense;
    int32_t spellsKnown; // how many of the four spells the battle offers
    int32_t experience;  // towards the next level, reached at experiencePerLevel
    int32_t level;
    int32_t weaponStrength; // added to the player's damage
};

// The bounds play keeps values in, so that no sum with them can overflow; a save holding a
// value outside them is damaged.
constexpr int32_t maxLevel = 999;
// Experience that makes a level; what is left over counts towards the next.
constexpr int32_t experiencePerLevel = 100;
constexpr int32_t maxExperience = 999; // one level per victory: the rest may pile up a little
constexpr int32_t maxStat = 9999;      // hit and skill points and their maxima, attack, defense
constexpr int32_t maxBossDefeats = 9999;
constexpr int8_t maxItemCount = 127;

constexpr int itemKinds = 17;
constexpr int maxDefeatedBosses = 20;

// One entry of defeatedBosses; three zeros mark an empty entry.
struct DefeatedBoss {
    int32_t mode; // gameMode of the dungeon: 4, 5 or 6
    int32_t roomCol;
    int32_t roomRow;
};

// A boss: fought like a monster, grows stronger with every defeat.
struct BossRecord {
    const char *name;
    int32_t hp; // for the next fight
    int32_t defense;
    int32_t attack;
    int32_t maxHp; // also the fight's expReward
    const char *taunt;
};

constexpr int bossCount = 3;

// The bosses as a new game meets them; boss n is bossTable[n - 1].
inline constexpr BossRecord bossTable[bossCount] = {
    {"Molloch", 50, 15, 15, 50, "You will never get past me"},
    {"Agamir", 70, 18, 17, 70, "How did you make it here?  No matter, I will defeat you"},
    {"OldWiseMan", 200, 25, 30, 200, "You will never get past me"},
};

// Boss numbers: boss n is bossTable[n - 1] (and game.bosses[n - 1]); 0 is no boss.
constexpr uint8_t bossMolloch = 1;
constexpr uint8_t bossAgamir = 2;

// A dungeon: the game mode that shows it (what saves and recordings hold), its number in the
// characters' table, its section of "map.txt", its name, and the boss who waits in it.
struct Dungeon {
    GameMode mode;
    int32_t number;     // 1, 2, 3, as npcTable's dungeon column counts them
    const char *mapTag; // "MapTag1" ...
    const char *name;
    uint8_t boss; // bossMolloch, bossAgamir, or 0 for none
};

constexpr int dungeonCount = 3;

// The three dungeons, in the order of their numbers; the game, the data checker, the automatic
// player and (through brinewort-datacheck --facts) the data generators read it.
inline constexpr Dungeon dungeonTable[dungeonCount] = {
    {modeCave, 1, "MapTag1", "Cave", bossMolloch},
    {modeSewer, 2, "MapTag2", "Sewer", bossAgamir},
    {modeCastle, 3, "MapTag3", "Castle", 0},
};

// The dungeon a game mode shows, or null for a mode that is no dungeon.
constexpr const Dungeon *dungeonOfMode(int32_t mode) {
    for (const Dungeon &dungeon : dungeonTable) {
        if (dungeon.mode == mode) return &dungeon;
    }
    return nullptr;
}
// The dungeon of a number of npcTable's dungeon column, or null.
constexpr const Dungeon *dungeonNumbered(int32_t number) {
    for (const Dungeon &dungeon : dungeonTable) {
        if (dungeon.number == number) return &dungeon;
    }
    return nullptr;
}

constexpr int savedNameCapacity = 30;  // a saved player name, with its terminator
constexpr int weaponNameCapacity = 20; // a weapon's name: as long as a pickup text can be

// A dungeon's grid of rooms is at most this many rooms wide and high, so that bad map files
// cannot make the game ask for absurd amounts of memory (the game's own are about 15 by 14).
constexpr int32_t maxGridSide = 100;

// Everything the game keeps for the whole run, from start-up to Quit: the program frame,
// the player's progress (what a save holds) and the random number generator. Its default
// values are those of a program start, and start-up puts them back (resetGameRun).
struct GameRun {
    bool gameRunning = true; // the main loop runs while this holds
    // The screen on show; written only by the main loop and NestedScreen.
    GameMode gameMode = modeTitle;
    Npc npcs[npcCount] = {}; // the characters, in npcTable's order, with who was talked to
    Player player = {};      // the one player
    int8_t itemCounts[itemKinds] = {};                   // item number n is itemCounts[n - 1]
    bool hardMode = false;                               // "Hard" chosen in the options; not saved
    int32_t mollochDefeats = 1;                          // fights won against Molloch, plus 1
    int32_t agamirDefeats = 1;                           // fights won against Agamir, plus 1
    DefeatedBoss defeatedBosses[maxDefeatedBosses] = {}; // boss rooms beaten; used ones first
    BossRecord bosses[bossCount] = {};             // boss n is bosses[n - 1]: grown by every defeat
    uint32_t randState = 1;                        // state of gameRand
    char loadedPlayerName[savedNameCapacity] = {}; // player.name's text after a load
    char loadedWeaponName[weaponNameCapacity] = {}; // player.weaponName's text after a load
};

// --- The whole run ---
extern GameRun game;

// The flashlight's light left, counted down once a second in a dungeon while it burns; saved
// with the game.
struct FlashlightClock {
    int32_t minutes = 0;     // the light left: minutes
    int32_t seconds = 0;     // and seconds
    int32_t lastMillis = 0;  // millisecond part of the last time reading
    int32_t accumMillis = 0; // milliseconds gathered since the timer last fired
    char text[20] = {};      // the clock as last shown
};

// --- Flashlight clock, for the whole run ---
extern FlashlightClock flashlightClock;

// Puts the whole run back as a program start finds it: the record's defaults, the start
// player, the characters of npcTable and the bosses of bossTable.
void resetGameRun();

// The game's one random number generator: the classic linear congruential one, so that the
// same keys give the same game. Returns 0..32767. (The C library owns the name rand.)
int32_t gameRand();
// One draw reduced to 0..n-1 (draw % n). A spread of 0 or less, as a level of 0 read from a
// damaged save would give, yields 0 instead of a division by zero; the draw is made anyway.
int32_t gameRandBelow(int32_t n);

// value + amount, kept at most limit; computed wide, so that it cannot overflow.
inline int32_t addCapped(int32_t value, int64_t amount, int32_t limit) {
    int64_t sum = static_cast<int64_t>(value) + amount;
    return sum > limit ? limit : static_cast<int32_t>(sum);
}

void initPlayer();
// The weapon every game begins with.
void giveStartWeapon();
void clearDefeatedBosses();
// False when the boss of that dungeon room (a game mode, a room) has been beaten.
bool isBossAlive(int32_t mode, int32_t roomRow, int32_t roomCol);
// Notes the boss of that room as beaten (once).
void recordBossDefeat(int32_t mode, int32_t roomRow, int32_t roomCol);
// The bosses as a new game meets them.
void setUpBosses();

// A screen run by another one for as long as this lives: gameMode shows it, and the opener's
// mode comes back however the inner screen ends. The call stack is the stack of screens.
class NestedScreen {
  public:
    explicit NestedScreen(GameMode inner);
    ~NestedScreen();
    NestedScreen(const NestedScreen &) = delete;
    NestedScreen &operator=(const NestedScreen &) = delete;

  private:
    GameMode opener;
};
