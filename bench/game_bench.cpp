// Micro-benchmarks of work the game does between frames: scattering rubble in a room, loading
// a dungeon from its map file, and reading a tagged text section.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "dungeon/dungeon.h"
#include "game/game.h"
#include "platform/headless.h"
#include "program/program.h"
#include "resources/resources.h"

namespace {

// A room as the loader builds it, with a doorway on each side whose bit (N, E, S, W) is set.
void buildRoomWithDoors(Room &room, int doors) {
    buildFreshRoom(room);
    for (int bit = 0; bit < 4; bit++) {
        if ((doors & (1 << bit)) != 0) openDoorway(room, doorways[bit].side);
    }
}

void BM_ScatterRubble(benchmark::State &state) {
    Room fresh{};
    buildRoomWithDoors(fresh, static_cast<int>(state.range(0)));
    Room room{};
    for (auto _ : state) {
        // Copying the 322 cells costs next to nothing beside the scattering.
        std::memcpy(room.cells, fresh.cells, sizeof room.cells);
        scatterRubble(room);
        benchmark::DoNotOptimize(room.cells);
    }
}
// No doorway, north only, north and south, all four.
BENCHMARK(BM_ScatterRubble)->ArgName("doors")->Arg(0)->Arg(1)->Arg(5)->Arg(15);

void BM_LoadDungeon(benchmark::State &state, const Dungeon &dungeon) {
    for (auto _ : state) {
        DungeonMap map = loadDungeon("map.txt", dungeon.mapTag, dungeon.mode);
        if (map.rooms == nullptr) {
            state.SkipWithError("the dungeon did not load");
            return;
        }
        benchmark::DoNotOptimize(map.rooms.get());
    }
}
BENCHMARK_CAPTURE(BM_LoadDungeon, cave, dungeonTable[0]);
BENCHMARK_CAPTURE(BM_LoadDungeon, sewer, dungeonTable[1]);
BENCHMARK_CAPTURE(BM_LoadDungeon, castle, dungeonTable[2]);

void BM_ReadTextSection(benchmark::State &state, const char *fileName, const char *tag) {
    for (auto _ : state) {
        TextBuffer text = readTextSection(fileName, tag).text;
        if (text == nullptr) {
            state.SkipWithError("the section was not found");
            return;
        }
        benchmark::DoNotOptimize(text.get());
    }
}
BENCHMARK_CAPTURE(BM_ReadTextSection, story_chunk, "Story.txt", "Chunk1");
// The first and the last tag of the file: the last one is found only after reading it all.
BENCHMARK_CAPTURE(BM_ReadTextSection, npc_first_tag, "NPCscripts.rtf", "Tag11");
BENCHMARK_CAPTURE(BM_ReadTextSection, npc_last_tag, "NPCscripts.rtf", "Tag162");

} // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    // The game reads its files from the current directory: copies in a directory of our own.
    namespace fs = std::filesystem;
    char pattern[] = "/tmp/brinewort-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) return 1;
    const fs::path directory = pattern;
    for (const char *name : {"map.txt", "Story.txt", "NPCscripts.rtf"})
        fs::copy_file(fs::path(BRINEWORT_DATA_DIR) / name, directory / name);
    const fs::path previous = fs::current_path();
    fs::current_path(directory);

    usePlatform(&headlessPlatform);
    headlessReset();
    startUp();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    fs::current_path(previous);
    fs::remove_all(directory);
    return 0;
}
