// Fuzz target: arbitrary bytes as a recording, read and, when they parse, replayed headless.
#include <string>

#include "fuzz_support.h"
#include "platform/headless.h"
#include "recording/recording.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzzSetUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    Recording recording;
    std::string error;
    bool parsed =
        parseRecording(std::string(reinterpret_cast<const char *>(data), size), &recording, &error);
    fuzzCheck(parsed || (!error.empty() && error.find('\n') == std::string::npos),
              "a refused recording without its one line of reason");
    if (!parsed) return 0;
    uint64_t readings = 0;
    for (const Record &record : recording.records) {
        fuzzCheck(record.count >= 1 && record.count <= maxRecordCount,
                  "a record standing for no readings, or too many");
        fuzzCheck(record.events.size() <= static_cast<size_t>(maxPolledEvents),
                  "a poll of more events than the game takes");
        readings += record.count;
    }
    // A few lines can stand for a very long game; such a replay ends too, but slowly.
    if (readings > 1000000) return 0;
    // Whatever the file holds, the replay ends: finished, run out, diverged or refused.
    headlessReset();
    ReplayOptions options;
    options.speed = 0;
    runReplay(recording, headlessPlatform, options);
    return 0;
}
