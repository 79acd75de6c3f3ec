// The recording file's reader, and the hashes that tie a recording to its data files.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "recording/recording.h"
#include "resources/datapath.h"

namespace {

constexpr size_t maxSaveBytes = maxSaveFileBytes;
// The longest line a record may take: a poll of the most keys the game takes at once is a few
// thousand characters.
constexpr size_t maxRecordLineBytes = size_t{64} << 10;
// The header's lines: the directory, and the save in hex.
constexpr size_t maxHeaderLineBytes = 2 * maxSaveBytes + 16;

int hexDigit(char ch) {
    return ch >= '0' && ch <= '9' ? ch - '0' : ch >= 'a' && ch <= 'f' ? ch - 'a' + 10 : -1;
}

// A cursor over one line; every read says whether it found what it wanted.
struct LineReader {
    const char *at;
    const char *end;

    bool atEnd() const { return at == end; }
    bool literal(char ch) {
        if (at == end || *at != ch) return false;
        at++;
        return true;
    }
    bool number(uint64_t limit, uint64_t *value) {
        if (at == end || *at < '0' || *at > '9') return false;
        uint64_t result = 0;
        while (at != end && *at >= '0' && *at <= '9') {
            result = result * 10 + static_cast<uint64_t>(*at - '0');
            if (result > limit) return false;
            at++;
        }
        *value = result;
        return true;
    }
    bool number32(uint32_t limit, uint32_t *value) {
        uint64_t wide;
        if (!number(limit, &wide)) return false;
        *value = static_cast<uint32_t>(wide);
        return true;
    }
    // "*N" after a value: how many readings the run stands for, and " ^K": how many such runs
    // in a row the line stands for; 1 without them.
    bool repeat(Record *record) {
        record->count = record->repeats = 1;
        if (literal('*') && (!number32(maxRecordCount, &record->count) || record->count == 0)) {
            return false;
        }
        if (literal(' ') && (!literal('^') || !number32(maxRecordCount, &record->repeats) ||
                             record->repeats == 0)) {
            return false;
        }
        return atEnd() && uint64_t{record->count} * record->repeats <= maxRecordCount;
    }
    bool word(std::string *text) {
        const char *start = at;
        while (at != end && *at != ' ')
            at++;
        text->assign(start, at);
        return !text->empty();
    }
    bool hex64(uint64_t *value) {
        uint64_t result = 0;
        for (int i = 0; i < 16; i++) {
            if (at == end) return false;
            int digit = hexDigit(*at++);
            if (digit < 0) return false;
            result = result << 4 | static_cast<uint64_t>(digit);
        }
        *value = result;
        return true;
    }
    std::string rest() {
        std::string text(at, end);
        at = end;
        return text;
    }
};

// "P VK CH": a press or release, its virtual-key code and its character as a byte.
bool readEvent(LineReader &in, KeyEvent *event) {
    uint32_t virtualKey, character;
    bool down = in.literal('d');
    if (!down && !in.literal('u')) return false;
    if (!in.literal(' ') || !in.number32(65535, &virtualKey) || !in.literal(' ') ||
        !in.number32(255, &character)) {
        return false;
    }
    *event = KeyEvent{down, static_cast<uint16_t>(virtualKey),
                      static_cast<char>(static_cast<unsigned char>(character))};
    return true;
}

bool readArrival(LineReader &in, uint32_t *delta) {
    return in.literal(' ') && in.literal('@') && in.number32(UINT32_MAX, delta);
}

// One record line, its kind letter already checked to be followed by what it needs.
bool readRecord(LineReader &in, Record *record) {
    char letter = *in.at++;
    switch (letter) {
    case 't':
        record->kind = Record::Kind::tick;
        return in.literal(' ') && in.number32(UINT32_MAX, &record->value) && in.repeat(record);
    case 'm':
        record->kind = Record::Kind::timeOfDay;
        return in.literal(' ') && in.number32(999, &record->value) && in.repeat(record);
    case 'k': {
        record->kind = Record::Kind::read;
        KeyEvent event;
        if (!in.literal(' ') || !readEvent(in, &event) || !readArrival(in, &record->value)) {
            return false;
        }
        record->events.push_back(event);
        return in.atEnd();
    }
    case 'p': {
        record->kind = Record::Kind::poll;
        if (in.at != in.end && *in.at == '*') return in.repeat(record);
        uint32_t n;
        if (!in.literal(' ') || !in.number32(maxPolledEvents, &n) || n == 0 ||
            !readArrival(in, &record->value)) {
            return false;
        }
        for (uint32_t i = 0; i < n; i++) {
            KeyEvent event;
            if (!in.literal(' ') || !readEvent(in, &event)) return false;
            record->events.push_back(event);
        }
        return in.atEnd();
    }
    case 'x':
        record->kind = Record::Kind::discard;
        return in.atEnd();
    case 'f':
        record->kind = Record::Kind::dataFile;
        if (!in.literal(' ') || !in.hex64(&record->hash) || !in.literal(' ')) return false;
        record->text = in.rest();
        return !record->text.empty();
    case 'c':
    case 'l':
        record->kind = letter == 'c' ? Record::Kind::checkpoint : Record::Kind::looks;
        record->text = in.rest();
        return record->text.size() > 1 && record->text[0] == ' ';
    case 'r':
        record->kind = Record::Kind::screenRow;
        if (!in.literal(' ') || !in.number32(screenHeight - 1, &record->value)) return false;
        record->text = in.rest();
        return record->text.size() > 1 && record->text[0] == ' ';
    default:
        return false;
    }
}

bool readSave(LineReader &in, Recording *recording) {
    if (in.literal('-')) return in.atEnd();
    recording->hasSave = true;
    size_t digits = static_cast<size_t>(in.end - in.at);
    if (digits % 2 != 0 || digits / 2 > maxSaveBytes) return false;
    for (size_t i = 0; i < digits; i += 2) {
        int high = hexDigit(in.at[i]), low = hexDigit(in.at[i + 1]);
        if (high < 0 || low < 0) return false;
        recording->save += static_cast<char>(high << 4 | low);
    }
    return true;
}

std::string lineError(int line, const std::string &what) {
    return "line " + std::to_string(line) + ": " + what;
}

// What reading one line found.
enum class LineStatus : uint8_t {
    line,       // a whole line, its line feed dropped
    end,        // the end of the file, or a last line without its line feed (cut off in mid-write)
    tooLong,    // longer than a line of its kind can be
    readFailed, // the file could not be read
};

} // namespace

