// New game: the table and the game values of a fresh game.
#include "rules/new_game.h"

#include "rules/score.h"
#include "world/game_state.h"
#include "world/init_object.h"

void ResetTableForNewGame() {
    enemyCount = 0;
    ResetObjects();
}

void StartNewGame() {
    fireRequested = 0;
    score = 0;
    lives = 5;
    gameOver = 0;
    // The status line shows level 01; the first tick's wave start moves the
    // level from 0 to 1 before it fills the wave.  The bonus threshold is left
    // where the last game took it.
    level = 1;
    AddScore(0, 0);
    level = 0;
}
