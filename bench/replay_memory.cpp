// Replays a recording headless, as fast as it goes, and says how much memory that took at the
// most: a recording is read a piece at a time, so the figure should not grow with its size.
// Usage: brinewort_replay_memory RECORDING (run where the game finds its data files)
#include <cstdio>
#include <string>
#include <sys/resource.h>

#include "platform/headless.h"
#include "program/program.h"
#include "recording/recording.h"

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fputs("usage: brinewort_replay_memory RECORDING\n", stderr);
        return 2;
    }
    Recording recording;
    std::string error;
    if (!loadRecording(argv[1], &recording, &error) || !checkReplayData(recording, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    usePlatform(&headlessPlatform);
    headlessReset();
    ReplayOptions options;
    options.speed = 0;
    ReplayResult result = runReplay(recording, headlessPlatform, options, runProgram);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    // ru_maxrss is in KiB on Linux.
    std::printf("%llu records, %d checkpoints held, peak RSS %.1f MiB: %s\n",
                static_cast<unsigned long long>(recording.recordCount), result.checkpointsPassed,
                static_cast<double>(usage.ru_maxrss) / 1024, result.message.c_str());
    return 0;
}
