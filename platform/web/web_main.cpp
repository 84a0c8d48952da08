// The program in a web page: the web backend under the game's WinMain.  Every
// game is recorded and kept on the page (web_store.h); the page may ask to
// watch a replay (a kept game, a shared link, a dropped file), which ends the
// run that is on: the replay is watched in the same canvas, then live play
// goes on (a new game when the watcher asked for one).
#include "platform/backend.h"
#include "platform/display.h"
#include "platform/journal.h"
#include "platform/platform.h"
#include "platform/watch.h"
#include "platform/web/web_backend.h"
#include "platform/web/web_keys.h"
#include "platform/web/web_page.h"
#include "platform/web/web_store.h"
#include "resources/game_module.h"
#include "shell/process_start.h"

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

// The program's game ticks since its run began (recording or watching).
extern "C" EMSCRIPTEN_KEEPALIVE double zweb_ticks() {
    return double(zplat::JournalTicks());
}

// Where the replay being watched stands, for the page's seek bar: its tick
// and length (0 when nothing is watched), and its state: bit 0 held, bit 1
// played to its end, bits 2 and up the speed.
extern "C" EMSCRIPTEN_KEEPALIVE double zweb_watch_tick() {
    return double(zplat::CurrentWatch().tick);
}
extern "C" EMSCRIPTEN_KEEPALIVE double zweb_watch_length() {
    const zplat::WatchPosition at = zplat::CurrentWatch();
    return at.watching ? double(at.length) : 0;
}
extern "C" EMSCRIPTEN_KEEPALIVE int zweb_watch_state() {
    const zplat::WatchPosition at = zplat::CurrentWatch();
    return (at.held ? 1 : 0) | (zplat::PlaybackEnded() ? 2 : 0) | (at.speed << 2);
}

namespace {

zplat::ProgramEntry Game() {
    return zplat::ProgramEntry{
        [] { return WinMain(GameModule(), NULL, const_cast<LPSTR>(""), SW_SHOWDEFAULT); },
        [] { RestoreProcessStart(); }};
}

// Live play, recorded: each game that ends is kept.  newGame: as a
// controller's Start, New game at the program's first look outside.
int Play(bool newGame) {
    return zplat::PlayRecorded(Game(), zweb::KeepOnPage, newGame);
}

// Runs the page's program until it quits while live: its exit code.
int Run(zweb::WebBackend &backend) {
    RestoreProcessStart(); // the process's start, as the first run found it
    zplat::replay::Replay replay;
    // A shared link opened: its replay plays at once.
    bool watch = zweb::WebBackend::OfferedReplay(&replay);
    bool newGame = false;
    for (;;) {
        if (watch) {
            zweb_page_watching(1);
            const zplat::WatchEnd end = zplat::WatchReplay(Game(), replay, 1);
            zplat::ShutdownPlatform();
            zweb_page_watching(0);
            watch = backend.TakeWatchRequest(&replay);
            newGame = end == zplat::WatchEnd::Play;
            continue;
        }
        const int exitCode = Play(newGame);
        if (!backend.TakeWatchRequest(&replay)) {
            return exitCode;
        }
        zplat::ShutdownPlatform();
        watch = true;
    }
}

} // namespace

int main() {
    int exitCode = 0;
    {
        zweb::WebBackend backend(GameModule());
        zplat::SetBackend(&backend);
        exitCode = Run(backend);
        zplat::ShutdownPlatform();
        zplat::SetBackend(nullptr);
    }
    zweb_page_ended(exitCode);
    return exitCode;
}
