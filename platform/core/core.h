// What backends and the headless test API may ask of the platform core
// beyond the Windows calls: the windows that exist, their images, and the
// teardown that ends a run without dispatching anything.
#ifndef ZORVAK_PLATFORM_CORE_CORE_H
#define ZORVAK_PLATFORM_CORE_CORE_H

#include "platform/platform.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zplat {

// Forgets every window, class, timer, queued message and GDI object without
// sending or dispatching a single message (so no WM_DESTROY reaches a
// program whose loop has ended).  The backend's native windows are destroyed.
// Runs by itself when the process ends; a backend may call it earlier.
void ShutdownPlatform();

// True when GetMessageA has something to return without waiting for time
// to pass (posted messages, a quit message or input).
bool QueueHasMessages();

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

// 0x00RRGGBB copies.  Client: the persistent client framebuffer.  Composed:
// the menu bar (if any) above the client area, with an open drop-down drawn
// over them.
bool CopyClientImage(HWND window, std::vector<uint32_t> *pixels, int *width, int *height);
bool CopyComposedImage(HWND window, std::vector<uint32_t> *pixels, int *width, int *height);

} // namespace zplat

#endif
