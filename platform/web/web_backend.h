// The browser backend: each top-level window is a box on the page, a title
// bar above a canvas that shows the composed image (menu bar + client + open
// drop-down) at a whole-number scale with sharp pixels.
//
// Nothing runs on a frame loop of its own: a canvas changes only when the
// core calls Present, and then only in the boxes that differ from what it
// shows; while the page is hidden nothing is drawn or converted at all.  Wait
// puts the whole program to sleep (Asyncify unwinds the game's own WinMain
// and GetMessageA loop) until the page has input or the next timer is due,
// so the page is idle between ticks.
//
// The JavaScript half is platform/web/page.js; platform/web/web_page.h lists
// what it offers.
#ifndef ZORVAK_PLATFORM_WEB_BACKEND_H
#define ZORVAK_PLATFORM_WEB_BACKEND_H

#include "platform/backend.h"
#include "platform/replay.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace zweb {

class WebBackend : public zplat::Backend {
public:
    // iconModule: where ICON_1, the page's icon, is found.
    explicit WebBackend(HINSTANCE iconModule);
    ~WebBackend() override;
    WebBackend(const WebBackend &) = delete;
    WebBackend &operator=(const WebBackend &) = delete;

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

    // The replay the page asked to watch, read and checked (the run that was
    // on has been told to end): true once with it, then false until the page
    // asks again.
    bool TakeWatchRequest(zplat::replay::Replay *replay);
    // Reads the replay the page offers now (zweb_page_replay_length); one
    // that does not read is refused on the page.
    static bool OfferedReplay(zplat::replay::Replay *replay);

private:
    struct Native {
        HWND window = nullptr;
        int id = 0;
        std::vector<uint32_t> shownImage; // what the canvas shows, 0x00RRGGBB
        // The canvas missed frames (the page was hidden, the window
        // minimised): the next is compared whole, not where the core says.
        bool stale = false;
        std::vector<uint32_t> shownIcon; // the minimised window's icon shown
    };
    // 0x00RRGGBB pixels to the canvas's R, G, B, A bytes (A opaque).
    static void ToRgba(const uint32_t *pixels, size_t count, uint8_t *rgba);
    Native *Find(HWND window);
    Native *FindById(int id);
    // Hands the page's waiting input to the core; true if there was any.
    bool DrainInput();
    // The page's own requests (web_requests.cpp): true when it took the
    // record (which the program never sees).
    bool PageRequest(const int32_t *fields);
    bool ToInput(const int32_t *fields, zplat::InputEvent *input);
    int TouchY(HWND window, int type, int y);
    // web_present.cpp: the changed boxes of an image into the canvas, the
    // minimised window's icon, and the windows that missed frames while the
    // page was hidden, drawn again when it is shown.
    void PresentImage(Native &native, const zplat::Frame &frame);
    void PresentIcon(Native &native, const zplat::Frame &frame);
    void RedrawStale();

    std::vector<Native> windows_;
    int nextId_ = 0;
    std::vector<uint8_t> rgba_;  // the boxes being presented, one after another
    std::vector<int32_t> boxes_; // x, y, width, height of each
    std::vector<uint32_t> icon_; // a minimised window's icon being presented
    bool touchOnBar_ = false;    // the touch now down was taken onto the menu bar
    std::unique_ptr<zplat::replay::Replay> wanted_; // the replay to watch next
};

} // namespace zweb

#endif
