#include "fuzz/fuzz_support.h"

#include "platform/headless/headless.h"
#include "platform/window_inspection.h"

#include <cstdio>
#include <cstdlib>

namespace fuzz {

void Require(bool ok, const char *what) {
    if (!ok) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::abort();
    }
}

HINSTANCE ModuleWith(zplat::ResourceType type, const char *name, const uint8_t *data, size_t size) {
    static zplat::Resource table[1];
    static HINSTANCE module = zplat::RegisterModule(table, 1);
    table[0] = zplat::Resource{type, name, data, size};
    return module;
}

HWND FreshWindow(HINSTANCE module, const char *className, const char *menuName, int width,
                 int height, WNDPROC proc) {
    headless::Reset();
    headless::OnFailure([](const std::string &) {});
    WNDCLASSA wc = {};
    wc.lpfnWndProc = proc != nullptr ? proc : DefWindowProcA;
    wc.hInstance = module;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(0 /* WHITE_BRUSH */));
    wc.lpszMenuName = menuName;
    wc.lpszClassName = className;
    if (RegisterClassA(&wc) == 0) {
        return nullptr;
    }
    HWND window = CreateWindowExA(0, className, "fuzz", WS_OVERLAPPED | WS_SYSMENU, 0, 0,
                                  width + 16, height + 64, NULL, NULL, module, NULL);
    if (window != NULL) {
        ShowWindow(window, SW_SHOW);
    }
    return window;
}

std::vector<uint32_t> ClientPixels(HWND window, int *width, int *height) {
    std::vector<uint32_t> pixels;
    *width = *height = 0;
    zplat::CopyClientImage(window, &pixels, width, height);
    return pixels;
}

} // namespace fuzz
