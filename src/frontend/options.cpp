// The difficulty chooser and the credits, both reached from the title menu.
#include "console/console.h"
#include "frontend/frontend.h"
#include "game/game.h"

const char *const creditLines[creditLineCount] = {
    "Producer           Ada Quillfeather",        "Technical Director           Tobias Brack",
    "Lead Designer           Nell Okonkwo",       "Product Manager           Ivo Marsh",
    "Executive Producer           Wren Calloway",
};

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
                printAt("    ", 15, 44, 12);
                printAt("    ", 15, 44, 13);
                highlighted = 2;
                break;
            default:
                break;
            }
        }
    }
}

void showCreditLine(const char *line) {
    typeText(line, 15, 60, 10, 10);
    waitMillis(2000);
    for (int i = 0; i < 2; i++) {
        printAt(line, 7, 10, 10);
        waitMillis(500);
    }
    printAt(line, 8, 10, 10);
    waitMillis(500);
    clearScreen(0);
    waitMillis(500);
}

void rollCredits() {
    clearScreen(0);
    for (const char *line : creditLines)
        showCreditLine(line);
    resetTitleScreen();
}
