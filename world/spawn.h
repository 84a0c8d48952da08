// Short-lived objects made next to an existing one (slot i).
#ifndef ZORVAK_WORLD_SPAWN_H
#define ZORVAK_WORLD_SPAWN_H

#include <cstdint>

void SpawnExplosion(int32_t i);
void SpawnFireball(int32_t i);
void SpawnShot(int32_t i);

#endif
