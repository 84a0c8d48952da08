// The whole program on the headless backend, driven by bytes: keys, menu
// clicks and mnemonics, minimise, restore, close, About, New game, pause and
// clock jumps, with one of its resources removed or replaced by other bytes;
// then the record of that run played back, which must come to the same game.
//
// Input: byte 0 picks the resource (0: none), byte 1 whether it is removed or
// replaced (by the bytes of another resource of the program), then two bytes
// per action: what, and how long after the previous one (up to 100 ticks).
//
// After every message: at most one About window, no device context held,
// the sprites that can load loaded and the game timer running until the
// program quits, and the minimised flag matching the window.  At the end:
// exit code 0, one quit and 33 icons freed; and the playback ends with the
// same object table, game values and number of ticks as the run recorded.
#include "fuzz/fuzz_support.h"
#include "platform/headless/headless.h"
#include "platform/journal.h"
#include "platform/resource_decode.h"
#include "platform/window_inspection.h"
#include "presentation/sprites.h"
#include "resources/game_module.h"
#include "shell/shell_state.h"
#include "tests/support/session.h"

#include <cstring>
#include <string>

namespace {

// The program's own table, with one entry changed for this run.
std::vector<zplat::Resource> table;
HINSTANCE module = nullptr;
bool checking = false;

void LoadTable() {
    for (zplat::ResourceType type : {zplat::RES_ICON, zplat::RES_BITMAP, zplat::RES_MENU}) {
        for (const char *name : spriteNames) {
            if (const zplat::Resource *r = zplat::FindResourceIn(GameModule(), type, name)) {
                table.push_back(*r);
            }
        }
        for (const char *name : {"ICON_1", "BMP_INTRO", "BMP_GAMEOVER", "BMP_ABOUT", "MENU_1"}) {
            if (const zplat::Resource *r = zplat::FindResourceIn(GameModule(), type, name)) {
                table.push_back(*r);
            }
        }
    }
    module = zplat::RegisterModule(table.data(), table.size());
}

// Which sprites this run's module can load.
bool spriteLoads[SPRITE_COUNT];

void FindLoadableSprites() {
    for (int i = 0; i < SPRITE_COUNT; ++i) {
        const zplat::Resource *r = zplat::FindResourceIn(module, zplat::RES_ICON, spriteNames[i]);
        zplat::DecodedIcon icon;
        spriteLoads[i] = r != nullptr && zplat::DecodeIcon(r->data, r->size, &icon);
    }
}

void CheckInvariants() {
    HWND main = support::MainWindow();
    int abouts = 0;
    for (HWND w : headless::Windows()) {
        zplat::WindowInfo info;
        abouts += zplat::GetWindowInfo(w, &info) && info.className == "CL_ABOUT_ZORVAK";
    }
    fuzz::Require(abouts <= 1, "at most one About window");
    fuzz::Require(zplat::CountHandles().dcs == 0, "no device context is held between messages");
    if (support::postQuitMessageCalls != 0 || main == NULL) {
        return;
    }
    for (int i = 0; i < SPRITE_COUNT; ++i) {
        fuzz::Require((spriteSet[i] != NULL) == spriteLoads[i],
                      "every sprite that can load is loaded");
    }
    fuzz::Require(needsFirstPaint || zplat::HasTimer(main, GAME_TIMER_ID),
                  "the game timer runs from the first paint until the program quits");
    fuzz::Require(isMinimized == headless::IsMinimized(main),
                  "the minimised flag matches the window");
}

} // namespace

extern "C" LRESULT WINAPI __real_DispatchMessageA(const MSG *message);
extern "C" LRESULT WINAPI __wrap_DispatchMessageA(const MSG *message) {
    const LRESULT result = __real_DispatchMessageA(message);
    if (checking) {
        CheckInvariants();
    }
    return result;
}

