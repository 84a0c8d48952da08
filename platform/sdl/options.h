// The Linux program's command line.
#ifndef ZORVAK_PLATFORM_SDL_OPTIONS_H
#define ZORVAK_PLATFORM_SDL_OPTIONS_H

#include "platform/sdl/sdl_backend.h"

#include <cstdio>

namespace zsdl {

enum class Parsed {
    Run,   // start the game with the options
    Done,  // --help or --version was answered: exit 0
    Wrong, // a message went to stderr: exit 2
};

// Reads argv into *options.  --help and --version print to out, mistakes to
// err.  A scale is only checked to be a whole number of at least 1 here: how
// large it may be depends on the display (CheckScale).
Parsed ParseOptions(int argc, char **argv, DisplayOptions *options, std::FILE *out, std::FILE *err);

// False, with a message on err, when the scale asked for is larger than
// largest (0: no display to measure, nothing to check).
bool CheckScale(const DisplayOptions &options, int largest, std::FILE *err);

} // namespace zsdl

#endif
