// Helpers for the platform tests: icon, bitmap and menu files built in memory,
// test resource modules, and a window procedure that records what it
// receives.
#ifndef ZORVAK_TESTS_PLATFORM_TEST_SUPPORT_H
#define ZORVAK_TESTS_PLATFORM_TEST_SUPPORT_H

#include "platform/headless.h"
#include "platform/module.h"
#include "platform/platform.h"

#include <utility>

namespace test {

using Bytes = std::vector<unsigned char>;
using PixelFn = std::function<uint32_t(int, int)>;

// Little-endian field of `bytes` bytes at `at`.
void Put(Bytes *b, size_t at, uint32_t v, int bytes);
// Palette entry i, 0x00RRGGBB: the standard 16 colours at 4 bits, distinct
// made-up colours at 8.
uint32_t PaletteColor(int bits, uint32_t i);

// A 4- or 8-bit .ico file of one size x size image: index(x, y) is the
// palette index, clear(x, y) the AND mask bit; y = 0 is the top row.
Bytes MakeIcon(int size, const PixelFn &index, const std::function<bool(int, int)> &clear,
               int bits = 4);
Bytes SolidIcon(int size, int paletteIndex);
// A .bmp file whose pixel (x, y), top row first, is value(x, y): a palette
// index, or at 24 bits the colour.  An empty palette means PaletteColor (at
// 1 bit: black, white).
Bytes MakeBitmap(int width, int height, int bits, const PixelFn &value,
                 std::vector<uint32_t> palette = {}, bool topDown = false);
// A binary menu-bar template; the last item carries lastFlags.
Bytes MakeMenu(const std::vector<std::pair<uint16_t, std::u16string>> &items,
               uint16_t lastFlags = 0x80);

struct TestResource {
    zplat::ResourceType type;
    std::string name;
    Bytes data;
};
// Registers a module whose data lives until the process ends.
HINSTANCE RegisterTestModule(std::vector<TestResource> resources);

// What a recording window procedure saw.
struct Seen {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
extern std::vector<Seen> seen;
// Per-test behaviour: return true when the message was handled (result in
// *result); otherwise the message goes to DefWindowProcA.
extern std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT *)> hook;
// A hook handling one message: fn's value is the result.
void Handle(UINT message, std::function<LRESULT(HWND)> fn);

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Fresh headless platform, hooks cleared, failures turned into test failures.
void ResetAll();

constexpr DWORD kMainStyle = WS_DLGFRAME | WS_SYSMENU | WS_MINIMIZEBOX;
// Registers a class using RecordingProc (menu: a menu resource name or null).
ATOM RegisterTestClass(const char *name, HINSTANCE instance, const char *menu = nullptr,
                       int stockBrush = BLACK_BRUSH);
HWND MakeWindow(const char *cls, HINSTANCE instance, int width, int height,
                DWORD style = kMainStyle);
// The standard message loop; returns the quit code.
int RunLoop();
// Runs the loop until it would wait: everything queued (and the paints) is
// delivered, the virtual clock does not move.
void Pump();
// Messages of one kind that were seen, in order, and their wParams.
std::vector<Seen> SeenOf(UINT message);
std::vector<WPARAM> WParamsOf(UINT message);
// The message numbers seen, filtered to a set of interest.
std::vector<UINT> SeenSequence(const std::vector<UINT> &interesting);
// Pixels of colour rgb in [x0, x1) x [y0, y1).
int CountColor(const headless::Image &img, uint32_t rgb, int x0, int y0, int x1, int y1);

} // namespace test

#endif
