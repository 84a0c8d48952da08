// Contact and nearness: collision resolution and the proximity queries.
// Every object is a 32 x 32 box at its x, y for these tests.
#ifndef ZORVAK_WORLD_COLLISIONS_H
#define ZORVAK_WORLD_COLLISIONS_H

#include <cstdint>

// Applies damage between slot i and everything overlapping it; 1 on contact.
int32_t ResolveCollisions(int32_t i);

int32_t OverlapsNonShip(int32_t i);
int32_t OverlapsInvader(int32_t i);
int32_t ChooseEscortStep(int32_t i);
int32_t ShipBetween(int32_t i, int32_t t);
int32_t ShipNearStart(int32_t i);
int32_t NearOtherShip(int32_t i);
int32_t FindShotTarget(int32_t i);

#endif
