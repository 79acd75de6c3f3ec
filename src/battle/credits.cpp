// The credits: rolled when the last boss falls, and from the title menu.
#include "battle/battle.h"
#include "console/console.h"

const char *const creditLines[creditLineCount] = {
    "Producer           Ada Quillfeather",        "Technical Director           Tobias Brack",
    "Lead Designer           Nell Okonkwo",       "Product Manager           Ivo Marsh",
    "Executive Producer           Wren Calloway",
};

void showCreditLine(const char *line) {
    typeText(line, colourWhite, 60, 10, 10);
    waitMillis(2000);
    for (int i = 0; i < 2; i++) {
        printAt(line, colourGrey, 10, 10);
        waitMillis(500);
    }
    printAt(line, colourDarkGrey, 10, 10);
    waitMillis(500);
    clearScreen(0);
    waitMillis(500);
}

void rollCredits() {
    clearScreen(0);
    for (const char *line : creditLines)
        showCreditLine(line);
}
