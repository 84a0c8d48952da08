// What the Linux program does, by its command line: play (recording, and
// keeping each game that ends), print the kept games, watch one of them
// again, or verify replays.  Each returns the program's exit code.
#ifndef ZORVAK_PLATFORM_SDL_PROGRAM_RUNS_H
#define ZORVAK_PLATFORM_SDL_PROGRAM_RUNS_H

#include "platform/sdl/program/options.h"
#include "platform/watch.h"

#include <cstdio>

namespace zsdl {

// The game itself, run again and again in this process.
zplat::ProgramEntry Game();

// Plays, from the attract loop (or, with newGame, a new game at once):
// every game that ends is kept in the store, with its replay.
int Play(bool newGame);
// Prints the table of kept games.
int PrintScores(std::FILE *out, std::FILE *err);
// The replay a --replay argument names: the rank of a kept game, or a file;
// false with a message on err.
bool FindReplay(const std::string &what, zplat::replay::Replay *replay, std::FILE *err);
// Watches a kept game; the player may go on to play.
int Watch(const zplat::replay::Replay &replay, int speed);
// Plays each replay back on the headless backend and says how it ended.
int Verify(const std::vector<std::string> &files, std::FILE *out, std::FILE *err);

} // namespace zsdl

#endif
