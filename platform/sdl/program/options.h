// The Linux program's command line.
#ifndef ZORVAK_PLATFORM_SDL_PROGRAM_OPTIONS_H
#define ZORVAK_PLATFORM_SDL_PROGRAM_OPTIONS_H

#include "platform/sdl/sdl_backend.h"

#include <cstdio>
#include <string>
#include <vector>

namespace zsdl {

enum class Parsed {
    Run,   // go on with the options
    Done,  // --help or --version was answered: exit 0
    Wrong, // a message went to stderr: exit 2
};

struct ProgramOptions {
    enum Mode { Play, Scores, Watch, Verify };
    Mode mode = Play;
    DisplayOptions display;
    bool scaleGiven = false;         // --scale on the command line
    bool fullScreenGiven = false;    // --fullscreen on the command line
    std::string replay;              // --replay: a file, or the rank of a kept game
    int speed = 1;                   // --speed, 1 to 16
    std::vector<std::string> verify; // --verify: the files
};

// Reads argv into *options.  --help and --version print to out, mistakes to
// err.  A scale is only checked to be a whole number of at least 1 here: how
// large it may be depends on the display (CheckScale).
Parsed ParseOptions(int argc, char **argv, ProgramOptions *options, std::FILE *out, std::FILE *err);

// False, with a message on err, when the scale asked for is larger than
// largest (0: no display to measure, nothing to check).
bool CheckScale(const DisplayOptions &options, int largest, std::FILE *err);

// A mistake on the command line, as every message of the program says it.
void Wrong(std::FILE *err, const std::string &message);

} // namespace zsdl

#endif
