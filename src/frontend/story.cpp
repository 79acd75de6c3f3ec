// The story introduction of a new game: two pages from "Story.txt", each turned with Enter.
#include "console/console.h"
#include "frontend/frontend.h"
#include "resources/resources.h"

static void typeStoryPage(const char *tag) {
    TextSection page = readTextSection("Story.txt", tag);
    showDataFileProblem("Story.txt", page.problem);
    typeText(page.text.get(), colourWhite, pageWidth, pageColumn, pageRow);
}

void showStoryIntro() {
    clearScreen(0);
    typeStoryPage("Chunk1");
    KeyEvent event;
    // First page: Enter turns it. The discard comes after the second page has been typed,
    // so keys pressed while it types are dropped.
    for (bool turned = false; !turned;) {
        readKeyEvent(&event);
        if (!event.keyDown) continue;
        if (event.virtualKey == keyEnter) {
            clearScreen(0);
            typeStoryPage("Chunk2");
            turned = true;
        }
        discardPendingInput();
    }
    // Second page: Enter ends the introduction.
    for (bool done = false; !done;) {
        readKeyEvent(&event);
        if (!event.keyDown) continue;
        done = event.virtualKey == keyEnter;
        discardPendingInput();
    }
    waitMillis(1000);
    clearScreen(0);
}
