// The page's entry point: where the files are, the browser's storage for the save, the
// canvas, and the game; or a recording played back (index.html?replay=URL, or a file dropped on
// the page), which the page's script hands over as the command line's --replay and --speed.
#include <cstdio>
#include <string>

#include "console/console.h"
#include "game/game.h"
#include "platform/platform.h"
#include "program/commandline.h"
#include "program/program.h"
#include "recording/recording.h"
#include "resources/datapath.h"
#include "save/save.h"
#include "web/webplatform.h"
#include "web/webstorage.h"

namespace {

const char *outcomeName(ReplayOutcome outcome) {
    switch (outcome) {
    case ReplayOutcome::finished:
        return "finished";
    case ReplayOutcome::ranOut:
        return "ranOut";
    case ReplayOutcome::diverged:
        return "diverged";
    case ReplayOutcome::stopped:
        return "stopped";
    case ReplayOutcome::refused:
        return "refused";
    }
    return "?";
}

void reportReplay(ReplayOutcome outcome, const std::string &message,
                  const ReplayResult &result = ReplayResult{}) {
    if (outcome != ReplayOutcome::finished) webPlatform.reportError(message.c_str());
    webTellReplayEnded(outcomeName(outcome), message.c_str(), result.checkpoint.c_str(),
                       result.checkpointsPassed);
}

int replay(const CommandLine &options) {
    Recording recording;
    std::string error;
    if (!loadRecording(options.replayPath.c_str(), &recording, &error) ||
        !checkReplayData(recording, &error)) {
        reportReplay(ReplayOutcome::refused, error);
        return 2;
    }
    ReplayOptions chosen;
    chosen.speed = options.replaySpeed;
    chosen.watchViewer = true;
    ReplayResult result = runReplay(recording, webPlatform, chosen, runProgram);
    // The last screen stays, with what became of the replay on its bottom row.
    if (result.outcome != ReplayOutcome::refused) {
        char line[screenWidth + 1];
        std::snprintf(line, sizeof line, "%-*.*s", screenWidth, screenWidth,
                      result.message.c_str());
        printAt(line, 0x70, 0, screenHeight - 1);
        presentScreen();
    }
    reportReplay(result.outcome, result.message, result);
    return result.outcome == ReplayOutcome::diverged || result.outcome == ReplayOutcome::refused
               ? 1
               : 0;
}

int play() {
    int status = runProgram();
    presentScreen(); // the farewell stays on the canvas
    return status;
}

} // namespace

int main(int argc, char **argv) {
    CommandLine options = parseCommandLine(argc, argv);
    if (options.action == CommandLine::Action::usageError) {
        webPlatform.reportError(("brinewort: " + options.error).c_str());
        webTellEnded(2);
        return 2;
    }
    bool replaying = options.action == CommandLine::Action::replay;
    DataPlaces places;
    places.searchDirectories = {webDataDirectory};
    places.saveDirectory = webSaveDirectory;
    // A replay keeps to its own directory and never touches the player's save.
    if (!replaying && !openSaveStorage(webSaveDirectory, &places.saveProblem)) {
        webPlatform.reportError(
            ("brinewort: the save will not last: " + places.saveProblem).c_str());
    }
    if (!replaying) keepSavesWith(keepSaveStorage);
    setDataPlaces(places);
    usePlatform(&webPlatform);
    if (!webPlatform.init()) {
        webTellEnded(2);
        return 2;
    }
    int status = 0;
    try {
        status = replaying ? replay(options) : play();
    } catch (const RunEnded &) {
        // The page has nothing that ends a run early; were one to, it ends as Quit does.
    }
    webPlatform.shutdown();
    webTellEnded(status);
    return status;
}
