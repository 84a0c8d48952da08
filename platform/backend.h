// The small interface between the platform core (windows, queue, timers,
// device contexts, menus) and what actually shows windows and reads input:
// the headless backend for tests, the SDL2 backend for players on a
// desktop, the web backend for the page.  docs/HACKING.md ("How the program
// runs") follows a key and a tick through it and gives the recipe for a new
// backend.
//
// The core owns every framebuffer; a backend only ever sees finished images.
// All calls happen on the one thread that runs the message loop.
#ifndef ZORVAK_PLATFORM_BACKEND_H
#define ZORVAK_PLATFORM_BACKEND_H

#include "platform/platform.h"

#include <cstdint>

namespace zplat {

// Input, as the backend hands it to the core.  Positions are in unscaled
// pixels of the composed image (menu bar at the top, then the client area).
// A key event with no window goes to the window that has the keyboard focus.
// Menu items are chosen when the button is released: a backend that only
// learns of whole clicks sends Click and Release together.
struct InputEvent {
    enum Type {
        KeyDown,  // vk: Windows virtual-key code; alt: Alt held; repeat: auto-repeat
        Click,    // left button pressed at x, y
        Minimize, // the desktop minimised the window
        Restore,  // the desktop restored the window
        Close,    // the desktop's close button
        KeyUp,    // vk released; alt: Alt still held
        Release,  // left button released at x, y
        Drag,     // pointer moved to x, y with the left button held
        Focus,    // the desktop gave the window the keyboard
        // Menu bar item x chosen from elsewhere (a controller's Start
        // button), as a click on it would: on window's bar, or with no
        // window on the bar of the window with the keyboard, or else of the
        // first window that has one.
        BarCommand,
    };
    Type type;
    HWND window;
    int vk;
    bool alt;
    bool repeat;
    int x;
    int y;
};

// A rectangle of a frame, in image pixels.
struct Area {
    int x;
    int y;
    int width;
    int height;
};

// How many boxes a frame names where it changed, at most.
constexpr int kChangedBoxes = 8;

// What the core hands a backend to show.  pixels are 0x00RRGGBB, row-major,
// width * height; the client area starts at (clientX, clientY).
struct Frame {
    const uint32_t *pixels;
    int width;
    int height;
    int clientX;
    int clientY;
    bool minimized;
    // What may differ from the image of this window's previous Present: the
    // rest is the same.  A backend may ignore it; zero width (the default)
    // means all of it.
    int changedX = 0;
    int changedY = 0;
    int changedWidth = 0;
    int changedHeight = 0;
    // Within that, when changedBoxCount is not 0: the only boxes that may
    // differ (none overlapping), so that sprites far apart are looked at
    // alone.
    Area changedBoxes[kChangedBoxes] = {};
    int changedBoxCount = 0;
};

// The rectangles of frame whose pixels differ from before (an image of the
// same size, the one last shown), looked for only where the frame says it
// changed: a few rectangles rather than one around everything, so that
// sprites far apart cost their own size.  Writes at most maxAreas (the last
// one then covers the rest) and returns how many.  Backends send only those
// to the display.
constexpr int kMaxChangedAreas = 64;
int ChangedAreas(const uint32_t *before, const Frame &frame, Area *areas, int maxAreas);
// The smallest rectangle around them; width 0 when nothing changed.
Area ChangedArea(const uint32_t *before, const Frame &frame);

class Backend {
public:
    virtual ~Backend() = default;

    // Monotonic milliseconds.
    virtual uint64_t NowMs() = 0;

    // Block until an input event has been delivered through zplat::PushInput
    // or NowMs() has reached deadlineMs (kNoDeadline: wait for input only).
    // Returns early as soon as any input was pushed.  The game's loop keeps
    // its shape whatever the backend: one that cannot block its thread (the
    // page) suspends the whole program here instead (the web backend
    // unwinds the stack with Asyncify and resumes it on input or at the
    // deadline).
    static constexpr uint64_t kNoDeadline = UINT64_MAX;
    virtual void Wait(uint64_t deadlineMs) = 0;

    // Deliver the input that has already arrived, without waiting.  The core
    // calls it before each timer message, so that a loop that is always
    // behind its timers still reads input.
    virtual void Poll() {}

    virtual void DesktopSize(int *width, int *height) = 0;

    // A top-level window's native counterpart.  x, y: desired position of the
    // outer window on the desktop; width, height: size of the composed image.
    // Returns false when no native window can be made (no display), which
    // makes CreateWindowExA fail.
    virtual bool CreateNativeWindow(HWND window, const char *title, int x, int y, int width,
                                    int height) = 0;
    virtual void DestroyNativeWindow(HWND window) = 0;
    virtual void ShowNativeWindow(HWND window, bool shown) = 0;
    virtual void SetNativeTitle(HWND window, const char *title) = 0;
    virtual void MinimizeNativeWindow(HWND window) = 0;
    virtual void RestoreNativeWindow(HWND window) = 0;
    // The window's Windows style (WS_...), once, before it is first shown:
    // the desktop's frame offers only the buttons it has (no close box
    // without WS_SYSMENU, no minimise box without WS_MINIMIZEBOX, ...).
    virtual void SetNativeStyle(HWND window, DWORD style) {
        (void)window;
        (void)style;
    }
    // The keyboard focus moves to this window within the program (the window
    // that had it went away, or this one was clicked).  A desktop whose own
    // focus was on one of the program's windows moves it here too.
    virtual void FocusNativeWindow(HWND window) { (void)window; }
    // The program is about to be shut down and run anew in this process (a
    // replay watched again from its start): its main window's native window,
    // destroyed next, may be given to the main window it makes next, so that
    // the desktop sees one window throughout (its place, its full screen).
    virtual void ProgramRestarts() {}
    // Called after a message whose handling changed what the window shows.
    virtual void Present(HWND window, const Frame &frame) = 0;

    // Blocks until dismissed (SDL) or records it (headless).
    virtual void ShowMessageBox(const char *text, const char *caption) = 0;
    virtual void Beep() = 0;
};

// The backend in use; the core calls only through this.
Backend &CurrentBackend();
void SetBackend(Backend *backend);

// Backends deliver input to the core's queue with this, from Wait and Poll
// (input handed in elsewhere waits for the loop's next look outside while a
// record is made or played).
void PushInput(const InputEvent &event);

// True when GetMessageA has something to return without waiting for time
// to pass (posted messages, a quit message or input).
bool QueueHasMessages();

// Forgets every window, class, timer, queued message and GDI object without
// sending or dispatching a single message (so no WM_DESTROY reaches a
// program whose loop has ended).  The backend's native windows are destroyed.
// The program calls it when its loop has ended, before it uninstalls its
// backend; the headless backend calls it to start each test afresh.
void ShutdownPlatform();

} // namespace zplat

#endif
