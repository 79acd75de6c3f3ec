// Files and paths on Windows: opening files safely, replacing the save, the replay's private
// directory, and the program's arguments and environment. Every path goes through the wide
// (UTF-16) calls, so that names outside ASCII (a player's user name) work.
#include "platform/files.h"

// First: the other Windows headers build on it.
#include <windows.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <map>
#include <memory>
#include <random>
#include <sddl.h>
#include <shellapi.h>

#include "platform/files_system.h"
#include "platform/system.h"
#include "platform/windows_text.h"

std::wstring wideOf(const std::string &text) {
    if (text.empty()) return std::wstring();
    int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
    return wide;
}

std::string utf8Of(const wchar_t *text, size_t length) {
    if (length == 0) return std::string();
    int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr,
                                   nullptr);
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), utf8.data(), size, nullptr,
                        nullptr);
    return utf8;
}

std::string utf8Of(const std::wstring &text) {
    return utf8Of(text.data(), text.size());
}

int errnoOf(unsigned long windowsError) {
    switch (windowsError) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_CANT_RESOLVE_FILENAME:
        return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    case ERROR_DIRECTORY:
        return ENOTDIR;
    case ERROR_DIR_NOT_EMPTY:
        return ENOTEMPTY;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_PARAMETER:
        return EINVAL;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_PRIVILEGE_NOT_HELD:
        return EPERM;
    default:
        return EIO;
    }
}

namespace {

// The last Windows error as errno, for the callers that report errno.
int lastError() {
    int error = errnoOf(GetLastError());
    errno = error;
    return error;
}

// What a file that is not a regular one is, in words; null for a regular file.
const char *kindOfHandle(HANDLE handle, uint64_t *size) {
    switch (GetFileType(handle)) {
    case FILE_TYPE_DISK:
        break;
    case FILE_TYPE_CHAR:
        return "a device";
    case FILE_TYPE_PIPE:
        return "a named pipe";
    default:
        return "not a regular file";
    }
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(handle, &information)) return "not a regular file";
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return "a directory";
    *size = uint64_t{information.nFileSizeHigh} << 32 | information.nFileSizeLow;
    return nullptr;
}

// A handle as a C library descriptor, which closes it in its turn; -1 (the handle closed) when
// the library has no room.
int descriptorOf(HANDLE handle) {
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), 0);
    if (fd < 0) CloseHandle(handle);
    return fd;
}

HANDLE handleOf(int descriptor) {
    return reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
}

// The system's temporary directory, without its last backslash.
std::wstring temporaryBase() {
    wchar_t base[MAX_PATH + 2];
    DWORD length = GetTempPathW(MAX_PATH + 2, base);
    if (length == 0 || length > MAX_PATH + 1) return L".";
    while (length > 1 && (base[length - 1] == L'\\' || base[length - 1] == L'/'))
        length--;
    return std::wstring(base, length);
}

bool isSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// A security descriptor that lets only the player in, and what inherits from it too.
struct PrivateSecurity {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ~PrivateSecurity() { LocalFree(descriptor); }
};

bool makePrivateSecurity(PrivateSecurity *security) {
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::unique_ptr<char[]> buffer(new char[size]);
    bool ok = GetTokenInformation(token, TokenUser, buffer.get(), size, &size) != 0;
    CloseHandle(token);
    wchar_t *sid = nullptr;
    ok = ok && ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER *>(buffer.get())->User.Sid, &sid);
    if (!ok) return false;
    // Protected from the parent's entries; full access for the player, files and folders in it
    // inheriting the same.
    std::wstring sddl = L"D:P(A;OICI;FA;;;" + std::wstring(sid) + L")";
    LocalFree(sid);
    return ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                                &security->descriptor, nullptr);
}

// Removes the files in a directory (nothing else: a directory or a link in it stays) and then
// the directory, if it is empty by then.
void removeDirectoryAndFiles(const std::wstring &path) {
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            DWORD attributes = entry.dwFileAttributes;
            if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
                continue;
            std::wstring file = path + L"\\" + entry.cFileName;
            if ((attributes & FILE_ATTRIBUTE_READONLY) != 0)
                SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(file.c_str());
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

} // namespace

