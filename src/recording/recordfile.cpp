// The recording file's reader, and the hashes that tie a recording to its data files.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "recording/recording.h"

namespace {

// A larger file is no recording of a game anyone played.
constexpr size_t maxRecordingBytes = size_t{1} << 30;
constexpr size_t maxSaveBytes = 1 << 20;

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
        record->kind = Record::Kind::checkpoint;
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

std::string lineError(int line, const char *what) {
    char text[160];
    std::snprintf(text, sizeof text, "line %d: %s", line, what);
    return text;
}

} // namespace

uint64_t hashBytes(const void *bytes, size_t size, uint64_t hash) {
    const auto *p = static_cast<const unsigned char *>(bytes);
    for (size_t i = 0; i < size; i++)
        hash = (hash ^ p[i]) * 1099511628211ull;
    return hash;
}

bool hashFile(const char *path, uint64_t *hash) {
    FILE *file = std::fopen(path, "rb");
    if (file == nullptr) return false;
    uint64_t result = hashBytes(nullptr, 0);
    unsigned char buffer[8192];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        result = hashBytes(buffer, n, result);
    bool ok = std::ferror(file) == 0;
    std::fclose(file);
    *hash = result;
    return ok;
}

bool parseRecording(const std::string &bytes, Recording *recording, std::string *error) {
    *recording = Recording{};
    if (bytes.empty()) {
        *error = "the file is empty, not a recording";
        return false;
    }
    const char *p = bytes.data();
    const char *end = p + bytes.size();
    int lineNumber = 0;
    for (;;) {
        const char *lineEnd = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
        // A line without its end is where the writing stopped (a crash in mid-write): the
        // recording holds what came before it.
        if (lineEnd == nullptr) break;
        lineNumber++;
        LineReader in{p, lineEnd};
        p = lineEnd + 1;
        if (lineNumber == 1) {
            static const char magic[] = "brinewort-recording ";
            size_t magicLength = sizeof magic - 1;
            if (size_t(in.end - in.at) < magicLength ||
                std::memcmp(in.at, magic, magicLength) != 0) {
                *error = "not a Brinewort recording";
                return false;
            }
            in.at += magicLength;
            uint32_t version;
            if (!in.number32(1000000, &version) || !in.atEnd()) {
                *error = "not a Brinewort recording";
                return false;
            }
            if (version != recordingVersion) {
                char text[120];
                std::snprintf(text, sizeof text,
                              "a recording of version %u; this game replays version %d", version,
                              recordingVersion);
                *error = text;
                return false;
            }
        } else if (lineNumber == 2) {
            if (!in.literal('d') || !in.literal('i') || !in.literal('r') || !in.literal(' ')) {
                *error = lineError(lineNumber, "expected the recording's directory");
                return false;
            }
            recording->directory = in.rest();
        } else if (lineNumber == 3) {
            if (!in.literal('s') || !in.literal('a') || !in.literal('v') || !in.literal('e') ||
                !in.literal(' ') || !readSave(in, recording)) {
                *error = lineError(lineNumber, "expected the save file's bytes");
                return false;
            }
        } else {
            Record record;
            record.line = lineNumber;
            if (in.atEnd() || !readRecord(in, &record)) {
                *error = lineError(lineNumber, "not a record of a game's input");
                return false;
            }
            if (record.kind == Record::Kind::dataFile) {
                bool known = false;
                for (const Record &seen : recording->dataFiles)
                    known = known || seen.text == record.text;
                if (!known) recording->dataFiles.push_back(record);
            }
            recording->records.push_back(std::move(record));
        }
    }
    if (lineNumber < 3) {
        // The start of a recording that stops before its header is complete.
        static const char magic[] = "brinewort-recording";
        bool started =
            std::strncmp(bytes.c_str(), magic, std::min(bytes.size(), sizeof magic - 1)) == 0;
        *error =
            lineNumber > 0 || started ? "the recording is truncated" : "not a Brinewort recording";
        return false;
    }
    return true;
}

bool loadRecording(const char *path, Recording *recording, std::string *error) {
    FILE *file = std::fopen(path, "rb");
    if (file == nullptr) {
        *error = std::string(path) + ": " + std::strerror(errno);
        return false;
    }
    std::string bytes;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0 &&
           bytes.size() <= maxRecordingBytes)
        bytes.append(buffer, n);
    bool readFailed = std::ferror(file) != 0;
    int readError = errno;
    std::fclose(file);
    if (readFailed) {
        *error = std::string(path) + ": " + std::strerror(readError);
        return false;
    }
    if (bytes.size() > maxRecordingBytes) {
        *error = std::string(path) + ": too large for a recording";
        return false;
    }
    if (!parseRecording(bytes, recording, error)) {
        *error = std::string(path) + ": " + *error;
        return false;
    }
    return true;
}
