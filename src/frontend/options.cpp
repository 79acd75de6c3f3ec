// The difficulty chooser, reached from the title menu.
#include "console/console.h"
#include "frontend/frontend.h"
#include "game/game.h"

static void drawDifficultyChoice(int highlighted) {
    printAt("Easy", highlighted == 0 ? colourChosen : colourWhite, 44, 12);
    printAt("Hard", highlighted == 1 ? colourChosen : colourWhite, 44, 13);
}

void runOptions() {
    // 0 "Easy", 1 "Hard", 2 chosen. Always starts on Easy, whatever was chosen before.
    int highlighted = 0;
    drawDifficultyChoice(highlighted);
    KeyEvent events[maxPolledEvents];
    while (highlighted != 2) {
        int count = pollKeyEvents(events, maxPolledEvents, waitUntilKey);
        for (int i = 0; i < count && highlighted != 2; i++) {
            if (!events[i].keyDown) continue;
            switch (events[i].virtualKey) {
            case keyUp:
            case keyDown:
                highlighted = highlighted == 0 ? 1 : 0;
                drawDifficultyChoice(highlighted);
                break;
            case keyEnter:
                game.hardMode = highlighted == 1;
                printAt("    ", colourWhite, 44, 12);
                printAt("    ", colourWhite, 44, 13);
                highlighted = 2;
                break;
            default:
                break;
            }
        }
    }
}
