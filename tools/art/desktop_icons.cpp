// The program's icon for the desktop's menus and launchers: ICON_1 enlarged
// by nearest-neighbour sampling to the sizes of the hicolor icon theme, as
// paletted PNG files with its transparent pixels see-through.
#include "tools/art/art.h"

#include <png.h>
#include <stdexcept>

namespace art {

const int kDesktopIconSizes[kDesktopIconSizeCount] = {32, 48, 64, 128, 256};

Image Enlarge(const Image &image, int width, int height) {
    Image out(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            out.set(x, y, image.at(x * image.width / width, y * image.height / height));
    return out;
}

namespace {

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto *out = static_cast<std::vector<uint8_t> *>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

} // namespace

std::vector<uint8_t> EncodePng(const Image &image) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    volatile bool ok = false; // set past the setjmp: kept in memory
    if (png && info && setjmp(png_jmpbuf(png)) == 0) {
        png_set_write_fn(png, &out, AppendBytes, NoFlush);
        // Fixed settings, so that the bytes are the same on every run.
        png_set_compression_level(png, 9);
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
        png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8,
                     PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        // The 16 colours, then one for the transparent pixels.
        png_color palette[17] = {};
        png_byte alpha[17];
        for (int i = 0; i < 17; ++i) {
            const uint32_t rgb = i < 16 ? kPalette[i] : 0;
            palette[i] = png_color{png_byte(rgb >> 16), png_byte(rgb >> 8), png_byte(rgb)};
            alpha[i] = i < 16 ? 255 : 0;
        }
        png_set_PLTE(png, info, palette, 17);
        png_set_tRNS(png, info, alpha, 17, nullptr);
        png_write_info(png, info);
        for (int y = 0; y < image.height; ++y)
            png_write_row(png, const_cast<png_bytep>(&image.pixels[size_t(y) * image.width]));
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    if (!ok)
        throw std::runtime_error("cannot encode a PNG image");
    return out;
}

bool ImageFromPng(const std::vector<uint8_t> &bytes, Image *out, std::vector<uint8_t> *alpha) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
        return false;
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> rgba(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr))
        return false;
    *out = Image(int(image.width), int(image.height));
    alpha->assign(size_t(image.width) * image.height, 0);
    for (size_t i = 0; i < alpha->size(); ++i) {
        const uint8_t *p = &rgba[i * 4];
        (*alpha)[i] = p[3];
        const uint32_t rgb = uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
        uint8_t index = kTransparent;
        for (int c = 0; c < 16; ++c)
            if (kPalette[c] == rgb)
                index = uint8_t(c);
        if (p[3] != 0 && index == kTransparent)
            return false; // a colour that is not in the palette
        out->pixels[i] = p[3] == 0 ? kTransparent : index;
    }
    return true;
}

} // namespace art
