// Files on Windows: the bounded reader refuses devices, named pipes and folders at once; names
// outside ASCII work everywhere; a replay's folder under %TEMP% is the player's alone and goes
// with the replay, or with the next start when a killed run left it.
#include <windows.h>

#include <aclapi.h>
#include <filesystem>
#include <fstream>
#include <string>

#include "game/game.h"
#include "platform/files.h"
#include "platform/system.h"
#include "platform/windows_text.h"
#include "resources/datapath.h"
#include "resources/resources.h"
#include "save/save.h"
#include "support/harness.h"

namespace fs = std::filesystem;

using WindowsFilesTest = GameTest;

// writeFile, for any name: through the wide calls.
static void writeFileAt(const std::string &path, const std::string &bytes) {
    std::ofstream(pathOf(path), std::ios::binary) << bytes;
}

TEST_F(WindowsFilesTest, TheBoundedReaderRefusesDevicesPipesAndFoldersAtOnce) {
    std::wstring pipeName =
        L"\\\\.\\pipe\\brinewort-test-" + std::to_wstring(GetCurrentProcessId());
    // A pipe nobody writes to: reading it would wait for ever.
    HANDLE pipe = CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 4096,
                                   4096, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    fs::create_directory("folder");
    struct Case {
        std::string path, reason;
        int error;
    } cases[] = {
        {"NUL", "a device", 0},
        {utf8Of(pipeName), "a named pipe", 0},
        {"folder", "a directory", EISDIR},
        {"missing.txt", "No such file or directory", ENOENT},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path);
        FileBytes file = readFileBytes(c.path.c_str());
        EXPECT_FALSE(file.ok);
        EXPECT_EQ(std::string(file.reason), c.reason);
        EXPECT_EQ(file.error, c.error);
    }
    CloseHandle(pipe);
}

// A player whose user name is not ASCII has their %APPDATA% and %TEMP% under it.
TEST_F(WindowsFilesTest, NamesOutsideAsciiWorkForDataSavesAndReplays) {
    const std::string folder = currentDirectory() + "\\Zo\xC3\xAB \xE6\x97\xA5\xE6\x9C\xAC";
    std::string reason;
    ASSERT_TRUE(makeDirectories(folder + "\\data", &reason)) << reason;
    EXPECT_EQ(whyNotADirectory(folder + "\\data"), nullptr);
    EXPECT_TRUE(sameFile(folder, folder + "\\data\\.."));
    EXPECT_EQ(directoryOf(inDirectory(folder, "Story.txt")), folder);
    writeFileAt(folder + "\\data\\Story.txt", "Chunk1\nfar away_");
    DataPlaces places;
    places.searchDirectories = {folder + "\\data"};
    places.saveDirectory = folder;
    setDataPlaces(places);
    EXPECT_EQ(dataFilePath("Story.txt"), folder + "\\data\\Story.txt");
    TextSection story = readTextSection("Story.txt", "Chunk1");
    ASSERT_NE(story.text, nullptr);
    EXPECT_STREQ(story.text.get(), "far away");
    game.player.level = 7;
    ASSERT_TRUE(saveGame()) << headlessErrors();
    EXPECT_TRUE(fs::exists(pathOf(folder + "\\SaveFile.txt")));
    game.player.level = 1;
    ASSERT_TRUE(loadGame());
    EXPECT_EQ(game.player.level, 7);
}

// The only entry of the folder's list of who may do what: the player, with everything.
static bool onlyThePlayerMayEnter(const std::string &path) {
    PACL list = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    SECURITY_INFORMATION wanted = DACL_SECURITY_INFORMATION | OWNER_SECURITY_INFORMATION;
    if (GetNamedSecurityInfoW(wideOf(path).c_str(), SE_FILE_OBJECT, wanted, nullptr, nullptr, &list,
                              nullptr, &descriptor) != ERROR_SUCCESS) {
        return false;
    }
    HANDLE token;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    char user[256];
    DWORD size = sizeof user;
    GetTokenInformation(token, TokenUser, user, size, &size);
    CloseHandle(token);
    ACCESS_ALLOWED_ACE *entry = nullptr;
    bool only = list != nullptr && list->AceCount == 1 &&
                GetAce(list, 0, reinterpret_cast<void **>(&entry)) &&
                entry->Header.AceType == ACCESS_ALLOWED_ACE_TYPE &&
                EqualSid(&entry->SidStart, reinterpret_cast<TOKEN_USER *>(user)->User.Sid);
    LocalFree(descriptor);
    return only;
}

// Wine keeps no lists of who may do what: it shows a file's Unix permissions as one.
static bool runningOnWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

TEST_F(WindowsFilesTest, AReplaysFolderIsUnderTempThePlayersAloneAndGoesWithIt) {
    writeFile("Story.txt", "Chunk1\nstory_");
    // As an installed data file may be; its copy in the replay's folder is read-only too.
    ASSERT_TRUE(SetFileAttributesW(L"Story.txt", FILE_ATTRIBUTE_READONLY));
    PrivateDirectory made;
    std::string error;
    ASSERT_TRUE(makePrivateDirectory("test", &made, &error)) << error;
    fs::path temp = fs::temp_directory_path();
    EXPECT_TRUE(sameFile(textOf(pathOf(made.path).parent_path()), textOf(temp)));
    EXPECT_EQ(textOf(pathOf(made.path).filename())
                  .rfind("brinewort-test-" + std::to_string(GetCurrentProcessId()) + "-", 0),
              0u);
    if (!runningOnWine()) {
        EXPECT_TRUE(onlyThePlayerMayEnter(made.path));
    }
    // Held open: nobody moves it away meanwhile.
    EXPECT_FALSE(MoveFileW(wideOf(made.path).c_str(), wideOf(made.path + "-moved").c_str()));
    ASSERT_TRUE(writeNewFileIn(made, "SaveFile.txt", "saved", &error)) << error;
    EXPECT_FALSE(writeNewFileIn(made, "SaveFile.txt", "again", &error));
    ASSERT_TRUE(linkIn(made, "Story.txt", currentDirectory() + "\\Story.txt", &error)) << error;
    WorkingDirectory previous;
    ASSERT_TRUE(enterPrivateDirectory(made, &previous));
    EXPECT_EQ(readFile("SaveFile.txt"), "saved");
    EXPECT_EQ(readFile("Story.txt"), "Chunk1\nstory_");
    leavePrivateDirectory(&previous);
    EXPECT_EQ(readFile("Story.txt"), "Chunk1\nstory_");
    std::string path = made.path;
    removePrivateDirectory(&made);
    EXPECT_FALSE(pathExists(path));
    SetFileAttributesW(L"Story.txt", FILE_ATTRIBUTE_NORMAL);
}

TEST_F(WindowsFilesTest, AFolderAKilledRunLeftIsRemovedByTheNextStart) {
    fs::path temp = fs::temp_directory_path();
    // No process has the number 0xFFFFFFF0; this one's is running.
    fs::path stale = temp / "brinewort-test-4294967280-abcdef";
    fs::path ours = temp / ("brinewort-test-" + std::to_string(GetCurrentProcessId()) + "-abcdef");
    for (const fs::path &folder : {stale, ours}) {
        fs::create_directory(folder);
        writeFileAt(textOf(folder / "SaveFile.txt"), "left");
    }
    removeStalePrivateDirectories("test");
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(ours / "SaveFile.txt"));
    fs::remove_all(ours);
}
