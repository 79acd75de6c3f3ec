// The choice between the terminal and the window, made once at start-up.
#include "program/backend.h"

#include <cstdio>
#include <unistd.h>

#include "platform/terminal.h"
#ifdef BRINEWORT_WINDOW
#include "window/window.h"
#endif

const Platform *startBackend(bool windowAsked) {
#ifdef BRINEWORT_WINDOW
    bool fromDesktop = isatty(STDIN_FILENO) == 0 && windowDisplayAvailable();
    if (windowAsked || fromDesktop) {
        usePlatform(&windowPlatform);
        if (windowPlatform.init()) return &windowPlatform;
        // The reason is on stderr; the terminal may still serve.
    }
#else
    if (windowAsked) {
        std::fputs("brinewort: this build has no window (it was built without SDL2); "
                   "playing in the terminal\n",
                   stderr);
    }
#endif
    usePlatform(&terminalPlatform);
    return terminalPlatform.init() ? &terminalPlatform : nullptr;
}
