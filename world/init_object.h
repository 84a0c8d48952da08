// Start values of an object by kind; the caller has already set its kind.
#ifndef ZORVAK_WORLD_INIT_OBJECT_H
#define ZORVAK_WORLD_INIT_OBJECT_H

#include <cstdint>

void InitObject(int32_t slot);

#endif
