// Icon, bitmap and menu files built in memory, test resource modules made of
// them, and PNG files read back.
#ifndef ZORVAK_TESTS_SUPPORT_RESOURCE_FILES_H
#define ZORVAK_TESTS_SUPPORT_RESOURCE_FILES_H

#include "platform/headless/headless.h"
#include "platform/module.h"
#include "platform/platform.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace support {

using Bytes = std::vector<unsigned char>;
using PixelFn = std::function<uint32_t(int, int)>;

// Little-endian field of `bytes` bytes at `at`.
void PutLe(Bytes *b, size_t at, uint32_t v, int bytes);
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

// An RGB PNG file as an image; an empty image when it cannot be read.
headless::Image LoadPng(const std::string &path);
// Writes an image as an RGB PNG file, for people to look at; false when it
// cannot.
bool SavePng(const headless::Image &image, const std::string &path);

} // namespace support

#endif
