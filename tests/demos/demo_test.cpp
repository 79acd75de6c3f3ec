// Replays the recorded demos headless and checks every checkpoint: a change in what the game
// does, or in one drawn cell, shows here as the first checkpoint that differs, with its
// screen. tools/record_demos.sh records them again when a change of behaviour is intended.
#include <filesystem>
#include <string>

#include "game/game.h"
#include "recording/recording.h"
#include "support/harness.h"

namespace fs = std::filesystem;

static const fs::path sourceRoot = fs::path(__FILE__).parent_path().parent_path().parent_path();

// The game's data files into the current directory; a save left in data/ is not game data.
static void copyShippedData() {
    for (const fs::directory_entry &entry : fs::directory_iterator(sourceRoot / "data")) {
        fs::path name = entry.path().filename();
        bool dataFile = name.extension() == ".txt" || name.extension() == ".rtf";
        if (dataFile && name != "SaveFile.txt") fs::copy_file(entry.path(), name);
    }
}

static std::string screenDump() {
    std::string text;
    for (int y = 0; y < screenHeight; y++)
        text += "  |" + screenRow(y) + "\n";
    return text;
}

class DemoTest : public GameTest, public ::testing::WithParamInterface<const char *> {};

TEST_P(DemoTest, ReplaysToEveryCheckpoint) {
    copyShippedData();
    Recording recording;
    std::string error;
    fs::path file = sourceRoot / "tests" / "demos" / GetParam();
    ASSERT_TRUE(loadRecording(file.c_str(), &recording, &error)) << error;
    ASSERT_TRUE(checkReplayData(recording, &error))
        << error << "\nThe data files changed: record the demos again (tools/record_demos.sh)";
    ReplayOptions options;
    options.speed = 0;
    ReplayResult result = runReplay(recording, headlessPlatform, options);
    EXPECT_EQ(result.outcome, ReplayOutcome::finished)
        << result.message << " (" << result.checkpointsPassed << " checkpoints held)\n"
        << "recorded: " << result.expected << "\nreplayed: " << result.actual
        << "\nthe replayed screen:\n"
        << screenDump();
    EXPECT_GT(result.checkpointsPassed, 0);
}

INSTANTIATE_TEST_SUITE_P(Demos, DemoTest,
                         ::testing::Values("whole-1.rec", "whole-2.rec", "tour.rec",
                                           "terminal.rec"),
                         [](const ::testing::TestParamInfo<const char *> &demo) {
                             std::string name = demo.param;
                             name = name.substr(0, name.find('.'));
                             return name == "whole-1"   ? "WholeGameSaves"
                                    : name == "whole-2" ? "WholeGameContinues"
                                    : name == "tour"    ? "SpellsAndDefeat"
                                                        : "RecordedInTmux";
                         });
