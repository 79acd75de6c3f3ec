// The save's lasting home in the page: the browser's storage for the site (IndexedDB, through
// Emscripten's IDBFS), mounted as the save directory.
#pragma once

#include <cstddef>
#include <string>

// Makes the directory (the player's alone, as the save asks) and fills it from the browser's
// storage. False, with the reason, when the browser keeps nothing for the page (storage
// blocked, a private window that refuses it).
bool openSaveStorage(const char *directory, std::string *reason);
// Writes the directory back to the browser's storage: the save's keeper (save.h). False, with
// the reason, when the browser would not keep it.
bool keepSaveStorage(char *reason, size_t size);
