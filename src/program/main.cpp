// The program's entry point: the options, where the files are, the terminal or a window, the
// game, and a clean way out; or a recording of a game played back.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "console/console.h"
#include "game/game.h"
#include "platform/files.h"
#include "platform/system.h"
#include "platform/terminal.h"
#include "program/backend.h"
#include "program/commandline.h"
#include "program/program.h"
#include "recording/recording.h"
#include "resources/datapath.h"

namespace {

// A recording checks the game's state every so many presents (a few seconds of play).
constexpr int checkpointEvery = 100;

// Ends the program after the backend has been given back: as a quit signal says, with a
// line saying that input has closed, or quietly for a window its player closed.
int endedByBackend(const Platform &backend, const RunEnded &ended) {
    backend.shutdown();
    std::string error;
    finishRecording(&error);
    reraiseQuitSignal(ended.signal);
    // A window closed by its player ends the game as Quit does.
    if (&backend != &terminalPlatform) return 0;
    std::fputs("brinewort: the terminal's input has closed; the game has ended\n", stderr);
    return 1;
}

int play(const CommandLine &options) {
    std::string error;
    if (!options.recordPath.empty() &&
        !startRecording(options.recordPath.c_str(), checkpointEvery, &error)) {
        std::fprintf(stderr, "brinewort: %s\n", error.c_str());
        return 2;
    }
    const Platform *backend = startBackend(options.window);
    if (backend == nullptr) {
        // Nothing was played: no recording is left behind either.
        finishRecording(&error);
        if (!options.recordPath.empty()) std::remove(options.recordPath.c_str());
        return 2;
    }
    if (!options.recordPath.empty()) usePlatform(recordThrough(*backend));
    int status = 0;
    try {
        status = runProgram();
        presentScreen();
    } catch (const RunEnded &ended) {
        return endedByBackend(*backend, ended);
    }
    backend->shutdown();
    if (!finishRecording(&error)) {
        std::fprintf(stderr, "brinewort: %s\n", error.c_str());
        return 1;
    }
    return status;
}

int replay(const CommandLine &options) {
    Recording recording;
    std::string error;
    // A bad file, or data that differ, is refused before the terminal is touched.
    if (!loadRecording(options.replayPath.c_str(), &recording, &error) ||
        !checkReplayData(recording, &error)) {
        std::fprintf(stderr, "brinewort: %s\n", error.c_str());
        return 2;
    }
    const Platform *presenter = startBackend(options.window);
    if (presenter == nullptr) return 2;
    ReplayOptions chosen;
    chosen.speed = options.replaySpeed;
    chosen.watchViewer = true;
    ReplayResult result;
    try {
        result = runReplay(recording, *presenter, chosen, runProgram);
        if (result.outcome != ReplayOutcome::stopped && result.outcome != ReplayOutcome::refused) {
            showReplayEnd(*presenter, result.message);
        }
    } catch (const RunEnded &ended) {
        return endedByBackend(*presenter, ended);
    }
    presenter->shutdown();
    switch (result.outcome) {
    case ReplayOutcome::refused:
        std::fprintf(stderr, "brinewort: %s\n", result.message.c_str());
        return 2;
    case ReplayOutcome::diverged:
        std::fprintf(stderr, "brinewort: %s: %s\n", printableText(options.replayPath).c_str(),
                     result.message.c_str());
        return 1;
    default:
        return 0;
    }
}

// A mistyped --data-dir would quietly give the installed data instead. False, with the reason
// on the error stream, when it names no directory.
bool dataDirectoryUsable(const std::string &directory) {
    if (directory.empty()) return true;
    const char *problem = whyNotADirectory(directory);
    if (problem == nullptr) return true;
    std::fprintf(stderr, "brinewort: --data-dir %s: %s\n", printableText(directory).c_str(),
                 problem);
    return false;
}

} // namespace

int main(int argc, char **argv) {
    // As UTF-8 on every system (Windows hands them over in its own code page).
    std::vector<std::string> arguments = programArguments(argc, argv);
    std::vector<const char *> pointers;
    pointers.reserve(arguments.size());
    for (const std::string &argument : arguments)
        pointers.push_back(argument.c_str());
    CommandLine options = parseCommandLine(static_cast<int>(pointers.size()), pointers.data());
    switch (options.action) {
    case CommandLine::Action::showHelp:
        std::fputs(helpText(), stdout);
        return 0;
    case CommandLine::Action::showVersion:
        std::puts("brinewort " BRINEWORT_VERSION);
        return 0;
    case CommandLine::Action::usageError:
        std::fprintf(stderr, "brinewort: %s\n%s", options.error.c_str(), usageText());
        return 2;
    case CommandLine::Action::play:
    case CommandLine::Action::replay:
        break;
    }
    if (!dataDirectoryUsable(options.dataDirectory)) return 2;
    // What a replay killed before it could clean up left behind.
    removeStalePrivateDirectories("replay");
    setDataPlaces(
        findDataPlaces(options.dataDirectory.c_str(), installedDataDirectory(), systemVariable));
    return options.action == CommandLine::Action::replay ? replay(options) : play(options);
}
