// What a replay may touch, how it waits, and how text from a recording is shown: a recording is
// a file from a stranger.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "game/game.h"
#include "platform/files.h"
#include "program/program.h"
#include "recording/recording.h"
#include "resources/datapath.h"
#include "save/save.h"
#include "support/harness.h"

namespace fs = std::filesystem;

class ReplayTest : public GameTest {
  protected:
    // Records a game on the headless backend: New Game, the story, the tavern; then what the
    // caller scripts; then Quit. Fails the test when the recording cannot be made.
    static void recordGame(const char *path, void (*inTheTavern)()) {
        std::string error;
        ASSERT_TRUE(startRecording(path, 20, &error)) << error;
        usePlatform(recordThrough(headlessPlatform));
        for (int page = 0; page < 3; page++)
            headlessPress(keyEnter);
        inTheTavern();
        headlessPress(keyUp);
        headlessPress(keyEnter);
        EXPECT_EQ(runProgram(), 0);
        presentScreen();
        ASSERT_TRUE(finishRecording(&error)) << error;
        usePlatform(&headlessPlatform);
    }
    static ReplayResult replay(const char *path, const Platform &shownOn, double speed) {
        Recording recording;
        std::string error;
        EXPECT_TRUE(loadRecording(path, &recording, &error)) << error;
        ReplayOptions options;
        options.speed = speed;
        options.watchViewer = speed > 0;
        return runReplay(recording, shownOn, options, runProgram);
    }
    // This process's replay directories: the tests running beside it make their own.
    static std::string replayDirectoriesLeft() {
        std::string left;
        std::string ours = "brinewort-replay-" + std::to_string(getpid()) + "-";
        for (const fs::directory_entry &entry : fs::directory_iterator(temporaryDirectory())) {
            if (entry.path().filename().string().rfind(ours, 0) == 0)
                left += entry.path().string() + " ";
        }
        return left;
    }
    static fs::path temporaryDirectory() {
#ifdef _WIN32
        fs::path base = fs::temp_directory_path(); // may end in a backslash
        return base.has_filename() ? base : base.parent_path();
#else
        const char *base = std::getenv("TMPDIR");
        return base != nullptr && base[0] == '/' ? base : "/tmp";
#endif
    }
};

