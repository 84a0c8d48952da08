// Score, lives, bonus lives and the status line.
#include "rules/score.h"

#include "platform/platform.h"
#include "presentation/window_services.h"
#include "world/game_state.h"

#include <cstdio>

void AddScore(int32_t points, int32_t lifeChange) {
    score = WrapAdd(score, points);
    if (score >= nextBonusScore) {
        nextBonusScore = WrapAdd(nextBonusScore, 10000);
        lifeChange = WrapAdd(lifeChange, 1);
    }
    lives = WrapAdd(lives, lifeChange);
    char status[100];
    snprintf(status, sizeof status, "Lives: %.2d - Level %.2u - Score: %.5ld", lives,
             unsigned(int(level)), long(score));
    SetWindowTextA(mainWindow, status);
}
