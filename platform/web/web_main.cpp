// The program in a web page: the web backend under the game's WinMain.
#include "platform/backend.h"
#include "platform/display.h"
#include "platform/platform.h"
#include "platform/web/web_backend.h"
#include "platform/web/web_keys.h"
#include "platform/web/web_page.h"
#include "resources/game_module.h"

#include <emscripten.h>

// The page asks which keys are the program's, to keep the browser's own use
// of exactly those keys away while the game has the focus.
extern "C" EMSCRIPTEN_KEEPALIVE int zweb_virtual_key(const char *key, const char *code) {
    return zweb::VirtualKeyFor(key, code);
}

// The page asks at which whole scale of device pixels an image fits the room
// it has, by the rule every backend follows.
extern "C" EMSCRIPTEN_KEEPALIVE int zweb_fit_scale(int roomWidth, int roomHeight, int imageWidth,
                                                   int imageHeight) {
    return zplat::FitScale(roomWidth, roomHeight, imageWidth, imageHeight);
}

int main() {
    int exitCode = 0;
    {
        zweb::WebBackend backend(GameModule());
        zplat::SetBackend(&backend);
        // The page gives the program no command line.
        char commandLine[] = "";
        exitCode = WinMain(GameModule(), NULL, commandLine, SW_SHOWDEFAULT);
        zplat::ShutdownPlatform();
        zplat::SetBackend(nullptr);
    }
    zweb_page_ended(exitCode);
    return exitCode;
}