class RecordSource {
  public:
    // A recording in memory (tests, fuzzing) or in an open file.
    explicit RecordSource(std::string bytesIn) : bytes(std::move(bytesIn)), size(bytes.size()) {}
    explicit RecordSource(OpenedFile fileIn) : file(std::move(fileIn)), size(file.size) {}

    // The line beginning at offset, at most maxLength bytes; *next is where the one after it
    // begins.
    LineStatus readLine(uint64_t offset, size_t maxLength, std::string *line,
                        uint64_t *next) const {
        line->clear();
        for (;;) {
            if (offset >= size) return LineStatus::end;
            size_t length = 0;
            const char *piece = pieceAt(offset, &length);
            if (piece == nullptr) return LineStatus::readFailed;
            if (length == 0) return LineStatus::end; // the file is shorter now
            const char *lineFeed = static_cast<const char *>(std::memchr(piece, '\n', length));
            size_t taken = lineFeed != nullptr ? static_cast<size_t>(lineFeed - piece) : length;
            if (line->size() + taken > maxLength) return LineStatus::tooLong;
            line->append(piece, taken);
            offset += taken;
            if (lineFeed != nullptr) {
                *next = offset + 1;
                return LineStatus::line;
            }
        }
    }

    uint64_t recordsStart = 0; // where the first record's line begins
    int headerLines = 0;       // the lines before it

  private:
    static constexpr size_t pieceSize = size_t{64} << 10;
    static constexpr int pieceCount = 8;
    // The pieces of the file read last: the readers of one replay stand close together.
    struct Piece {
        uint64_t first = UINT64_MAX; // the offset it begins at; UINT64_MAX: none
        size_t length = 0;
        uint64_t lastUse = 0;
        std::unique_ptr<char[]> bytes;
    };

    // The bytes from offset to the end of the piece holding it; null when it cannot be read.
    const char *pieceAt(uint64_t offset, size_t *length) const {
        if (!file.ok()) {
            *length = static_cast<size_t>(size - offset);
            return bytes.data() + offset;
        }
        uint64_t first = offset - offset % pieceSize;
        Piece *chosen = &pieces[0];
        for (Piece &piece : pieces) {
            if (piece.first == first) {
                chosen = &piece;
                break;
            }
            if (piece.lastUse < chosen->lastUse) chosen = &piece;
        }
        if (chosen->first != first) {
            if (!chosen->bytes) chosen->bytes = std::make_unique<char[]>(pieceSize);
            long got = file.readAt(first, chosen->bytes.get(), pieceSize);
            if (got < 0) return nullptr;
            chosen->first = first;
            chosen->length = static_cast<size_t>(got);
        }
        chosen->lastUse = ++uses;
        size_t within = static_cast<size_t>(offset - first);
        *length = within < chosen->length ? chosen->length - within : 0;
        return chosen->bytes.get() + within;
    }

    std::string bytes;
    OpenedFile file;
    uint64_t size = 0;
    mutable Piece pieces[pieceCount];
    mutable uint64_t uses = 0;
};

uint64_t hashBytes(const void *bytes, size_t size, uint64_t hash) {
    const auto *p = static_cast<const unsigned char *>(bytes);
    for (size_t i = 0; i < size; i++)
        hash = (hash ^ p[i]) * 1099511628211ull;
    return hash;
}

bool hashFile(const char *path, uint64_t *hash, std::string *reason) {
    // Read as the game reads a data file: a FIFO, a device or a file without end is refused.
    FileBytes file = readFileBytes(path, maxDataFileBytes);
    if (!file.ok) {
        if (reason != nullptr) *reason = file.reason;
        return false;
    }
    *hash = hashBytes(file.bytes.data(), file.bytes.size());
    return true;
}

