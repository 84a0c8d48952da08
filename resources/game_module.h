// The game's resources on Linux: the icons, bitmaps and menu that zorvak.rc
// lists, embedded at build time by tools/rcembed as a resource module.  On
// Windows the resource compiler puts the same script into the executable and
// WinMain receives the module from the system instead.
#ifndef ZORVAK_RESOURCES_GAME_MODULE_H
#define ZORVAK_RESOURCES_GAME_MODULE_H

#include "platform/platform.h"

// The module's instance handle, registered on first use.
HINSTANCE GameModule();

#endif
