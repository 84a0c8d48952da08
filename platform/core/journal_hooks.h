// Where the journal, the game watch and the pause meet the rest of the core:
// the places that read from outside call these.  Internal to platform/core.
#ifndef ZORVAK_PLATFORM_CORE_JOURNAL_HOOKS_H
#define ZORVAK_PLATFORM_CORE_JOURNAL_HOOKS_H

#include "platform/backend.h"
#include "platform/platform.h"
#include "platform/replay.h"

#include <string>
#include <vector>

namespace zplat {

// ---- The journal (journal.cpp) ----

// At a decision point of GetMessageA (nothing inside the program waiting):
// true with the WM_TIMER that comes next; false when the loop should look
// again (input was taken in, or time passed, or the loop is to end).
bool NextFromOutside(MSG *msg);
// Input from the backend (PushInput): held for the next decision point, or
// while playing back handed to the watcher.
void InputArrived(const InputEvent &event);
// Where the loop looks for input: takes in what arrived, unless recording
// or playing back (then only decision points do); true if there is some.
bool TakeInputNow();
// What the program reads: GetTickCount, the desktop's size, and whether a
// window it asks for can be made (true: refuse it, as the record says).
DWORD ProgramTickCount();
void ProgramDesktopSize(int *width, int *height);
bool ProgramWindowRefused();
// A window the program asked for was made (or not).
void ProgramWindowMade(HWND hwnd, bool made);
// The time a message carries: the clock's, or while playing back the
// record's own (the program never reads it; the clock is not the record's).
DWORD MessageTime();
// The first window the program made (since the platform started, was shut
// down, or recording or playback began).
HWND JournalMainWindow();
// Forgets the windows, the game watch, the pause and the notices (the
// platform was shut down); recording or playback stop.
void ResetJournalState();
replay::StreamWriter::Mark JournalMark();
void JournalStreamAt(const replay::StreamWriter::Mark &mark, std::vector<uint8_t> *out);

// ---- Watching a replay (watch.cpp) ----

// After each timer message played back, and when the record has been played
// to its end.
void OnPlaybackTick();

// ---- The game watch (game_watch.cpp) ----

void ResetGameWatch();
// At each decision point, before anything is taken in.
void DecisionPoint();
// Before a delivery of input is taken in while recording.
void BeforeDelivery();
// The program is about to draw on the window (GetDC, BeginPaint), or to
// destroy it.
void NoteDrawing(HWND hwnd);
void NoteTitle(HWND hwnd, const std::string &title);
void NoteBitmapLoaded(LPCSTR name);
void NoteDispatch(const MSG &msg);
void NoteQuit();

// ---- Pause and notices (session.cpp) ----

// A pause key (P, Pause) from the backend: it toggles the pause and goes no
// further.
bool PauseTakesKey(const InputEvent &event);
// The title a backend shows for the window: the program's own, and for the
// main window the notice beside it.
std::string ShownTitle(HWND hwnd, const std::string &title);
// Tells the backend the main window's shown title again when it changed.
void RefreshNotices();
void ResetSession();

// ---- The queue (queue.cpp) ----

void PresentChanged();
void UpdateTimers(uint64_t now);
uint64_t NextDeadline();
// Ends the program's loop as PostQuitMessage(0) would, without it being the
// program's own call.
void QuitLoop();

} // namespace zplat

#endif
