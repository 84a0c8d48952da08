// The journal: the platform as a recorder of everything the program reads
// from outside, and as the player of such a record.
//
// Given the same reads in the same order, the program does the same thing,
// tick for tick.  What it reads from outside the Windows boundary is: the
// values GetTickCount gives it (it seeds its random source with one), the
// desktop's size, whether a window it asked for could be made, and, in its
// message loop, which input and which timer messages come in what order.
// Everything else (paints, posted messages, its own calls) follows from
// those.  The core records them at the places they enter (the decision
// points of GetMessageA: a due timer fires, or the input that arrived is
// taken in) and, playing back, takes them from the record instead of from
// the backend and the clock.  docs/replays.md has the whole story.
#ifndef ZORVAK_PLATFORM_JOURNAL_H
#define ZORVAK_PLATFORM_JOURNAL_H

#include "platform/backend.h"
#include "platform/platform.h"
#include "platform/replay.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zplat {

// ---- Recording ---------------------------------------------------------------

// Records from now on, into a new stream.  Start it before the program's
// WinMain: a replay plays back from the program's start.
void StartRecording();
// Ends recording or playback; the platform reads the backend and the clock
// again.
void StopJournal();
bool Recording();
// The whole stream recorded so far.
std::vector<uint8_t> RecordedStream();
// Fires of the main window's timers since recording or playback began: the
// program's game ticks.
uint64_t JournalTicks();

// ---- Playback ------------------------------------------------------------------

struct PlaybackPace {
    // Real time: each timer message waits for its moment (50 ms of the
    // program's timer at speed 1); otherwise as fast as the program runs.
    bool realTime = false;
    int speed = 1; // 1 to 16
    // Held still (real time only): no timer message is given until it goes on.
    bool held = false;
    // Runs as fast as it can, showing nothing, until this many ticks have
    // been played (0: not at all); then at its pace again.
    uint64_t fastUntil = 0;
    // Ends the program's loop (WM_QUIT) when the record has been played to
    // its end; otherwise the last picture stays until something else ends
    // it.
    bool quitAtEnd = true;
};

// Plays back a stream (checked whole already, as ReadReplay does) from the
// program's start: the program's reads are answered from it, and the input
// that arrives from the backend goes to the handler instead (watching a
// replay is steered by it).  Start it before the program's WinMain.
void StartPlayback(const std::vector<uint8_t> &stream, const PlaybackPace &pace);
bool Playing();
PlaybackPace &Pace();
// The record has been played to its end.
bool PlaybackEnded();
// Why playback stopped before the record's end: the program read something
// other than what the record holds next (a replay of another program), or
// empty.
const std::string &PlaybackError();
// Handles the backend's input while playing back (see StartPlayback); without
// one it is dropped.
void SetPlaybackInputHandler(std::function<void(const InputEvent &)> handler);

} // namespace zplat

#endif