// The recorded game saves; its replay saves only in a directory of its own, private to the
// player, which goes when the replay ends: the player's save stays as it is.
TEST_F(ReplayTest, AReplayedSaveStaysInsideTheReplaysOwnPrivateDirectory) {
    ASSERT_TRUE(saveGame()); // the save the recorded game starts from
    recordGame("saving.rec", [] {
        for (int entry = 0; entry < 3; entry++)
            headlessPress(keyDown);
        headlessPress(keyEnter);
        headlessPress(keyUp);
        headlessPress(keyUp);
        headlessPress(keyUp);
    });
    writeFile("SaveFile.txt", "precious");
    std::string left = replayDirectoriesLeft();
    headlessReset();
    fs::path where;
    headlessSetPresentHook([&where] {
        where = fs::current_path();
#ifndef _WIN32 // Windows' private folder: files_windows_test.cpp
        struct stat status;
        ASSERT_EQ(lstat(".", &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0700u);
        ASSERT_EQ(lstat(saveFileName, &status), 0);
        EXPECT_TRUE(S_ISREG(status.st_mode));
#endif
    });
    ReplayResult result = replay("saving.rec", headlessPlatform, 0);
    EXPECT_EQ(result.outcome, ReplayOutcome::finished) << result.message;
    EXPECT_EQ(where.parent_path(), temporaryDirectory());
    EXPECT_EQ(where.filename().string().rfind("brinewort-replay-" + std::to_string(getpid()), 0),
              0u);
    EXPECT_EQ(readFile("SaveFile.txt"), "precious");
    EXPECT_EQ(replayDirectoriesLeft(), left);
}

// Ten seconds between two recorded keys cost a replay at the recorded pace a few long polls of
// the viewer's keys, not thousands of short ones.
TEST_F(ReplayTest, APacedReplayBlocksUntilTheNextRecordedInstant) {
    recordGame("waiting.rec", [] { headlessIdle(10000); });
    headlessReset();
    recordGame("at-once.rec", [] {});
    static int polls;
    Platform counting = headlessPlatform;
    counting.pollEvents = [](KeyEvent *events, int max, int waitMillis) {
        polls++;
        return headlessPlatform.pollEvents(events, max, waitMillis);
    };
    int pollsFor[2];
    for (int waited : {0, 1}) {
        polls = 0;
        headlessReset();
        ReplayResult result = replay(waited ? "waiting.rec" : "at-once.rec", counting, 1);
        EXPECT_EQ(result.outcome, ReplayOutcome::finished) << result.message;
        pollsFor[waited] = polls;
    }
    EXPECT_LE(pollsFor[1] - pollsFor[0], 20);
}

// A recording of version 1 (a checkpoint one line, the screen as a hash) still replays: its
// checkpoint is held against that line, taken here where the game first reads the clock.
TEST_F(ReplayTest, ARecordingOfVersionOneHoldsItsOneLineCheckpoints) {
    static std::string stateThen;
    Platform firstTick = headlessPlatform;
    firstTick.tickMillis = []() -> uint32_t {
        stateThen = legacyCheckpointState();
        throw RunEnded{0};
    };
    firstTick.present = [](const ScreenCells &cells) { noteScreenShown(cells); };
    forgetScreensShown();
    usePlatform(&firstTick);
    EXPECT_THROW(runProgram(), RunEnded);
    usePlatform(&headlessPlatform);
    for (bool altered : {false, true}) {
        std::string line =
            altered ? stateThen.replace(stateThen.find("rand="), 5, "rand=7") : stateThen;
        writeFile("old.rec", "brinewort-recording 1\ndir .\nsave -\nc 1 " + line + "\nt 5\n");
        headlessReset();
        ReplayResult result = replay("old.rec", headlessPlatform, 0);
        EXPECT_EQ(result.checkpointsPassed, altered ? 0 : 1) << result.message;
        EXPECT_EQ(result.outcome, altered ? ReplayOutcome::diverged : ReplayOutcome::ranOut);
    }
}

// The notice stays until a key is pressed; keys typed during the replay do not answer it.
TEST_F(ReplayTest, TheEndNoticeWaitsForAKeyPressedAfterIt) {
    headlessTypeAhead(keyEnter);
    headlessPress('A', 'a');
    showReplayEnd(headlessPlatform, "End of the recording");
    EXPECT_TRUE(textShownAt("End of the recording: press any key", 0, 24, colourBlackOnGrey));
    EXPECT_FALSE(headlessScriptPending());
    EXPECT_THROW(showReplayEnd(headlessPlatform, "again"), RunEnded); // no key comes: it waits
}

TEST(ReplayEndNotice, AlwaysEndsWithWhatToDoNext) {
    std::string line = replayEndNotice("End of the recording");
    EXPECT_EQ(line.size(), size_t{screenWidth});
    EXPECT_EQ(line.substr(0, 35), "End of the recording: press any key");
    std::string cut = replayEndNotice(std::string(200, 'w'));
    EXPECT_EQ(cut.size(), size_t{screenWidth});
    EXPECT_EQ(cut.substr(cut.size() - 18), "...: press any key");
}

TEST(RecordingNames, OnlyTheGamesDataFilesAreTaken) {
    for (const char *name : {"map.txt", "Wizard.txt", "BartenderScripts.txt"}) {
        Recording recording;
        std::string error;
        EXPECT_TRUE(parseRecording(std::string("brinewort-recording 1\ndir .\nsave -\nf "
                                               "0000000000000000 ") +
                                       name + "\n",
                                   &recording, &error))
            << error;
        ASSERT_EQ(recording.dataFiles.size(), 1u);
        EXPECT_EQ(recording.dataFiles[0].text, name);
    }
    for (const char *name :
         {"SaveFile.txt", "SaveFile.txt.new", "./map.txt", "map.txt/", "MAP.TXT", "a/map.txt"}) {
        Recording recording;
        std::string error;
        EXPECT_FALSE(parseRecording(std::string("brinewort-recording 1\ndir .\nsave -\nf "
                                                "0000000000000000 ") +
                                        name + "\n",
                                    &recording, &error));
        EXPECT_EQ(error, std::string("line 4: ") + name + " is not one of the game's data files");
    }
}

TEST(PrintableText, ShowsControlsAndBrokenUtf8AsEscapesAndKeepsTheRest) {
    EXPECT_EQ(printableText("plain map.txt ~"), "plain map.txt ~");
    EXPECT_EQ(printableText("\x1b]0;x\x07\x1b[2J"), "\\x1b]0;x\\x07\\x1b[2J");
    EXPECT_EQ(printableText(std::string("a\0b\r\n\x7f", 6)), "a\\x00b\\x0d\\x0a\\x7f");
    // Letters and box drawing of other scripts stay; a C1 control, a byte alone, an overlong
    // form, a surrogate and a mark that turns the text around do not.
    EXPECT_EQ(printableText("Jos\xc3\xa9 \xe2\x95\x94"), "Jos\xc3\xa9 \xe2\x95\x94");
    EXPECT_EQ(printableText("\xc2\x9b"), "\\xc2\\x9b");
    EXPECT_EQ(printableText("\xe9t\xc3"), "\\xe9t\\xc3");
    EXPECT_EQ(printableText("\xc0\xaf"), "\\xc0\\xaf");
    EXPECT_EQ(printableText("\xed\xa0\x80"), "\\xed\\xa0\\x80");
    EXPECT_EQ(printableText("\xe2\x80\xae"), "\\xe2\\x80\\xae");
}

// A cell recoloured and nothing else is a difference too: marked under both screens.
TEST(ScreenDifferenceTest, ACellThatChangedOnlyItsColourIsMarked) {
    ReplayResult result;
    std::string text = "Hello" + std::string(75, ' ');
    result.expectedScreen = {"07x5,00x75 " + text};
    result.actualScreen = {"07x4,0cx1,00x75 " + text};
    std::string marks = std::string(4, ' ') + "^" + std::string(75, ' ');
    EXPECT_NE(screenDifference(result).find(marks + " | " + marks), std::string::npos);
}
