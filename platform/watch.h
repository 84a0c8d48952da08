// Watching a kept game: the program runs on its record at real speed, and the
// player's keys steer the replay instead of the game.
//
//   Space or P      pause, go on
//   Right           10 seconds ahead; paused: one tick ahead
//   Left            10 seconds back; paused: one tick back
//   Up or +         faster (up to 16 times); Down or -: slower
//   Home, End       to the game's start, to its end
//   Alt+N, New game leave the replay and play a new game
//   Alt+Q, Quit, Alt+F4, closing the window: quit
//
// A jump back, or to a tick before the one shown, runs the program anew from
// its start and plays the record to there as fast as it goes (the game's
// state cannot be rewound otherwise); a jump ahead plays on as fast.  Either
// way the picture at tick t is exactly what playing straight to t shows.
// Where the replay stands shows beside the status line (platform/session.h).
#ifndef ZORVAK_PLATFORM_WATCH_H
#define ZORVAK_PLATFORM_WATCH_H

#include "platform/game_watch.h"
#include "platform/replay.h"

#include <cstdint>
#include <functional>

namespace zplat {

// The program, as the platform runs it again and again: its WinMain, and a
// way to put its process-wide values back to a fresh start.
struct ProgramEntry {
    std::function<int()> winMain;
    std::function<void()> restart;
};

enum class WatchEnd {
    Quit, // the player quit
    Play, // the player asked for a new game: the program should run live now
};

// Runs the program live from a fresh start, recorded from its first read:
// each game that ends goes to keep (platform/game_watch.h).  newGame: the
// menu bar's first item, New game, is chosen at the program's first look
// outside, as a controller's Start chooses it.  Returns its exit code.
int PlayRecorded(const ProgramEntry &program, std::function<void(const GameRecord &)> keep,
                 bool newGame);

// Watches the game of a replay (read and checked already) from its New game,
// at speed 1 to 16.  Returns how it ended.  The backend in use shows it.
WatchEnd WatchReplay(const ProgramEntry &program, const replay::Replay &kept, int speed);

// Where the replay being watched stands, in ticks from its New game, and its
// length; for the page's seek bar.
struct WatchPosition {
    bool watching = false;
    uint64_t tick = 0;
    uint64_t length = 0;
    bool held = false;
    int speed = 1;
};
WatchPosition CurrentWatch();
// Jumps to a tick of the game (the page's seek bar).
void SeekWatch(uint64_t tick);

} // namespace zplat

#endif
