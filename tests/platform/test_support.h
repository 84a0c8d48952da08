// Helpers for the platform tests: small icon, bitmap and menu files built in
// memory, test resource modules, and a window procedure that records what it
// receives.
#ifndef ZORVAK_TESTS_PLATFORM_TEST_SUPPORT_H
#define ZORVAK_TESTS_PLATFORM_TEST_SUPPORT_H

#include "platform/headless/headless.h"
#include "platform/module.h"
#include "platform/platform.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace test {

using Bytes = std::vector<unsigned char>;

// The standard 16-colour palette, 0x00RRGGBB.
extern const uint32_t kPalette16[16];

// A 16-colour .ico file of one size x size image.  index(x, y) gives the
// palette index and clear(x, y) whether the AND mask bit is set; y = 0 is the
// top row.
Bytes MakeIcon(int size, const std::function<int(int, int)> &index,
               const std::function<bool(int, int)> &clear);
Bytes SolidIcon(int size, int paletteIndex);

// A 1-bit .bmp file; bit(x, y) gives the pixel index, palette entries are
// 0x00RRGGBB.
Bytes MakeMonoBitmap(int width, int height, const std::function<int(int, int)> &bit,
                     uint32_t color0 = 0x000000, uint32_t color1 = 0xFFFFFF);

// A binary menu-bar template of plain items.
Bytes MakeMenu(const std::vector<std::pair<unsigned, std::string>> &items);

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

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Fresh headless platform, hooks cleared, failures turned into test failures.
void ResetAll();

// Registers a class using RecordingProc (menu: a menu resource name or null).
ATOM RegisterTestClass(const char *name, HINSTANCE instance, const char *menu = nullptr,
                       int stockBrush = BLACK_BRUSH);
// The standard message loop; returns the quit code.
int RunLoop();
// Runs the loop until it would wait: everything queued (and the paints) is
// delivered, the virtual clock does not move.
void Pump();
// Messages of one kind that were seen, in order.
std::vector<Seen> SeenOf(UINT message);
// The message numbers seen, filtered to a set of interest.
std::vector<UINT> SeenSequence(const std::vector<UINT> &interesting);

} // namespace test

#endif
