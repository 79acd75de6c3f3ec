// The saved game: one file, "SaveFile.txt", written in the tavern and read by Continue.
#pragma once

// Reads the saved game into the shared data; false (with a message on the screen) when
// there is none.
bool loadGame();
