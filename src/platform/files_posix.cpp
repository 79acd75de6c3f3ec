// Files and paths on POSIX systems: opening files safely, replacing the save, the replay's
// private directory, and the program's arguments and environment.
#include "platform/files.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files_system.h"
#include "platform/system.h"

namespace {

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

// A group only the player is in: named as the player, with no other member, and no other
// user's own group. Many systems give each user such a group, and a umask that lets it write.
bool groupIsPlayersAlone(gid_t groupId) {
    const passwd *player = getpwuid(geteuid());
    if (player == nullptr) return false;
    const std::string playerName = player->pw_name;
    const group *found = getgrgid(groupId);
    if (found == nullptr || playerName != found->gr_name) return false;
    for (char **member = found->gr_mem; *member != nullptr; member++) {
        if (playerName != *member) return false;
    }
    bool shared = false;
    setpwent();
    while (const passwd *user = getpwent()) {
        shared = shared || (user->pw_gid == groupId && user->pw_uid != geteuid());
    }
    endpwent();
    return !shared;
}

} // namespace

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

bool enterPrivateDirectory(const PrivateDirectory &directory, WorkingDirectory *previous) {
    previous->descriptor = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (previous->descriptor >= 0 && fchdir(directory.descriptor) == 0) return true;
    if (previous->descriptor >= 0) close(previous->descriptor);
    previous->descriptor = -1;
    return false;
}

void leavePrivateDirectory(WorkingDirectory *previous) {
    if (previous->descriptor < 0) return;
    if (fchdir(previous->descriptor) != 0) {
        // The directory the program was in is gone: it has nothing more to read there.
    }
    close(previous->descriptor);
    previous->descriptor = -1;
}

// --- Replacing a file whole ---

bool findFileToReplace(const std::string &path, const char *shownName, std::string *target,
                       unsigned *keptMode, std::string *reason) {
    char text[256];
    *target = path;
    *keptMode = 0;
    struct stat status;
    if (lstat(path.c_str(), &status) != 0) {
        if (errno == ENOENT) return true;
        *reason = std::strerror(errno);
        return false;
    }
    if (S_ISLNK(status.st_mode)) {
        char *resolved = realpath(path.c_str(), nullptr);
        if (resolved == nullptr) {
            std::snprintf(text, sizeof text, "%s is a link: %s", shownName, std::strerror(errno));
            *reason = text;
            return false;
        }
        *target = resolved;
        std::free(resolved);
        if (stat(target->c_str(), &status) != 0) return true; // a link to a file not made yet
    }
    const char *refusal = nullptr;
    if (!S_ISREG(status.st_mode)) {
        refusal = "is not a regular file";
    } else if (status.st_uid != geteuid()) {
        // The player's own choice, or someone else's file: either way not replaced.
        refusal = "belongs to another user";
    } else if ((status.st_mode & S_IWUSR) == 0) {
        refusal = "is read-only";
    }
    if (refusal != nullptr) {
        std::snprintf(text, sizeof text, "%s %s", shownName, refusal);
        *reason = text;
        return false;
    }
    *keptMode = status.st_mode & 07777;
    // A file the player cannot read is not replaced behind their back.
    if (access(target->c_str(), R_OK) != 0 && errno != ENOENT) {
        std::snprintf(text, sizeof text, "%s cannot be read: %s", shownName, std::strerror(errno));
        *reason = text;
        return false;
    }
    return true;
}

bool directoryIsPrivate(const std::string &directory) {
    struct stat status;
    if (stat(directory.c_str(), &status) != 0 || status.st_uid != geteuid()) return false;
    if ((status.st_mode & S_IWOTH) != 0) return false;
    return (status.st_mode & S_IWGRP) == 0 || groupIsPlayersAlone(status.st_gid);
}

FILE *createNewFile(const std::string &path, unsigned keptMode) {
    // O_EXCL: the name must be new; O_NOFOLLOW: a link planted under it is never followed.
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    if (keptMode != 0) fchmod(fd, static_cast<mode_t>(keptMode));
    FILE *file = fdopen(fd, "w");
    if (file == nullptr) {
        int error = errno;
        close(fd);
        unlink(path.c_str());
        errno = error;
    }
    return file;
}

bool syncFileToDisk(FILE *file) {
    return fsync(fileno(file)) == 0;
}

bool replaceFile(const std::string &from, const std::string &to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

void syncDirectory(const std::string &directory) {
    int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

bool removeFile(const std::string &path) {
    return unlink(path.c_str()) == 0;
}

// --- Paths, arguments and the environment ---

bool isPlainFileName(const char *name) {
    return std::strchr(name, '/') == nullptr;
}

std::string inDirectory(const std::string &directory, const char *name) {
    return directory.empty() ? std::string(name) : directory + "/" + name;
}

std::string directoryOf(const std::string &path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool pathExists(const std::string &path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0;
}

bool sameFile(const std::string &a, const std::string &b) {
    struct stat first, second;
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

const char *whyNotADirectory(const std::string &path) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0) return std::strerror(errno);
    return S_ISDIR(status.st_mode) ? nullptr : "not a directory";
}

bool makeDirectories(const std::string &directory, std::string *reason) {
    // Each missing directory on the way, made private to the player.
    for (size_t slash = directory.find('/', 1);; slash = directory.find('/', slash + 1)) {
        std::string part = directory.substr(0, slash);
        if (!part.empty() && mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            *reason = part + ": " + std::strerror(errno);
            return false;
        }
        if (slash == std::string::npos) break;
    }
    return true;
}

std::string currentDirectory() {
    std::error_code ignored;
    return std::filesystem::current_path(ignored).string();
}

std::string programDirectory() {
    char binary[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", binary, sizeof binary - 1);
    if (length <= 0) return "";
    binary[length] = '\0';
    char *slash = std::strrchr(binary, '/');
    if (slash == nullptr) return "";
    *slash = '\0';
    return binary;
}

std::filesystem::path pathOf(const std::string &text) {
    return text;
}

std::string textOf(const std::filesystem::path &path) {
    return path.string();
}

std::vector<std::string> programArguments(int argc, char **argv) {
    return std::vector<std::string>(argv, argv + argc);
}

const char *systemVariable(const char *name) {
    return std::getenv(name);
}

XdgDataDirectories xdgDataDirectories(const char *(*getVariable)(const char *name)) {
    auto absolute = [](const char *path) { return path != nullptr && path[0] == '/'; };
    XdgDataDirectories found;
    const char *dataHome = getVariable("XDG_DATA_HOME");
    const char *home = getVariable("HOME");
    if (absolute(dataHome)) {
        found.home = dataHome;
    } else if (home != nullptr && home[0] != '\0') {
        found.home = std::string(home) + "/.local/share";
    }
    const char *dataDirs = getVariable("XDG_DATA_DIRS");
    std::string dirs =
        dataDirs != nullptr && dataDirs[0] != '\0' ? dataDirs : "/usr/local/share:/usr/share";
    for (size_t start = 0; start <= dirs.size();) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        std::string entry = dirs.substr(start, end - start);
        if (absolute(entry.c_str())) found.system.push_back(entry);
        start = end + 1;
    }
    return found;
}
