// The program on a desktop: the SDL2 backend under the game's WinMain.
#include "platform/backend.h"
#include "platform/platform.h"
#include "platform/sdl/options.h"
#include "platform/sdl/sdl_backend.h"
#include "resources/game_module.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// What the backend shows of the game's main window: its 511 x 330 client
// under the 19-pixel menu bar.  The largest scale a player may ask for is
// the one at which this fits the display.
constexpr int kGameImageWidth = 511;
constexpr int kGameImageHeight = 349;

} // namespace

int main(int argc, char **argv) {
    zsdl::DisplayOptions options;
    switch (zsdl::ParseOptions(argc, argv, &options, stdout, stderr)) {
    case zsdl::Parsed::Done:
        return 0;
    case zsdl::Parsed::Wrong:
        return 2;
    case zsdl::Parsed::Run:
        break;
    }
    // The desktop groups the windows under the menu entry's icon by this.
    setenv("SDL_VIDEO_X11_WMCLASS", "org.zorvak.Zorvak", 0);
    setenv("SDL_VIDEO_WAYLAND_WMCLASS", "org.zorvak.Zorvak", 0);
    // Windows hands WinMain the command line without the program's name.
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            commandLine += ' ';
        }
        commandLine += argv[i];
    }
    int exitCode = 0;
    {
        zsdl::SdlBackend backend(GameModule(), options);
        // No display, or one SDL cannot draw on: a failure to start, said
        // in one line, as other X programs do (the game's own start-up
        // failure is for a window that cannot be made on a display).
        std::string error;
        if (!backend.OpenDisplay(&error)) {
            std::fprintf(stderr, "zorvak: %s\n", error.c_str());
            return 1;
        }
        if (options.scale > 0 &&
            !zsdl::CheckScale(options, backend.LargestScale(kGameImageWidth, kGameImageHeight),
                              stderr)) {
            return 2;
        }
        zplat::SetBackend(&backend);
        exitCode = WinMain(GameModule(), NULL, commandLine.data(), SW_SHOWDEFAULT);
        // Windows still open (Quit does not destroy the main window, and an
        // About window may be up) go with their native windows, silently.
        zplat::ShutdownPlatform();
        zplat::SetBackend(nullptr);
    }
    return exitCode;
}
