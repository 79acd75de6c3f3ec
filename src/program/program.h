// The program on top of everything: start-up, the game-mode loop that runs each top-level
// screen, and the farewell. It alone knows every screen.
#pragma once

// The start-up sequence: every piece of program-wide state gets its start value, as at a
// program start (tests call it to begin from a clean slate).
void startUp();
// Calls the handler of the current gameMode once and moves on to the mode it returns.
void runCurrentMode();
// The whole life of the program after the platform is up: start-up, the main loop, the
// farewell line. Returns the exit status.
int runProgram();

// The farewell written when the main loop ends.
extern const char farewellText[];
