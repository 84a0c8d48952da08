// What the whole-game tests and the tick benchmark both need: a window whose
// client area has an exact size, and an autopilot that plays like a player.
#ifndef ZORVAK_TESTS_GAME_DRIVER_H
#define ZORVAK_TESTS_GAME_DRIVER_H

#include "platform/platform.h"

namespace driver {

// A plain window (DefWindowProcA, black background) of class className,
// registered on first use, whose client area is width x height.
HWND MakeClientWindow(HINSTANCE module, const char *className, int width, int height);

// Steers under the lowest active invader and asks to fire when it is in line.
void Hunt();

} // namespace driver

#endif