bool OpenedFile::close() {
    if (descriptor < 0) return true;
    int fd = descriptor;
    descriptor = -1;
    return _close(fd) == 0;
}

long OpenedFile::readAt(uint64_t offset, char *into, size_t length) const {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD wanted = length > (1u << 30) ? (1u << 30) : static_cast<DWORD>(length);
    DWORD got{};
    if (ReadFile(handleOf(descriptor), into, wanted, &got, &at)) return static_cast<long>(got);
    if (GetLastError() == ERROR_HANDLE_EOF) return 0;
    lastError();
    return -1;
}

OpenedFile openFileToRead(const char *path, size_t maxBytes) {
    OpenedFile file;
    // A directory opens too (and is then named as one); a named pipe, a console or a device is
    // opened without waiting and refused by its type.
    HANDLE handle = CreateFileW(wideOf(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        setReason(file.reason, &file.error, lastError(), nullptr);
        return file;
    }
    uint64_t size = 0;
    const char *kind = kindOfHandle(handle, &size);
    if (kind != nullptr) {
        bool directory = std::strcmp(kind, "a directory") == 0;
        setReason(file.reason, &file.error, directory ? EISDIR : 0, kind);
    } else if (size > maxBytes) {
        setTooBig(file.reason, &file.error, maxBytes);
    } else {
        file.descriptor = descriptorOf(handle);
        if (file.descriptor >= 0) {
            file.size = size;
            return file;
        }
        setReason(file.reason, &file.error, EMFILE, nullptr);
        return file;
    }
    CloseHandle(handle);
    return file;
}

int openFileToReplace(const char *path, const char *(*whyKept)(const std::string &firstBytes),
                      std::string *reason) {
    std::wstring wide = wideOf(path);
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            *reason = "a link: name the file itself";
            return -1;
        }
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            *reason = "a directory";
            return -1;
        }
    }
    // The link itself, never what it leads to, should one be made meanwhile.
    HANDLE handle = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                nullptr, OPEN_ALWAYS, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        *reason = std::strerror(lastError());
        return -1;
    }
    uint64_t size = 0;
    const char *refusal = kindOfHandle(handle, &size); // why the file is not taken; null when it is
    bool failed = false;
    if (refusal == nullptr && size > 0) {
        std::string first(64, '\0');
        DWORD got{};
        failed = !ReadFile(handle, first.data(), static_cast<DWORD>(first.size()), &got, nullptr);
        if (!failed) refusal = whyKept(first.substr(0, got));
    }
    if (!failed && refusal == nullptr) {
        LARGE_INTEGER start{};
        failed = !SetFilePointerEx(handle, start, nullptr, FILE_BEGIN) || !SetEndOfFile(handle);
        if (!failed) {
            int fd = descriptorOf(handle);
            if (fd < 0) *reason = std::strerror(EMFILE);
            return fd;
        }
    }
    *reason = failed ? std::strerror(lastError()) : refusal;
    CloseHandle(handle);
    return -1;
}

// --- Replacing a file whole ---

