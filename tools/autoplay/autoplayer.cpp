// The automatic player: a goal from what it remembers and sees, turned into one key at a time.
#include "autoplay/autoplayer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>
#include <optional>

#include "battle/battle.h"
#include "console/console.h"
#include "dungeon/dungeon.h"
#include "frontend/frontend.h"
#include "game/game.h"
#include "items/items.h"
#include "platform/headless.h"
#include "town/town.h"

namespace {

// A generous bound on the whole game, and on play that changes nothing that matters.
constexpr int maxDecisions = 400000;
constexpr int maxStalledDecisions = 5000;

// The sides of a room are numbered as the doorway table lists them; the key that walks that way.
constexpr char walkKeys[] = "wdsa";
constexpr int rowStep(int side) {
    return doorways[side].rowStep;
}
constexpr int colStep(int side) {
    return doorways[side].columnStep;
}
constexpr int standingThere = 4; // firstStep's answer when the player already stands on a goal

const char *dungeonName(int mode) {
    const Dungeon *dungeon = dungeonOfMode(mode);
    return dungeon != nullptr ? dungeon->name : "none";
}

// The world map place (townState.worldMapCursor) that leads to a mode; 0, the tavern, else.
int placeOf(int mode) {
    for (int place = 0; place < worldMapPlaceCount; place++) {
        if (worldMapPlaces[place].mode == mode) return place;
    }
    return 0;
}

// The boss who waits in a dungeon (0: none) and whether his fights are still to come: each
// boss is beaten twice.
uint8_t bossOf(int mode) {
    const Dungeon *dungeon = dungeonOfMode(mode);
    return dungeon != nullptr ? dungeon->boss : 0;
}

// The arrow that brings a wrapping menu cursor nearer to an entry.
uint16_t arrowToward(int cursor, int wanted, int entries) {
    return (wanted - cursor + entries) % entries <= entries / 2 ? keyDown : keyUp;
}

int weaponStrengthOf(const std::string &item) {
    for (const Weapon &weapon : weaponTable) {
        if (item == weapon.name) return weapon.strength;
    }
    return 0;
}

// The entry of the pickup table an item's text matches, or null (weapons, the flashlight).
const ItemPickup *pickupOf(const std::string &item) {
    for (const ItemPickup &pickup : itemPickups) {
        if (item == pickup.text) return &pickup;
    }
    return nullptr;
}

bool isScrollPickup(const std::string &item) {
    const ItemPickup *pickup = pickupOf(item);
    return pickup != nullptr && pickup->gain == ItemPickup::Gain::charges;
}

// ---------------------------------------------------------------- Fights

// What a fight depends on, on the player's side.
struct Fighter {
    int hp, maxHp, sp, maxSp, level, attack, weapon, defense, spellsKnown;
    int counts[itemKinds];
};

// What it depends on, on the other side.
struct Foe {
    int hp, defense, attack;
    bool boss;
    bool hurt; // hit already in this fight
};

enum Command { commandAttack = 0, commandSpecial = 1, commandItem = 2 };

struct Action {
    Command command;
    int choice;    // the spell's index, or the item's number
    double damage; // on average
    int surest;    // at least
};

Fighter currentFighter() {
    Fighter fighter{.hp = game.player.hp,
                    .maxHp = game.player.maxHp,
                    .sp = game.player.sp,
                    .maxSp = game.player.maxSp,
                    .level = game.player.level,
                    .attack = game.player.attack,
                    .weapon = game.player.weaponStrength,
                    .defense = game.player.defense,
                    .spellsKnown = game.player.spellsKnown,
                    .counts = {}};
    std::copy(game.itemCounts, game.itemCounts + itemKinds, fighter.counts);
    return fighter;
}

Foe bossFoe(int boss) {
    const BossRecord &record = game.bosses[boss - 1];
    return Foe{record.hp, record.defense, record.attack, true, false};
}

// The foe's hardest blow, and its blows on average (a miss counts as none), by the game's rule.
int maxHitOn(const Fighter &fighter, const Foe &foe) {
    return std::max(0, foeBlow(fighter.level - 1, foeDieSides - 1, fighter.defense, foe.attack));
}

double averageHitOn(const Fighter &fighter, const Foe &foe) {
    double total = 0;
    for (int levelRoll = 0; levelRoll < fighter.level; levelRoll++) {
        for (int dieRoll = 0; dieRoll < foeDieSides; dieRoll++)
            total += std::max(0, foeBlow(levelRoll, dieRoll, fighter.defense, foe.attack));
    }
    return total / (foeDieSides * fighter.level);
}

double averageAttack(const Fighter &fighter, const Foe &foe) {
    double total = 0;
    for (int roll = 0; roll < 2 * fighter.level; roll++)
        total += playerBlow(roll, fighter.attack, fighter.weapon, foe.defense);
    return total / (2.0 * fighter.level);
}

// A spell of a power, on average and at least, by the game's rule.
Action spellAction(Command command, int choice, int power) {
    return Action{command, choice, (spellBlow(0, power) + spellBlow(power + 1, power)) / 2.0,
                  spellBlow(0, power)};
}

// The player's move, as a sensible player makes it: food when the next blow could be the last
// and this turn cannot end the fight; else the strongest move. Skill spells are for bosses and
// for monsters that blows do not hurt; a scroll is cast whenever it beats the attack (scrolls
// come back on every visit), but a hurt foe that a blow surely ends gets the blow; the Cookie
// when the skill points run out and spells would help.
Action chooseAction(const Fighter &fighter, const Foe &foe) {
    Action attack{commandAttack, 0, averageAttack(fighter, foe),
                  playerBlow(0, fighter.attack, fighter.weapon, foe.defense)};
    Action best = attack;
    auto consider = [&best](const Action &action) {
        if (action.damage > best.damage) best = action;
    };
    bool attacksFail = attack.damage < 1;
    bool spellsCount = foe.boss || attacksFail;
    bool blastBeatsAttack = spellAction(commandSpecial, 0, 0).damage > attack.damage;
    if (spellsCount) {
        for (int spell = 0; spell < fighter.spellsKnown; spell++) {
            if (2 * spell + 2 <= fighter.sp) consider(spellAction(commandSpecial, spell, spell));
        }
    }
    if (!foe.hurt || attack.surest < foe.hp) {
        for (int scroll : {itemFireSpell, itemWindSpell, itemQuakeSpell, itemLightningSpell}) {
            int power = scroll == itemLightningSpell ? 6 : 4;
            if (fighter.counts[scroll - 1] > 0) consider(spellAction(commandItem, scroll, power));
        }
    }
    bool cookie = fighter.counts[itemCookie - 1] > 0;
    bool outOfSp = fighter.sp < 2;
    if (fighter.hp > maxHitOn(fighter, foe) || best.surest >= foe.hp) {
        if (spellsCount && outOfSp && cookie && best.command == commandAttack && blastBeatsAttack)
            return Action{commandItem, itemCookie, 0, 0};
        return best;
    }
    double hit = averageHitOn(fighter, foe);
    int missing = fighter.maxHp - fighter.hp;
    bool apple = fighter.counts[itemApple - 1] > 0, fish = fighter.counts[itemFishSandwich - 1] > 0;
    if (fish && (missing >= 40 || !apple) && std::min(missing, 60) > hit)
        return Action{commandItem, itemFishSandwich, 0, 0};
    if (apple && std::min(missing, 20) > hit) return Action{commandItem, itemApple, 0, 0};
    return best;
}

// Plays a fight out on average numbers with the player's own choices, the foe striking first.
// A pessimistic foe hits halfway between its average and its best.
bool canBeat(Fighter fighter, Foe foe, bool pessimistic) {
    double average = averageHitOn(fighter, foe);
    int hit =
        static_cast<int>(std::ceil(pessimistic ? (average + maxHitOn(fighter, foe)) / 2 : average));
    for (int turn = 0; turn < 200; turn++) {
        fighter.hp -= hit;
        if (fighter.hp <= 0) return false;
        Action action = chooseAction(fighter, foe);
        foe.hp -= static_cast<int>(action.damage);
        foe.hurt = foe.hurt || action.damage > 0;
        if (action.command == commandSpecial) fighter.sp -= 2 * action.choice + 2;
        if (action.command == commandItem) {
            fighter.counts[action.choice - 1]--;
            int heal = action.choice == itemApple ? 20 : action.choice == itemFishSandwich ? 60 : 0;
            fighter.hp = std::min(fighter.maxHp, fighter.hp + heal);
            if (action.choice == itemCookie) fighter.sp = std::min(fighter.maxSp, fighter.sp + 20);
        }
        if (foe.hp <= 0) return true;
    }
    return false;
}

// A boss that won last time is fought again only after a level more; a bold player tries once
// more at the same level first, as a player who has just slept it off does.
bool lostAtThisLevel(const AutoPlayer &bot, int boss) {
    auto lost = bot.bossLostAtLevel.find(boss);
    if (lost == bot.bossLostAtLevel.end() || game.player.level > lost->second) return false;
    auto times = bot.bossDefeatsAtLevel.find(boss);
    int defeats = times == bot.bossDefeatsAtLevel.end() ? 0 : times->second;
    return bot.style == PlayStyle::careful || defeats >= 2;
}

bool readyFor(const AutoPlayer &bot, int boss, const Fighter &fighter, bool pessimistic) {
    return !lostAtThisLevel(bot, boss) && canBeat(fighter, bossFoe(boss), pessimistic);
}

// ---------------------------------------------------------------- Dungeons

const Room &currentRoom() {
    return dungeonVisit.rooms[dungeonVisit.roomRow * dungeonVisit.width + dungeonVisit.roomCol];
}

int currentRoomIndex() {
    return dungeonVisit.roomRow * dungeonVisit.width + dungeonVisit.roomCol;
}

DungeonMemory rememberDungeon() {
    DungeonMemory map{.width = dungeonVisit.width,
                      .height = dungeonVisit.height,
                      .startRow = dungeonVisit.roomRow,
                      .startCol = dungeonVisit.roomCol,
                      .rooms = {}};
    for (int i = 0; i < map.width * map.height; i++) {
        const Room &room = dungeonVisit.rooms[i];
        RoomMemory memory;
        memory.exists = room.state != RoomState::absent;
        for (int side = 0; side < 4; side++)
            memory.open[side] = room.cells[doorways[side].row][doorways[side].column] == ' ';
        if (room.featureCode != nullptr) memory.feature = room.featureCode.get();
        if (room.pickupText != nullptr) memory.pickup = room.pickupText.get();
        map.rooms.push_back(memory);
    }
    return map;
}

// Whether the player may walk out of a room through a side: an opening to a room, and no
// locked door there that its keys do not open.
bool mayLeave(const DungeonMemory &map, int index, int side) {
    const RoomMemory &room = map.rooms[index];
    int row = index / map.width + rowStep(side), col = index % map.width + colStep(side);
    if (!room.open[side] || row < 0 || row >= map.height || col < 0 || col >= map.width)
        return false;
    if (!map.rooms[row * map.width + col].exists) return false;
    const DoorKind *door = lockedDoorOf(room.feature.c_str(), doorways[side].side);
    return door == nullptr || (door->keyItem != 0 && itemCount(door->keyItem) != 0);
}

// Rooms reachable from one room: how many rooms away, and the side to leave by first.
struct Routes {
    std::vector<int> distance, firstSide; // -1 where unreachable
};

Routes routesFrom(const DungeonMemory &map, int row, int col) {
    Routes routes{std::vector<int>(map.rooms.size(), -1), std::vector<int>(map.rooms.size(), -1)};
    std::deque<int> queue{row * map.width + col};
    routes.distance[queue.front()] = 0;
    while (!queue.empty()) {
        int index = queue.front();
        queue.pop_front();
        for (int side = 0; side < 4; side++) {
            int next = index + rowStep(side) * map.width + colStep(side);
            if (!mayLeave(map, index, side) || routes.distance[next] >= 0) continue;
            routes.distance[next] = routes.distance[index] + 1;
            routes.firstSide[next] = routes.distance[index] == 0 ? side : routes.firstSide[index];
            queue.push_back(next);
        }
    }
    return routes;
}

// The nearest room whose item the player wants: one it has not taken yet, or the best weapon
// it can reach when that beats the one in hand (weapons are not kept in a saved game). -1: none.
int nearestWantedItem(const AutoPlayer &bot, int mode, const Routes &routes) {
    const DungeonMemory &map = bot.dungeons.at(mode);
    int bestWeapon = 0, nearest = -1;
    for (size_t i = 0; i < map.rooms.size(); i++) {
        if (routes.distance[i] >= 0)
            bestWeapon = std::max(bestWeapon, weaponStrengthOf(map.rooms[i].pickup));
    }
    for (size_t i = 0; i < map.rooms.size(); i++) {
        int weapon = weaponStrengthOf(map.rooms[i].pickup);
        bool wanted = bot.emptied.count({mode, static_cast<int>(i)}) == 0 ||
                      (weapon == bestWeapon && weapon > game.player.weaponStrength);
        if (routes.distance[i] < 0 || map.rooms[i].pickup.empty() || !wanted) continue;
        if (nearest < 0 || routes.distance[i] < routes.distance[nearest])
            nearest = static_cast<int>(i);
    }
    return nearest;
}

// The nearest room of a dungeon whose boss is still waiting; -1: none. Only the Cave and the
// Sewer have bosses that fight.
int nearestBoss(const AutoPlayer &bot, int mode, const Routes &routes) {
    if (bossOf(mode) == 0) return -1;
    const DungeonMemory &map = bot.dungeons.at(mode);
    int nearest = -1;
    for (size_t i = 0; i < map.rooms.size(); i++) {
        int row = static_cast<int>(i) / map.width, col = static_cast<int>(i) % map.width;
        if (routes.distance[i] < 0 || map.rooms[i].feature != "Boss" ||
            !isBossAlive(mode, row, col))
            continue;
        if (nearest < 0 || routes.distance[i] < routes.distance[nearest])
            nearest = static_cast<int>(i);
    }
    return nearest;
}

enum class GoalKind { tavern, dungeon, pickup, boss, grind };

struct Goal {
    GoalKind kind;
    int mode = 0;  // the dungeon
    int room = -1; // its room index, for a pickup or a boss
    std::string text;
};

// The roads of a dungeon: from the player's room when it is in there, else from the entrance.
Routes routesInDungeon(const AutoPlayer &bot, int mode, int here) {
    const DungeonMemory &map = bot.dungeons.at(mode);
    return mode == here ? routesFrom(map, dungeonVisit.roomRow, dungeonVisit.roomCol)
                        : routesFrom(map, map.startRow, map.startCol);
}

Goal explore(int mode) {
    return Goal{.kind = GoalKind::dungeon,
                .mode = mode,
                .text = std::string("explore the ") + dungeonName(mode)};
}

// What the player makes of a boss it can reach: fight him now, rest first, or train first.
enum class Readiness { fight, rest, train };

// The nearest waiting boss of the dungeon the player is in, else of the Cave, else of the
// Sewer (the Castle's boss does not fight), as a goal of what readiness (of the boss number)
// says; none when no boss can be reached.
template <typename Judge>
std::optional<Goal> bossGoal(const AutoPlayer &bot, int here, Judge readiness) {
    std::vector<int> modes{here};
    for (const Dungeon &dungeon : dungeonTable)
        modes.push_back(dungeon.mode);
    for (int mode : modes) {
        if (mode == 0 || bot.dungeons.count(mode) == 0) continue;
        int room = nearestBoss(bot, mode, routesInDungeon(bot, mode, here));
        if (room < 0) continue;
        int boss = bossOf(mode);
        std::string name = game.bosses[boss - 1].name;
        switch (readiness(boss)) {
        case Readiness::train:
            return Goal{.kind = mode == here ? GoalKind::grind : GoalKind::dungeon,
                        .mode = mode,
                        .text = "gain a level before fighting " + name};
        case Readiness::rest:
            return Goal{.kind = GoalKind::tavern, .text = "rest before fighting " + name};
        case Readiness::fight:
            break;
        }
        return Goal{.kind = mode == here ? GoalKind::boss : GoalKind::dungeon,
                    .mode = mode,
                    .room = room,
                    .text = "fight " + name};
    }
    return std::nullopt;
}

// What to do next: items first (wherever they are), then the bosses one can beat, gaining
// levels first where one cannot; rest in the tavern when low, and save once after the first
// fight against Molloch.
Goal chooseCarefulGoal(const AutoPlayer &bot) {
    int here = dungeonVisit.rooms != nullptr ? game.gameMode : 0;
    if (game.mollochDefeats >= 2 && !bot.saved)
        return Goal{.kind = GoalKind::tavern, .text = "save the game"};
    if (game.player.hp * 5 < game.player.maxHp * 2)
        return Goal{.kind = GoalKind::tavern, .text = "rest"};
    auto routesIn = [&](int mode) { return routesInDungeon(bot, mode, here); };
    if (here != 0) {
        int room = nearestWantedItem(bot, here, routesIn(here));
        if (room >= 0) {
            return Goal{.kind = GoalKind::pickup,
                        .mode = here,
                        .room = room,
                        .text = "pick up the " + bot.dungeons.at(here).rooms[room].pickup};
        }
    }
    for (const Dungeon &dungeon : dungeonTable) {
        int mode = dungeon.mode;
        if (mode == here) continue;
        if (bot.dungeons.count(mode) == 0) return explore(mode);
        if (nearestWantedItem(bot, mode, routesIn(mode)) >= 0)
            return Goal{.kind = GoalKind::dungeon,
                        .mode = mode,
                        .text = std::string("fetch items in the ") + dungeonName(mode)};
    }
    std::optional<Goal> boss = bossGoal(bot, here, [&bot](int number) {
        Fighter rested = currentFighter();
        rested.hp = rested.maxHp;
        rested.sp = rested.maxSp;
        if (!readyFor(bot, number, rested, true)) return Readiness::train;
        return readyFor(bot, number, currentFighter(), false) ? Readiness::fight : Readiness::rest;
    });
    if (boss) return *boss;
    throw PlayerStuck{describeSituation(bot) + ": nothing left to do, yet the game goes on"};
}

// Whether a dungeon still has a boss fight to come: Molloch's two in the Cave, Agamir's two in
// the Sewer; the Castle has none.
bool bossAhead(int mode) {
    uint8_t boss = bossOf(mode);
    int32_t defeats = boss == bossMolloch ? game.mollochDefeats : game.agamirDefeats;
    return boss != 0 && defeats < 3;
}

// What a bold player goes for in a dungeon before its bosses: the keys it lacks; for the
// thorough player every room of a dungeon with a boss fight to come that it has not entered;
// for the gatherer every scroll it found, once more (but not while this visit has taken it
// already). The nearest, or -1.
int nearestErrand(const AutoPlayer &bot, int mode, const Routes &routes, int here) {
    const DungeonMemory &map = bot.dungeons.at(mode);
    // Of two errands as near, the one farther from a waiting boss: a side way is best walked
    // before the road on to the boss.
    std::vector<int> fromBoss(map.rooms.size(), 0);
    for (size_t i = 0; i < map.rooms.size(); i++) {
        int row = static_cast<int>(i) / map.width, col = static_cast<int>(i) % map.width;
        if (map.rooms[i].feature != "Boss" || !isBossAlive(mode, row, col)) continue;
        Routes fromThisBoss = routesFrom(map, row, col);
        for (size_t j = 0; j < map.rooms.size(); j++) {
            if (fromThisBoss.distance[j] >= 0 &&
                (fromBoss[j] == 0 || fromThisBoss.distance[j] < fromBoss[j]))
                fromBoss[j] = fromThisBoss.distance[j];
        }
    }
    auto nearer = [&](size_t a, int b) {
        size_t other = static_cast<size_t>(b);
        return routes.distance[a] < routes.distance[other] ||
               (routes.distance[a] == routes.distance[other] && fromBoss[a] > fromBoss[other]);
    };
    int nearest = -1;
    for (size_t i = 0; i < map.rooms.size(); i++) {
        int index = static_cast<int>(i);
        if (routes.distance[i] < 0) continue;
        const ItemPickup *pickup = pickupOf(map.rooms[i].pickup);
        bool errand = pickup != nullptr && pickup->gain == ItemPickup::Gain::flag &&
                      itemCount(pickup->item) == 0;
        if (bot.style == PlayStyle::thorough && bossAhead(mode))
            errand = errand || bot.roomsSeen.count({mode, index}) == 0;
        if (bot.style == PlayStyle::gatherer && bot.scrollsFound.count({mode, index}) != 0 &&
            bot.scrollsAgain.count({mode, index}) == 0)
            errand = errand || mode != here || bot.takenThisVisit.count(index) == 0;
        if (errand && (nearest < 0 || nearer(i, nearest))) nearest = index;
    }
    return nearest;
}

// A scroll of this dungeon the gatherer wants again, which only another visit brings back.
bool fetchAgainNextVisit(const AutoPlayer &bot, int mode) {
    if (bot.style != PlayStyle::gatherer) return false;
    for (int index : bot.takenThisVisit) {
        if (bot.scrollsFound.count({mode, index}) != 0 &&
            bot.scrollsAgain.count({mode, index}) == 0)
            return true;
    }
    return false;
}

// The bold players' next goal: their errands where they are, then in the other dungeons they
// know, then the nearest boss, then the dungeons not seen yet, in the order the reward
// messages send a player (the Castle before the Sewer). A boss that won is fought again only
// after a level more.
Goal chooseBoldGoal(const AutoPlayer &bot) {
    int here = dungeonVisit.rooms != nullptr ? game.gameMode : 0;
    if (game.player.hp * 5 < game.player.maxHp * 2)
        return Goal{.kind = GoalKind::tavern, .text = "rest"};
    auto routesIn = [&](int mode) { return routesInDungeon(bot, mode, here); };
    if (here != 0) {
        int room = nearestErrand(bot, here, routesIn(here), here);
        if (room >= 0) {
            const std::string &item = bot.dungeons.at(here).rooms[room].pickup;
            return Goal{.kind = GoalKind::pickup,
                        .mode = here,
                        .room = room,
                        .text = item.empty() ? "look into every room" : "fetch the " + item};
        }
        if (fetchAgainNextVisit(bot, here))
            return Goal{.kind = GoalKind::dungeon, .mode = here, .text = "come back for a scroll"};
    }
    const int order[] = {modeCave, modeCastle, modeSewer};
    for (int mode : order) {
        if (mode != here && bot.dungeons.count(mode) != 0 &&
            nearestErrand(bot, mode, routesIn(mode), here) >= 0)
            return Goal{.kind = GoalKind::dungeon,
                        .mode = mode,
                        .text = std::string("errands in the ") + dungeonName(mode)};
    }
    std::optional<Goal> boss = bossGoal(bot, here, [&bot](int number) {
        return lostAtThisLevel(bot, number) ? Readiness::train : Readiness::fight;
    });
    if (boss) return *boss;
    for (int mode : order) {
        if (mode != here && bot.dungeons.count(mode) == 0) return explore(mode);
    }
    throw PlayerStuck{describeSituation(bot) + ": nothing left to do, yet the game goes on"};
}

Goal chooseGoal(const AutoPlayer &bot) {
    return bot.style == PlayStyle::careful ? chooseCarefulGoal(bot) : chooseBoldGoal(bot);
}

// Cells of the room to walk to.
struct Targets {
    bool cell[roomRows][roomColumns] = {};
};

bool interior(int row, int col) {
    return row >= 1 && row < roomRows - 1 && col >= 1 && col < roomColumns - 1;
}

bool walkable(char cell) {
    return cell == ' ' || cell == cellNpc || cell == cellPickup;
}

// The side of the first step of a shortest walk from the player to a target cell;
// standingThere when the player stands on one; -1 when none can be reached. Without
// overItem the walk goes round the room's item instead of picking it up.
int firstStep(const Room &room, const Targets &targets, bool overItem = true) {
    int startRow = game.player.playerRoomY, startCol = game.player.playerRoomX;
    if (targets.cell[startRow][startCol]) return standingThere;
    int first[roomRows][roomColumns];
    std::fill(&first[0][0], &first[0][0] + roomRows * roomColumns, -1);
    std::deque<std::pair<int, int>> queue{{startRow, startCol}};
    while (!queue.empty()) {
        auto [row, col] = queue.front();
        queue.pop_front();
        for (int side = 0; side < 4; side++) {
            int nextRow = row + rowStep(side), nextCol = col + colStep(side);
            if (nextRow < 0 || nextRow >= roomRows || nextCol < 0 || nextCol >= roomColumns ||
                first[nextRow][nextCol] >= 0 || (nextRow == startRow && nextCol == startCol))
                continue;
            bool target = targets.cell[nextRow][nextCol];
            char cell = room.cells[nextRow][nextCol];
            if (!target &&
                !(interior(nextRow, nextCol) && walkable(cell) && (overItem || cell != cellPickup)))
                continue;
            first[nextRow][nextCol] = row == startRow && col == startCol ? side : first[row][col];
            if (target) return first[nextRow][nextCol];
            queue.push_back({nextRow, nextCol});
        }
    }
    return -1;
}

Targets doorway(int side) {
    Targets targets;
    targets.cell[doorways[side].row][doorways[side].column] = true;
    return targets;
}

Targets cellsHolding(const Room &room, char glyph) {
    Targets targets;
    for (int row = 0; row < roomRows; row++) {
        for (int col = 0; col < roomColumns; col++)
            targets.cell[row][col] = room.cells[row][col] == glyph;
    }
    return targets;
}

// Floor cells beside a glyph, from where 't' reaches it.
Targets besideGlyph(const Room &room, char glyph) {
    Targets held = cellsHolding(room, glyph), targets;
    for (int row = 1; row < roomRows - 1; row++) {
        for (int col = 1; col < roomColumns - 1; col++) {
            if (!walkable(room.cells[row][col]) || room.cells[row][col] == glyph) continue;
            for (int side = 0; side < 4; side++) {
                if (held.cell[row + rowStep(side)][col + colStep(side)])
                    targets.cell[row][col] = true;
            }
        }
    }
    return targets;
}

// Any other floor cell: pacing about until monsters come.
Targets otherFloor(const Room &room) {
    Targets targets = cellsHolding(room, ' ');
    for (int row = 0; row < roomRows; row++) {
        for (int col = 0; col < roomColumns; col++)
            targets.cell[row][col] = targets.cell[row][col] && interior(row, col);
    }
    targets.cell[game.player.playerRoomY][game.player.playerRoomX] = false;
    return targets;
}

// Characters of this room that have not spoken yet (talking is optional, and cheap).
bool characterWaiting(const AutoPlayer &bot, const Room &room) {
    if (!featureIs(room, "NPC") || bot.silent.count({game.gameMode, currentRoomIndex()}) != 0)
        return false;
    for (const Npc &npc : game.npcs) {
        const Dungeon *dungeon = dungeonNumbered(npc.dungeon);
        if (dungeon != nullptr && dungeon->mode == game.gameMode &&
            npc.roomCol == dungeonVisit.roomCol && npc.roomRow == dungeonVisit.roomRow &&
            !npc.talkedTo)
            return true;
    }
    return false;
}

// Keeps the dungeon in memory at the start of a visit, and notes rooms entered and items taken.
void lookAround(AutoPlayer &bot) {
    if (!bot.visitRemembered) {
        bot.dungeons[game.gameMode] = rememberDungeon();
        bot.visitRemembered = true;
        bot.lastRoom = -1;
        bot.lastDungeon = game.gameMode;
        bot.takenThisVisit.clear();
    }
    int index = currentRoomIndex();
    if (index != bot.lastRoom) {
        bot.roomEntries++;
        bot.roomsSeen.insert({game.gameMode, index});
        bot.lastRoom = index;
    }
    const Room &room = currentRoom();
    bool itemShown = false;
    for (const auto &row : room.cells)
        itemShown = itemShown || std::memchr(row, cellPickup, roomColumns) != nullptr;
    if (room.pickupText == nullptr || room.state != RoomState::shown || itemShown) return;
    bot.emptied.insert({game.gameMode, index});
    if (bot.takenThisVisit.insert(index).second && isScrollPickup(room.pickupText.get())) {
        std::pair<int, int> place{game.gameMode, index};
        if (!bot.scrollsFound.insert(place).second) bot.scrollsAgain.insert(place);
    }
}

char walkKey(AutoPlayer &bot, int step) {
    if (step < 0) throw PlayerStuck{describeSituation(bot) + ": no way there inside this room"};
    bot.steps++;
    return walkKeys[step];
}

char dungeonKey(AutoPlayer &bot) {
    lookAround(bot);
    Goal goal = chooseGoal(bot);
    bot.goal = goal.text;
    const Room &room = currentRoom();
    bool staying = goal.kind != GoalKind::tavern && goal.kind != GoalKind::dungeon;
    if (staying && characterWaiting(bot, room)) {
        int step = firstStep(room, besideGlyph(room, cellNpc));
        if (step == standingThere) return 't';
        if (step >= 0) return walkKey(bot, step);
        bot.silent.insert({game.gameMode, currentRoomIndex()});
    }
    if (!staying) return 'p';
    // A bold player takes what lies in the rooms on its way, where the rubble lets it.
    bool item = room.pickupText != nullptr;
    bool overItem =
        !(bot.style == PlayStyle::noScrolls && item && isScrollPickup(room.pickupText.get()));
    if (bot.style != PlayStyle::careful && overItem) {
        int step = firstStep(room, cellsHolding(room, cellPickup));
        if (step >= 0 && step != standingThere) return walkKey(bot, step);
    }
    if (goal.kind == GoalKind::grind)
        return walkKey(bot, firstStep(room, otherFloor(room), overItem));
    if (goal.room != currentRoomIndex()) {
        const DungeonMemory &map = bot.dungeons.at(game.gameMode);
        int side = routesFrom(map, dungeonVisit.roomRow, dungeonVisit.roomCol).firstSide[goal.room];
        int step = firstStep(room, doorway(side), overItem);
        // A boss, or a scroll it will not step on, can stand in the only gap the rubble left:
        // the rubble lies otherwise on the next visit.
        if (step < 0) return 'p';
        return walkKey(bot, step == standingThere ? side : step);
    }
    // Rubble can wall in an item or a boss; it lies differently on the next visit.
    if (goal.kind == GoalKind::pickup) {
        int step = firstStep(room, cellsHolding(room, cellPickup));
        return step < 0 ? 'p' : walkKey(bot, step);
    }
    int step = firstStep(room, besideGlyph(room, cellBoss), overItem);
    return step == standingThere ? 't' : step < 0 ? 'p' : walkKey(bot, step);
}

// ---------------------------------------------------------------- Other screens

void titleKey(AutoPlayer &bot) {
    bool won = game.agamirDefeats >= 3;
    if (won && !bot.quitWhenWon) return; // nothing more to press: the run ends here
    int wanted = won ? mainMenuEntries - 1 : bot.continueNext ? 1 : 0;
    bot.goal = wanted == 1 ? "continue the saved game" : "start a new game";
    headlessPress(titleScreen.mainMenuCursor == wanted
                      ? keyEnter
                      : arrowToward(titleScreen.mainMenuCursor, wanted, mainMenuEntries));
}

void tavernKey(AutoPlayer &bot) {
    bot.continueNext = false;
    int wanted = 0; // World Map
    if (game.player.hp < game.player.maxHp || game.player.sp < game.player.maxSp) {
        wanted = 2; // Sleep
    } else if (game.mollochDefeats >= 2 && !bot.saved) {
        wanted = 3; // Save
    } else if (bot.saved && !bot.quitAfterSave) {
        wanted = 5; // Quit, to start the program again
    }
    bot.goal = std::string("choose") + tavernMenu[wanted].label + "in the tavern";
    if (townState.tavernCursor != wanted) {
        headlessPress(arrowToward(townState.tavernCursor, wanted, tavernMenuEntries));
        return;
    }
    if (wanted == 3) {
        bot.saved = true;
        bot.saves++;
    }
    if (wanted == 5) bot.quitAfterSave = bot.continueNext = true;
    headlessPress(keyEnter);
}

void worldMapKey(AutoPlayer &bot) {
    Goal goal = chooseGoal(bot);
    bot.goal = goal.text;
    int place = goal.kind == GoalKind::tavern ? 0 : placeOf(goal.mode);
    headlessPress(townState.worldMapCursor == place ? keyEnter : worldMapPlaces[place].arrowKey);
}

// The opponent's hit points when the battle began.
int fullHpOfFoe() {
    const Monster &foe = battleState.currentMonster;
    if (battleState.currentBoss != 0) return game.bosses[battleState.currentBoss - 1].hp;
    for (const Monster &kind : monsterTable) {
        if (std::strcmp(kind.name, foe.name) == 0) return kind.hp;
    }
    return foe.hp;
}

void battleKey(AutoPlayer &bot) {
    const Monster &monster = battleState.currentMonster;
    Foe foe{monster.hp, monster.defense, monster.attack, battleState.currentBoss != 0,
            monster.hp < fullHpOfFoe()};
    Action action = chooseAction(currentFighter(), foe);
    bot.goal = std::string("beat the ") + battleState.currentMonster.name;
    if (game.gameMode == modeInventory) {
        int index = -1;
        for (int i = 0; i < inventoryScreen.length; i++) {
            if (inventoryScreen.list[i] == action.choice) index = i;
        }
        if (inventoryScreen.opener != InventoryOpener::battle || action.command != commandItem ||
            index < 0)
            headlessPress(keyLeft);
        else if (inventoryScreen.cursor == index)
            headlessPress(keyEnter);
        else
            headlessPress(arrowToward(inventoryScreen.cursor, index, inventoryScreen.length));
    } else if (battleState.specialMenuOpen) {
        if (action.command != commandSpecial)
            headlessPress(keyLeft);
        else
            headlessPress(battleState.spellCursor < action.choice   ? keyDown
                          : battleState.spellCursor > action.choice ? keyUp
                                                                    : keyEnter);
    } else {
        headlessPress(battleState.commandCursor == action.command
                          ? keyEnter
                          : arrowToward(battleState.commandCursor, action.command, commandCount));
    }
}

// Fails a player that goes on too long, or too long without anything changing.
void countDecision(AutoPlayer &bot) {
    auto progress =
        std::make_tuple(bot.roomEntries, static_cast<int>(bot.emptied.size()), bot.battles,
                        bot.saves, static_cast<int>(game.gameMode), game.player.level);
    bot.stalledDecisions = progress == bot.lastProgress ? bot.stalledDecisions + 1 : 0;
    bot.lastProgress = progress;
    if (++bot.decisions > maxDecisions)
        throw PlayerStuck{describeSituation(bot) + ": too many key presses"};
    if (bot.stalledDecisions > maxStalledDecisions)
        throw PlayerStuck{describeSituation(bot) + ": no progress for a long time"};
}

} // namespace