RecordReader::RecordReader(const Recording &recording)
    : source(recording.source), offset(source ? source->recordsStart : 0),
      line(source ? source->headerLines : 0) {}

bool RecordReader::next(Record *record) {
    if (!source) return false;
    std::string text;
    uint64_t after = 0;
    if (source->readLine(offset, maxRecordLineBytes, &text, &after) != LineStatus::line) {
        return false;
    }
    *record = Record{};
    record->line = line + 1;
    LineReader in{text.data(), text.data() + text.size()};
    if (in.atEnd() || !readRecord(in, record)) return false;
    offset = after;
    line++;
    return true;
}

namespace {

// The header, then every record line checked once: what the replay reads later is known to be
// well formed (unless the file changes meanwhile, which only ends the replay early).
bool readRecording(std::shared_ptr<RecordSource> source, Recording *recording, std::string *error) {
    *recording = Recording{};
    std::string text;
    uint64_t offset = 0;
    int lineNumber = 0;
    for (;; lineNumber++) {
        bool header = lineNumber < 3;
        uint64_t next = 0;
        LineStatus status = source->readLine(
            offset, header ? maxHeaderLineBytes : maxRecordLineBytes, &text, &next);
        if (status == LineStatus::end) break;
        if (status == LineStatus::readFailed) {
            *error =
                lineError(lineNumber + 1, std::string("cannot be read: ") + std::strerror(errno));
            return false;
        }
        if (status == LineStatus::tooLong) {
            *error = lineError(lineNumber + 1, "too long for a line of a recording");
            return false;
        }
        offset = next;
        LineReader in{text.data(), text.data() + text.size()};
        if (lineNumber == 0) {
            static const char magic[] = "brinewort-recording ";
            size_t magicLength = sizeof magic - 1;
            if (text.compare(0, magicLength, magic) != 0) {
                *error = "not a Brinewort recording";
                return false;
            }
            in.at += magicLength;
            uint32_t version;
            if (!in.number32(1000000, &version) || !in.atEnd()) {
                *error = "not a Brinewort recording";
                return false;
            }
            if (version < oldestRecordingVersion || version > recordingVersion) {
                char message[120];
                std::snprintf(message, sizeof message,
                              "a recording of version %u; this game replays versions %d to %d",
                              version, oldestRecordingVersion, recordingVersion);
                *error = message;
                return false;
            }
            recording->version = static_cast<int>(version);
        } else if (lineNumber == 1) {
            if (text.compare(0, 4, "dir ") != 0) {
                *error = lineError(2, "expected the recording's directory");
                return false;
            }
            recording->directory = text.substr(4);
        } else if (lineNumber == 2) {
            in.at += std::min<size_t>(text.size(), 5);
            if (text.compare(0, 5, "save ") != 0 || !readSave(in, recording)) {
                *error = lineError(3, "expected the save file's bytes");
                return false;
            }
            source->recordsStart = offset;
            source->headerLines = 3;
        } else {
            Record record;
            if (in.atEnd() || !readRecord(in, &record)) {
                *error = lineError(lineNumber + 1, "not a record of a game's input");
                return false;
            }
            recording->recordCount++;
            if (record.kind != Record::Kind::dataFile) continue;
            // Only the game's own data files: a replay links these into its directory.
            if (!isDataFileName(record.text)) {
                *error = lineError(lineNumber + 1, printableText(record.text) +
                                                       " is not one of the game's data files");
                return false;
            }
            bool known = false;
            for (const Record &seen : recording->dataFiles)
                known = known || seen.text == record.text;
            if (!known) {
                record.line = lineNumber + 1;
                recording->dataFiles.push_back(record);
            }
        }
    }
    if (lineNumber < 3) {
        // The start of a recording that stops before its header is complete.
        static const char magic[] = "brinewort-recording";
        std::string first;
        uint64_t ignored = 0;
        source->readLine(0, 4096, &first, &ignored);
        size_t compared = std::min(first.size(), sizeof magic - 1);
        bool started =
            lineNumber > 0 || (compared > 0 && std::strncmp(first.c_str(), magic, compared) == 0);
        *error = started ? "the recording is truncated" : "not a Brinewort recording";
        return false;
    }
    recording->source = std::move(source);
    return true;
}

} // namespace

bool parseRecording(const std::string &bytes, Recording *recording, std::string *error) {
    if (bytes.empty()) {
        *recording = Recording{};
        *error = "the file is empty, not a recording";
        return false;
    }
    return readRecording(std::make_shared<RecordSource>(bytes), recording, error);
}

bool loadRecording(const char *path, Recording *recording, std::string *error) {
    *recording = Recording{};
    OpenedFile file = openFileToRead(path, maxRecordingBytes);
    std::string name = printableText(path);
    if (!file.ok()) {
        *error = name + ": " + file.reason;
        return false;
    }
    if (file.size == 0) {
        *error = name + ": the file is empty, not a recording";
        return false;
    }
    if (!readRecording(std::make_shared<RecordSource>(std::move(file)), recording, error)) {
        *error = name + ": " + *error;
        return false;
    }
    return true;
}
