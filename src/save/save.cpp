// The saved game. Nothing can be saved yet (the tavern that saves comes with the town), so
// Continue finds no adventure to go on with.
#include "save/save.h"

#include "console/console.h"

bool loadGame() {
    printAt("No previous adventure is documented", 15, 20, 20);
    waitMillis(1000);
    return false;
}
