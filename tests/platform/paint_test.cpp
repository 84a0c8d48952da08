// Painting and drawing: erase and validate, the persistent framebuffer,
// icons with their masks, pixels, 1-bit bitmaps through memory DCs, and
// clipping at the client edges.
#include "platform/backend.h"
#include "tests/support/recording_window.h"
#include "tests/support/resource_files.h"

#include <gtest/gtest.h>
#include <tuple>

namespace {

using support::CountColor;

// Icons: solid colours, a ring with a clear middle, a half-clear white one,
// a 64-pixel one; a 1-bit stripe bitmap with a coloured palette.
HINSTANCE Art() {
    static HINSTANCE module = support::RegisterTestModule({
        {zplat::RES_ICON, "IC_RED", support::SolidIcon(32, 9)},
        {zplat::RES_ICON, "IC_BLANC", support::SolidIcon(32, 0)},
        {zplat::RES_ICON, "IC_BIG", support::SolidIcon(64, 12)},
        {zplat::RES_ICON, "IC_RING",
         support::MakeIcon(
             32, [](int x, int y) { return (x < 8 || x >= 24 || y < 8 || y >= 24) ? 10 : 0; },
             [](int x, int y) { return x >= 8 && x < 24 && y >= 8 && y < 24; })},
        {zplat::RES_ICON, "IC_INVERT",
         support::MakeIcon(
             32, [](int, int) { return 15; }, [](int x, int) { return x < 16; })},
        {zplat::RES_BITMAP, "BMP_STRIPES",
         support::MakeBitmap(40, 10, 1, [](int x, int) { return x % 2; }, {0xFF0000, 0x00FF00})},
        {zplat::RES_BITMAP, "BMP_COLOUR",
         support::MakeBitmap(3, 2, 4, [](int, int) { return 9u; })},
    });
    return module;
}

class PaintTest : public ::testing::Test {
protected:
    void SetUp() override {
        support::ResetPlatform();
        support::RegisterTestClass("CL_BLACK", Art());
        support::RegisterTestClass("CL_WHITE", Art(), nullptr, 0); // stock white brush
    }
    void TearDown() override { zplat::ShutdownPlatform(); }
    // A 100 x 100 client area.
    HWND Make(const char *cls = "CL_BLACK") { return support::MakeWindow(cls, Art(), 106, 125); }
};

// Painting erases with the class brush unless the program declines, in
// which case its earlier drawing stays; a painted window is valid until
// something invalidates it again.
TEST_F(PaintTest, BeginPaintErasesUnlessDeclinedAndValidates) {
    HWND erased = Make("CL_WHITE"), kept = Make("CL_WHITE");
    HDC dc = GetDC(kept);
    SetPixel(dc, 3, 3, RGB(9, 9, 9));
    ReleaseDC(kept, dc);
    RECT paintRect{};
    BOOL fErase[2] = {TRUE, FALSE};
    support::hook = [&](HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT *result) {
        *result = 0;
        if (msg == WM_ERASEBKGND) {
            return hwnd == kept; // declined: the old pixels stay
        }
        if (msg != WM_PAINT) {
            return false;
        }
        PAINTSTRUCT ps;
        HDC paintDc = BeginPaint(hwnd, &ps);
        paintRect = ps.rcPaint;
        fErase[hwnd == kept] = ps.fErase;
        EXPECT_EQ(SetMapMode(paintDc, MM_TEXT), MM_TEXT);
        EXPECT_EQ(SetPixel(paintDc, 50, 50, RGB(0x12, 0x34, 0x56)), RGB(0x12, 0x34, 0x56));
        EndPaint(hwnd, &ps);
        EXPECT_EQ(SetPixel(paintDc, 51, 51, 0), CLR_INVALID); // gone after EndPaint
        return true;
    };
    ShowWindow(erased, SW_SHOW);
    ShowWindow(kept, SW_SHOW);
    SetTimer(erased, 1, 50, NULL);
    headless::At(500, [] { PostQuitMessage(0); });
    support::RunLoop(); // ten ticks later, nothing is painted again
    EXPECT_EQ(support::SeenSequence({WM_PAINT, WM_ERASEBKGND}),
              (std::vector<UINT>{WM_PAINT, WM_ERASEBKGND, WM_PAINT, WM_ERASEBKGND}));
    EXPECT_EQ(paintRect.right, 100);
    EXPECT_EQ(paintRect.bottom, 100);
    EXPECT_FALSE(fErase[0]); // the default handling erased
    EXPECT_TRUE(fErase[1]);
    // COLORREF is 0x00BBGGRR; the framebuffer 0x00RRGGBB.
    headless::Image img = headless::ClientImage(erased);
    EXPECT_EQ(img.At(50, 50), 0x123456u);
    EXPECT_EQ(CountColor(img, 0xFFFFFF, 0, 0, 100, 100), 100 * 100 - 1);
    EXPECT_EQ(headless::ClientImage(kept).At(3, 3), 0x090909u);
    // New game's erase: WM_ERASEBKGND sent with a GetDC context fills with
    // the class brush.
    dc = GetDC(erased);
    EXPECT_EQ(SendMessageA(erased, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
    ReleaseDC(erased, dc);
    EXPECT_EQ(CountColor(headless::ClientImage(erased), 0xFFFFFF, 0, 0, 100, 100), 100 * 100);
}

TEST_F(PaintTest, IconsApplyTheirMasksAndAreClippedAtEveryClientEdge) {
    HWND w = Make("CL_WHITE");
    ShowWindow(w, SW_SHOW);
    support::Pump();                          // white background
    HICON ring = LoadIconA(Art(), "ic_ring"); // names ignore case
    HICON invert = LoadIconA(Art(), "IC_INVERT");
    HICON blanc = LoadIconA(Art(), "IC_BLANC");
    HICON red = LoadIconA(Art(), "IC_RED");
    HICON big = LoadIconA(Art(), "IC_BIG");
    for (HICON icon : {ring, invert, blanc, red, big}) {
        ASSERT_NE(icon, nullptr);
    }
    const auto count = [w](uint32_t rgb, int x0, int y0, int x1, int y1) {
        return CountColor(headless::ClientImage(w), rgb, x0, y0, x1, y1);
    };
    HDC dc = GetDC(w);
    EXPECT_TRUE(DrawIcon(dc, 10, 10, ring));
    EXPECT_EQ(count(0x00FF00, 10, 10, 42, 42), 32 * 32 - 16 * 16);
    EXPECT_EQ(count(0xFFFFFF, 18, 18, 34, 34), 16 * 16); // the hole
    EXPECT_EQ(count(0xFFFFFF, 0, 0, 100, 100), 100 * 100 - (32 * 32 - 16 * 16));

    // Clear pixels XOR the image over what is there: white over white
    // turns black; the opaque half is plain white.
    EXPECT_TRUE(DrawIcon(dc, 50, 50, invert));
    EXPECT_EQ(count(0x000000, 50, 50, 66, 82), 16 * 32);
    EXPECT_EQ(count(0xFFFFFF, 66, 50, 82, 82), 16 * 32);

    // An all-black icon covers exactly one 32 x 32 cell.
    EXPECT_TRUE(DrawIcon(dc, 10, 10, blanc));
    EXPECT_EQ(count(0x000000, 0, 0, 100, 100),
              32 * 32 + 16 * 32); // and the inverted half from before
    EXPECT_EQ(count(0x000000, 10, 10, 42, 42), 32 * 32);

    // Clipping at each edge, and nothing from wholly outside.
    EXPECT_TRUE(DrawIcon(dc, -16, -20, red));
    EXPECT_TRUE(DrawIcon(dc, 84, 90, red));
    EXPECT_TRUE(DrawIcon(dc, 1000, -1000, red));
    EXPECT_TRUE(DrawIcon(dc, -2147483647 - 1, 2147483647, red));
    EXPECT_EQ(count(0xFF0000, 0, 0, 100, 100), 16 * 12 + 16 * 10);
    EXPECT_EQ(count(0xFF0000, 0, 0, 16, 12), 16 * 12);
    EXPECT_EQ(count(0xFF0000, 84, 90, 100, 100), 16 * 10);
    EXPECT_TRUE(DrawIcon(dc, 20, 20, big));
    EXPECT_EQ(count(0x0000FF, 0, 0, 100, 100), 64 * 64);
    EXPECT_EQ(count(0x0000FF, 20, 20, 84, 84), 64 * 64);
    for (auto [x, y] : {std::pair{100, 0}, {0, 100}, {-1, 0}, {0, -1}}) {
        EXPECT_EQ(SetPixel(dc, x, y, 0), CLR_INVALID) << x << ", " << y;
    }
    EXPECT_EQ(SetPixel(dc, 99, 99, RGB(1, 2, 3)), RGB(1, 2, 3));
    ReleaseDC(w, dc);
}

TEST_F(PaintTest, OneBitBitmapsCopyAsBlackAndWhiteThroughAMemoryDcWhereTheSourceExists) {
    HWND w = Make();
    HBITMAP bmp = LoadBitmapA(Art(), "BMP_STRIPES");
    ASSERT_NE(bmp, nullptr);
    // Rows of device bitmaps are padded to 16 bits; every bitmap that is not
    // monochrome is loaded as a colour bitmap of the display's depth.
    BITMAP info{}, colour{};
    HBITMAP colourBmp = LoadBitmapA(Art(), "BMP_COLOUR");
    EXPECT_EQ(GetObjectA(colourBmp, sizeof colour, &colour), int(sizeof colour));
    EXPECT_EQ(std::tuple(colour.bmWidthBytes, colour.bmBitsPixel), std::tuple(12, 32));
    DeleteObject(colourBmp);
    EXPECT_EQ(GetObjectA(bmp, sizeof info, &info), int(sizeof info));
    EXPECT_EQ(
        std::tuple(info.bmWidth, info.bmHeight, info.bmWidthBytes, info.bmPlanes, info.bmBitsPixel),
        std::tuple(40, 10, 6, 1, 1));
    // A caller passing only the first 24 bytes gets width and height too.
    BITMAP partial{};
    EXPECT_EQ(GetObjectA(bmp, 24, &partial), 24);
    EXPECT_EQ(std::tuple(partial.bmWidth, partial.bmHeight), std::tuple(40, 10));

    HDC dc = GetDC(w);
    HDC mem = CreateCompatibleDC(dc);
    ASSERT_NE(mem, nullptr);
    HGDIOBJ old = SelectObject(mem, bmp);
    ASSERT_NE(old, nullptr);
    EXPECT_FALSE(DeleteObject(bmp)); // still selected
    HDC other = CreateCompatibleDC(dc);
    EXPECT_EQ(SelectObject(other, bmp), nullptr); // in one DC at a time
    DeleteDC(other);
    // A monochrome bitmap keeps white as white and any other colour as black.
    EXPECT_EQ(SetPixel(mem, 0, 0, RGB(255, 255, 255)), RGB(255, 255, 255));
    EXPECT_EQ(SetPixel(mem, 1, 0, RGB(255, 254, 255)), RGB(0, 0, 0));
    // Every mapping mode is taken (drawing stays in pixels), nothing else.
    EXPECT_EQ(SetMapMode(mem, 8), MM_TEXT);
    EXPECT_EQ(SetMapMode(mem, 9) + SetMapMode(mem, 0), 0);
    EXPECT_EQ(SetMapMode(mem, MM_TEXT), 8);
    // Over the right edge; more than the bitmap holds, from inside and
    // from outside it.
    EXPECT_TRUE(BitBlt(dc, 80, 5, info.bmWidth, info.bmHeight, mem, 0, 0, SRCCOPY));
    EXPECT_TRUE(BitBlt(dc, 0, 20, 100, 100, mem, 30, 5, SRCCOPY));
    EXPECT_TRUE(BitBlt(dc, 0, 50, 100, 100, mem, -5, -5, SRCCOPY));
    EXPECT_FALSE(BitBlt(dc, 0, 0, 10, 10, mem, 0, 0, 0x00EE0086)); // only SRCCOPY
    EXPECT_FALSE(BitBlt(dc, 0, 0, 10, 10, NULL, 0, 0, SRCCOPY));
    EXPECT_TRUE(BitBlt(dc, 0, 0, 0, 10, mem, 0, 0, SRCCOPY)); // nothing to copy is no failure
    EXPECT_EQ(SelectObject(mem, old), bmp);
    EXPECT_TRUE(DeleteDC(mem));
    EXPECT_TRUE(DeleteObject(bmp));
    ReleaseDC(w, dc);

    headless::Image img = headless::ClientImage(w);
    for (int x = 80; x < 100; ++x) {
        EXPECT_EQ(img.At(x, 7), (x - 80) % 2 ? 0xFFFFFFu : 0x000000u) << x;
    }
    // Source columns 30..39, rows 5..9 land at 0..9, 20..24; from (-5, -5)
    // the bitmap lands at (5, 55).  Nothing else is white, nothing coloured.
    EXPECT_EQ(CountColor(img, 0xFFFFFF, 80, 5, 100, 15), 10 * 10);
    EXPECT_EQ(CountColor(img, 0xFFFFFF, 0, 20, 10, 25), 5 * 5);
    EXPECT_EQ(CountColor(img, 0xFFFFFF, 5, 55, 45, 65), 20 * 10);
    EXPECT_EQ(CountColor(img, 0x000000, 0, 0, 100, 100), 100 * 100 - 100 - 25 - 200);
}

TEST_F(PaintTest, MalformedArtGivesNullHandlesAndNullObjectsDrawNothing) {
    const support::Bytes icon = support::SolidIcon(32, 9);
    support::Bytes hugeBmp = support::MakeBitmap(40, 10, 1, [](int, int) { return 1u; });
    hugeBmp[21] = 0x7F; // a width of 0x7F000028
    HINSTANCE bad = support::RegisterTestModule({
        {zplat::RES_ICON, "IC_CUT", support::Bytes(icon.begin(), icon.begin() + 400)},
        {zplat::RES_BITMAP, "BMP_HUGE", hugeBmp},
        {zplat::RES_BITMAP, "IC_AS_BMP", icon},
    });
    for (const char *name : {"IC_CUT", "NO_SUCH", "BMP_HUGE"}) { // a bitmap is not an icon
        EXPECT_EQ(LoadIconA(bad, name), nullptr) << name;
    }
    for (const char *name : {"BMP_HUGE", "IC_AS_BMP", "IC_CUT"}) {
        EXPECT_EQ(LoadBitmapA(bad, name), nullptr) << name;
    }
    EXPECT_EQ(LoadBitmapA(bad, NULL), nullptr);

    HWND w = Make();
    HDC dc = GetDC(w);
    HDC mem = CreateCompatibleDC(dc);
    EXPECT_FALSE(DrawIcon(dc, 0, 0, NULL));
    EXPECT_EQ(SelectObject(mem, NULL), nullptr);
    EXPECT_EQ(GetObjectA(NULL, sizeof(BITMAP), nullptr), 0);
    // An empty memory DC copies its 1 x 1 black default bitmap at most.
    EXPECT_TRUE(BitBlt(dc, 0, 0, 50, 50, mem, 0, 0, SRCCOPY));
    DeleteDC(mem);
    ReleaseDC(w, dc);
    EXPECT_EQ(CountColor(headless::ClientImage(w), 0x000000, 0, 0, 100, 100), 100 * 100);

    // Stock objects are shared and survive DeleteObject.
    HGDIOBJ black = GetStockObject(BLACK_BRUSH);
    ASSERT_NE(black, nullptr);
    EXPECT_TRUE(DeleteObject(black));
    EXPECT_EQ(GetStockObject(BLACK_BRUSH), black);
}

} // namespace
