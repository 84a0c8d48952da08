// The Wayland client library's own messages while SDL looks for a display.
//
// SDL tries Wayland before X11.  With no compositor to connect to (no
// WAYLAND_DISPLAY, no XDG_RUNTIME_DIR: a program started over ssh or from
// cron), the library prints its own complaint to stderr before SDL falls back
// to X11 or gives up, so that the program's own start-up message would come
// second, or a working X display would start with a stray error line.  While
// held, those messages are dropped; afterwards the library prints as it
// always does.
//
// Private to the SDL backend.
#ifndef ZORVAK_PLATFORM_SDL_WAYLAND_LOG_H
#define ZORVAK_PLATFORM_SDL_WAYLAND_LOG_H

namespace zsdl {

// Around SDL_InitSubSystem(SDL_INIT_VIDEO): true before it, false after.
void HoldWaylandLog(bool hold);

} // namespace zsdl

#endif