bool findFileToReplace(const std::string &path, const char *shownName, std::string *target,
                       unsigned *keptMode, std::string *reason) {
    char text[256];
    *target = path;
    *keptMode = 0;
    std::wstring wide = wideOf(path);
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        int error = lastError();
        if (error == ENOENT) return true;
        *reason = std::strerror(error);
        return false;
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        // A link the player made: the file it leads to is replaced, and the link stays.
        HANDLE handle =
            CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        wchar_t resolved[32768];
        DWORD length =
            handle == INVALID_HANDLE_VALUE
                ? 0
                : GetFinalPathNameByHandleW(handle, resolved, 32768, FILE_NAME_NORMALIZED);
        int error = length == 0 || length >= 32768 ? lastError() : 0;
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
        if (error != 0) {
            std::snprintf(text, sizeof text, "%s is a link: %s", shownName, std::strerror(error));
            *reason = text;
            return false;
        }
        // "\\?\C:\..." as a plain path; "\\?\UNC\server\..." as "\\server\...".
        std::wstring final(resolved, length);
        if (final.rfind(L"\\\\?\\UNC\\", 0) == 0) {
            final = L"\\" + final.substr(7);
        } else if (final.rfind(L"\\\\?\\", 0) == 0) {
            final = final.substr(4);
        }
        *target = utf8Of(final);
        wide = final;
        attributes = GetFileAttributesW(wide.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    }
    const char *refusal = nullptr;
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) {
        refusal = "is not a regular file";
    } else if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        refusal = "is read-only";
    }
    if (refusal != nullptr) {
        std::snprintf(text, sizeof text, "%s %s", shownName, refusal);
        *reason = text;
        return false;
    }
    // A file the player cannot read is not replaced behind their back.
    HANDLE readable = CreateFileW(wide.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
    if (readable == INVALID_HANDLE_VALUE) {
        int error = lastError();
        if (error == ENOENT) return true;
        std::snprintf(text, sizeof text, "%s cannot be read: %s", shownName, std::strerror(error));
        *reason = text;
        return false;
    }
    CloseHandle(readable);
    return true;
}

bool directoryIsPrivate(const std::string &) {
    // Another user can plant a link beside the save only with a privilege that would let them
    // do anything anyway, and the folders the game saves in (the player's own, or their
    // %APPDATA%) are theirs alone.
    return true;
}

