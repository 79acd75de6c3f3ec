// Exploring a dungeon: one visit from loading its rooms to leaving, and the step that polls
// the keyboard and carries out the keys: walking, doors, pickups, talk, the inventory, the
// overhead map, random encounters and leaving.
#include <cstring>

#include "battle/battle.h"
#include "console/console.h"
#include "dungeon/dungeon.h"
#include "game/game.h"
#include "items/items.h"
#include "resources/resources.h"

// A direction of walking.
struct Walk {
    char key;
    const Doorway &doorway; // the wall it leads through
};
static const Walk walks[] = {
    {'w', doorways[0]}, {'s', doorways[2]}, {'a', doorways[3]}, {'d', doorways[1]}};

static Room &currentRoom(const DungeonVisit &visit) {
    return visit.rooms[visit.roomRow * visit.width + visit.roomCol];
}

static void redraw(DungeonVisit &visit) {
    readyRoom(currentRoom(visit));
    drawRoomScreen(visit.rooms.get(), visit.roomRow, visit.roomCol, visit.width, visit.seenCells,
                   visit.roomChanged);
}

// Whether a position lies on the wall a walk leads through.
static bool onWall(const Walk &walk, int row, int column) {
    const Doorway &doorway = walk.doorway;
    return doorway.rowStep != 0 ? row == doorway.row : column == doorway.column;
}

// Steps through the wall into the next room. A doorway that leads off the grid or to a place
// without a room is treated as blocked.
static void changeRoom(DungeonVisit &visit, const Walk &walk) {
    int32_t row = visit.roomRow + walk.doorway.rowStep;
    int32_t column = visit.roomCol + walk.doorway.columnStep;
    if (row < 0 || row >= visit.height || column < 0 || column >= visit.width) return;
    if (visit.rooms[row * visit.width + column].state == RoomState::absent) return;
    visit.roomRow = row;
    visit.roomCol = column;
    if (walk.doorway.rowStep != 0)
        game.player.playerRoomY = walk.doorway.rowStep < 0 ? roomRows - 1 : 0;
    if (walk.doorway.columnStep != 0)
        game.player.playerRoomX = walk.doorway.columnStep < 0 ? roomColumns - 1 : 0;
    visit.roomChanged = true;
    resetSeenCells(currentRoom(visit), visit.seenCells);
    redraw(visit);
}

// A message in the panel, a second to read it, then the room again.
static void endMessage(DungeonVisit &visit) {
    waitMillis(1000);
    clearScreen(0);
    redraw(visit);
}

// Whether the room's locked door (if this wall has one) lets the player through. A held
// key opens it for the rest of the visit.
static bool doorLetsThrough(DungeonVisit &visit, Side side) {
    Room &room = currentRoom(visit);
    const DoorKind *door = lockedDoorOf(room.featureCode.get(), side);
    if (door == nullptr) return true;
    if (door->keyItem == 0) {
        typeText("Beyond this door is the secret of the Brinewort.  The likes of which is meant "
                 "for no man.",
                 colourWhite, messageWidth, messageColumn, messageRow);
    } else if (itemCount(door->keyItem) != 0) {
        room.featureCode[0] = '\0';
        return true;
    } else if (door->word == nullptr) {
        typeText("You need a white key to go through there.", colourWhite, messageWidth,
                 messageColumn, messageRow);
    } else {
        // The colour word in its own colour, right behind the opening words.
        static const char needA[] = "You need a ";
        typeText(needA, colourWhite, messageWidth, messageColumn, messageRow);
        typeText(door->word, door->wordColour, messageWidth,
                 messageColumn + static_cast<int>(sizeof needA - 1), messageRow);
        typeText("key to go through there.", colourWhite, messageWidth, messageColumn,
                 messageRow + 1);
    }
    endMessage(visit);
    return false;
}

static void pickUp(DungeonVisit &visit, int row, int column) {
    Room &room = currentRoom(visit);
    game.player.playerRoomY = row;
    game.player.playerRoomX = column;
    redraw(visit);
    room.cells[row][column] = ' ';
    typeText("You have just picked up a: ", colourWhite, messageWidth, messageColumn, messageRow);
    typeText(room.pickupText.get(), colourWhite, messageWidth, messageColumn, messageRow + 2);
    if (room.pickupText != nullptr) pickUpItem(room.pickupText.get());
    endMessage(visit);
}

static void walk(DungeonVisit &visit, const Walk &walk) {
    int row = game.player.playerRoomY;
    int column = game.player.playerRoomX;
    if (row < 0 || row >= roomRows || column < 0 || column >= roomColumns) return;
    // Standing in a doorway (just arrived): straight back out, no door in the way.
    if (onWall(walk, row, column)) {
        changeRoom(visit, walk);
        return;
    }
    int targetRow = row + walk.doorway.rowStep;
    int targetColumn = column + walk.doorway.columnStep;
    char cell = currentRoom(visit).cells[targetRow][targetColumn];
    if (cell == ' ' || cell == cellNpc) {
        if (onWall(walk, targetRow, targetColumn)) {
            if (doorLetsThrough(visit, walk.doorway.side)) changeRoom(visit, walk);
        } else {
            game.player.playerRoomY = targetRow;
            game.player.playerRoomX = targetColumn;
            visit.stepsUntilEncounter--;
            redraw(visit);
        }
    } else if (cell == cellPickup) {
        pickUp(visit, targetRow, targetColumn);
    }
}

