// The program in a web page: the web backend under the game's WinMain.
#include "platform/backend.h"
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
