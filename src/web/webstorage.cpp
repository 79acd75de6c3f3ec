// The save directory in IndexedDB, synchronised when the page starts and after each save.
#include "web/webstorage.h"

#include <cstdio>
#include <emscripten.h>

namespace {

// What follows each signature is JavaScript, which clang-format would break.
// clang-format off

// Makes the directory and mounts the browser's storage on it; 0, with the reason, when the
// page may have none.
EM_JS(int, storageOpen, (const char *directory, char *reason, int reasonSize), {
    try {
        // Read, write and search for the player alone (octal 700), as the save asks.
        const path = UTF8ToString(directory);
        FS.mkdir(path, 448);
        FS.mount(IDBFS, {}, path);
        FS.chmod(path, 448);
        return 1;
    } catch (error) {
        stringToUTF8(String(error && (error.message || error.name) || error), reason, reasonSize);
        return 0;
    }
});

// Fills the mounted directories from the browser's storage (fromStorage) or the other way.
EM_ASYNC_JS(int, storageSync, (int fromStorage, char *reason, int reasonSize), {
    const error = await new Promise(resolve => {
        try {
            FS.syncfs(fromStorage != 0, resolve);
        } catch (thrown) {
            resolve(thrown);
        }
    });
    if (!error) return 1;
    stringToUTF8(String(error.message || error.name || error), reason, reasonSize);
    return 0;
});

// clang-format on

} // namespace

bool openSaveStorage(const char *directory, std::string *reason) {
    char why[96] = "";
    if (storageOpen(directory, why, sizeof why) == 0) {
        *reason = std::string("the browser gives the page no storage: ") + why;
        return false;
    }
    if (storageSync(1, why, sizeof why) == 0) {
        *reason = std::string("the browser's storage cannot be read: ") + why;
        return false;
    }
    return true;
}

// A save gets this far only when the storage opened: otherwise what kept it from opening
// is the save's problem, and the save stops there.
bool keepSaveStorage(char *reason, size_t size) {
    char why[96] = "no storage";
    if (storageSync(0, why, sizeof why) != 0) return true;
    std::snprintf(reason, size, "the browser did not keep it: %s", why);
    return false;
}
