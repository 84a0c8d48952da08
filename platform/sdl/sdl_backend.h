// The SDL2 backend: real windows on a real desktop for the platform core.
//
// One SDL window per top-level window, fixed size, showing the composed image
// (menu bar + client + open drop-down) scaled up by a whole number with
// nearest-neighbour sampling.  Nothing is drawn on a frame loop of its own:
// the window changes only when the core calls Present, and Wait sleeps in
// SDL's event wait until input arrives or the next timer deadline is due.
//
// F11 and Alt+Enter switch the main (first) window between the desktop and
// full screen, where the image is shown at the largest whole scale that fits,
// centred on black, under a caption bar of the layer's own.  Game
// controllers, plugged in at any time, give the keys and commands that the
// keyboard and the menus give.
//
// Only the program's main() and its tests include this header; game code
// never sees SDL.
#ifndef ZORVAK_PLATFORM_SDL_BACKEND_H
#define ZORVAK_PLATFORM_SDL_BACKEND_H

#include "platform/backend.h"
#include "platform/display.h"
#include "platform/sdl/x11_connection.h"

#include <SDL.h>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zsdl {

// The Windows virtual-key code for an SDL key, or 0 for keys the program
// does not pass on (Shift, Ctrl and the like).  Letters are taken from the layout's key symbol
// where it is a Latin letter, otherwise from the key's position.
int VirtualKeyFor(SDL_Keycode sym, SDL_Scancode scancode);

// What the player asked for on the command line.
struct DisplayOptions {
    int scale = 0;           // of the windows; 0: chosen to fit the desktop
    bool fullScreen = false; // the main window starts in full screen
};

class SdlBackend : public zplat::Backend {
public:
    // iconModule: where ICON_1, the windows' icon, is found.
    explicit SdlBackend(HINSTANCE iconModule, DisplayOptions options = {});
    ~SdlBackend() override;
    SdlBackend(const SdlBackend &) = delete;
    SdlBackend &operator=(const SdlBackend &) = delete;

    // Starts the display and makes sure it can be drawn on: false, with
    // the reason in error, when there is no display (no X or Wayland
    // server answers) or when SDL cannot draw on the one there is (a screen
    // whose pixel format neither SDL's framebuffer nor a renderer takes).
    // The program checks this before the game starts; windows made without
    // it start the display on their own.
    bool OpenDisplay(std::string *error);

    uint64_t NowMs() override;
    void Wait(uint64_t deadlineMs) override;
    void Poll() override;
    void DesktopSize(int *width, int *height) override;
    bool CreateNativeWindow(HWND window, const char *title, int x, int y, int width,
                            int height) override;
    void DestroyNativeWindow(HWND window) override;
    void ShowNativeWindow(HWND window, bool shown) override;
    void SetNativeTitle(HWND window, const char *title) override;
    void MinimizeNativeWindow(HWND window) override;
    void RestoreNativeWindow(HWND window) override;
    void SetNativeStyle(HWND window, DWORD style) override;
    void FocusNativeWindow(HWND window) override;
    void ProgramRestarts() override;
    void Present(HWND window, const zplat::Frame &frame) override;
    void ShowMessageBox(const char *text, const char *caption) override;
    void Beep() override;

    // The largest scale an image of this size may be shown at on this
    // display (zplat::FullScreenScale); 0 when there is no display.
    int LargestScale(int imageWidth, int imageHeight);
    // The scale of the windows made from now on (0: the one that fits).
    void SetScale(int scale) { options_.scale = scale; }
    // Full screen for the main window, or back to the desktop.
    void SetFullScreen(bool on);
    bool FullScreen() const;

