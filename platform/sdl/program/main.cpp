// The program on a desktop: the game under the SDL2 backend, and what its
// command line asks for besides (the kept games, watching and verifying
// replays).
#include "platform/backend.h"
#include "platform/platform.h"
#include "platform/sdl/program/options.h"
#include "platform/sdl/program/runs.h"
#include "platform/sdl/sdl_backend.h"
#include "resources/game_module.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

// What the backend shows of the game's main window: its 511 x 330 client
// under the 19-pixel menu bar.  The largest scale a player may ask for is
// the one at which this fits the display.
constexpr int kGameImageWidth = 511;
constexpr int kGameImageHeight = 349;

// Play or watch, on the desktop.
int OnDesktop(const zsdl::ProgramOptions &options) {
    // The desktop groups the windows under the menu entry's icon by this.
    setenv("SDL_VIDEO_X11_WMCLASS", "org.zorvak.Zorvak", 0);
    setenv("SDL_VIDEO_WAYLAND_WMCLASS", "org.zorvak.Zorvak", 0);
    int exitCode = 0;
    {
        zsdl::SdlBackend backend(GameModule(), options.display);
        if (options.display.scale > 0 &&
            !zsdl::CheckScale(options.display,
                              backend.LargestScale(kGameImageWidth, kGameImageHeight), stderr)) {
            return 2;
        }
        zplat::SetBackend(&backend);
        exitCode = options.mode == zsdl::ProgramOptions::Watch ? zsdl::Watch(options, stderr)
                                                               : zsdl::Play(false);
        // Windows still open (Quit does not destroy the main window, and an
        // About window may be up) go with their native windows, silently.
        zplat::ShutdownPlatform();
        zplat::SetBackend(nullptr);
    }
    return exitCode;
}

} // namespace

int main(int argc, char **argv) {
    // A full disk or a file size limit fails a write of the kept games,
    // which says so; it must not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    zsdl::ProgramOptions options;
    switch (zsdl::ParseOptions(argc, argv, &options, stdout, stderr)) {
    case zsdl::Parsed::Done:
        return 0;
    case zsdl::Parsed::Wrong:
        return 2;
    case zsdl::Parsed::Run:
        break;
    }
    switch (options.mode) {
    case zsdl::ProgramOptions::Scores:
        return zsdl::PrintScores(stdout, stderr);
    case zsdl::ProgramOptions::Verify:
        return zsdl::Verify(options.verify, stdout, stderr);
    default:
        return OnDesktop(options);
    }
}
