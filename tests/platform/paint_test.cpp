// Painting and drawing: erase and validate, the persistent framebuffer,
// icons with their masks, pixels, 1-bit bitmaps through memory DCs, and
// clipping at the client edges.
#include "platform/core/core.h"
#include "tests/platform/test_support.h"

#include <gtest/gtest.h>

namespace {

using test::SeenOf;

constexpr DWORD kStyle = WS_DLGFRAME | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int kWhiteBrush = 0; // stock object index

// Icons: solid colours, a ring with a clear middle, a black tile, a 64-pixel
// one; bitmaps: a 1-bit stripe pattern with a coloured palette.
HINSTANCE Art() {
    static HINSTANCE module = test::RegisterTestModule({
        {zplat::RES_ICON, "IC_RED", test::SolidIcon(32, 9)},
        {zplat::RES_ICON, "IC_BLANC", test::SolidIcon(32, 0)},
        {zplat::RES_ICON, "IC_BIG", test::SolidIcon(64, 12)},
        {zplat::RES_ICON, "IC_RING",
         test::MakeIcon(
             32, [](int x, int y) { return (x < 8 || x >= 24 || y < 8 || y >= 24) ? 10 : 0; },
             [](int x, int y) { return x >= 8 && x < 24 && y >= 8 && y < 24; })},
        // Clear pixels with a non-black image invert what is underneath.
        {zplat::RES_ICON, "IC_INVERT",
         test::MakeIcon(
             32, [](int, int) { return 15; }, [](int x, int) { return x < 16; })},
        {zplat::RES_BITMAP, "BMP_STRIPES",
         test::MakeMonoBitmap(
             40, 10, [](int x, int) { return x % 2; }, 0xFF0000, 0x00FF00)},
    });
    return module;
}

class PaintTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ResetAll();
        test::RegisterTestClass("CL_BLACK", Art());
        test::RegisterTestClass("CL_WHITE", Art(), nullptr, kWhiteBrush);
    }
    void TearDown() override { zplat::ShutdownPlatform(); }
    HWND Make(const char *cls = "CL_BLACK", int w = 106, int h = 125) {
        // 100 x 100 client area.
        return CreateWindowExA(0, cls, "", kStyle, 0, 0, w, h, NULL, NULL, Art(), NULL);
    }
};

int CountColor(const headless::Image &img, uint32_t rgb, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            n += img.At(x, y) == rgb;
    return n;
}

TEST_F(PaintTest, BeginPaintErasesWithTheClassBrushAndValidates) {
    HWND w = Make("CL_WHITE");
    RECT paintRect{};
    BOOL fErase = TRUE;
    test::hook = [&](HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT *result) {
        if (msg != WM_PAINT)
            return false;
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        EXPECT_NE(dc, nullptr);
        paintRect = ps.rcPaint;
        fErase = ps.fErase;
        SetPixel(dc, 50, 50, RGB(0, 0, 255));
        EndPaint(hwnd, &ps);
        EXPECT_EQ(SetPixel(dc, 51, 51, 0), CLR_INVALID); // gone after EndPaint
        *result = 0;
        return true;
    };
    ShowWindow(w, SW_SHOW);
    test::Pump();
    EXPECT_EQ(SeenOf(WM_PAINT).size(), 1u); // validated: painted once
    EXPECT_EQ(test::SeenSequence({WM_PAINT, WM_ERASEBKGND}),
              (std::vector<UINT>{WM_PAINT, WM_ERASEBKGND}));
    EXPECT_EQ(paintRect.right, 100);
    EXPECT_EQ(paintRect.bottom, 100);
    EXPECT_FALSE(fErase); // the default handling erased
    headless::Image img = headless::ClientImage(w);
    EXPECT_EQ(img.At(50, 50), 0x0000FFu);
    EXPECT_EQ(CountColor(img, 0xFFFFFF, 0, 0, 100, 100), 100 * 100 - 1);
}

TEST_F(PaintTest, AnEraseHandlerThatDeclinesLeavesTheOldPixelsAndSaysSo) {
    HWND w = Make("CL_WHITE");
    HDC dc = GetDC(w);
    SetPixel(dc, 3, 3, RGB(9, 9, 9));
    ReleaseDC(w, dc);
    BOOL fErase = FALSE;
    test::hook = [&](HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT *result) {
        if (msg == WM_ERASEBKGND) {
            *result = 0;
            return true;
        }
        if (msg != WM_PAINT)
            return false;
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        fErase = ps.fErase;
        EndPaint(hwnd, &ps);
        *result = 0;
        return true;
    };
    ShowWindow(w, SW_SHOW);
    test::Pump();
    EXPECT_TRUE(fErase);
    EXPECT_EQ(headless::ClientImage(w).At(3, 3), 0x090909u);
}

