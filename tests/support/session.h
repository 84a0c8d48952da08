// Helpers for whole-program sessions: each test runs the real WinMain on the
// headless backend, as a fresh process would, with input scripted on the
// virtual clock.
#ifndef ZORVAK_TESTS_SUPPORT_SESSION_H
#define ZORVAK_TESTS_SUPPORT_SESSION_H

#include "platform/headless/headless.h"
#include "resources/game_module.h"
#include "tests/support/game_fixture.h"
#include "tests/support/recorders.h"
#include "world/game_state.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace support {

// The virtual time at which every session starts.  The first paint happens at
// once, so game-timer tick k (k >= 1) arrives at kStart + 50 k.
const uint64_t kStart = 100000;
const uint64_t kTick = 50;
// Halfway between tick k and tick k + 1: the state after tick k.
inline uint64_t AfterTick(int k) {
    return kStart + kTick * uint64_t(k) + kTick / 2;
}

// Resets the platform, the recorders and every process-wide value of the
// game and the shell, as in a fresh process.  Failures the backend reports (a
// program that would wait forever, the time limit) fail the test.
void StartFresh(uint64_t timeLimitMs = 600000);
// Runs the program; its exit code.
int RunWinMain(HINSTANCE module = GameModule());

HWND MainWindow();
HWND AboutWindow(); // null when none is open
// The window's outer rectangle as {left, top, width, height} and its client
// size as {width, height}.
std::array<int, 6> Place(HWND window);

// A menu bar command by its mnemonic, as a player would type it.
inline void Command(char mnemonic) {
    headless::AltLetter(MainWindow(), mnemonic);
}
// The middle of item index (0, 1, 2) of the main window's menu bar, in
// composed-image pixels, and a click there.
std::pair<int, int> MenuItemPoint(int index);
void ClickMenuItem(int index);
// Which item of the main window's menu bar is lit: its index, kSystemBox for
// the system menu's box, kNothingLit when none is.
const int kSystemBox = -1;
const int kNothingLit = -2;
int LitMenuItem();

// A resource of the game's module decoded to pixels, 0x00RRGGBB.
headless::Image Picture(const char *name);
headless::Image Sprite(const char *name);
// The w x h part of image at (x, y).
headless::Image Crop(const headless::Image &image, int x, int y, int w, int h);
// Whether image holds picture with its top-left corner at (x, y); the part of
// picture outside image is ignored.
bool Shows(const headless::Image &image, int x, int y, const headless::Image &picture);
// Whether the main window's client area shows picture at (x, y).
bool MainShows(int x, int y, const headless::Image &picture);

inline std::vector<GameObject> Objects() {
    return std::vector<GameObject>(objectTable, objectTable + OBJECT_SLOTS);
}

// Writes a screenshot under the build's screenshot folder.
void SaveScreenshot(const headless::Image &image, const std::string &name);
// Writes the main window as the desktop shows it in full screen: the caption
// bar with the title and its notice over the menu bar and client, each pixel
// scale x scale.
void SaveFullScreenScreenshot(const std::string &name, int scale);

} // namespace support

#endif
