// The art pipeline shared by the generator and the contact sheet: reading the
// text sources under resources/art, rendering the pictures, and writing the
// .ico and .bmp forms that the resource script lists (and reading them back
// through the platform's decoders).
#ifndef ZORVAK_TOOLS_ART_ART_H
#define ZORVAK_TOOLS_ART_ART_H

#include "tools/rcscript/rc_script.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace art {

// The standard 16-colour palette, as 0xRRGGBB, in 4-bit index order.
extern const uint32_t kPalette[16];
// The character that stands for each palette index in a sprite grid.
extern const char kPaletteChars[17];
// The grid character of a transparent pixel (carried icons only).
constexpr char kTransparentChar = '-';
// Pixel value of a transparent pixel in an Image.
constexpr uint8_t kTransparent = 16;

// An indexed image: palette indices 0..15, or kTransparent.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels; // top row first

    Image() = default;
    Image(int w, int h, uint8_t fill = 0)
        : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}
    uint8_t at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    void set(int x, int y, uint8_t v) {
        if (x >= 0 && y >= 0 && x < width && y < height)
            pixels[size_t(y) * size_t(width) + size_t(x)] = v;
    }
};

// A bitmap font: fixed-size cells, one grid per character.
struct Font {
    std::string name;
    int width = 0;                                   // cell width in font pixels
    int height = 0;                                  // cell height in font pixels
    int advance = 0;                                 // horizontal step per character
    int lineHeight = 0;                              // vertical step per line
    std::map<char, std::vector<std::string>> glyphs; // rows of '#' and '.'
};

// One drawing command of a picture (see resources/art/pictures/*.txt).
struct PictureCommand {
    std::string op;                 // text, frame, box, hline, sprite, stars
    std::vector<std::string> words; // arguments, quoted strings unquoted
    int line = 0;
};

struct Picture {
    std::string name;
    int width = 0;
    int height = 0;
    std::vector<PictureCommand> commands;
    std::string file; // source file, for messages
};

struct Sprite {
    std::string name;
    Image image;
    bool transparentAllowed = false;
    std::string file;
};

struct ArtSet {
    std::map<std::string, Sprite> sprites;
    std::map<std::string, Font> fonts;
    std::map<std::string, Picture> pictures;
};

// Both readers throw std::runtime_error with "file:line: message" on bad input.
ArtSet LoadArt(const std::string &artDir);
std::vector<rcscript::Entry> ReadScript(const std::string &rcPath);

// Renders a picture to a 1-bit image (0 black, 1 white).
Image RenderPicture(const Picture &picture, const ArtSet &art);
// Draws a line of text in a font at an integer scale with a style
// (plain, bold, outline, shadow, slant, dotted, striped) in colour `ink`.
void DrawText(Image &dst, const Font &font, int scale, const std::string &style, int x, int y,
              const std::string &text, uint8_t ink);
int TextWidth(const Font &font, int scale, const std::string &style, const std::string &text);

// The Windows file forms.
std::vector<uint8_t> EncodeIco(const Image &image);
std::vector<uint8_t> EncodeBmp1(const Image &image);
// The same forms read back by the platform's decoders, as the game will see
// them: an icon's colours as indices into kPalette (kTransparent under its
// mask), a 1-bit bitmap's pixels as 1 for white and 0 for black.  False when
// the platform would not load the file, or an icon colour is not in kPalette.
bool ImageFromIco(const std::vector<uint8_t> &bytes, Image *out);
bool ImageFromBmp1(const std::vector<uint8_t> &bytes, Image *out);

// The program's icon for the desktop (hicolor theme): ICON_1 enlarged to
// each size by nearest-neighbour sampling, as a paletted PNG whose
// transparent pixels are see-through.
constexpr int kDesktopIconSizeCount = 5;
extern const int kDesktopIconSizes[kDesktopIconSizeCount];
Image Enlarge(const Image &image, int width, int height);
std::vector<uint8_t> EncodePng(const Image &image);
// A PNG read back: its colours as indices into kPalette (kTransparent where
// it is see-through) and its alpha; false when it cannot be read or has a
// colour that is not in kPalette.
bool ImageFromPng(const std::vector<uint8_t> &bytes, Image *out, std::vector<uint8_t> *alpha);

std::vector<uint8_t> ReadFile(const std::string &path);
void WriteFile(const std::string &path, const std::vector<uint8_t> &bytes);

} // namespace art

#endif
