// The SDL2 backend: real windows on a real desktop for the platform core.
//
// One SDL window per top-level window, fixed size, showing the composed image
// (menu bar + client + open drop-down) scaled up by a whole number with
// nearest-neighbour sampling.  Nothing is drawn on a frame loop of its own:
// the window changes only when the core calls Present, and Wait sleeps in
// SDL's event wait until input arrives or the next timer deadline is due.
//
// Only the program's main() and its tests include this header; game code
// never sees SDL.
#ifndef ZORVAK_PLATFORM_SDL_BACKEND_H
#define ZORVAK_PLATFORM_SDL_BACKEND_H

#include "platform/backend.h"

#include <SDL.h>
#include <cstdint>
#include <vector>

namespace zsdl {

// The largest whole scale at which an image of imageWidth x imageHeight
// still leaves room on the desktop for the window's frame and the desktop's
// own panels; at least 1.
int ChooseScale(int desktopWidth, int desktopHeight, int imageWidth, int imageHeight);

// The Windows virtual-key code for an SDL key, or 0 for keys the program
// does not pass on (Shift, Ctrl and the like).  Letters are taken from the layout's key symbol
// where it is a Latin letter, otherwise from the key's position.
int VirtualKeyFor(SDL_Keycode sym, SDL_Scancode scancode);

class SdlBackend : public zplat::Backend {
public:
    // iconModule: where ICON_1, the windows' icon, is found.
    explicit SdlBackend(HINSTANCE iconModule);
    ~SdlBackend() override;
    SdlBackend(const SdlBackend &) = delete;
    SdlBackend &operator=(const SdlBackend &) = delete;

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
    void Present(HWND window, const zplat::Frame &frame) override;
    void ShowMessageBox(const char *text, const char *caption) override;
    void Beep() override;

    // For tests and diagnostics.
    SDL_Window *NativeWindow(HWND window) const;
    int Scale(HWND window) const;
    // The icon the window shows now, 0xAARRGGBB, top row first; empty if none.
    std::vector<uint32_t> IconPixels(HWND window, int *width, int *height) const;
    // Number of beeps queued on the audio device (not counting silent ones).
    int BeepsPlayed() const { return beepsPlayed_; }

private:
    struct Native;
    bool VideoReady();
    Native *Find(HWND window) const;
    Native *FindById(Uint32 windowId) const;
    // Turns one SDL event into input for the core; true if input was pushed.
    bool Translate(const SDL_Event &event);
    // Translates the events SDL has queued (reading the display first when
    // pump is set); true if input was pushed.
    bool DrainEvents(bool pump);
    void SetIcon(Native &native, const uint32_t *argb, int width, int height, bool isDefault);
    void IdleAudio();

    // When SDL last read the display (inside SDL_WaitEventTimeout); Poll
    // does not read it again within kFreshPumpMs.
    static constexpr uint64_t kFreshPumpMs = 2;
    uint64_t lastPumpMs_ = 0;
    HINSTANCE iconModule_;
    int videoState_ = 0; // 0 not tried, 1 ready, -1 failed
    int audioState_ = 0; // 0 not tried, 1 ready, -1 failed
    SDL_AudioDeviceID audioDevice_ = 0;
    int audioRate_ = 0;
    int beepsPlayed_ = 0;
    std::vector<Native *> windows_;
    std::vector<uint32_t> defaultIcon_; // ICON_1 as 0xAARRGGBB
    int defaultIconWidth_ = 0;
    int defaultIconHeight_ = 0;
};

} // namespace zsdl

#endif
