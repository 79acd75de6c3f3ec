// Where the data files are found and where the save is kept.
#include "resources/datapath.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include "console/console.h"
#include "save/save.h"

namespace {

// The places the run uses: only ever replaced whole, by setDataPlaces.
DataPlaces places;

std::string inDirectory(const std::string &directory, const char *name) {
    return directory.empty() ? std::string(name) : directory + "/" + name;
}

bool exists(const std::string &path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0;
}

bool sameDirectory(const std::string &a, const std::string &b) {
    struct stat first, second;
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// The environment's directories are used only when absolute, as the XDG rules ask.
bool isAbsolute(const char *path) {
    return path != nullptr && path[0] == '/';
}

} // namespace

bool isDataFileName(const std::string &name) {
    for (const char *known : dataFileNames) {
        if (name == known) return true;
    }
    return false;
}

DataPlaces findDataPlaces(const char *dataDirOption, const std::string &installedData,
                          const char *(*getVariable)(const char *name)) {
    DataPlaces found;
    found.searchDirectories.clear();
    if (dataDirOption != nullptr && dataDirOption[0] != '\0') {
        found.searchDirectories.emplace_back(dataDirOption);
    }
    found.searchDirectories.emplace_back("");

    std::string dataHome;
    const char *xdgDataHome = getVariable("XDG_DATA_HOME");
    const char *home = getVariable("HOME");
    if (isAbsolute(xdgDataHome)) {
        dataHome = std::string(xdgDataHome) + "/brinewort";
    } else if (home != nullptr && home[0] != '\0') {
        dataHome = std::string(home) + "/.local/share/brinewort";
    }
    if (!dataHome.empty()) found.searchDirectories.push_back(dataHome);

    std::vector<std::string> installed;
    if (!installedData.empty()) installed.push_back(installedData);
    const char *xdgDataDirs = getVariable("XDG_DATA_DIRS");
    std::string dirs = xdgDataDirs != nullptr && xdgDataDirs[0] != '\0'
                           ? xdgDataDirs
                           : "/usr/local/share:/usr/share";
    for (size_t start = 0; start <= dirs.size();) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        std::string entry = dirs.substr(start, end - start);
        if (isAbsolute(entry.c_str())) installed.push_back(entry + "/brinewort");
        start = end + 1;
    }
    found.searchDirectories.insert(found.searchDirectories.end(), installed.begin(),
                                   installed.end());

    // A directory that holds the data is the player's game directory, unless it is an
    // installed copy: nothing is ever written there.
    bool holdsData = false;
    for (const char *name : dataFileNames)
        holdsData = holdsData || exists(name);
    for (const std::string &directory : installed)
        holdsData = holdsData && !sameDirectory(".", directory);
    if (holdsData) {
        found.saveDirectory = "";
    } else if (!dataHome.empty()) {
        found.saveDirectory = dataHome;
    } else {
        found.saveProblem = "neither XDG_DATA_HOME nor HOME names a directory to keep it in";
    }
    return found;
}

std::string installedDataDirectory() {
    char binary[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", binary, sizeof binary - 1);
    if (length <= 0) return "";
    binary[length] = '\0';
    char *slash = std::strrchr(binary, '/');
    if (slash == nullptr) return "";
    *slash = '\0';
    return std::string(binary) + "/" + BRINEWORT_DATA_FROM_BINARY;
}

void setDataPlaces(const DataPlaces &newPlaces) {
    places = newPlaces;
}

const DataPlaces &dataPlaces() {
    return places;
}

std::string dataFilePath(const char *name) {
    if (std::strchr(name, '/') != nullptr) return name;
    for (const std::string &directory : places.searchDirectories) {
        std::string path = inDirectory(directory, name);
        if (exists(path)) return path;
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
    const std::string &directory = places.saveDirectory;
    // Each missing directory on the way, made private to the player.
    for (size_t slash = directory.find('/', 1);; slash = directory.find('/', slash + 1)) {
        std::string part = directory.substr(0, slash);
        if (!part.empty() && mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            *reason = part + ": " + std::strerror(errno);
            return false;
        }
        if (slash == std::string::npos) break;
    }
    return true;
}
