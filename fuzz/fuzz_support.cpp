// The fuzz targets' shared set-up: a temporary working directory and the headless game.
#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "game/game.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "program/program.h"

namespace {

std::string workDirectory;

void removeWorkDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(workDirectory, ignored);
}

} // namespace

void fuzzSetUp() {
    // Every reader opens its file by name in the current directory, so the fuzzer's files
    // must live where they cannot clobber anything real; in memory when the system has a
    // place for that, since every input is written out as a file.
    const char *base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : std::getenv("TMPDIR");
    if (base == nullptr || base[0] == '\0') base = "/tmp";
    char pattern[64];
    std::snprintf(pattern, sizeof pattern, "%s/brinewort-fuzz-XXXXXX", base);
    if (mkdtemp(pattern) == nullptr || chdir(pattern) != 0) {
        std::perror("brinewort fuzz: temporary directory");
        std::abort();
    }
    workDirectory = pattern;
    // A replay's private directory is made there too, in memory and removed with the rest.
    setenv("TMPDIR", pattern, 1);
    std::atexit(removeWorkDirectory);
    usePlatform(&headlessPlatform);
    headlessReset();
    startUp();
}

void fuzzWriteFile(const char *name, const uint8_t *data, size_t size) {
    // Plain system calls: the file is written for every input.
    int fd = open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    bool written = fd >= 0 && (size == 0 || write(fd, data, size) == static_cast<ssize_t>(size));
    if (fd < 0 || close(fd) != 0 || !written) {
        std::perror("brinewort fuzz: writing the input file");
        std::abort();
    }
}

void fuzzCheck(bool condition, const char *what) {
    if (condition) return;
    std::fprintf(stderr, "brinewort fuzz: %s\n", what);
    std::abort();
}
