// X protocol errors that only say a window of ours is gone.
//
// Two harmless races end an SDL program on X with "X Error of failed
// request" and exit code 1, through Xlib's default error handler:
//  - To wake a thread blocked in SDL_WaitEventTimeout, SDL sends an event to
//    one of its windows over a second X connection.  When the program
//    destroys that window before the server has handled the event, the
//    server answers BadWindow, and SDL_Quit reads that answer while closing
//    the connection.
//  - Another client (a window manager, xdotool windowclose) destroys a
//    window of ours; every later request that names it fails.
// The filter, installed before SDL's video starts (SDL keeps the handler it
// finds and puts it back when it quits), takes BadWindow and BadDrawable
// errors about our windows and about sent events, and passes every other
// error on to the handler it replaced.  A window of ours named in such an
// error is reported lost, so that the backend can close it.
//
// Private to the SDL backend.  Without Xlib at build time these do nothing.
#ifndef ZORVAK_PLATFORM_SDL_X11_ERRORS_H
#define ZORVAK_PLATFORM_SDL_X11_ERRORS_H

#include <SDL.h>

namespace zsdl {

// Idempotent; call before SDL_InitSubSystem(SDL_INIT_VIDEO).
void InstallX11ErrorFilter();

// An X window id of ours (SDL_GetWindowWMInfo's x11.window).  Ids stay known
// after their window is destroyed, for the errors that arrive late.
void WatchX11Window(unsigned long xid);
// Marks a window lost (also used for its DestroyNotify).
void MarkX11WindowLost(unsigned long xid);
// True once after the window was found lost.
bool TakeX11WindowLost(unsigned long xid);

// The X window id behind an SDL window; 0 when it is not on X.
unsigned long X11WindowOf(SDL_Window *window);
// Asks SDL for the raw X events (SDL_SYSWMEVENT) when the video driver is X.
void ListenForX11Destruction();
// A DestroyNotify among them marks a watched window lost.
void NoteSystemEvent(const SDL_Event &event);

} // namespace zsdl

#endif
