// Start values of objects: one slot by its kind, or the whole table for a
// new game.
#ifndef ZORVAK_WORLD_INIT_OBJECT_H
#define ZORVAK_WORLD_INIT_OBJECT_H

#include <cstdint>

// Gives the slot the start values of its kind, which the caller has set.
void InitObject(int32_t slot);
// Empties the table and puts the player's ship in slot 0.
void ResetObjects();

#endif
