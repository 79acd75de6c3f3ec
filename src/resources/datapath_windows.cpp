// Where the game looks for its files on Windows: beside the program, and the player's own
// folder in %APPDATA%.
#include "resources/datapath.h"

#include "platform/system.h"

// "C:\...", "C:/..." or "\\server\...": what a variable must hold to name a folder.
static bool isAbsolute(const char *path) {
    if (path == nullptr) return false;
    bool drive = ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z') && path[1] == ':' &&
                 (path[2] == '\\' || path[2] == '/');
    return drive || (path[0] == '\\' && path[1] == '\\');
}

const char dataPlacesHelp[] =
    "Data files come from DIR, the current folder, the program's folder, then\n"
    "%APPDATA%\\Brinewort. The save, SaveFile.txt, is kept beside the data in the\n"
    "current folder, or else in %APPDATA%\\Brinewort.\n";

DataPlaces findDataPlaces(const char *dataDirOption, const std::string &installedData,
                          const char *(*getVariable)(const char *name)) {
    DataPlaces found;
    found.searchDirectories.clear();
    if (dataDirOption != nullptr && dataDirOption[0] != '\0') {
        found.searchDirectories.emplace_back(dataDirOption);
    }
    found.searchDirectories.emplace_back("");
    if (!installedData.empty()) found.searchDirectories.push_back(installedData);
    std::string playerFolder;
    const char *appData = getVariable("APPDATA");
    if (isAbsolute(appData)) playerFolder = inDirectory(appData, "Brinewort");
    if (!playerFolder.empty()) found.searchDirectories.push_back(playerFolder);

    // A folder that holds the data is the player's game folder, unless it is the one the
    // program came in (started with a double click, say): the save goes to their own folder.
    bool holdsData = false;
    for (const char *name : dataFileNames)
        holdsData = holdsData || pathExists(name);
    holdsData = holdsData && (installedData.empty() || !sameFile(".", installedData));
    if (holdsData) {
        found.saveDirectory = "";
    } else if (!playerFolder.empty()) {
        found.saveDirectory = playerFolder;
    } else {
        found.saveProblem = "APPDATA names no folder to keep it in";
    }
    return found;
}
