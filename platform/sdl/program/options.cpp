// The Linux program's command line, in the manner of other games on a
// Linux desktop.  The Windows program takes none.
#include "platform/sdl/program/options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace zsdl {

namespace {

const char kUsage[] =
    "Usage: zorvak [OPTION]...\n"
    "  or:  zorvak --scores\n"
    "  or:  zorvak --replay FILE|RANK [--speed N] [OPTION]...\n"
    "  or:  zorvak --verify FILE...\n"
    "Zorvak, an arcade shooter for one player.\n"
    "\n"
    "  --fullscreen      start in full screen\n"
    "  --scale N         show the window N times its size, N from 1 to the largest\n"
    "                    that fits the display (by default the largest that leaves\n"
    "                    room for the desktop's panels)\n"
    "  --scores          print the table of kept games (the best 10, the last 10)\n"
    "  --replay FILE     watch a kept game again: a replay file, or the rank of a\n"
    "  --replay RANK       game in the table\n"
    "  --speed N         watch at N times the speed, 1 to 16 (with --replay)\n"
    "  --verify FILE...  play replays back as fast as possible and say whether each\n"
    "                    ends as recorded (exit 0: all do, 1: one does not, 2: a\n"
    "                    file cannot be read)\n"
    "  -h, --help        show this help and exit\n"
    "  --version         show the version and exit\n"
    "\n"
    "Keys: Left and Right arrows steer, Space or Enter fires; Alt+N new game,\n"
    "Alt+A About, Alt+Q quit; P or Pause pauses; F11 or Alt+Enter switches full\n"
    "screen.  Gamepad: D-pad or left stick steers, the south and east buttons fire,\n"
    "Start begins a new game, the north button pauses, Back opens the system menu.\n"
    "Watching a replay: Space or P pauses, Right and Left go 10 seconds either way\n"
    "(a tick when paused), Up and Down change the speed, Home and End go to the\n"
    "start and the end, Alt+N leaves the replay for a new game, Alt+Q quits.\n"
    "\n"
    "Games are kept in $XDG_DATA_HOME/zorvak (~/.local/share/zorvak), settings\n"
    "in $XDG_CONFIG_HOME/zorvak (~/.config/zorvak).\n";

// A whole number from low to high, and nothing else.
bool ReadNumber(const char *text, int low, int high, int *number) {
    if (text == nullptr || *text < '0' || *text > '9') {
        return false;
    }
    errno = 0;
    char *end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || value < low || value > high) {
        return false;
    }
    *number = int(value);
    return true;
}

// The value of an option given as "--name VALUE" or "--name=VALUE"; null
// (with a message) when there is none.
const char *Value(int argc, char **argv, int *i, const char *name, const char *what,
                  std::FILE *err) {
    const std::string arg = argv[*i];
    const std::string joined = std::string(name) + "=";
    if (arg.rfind(joined, 0) == 0) {
        return argv[*i] + joined.size();
    }
    if (*i + 1 >= argc) {
        Wrong(err, std::string("option '") + name + "' needs " + what);
        return nullptr;
    }
    return argv[++*i];
}

bool Is(const std::string &arg, const char *name) {
    return arg == name || arg.rfind(std::string(name) + "=", 0) == 0;
}

bool SetMode(ProgramOptions *options, ProgramOptions::Mode mode, const std::string &arg,
             std::FILE *err) {
    if (options->mode != ProgramOptions::Play && options->mode != mode) {
        Wrong(err, "'" + arg + "' goes with none of --scores, --replay and --verify");
        return false;
    }
    options->mode = mode;
    return true;
}

// One option at argv[*i]; false (with a message) when it is wrong.
bool ReadOption(int argc, char **argv, int *i, ProgramOptions *options, std::FILE *err) {
    const std::string arg = argv[*i];
    if (arg == "--fullscreen") {
        options->display.fullScreen = true;
        options->fullScreenGiven = true;
    } else if (Is(arg, "--scale")) {
        const char *value = Value(argc, argv, i, "--scale", "a number", err);
        if (value == nullptr) {
            return false;
        }
        if (!ReadNumber(value, 1, 1000, &options->display.scale)) {
            Wrong(err, std::string("invalid scale '") + value + "': give a whole number from 1 up");
            return false;
        }
        options->scaleGiven = true;
    } else if (arg == "--scores") {
        return SetMode(options, ProgramOptions::Scores, arg, err);
    } else if (Is(arg, "--replay")) {
        const char *value = Value(argc, argv, i, "--replay", "a file or a rank", err);
        if (value == nullptr || !SetMode(options, ProgramOptions::Watch, arg, err)) {
            return false;
        }
        options->replay = value;
    } else if (Is(arg, "--speed")) {
        const char *value = Value(argc, argv, i, "--speed", "a number", err);
        if (value == nullptr) {
            return false;
        }
        if (!ReadNumber(value, 1, 16, &options->speed)) {
            Wrong(err,
                  std::string("invalid speed '") + value + "': give a whole number from 1 to 16");
            return false;
        }
    } else if (arg == "--verify") {
        if (!SetMode(options, ProgramOptions::Verify, arg, err)) {
            return false;
        }
        // Every argument after it is a file, whatever it looks like.
        while (*i + 1 < argc) {
            options->verify.push_back(argv[++*i]);
        }
        if (options->verify.empty()) {
            Wrong(err, "option '--verify' needs at least one file");
            return false;
        }
    } else if (arg.size() > 1 && arg[0] == '-') {
        Wrong(err, "unknown option '" + arg + "'");
        return false;
    } else {
        Wrong(err,
              "unexpected argument '" + arg + "': replays are named with --replay or --verify");
        return false;
    }
    return true;
}

} // namespace

void Wrong(std::FILE *err, const std::string &message) {
    std::fprintf(err, "zorvak: %s\nTry 'zorvak --help' for more information.\n", message.c_str());
}

Parsed ParseOptions(int argc, char **argv, ProgramOptions *options, std::FILE *out,
                    std::FILE *err) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, out);
            return Parsed::Done;
        }
        if (arg == "--version") {
            std::fprintf(out, "zorvak %s\n", ZORVAK_VERSION);
            return Parsed::Done;
        }
        if (!ReadOption(argc, argv, &i, options, err)) {
            return Parsed::Wrong;
        }
    }
    if (options->speed != 1 && options->mode != ProgramOptions::Watch) {
        Wrong(err, "option '--speed' goes with --replay");
        return Parsed::Wrong;
    }
    return Parsed::Run;
}

bool CheckScale(const DisplayOptions &options, int largest, std::FILE *err) {
    if (options.scale <= 0 || largest <= 0 || options.scale <= largest) {
        return true;
    }
    Wrong(err, "scale " + std::to_string(options.scale) +
                   " does not fit this display: give a whole number from 1 to " +
                   std::to_string(largest));
    return false;
}

} // namespace zsdl
