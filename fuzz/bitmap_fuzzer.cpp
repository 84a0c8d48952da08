// Bitmap files through LoadBitmapA, GetObjectA and BitBlt: the platform loads
// exactly what the decoder accepts, a copy onto a window shows the decoded
// pixels, and a copy into a monochrome bitmap keeps white as white and turns
// every other colour black.
#include "fuzz/fuzz_support.h"
#include "platform/resource_decode.h"

#include <algorithm>
#include <cstring>

namespace {

const int kSide = 128;
const uint32_t kWhite = 0xFFFFFF;

// A 1-bit, kSide x kSide bitmap file, all black: the monochrome target.
std::vector<uint8_t> BlackMonochromeFile() {
    const uint32_t rowBytes = kSide / 8, bits = rowBytes * kSide, offset = 14 + 40 + 8;
    std::vector<uint8_t> f(offset + bits, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            f[at + size_t(i)] = uint8_t(v >> (8 * i));
        }
    };
    f[0] = 'B';
    f[1] = 'M';
    put32(2, uint32_t(f.size()));
    put32(10, offset);
    put32(14, 40);
    put32(18, kSide);
    put32(22, kSide);
    f[26] = 1;                 // planes
    f[28] = 1;                 // bits per pixel
    put32(54 + 4, 0x00FFFFFF); // palette: black, white
    return f;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const std::vector<uint8_t> target = BlackMonochromeFile();
    static zplat::Resource table[2];
    static HINSTANCE module = zplat::RegisterModule(table, 2);
    table[0] = zplat::Resource{zplat::RES_BITMAP, "BMP_FUZZ", data, size};
    table[1] = zplat::Resource{zplat::RES_BITMAP, "BMP_MONO", target.data(), target.size()};

    HWND window = fuzz::FreshWindow(module, "BitmapFuzz", nullptr, kSide, kSide);
    fuzz::Require(window != NULL, "a window to copy onto");
    zplat::DecodedBitmap decoded;
    const bool decodes = zplat::DecodeBitmap(data, size, &decoded);
    HBITMAP bitmap = LoadBitmapA(module, "BMP_FUZZ");
    fuzz::Require((bitmap != NULL) == decodes, "LoadBitmapA loads exactly what decodes");
    if (bitmap == NULL) {
        return 0;
    }
    BITMAP info;
    std::memset(&info, 0, sizeof info);
    fuzz::Require(GetObjectA(bitmap, sizeof info, &info) != 0 && info.bmWidth == decoded.width &&
                      info.bmHeight == decoded.height &&
                      (info.bmBitsPixel == 1) == (decoded.bitsPixel == 1),
                  "GetObjectA describes the decoded bitmap");

    HDC dc = GetDC(window);
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, bitmap);
    fuzz::Require(BitBlt(dc, 0, 0, kSide, kSide, source, 0, 0, SRCCOPY) == TRUE, "BitBlt");
    int width = 0, height = 0;
    const std::vector<uint32_t> shown = fuzz::ClientPixels(window, &width, &height);
    // Only the kSide x kSide square was copied; the client may be larger.
    const int w = std::min({decoded.width, width, kSide});
    const int h = std::min({decoded.height, height, kSide});
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            fuzz::Require(shown[size_t(y) * size_t(width) + size_t(x)] ==
                              decoded.pixels[size_t(y) * size_t(decoded.width) + size_t(x)],
                          "the copy shows the decoded pixels");
        }
    }

    // Into a monochrome bitmap, then back onto the window to read it.
    HBITMAP mono = LoadBitmapA(module, "BMP_MONO");
    HDC monoDc = CreateCompatibleDC(dc);
    HGDIOBJ oldMono = SelectObject(monoDc, mono);
    fuzz::Require(BitBlt(monoDc, 0, 0, kSide, kSide, source, 0, 0, SRCCOPY) == TRUE,
                  "BitBlt into a monochrome bitmap");
    SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    BitBlt(dc, 0, 0, kSide, kSide, monoDc, 0, 0, SRCCOPY);
    const std::vector<uint32_t> monoShown = fuzz::ClientPixels(window, &width, &height);
    for (int y = 0; y < kSide && y < height; ++y) {
        for (int x = 0; x < kSide && x < width; ++x) {
            const bool copied = x < decoded.width && y < decoded.height;
            const uint32_t from =
                copied ? decoded.pixels[size_t(y) * size_t(decoded.width) + size_t(x)] : 0;
            const uint32_t want = from == kWhite ? kWhite : 0;
            fuzz::Require(monoShown[size_t(y) * size_t(width) + size_t(x)] == want,
                          "a monochrome copy is white exactly where the decoded pixel is white");
        }
    }
    SelectObject(monoDc, oldMono);
    DeleteDC(monoDc);
    DeleteObject(mono);
    SelectObject(source, old);
    DeleteDC(source);
    ReleaseDC(window, dc);
    fuzz::Require(DeleteObject(bitmap) == TRUE, "the bitmap is deleted");
    return 0;
}