// The program's run, with the invariants after each message and at its end.
void RunChecked() {
    checking = true;
    const int exitCode = support::RunWinMain(module);
    checking = false;
    fuzz::Require(exitCode == 0, "exit code 0");
    fuzz::Require(support::postQuitMessageCalls == 1, "exactly one quit");
    fuzz::Require(support::destroyedIcons.size() == SPRITE_COUNT, "every sprite freed once");
}

// What a run came to: the object table, the game values, the ticks.
struct Game {
    std::vector<GameObject> objects;
    std::vector<int64_t> values;
    static Game Now() {
        return Game{support::Objects(),
                    {score, lives, level, nextBonusScore, enemyCount, objectCount, fireRequested,
                     gameOver, attractTicks, attractStage, minimizedFrame, minimizedStep,
                     int64_t(zplat::JournalTicks())}};
    }
    bool operator==(const Game &) const = default;
};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (module == nullptr) {
        LoadTable();
    }
    if (size < 2) {
        return 0;
    }
    // One resource removed (renamed) or replaced by another's bytes.
    static std::vector<zplat::Resource> original = table;
    table = original;
    const size_t changed = data[0] % (table.size() + 1);
    if (changed != 0) {
        zplat::Resource &r = table[changed - 1];
        if (data[1] & 1) {
            r.name = "REMOVED";
        } else {
            const zplat::Resource &other = original[(changed + data[1] / 2) % original.size()];
            r.data = other.data;
            r.size = other.size;
        }
    }

    FindLoadableSprites();
    support::StartFresh(3600 * 1000);
    headless::OnFailure([](const std::string &why) {
        // Running out of virtual time is the input's doing; spinning is not.
        fuzz::Require(why.find("without ever waiting") == std::string::npos, why.c_str());
    });
    uint64_t t = support::kStart + 10;
    for (size_t i = 2; i + 1 < size && i < 2 + 2 * 64; i += 2) {
        const uint8_t what = data[i], wait = data[i + 1];
        headless::At(t, [what] {
            HWND main = support::MainWindow();
            HWND about = support::AboutWindow();
            switch (what % 15) {
            case 0:
                headless::Key(main, VK_LEFT, 1 + what / 64);
                break;
            case 1:
                headless::Key(main, VK_RIGHT, 1 + what / 64);
                break;
            case 2:
                headless::Key(main, VK_SPACE);
                break;
            case 3:
                headless::Key(main, VK_RETURN);
                break;
            case 4:
                headless::AltLetter(main, 'N');
                break;
            case 5:
                headless::AltLetter(main, 'A');
                break;
            case 6: // the menu bar
                headless::Click(main, 10 + (what / 14) * 30, 9);
                break;
            case 7: // system menu
                headless::AltLetter(main, ' ');
                break;
            case 8:
                headless::Key(main, (what & 16) ? VK_DOWN : VK_ESCAPE);
                break;
            case 9:
                headless::Minimize(main);
                break;
            case 10:
                headless::Restore(main);
                break;
            case 11:
                headless::Close(what & 16 ? about : main);
                break;
            case 12:
                headless::AltLetter(main, 'Q');
                break;
            case 13: // pause, and go on
                headless::Key(main, (what & 16) ? 'P' : VK_PAUSE);
                break;
            default: // the clock jumps
                headless::Advance(uint64_t(what) * 1000);
                break;
            }
        });
        t += 10 + uint64_t(wait) * 20; // up to 5 s apart
    }
    headless::At(t + 10, [] { headless::Close(support::MainWindow()); });
    zplat::StartRecording();
    RunChecked();
    const Game recorded = Game::Now();
    const std::vector<uint8_t> stream = zplat::RecordedStream();

    support::StartFresh(3600 * 1000);
    zplat::StartPlayback(stream, zplat::PlaybackPace{});
    RunChecked();
    fuzz::Require(zplat::PlaybackError().empty(), "the record plays back to its end");
    fuzz::Require(Game::Now() == recorded, "the playback comes to the same game");
    zplat::StopJournal();
    return 0;
}
