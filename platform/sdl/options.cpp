// The Linux program's command line, in the manner of other games on a
// Linux desktop.  The Windows program takes none.
#include "platform/sdl/options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace zsdl {

namespace {

const char kUsage[] = "Usage: zorvak [OPTION]...\n"
                      "Zorvak, an arcade shooter for one player.\n"
                      "\n"
                      "  --fullscreen   start in full screen\n"
                      "  --scale N      show the window N times its size, N from 1 to the largest\n"
                      "                 that fits the display (by default the largest that leaves\n"
                      "                 room for the desktop's panels)\n"
                      "  -h, --help     show this help and exit\n"
                      "  --version      show the version and exit\n"
                      "\n"
                      "Keys: Left and Right arrows steer, Space or Enter fires; Alt+N new game,\n"
                      "Alt+A About, Alt+Q quit; F11 or Alt+Enter switches full screen.\n"
                      "Gamepad: D-pad or left stick steers, the south and east buttons fire,\n"
                      "Start begins a new game, Back opens the system menu.\n";

void Wrong(std::FILE *err, const std::string &message) {
    std::fprintf(err, "zorvak: %s\nTry 'zorvak --help' for more information.\n", message.c_str());
}

// A whole number of at least 1, and nothing else.
bool ReadScale(const char *text, int *scale) {
    if (text == nullptr || *text < '0' || *text > '9') {
        return false;
    }
    errno = 0;
    char *end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || value < 1 || value > 1000) {
        return false;
    }
    *scale = (int)value;
    return true;
}

} // namespace

Parsed ParseOptions(int argc, char **argv, DisplayOptions *options, std::FILE *out,
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
        if (arg == "--fullscreen") {
            options->fullScreen = true;
        } else if (arg == "--scale" || arg.rfind("--scale=", 0) == 0) {
            const bool joined = arg != "--scale";
            if (!joined && i + 1 >= argc) {
                Wrong(err, "option '--scale' needs a number");
                return Parsed::Wrong;
            }
            const char *value = joined ? argv[i] + std::strlen("--scale=") : argv[++i];
            if (!ReadScale(value, &options->scale)) {
                Wrong(err,
                      std::string("invalid scale '") + value + "': give a whole number from 1 up");
                return Parsed::Wrong;
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            Wrong(err, "unknown option '" + arg + "'");
            return Parsed::Wrong;
        } else {
            Wrong(err, "unexpected argument '" + arg + "': the game opens no files");
            return Parsed::Wrong;
        }
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
