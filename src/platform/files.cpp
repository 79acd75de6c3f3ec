// Opening and reading files safely and printable file text: what is the same on every system.
#include "platform/files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/files_system.h"

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

namespace {

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
