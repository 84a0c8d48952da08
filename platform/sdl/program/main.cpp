// The program on a desktop: the game under the SDL2 backend, and what its
// command line asks for besides (the kept games, watching and verifying
// replays).
#include "platform/backend.h"
#include "platform/platform.h"
#include "platform/sdl/program/options.h"
#include "platform/sdl/program/runs.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/settings.h"
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

// What the command line does not say comes from the settings kept from the
// last run; a scale that no longer fits this display is chosen anew.  A
// damaged settings file is written anew at the end.
zplat::Settings Remembered(zsdl::ProgramOptions *options, bool *damaged) {
    zplat::Settings kept;
    std::string error;
    *damaged = !zplat::ReadSettings(&kept, &error);
    if (*damaged) {
        std::fprintf(stderr, "zorvak: %s\n", error.c_str());
    }
    if (!options->scaleGiven) {
        options->display.scale = kept.scale;
    }
    if (!options->fullScreenGiven) {
        options->display.fullScreen = kept.fullScreen;
    }
    return kept;
}

// Keeps the scale asked for and whether the program ended in full screen.
void Remember(const zplat::Settings &before, bool damaged, const zplat::Settings &now) {
    std::string error;
    if ((damaged || !(now == before)) && !zplat::WriteSettings(now, &error)) {
        std::fprintf(stderr, "zorvak: %s\n", error.c_str());
    }
}

// Play, or watch a replay (when given one), on the desktop.
int OnDesktop(zsdl::ProgramOptions options, const zplat::replay::Replay *replay) {
    bool damaged = false;
    const zplat::Settings kept = Remembered(&options, &damaged);
    // The desktop groups the windows under the menu entry's icon by this.
    setenv("SDL_VIDEO_X11_WMCLASS", "org.zorvak.Zorvak", 0);
    setenv("SDL_VIDEO_WAYLAND_WMCLASS", "org.zorvak.Zorvak", 0);
    int exitCode = 0;
    {
        zsdl::SdlBackend backend(GameModule(), options.display);
        // No display, or one SDL cannot draw on: a failure to start, said
        // in one line, as other X programs do (the game's own start-up
        // failure is for a window that cannot be made on a display).
        std::string error;
        if (!backend.OpenDisplay(&error)) {
            std::fprintf(stderr, "zorvak: %s\n", error.c_str());
            return 1;
        }
        const int largest = backend.LargestScale(kGameImageWidth, kGameImageHeight);
        if (!options.scaleGiven && largest > 0 && options.display.scale > largest) {
            options.display.scale = 0;
            backend.SetScale(0);
        }
        if (options.display.scale > 0 && !zsdl::CheckScale(options.display, largest, stderr)) {
            return 2;
        }
        zplat::SetBackend(&backend);
        exitCode = replay != nullptr ? zsdl::Watch(*replay, options.speed) : zsdl::Play(false);
        Remember(kept, damaged, zplat::Settings{options.display.scale, backend.FullScreen()});
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
    case zsdl::ProgramOptions::Watch: {
        zplat::replay::Replay replay;
        return zsdl::FindReplay(options.replay, &replay, stderr) ? OnDesktop(options, &replay) : 2;
    }
    default:
        return OnDesktop(options, nullptr);
    }
}
