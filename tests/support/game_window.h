// What the whole-game tests and the tick benchmark both need: a window whose
// client area has an exact size, and an autopilot that plays like a player.
#ifndef ZORVAK_TESTS_SUPPORT_GAME_WINDOW_H
#define ZORVAK_TESTS_SUPPORT_GAME_WINDOW_H

#include "platform/platform.h"

namespace support {

// A plain window (DefWindowProcA, black background) of class className,
// registered on first use, whose client area is width x height.
HWND MakeClientWindow(HINSTANCE module, const char *className, int width, int height);

// Steers under the lowest active invader and asks to fire when it is in line.
void Hunt();
// The same with keys only, as a player at the keyboard: Left, Right or Space
// typed on the window when the ship should change course or fire.  Called
// while the loop waits (headless::OnIdle), so that what it types is input
// the platform takes in, and a record of the session holds it.
void HuntWithKeys(HWND window);

} // namespace support

#endif
