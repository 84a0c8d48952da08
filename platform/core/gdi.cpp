// Device contexts and drawing over the persistent client framebuffers and
// memory bitmaps; icons and bitmaps from resource modules.
//
// Window DCs (GetDC, BeginPaint) draw into the window's client framebuffer,
// clipped to the client area (a paint DC to the area being painted); memory
// DCs draw into the bitmap selected into them.  Monochrome bitmaps hold only
// black and white: black for index 0 and white for index 1, the default DC
// colours, whatever palette the resource carried.
#include "platform/core/journal_hooks.h"
#include "platform/core/state.h"
#include "platform/module.h"
#include "platform/resource_decode.h"

#include <algorithm>
#include <cstring>

namespace zplat {

namespace {

struct Target {
    uint32_t *pixels = nullptr;
    int width = 0, height = 0;
    Box clip;
    bool mono = false;
    HWND window = nullptr;
};

bool TargetOf(HDC hdc, Target *t) {
    Dc *dc = GetDc(hdc);
    if (!dc) {
        return false;
    }
    if (dc->kind == Dc::MemoryDc) {
        Bitmap *bm = GetBitmap(dc->bitmap);
        if (!bm) {
            return false;
        }
        t->pixels = bm->pixels.data();
        t->width = bm->width;
        t->height = bm->height;
        t->clip = Box{0, 0, bm->width, bm->height};
        t->mono = bm->bitsPixel == 1;
        return true;
    }
    Window *w = GetWindow(dc->window);
    if (!w) {
        return false;
    }
    t->pixels = w->Client();
    t->width = w->clientW;
    t->height = w->clientH;
    t->clip = dc->clip.Intersect(Box{0, 0, w->clientW, w->clientH});
    t->window = dc->window;
    return true;
}

// What a monochrome surface keeps of a colour: white stays white (the
// default background colour), everything else is black.
inline uint32_t Store(const Target &t, uint32_t rgb) {
    if (t.mono) {
        return (rgb & 0xFFFFFF) == 0xFFFFFF ? 0xFFFFFF : 0x000000;
    }
    return rgb & 0xFFFFFF;
}

HDC NewDc(Dc::Kind kind, HWND window, const Box &clip) {
    // A tick takes and releases a device context: reuse a released one.
    std::unique_ptr<Object> object = ReuseObject(HType::Dc);
    if (!object) {
        object = std::make_unique<Dc>();
    }
    Dc *dc = static_cast<Dc *>(object.get());
    *dc = Dc{};
    dc->kind = kind;
    dc->window = window;
    dc->clip = clip;
    dc->brush = static_cast<HBRUSH>(GetStockObject(0)); // WHITE_BRUSH
    if (kind == Dc::MemoryDc) {
        dc->bitmap = ReadyState().stockBitmap;
    }
    return static_cast<HDC>(NewHandle(HType::Dc, std::move(object)));
}

} // namespace

void FillWithBrush(HDC hdc, const Box &box, HBRUSH brushHandle) {
    Target t;
    Brush *brush = GetBrush(brushHandle);
    if (!brush || brush->hollow || !TargetOf(hdc, &t)) {
        return;
    }
    Box area = box.Intersect(t.clip);
    uint32_t value = Store(t, brush->rgb);
    for (int y = area.top; y < area.bottom; ++y) {
        std::fill_n(t.pixels + size_t(y) * size_t(t.width) + size_t(area.left),
                    size_t(area.right - area.left), value);
    }
    if (t.window) {
        MarkChanged(t.window, area);
    }
}

void ReleaseWindowDcs(HWND hwnd) {
    for (void *h : HandlesOf(HType::Dc)) {
        Dc *dc = GetDc(static_cast<HDC>(h));
        if (dc && dc->kind != Dc::MemoryDc && dc->window == hwnd) {
            FreeHandle(h, HType::Dc);
        }
    }
}

} // namespace zplat

using namespace zplat;

