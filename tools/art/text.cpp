// Lines of text in the bitmap fonts of resources/art/fonts: the letters are
// laid out as a mask, the styles (slant, bold, stripes) reshape it, and the
// mask is stamped onto the image plainly, outlined or with a shadow.
#include "tools/art/art.h"

#include <algorithm>
#include <sstream>

namespace art {
namespace {

// A boolean mask with an origin, used to style text.
struct Mask {
    int width = 0, height = 0;
    std::vector<uint8_t> bits;
    Mask(int w, int h) : width(w), height(h), bits(size_t(w) * size_t(h), 0) {}
    bool at(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < height &&
               bits[size_t(y) * size_t(width) + size_t(x)];
    }
    void set(int x, int y, bool v = true) {
        if (x >= 0 && y >= 0 && x < width && y < height) {
            bits[size_t(y) * size_t(width) + size_t(x)] = v;
        }
    }
};

Mask Dilate(const Mask &m, int r) {
    Mask out(m.width, m.height);
    for (int y = 0; y < m.height; ++y) {
        for (int x = 0; x < m.width; ++x) {
            bool any = false;
            for (int dy = -r; dy <= r && !any; ++dy) {
                for (int dx = -r; dx <= r && !any; ++dx) {
                    any = m.at(x + dx, y + dy);
                }
            }
            out.set(x, y, any);
        }
    }
    return out;
}

bool HasStyle(const std::string &style, const std::string &what) {
    std::stringstream ss(style);
    for (std::string part; std::getline(ss, part, '+');) {
        if (part == what) {
            return true;
        }
    }
    return false;
}

// The first part of `style` that is not a style, as a message; empty when
// every part is one.
std::string UnknownStyle(const std::string &style) {
    static const char *known[] = {"plain", "bold",   "outline", "shadow",
                                  "slant", "dotted", "striped", "erase"};
    std::stringstream ss(style);
    for (std::string part; std::getline(ss, part, '+');) {
        if (std::find_if(std::begin(known), std::end(known),
                         [&](const char *k) { return part == k; }) == std::end(known)) {
            return "unknown text style '" + part + "'";
        }
    }
    return "";
}

// How far a slanted line of text leans over its cell height.
int SlantShift(int pixelHeight) {
    return pixelHeight / 4;
}

int StyleExtraWidth(const Font &font, int scale, const std::string &style) {
    int extra = 0;
    if (HasStyle(style, "slant")) {
        extra += SlantShift(font.height * scale);
    }
    if (HasStyle(style, "bold")) {
        extra += scale;
    }
    if (HasStyle(style, "shadow")) {
        extra += scale / 2 + 1;
    }
    return extra;
}

// Whether pixel (sx, sy) of a font pixel drawn `scale` times as large is
// inked: all of it, or in the dotted style (from scale 3) a round dot that
// leaves a gap to the next font pixel.
bool Inked(int sx, int sy, int scale, bool dotted) {
    if (!dotted || scale < 3) {
        return true;
    }
    const int d = scale - 1;
    const int cx2 = 2 * sx - (d - 1), cy2 = 2 * sy - (d - 1);
    return sx < d && sy < d && cx2 * cx2 + cy2 * cy2 <= d * d + 1;
}

// Puts one glyph, scaled, with its cell's top left at (gx, gy).
void PutGlyph(Mask &m, const std::vector<std::string> &glyph, const Font &font, int scale,
              bool dotted, int gx, int gy) {
    for (int r = 0; r < font.height; ++r) {
        for (int c = 0; c < font.width; ++c) {
            if (glyph[size_t(r)][size_t(c)] != '#') {
                continue;
            }
            for (int sy = 0; sy < scale; ++sy) {
                for (int sx = 0; sx < scale; ++sx) {
                    if (Inked(sx, sy, scale, dotted)) {
                        m.set(gx + c * scale + sx, gy + r * scale + sy);
                    }
                }
            }
        }
    }
}

// A line of text as a mask, each letter `step` font pixels after the one
// before, the first cell's top left at (pad, pad).
bool LetterMask(const Font &font, int scale, int step, bool dotted, const std::string &text,
                int pad, Mask *m, std::string *error) {
    for (size_t ci = 0; ci < text.size(); ++ci) {
        auto g = font.glyphs.find(text[ci]);
        if (g == font.glyphs.end()) {
            *error = "font " + font.name + " has no glyph '" + text[ci] + "'";
            return false;
        }
        PutGlyph(*m, g->second, font, scale, dotted, pad + int(ci) * step * scale, pad);
    }
    return true;
}

// The mask leaning right, most at the top, the letters' cell (from row
// `pad`, `pixelH` tall) leaning by SlantShift(pixelH).
Mask Slanted(const Mask &m, int pad, int pixelH) {
    Mask s(m.width, m.height);
    for (int yy = 0; yy < m.height; ++yy) {
        const int row = std::clamp(yy - pad, 0, pixelH - 1);
        const int shift = SlantShift(pixelH) - (row * SlantShift(pixelH)) / std::max(1, pixelH - 1);
        for (int xx = 0; xx < m.width; ++xx) {
            if (m.at(xx, yy)) {
                s.set(xx + shift, yy);
            }
        }
    }
    return s;
}

// The mask thickened by `scale` pixels to the right.
Mask Emboldened(const Mask &m, int scale) {
    Mask b = m;
    for (int yy = 0; yy < m.height; ++yy) {
        for (int xx = 0; xx < m.width; ++xx) {
            if (m.at(xx, yy)) {
                for (int k = 1; k <= scale; ++k) {
                    b.set(xx + k, yy);
                }
            }
        }
    }
    return b;
}

// Clears every other row, counting from row `pad`.
void Stripe(Mask &m, int pad) {
    for (int yy = 0; yy < m.height; ++yy) {
        if ((yy - pad) % 2 != 0) {
            for (int xx = 0; xx < m.width; ++xx) {
                m.set(xx, yy, false);
            }
        }
    }
}

// Where the mask goes on the image, and in which colours.
struct Stamp {
    Image &dst;
    int ox, oy;         // the image position of the mask's (0, 0)
    uint8_t pen, paper; // the letters' colour and the one around them
};

// The letters in paper colour inside a ring of pen colour.
void StampOutlined(const Stamp &at, const Mask &m, int scale) {
    const Mask ring = Dilate(m, std::max(1, scale / 3));
    for (int yy = 0; yy < m.height; ++yy) {
        for (int xx = 0; xx < m.width; ++xx) {
            if (m.at(xx, yy)) {
                at.dst.set(at.ox + xx, at.oy + yy, at.paper);
            } else if (ring.at(xx, yy)) {
                at.dst.set(at.ox + xx, at.oy + yy, at.pen);
            }
        }
    }
}

// A hatched shadow down and to the right, kept apart from the letters by a
// one-pixel gap (the letters themselves are stamped after it).
void StampShadow(const Stamp &at, const Mask &m, int scale) {
    const int off = scale / 2 + 1;
    const Mask gap = Dilate(m, 1);
    for (int yy = 0; yy < m.height; ++yy) {
        for (int xx = 0; xx < m.width; ++xx) {
            const int x = at.ox + xx, y = at.oy + yy;
            if (m.at(xx - off, yy - off) && !gap.at(xx, yy) && ((x + y) % 2 == 0)) {
                at.dst.set(x, y, at.pen);
            } else if (gap.at(xx, yy) && !m.at(xx, yy)) {
                at.dst.set(x, y, at.paper);
            }
        }
    }
}

void StampLetters(const Stamp &at, const Mask &m) {
    for (int yy = 0; yy < m.height; ++yy) {
        for (int xx = 0; xx < m.width; ++xx) {
            if (m.at(xx, yy)) {
                at.dst.set(at.ox + xx, at.oy + yy, at.pen);
            }
        }
    }
}

} // namespace

int TextWidth(const Font &font, int scale, const std::string &style, const std::string &text) {
    if (text.empty()) {
        return 0;
    }
    int step = font.advance + (HasStyle(style, "bold") ? 1 : 0);
    int last = font.width;
    return (int(text.size()) - 1) * step * scale + last * scale +
           StyleExtraWidth(font, scale, style);
}

bool DrawText(Image &dst, const Font &font, int scale, const std::string &style, int x, int y,
              const std::string &text, uint8_t ink, std::string *error) {
    const std::string unknown = UnknownStyle(style);
    if (!unknown.empty()) {
        *error = unknown;
        return false;
    }
    // Room around the letters for what the styles add.
    const int pad = 2 * scale + 2;
    const int pixelH = font.height * scale;
    const int step = font.advance + (HasStyle(style, "bold") ? 1 : 0);
    Mask m(TextWidth(font, scale, style, text) + 2 * pad, pixelH + 2 * pad);
    if (!LetterMask(font, scale, step, HasStyle(style, "dotted"), text, pad, &m, error)) {
        return false;
    }
    if (HasStyle(style, "slant")) {
        m = Slanted(m, pad, pixelH);
    }
    if (HasStyle(style, "bold")) {
        m = Emboldened(m, scale);
    }
    if (HasStyle(style, "striped")) {
        Stripe(m, pad);
    }
    const uint8_t paper = ink ? 0 : 1;
    const Stamp at{dst, x - pad, y - pad, HasStyle(style, "erase") ? paper : ink, paper};
    if (HasStyle(style, "outline")) {
        StampOutlined(at, m, scale);
        return true;
    }
    if (HasStyle(style, "shadow")) {
        StampShadow(at, m, scale);
    }
    StampLetters(at, m);
    return true;
}

} // namespace art
