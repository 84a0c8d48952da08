// Score, lives and the status line in the main window's title.
#ifndef ZORVAK_RULES_SCORE_H
#define ZORVAK_RULES_SCORE_H

#include <cstdint>

void AddScore(int32_t points, int32_t lifeChange);

#endif
