// Where the game's files are: each data file is looked for in a list of directories, and the
// save is kept in one directory. The program's entry point sets the places from its options
// and the environment; until then (and in the tests) everything is in the current directory.
#pragma once

#include <string>
#include <vector>

// The seven files the game reads its data from.
constexpr const char *dataFileNames[] = {
    "map.txt",        "Story.txt",
    "NPCscripts.rtf", "SkeletonScripts.txt",
    "dragon2.txt",    "BartenderScripts.txt",
    "Wizard.txt",
};

// True for the name of one of them, as it is written there.
bool isDataFileName(const std::string &name);

// The save file's name ("SaveFile.txt"; saveFilePath() says where it is), and that of a save
// being written beside it.
constexpr char saveFileName[] = "SaveFile.txt";
constexpr char newSaveFileName[] = "SaveFile.txt.new";

struct DataPlaces {
    // Searched in order for each data file; "" is the current directory.
    std::vector<std::string> searchDirectories{""};
    // Where the save is kept; "" is the current directory.
    std::string saveDirectory;
    // Why there is nowhere to keep a save ("" when there is a place).
    std::string saveProblem;
};

// The places for a program start: the option's directory (may be null), the current
// directory, $XDG_DATA_HOME/brinewort (or ~/.local/share/brinewort), the installed data
// beside the binary, then each $XDG_DATA_DIRS entry; on Windows the option's folder, the
// current one, the program's, then %APPDATA%\Brinewort. The save stays in the current
// directory when that holds the game's data (and is not an installed copy), else in the data
// home (%APPDATA%\Brinewort). getVariable reads the environment (systemVariable, or a table
// in tests). Each system's own is in datapath_posix.cpp and datapath_windows.cpp.
DataPlaces findDataPlaces(const char *dataDirOption, const std::string &installedDataDirectory,
                          const char *(*getVariable)(const char *name));
// Where the data files and the save are, as --help tells it (a few lines).
extern const char dataPlacesHelp[];
// The installed data directory, relative to the running binary ("" when unknown); on Windows
// the program's own folder.
std::string installedDataDirectory();

// Chooses the places for the rest of the run; and the places chosen.
void setDataPlaces(const DataPlaces &newPlaces);
const DataPlaces &dataPlaces();

// The path to open for a data file: the first place that has it. A name with a slash in it is
// a path already and is used as given. When no place has the file, the name itself (so the
// failure is reported as for the current directory).
std::string dataFilePath(const char *name);
// The save file's path, and the directory it is in ("." for the current directory).
std::string saveFilePath();
std::string saveDirectoryPath();
// Makes the save's directory (and any missing parents, private to the player) before a save.
// False, with the reason, when there is nowhere to save.
bool prepareSaveDirectory(std::string *reason);