extern "C" {

HDC WINAPI GetDC(HWND hWnd) {
    NoteDrawing(hWnd);
    Window *w = GetWindow(hWnd);
    if (!w) {
        return nullptr;
    }
    return NewDc(Dc::WindowDc, hWnd, Box{0, 0, w->clientW, w->clientH});
}

int WINAPI ReleaseDC(HWND hWnd, HDC hDC) {
    Dc *dc = GetDc(hDC);
    if (!dc || dc->kind != Dc::WindowDc || dc->window != hWnd) {
        return 0;
    }
    FreeHandle(hDC, HType::Dc);
    return 1;
}

HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
    NoteDrawing(hWnd);
    Window *w = GetWindow(hWnd);
    if (!w || !lpPaint) {
        return nullptr;
    }
    Box area = w->update;
    bool erase = w->erasePending;
    w->update = Box{};
    w->erasePending = false;
    HDC hdc = NewDc(Dc::PaintDc, hWnd, area);
    if (!hdc) {
        return nullptr;
    }
    std::memset(lpPaint, 0, sizeof *lpPaint);
    lpPaint->hdc = hdc;
    lpPaint->rcPaint = RECT{area.left, area.top, area.right, area.bottom};
    if (erase) {
        LRESULT erased = SendMessageA(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
        lpPaint->fErase = erased ? FALSE : TRUE;
    }
    return GetDc(hdc) ? hdc : nullptr;
}

BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT *lpPaint) {
    if (!lpPaint) {
        return TRUE;
    }
    Dc *dc = GetDc(lpPaint->hdc);
    if (dc && dc->kind == Dc::PaintDc && dc->window == hWnd) {
        FreeHandle(lpPaint->hdc, HType::Dc);
    }
    return TRUE;
}

HDC WINAPI CreateCompatibleDC(HDC hdc) {
    if (hdc && !GetDc(hdc)) {
        return nullptr;
    }
    return NewDc(Dc::MemoryDc, nullptr, Box{});
}

BOOL WINAPI DeleteDC(HDC hdc) {
    Dc *dc = GetDc(hdc);
    if (!dc || dc->kind != Dc::MemoryDc) {
        return FALSE;
    }
    if (Bitmap *bm = GetBitmap(dc->bitmap)) {
        if (bm->selectedInto == hdc) {
            bm->selectedInto = nullptr;
        }
    }
    FreeHandle(hdc, HType::Dc);
    return TRUE;
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
    Dc *dc = GetDc(hdc);
    if (!dc) {
        return nullptr;
    }
    switch (TypeOf(h)) {
    case HType::Bitmap: {
        if (dc->kind != Dc::MemoryDc) {
            return nullptr;
        }
        Bitmap *bm = GetBitmap(static_cast<HBITMAP>(h));
        if (!bm->stock && bm->selectedInto && bm->selectedInto != hdc && GetDc(bm->selectedInto)) {
            return nullptr; // a bitmap is in one DC at a time
        }
        HBITMAP previous = dc->bitmap;
        if (Bitmap *old = GetBitmap(previous); old && old->selectedInto == hdc) {
            old->selectedInto = nullptr;
        }
        if (!bm->stock) {
            bm->selectedInto = hdc;
        }
        dc->bitmap = static_cast<HBITMAP>(h);
        return previous;
    }
    case HType::Brush: {
        HBRUSH previous = dc->brush;
        dc->brush = static_cast<HBRUSH>(h);
        return previous;
    }
    default:
        return nullptr;
    }
}

BOOL WINAPI DeleteObject(HGDIOBJ ho) {
    switch (TypeOf(ho)) {
    case HType::Bitmap: {
        Bitmap *bm = GetBitmap(static_cast<HBITMAP>(ho));
        if (bm->stock) {
            return TRUE;
        }
        if (bm->selectedInto && GetDc(bm->selectedInto)) {
            return FALSE; // still selected into a DC
        }
        return FreeHandle(ho, HType::Bitmap) ? TRUE : FALSE;
    }
    case HType::Brush:
        return TRUE; // only stock brushes exist; deleting them does nothing
    default:
        return FALSE;
    }
}