void pressNextKey(AutoPlayer &bot) {
    countDecision(bot);
    if (dungeonVisit.rooms == nullptr) bot.visitRemembered = false;
    switch (game.gameMode) {
    case modeTitle:
        titleKey(bot);
        break;
    case modeTavern:
        tavernKey(bot);
        break;
    case modeWorldMap:
        worldMapKey(bot);
        break;
    case modeBattle:
    case modeInventory:
        battleKey(bot);
        break;
    case modeCave:
    case modeSewer:
    case modeCastle:
        // Once the step counter has run out the game rolls for a battle many times a second,
        // so a player meets it before the next step: the player waits for it.
        if (dungeonVisit.rooms != nullptr && dungeonVisit.stepsUntilEncounter <= 0) {
            headlessIdle(1);
            break;
        }
        headlessPressCharacter(dungeonKey(bot));
        break;
    default:
        throw PlayerStuck{describeSituation(bot) + ": a screen the player does not know"};
    }
}

void watchScreen(AutoPlayer &bot) {
    bool fighting =
        game.gameMode == modeBattle ||
        (game.gameMode == modeInventory && inventoryScreen.opener == InventoryOpener::battle);
    if (fighting && !bot.fighting) {
        bot.battles++;
        bot.foeBoss = battleState.currentBoss;
    } else if (!fighting && bot.fighting) {
        if (game.gameMode == modeTavern) {
            bot.defeats++;
            if (bot.foeBoss != 0) {
                auto lost = bot.bossLostAtLevel.find(bot.foeBoss);
                bool again = lost != bot.bossLostAtLevel.end() && lost->second == game.player.level;
                bot.bossDefeatsAtLevel[bot.foeBoss] =
                    again ? bot.bossDefeatsAtLevel[bot.foeBoss] + 1 : 1;
                bot.bossLostAtLevel[bot.foeBoss] = game.player.level;
            }
        } else {
            bot.battlesWon++;
        }
    }
    bot.fighting = fighting;
    const char *lastCredit = creditLines[creditLineCount - 1];
    if (fighting && !bot.creditsSeen) {
        size_t length = std::strlen(lastCredit);
        bool shown = true;
        for (size_t i = 0; i < length && shown; i++)
            shown = console.screenCells[10][10 + i].glyph == static_cast<uint8_t>(lastCredit[i]);
        bot.creditsSeen = shown;
    }
}

std::string describeSituation(const AutoPlayer &bot) {
    std::string text = "mode " + std::to_string(game.gameMode);
    if (dungeonVisit.rooms != nullptr) {
        text += std::string(" in the ") + dungeonName(bot.lastDungeon) + ", room " +
                std::to_string(dungeonVisit.roomCol) + "," + std::to_string(dungeonVisit.roomRow) +
                ", position " + std::to_string(game.player.playerRoomX) + "," +
                std::to_string(game.player.playerRoomY);
    }
    return text + ", hp " + std::to_string(game.player.hp) + "/" +
           std::to_string(game.player.maxHp) + ", level " + std::to_string(game.player.level) +
           ", " + std::to_string(bot.decisions) + " key presses; goal: " + bot.goal;
}
