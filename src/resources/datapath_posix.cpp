// Where the game looks for its files on POSIX systems: the XDG base directories.
#include "resources/datapath.h"

#include "platform/system.h"

const char dataPlacesHelp[] =
    "Data files come from DIR, the current directory, $XDG_DATA_HOME/brinewort, then\n"
    "the installed data. The save, SaveFile.txt, is kept beside the data in the\n"
    "current directory, or else in $XDG_DATA_HOME/brinewort. More in brinewort(6).\n";

DataPlaces findDataPlaces(const char *dataDirOption, const std::string &installedData,
                          const char *(*getVariable)(const char *name)) {
    DataPlaces found;
    found.searchDirectories.clear();
    if (dataDirOption != nullptr && dataDirOption[0] != '\0') {
        found.searchDirectories.emplace_back(dataDirOption);
    }
    found.searchDirectories.emplace_back("");

    XdgDataDirectories xdg = xdgDataDirectories(getVariable);
    std::string dataHome = xdg.home.empty() ? "" : xdg.home + "/brinewort";
    if (!dataHome.empty()) found.searchDirectories.push_back(dataHome);

    std::vector<std::string> installed;
    if (!installedData.empty()) installed.push_back(installedData);
    for (const std::string &entry : xdg.system)
        installed.push_back(entry + "/brinewort");
    found.searchDirectories.insert(found.searchDirectories.end(), installed.begin(),
                                   installed.end());

    // A directory that holds the data is the player's game directory, unless it is an
    // installed copy: nothing is ever written there.
    bool holdsData = false;
    for (const char *name : dataFileNames)
        holdsData = holdsData || pathExists(name);
    for (const std::string &directory : installed)
        holdsData = holdsData && !sameFile(".", directory);
    if (holdsData) {
        found.saveDirectory = "";
    } else if (!dataHome.empty()) {
        found.saveDirectory = dataHome;
    } else {
        found.saveProblem = "neither XDG_DATA_HOME nor HOME names a directory to keep it in";
    }
    return found;
}
