// The rules of every kind but ships, one update of slot i each.
#ifndef ZORVAK_RULES_INVADERS_H
#define ZORVAK_RULES_INVADERS_H

#include <cstdint>

void UpdateAlien(int32_t i);
void UpdateKamikaze(int32_t i);
void UpdateCrazy(int32_t i);
void UpdateBase(int32_t i);
void UpdateRocket(int32_t i);
void UpdateMissile(int32_t i);
void UpdateFireball(int32_t i);

#endif
