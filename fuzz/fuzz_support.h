// What the fuzz targets share: a failed check stops the run with a message
// (libFuzzer then keeps the input that did it), a resource module whose one
// entry is the input, and a headless window to draw into.
#ifndef ZORVAK_FUZZ_FUZZ_SUPPORT_H
#define ZORVAK_FUZZ_FUZZ_SUPPORT_H

#include "platform/module.h"
#include "platform/platform.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fuzz {

// Prints "check failed: what" and aborts.
void Require(bool ok, const char *what);

// A module (registered once) holding the input as its one resource.
HINSTANCE ModuleWith(zplat::ResourceType type, const char *name, const uint8_t *data, size_t size);

// A fresh headless platform with a shown window of class className (white
// background, the menu menuName if not null, procedure proc or the default
// one) whose client area is at least width x height.  A null window when it
// cannot be made.
HWND FreshWindow(HINSTANCE module, const char *className, const char *menuName, int width,
                 int height, WNDPROC proc = nullptr);

// The window's client framebuffer, 0x00RRGGBB, and its width.
std::vector<uint32_t> ClientPixels(HWND window, int *width, int *height);

} // namespace fuzz

#endif