int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv) {
    Bitmap *bm = GetBitmap(static_cast<HBITMAP>(h));
    if (!bm) {
        return 0;
    }
    BITMAP info{};
    info.bmType = 0;
    info.bmWidth = bm->width;
    info.bmHeight = bm->height;
    // Device-dependent rows are padded to whole 16-bit words.
    info.bmWidthBytes = (bm->width * bm->bitsPixel + 15) / 16 * 2;
    info.bmPlanes = 1;
    info.bmBitsPixel = WORD(bm->bitsPixel);
    info.bmBits = nullptr;
    if (!pv) {
        return int(sizeof info);
    }
    if (c <= 0) {
        return 0;
    }
    size_t n = std::min(size_t(c), sizeof info);
    std::memcpy(pv, &info, n);
    return int(n);
}

int WINAPI SetMapMode(HDC hdc, int iMode) {
    Dc *dc = GetDc(hdc);
    if (!dc || iMode < 1 || iMode > 8) {
        return 0;
    }
    int previous = dc->mapMode;
    // Drawing is always in device pixels, y downward: the one mode in use.
    dc->mapMode = iMode;
    return previous;
}

BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
    Target dst, src;
    if (rop != SRCCOPY || !TargetOf(hdc, &dst) || !TargetOf(hdcSrc, &src)) {
        return FALSE;
    }
    if (cx <= 0 || cy <= 0) {
        return TRUE;
    }
    // The destination box, limited to the destination clip and to where the
    // source exists.  Computed in 64 bits: coordinates come from callers.
    int64_t left =
        std::max<int64_t>({int64_t(x), int64_t(dst.clip.left), int64_t(x) - x1 + src.clip.left});
    int64_t top =
        std::max<int64_t>({int64_t(y), int64_t(dst.clip.top), int64_t(y) - y1 + src.clip.top});
    int64_t right = std::min<int64_t>(
        {int64_t(x) + cx, int64_t(dst.clip.right), int64_t(x) - x1 + src.clip.right});
    int64_t bottom = std::min<int64_t>(
        {int64_t(y) + cy, int64_t(dst.clip.bottom), int64_t(y) - y1 + src.clip.bottom});
    if (right <= left || bottom <= top) {
        return TRUE;
    }
    size_t w = size_t(right - left), h = size_t(bottom - top);
    std::vector<uint32_t> copy(w * h);
    for (size_t j = 0; j < h; ++j) {
        size_t sy = size_t(top - y + y1) + j;
        size_t sx = size_t(left - x + x1);
        std::memcpy(&copy[j * w], src.pixels + sy * size_t(src.width) + sx, w * sizeof(uint32_t));
    }
    for (size_t j = 0; j < h; ++j) {
        uint32_t *row = dst.pixels + (size_t(top) + j) * size_t(dst.width) + size_t(left);
        for (size_t i = 0; i < w; ++i) {
            row[i] = Store(dst, copy[j * w + i]);
        }
    }
    if (dst.window) {
        MarkChanged(dst.window, Box{int(left), int(top), int(right), int(bottom)});
    }
    return TRUE;
}

COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color) {
    Target t;
    if (!TargetOf(hdc, &t)) {
        return CLR_INVALID;
    }
    if (x < t.clip.left || x >= t.clip.right || y < t.clip.top || y >= t.clip.bottom) {
        return CLR_INVALID;
    }
    uint32_t value = Store(t, RgbFromColorref(color));
    t.pixels[size_t(y) * size_t(t.width) + size_t(x)] = value;
    if (t.window) {
        MarkChanged(t.window, Box{x, y, x + 1, y + 1});
    }
    return ColorrefFromRgb(value);
}

