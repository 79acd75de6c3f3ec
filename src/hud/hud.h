// What the dungeon and the battle show alike: the double lines that divide the screen, and
// the player's hit and skill points beside them.
#pragma once

// The divider down column 35 and across row 17.
void drawDividers();
// "HP" and "SP", each with its value and its most, right of the lower divider.
void drawPlayerStats();
// "Exp" with the experience and what makes a level, above them (the battle shows it).
void drawExperience();
