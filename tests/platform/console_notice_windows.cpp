// A console too small for the game: the console backend shows its notice and waits, keys
// typed meanwhile dropped, until the window is large enough or Ctrl-C ends the wait. The
// console test (tests/terminal/windows_console.sh) runs this in an 80x25 pane, asking for
// 100x30, which Wine's console (whose size follows no terminal) can never give.
#include <csignal>

#include "platform/terminal.h"

int main() {
    static ScreenCells cells = {};
    if (!terminalPlatform.init()) return 2;
    terminalPlatform.setMinimumSize(100, 30);
    int status = 0;
    try {
        terminalPlatform.present(cells);
    } catch (const RunEnded &ended) {
        status = ended.signal == SIGINT ? 3 : 4;
    }
    terminalPlatform.shutdown();
    return status;
}
