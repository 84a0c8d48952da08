// What New game does to the game state, in the two parts that come before
// and after the shell lets go of its drawing context.
#ifndef ZORVAK_RULES_NEW_GAME_H
#define ZORVAK_RULES_NEW_GAME_H

// An empty table with the player's ship at its start, and no enemy counted.
void ResetTableForNewGame();
// Five lives, no score, no pending shot; the status line shows level 01 and
// the first tick starts the wave of level 1.
void StartNewGame();

#endif
