// Replays the recorded demos headless and checks every checkpoint: a change in what the game
// does, or in one drawn cell, shows here as the first checkpoint that differs, with its
// screen. tools/record_demos.sh records them again when a change of behaviour is intended.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "game/game.h"
#include "platform/system.h"
#include "program/program.h"
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
    ASSERT_TRUE(loadRecording(textOf(file).c_str(), &recording, &error)) << error;
    ASSERT_TRUE(checkReplayData(recording, &error))
        << error << "\nThe data files changed: record the demos again (tools/record_demos.sh)";
    ReplayOptions options;
    options.speed = 0;
    ReplayResult result = runReplay(recording, headlessPlatform, options, runProgram);
    std::string screens = screenDifference(result);
    EXPECT_EQ(result.outcome, ReplayOutcome::finished)
        << result.message << " (" << result.checkpointsPassed << " checkpoints held)\n"
        << "recorded: " << result.expected << "\nreplayed: " << result.actual << "\n"
        << (screens.empty() ? "the replayed screen:\n" + screenDump() : screens);
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

// A damaged or doctored recording ends the replay with the outcome that says why, never a hang.
struct Alteration {
    const char *what;
    std::function<void(std::vector<std::string> &lines)> change; // the file's lines
    ReplayOutcome outcome;
    const char *checkpoint; // the label named, for a checkpoint that differs
    const char *said = "";  // how the message ends: the checkpoint and the fields that differ
};

class AlteredDemoTest : public GameTest {};

TEST_F(AlteredDemoTest, EndsWithTheOutcomeThatSaysWhy) {
    copyShippedData();
    std::vector<std::string> original;
    {
        std::ifstream file(sourceRoot / "tests" / "demos" / "tour.rec");
        for (std::string line; std::getline(file, line);)
            original.push_back(line);
    }
    auto checkpointLine = [](std::vector<std::string> &lines, const std::string &label) {
        for (std::string &line : lines) {
            if (line.rfind("c " + label + " ", 0) == 0) return &line;
        }
        return static_cast<std::string *>(nullptr);
    };
    const Alteration alterations[] = {
        {"stops half way", [](auto &lines) { lines.resize(lines.size() / 2); },
         ReplayOutcome::ranOut, ""},
        {"another random state at checkpoint 3",
         [&](auto &lines) {
             std::string *line = checkpointLine(lines, "3");
             ASSERT_NE(line, nullptr);
             line->insert(line->find("rand=") + 5, "1");
         },
         ReplayOutcome::diverged, "3"},
        {"another mode at checkpoint 4",
         [&](auto &lines) {
             std::string *line = checkpointLine(lines, "4");
             ASSERT_NE(line, nullptr);
             line->insert(line->find("mode=") + 5, "9");
         },
         ReplayOutcome::diverged, "4", "checkpoint 4 in mode"},
        {"a word of checkpoint 1's screen",
         [](auto &lines) {
             for (std::string &line : lines) {
                 size_t at = line.rfind("r 02 ", 0) == 0 ? line.find("Make a move") : line.npos;
                 if (at == line.npos) continue;
                 line.replace(at, 4, "Mike");
                 return;
             }
         },
         ReplayOutcome::diverged, "1", "checkpoint 1 in screen"},
        {"a key more after the end", [](auto &lines) { lines.push_back("x"); },
         ReplayOutcome::diverged, ""},
        {"a press of Enter turned into Down",
         [](auto &lines) {
             for (size_t i = lines.size() / 2; i < lines.size(); i++) {
                 if (lines[i].rfind("k d 13 ", 0) == 0) {
                     lines[i].replace(4, 2, "40");
                     return;
                 }
             }
         },
         ReplayOutcome::diverged, nullptr},
    };
    for (const Alteration &alteration : alterations) {
        SCOPED_TRACE(alteration.what);
        std::vector<std::string> lines = original;
        alteration.change(lines);
        std::string bytes;
        for (const std::string &line : lines)
            bytes += line + "\n";
        Recording recording;
        std::string error;
        ASSERT_TRUE(parseRecording(bytes, &recording, &error)) << error;
        headlessReset();
        ReplayOptions options;
        options.speed = 0;
        ReplayResult result = runReplay(recording, headlessPlatform, options, runProgram);
        EXPECT_EQ(result.outcome, alteration.outcome) << result.message;
        if (alteration.checkpoint != nullptr) {
            EXPECT_EQ(result.checkpoint, alteration.checkpoint);
        }
        // Where the looks differ, the screens are shown side by side with the cells marked.
        std::string screens = screenDifference(result);
        if (result.message.find("in screen") != std::string::npos) {
            EXPECT_NE(screens.find("Make a move"), std::string::npos);
            EXPECT_NE(screens.find("Mike a move"), std::string::npos);
            EXPECT_NE(screens.find(" ^ "), std::string::npos);
        }
        std::string said = alteration.said;
        EXPECT_EQ(result.message.substr(result.message.size() -
                                        std::min(result.message.size(), said.size())),
                  said);
    }
}

// A short game recorded on the headless backend, a dungeon's polls among it, replays to its
// end; a viewer's q stops a replay at the recorded pace.
TEST_F(AlteredDemoTest, AGameRecordedHereReplaysAndTheViewerCanStopIt) {
    copyShippedData();
    std::string error;
    ASSERT_TRUE(startRecording("short.rec", 50, &error)) << error;
    usePlatform(recordThrough(headlessPlatform));
    // New Game, two story pages, the world map, the Cave, a few steps, out, the tavern, Quit.
    for (uint16_t key : {keyEnter, keyEnter, keyEnter, keyEnter, keyLeft, keyEnter})
        headlessPress(key);
    for (char key : std::string("dsaw"))
        headlessPressCharacter(key);
    for (uint16_t key : {uint16_t('P'), keyDown, keyEnter, keyUp, keyEnter})
        headlessPress(key, key == 'P' ? 'p' : 0);
    EXPECT_EQ(runProgram(), 0);
    presentScreen(); // the farewell, as the end checkpoint holds it
    ASSERT_TRUE(finishRecording(&error)) << error;
    usePlatform(&headlessPlatform);

    Recording recording;
    ASSERT_TRUE(loadRecording("short.rec", &recording, &error)) << error;
    headlessReset();
    ReplayOptions options;
    options.speed = 0;
    ReplayResult result = runReplay(recording, headlessPlatform, options, runProgram);
    EXPECT_EQ(result.outcome, ReplayOutcome::finished) << result.message;
    EXPECT_GT(result.checkpointsPassed, 1);

    headlessReset();
    headlessPressCharacter('q');
    options.speed = 1;
    options.watchViewer = true;
    EXPECT_EQ(runReplay(recording, headlessPlatform, options, runProgram).outcome,
              ReplayOutcome::stopped);
}