// The first of the four cells beside the player (up, down, left, right) that holds glyph.
static char *cellBesidePlayer(Room &room, char glyph) {
    const int beside[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    for (const auto &step : beside) {
        int row = game.player.playerRoomY + step[0];
        int column = game.player.playerRoomX + step[1];
        if (row < 0 || row >= roomRows || column < 0 || column >= roomColumns) continue;
        if (room.cells[row][column] == glyph) return &room.cells[row][column];
    }
    return nullptr;
}

// 't': talk to the characters of the room, or challenge its boss. Anything but won ends the
// visit.
static BattleOutcome talk(DungeonVisit &visit) {
    Room &room = currentRoom(visit);
    if (cellBesidePlayer(room, cellNpc) != nullptr && featureIs(room, "NPC")) {
        talkToNpcs(visit.dungeon, visit.roomRow, visit.roomCol);
        return BattleOutcome::won;
    }
    char *boss = cellBesidePlayer(room, cellBoss);
    if (boss == nullptr || !featureIs(room, "Boss")) return BattleOutcome::won;
    BattleOutcome outcome = startBossBattle(visit.roomRow, visit.roomCol);
    if (outcome != BattleOutcome::won) return outcome;
    if (!isBossAlive(visit.dungeon, visit.roomRow, visit.roomCol)) {
        *boss = ' ';
        redraw(visit);
    }
    return outcome;
}

// Where a battle that did not end in a win sends the player.
static GameMode afterBattle(BattleOutcome outcome) {
    return outcome == BattleOutcome::gameEnded ? modeTitle : modeTavern;
}

// The encounter roll, made on every call while the step counter has run out.
static BattleOutcome rollForEncounter(DungeonVisit &visit) {
    int32_t divisor =
        ((itemCount(itemFlashlight) + 1) * 400) / (currentRoom(visit).encounterLevel + 1);
    // A level character beyond the usual digits must not make the divisor zero.
    if (divisor < 1) divisor = 1;
    if (gameRand() % divisor != 0) return BattleOutcome::won;
    BattleOutcome outcome = fightBattle();
    if (outcome != BattleOutcome::won) return outcome;
    redraw(visit);
    visit.stepsUntilEncounter = 75;
    return outcome;
}

// How long a step waits for a key: not at all while an encounter roll is live, so that the
// battle comes as promptly as ever; up to the flashlight clock's next second while one is
// lit; otherwise until a key comes, at no cost while the player thinks.
static int idleWaitMillis(const DungeonVisit &visit) {
    if (visit.stepsUntilEncounter <= 0) return 0;
    if (itemCount(itemFlashlight) != 0) return millisUntilClockTick();
    return waitUntilKey;
}

std::optional<GameMode> exploreStep(DungeonVisit &visit) {
    KeyEvent events[maxPolledEvents];
    int count = pollKeyEvents(events, maxPolledEvents, idleWaitMillis(visit));

    if (visit.stepsUntilEncounter <= 0) {
        BattleOutcome outcome = rollForEncounter(visit);
        if (outcome != BattleOutcome::won) return afterBattle(outcome);
    }
    if (itemCount(itemFlashlight) != 0 && tickFlashlightClock()) {
        itemCount(itemFlashlight)--;
        printAt("      ", colourWhite, flashlightClockColumn, flashlightClockRow);
    }

    for (int i = 0; i < count; i++) {
        char key = events[i].character;
        if (!events[i].keyDown || key < 'a' || key > 'w') continue;
        for (const Walk &direction : walks) {
            if (key == direction.key) walk(visit, direction);
        }
        switch (key) {
        case 'i':
            runInventory(InventoryOpener::dungeon);
            redraw(visit);
            break;
        case 'm':
            showOverheadMap(visit.rooms.get(), visit.roomRow, visit.roomCol, visit.height,
                            visit.width);
            clearScreen(0);
            redraw(visit);
            break;
        case 'p':
            game.player.playerRoomX = -1;
            game.player.playerRoomY = -1;
            clearScreen(0);
            return modeWorldMap;
        case 't': {
            BattleOutcome outcome = talk(visit);
            if (outcome != BattleOutcome::won) return afterBattle(outcome);
            break;
        }
        default:
            break;
        }
    }
    return std::nullopt;
}

// A map that cannot be read: the player is turned back at the entrance.
static GameMode turnBackFromDungeon() {
    printAt("The way in is blocked: this dungeon's map in \"map.txt\" cannot be read.", colourWhite,
            4, 12);
    waitMillis(2000);
    clearScreen(0);
    return modeWorldMap;
}

DungeonVisit dungeonVisit;

// Empties the visit record however the visit ends.
struct VisitScope {
    VisitScope() = default;
    VisitScope(const VisitScope &) = delete;
    VisitScope &operator=(const VisitScope &) = delete;
    ~VisitScope() { dungeonVisit = DungeonVisit{}; }
};

GameMode enterDungeon(const char *tag) {
    VisitScope scope;
    DungeonVisit &visit = dungeonVisit;
    visit = DungeonVisit{};
    visit.dungeon = static_cast<GameMode>(game.gameMode);
    // The player is placed afresh at each visit: the first room drawn picks a free cell.
    game.player.playerRoomX = -1;
    game.player.playerRoomY = -1;
    DungeonMap map = loadDungeon("map.txt", tag, visit.dungeon);
    showDataFileProblem("map.txt", map.problem);
    visit.rooms = std::move(map.rooms);
    visit.roomRow = map.startRoomRow;
    visit.roomCol = map.startRoomCol;
    visit.height = map.height;
    visit.width = map.width;
    if (visit.rooms == nullptr) return turnBackFromDungeon();
    redraw(visit);
    for (;;) {
        if (std::optional<GameMode> next = exploreStep(visit)) return *next;
    }
}