BOOL WINAPI DrawIcon(HDC hDC, int X, int Y, HICON hIcon) {
    Target t;
    Icon *icon = GetIcon(hIcon);
    if (!icon || !TargetOf(hDC, &t)) {
        return FALSE;
    }
    int64_t left = std::max<int64_t>(X, t.clip.left);
    int64_t top = std::max<int64_t>(Y, t.clip.top);
    int64_t right = std::min<int64_t>(int64_t(X) + icon->width, t.clip.right);
    int64_t bottom = std::min<int64_t>(int64_t(Y) + icon->height, t.clip.bottom);
    if (right <= left || bottom <= top) {
        return TRUE;
    }
    size_t count = size_t(right - left);
    for (int64_t py = top; py < bottom; ++py) {
        size_t iy = size_t(py - Y);
        const uint32_t *color = icon->color.data() + iy * size_t(icon->width) + size_t(left - X);
        const uint8_t *mask = icon->mask.data() + iy * size_t(icon->width) + size_t(left - X);
        uint32_t *dest = t.pixels + size_t(py) * size_t(t.width) + size_t(left);
        if (icon->rowOpaque[iy] && !t.mono) {
            std::memcpy(dest, color, count * sizeof(uint32_t));
            continue;
        }
        // The AND mask keeps or clears the destination, then the image is
        // XORed over it: opaque pixels replace, transparent ones keep.
        for (size_t i = 0; i < count; ++i) {
            dest[i] = Store(t, (mask[i] ? dest[i] : 0) ^ color[i]);
        }
    }
    if (t.window) {
        MarkChanged(t.window, Box{int(left), int(top), int(right), int(bottom)});
    }
    return TRUE;
}

HICON WINAPI LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName) {
    const Resource *res = FindResourceIn(hInstance, RES_ICON, lpIconName);
    if (!res) {
        return nullptr;
    }
    DecodedIcon decoded;
    if (!DecodeIcon(res->data, res->size, &decoded)) {
        return nullptr;
    }
    size_t n = size_t(decoded.width) * size_t(decoded.height);
    if (decoded.width <= 0 || decoded.height <= 0 || decoded.color.size() != n ||
        decoded.transparent.size() != n) {
        return nullptr;
    }
    auto icon = std::make_unique<Icon>();
    icon->width = decoded.width;
    icon->height = decoded.height;
    icon->color = std::move(decoded.color);
    icon->mask = std::move(decoded.transparent);
    for (auto &c : icon->color) {
        c &= 0xFFFFFF;
    }
    icon->rowOpaque.assign(size_t(icon->height), 1);
    for (size_t i = 0; i < n; ++i) {
        if (icon->mask[i]) {
            icon->rowOpaque[i / size_t(icon->width)] = 0;
        }
    }
    return static_cast<HICON>(NewHandle(HType::Icon, std::move(icon)));
}

BOOL WINAPI DestroyIcon(HICON hIcon) {
    return FreeHandle(hIcon, HType::Icon) ? TRUE : FALSE;
}

HBITMAP WINAPI LoadBitmapA(HINSTANCE hInstance, LPCSTR lpBitmapName) {
    NoteBitmapLoaded(lpBitmapName);
    const Resource *res = FindResourceIn(hInstance, RES_BITMAP, lpBitmapName);
    if (!res) {
        return nullptr;
    }
    DecodedBitmap decoded;
    if (!DecodeBitmap(res->data, res->size, &decoded)) {
        return nullptr;
    }
    size_t n = size_t(decoded.width) * size_t(decoded.height);
    if (decoded.width <= 0 || decoded.height <= 0 || decoded.pixels.size() != n) {
        return nullptr;
    }
    auto bm = std::make_unique<Bitmap>();
    bm->width = decoded.width;
    bm->height = decoded.height;
    // A 1-bit bitmap stays monochrome (the decoder gave it black and white);
    // every other depth becomes a colour bitmap.
    bm->bitsPixel = decoded.bitsPixel == 1 ? 1 : 32;
    bm->pixels = std::move(decoded.pixels);
    return static_cast<HBITMAP>(NewHandle(HType::Bitmap, std::move(bm)));
}

} // extern "C"
