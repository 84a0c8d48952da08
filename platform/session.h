// Pause, and the notices the platform shows beside the program's title.
//
// A pause holds every timer of the program back: the game sees a late timer,
// as on a busy machine, and then goes on at its pace, with no burst.  Input
// still reaches it.  P and the Pause key (and the pad's north button, which
// stands for Pause) switch it; the backends pause when the window or the page
// loses the player while a game runs.
//
// The notice says, beside the main window's title (the status line), what
// the player should know now: that the game is paused, that it is over and
// how to start again, or where a replay being watched stands.  Backends show
// the title with it (ShownTitle): a desktop's title bar, the full-screen
// caption bar, the page.
#ifndef ZORVAK_PLATFORM_SESSION_H
#define ZORVAK_PLATFORM_SESSION_H

#include <string>

namespace zplat {

void SetPaused(bool paused);
bool Paused();
// The window or the page lost the player: pauses a game that is running.
void PauseForAbsence();

// The notice now: empty when there is nothing to say.
std::string Notice();
// While watching a replay, what the notice says (the watcher sets it).
void SetReplayNotice(const std::string &notice);

} // namespace zplat

#endif
