// The program on a desktop: the SDL2 backend under the game's WinMain.
#include "platform/backend.h"
#include "platform/platform.h"
#include "platform/sdl_backend.h"
#include "resources/game_module.h"

#include <string>

int main(int argc, char **argv) {
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
        zsdl::SdlBackend backend(GameModule());
        zplat::SetBackend(&backend);
        exitCode = WinMain(GameModule(), NULL, commandLine.data(), SW_SHOWDEFAULT);
        // Windows still open (Quit does not destroy the main window, and an
        // About window may be up) go with their native windows, silently.
        zplat::ShutdownPlatform();
        zplat::SetBackend(nullptr);
    }
    return exitCode;
}
