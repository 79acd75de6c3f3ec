// The screen's place in its window, and the notice of a window too small.
#include "platform/windowfit.h"

#include <cstdio>
#include <cstring>

#include "platform/platform.h"

ScreenPlace placeScreen(int columns, int rows, int minimumWidth, int minimumHeight) {
    if (columns < minimumWidth || rows < minimumHeight) return ScreenPlace{true, 0, 0};
    return ScreenPlace{false, (columns - screenWidth) / 2, (rows - screenHeight) / 2};
}

std::vector<std::string> tooSmallNotice(const char *windowKind, int columns, int rows,
                                        int minimumWidth, int minimumHeight) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "Brinewort needs a %s window of at least %d x %d characters; this one is "
                  "%d x %d. Please make the window larger: the game waits.",
                  windowKind, minimumWidth, minimumHeight, columns, rows);
    std::vector<std::string> lines;
    const char *p = text;
    while (*p != '\0' && static_cast<int>(lines.size()) < rows && columns > 0) {
        int length = static_cast<int>(std::strlen(p));
        int take = length <= columns ? length : columns;
        if (take < length) {
            // Back to the last space that fits, unless the word fills the whole width.
            int space = take;
            while (space > 0 && p[space] != ' ')
                space--;
            if (space > 0) take = space;
        }
        lines.emplace_back(p, static_cast<size_t>(take));
        p += take;
        while (*p == ' ')
            p++;
    }
    return lines;
}
