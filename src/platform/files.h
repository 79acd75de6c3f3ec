// Files as the system gives them: every file the game reads is opened here without waiting and
// read with a bound, the save is replaced whole, a replay's directory is private to the player,
// and text taken from a file is made safe to print. What differs per system is in
// files_posix.cpp and files_windows.cpp; paths are UTF-8 on every system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// The most bytes each kind of file may hold. Bounds, so that a file that never ends (a link to
// /dev/zero, say) or a huge one cannot hold the game up or fill its memory.
constexpr size_t maxDataFileBytes = size_t{1} << 20;      // the game's own are a few kilobytes
constexpr size_t maxSaveFileBytes = size_t{64} << 10;     // the game writes a few hundred bytes
constexpr size_t maxFontFileBytes = size_t{4} << 20;      // an 8x16 font is a few dozen KB
constexpr size_t maxRecordingFileBytes = size_t{1} << 30; // read a piece at a time

// A file opened for reading, or why it was not. Closed when it goes.
class OpenedFile {
  public:
    OpenedFile() = default;
    OpenedFile(const OpenedFile &) = delete;
    OpenedFile &operator=(const OpenedFile &) = delete;
    OpenedFile(OpenedFile &&other) noexcept;
    OpenedFile &operator=(OpenedFile &&other) noexcept;
    ~OpenedFile();

    bool ok() const { return descriptor >= 0; }
    int error = 0;        // errno of the failure; 0 when open, or for a kind of file refused
    char reason[64] = ""; // the failure in words: the system's, or what kind of file it is
    uint64_t size = 0;    // the size when it was opened
    int descriptor = -1;  // the C library's descriptor of it (on Windows, of its handle)
    // Reads up to length bytes at offset; the count read, 0 at the end, -1 on an error.
    long readAt(uint64_t offset, char *into, size_t length) const;
    // Closes it now; false (with errno) when closing fails.
    bool close();
};

// Opens a file to read: never waits (a FIFO nobody writes to, a terminal), and refuses
// anything but a regular file of at most maxBytes, saying what it is instead ("a FIFO", "a
// device", "a named pipe", ...).
OpenedFile openFileToRead(const char *path, size_t maxBytes);

// A file read whole, or why it could not be.
struct FileBytes {
    bool ok = false;
    bool closeFailed = false; // read, but closing it failed
    int error = 0;            // errno of the failure; 0 when read, or for a kind of file refused
    char reason[64] = "";     // the failure in words
    std::string bytes;
};
// The one way a whole file is read: as openFileToRead opens it, at most maxBytes.
FileBytes readFileBytes(const char *path, size_t maxBytes = maxDataFileBytes);

// Opens a file to be written from its start, without waiting: a new name, or a regular file
// that is there and that whyKept, given its first bytes (up to 64), gives no reason to keep. A
// link, a FIFO, a device or a directory is refused. The descriptor of the file, emptied; -1
// with the reason.
int openFileToReplace(const char *path, const char *(*whyKept)(const std::string &firstBytes),
                      std::string *reason);

// --- Replacing a file whole (the save) ---
// Where a file about to be replaced is: path itself, or the target of a link the player made
// to it (the link stays; on Windows any reparse point counts as a link). False, with the
// reason (naming the file as shownName), when it must not be replaced: it is no regular file,
// another user's, read-only, or one the player cannot read. *keptMode: its permissions, for
// the new file (0 when there is none, or the system has no such thing).
bool findFileToReplace(const std::string &path, const char *shownName, std::string *target,
                       unsigned *keptMode, std::string *reason);
// True when nobody but the player can plant a file or a link in the directory.
bool directoryIsPrivate(const std::string &directory);
// A new file at path opened for writing bytes as they are, never over a file that is there and
// never through a link; with the permissions keptMode (0: the usual ones). Null with errno.
FILE *createNewFile(const std::string &path, unsigned keptMode);
// Writes what the system holds of the file through to the disk; false with errno.
bool syncFileToDisk(FILE *file);
// Puts the file from in the place of the file to, in one step that a crash cannot cut in two;
// false with errno.
bool replaceFile(const std::string &from, const std::string &to);
// Makes a finished replace in the directory survive a power cut as well.
void syncDirectory(const std::string &directory);
// Removes a file; false with errno (ENOENT when there was none).
bool removeFile(const std::string &path);

// Text taken from a file or the command line, as it may be shown on a terminal or the screen:
// printable ASCII and well-formed UTF-8 of printable characters stay, every other byte (control
// codes, escape sequences, broken UTF-8) is shown as \xNN.
std::string printableText(std::string_view text);

// --- A replay's private directory ---
// A new directory under the system's temporary directory ($TMPDIR, else /tmp; %TEMP% on
// Windows) that only this user may enter, named "brinewort-PURPOSE-PID-XXXXXX" so that one left
// by a killed run is known. Opened as *directory (a descriptor every name in it is reached
// through; on Windows, of a handle that keeps it from being moved); false with the reason.
struct PrivateDirectory {
    std::string path; // where it is
    int descriptor = -1;
};
bool makePrivateDirectory(const char *purpose, PrivateDirectory *made, std::string *error);
// Removes it with the files and links in it (it holds nothing else), and closes it.
void removePrivateDirectory(PrivateDirectory *directory);
// Removes this user's directories of that purpose whose process has ended.
void removeStalePrivateDirectories(const char *purpose);
// A new file in the directory holding bytes, never through a link and never over a file that
// is there; false with the reason.
bool writeNewFileIn(const PrivateDirectory &directory, const char *name, const std::string &bytes,
                    std::string *error);
// A link in the directory to target (a copy of it where links cannot be made: on Windows, where
// they need a privilege, and in the browser); false with the reason.
bool linkIn(const PrivateDirectory &directory, const char *name, const std::string &target,
            std::string *error);
// Where the program was before it entered a private directory.
struct WorkingDirectory {
    int descriptor = -1; // POSIX: the directory, opened
    std::string path;    // Windows: its path
};
// Makes the directory the current one, keeping in *previous where the program was; false when
// it cannot.
bool enterPrivateDirectory(const PrivateDirectory &directory, WorkingDirectory *previous);
// Goes back to where the program was before (when that is still there).
void leavePrivateDirectory(WorkingDirectory *previous);
