// The per-tick update of one slot, and the player's steering.
#ifndef ZORVAK_RULES_UPDATE_OBJECT_H
#define ZORVAK_RULES_UPDATE_OBJECT_H

#include <cstdint>

void UpdateObject(int32_t i);
void SteerShipLeft();
void SteerShipRight();

#endif