FILE *createNewFile(const std::string &path, unsigned) {
    // CREATE_NEW: the name must be new, and a link under it counts as a file that is there.
    HANDLE handle = CreateFileW(wideOf(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        lastError();
        return nullptr;
    }
    int fd = descriptorOf(handle);
    FILE *file = fd < 0 ? nullptr : _fdopen(fd, "wb");
    if (file == nullptr) {
        if (fd >= 0) _close(fd);
        DeleteFileW(wideOf(path).c_str());
        errno = EMFILE;
    }
    return file;
}

bool syncFileToDisk(FILE *file) {
    if (FlushFileBuffers(handleOf(_fileno(file)))) return true;
    lastError();
    return false;
}

bool replaceFile(const std::string &from, const std::string &to) {
    // Written through: the new name is on the disk when this returns.
    if (MoveFileExW(wideOf(from).c_str(), wideOf(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    lastError();
    return false;
}

void syncDirectory(const std::string &) {
    // The replace was written through already.
}

bool removeFile(const std::string &path) {
    if (DeleteFileW(wideOf(path).c_str())) return true;
    lastError();
    return false;
}

// --- A replay's private directory ---

bool makePrivateDirectory(const char *purpose, PrivateDirectory *made, std::string *error) {
    std::wstring base = temporaryBase();
    PrivateSecurity security;
    if (!makePrivateSecurity(&security)) {
        *error = std::string("cannot describe a private directory: ") + std::strerror(lastError());
        return false;
    }
    SECURITY_ATTRIBUTES attributes{sizeof attributes, security.descriptor, FALSE};
    // Names nobody can guess (the system's random numbers); any already there is passed over.
    std::random_device unguessable;
    std::wstring path;
    for (int attempt = 0;; attempt++) {
        wchar_t name[128];
        std::swprintf(name, 128, L"\\brinewort-%hs-%lu-%08x", purpose, GetCurrentProcessId(),
                      unguessable());
        path = base + name;
        if (CreateDirectoryW(path.c_str(), &attributes)) break;
        if (GetLastError() != ERROR_ALREADY_EXISTS || attempt == 100) {
            *error = "cannot make a directory in " + printableText(utf8Of(base)) + ": " +
                     std::strerror(lastError());
            return false;
        }
    }
    made->path = utf8Of(path);
    // Held open, and not to be deleted or renamed meanwhile, so that nothing takes its place.
    HANDLE handle = CreateFileW(path.c_str(), FILE_LIST_DIRECTORY,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    made->descriptor = handle == INVALID_HANDLE_VALUE ? -1 : descriptorOf(handle);
    if (made->descriptor < 0) {
        *error = "cannot open " + printableText(made->path) + ": " + std::strerror(lastError());
        RemoveDirectoryW(path.c_str());
        made->path.clear();
        return false;
    }
    return true;
}

void removePrivateDirectory(PrivateDirectory *directory) {
    if (directory->descriptor >= 0) {
        _close(directory->descriptor);
        removeDirectoryAndFiles(wideOf(directory->path));
    }
    *directory = PrivateDirectory{};
}

void removeStalePrivateDirectories(const char *purpose) {
    std::wstring base = temporaryBase();
    std::wstring prefix = L"brinewort-" + wideOf(purpose) + L"-";
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((base + L"\\" + prefix + L"*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        // A real directory only: a link is not followed to what it leads to.
        DWORD attributes = entry.dwFileAttributes;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
            (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            continue;
        }
        const wchar_t *number = entry.cFileName + prefix.size();
        wchar_t *end;
        unsigned long pid = std::wcstoul(number, &end, 10);
        if (end == number || *end != L'-' || pid == 0) continue;
        // Its process is still there: not stale.
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
        DWORD status{};
        bool running =
            process != nullptr && GetExitCodeProcess(process, &status) && status == STILL_ACTIVE;
        if (process != nullptr) CloseHandle(process);
        if (running || (process == nullptr && GetLastError() != ERROR_INVALID_PARAMETER)) continue;
        removeDirectoryAndFiles(base + L"\\" + entry.cFileName);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

bool writeNewFileIn(const PrivateDirectory &directory, const char *name, const std::string &bytes,
                    std::string *error) {
    std::wstring path = wideOf(inDirectory(directory.path, name));
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    bool written = handle != INVALID_HANDLE_VALUE;
    for (size_t done = 0; written && done < bytes.size();) {
        DWORD n = 0;
        DWORD piece =
            bytes.size() - done > (1u << 30) ? (1u << 30) : static_cast<DWORD>(bytes.size() - done);
        written = WriteFile(handle, bytes.data() + done, piece, &n, nullptr) && n > 0;
        done += n;
    }
    int failure = written ? 0 : lastError();
    if (handle != INVALID_HANDLE_VALUE && !CloseHandle(handle) && failure == 0)
        failure = lastError();
    if (handle != INVALID_HANDLE_VALUE && failure != 0) DeleteFileW(path.c_str());
    if (failure == 0) return true;
    *error = std::string(name) + ": " + std::strerror(failure);
    return false;
}

bool linkIn(const PrivateDirectory &directory, const char *name, const std::string &target,
            std::string *error) {
    std::wstring path = wideOf(inDirectory(directory.path, name));
    if (CopyFileW(wideOf(target).c_str(), path.c_str(), TRUE)) return true;
    *error = std::string(name) + ": " + std::strerror(lastError());
    return false;
}

bool enterPrivateDirectory(const PrivateDirectory &directory, WorkingDirectory *previous) {
    previous->path = currentDirectory();
    if (!previous->path.empty() && SetCurrentDirectoryW(wideOf(directory.path).c_str())) {
        return true;
    }
    previous->path.clear();
    return false;
}

void leavePrivateDirectory(WorkingDirectory *previous) {
    if (previous->path.empty()) return;
    if (!SetCurrentDirectoryW(wideOf(previous->path).c_str())) {
        // The folder the program was in is gone: it has nothing more to read there.
    }
    previous->path.clear();
}

// --- Paths, arguments and the environment ---

bool isPlainFileName(const char *name) {
    return std::strpbrk(name, "\\/:") == nullptr;
}

std::string inDirectory(const std::string &directory, const char *name) {
    if (directory.empty()) return name;
    char last = directory.back();
    return last == '\\' || last == '/' ? directory + name : directory + '\\' + name;
}

std::string directoryOf(const std::string &path) {
    size_t separator = path.find_last_of("\\/");
    if (separator == std::string::npos) {
        // "C:name" is in the current folder of drive C.
        return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : ".";
    }
    // The root keeps its separator: "\", "C:\".
    bool root = separator == 0 || (separator == 2 && path[1] == ':');
    return path.substr(0, root ? separator + 1 : separator);
}

bool pathExists(const std::string &path) {
    return GetFileAttributesW(wideOf(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool sameFile(const std::string &a, const std::string &b) {
    BY_HANDLE_FILE_INFORMATION information[2];
    const std::string *paths[2] = {&a, &b};
    for (int i = 0; i < 2; i++) {
        HANDLE handle = CreateFileW(wideOf(*paths[i]).c_str(), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return false;
        bool known = GetFileInformationByHandle(handle, &information[i]) != 0;
        CloseHandle(handle);
        if (!known) return false;
    }
    return information[0].dwVolumeSerialNumber == information[1].dwVolumeSerialNumber &&
           information[0].nFileIndexHigh == information[1].nFileIndexHigh &&
           information[0].nFileIndexLow == information[1].nFileIndexLow;
}

const char *whyNotADirectory(const std::string &path) {
    DWORD attributes = GetFileAttributesW(wideOf(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::strerror(lastError());
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? nullptr : "not a directory";
}

bool makeDirectories(const std::string &directory, std::string *reason) {
    std::wstring wide = wideOf(directory);
    // The root ("C:\", "\\server\share\") is there or not; the folders below it are made.
    size_t start = 0;
    if (wide.rfind(L"\\\\", 0) == 0) {
        start = wide.find_first_of(L"\\/", 2);
        start = start == std::wstring::npos ? wide.size() : wide.find_first_of(L"\\/", start + 1);
    } else if (wide.size() >= 2 && wide[1] == L':') {
        start = 2;
    }
    for (size_t at = start; at != std::wstring::npos && at < wide.size();) {
        size_t next = wide.find_first_of(L"\\/", at + 1);
        std::wstring part = wide.substr(0, next);
        at = next;
        if (part.empty() || isSeparator(part.back())) continue;
        if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
            *reason = utf8Of(part) + ": " + std::strerror(lastError());
            return false;
        }
    }
    return true;
}

std::string currentDirectory() {
    DWORD length = GetCurrentDirectoryW(0, nullptr);
    if (length == 0) return "";
    std::wstring path(length, L'\0');
    length = GetCurrentDirectoryW(length, path.data());
    path.resize(length);
    return utf8Of(path);
}

std::string programDirectory() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return "";
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        if (path.size() >= 32768) return "";
        path.resize(path.size() * 2);
    }
    size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? "" : utf8Of(path.substr(0, separator));
}

std::filesystem::path pathOf(const std::string &text) {
    return std::filesystem::path(wideOf(text));
}

std::string textOf(const std::filesystem::path &path) {
    return utf8Of(path.native());
}

std::vector<std::string> programArguments(int argc, char **argv) {
    // The command line as typed, in UTF-16: argv has it in the system's code page, which may
    // have no letter for a character of a file's name.
    int count = 0;
    wchar_t **wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; i++)
        arguments.push_back(utf8Of(wide[i], std::wcslen(wide[i])));
    LocalFree(wide);
    return arguments;
}

const char *systemVariable(const char *name) {
    // Each variable read once; the environment does not change while the game runs.
    static std::map<std::string, std::unique_ptr<std::string>> values;
    auto found = values.find(name);
    if (found != values.end()) return found->second ? found->second->c_str() : nullptr;
    std::wstring wideName = wideOf(name);
    DWORD length = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    std::unique_ptr<std::string> value;
    if (length > 0) {
        std::wstring wide(length, L'\0');
        length = GetEnvironmentVariableW(wideName.c_str(), wide.data(), length);
        wide.resize(length);
        value = std::make_unique<std::string>(utf8Of(wide));
    }
    const char *text = value ? value->c_str() : nullptr;
    values[name] = std::move(value);
    return text;
}
