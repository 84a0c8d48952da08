// Decoding the Windows file forms of icons, bitmaps and menus.
//
// Every decoder checks every size and offset against the bytes it was given:
// truncated, oversized or malformed data makes it return false, never read
// out of bounds.  LoadIconA, LoadBitmapA and the class menu are built on
// these; rcembed checks the game's files with them and the art tools read
// their own output back through them, so there is one reader of each form.
#ifndef ZORVAK_PLATFORM_RESOURCE_DECODE_H
#define ZORVAK_PLATFORM_RESOURCE_DECODE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zplat {

// An icon: the first image of an .ico file, 4 or 8 bits per pixel with its
// AND mask.  color is 0x00RRGGBB; transparent is 1 where the mask bit is set.
struct DecodedIcon {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> color;      // width * height, top row first
    std::vector<uint8_t> transparent; // width * height, 0 or 1
};
bool DecodeIcon(const unsigned char *data, size_t size, DecodedIcon *out);

// A bitmap: a .bmp file (BITMAPFILEHEADER + BITMAPINFOHEADER + palette +
// bits), uncompressed, 1, 4, 8 or 24 bits per pixel, bottom-up or top-down.
// A 1-bit bitmap shows through a device context's default colours, whatever
// its palette says: its pixels are black for index 0 and white for index 1.
struct DecodedBitmap {
    int width = 0;
    int height = 0;
    int bitsPixel = 0;
    std::vector<uint32_t> pixels; // width * height, 0x00RRGGBB, top row first
};
bool DecodeBitmap(const unsigned char *data, size_t size, DecodedBitmap *out);

// A menu bar: the binary MENU template (header, then items; no pop-ups).
struct DecodedMenuItem {
    unsigned id = 0;
    std::string text; // with its '&' mnemonic marks
};
bool DecodeMenu(const unsigned char *data, size_t size, std::vector<DecodedMenuItem> *out);

} // namespace zplat

#endif
