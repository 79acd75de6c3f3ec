// Inputs the fuzz targets of the file readers once broke the game with, read again.
#include <string>

#include "dungeon/dungeon.h"
#include "game/game.h"
#include "program/program.h"
#include "recording/recording.h"
#include "support/harness.h"

using FuzzRegressionTest = GameTest;

// A level byte of 255 was read as the end-of-file mark, a level of -1, and the encounter
// roll divides by the level plus one (the walk through such a room is with the damaged data).
// The level is now the character itself.
TEST_F(FuzzRegressionTest, AMapRoomLevelOfByte255IsACharacter) {
    // As the map loader target found it.
    writeFile("map.txt", "MapTag3\n2,2\n0,1:N:1#MapTag3\n2,2\n0,1:N:1#Boss\n"
                         "1,1:N:\xFF\xFF~\xFE\xE6"
                         "9q\xA0"
                         "1#B]oBoss\n1,1:N:1#B]oss\n0,0:S:1#Start\n_\n");
    game.gameMode = modeCastle;
    DungeonMap map = loadDungeon("map.txt", "MapTag3", modeCastle);
    const RoomGrid &rooms = map.rooms;
    ASSERT_TRUE(rooms);
    for (int i = 0; i < map.width * map.height; i++) {
        int32_t level = rooms[i].encounterLevel;
        if (rooms[i].state != RoomState::absent) {
            EXPECT_GE(level, 0) << i;
            EXPECT_LE(level, 255) << i;
        }
    }
}

// A checkpoint with one field fewer than the replay's state: naming the fields that differ
// read past the end of the shorter line and threw out of the replay.
TEST_F(FuzzRegressionTest, ACheckpointWithFieldsMissingEndsTheReplayAsDiverged) {
    Recording recording;
    std::string error;
    ASSERT_TRUE(parseRecording("brinewort-recording 1\ndir .\nsave -\nc end mode=1 rand=2\n",
                               &recording, &error))
        << error;
    ReplayOptions options;
    options.speed = 0;
    ReplayResult result = runReplay(recording, headlessPlatform, options, runProgram);
    EXPECT_EQ(result.outcome, ReplayOutcome::diverged);
    EXPECT_EQ(result.checkpoint, "end");
}
