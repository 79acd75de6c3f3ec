// The chosen backend and the program's one hard-failure exit.
#include "platform/platform.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static const Platform *chosenPlatform = nullptr;

void usePlatform(const Platform *platform) {
    chosenPlatform = platform;
}

const Platform &currentPlatform() {
    if (chosenPlatform == nullptr) {
        std::fputs("brinewort: no platform chosen before the first console call\n", stderr);
        std::abort();
    }
    return *chosenPlatform;
}

void exitWithError(const char *what) {
    int error = errno;
    if (chosenPlatform != nullptr) chosenPlatform->shutdown();
    std::fprintf(stderr, "%s: %s\n", what, std::strerror(error));
    std::exit(1);
}