TEST_F(PaintTest, DrawingPersistsUntilDrawnOverAndEraseFillsTheWholeClient) {
    HWND w = Make("CL_WHITE");
    ShowWindow(w, SW_SHOW);
    test::Pump();
    HDC dc = GetDC(w);
    EXPECT_EQ(SetMapMode(dc, MM_TEXT), MM_TEXT);
    EXPECT_EQ(SetPixel(dc, 10, 20, RGB(0x12, 0x34, 0x56)), RGB(0x12, 0x34, 0x56));
    ReleaseDC(w, dc);
    SetTimer(w, 1, 50, NULL);
    int ticks = 0;
    test::hook = [&](HWND, UINT msg, WPARAM, LPARAM, LRESULT *result) {
        if (msg != WM_TIMER)
            return false;
        if (++ticks == 10)
            PostQuitMessage(0);
        *result = 0;
        return true;
    };
    test::RunLoop();
    // COLORREF is 0x00BBGGRR; the framebuffer 0x00RRGGBB.
    EXPECT_EQ(headless::ClientImage(w).At(10, 20), 0x123456u);

    // The New-game path: WM_ERASEBKGND sent with a GetDC context.
    dc = GetDC(w);
    EXPECT_EQ(SendMessageA(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
    ReleaseDC(w, dc);
    EXPECT_EQ(CountColor(headless::ClientImage(w), 0xFFFFFF, 0, 0, 100, 100), 100 * 100);
}

TEST_F(PaintTest, IconsReplaceOpaquePixelsAndKeepClearOnes) {
    HWND w = Make("CL_WHITE");
    ShowWindow(w, SW_SHOW);
    test::Pump();                             // white background
    HICON ring = LoadIconA(Art(), "ic_ring"); // names ignore case
    HICON invert = LoadIconA(Art(), "IC_INVERT");
    HICON blanc = LoadIconA(Art(), "IC_BLANC");
    ASSERT_TRUE(ring && invert && blanc);
    HDC dc = GetDC(w);
    EXPECT_TRUE(DrawIcon(dc, 10, 10, ring));
    headless::Image img = headless::ClientImage(w);
    EXPECT_EQ(CountColor(img, 0x00FF00, 10, 10, 42, 42), 32 * 32 - 16 * 16);
    EXPECT_EQ(CountColor(img, 0xFFFFFF, 18, 18, 34, 34), 16 * 16); // the hole
    EXPECT_EQ(img.At(9, 10), 0xFFFFFFu);
    EXPECT_EQ(img.At(42, 41), 0xFFFFFFu);

    // Clear pixels XOR the image over what is there: white over white
    // turns black; the opaque half is plain white.
    EXPECT_TRUE(DrawIcon(dc, 50, 50, invert));
    img = headless::ClientImage(w);
    EXPECT_EQ(CountColor(img, 0x000000, 50, 50, 66, 82), 16 * 32);
    EXPECT_EQ(CountColor(img, 0xFFFFFF, 66, 50, 82, 82), 16 * 32);

    // An all-black icon erases exactly one 32 x 32 cell.
    EXPECT_TRUE(DrawIcon(dc, 10, 10, blanc));
    img = headless::ClientImage(w);
    EXPECT_EQ(CountColor(img, 0x000000, 10, 10, 42, 42), 32 * 32);
    EXPECT_EQ(CountColor(img, 0x000000, 0, 0, 100, 10), 0);
    EXPECT_EQ(CountColor(img, 0x000000, 0, 10, 10, 42), 0);
    EXPECT_EQ(CountColor(img, 0x000000, 42, 10, 50, 42), 0);
    ReleaseDC(w, dc);
    DestroyIcon(ring);
    DestroyIcon(invert);
    DestroyIcon(blanc);
}

TEST_F(PaintTest, IconsAreClippedAtEveryClientEdgeAndBigOnesCover64) {
    HWND w = Make();
    HICON red = LoadIconA(Art(), "IC_RED");
    HICON big = LoadIconA(Art(), "IC_BIG");
    ASSERT_TRUE(red && big);
    HDC dc = GetDC(w);
    EXPECT_TRUE(DrawIcon(dc, -16, -20, red));
    EXPECT_TRUE(DrawIcon(dc, 84, 90, red));
    EXPECT_TRUE(DrawIcon(dc, 1000, -1000, red)); // wholly outside: nothing
    EXPECT_TRUE(DrawIcon(dc, -2147483647 - 1, 2147483647, red));
    headless::Image img = headless::ClientImage(w);
    EXPECT_EQ(CountColor(img, 0xFF0000, 0, 0, 100, 100), 16 * 12 + 16 * 10);
    EXPECT_EQ(CountColor(img, 0xFF0000, 0, 0, 16, 12), 16 * 12);
    EXPECT_EQ(CountColor(img, 0xFF0000, 84, 90, 100, 100), 16 * 10);

    EXPECT_TRUE(DrawIcon(dc, 20, 20, big));
    img = headless::ClientImage(w);
    EXPECT_EQ(CountColor(img, 0x0000FF, 0, 0, 100, 100), 64 * 64);
    EXPECT_EQ(CountColor(img, 0x0000FF, 20, 20, 84, 84), 64 * 64);
    EXPECT_EQ(SetPixel(dc, 100, 0, 0), CLR_INVALID);
    EXPECT_EQ(SetPixel(dc, 0, -1, 0), CLR_INVALID);
    ReleaseDC(w, dc);
    DestroyIcon(red);
    DestroyIcon(big);
}

TEST_F(PaintTest, OneBitBitmapsCopyAsBlackAndWhiteThroughAMemoryDc) {
    HWND w = Make();
    HBITMAP bmp = LoadBitmapA(Art(), "BMP_STRIPES");
    ASSERT_NE(bmp, nullptr);
    BITMAP info{};
    EXPECT_EQ(GetObjectA(bmp, sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmWidth, 40);
    EXPECT_EQ(info.bmHeight, 10);
    EXPECT_EQ(info.bmPlanes, 1);
    EXPECT_EQ(info.bmBitsPixel, 1);
    // A caller passing only the first 24 bytes gets width and height too.
    BITMAP partial{};
    EXPECT_EQ(GetObjectA(bmp, 24, &partial), 24);
    EXPECT_EQ(partial.bmWidth, 40);
    EXPECT_EQ(partial.bmHeight, 10);

    HDC dc = GetDC(w);
    HDC mem = CreateCompatibleDC(dc);
    ASSERT_NE(mem, nullptr);
    HGDIOBJ old = SelectObject(mem, bmp);
    ASSERT_NE(old, nullptr);
    EXPECT_FALSE(DeleteObject(bmp)); // still selected
    // Placed so that it runs over the right edge of the client area.
    EXPECT_TRUE(BitBlt(dc, 80, 5, info.bmWidth, info.bmHeight, mem, 0, 0, SRCCOPY));
    EXPECT_EQ(SelectObject(mem, old), bmp);
    EXPECT_TRUE(DeleteDC(mem));
    EXPECT_TRUE(DeleteObject(bmp));
    ReleaseDC(w, dc);

    headless::Image img = headless::ClientImage(w);
    for (int x = 80; x < 100; ++x)
        EXPECT_EQ(img.At(x, 7), (x - 80) % 2 ? 0xFFFFFFu : 0x000000u) << x;
    EXPECT_EQ(CountColor(img, 0xFFFFFF, 0, 0, 100, 100), 10 * 10);
    EXPECT_EQ(CountColor(img, 0xFFFFFF, 0, 0, 100, 5), 0);
    EXPECT_EQ(CountColor(img, 0xFFFFFF, 0, 15, 100, 100), 0);
    EXPECT_EQ(CountColor(img, 0xFF0000, 0, 0, 100, 100), 0);
    EXPECT_EQ(CountColor(img, 0x00FF00, 0, 0, 100, 100), 0);
}

TEST_F(PaintTest, BlitsReadOnlyWhereTheSourceExists) {
    HWND w = Make();
    HBITMAP bmp = LoadBitmapA(Art(), "BMP_STRIPES");
    HDC dc = GetDC(w);
    HDC mem = CreateCompatibleDC(dc);
    SelectObject(mem, bmp);
    // Asking for more than the bitmap holds, from inside and outside it.
    EXPECT_TRUE(BitBlt(dc, 0, 0, 100, 100, mem, 30, 5, SRCCOPY));
    EXPECT_TRUE(BitBlt(dc, 0, 50, 100, 100, mem, -5, -5, SRCCOPY));
    EXPECT_FALSE(BitBlt(dc, 0, 0, 10, 10, mem, 0, 0, 0x00EE0086)); // only SRCCOPY
    EXPECT_FALSE(BitBlt(dc, 0, 0, 10, 10, NULL, 0, 0, SRCCOPY));
    headless::Image img = headless::ClientImage(w);
    // Source columns 30..39, rows 5..9 land at 0..9, 0..4.
    EXPECT_EQ(CountColor(img, 0xFFFFFF, 0, 0, 100, 50), 5 * 5);
    EXPECT_EQ(CountColor(img, 0xFFFFFF, 10, 0, 100, 50), 0);
    // Source from (-5, -5): the bitmap lands at (5, 55).
    EXPECT_EQ(CountColor(img, 0xFFFFFF, 0, 50, 100, 100), 20 * 10);
    EXPECT_EQ(CountColor(img, 0xFFFFFF, 0, 50, 5, 100), 0);
    EXPECT_EQ(CountColor(img, 0xFFFFFF, 0, 50, 100, 55), 0);
    DeleteDC(mem);
    DeleteObject(bmp);
    ReleaseDC(w, dc);
}

TEST_F(PaintTest, MalformedArtGivesNullHandlesAndDrawingThemDoesNothing) {
    test::Bytes icon = test::SolidIcon(32, 9);
    test::Bytes truncatedIcon(icon.begin(), icon.begin() + long(icon.size() / 2));
    test::Bytes bmp = test::MakeMonoBitmap(40, 10, [](int, int) { return 1; });
    test::Bytes truncatedBmp(bmp.begin(), bmp.end() - 1);
    test::Bytes hugeBmp = bmp;
    hugeBmp[18] = 0xFF; // a width of 0x7F0000FF
    hugeBmp[21] = 0x7F;
    HINSTANCE bad = test::RegisterTestModule({
        {zplat::RES_ICON, "IC_CUT", truncatedIcon},
        {zplat::RES_ICON, "IC_EMPTY", {}},
        {zplat::RES_BITMAP, "BMP_CUT", truncatedBmp},
        {zplat::RES_BITMAP, "BMP_HUGE", hugeBmp},
        {zplat::RES_BITMAP, "IC_AS_BMP", icon},
    });
    EXPECT_EQ(LoadIconA(bad, "IC_CUT"), nullptr);
    EXPECT_EQ(LoadIconA(bad, "IC_EMPTY"), nullptr);
    EXPECT_EQ(LoadIconA(bad, "NO_SUCH"), nullptr);
    EXPECT_EQ(LoadIconA(bad, "BMP_CUT"), nullptr); // a bitmap is not an icon
    EXPECT_EQ(LoadBitmapA(bad, "BMP_CUT"), nullptr);
    EXPECT_EQ(LoadBitmapA(bad, "BMP_HUGE"), nullptr);
    EXPECT_EQ(LoadBitmapA(bad, "IC_AS_BMP"), nullptr);
    EXPECT_EQ(LoadBitmapA(bad, NULL), nullptr);

    HWND w = Make();
    HDC dc = GetDC(w);
    EXPECT_FALSE(DrawIcon(dc, 0, 0, NULL));
    HDC mem = CreateCompatibleDC(dc);
    EXPECT_EQ(SelectObject(mem, NULL), nullptr);
    EXPECT_EQ(GetObjectA(NULL, sizeof(BITMAP), nullptr), 0);
    // An empty memory DC copies its 1 x 1 black default bitmap at most.
    EXPECT_TRUE(BitBlt(dc, 0, 0, 50, 50, mem, 0, 0, SRCCOPY));
    DeleteDC(mem);
    ReleaseDC(w, dc);
    EXPECT_EQ(CountColor(headless::ClientImage(w), 0x000000, 0, 0, 100, 100), 100 * 100);
}

TEST_F(PaintTest, StockObjectsAndCursor) {
    HGDIOBJ black = GetStockObject(BLACK_BRUSH);
    EXPECT_NE(black, nullptr);
    EXPECT_EQ(GetStockObject(BLACK_BRUSH), black);
    EXPECT_TRUE(DeleteObject(black)); // deleting a stock object does nothing
    EXPECT_EQ(GetStockObject(BLACK_BRUSH), black);
    EXPECT_EQ(GetStockObject(-1), nullptr);
    EXPECT_NE(LoadCursorA(NULL, IDC_ARROW), nullptr);
    EXPECT_EQ(LoadCursorA(NULL, MAKEINTRESOURCEA(32513)), nullptr);
}

} // namespace
