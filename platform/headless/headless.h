// The headless backend: a virtual clock, injected input and readable images.
// Tests drive whole programs through it with the real message loop.
//
// Typical use:
//   headless::Reset();                       // fresh platform state, clock at 0
//   headless::At(1000, [] { headless::Key(w, VK_SPACE); });
//   int rc = WinMain(GameModule(), NULL, (LPSTR) "", SW_SHOWDEFAULT);
//
// When GetMessageA finds nothing to do it lets the virtual clock jump to the
// next event: a timer deadline or a scheduled callback, whichever is first.
// A callback due at the very moment a wait ends on a timer deadline runs at
// the next poll, as input that arrives just then does on a real desktop.
// If there is neither, the program could never wake up again: the backend
// reports it through the failure handler (tests fail) and posts WM_QUIT.
//
// The desktop's keyboard focus is modelled as on an X server without a
// window manager: a window takes it when shown or when the program asks,
// and loses it when destroyed or hidden (keys typed then go nowhere).
#ifndef ZORVAK_PLATFORM_HEADLESS_H
#define ZORVAK_PLATFORM_HEADLESS_H

#include "platform/backend.h"
#include "platform/platform.h"
#include "platform/replay.h"
#include "platform/watch.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace headless {

// Installs the headless backend and forgets every window, class, timer,
// queued message and scheduled callback; the virtual clock restarts at
// startMs (GetTickCount wraps at 32 bits, so tests can start near the wrap).
void Reset(uint64_t startMs = 0);

// Virtual clock.
uint64_t Now();
void Advance(uint64_t ms); // moves the clock; runs callbacks that fall due

// Runs fn when the virtual clock reaches atMs (from inside the message loop).
void At(uint64_t atMs, std::function<void()> fn);
// Runs fn every time the message loop is about to wait.
void OnIdle(std::function<void()> fn);
// Called when the program would wait forever, overruns the time limit, or
// spins (a million reads of the clock without ever waiting); WM_QUIT follows.
void OnFailure(std::function<void(const std::string &)> fn);
// Virtual-time limit after which the backend reports a failure and posts WM_QUIT.
void SetTimeLimit(uint64_t ms);

// Desktop size reported to the program (default 1920 x 1080).
void SetDesktopSize(int width, int height);
// Makes native window creation fail (as with no display).
void FailWindowCreation(bool fail);

// Input.  Positions are in composed-image pixels (menu bar on top).  A key
// for window nullptr is typed on the desktop: it goes to FocusedWindow().
void Key(HWND window, int vk, int repeats = 1); // repeats > 1: auto-repeat
void KeyUp(HWND window, int vk, bool altHeld = false);
// Alt goes down, the key (a letter: its key) goes down and up, Alt goes up.
void AltLetter(HWND window, char letter);
void AltKey(HWND window, int vk); // AltKey(w, VK_F4): Alt+F4
void AltTap(HWND window);         // Alt down and up alone
void Press(HWND window, int x, int y);
void Drag(HWND window, int x, int y);
void Release(HWND window, int x, int y);
void Click(HWND window, int x, int y); // Press and Release
HWND FocusedWindow();                  // the desktop's keyboard focus
void Minimize(HWND window);
void Restore(HWND window);
void Close(HWND window);

// Windows the program has made, in creation order (destroyed ones excluded).
std::vector<HWND> Windows();
HWND FindWindowByClass(const char *className);
std::string Title(HWND window);
// The title the desktop was last told to show for the window: the program's,
// with the platform's notice beside it (paused, game over, a replay).
std::string ShownTitle(HWND window);
bool IsMinimized(HWND window);
bool IsVisible(HWND window);
// The Windows style the desktop was given for the window's frame.
DWORD FrameStyle(HWND window);

// Images, 0x00RRGGBB.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};
Image ClientImage(HWND window);    // the client framebuffer as it stands
Image ComposedImage(HWND window);  // menu bar + client + open drop-down
uint64_t Hash(const Image &image); // FNV-1a over the pixels, for regression guards

// What the program asked of the desktop.
int Beeps();
struct MessageBoxRecord {
    std::string text;
    std::string caption;
};
std::vector<MessageBoxRecord> MessageBoxes();
int Presents(HWND window); // how many times the window was presented
// Where the last Present said the window's image may have changed, in
// image pixels (the whole image when it said all of it).
std::vector<zplat::Area> ChangedBoxesPresented(HWND window);

// Plays a replay's record back on this backend (installed anew, with no
// display), as fast as the program runs, and holds how the game ended
// against what the replay recorded: its status line, its picture and its
// ticks.
struct Verified {
    std::string title;    // the main window's title at the end
    uint64_t picture = 0; // zplat::PictureHash of it
    uint64_t ticks = 0;   // the game's ticks, from its New game
    std::string error;    // why the playback stopped early, if it did
    bool matches = false;
};
Verified VerifyReplay(const zplat::ProgramEntry &program, const zplat::replay::Replay &replay);

} // namespace headless

#endif
