// Direct terminfo reads for the terminal backend.
#include "platform/termcaps.h"

#include <cstdio>
#include <cstring>
#include <curses.h>
#include <term.h>

// tigetstr's answers for an absent or unknown capability.
static bool present(const char *capability) {
    // (char *)-1 is how terminfo says "not a string capability".
    return capability != nullptr &&
           capability != reinterpret_cast<const char *>(-1) && // NOLINT(performance-no-int-to-ptr)
           capability[0] != '\0';
}

bool usesAlternateScreen() {
    return present(enter_ca_mode);
}

static void append(char *buffer, size_t size, const char *text) {
    if (!present(text)) return;
    size_t used = std::strlen(buffer);
    std::snprintf(buffer + used, size - used, "%s", text);
}

void buildRestoreSequence(char *buffer, size_t size) {
    if (size == 0) return;
    buffer[0] = '\0';
    append(buffer, size, exit_ca_mode);
    append(buffer, size, exit_attribute_mode);
    append(buffer, size, cursor_normal);
    append(buffer, size, keypad_local);
    append(buffer, size, "\r\n");
}
