// Reading a file whole, safely: never blocks on a FIFO or a device, never reads without end.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "resources/resources.h"

static void setReason(FileBytes &result, int error, const char *text) {
    result.error = error;
    std::snprintf(result.reason, sizeof result.reason, "%s",
                  text != nullptr ? text : std::strerror(error));
}

FileBytes readFileBytes(const char *fileName, size_t maxBytes) {
    FileBytes result;
    // O_NONBLOCK: opening a FIFO nobody writes to would otherwise wait for ever.
    int fd = open(fileName, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        setReason(result, errno, nullptr);
        return result;
    }
    struct stat status;
    if (fstat(fd, &status) != 0) {
        setReason(result, errno, nullptr);
    } else if (S_ISDIR(status.st_mode)) {
        setReason(result, EISDIR, nullptr);
    } else if (!S_ISREG(status.st_mode)) {
        setReason(result, 0, "not a regular file");
    } else if (static_cast<uint64_t>(status.st_size) > maxBytes) {
        setReason(result, EFBIG, nullptr);
    } else {
        // The size is only a hint (the file may grow meanwhile): the bound is what counts.
        size_t limit = maxBytes + 1;
        result.bytes.resize(std::min(static_cast<size_t>(status.st_size) + 1, limit));
        size_t length = 0;
        for (;;) {
            if (length == result.bytes.size()) {
                if (length == limit) break;
                result.bytes.resize(std::min(length * 2, limit));
            }
            ssize_t got = read(fd, &result.bytes[length], result.bytes.size() - length);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) {
                setReason(result, errno, nullptr);
                break;
            }
            if (got == 0) break;
            length += static_cast<size_t>(got);
        }
        if (result.error == 0 && length > maxBytes) setReason(result, EFBIG, nullptr);
        result.bytes.resize(result.reason[0] == '\0' ? length : 0);
    }
    result.ok = result.reason[0] == '\0';
    if (close(fd) != 0 && result.ok) {
        result.closeFailed = true;
        result.error = errno;
    }
    if (!result.ok) result.bytes.clear();
    return result;
}
