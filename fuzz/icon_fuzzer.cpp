// Icon files through LoadIconA and DrawIcon: the platform loads exactly what
// the decoder accepts, and drawing shows the decoded image through its mask.
#include "fuzz/fuzz_support.h"
#include "platform/resource_decode.h"

#include <cstring>

namespace {
const int kSide = 256; // the largest icon the decoder accepts
const uint32_t kWhite = 0xFFFFFF;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    HINSTANCE module = fuzz::ModuleWith(zplat::RES_ICON, "IC_FUZZ", data, size);
    HWND window = fuzz::FreshWindow(module, "IconFuzz", nullptr, kSide, kSide);
    fuzz::Require(window != NULL, "a window to draw on");
    zplat::DecodedIcon decoded;
    const bool decodes = zplat::DecodeIcon(data, size, &decoded);
    HICON icon = LoadIconA(module, "IC_FUZZ");
    fuzz::Require((icon != NULL) == decodes, "LoadIconA loads exactly what the decoder accepts");
    if (icon == NULL) {
        return 0;
    }
    HDC dc = GetDC(window);
    SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0); // white
    fuzz::Require(DrawIcon(dc, 0, 0, icon) == TRUE, "DrawIcon draws a loaded icon");
    // Off the client area it draws nothing, and does not fail.
    fuzz::Require(DrawIcon(dc, -70000, 2000000000, icon) == TRUE, "DrawIcon far outside");
    ReleaseDC(window, dc);
    int width = 0, height = 0;
    const std::vector<uint32_t> shown = fuzz::ClientPixels(window, &width, &height);
    for (int y = 0; y < decoded.height && y < height; ++y) {
        for (int x = 0; x < decoded.width && x < width; ++x) {
            const size_t i = size_t(y) * size_t(decoded.width) + size_t(x);
            const uint32_t want = (decoded.transparent[i] ? kWhite : 0) ^ decoded.color[i];
            fuzz::Require(shown[size_t(y) * size_t(width) + size_t(x)] == want,
                          "a drawn pixel is the decoded colour through the mask");
        }
    }
    fuzz::Require(DestroyIcon(icon) == TRUE && DestroyIcon(icon) == FALSE,
                  "an icon is destroyed once");
    return 0;
}