    // For tests and diagnostics.
    SDL_Window *NativeWindow(HWND window) const;
    int Scale(HWND window) const;
    zplat::Placement PlacementOf(HWND window) const;
    int GamepadCount() const { return int(pads_.size()); }
    // The icon the window shows now, 0xAARRGGBB, top row first; empty if none.
    std::vector<uint32_t> IconPixels(HWND window, int *width, int *height) const;
    // Number of beeps queued on the audio device (not counting silent ones).
    int BeepsPlayed() const { return beepsPlayed_; }
    // Number of times changes were put on an X window from shared memory.
    static long PutsOnX11();

private:
    struct Native;
    struct Pad;
    bool VideoReady();
    // Whether a window surface can be had on this display, trying SDL's
    // renderer where its own framebuffer cannot draw.
    bool SurfaceWorks(std::string *error);
    Native *Find(HWND window) const;
    Native *FindById(Uint32 windowId) const;
    // Turns one SDL event into input for the core; true if input was pushed.
    bool Translate(const SDL_Event &event);
    bool TranslateKey(const SDL_Event &event);
    bool TranslatePointer(const SDL_Event &event);
    bool TranslateWindowEvent(const SDL_Event &event);
    bool TranslatePad(const SDL_Event &event);
    // F11 and Alt+Enter, and the releases that belong to them.
    bool TakeFullScreenKey(const SDL_Event &event);
    // Translates the events SDL has queued (reading the display first when
    // pump is set); true if input was pushed.
    bool DrainEvents(bool pump);
    void SetIcon(Native &native, const uint32_t *argb, int width, int height, bool isDefault);
    void IdleAudio();
    // Shows the image in the window: what changed (looked for within the
    // frame's changed box, when given), or everything when the window or its
    // placement changed (pixels null: the last image again).
    void Draw(Native &native, const uint32_t *pixels, const zplat::Frame *changed = nullptr);
    // Takes what changed of the image (all of it when whole) into the
    // window's copy, in at most kMaxChangedAreas boxes; how many.
    int TakeChanges(Native &native, const uint32_t *pixels, const zplat::Frame *changed, bool whole,
                    zplat::Area *boxes);
    // Puts boxes of the window's picture (its image, or in full screen the
    // composed picture) on the display, or all of it when whole or when the
    // surface or placement changed.
    void ShowPicture(Native &native, const zplat::Area *boxes, int count, bool whole);
    // Full screen: which windows are shown in the main window's picture.
    void UpdateOverlays();
    bool AnyOverlaid() const;
    zplat::FullScreenScene Scene(const Native &main);
    // The window a pointer event at image point (x, y) of the main window
    // goes to, and the point in it.
    HWND PointerTarget(Native &main, bool press, int *x, int *y);
    zplat::Placement Place(const Native &native, int windowWidth, int windowHeight) const;
    // On an X desktop with no window manager (where SDL's own switch would
    // wait in vain for one, about 100 ms each time), the program sizes the
    // window for full screen and back itself, and keeps the other windows
    // above the main one.
    bool Unmanaged(const Native &native) const;
    void SizeWithoutWindowManager(Native &native);
    void RaiseOthers(const Native &main);
    // The desktop frame's hints for the window's style (SetNativeStyle).
    void ApplyStyle(const Native &native);
    // Takes on the X window that SDL put behind the window in place of the
    // one it had (it replaces it when a renderer needs another kind); false
    // when it is still the same.
    bool FollowX11Window(Native &native);
    // Controllers.
    void OpenPad(int deviceIndex);
    bool ClosePad(SDL_JoystickID id, bool releaseKeys);
    Pad *FindPad(SDL_JoystickID id);
    bool UpdatePadKeys(Pad &pad);
    // Whether the keyboard or a controller other than except holds the
    // controller key (PadKey).
    bool HeldElsewhere(int key, const Pad *except) const;
    // Notes a key of the keyboard going down or up; true when a controller
    // holds it too.
    bool NoteKeyboardKey(int vk, bool down);

    // When SDL last read the display, and when a wait last found it quiet:
    // Poll does not look again within kFreshPumpMs (sdl_wait.cpp).
    static constexpr uint64_t kFreshPumpMs = 2;
    uint64_t lastPumpMs_ = 0;
    uint64_t quietSinceMs_ = 0;
    uint64_t lastPadLookMs_ = 0; // when SDL last read the controllers
    X11Connection connection_;   // SDL's, once it has a window on X
    HINSTANCE iconModule_;
    DisplayOptions options_;
    std::vector<zplat::Overlay> overlays_; // Scene's, kept to be reused
    std::vector<HWND> overlayWindows_;
    HWND pressedOverlay_ = nullptr; // the window the button went down on, if an overlay
    std::vector<std::unique_ptr<Pad>> pads_;
    // The controller keys (PadKey) the keyboard holds.
    // Whether a window of the program had the keyboard at the last look,
    // and since when none has (0: one has).
    bool hadFocus_ = false;
    // Across a restart of the program: its main window's native window, kept
    // for the next main window (ProgramRestarts).
    bool restarting_ = false;
    std::unique_ptr<Native> spareMain_;
    bool ReuseSpareMain(HWND window, const char *title, int width, int height);
    void DropSpareMain();
    uint64_t focusLostMs_ = 0;
    static constexpr uint64_t kFocusGoneMs = 250;
    static constexpr int kControllerKeys = 5;
    bool keyboardHeld_[kControllerKeys] = {};
    // Keys taken for full screen whose releases are not passed on.
    std::vector<SDL_Scancode> takenKeys_;
    bool altTaken_ = false;  // the Alt held for Alt+Enter: its release is taken too
    int videoState_ = 0;     // 0 not tried, 1 ready, -1 failed
    std::string videoError_; // why it failed
    int audioState_ = 0;     // 0 not tried, 1 ready, -1 failed
    SDL_AudioDeviceID audioDevice_ = 0;
    int audioRate_ = 0;
    int beepsPlayed_ = 0;
    std::vector<std::unique_ptr<Native>> windows_;
    const zplat::IconImage &defaultIcon_; // ICON_1
};

} // namespace zsdl

#endif
