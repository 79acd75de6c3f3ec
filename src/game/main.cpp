// The program's entry point: the real terminal, the game, and a clean way out.
#include <cstdio>

#include "console/console.h"
#include "game/game.h"
#include "platform/terminal.h"

int main() {
    usePlatform(&terminalPlatform);
    if (!terminalPlatform.init()) return 2;
    int status = 0;
    try {
        status = runProgram();
        presentScreen();
    } catch (const RunEnded &ended) {
        terminalPlatform.shutdown();
        reraiseQuitSignal(ended.signal);
        std::fputs("brinewort: the terminal's input has closed; the game has ended\n", stderr);
        return 1;
    }
    terminalPlatform.shutdown();
    return status;
}
