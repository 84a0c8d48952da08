#include "tests/support/resource_files.h"

#include <list>
#include <png.h>

namespace support {

namespace {

size_t Stride(int width, int bits) {
    return (size_t(width) * bits + 31) / 32 * 4;
}

void PutIndex(Bytes *b, size_t rowStart, int x, int bits, uint32_t index) {
    if (bits == 1)
        (*b)[rowStart + x / 8] |= static_cast<unsigned char>((index & 1) << (7 - x % 8));
    else if (bits == 4)
        (*b)[rowStart + x / 2] |= static_cast<unsigned char>(x % 2 == 0 ? index << 4 : index);
    else
        (*b)[rowStart + x] = static_cast<unsigned char>(index);
}

} // namespace

void PutLe(Bytes *b, size_t at, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        (*b)[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

uint32_t PaletteColor(int bits, uint32_t i) {
    static const uint32_t kVga[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                      0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                      0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    return bits == 4 ? kVga[i & 15] : (i * 0x010305u) & 0xFFFFFFu;
}

Bytes MakeIcon(int size, const PixelFn &index, const std::function<bool(int, int)> &clear,
               int bits) {
    const size_t palette = size_t{1} << bits, colorStride = Stride(size, bits);
    const size_t maskStride = Stride(size, 1);
    const size_t image = 40 + 4 * palette + (colorStride + maskStride) * size;
    Bytes b(22 + image, 0);
    const uint32_t u = uint32_t(size), data = uint32_t((colorStride + maskStride) * size);
    const uint32_t nbits = uint32_t(bits), colors = bits == 4 ? 16 : 0, total = uint32_t(image);
    // Directory (type 1: icon, one image), its entry, then the image header.
    const uint32_t fields[][3] = {{2, 1, 2},      {4, 1, 2},      {6, u, 1},      {7, u, 1},
                                  {8, colors, 1}, {10, 1, 2},     {12, nbits, 2}, {14, total, 4},
                                  {18, 22, 4},    {22, 40, 4},    {26, u, 4},     {30, 2 * u, 4},
                                  {34, 1, 2},     {36, nbits, 2}, {42, data, 4}};
    for (const auto &f : fields)
        PutLe(&b, f[0], f[1], int(f[2]));
    for (size_t i = 0; i < palette; ++i)
        PutLe(&b, 62 + 4 * i, PaletteColor(bits, uint32_t(i)), 3);
    const size_t colorBits = 62 + 4 * palette, maskBits = colorBits + colorStride * size;
    for (int y = 0; y < size; ++y) {
        const size_t row = size_t(size - 1 - y); // bottom-up
        for (int x = 0; x < size; ++x) {
            PutIndex(&b, colorBits + colorStride * row, x, bits, index(x, y));
            PutIndex(&b, maskBits + maskStride * row, x, 1, clear(x, y) ? 1 : 0);
        }
    }
    return b;
}

Bytes SolidIcon(int size, int paletteIndex) {
    return MakeIcon(
        size, [=](int, int) { return uint32_t(paletteIndex); }, [](int, int) { return false; });
}

Bytes MakeBitmap(int width, int height, int bits, const PixelFn &value,
                 std::vector<uint32_t> palette, bool topDown) {
    const uint32_t fill = palette.empty() && bits <= 8 ? 1u << bits : 0;
    for (uint32_t i = 0; i < fill; ++i)
        palette.push_back(bits == 1 ? 0xFFFFFF * i : PaletteColor(bits, i));
    const size_t stride = Stride(width, bits), bitsAt = 54 + 4 * palette.size();
    Bytes b(bitsAt + stride * height, 0);
    const uint32_t size = uint32_t(b.size()), at = uint32_t(bitsAt), w = uint32_t(width);
    const uint32_t h = uint32_t(topDown ? -height : height), nbits = uint32_t(bits);
    const uint32_t image = uint32_t(stride * height), colors = uint32_t(palette.size());
    // "BM", the file size, the bits' offset; the info header.
    const uint32_t fields[][3] = {{0, 0x4D42, 2}, {2, size, 4},   {10, at, 4}, {14, 40, 4},
                                  {18, w, 4},     {22, h, 4},     {26, 1, 2},  {28, nbits, 2},
                                  {34, image, 4}, {46, colors, 4}};
    for (const auto &f : fields)
        PutLe(&b, f[0], f[1], int(f[2]));
    for (size_t i = 0; i < palette.size(); ++i)
        PutLe(&b, 54 + 4 * i, palette[i], 3);
    for (int y = 0; y < height; ++y) {
        const size_t row = bitsAt + stride * size_t(topDown ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            if (bits == 24)
                PutLe(&b, row + 3 * x, value(x, y), 3);
            else
                PutIndex(&b, row, x, bits, value(x, y));
        }
    }
    return b;
}

Bytes MakeMenu(const std::vector<std::pair<uint16_t, std::u16string>> &items, uint16_t lastFlags) {
    Bytes b = {0, 0, 0, 0};
    const auto put16 = [&b](uint32_t v) { b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8)}); };
    for (size_t i = 0; i < items.size(); ++i) {
        put16(i + 1 == items.size() ? lastFlags : 0);
        put16(items[i].first);
        for (char16_t c : items[i].second)
            put16(c);
        put16(0);
    }
    return b;
}

HINSTANCE RegisterTestModule(std::vector<TestResource> resources) {
    // Modules are never unregistered, so their data stays for the process.
    static std::list<std::vector<TestResource>> keep;
    static std::list<std::vector<zplat::Resource>> tables;
    keep.push_back(std::move(resources));
    std::vector<zplat::Resource> table;
    for (const TestResource &r : keep.back())
        table.push_back(zplat::Resource{r.type, r.name.c_str(), r.data.data(), r.data.size()});
    tables.push_back(std::move(table));
    return zplat::RegisterModule(tables.back().data(), tables.back().size());
}

headless::Image LoadPng(const std::string &path) {
    png_image png = {};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str()))
        return {};
    png.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rgb(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, rgb.data(), 0, nullptr))
        return {};
    headless::Image image{int(png.width), int(png.height), {}};
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
        image.pixels.push_back(uint32_t(rgb[i]) << 16 | uint32_t(rgb[i + 1]) << 8 | rgb[i + 2]);
    return image;
}

} // namespace support
