// Opening and reading files safely, the replay's private directory, and printable file text.
#include "platform/files.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void setReason(char (&reason)[64], int *errorOut, int error, const char *text) {
    *errorOut = error;
    std::snprintf(reason, sizeof reason, "%s", text != nullptr ? text : std::strerror(error));
}

void setTooBig(char (&reason)[64], int *errorOut, size_t maxBytes) {
    char text[48];
    if (maxBytes % (size_t{1} << 20) == 0) {
        std::snprintf(text, sizeof text, "too big: over %zu MiB", maxBytes >> 20);
    } else if (maxBytes % 1024 == 0) {
        std::snprintf(text, sizeof text, "too big: over %zu KiB", maxBytes >> 10);
    } else {
        std::snprintf(text, sizeof text, "too big: over %zu bytes", maxBytes);
    }
    setReason(reason, errorOut, EFBIG, text);
}

// What a file that is not a regular one is, in words.
const char *kindOfFile(mode_t mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

const char *temporaryBase() {
    const char *base = std::getenv("TMPDIR");
    return base != nullptr && base[0] == '/' ? base : "/tmp";
}

// The characters a terminal may be asked to show: no controls, and none of the marks that
// turn the direction of the text around it.
bool printableCodePoint(uint32_t code) {
    if (code < 0xA0) return code >= 0x20 && code < 0x7F;
    if (code == 0x061C || code == 0x200E || code == 0x200F || code == 0x2028 || code == 0x2029)
        return false;
    if ((code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069)) return false;
    return !(code >= 0xD800 && code <= 0xDFFF) && code <= 0x10FFFF && code != 0xFEFF;
}

// The length of a well-formed UTF-8 sequence of a printable character at the start of text;
// 0 when there is none.
size_t printableSequence(std::string_view text) {
    auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(0);
    if (lead < 0x80) return printableCodePoint(lead) ? 1 : 0;
    size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || text.size() < length) return 0;
    uint32_t code = lead & (0x7F >> length);
    for (size_t i = 1; i < length; i++) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        code = code << 6 | (byte(i) & 0x3F);
    }
    static const uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < smallest[length]) return 0; // an overlong form
    return printableCodePoint(code) ? length : 0;
}

} // namespace

OpenedFile::OpenedFile(OpenedFile &&other) noexcept {
    *this = std::move(other);
}

OpenedFile &OpenedFile::operator=(OpenedFile &&other) noexcept {
    if (this != &other) {
        close();
        error = other.error;
        std::memcpy(reason, other.reason, sizeof reason);
        size = other.size;
        descriptor = other.descriptor;
        other.descriptor = -1;
    }
    return *this;
}

OpenedFile::~OpenedFile() {
    close();
}

bool OpenedFile::close() {
    if (descriptor < 0) return true;
    int fd = descriptor;
    descriptor = -1;
    return ::close(fd) == 0;
}

long OpenedFile::readAt(uint64_t offset, char *into, size_t length) const {
    for (;;) {
        ssize_t got = pread(descriptor, into, length, static_cast<off_t>(offset));
        if (got >= 0 || errno != EINTR) return static_cast<long>(got);
    }
}

OpenedFile openFileToRead(const char *path, size_t maxBytes) {
    OpenedFile file;
    // O_NONBLOCK: opening a FIFO nobody writes to, or some devices, would wait for ever.
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        setReason(file.reason, &file.error, errno, nullptr);
        return file;
    }
    struct stat status;
    if (fstat(fd, &status) != 0) {
        setReason(file.reason, &file.error, errno, nullptr);
    } else if (!S_ISREG(status.st_mode)) {
        setReason(file.reason, &file.error, S_ISDIR(status.st_mode) ? EISDIR : 0,
                  kindOfFile(status.st_mode));
    } else if (static_cast<uint64_t>(status.st_size) > maxBytes) {
        setTooBig(file.reason, &file.error, maxBytes);
    } else {
        file.size = static_cast<uint64_t>(status.st_size);
        file.descriptor = fd;
        return file;
    }
    ::close(fd);
    return file;
}

FileBytes readFileBytes(const char *path, size_t maxBytes) {
    FileBytes result;
    OpenedFile file = openFileToRead(path, maxBytes);
    if (!file.ok()) {
        result.error = file.error;
        std::memcpy(result.reason, file.reason, sizeof result.reason);
        return result;
    }
    // The size is only a hint (the file may grow meanwhile): the bound is what counts.
    size_t limit = maxBytes + 1;
    result.bytes.resize(std::min(static_cast<size_t>(file.size) + 1, limit));
    size_t length = 0;
    for (;;) {
        if (length == result.bytes.size()) {
            if (length == limit) break;
            result.bytes.resize(std::min(length * 2, limit));
        }
        long got = file.readAt(length, &result.bytes[length], result.bytes.size() - length);
        if (got < 0) {
            setReason(result.reason, &result.error, errno, nullptr);
            break;
        }
        if (got == 0) break;
        length += static_cast<size_t>(got);
    }
    if (result.error == 0 && length > maxBytes) {
        setTooBig(result.reason, &result.error, maxBytes);
    }
    result.ok = result.reason[0] == '\0';
    result.bytes.resize(result.ok ? length : 0);
    if (!file.close() && result.ok) {
        result.closeFailed = true;
        result.error = errno;
    }
    return result;
}

