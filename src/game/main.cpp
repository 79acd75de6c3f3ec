// The program's entry point: the terminal or a window, the game, and a clean way out.
#include <cstdio>

#include "console/console.h"
#include "game/backend.h"
#include "game/game.h"
#include "platform/terminal.h"

int main(int argc, char **argv) {
    const Platform *platform = startBackend(&argc, argv);
    if (platform == nullptr) return 2;
    int status = 0;
    try {
        status = runProgram();
        presentScreen();
    } catch (const RunEnded &ended) {
        platform->shutdown();
        reraiseQuitSignal(ended.signal);
        // A window closed by its player ends the game as Quit does.
        if (platform != &terminalPlatform) return 0;
        std::fputs("brinewort: the terminal's input has closed; the game has ended\n", stderr);
        return 1;
    }
    platform->shutdown();
    return status;
}
