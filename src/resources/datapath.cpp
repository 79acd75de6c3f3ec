// Where the data files are found and where the save is kept; the places each system looks in
// are chosen in datapath_posix.cpp and datapath_windows.cpp.
#include "resources/datapath.h"

#include <cstring>

#include "platform/system.h"

namespace {

// The places the run uses: only ever replaced whole, by setDataPlaces.
DataPlaces places;

// The installed data, relative to the directory of the binary ("" for that directory itself).
constexpr const char dataFromBinary[] = BRINEWORT_DATA_FROM_BINARY;

} // namespace

bool isDataFileName(const std::string &name) {
    for (const char *known : dataFileNames) {
        if (name == known) return true;
    }
    return false;
}

std::string installedDataDirectory() {
    std::string binary = programDirectory();
    if (binary.empty() || dataFromBinary[0] == '\0') return binary;
    return binary + pathSeparator + dataFromBinary;
}

void setDataPlaces(const DataPlaces &newPlaces) {
    places = newPlaces;
}

const DataPlaces &dataPlaces() {
    return places;
}

std::string dataFilePath(const char *name) {
    if (!isPlainFileName(name)) return name;
    for (const std::string &directory : places.searchDirectories) {
        std::string path = inDirectory(directory, name);
        if (pathExists(path)) return path;
    }
    return name;
}

std::string saveFilePath() {
    return inDirectory(places.saveDirectory, saveFileName);
}

std::string saveDirectoryPath() {
    return places.saveDirectory.empty() ? "." : places.saveDirectory;
}

bool prepareSaveDirectory(std::string *reason) {
    if (!places.saveProblem.empty()) {
        *reason = places.saveProblem;
        return false;
    }
    return makeDirectories(places.saveDirectory, reason);
}
