// Process-wide state, the backend in use, and the small calls that only talk
// to the desktop: beeps, message boxes, the arrow cursor and the stock
// objects.
#include "platform/backend.h"
#include "platform/core/state.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace zplat {

namespace {

// The desktop when no backend was installed: it has no display, so no
// native window can be made and no input ever arrives.
class NoDisplay : public Backend {
public:
    uint64_t NowMs() override {
        using namespace std::chrono;
        return uint64_t(
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
    void Wait(uint64_t deadlineMs) override {
        uint64_t now = NowMs();
        if (deadlineMs == kNoDeadline) {
            deadlineMs = now + 1000;
        }
        if (deadlineMs > now) {
            std::this_thread::sleep_for(std::chrono::milliseconds(deadlineMs - now));
        }
    }
    void DesktopSize(int *width, int *height) override {
        *width = 640;
        *height = 480;
    }
    bool CreateNativeWindow(HWND, const char *, int, int, int, int) override { return false; }
    void DestroyNativeWindow(HWND) override {}
    void ShowNativeWindow(HWND, bool) override {}
    void SetNativeTitle(HWND, const char *) override {}
    void MinimizeNativeWindow(HWND) override {}
    void RestoreNativeWindow(HWND) override {}
    void Present(HWND, const Frame &) override {}
    void ShowMessageBox(const char *, const char *) override {}
    void Beep() override {}
};

Backend *gBackend = nullptr;

} // namespace

Backend &NoDisplayBackend() {
    static NoDisplay backend;
    return backend;
}

Backend &CurrentBackend() {
    return gBackend ? *gBackend : NoDisplayBackend();
}

void SetBackend(Backend *backend) {
    gBackend = backend;
}

State &St() {
    static State state;
    return state;
}

// At process end the state simply goes away: no message is sent or
// dispatched, and the backend (which may already be gone) is not called.
State::~State() = default;

void MakeStockObjects(State &s) {
    static const struct {
        int index;
        bool hollow;
        uint32_t rgb;
    } kBrushes[] = {
        {0, false, 0xFFFFFF},                         // WHITE_BRUSH
        {1, false, 0xC0C0C0},                         // LTGRAY_BRUSH
        {2, false, 0x808080},                         // GRAY_BRUSH
        {3, false, 0x404040},                         // DKGRAY_BRUSH
        {BLACK_BRUSH, false, 0x000000}, {5, true, 0}, // NULL_BRUSH
    };
    for (const auto &b : kBrushes) {
        auto brush = std::make_unique<Brush>();
        brush->hollow = b.hollow;
        brush->rgb = b.rgb;
        brush->stock = true;
        s.stockBrushes[b.index] = static_cast<HBRUSH>(NewHandle(HType::Brush, std::move(brush)));
    }
    auto bitmap = std::make_unique<Bitmap>();
    bitmap->width = 1;
    bitmap->height = 1;
    bitmap->bitsPixel = 1;
    bitmap->pixels.assign(1, 0x000000);
    bitmap->stock = true;
    s.stockBitmap = static_cast<HBITMAP>(NewHandle(HType::Bitmap, std::move(bitmap)));
    s.arrow = static_cast<HCURSOR>(NewHandle(HType::Cursor, std::make_unique<Cursor>()));
    s.desktop = static_cast<HWND>(NewHandle(HType::Desktop, std::make_unique<Object>()));
}

namespace {

State &Ready() {
    State &s = St();
    if (!s.desktop) {
        MakeStockObjects(s);
    }
    return s;
}

} // namespace

} // namespace zplat

using namespace zplat;

extern "C" {

HGDIOBJ WINAPI GetStockObject(int i) {
    State &s = Ready();
    if (i < 0 || i >= int(sizeof s.stockBrushes / sizeof s.stockBrushes[0])) {
        return nullptr;
    }
    return s.stockBrushes[i];
}

HCURSOR WINAPI LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName) {
    State &s = Ready();
    // Only the system's arrow exists; a program's own cursors are not used.
    if (hInstance == nullptr && lpCursorName == IDC_ARROW) {
        return s.arrow;
    }
    return nullptr;
}

HWND WINAPI GetDesktopWindow(void) {
    return Ready().desktop;
}

BOOL WINAPI MessageBeep(UINT) {
    CurrentBackend().Beep();
    return TRUE;
}

int WINAPI MessageBoxA(HWND, LPCSTR lpText, LPCSTR lpCaption, UINT) {
    const char *text = lpText ? lpText : "";
    const char *caption = lpCaption ? lpCaption : "Error";
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    CurrentBackend().ShowMessageBox(text, caption);
    return 1; // IDOK
}

} // extern "C"

namespace zplat {
// Used by the other files of the core before they touch the state.
State &ReadyState() {
    return Ready();
}
} // namespace zplat
