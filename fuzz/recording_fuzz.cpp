// Fuzz target: arbitrary bytes as a recording, read as the replay reads it: the header and
// its checks, every record, and the replay's private directory set up from what it names.
// Replaying what parses is replay_fuzz.cpp's: the game run a replay drives is no reading.
#include <filesystem>
#include <string>

#include "fuzz_support.h"
#include "recording/recording.h"
#include "resources/datapath.h"
#include "save/save.h"

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
    uint64_t records = 0;
    Record record;
    for (RecordReader reader(recording); reader.next(&record); records++) {
        fuzzCheck(record.count >= 1 && record.count <= maxRecordCount,
                  "a record standing for no readings, or too many");
        fuzzCheck(record.events.size() <= static_cast<size_t>(maxPolledEvents),
                  "a poll of more events than the game takes");
    }
    fuzzCheck(records == recording.recordCount, "records read back that the check did not count");
    // The replay's directory holds the recorded save and a link for each of the game's data
    // files, and nothing else.
    PrivateDirectory directory;
    std::string why;
    if (prepareReplayDirectory(recording, &directory, &why)) {
        size_t entries = 0;
        for (const auto &entry : std::filesystem::directory_iterator(directory.path)) {
            std::string name = entry.path().filename().string();
            entries++;
            fuzzCheck(entry.is_symlink() ? isDataFileName(name)
                                         : name == saveFileName && entry.is_regular_file(),
                      "a replay directory holding something else than the save and data links");
        }
        fuzzCheck(entries == recording.dataFiles.size() + (recording.hasSave ? 1 : 0),
                  "a replay directory missing the save or a data file");
    }
    removePrivateDirectory(&directory);
    return 0;
}
