// Windows whose procedure records what it receives, and the message loop run
// by hand: what the platform tests drive.
#ifndef ZORVAK_TESTS_SUPPORT_RECORDING_WINDOW_H
#define ZORVAK_TESTS_SUPPORT_RECORDING_WINDOW_H

#include "platform/headless/headless.h"
#include "platform/platform.h"

#include <functional>
#include <vector>

namespace support {

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

// Fresh headless platform, nothing seen, no hook, failures of the backend
// turned into test failures.
void ResetPlatform();

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

} // namespace support

#endif
