// What backends and tests may read of the core's windows beyond the Windows
// calls: which top-level windows exist, their state, and copies of their
// images.
#ifndef ZORVAK_PLATFORM_WINDOW_INSPECTION_H
#define ZORVAK_PLATFORM_WINDOW_INSPECTION_H

#include "platform/platform.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zplat {

// Live top-level windows in creation order.
std::vector<HWND> ListWindows();

struct WindowInfo {
    std::string className;
    std::string title;
    bool visible = false;
    bool minimized = false;
    int clientWidth = 0;
    int clientHeight = 0;
    int menuBarHeight = 0;
    bool dropDownOpen = false;
};
bool GetWindowInfo(HWND window, WindowInfo *info);

// The window that has the keyboard within the program (the active one);
// NULL when none has.
HWND KeyboardFocus();

// Live handles of each kind, for leak checks: a long run must hold as many
// at its end as at its start.
struct HandleCounts {
    int windows = 0;
    int dcs = 0; // device contexts of every kind
    int bitmaps = 0;
    int icons = 0;
    int menus = 0;
    int brushes = 0;
    int cursors = 0;
    int total = 0;
};
HandleCounts CountHandles();

// Whether the window has a timer with this identifier.
bool HasTimer(HWND window, UINT_PTR id);

// 0x00RRGGBB copies.  Client: the persistent client framebuffer.  Composed:
// the menu bar (if any) above the client area, with an open drop-down drawn
// over them.
bool CopyClientImage(HWND window, std::vector<uint32_t> *pixels, int *width, int *height);
bool CopyComposedImage(HWND window, std::vector<uint32_t> *pixels, int *width, int *height);

} // namespace zplat

#endif