int openFileToReplace(const char *path, const char *(*whyKept)(const std::string &firstBytes),
                      std::string *reason) {
    // O_NOFOLLOW: a link is not written through; O_NONBLOCK: a FIFO does not wait for a reader.
    int fd = open(path, O_RDWR | O_CREAT | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) {
        *reason = errno == ELOOP ? "a link: name the file itself" : std::strerror(errno);
        return -1;
    }
    struct stat status;
    std::string first(64, '\0');
    ssize_t got = 0;
    const char *refusal = nullptr; // why the file is not taken; null when it is
    bool failed = fstat(fd, &status) != 0;
    if (!failed && !S_ISREG(status.st_mode)) {
        refusal = kindOfFile(status.st_mode);
    } else if (!failed && status.st_size > 0) {
        got = pread(fd, first.data(), first.size(), 0);
        failed = got < 0;
        if (!failed) refusal = whyKept(first.substr(0, static_cast<size_t>(got)));
    }
    if (!failed && refusal == nullptr) {
        failed = ftruncate(fd, 0) != 0 || fcntl(fd, F_SETFL, 0) != 0;
        if (!failed) return fd;
    }
    *reason = failed ? std::strerror(errno) : refusal;
    close(fd);
    return -1;
}

std::string printableText(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    while (!text.empty()) {
        size_t length = printableSequence(text);
        if (length > 0) {
            shown.append(text.substr(0, length));
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(text[0]));
            shown += escaped;
            length = 1;
        }
        text.remove_prefix(length);
    }
    return shown;
}

bool makePrivateDirectory(const char *purpose, PrivateDirectory *made, std::string *error) {
    char pattern[4096];
    std::snprintf(pattern, sizeof pattern, "%s/brinewort-%s-%ld-XXXXXX", temporaryBase(), purpose,
                  static_cast<long>(getpid()));
    // mkdtemp makes it mode 0700, under a name nobody could have taken before.
    if (mkdtemp(pattern) == nullptr) {
        *error = "cannot make a directory in " + printableText(temporaryBase()) + ": " +
                 std::strerror(errno);
        return false;
    }
    made->path = pattern;
    made->descriptor = open(pattern, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (made->descriptor < 0) {
        *error = "cannot open " + printableText(made->path) + ": " + std::strerror(errno);
        rmdir(pattern);
        made->path.clear();
        return false;
    }
    return true;
}

// Empties a directory reached through its descriptor (files and links only) and removes it.
static void removeDirectoryAt(int parent, const char *name, int descriptor) {
    int listing = dup(descriptor);
    DIR *entries = listing >= 0 ? fdopendir(listing) : nullptr;
    if (entries == nullptr && listing >= 0) close(listing);
    if (entries != nullptr) {
        while (dirent *entry = readdir(entries)) {
            if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
                continue;
            unlinkat(descriptor, entry->d_name, 0);
        }
        closedir(entries);
    }
    unlinkat(parent, name, AT_REMOVEDIR);
}

void removePrivateDirectory(PrivateDirectory *directory) {
    if (directory->descriptor >= 0) {
        removeDirectoryAt(AT_FDCWD, directory->path.c_str(), directory->descriptor);
        close(directory->descriptor);
    }
    *directory = PrivateDirectory{};
}

void removeStalePrivateDirectories(const char *purpose) {
    const char *base = temporaryBase();
    int baseDescriptor = open(base, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (baseDescriptor < 0) return;
    DIR *entries = fdopendir(baseDescriptor);
    if (entries == nullptr) {
        close(baseDescriptor);
        return;
    }
    char prefix[64];
    std::snprintf(prefix, sizeof prefix, "brinewort-%s-", purpose);
    size_t prefixLength = std::strlen(prefix);
    while (dirent *entry = readdir(entries)) {
        if (std::strncmp(entry->d_name, prefix, prefixLength) != 0) continue;
        char *end;
        long pid = std::strtol(entry->d_name + prefixLength, &end, 10);
        if (end == entry->d_name + prefixLength || *end != '-' || pid <= 0) continue;
        // Its process is still there (or is another user's): not stale.
        if (kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
        int stale =
            openat(baseDescriptor, entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (stale < 0) continue;
        struct stat status;
        if (fstat(stale, &status) == 0 && status.st_uid == geteuid())
            removeDirectoryAt(baseDescriptor, entry->d_name, stale);
        close(stale);
    }
    closedir(entries);
}

bool writeNewFileIn(const PrivateDirectory &directory, const char *name, const std::string &bytes,
                    std::string *error) {
    int fd = openat(directory.descriptor, name,
                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    bool written = fd >= 0;
    for (size_t done = 0; written && done < bytes.size();) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        written = n > 0;
        if (written) done += static_cast<size_t>(n);
    }
    int failure = written ? 0 : (errno != 0 ? errno : EIO);
    if (fd >= 0 && close(fd) != 0 && failure == 0) failure = errno;
    if (fd >= 0 && failure != 0) unlinkat(directory.descriptor, name, 0);
    if (failure == 0) return true;
    *error = std::string(name) + ": " + std::strerror(failure);
    return false;
}

bool linkIn(const PrivateDirectory &directory, const char *name, const std::string &target,
            std::string *error) {
#ifdef __EMSCRIPTEN__
    // This runtime's symlinkat takes neither name as text: a copy of a data file serves too.
    FileBytes file = readFileBytes(target.c_str(), maxDataFileBytes);
    if (!file.ok) {
        *error = std::string(name) + ": " + file.reason;
        return false;
    }
    return writeNewFileIn(directory, name, file.bytes, error);
#else
    if (symlinkat(target.c_str(), directory.descriptor, name) == 0) return true;
    *error = std::string(name) + ": " + std::strerror(errno);
    return false;
#endif
}
