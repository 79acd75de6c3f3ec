// Fuzz target: arbitrary bytes as a recording and, when they parse, replayed headless: whatever
// the file holds, the replay ends (finished, run out, diverged or refused) without a fault.
// The recording's own reading is recording_fuzz.cpp's.
#include <string>

#include "fuzz_support.h"
#include "platform/headless.h"
#include "program/program.h"
#include "recording/recording.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzzSetUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    Recording recording;
    std::string error;
    if (!parseRecording(std::string(reinterpret_cast<const char *>(data), size), &recording,
                        &error))
        return 0;
    // A few lines can stand for a very long game; such a replay ends too, but slowly.
    uint64_t readings = 0;
    Record record;
    for (RecordReader reader(recording); reader.next(&record);)
        readings += uint64_t{record.count} * record.repeats;
    if (readings > 1000000) return 0;
    headlessReset();
    ReplayOptions options;
    options.speed = 0;
    runReplay(recording, headlessPlatform, options, runProgram);
    return 0;
}
