#include "tools/art/art.h"

#include "platform/resource_decode.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <system_error>

namespace art {

const uint32_t kPalette[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};
const char kPaletteChars[17] = ".rgybmcwkRGYBMCW";

namespace {

// Puts "file:line: message" into `error`; returns false for the caller to
// pass on.
bool Fail(std::string *error, const std::string &file, int line, const std::string &message) {
    *error = file + ":" + std::to_string(line) + ": " + message;
    return false;
}

// Splits a line into words; "quoted strings" are one word, with \" and \\.
bool Words(const std::string &line, const std::string &file, int lineNo,
           std::vector<std::string> *words, std::string *error) {
    words->clear();
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
            ++i;
            continue;
        }
        std::string word;
        if (line[i] == '"') {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                char c = line[i++];
                if (c == '\\' && i < line.size()) {
                    word += line[i++];
                } else if (c == '"') {
                    closed = true;
                    break;
                } else {
                    word += c;
                }
            }
            if (!closed) {
                return Fail(error, file, lineNo, "unterminated string");
            }
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
                word += line[i++];
            }
        }
        words->push_back(word);
    }
    return true;
}

// A whole word as an int: decimal, 0x hexadecimal or 0 octal.
bool ToInt(const std::string &word, int *value) {
    errno = 0;
    char *end = nullptr;
    const long v = std::strtol(word.c_str(), &end, 0);
    if (word.empty() || errno != 0 || end != word.c_str() + word.size() || v < INT_MIN ||
        v > INT_MAX) {
        return false;
    }
    *value = int(v);
    return true;
}

// Reads words[first], words[first + 1], ... as numbers into `values`.
bool Numbers(const std::vector<std::string> &words, size_t first,
             std::initializer_list<int *> values, const std::string &file, int line,
             std::string *error) {
    for (int *value : values) {
        const std::string &word = words[first++];
        if (!ToInt(word, value)) {
            return Fail(error, file, line, "expected a number, found '" + word + "'");
        }
    }
    return true;
}

int PaletteIndex(char c) {
    for (int i = 0; i < 16; ++i) {
        if (kPaletteChars[i] == c) {
            return i;
        }
    }
    if (c == kTransparentChar) {
        return kTransparent;
    }
    return -1;
}

std::string StripRight(std::string s) {
    while (!s.empty() && (s.back() == '\r' || s.back() == ' ' || s.back() == '\t')) {
        s.pop_back();
    }
    return s;
}

bool LoadArtFile(const std::string &path, ArtSet &set, std::string *error) {
    std::ifstream in(path);
    if (!in) {
        return Fail(error, path, 0, "cannot open");
    }
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) {
        lines.push_back(StripRight(l));
    }

    size_t i = 0;
    auto lineNo = [&](size_t idx) { return int(idx + 1); };
    // Reads `rows` grid lines of `cols` characters from line `start` on.
    auto readRows = [&](int rows, int cols, size_t start, std::vector<std::string> *grid) {
        grid->clear();
        for (int r = 0; r < rows; ++r) {
            size_t idx = start + size_t(r);
            if (idx >= lines.size()) {
                return Fail(error, path, lineNo(idx), "grid ends early");
            }
            if (int(lines[idx].size()) != cols) {
                return Fail(error, path, lineNo(idx),
                            "grid row has " + std::to_string(lines[idx].size()) +
                                " columns, expected " + std::to_string(cols));
            }
            grid->push_back(lines[idx]);
        }
        return true;
    };

    std::vector<std::string> w;
    std::vector<std::string> grid;
    while (i < lines.size()) {
        const std::string &line = lines[i];
        if (line.empty() || line[0] == '#') {
            ++i;
            continue;
        }
        if (!Words(line, path, lineNo(i), &w, error)) {
            return false;
        }
        if (w[0] == "sprite") {
            // sprite NAME WIDTH HEIGHT [transparent]
            if (w.size() < 4 || w.size() > 5 || (w.size() == 5 && w[4] != "transparent")) {
                return Fail(error, path, lineNo(i),
                            "expected: sprite NAME WIDTH HEIGHT [transparent]");
            }
            Sprite s;
            s.name = w[1];
            s.file = path;
            s.transparentAllowed = w.size() == 5;
            int width = 0;
            int height = 0;
            if (!Numbers(w, 2, {&width, &height}, path, lineNo(i), error)) {
                return false;
            }
            if (width <= 0 || height <= 0 || width > 256 || height > 256) {
                return Fail(error, path, lineNo(i), "bad sprite size");
            }
            if (!readRows(height, width, i + 1, &grid)) {
                return false;
            }
            s.image = Image(width, height);
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    int v = PaletteIndex(grid[size_t(y)][size_t(x)]);
                    if (v < 0 || (v == kTransparent && !s.transparentAllowed)) {
                        return Fail(error, path, lineNo(i + 1 + size_t(y)),
                                    std::string("bad pixel '") + grid[size_t(y)][size_t(x)] + "'");
                    }
                    s.image.set(x, y, uint8_t(v));
                }
            }
            if (set.sprites.count(s.name)) {
                return Fail(error, path, lineNo(i), "sprite " + s.name + " defined twice");
            }
            set.sprites[s.name] = s;
            i += size_t(height) + 1;
        } else if (w[0] == "font") {
            // font NAME WIDTH HEIGHT ADVANCE LINEHEIGHT, then glyphs
            if (w.size() != 6) {
                return Fail(error, path, lineNo(i),
                            "expected: font NAME WIDTH HEIGHT ADVANCE LINEHEIGHT");
            }
            Font f;
            f.name = w[1];
            if (!Numbers(w, 2, {&f.width, &f.height, &f.advance, &f.lineHeight}, path, lineNo(i),
                         error)) {
                return false;
            }
            ++i;
            while (i < lines.size()) {
                if (lines[i].empty() || lines[i][0] == '#') {
                    ++i;
                    continue;
                }
                if (lines[i].rfind("glyph ", 0) != 0) {
                    break;
                }
                std::string key = lines[i].substr(6);
                char c = key.size() == 1 ? key[0] : key == "space" ? ' ' : 0;
                if (c == 0) {
                    return Fail(error, path, lineNo(i),
                                "glyph name must be one character or 'space'");
                }
                if (f.glyphs.count(c)) {
                    return Fail(error, path, lineNo(i), "glyph '" + key + "' defined twice");
                }
                if (!readRows(f.height, f.width, i + 1, &grid)) {
                    return false;
                }
                for (size_t r = 0; r < grid.size(); ++r) {
                    for (char p : grid[r]) {
                        if (p != '#' && p != '.') {
                            return Fail(error, path, lineNo(i + 1 + r),
                                        "glyph pixels are '#' or '.'");
                        }
                    }
                }
                f.glyphs[c] = grid;
                i += size_t(f.height) + 1;
            }
            set.fonts[f.name] = f;
        } else if (w[0] == "picture") {
            if (w.size() != 4) {
                return Fail(error, path, lineNo(i), "expected: picture NAME WIDTH HEIGHT");
            }
            Picture p;
            p.name = w[1];
            p.file = path;
            if (!Numbers(w, 2, {&p.width, &p.height}, path, lineNo(i), error)) {
                return false;
            }
            ++i;
            bool ended = false;
            while (i < lines.size()) {
                if (lines[i].empty() || lines[i][0] == '#') {
                    ++i;
                    continue;
                }
                std::vector<std::string> cw;
                if (!Words(lines[i], path, lineNo(i), &cw, error)) {
                    return false;
                }
                if (cw[0] == "end") {
                    ended = true;
                    ++i;
                    break;
                }
                PictureCommand c;
                c.op = cw[0];
                c.words.assign(cw.begin() + 1, cw.end());
                c.line = lineNo(i);
                p.commands.push_back(c);
                ++i;
            }
            if (!ended) {
                return Fail(error, path, lineNo(i), "picture " + p.name + " has no 'end'");
            }
            set.pictures[p.name] = p;
        } else {
            return Fail(error, path, lineNo(i), "unknown statement '" + w[0] + "'");
        }
    }
    return true;
}

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
    static const char *known[] = {"plain", "bold",   "outline", "shadow",
                                  "slant", "dotted", "striped", "erase"};
    {
        std::stringstream ss(style);
        for (std::string part; std::getline(ss, part, '+');) {
            if (std::find_if(std::begin(known), std::end(known),
                             [&](const char *k) { return part == k; }) == std::end(known)) {
                *error = "unknown text style '" + part + "'";
                return false;
            }
        }
    }
    const int pad = 2 * scale + 2;
    const int pixelH = font.height * scale;
    const int w = TextWidth(font, scale, style, text) + 2 * pad;
    const int h = pixelH + 2 * pad;
    const int step = font.advance + (HasStyle(style, "bold") ? 1 : 0);
    const bool dotted = HasStyle(style, "dotted");
    const bool slant = HasStyle(style, "slant");

    Mask m(w, h);
    for (size_t ci = 0; ci < text.size(); ++ci) {
        auto g = font.glyphs.find(text[ci]);
        if (g == font.glyphs.end()) {
            *error = "font " + font.name + " has no glyph '" + text[ci] + "'";
            return false;
        }
        const int gx = pad + int(ci) * step * scale;
        for (int r = 0; r < font.height; ++r) {
            for (int c = 0; c < font.width; ++c) {
                if (g->second[size_t(r)][size_t(c)] != '#') {
                    continue;
                }
                for (int sy = 0; sy < scale; ++sy) {
                    for (int sx = 0; sx < scale; ++sx) {
                        if (dotted && scale >= 3) {
                            // A round dot that leaves a gap to the next pixel.
                            int d = scale - 1;
                            int cx2 = 2 * sx - (d - 1), cy2 = 2 * sy - (d - 1);
                            if (sx >= d || sy >= d || cx2 * cx2 + cy2 * cy2 > d * d + 1) {
                                continue;
                            }
                        }
                        m.set(gx + c * scale + sx, pad + r * scale + sy);
                    }
                }
            }
        }
    }
    if (slant) {
        Mask s(w, h);
        for (int yy = 0; yy < h; ++yy) {
            int row = std::clamp(yy - pad, 0, pixelH - 1);
            int shift = SlantShift(pixelH) - (row * SlantShift(pixelH)) / std::max(1, pixelH - 1);
            for (int xx = 0; xx < w; ++xx) {
                if (m.at(xx, yy)) {
                    s.set(xx + shift, yy);
                }
            }
        }
        m = s;
    }
    if (HasStyle(style, "bold")) {
        Mask b = m;
        for (int yy = 0; yy < h; ++yy) {
            for (int xx = 0; xx < w; ++xx) {
                if (m.at(xx, yy)) {
                    for (int k = 1; k <= scale; ++k) {
                        b.set(xx + k, yy);
                    }
                }
            }
        }
        m = b;
    }
    if (HasStyle(style, "striped")) {
        for (int yy = 0; yy < h; ++yy) {
            if ((yy - pad) % 2 != 0) {
                for (int xx = 0; xx < w; ++xx) {
                    m.set(xx, yy, false);
                }
            }
        }
    }
    const uint8_t paper = ink ? 0 : 1;
    const uint8_t pen = HasStyle(style, "erase") ? paper : ink;
    const int ox = x - pad, oy = y - pad;
    if (HasStyle(style, "outline")) {
        int r = std::max(1, scale / 3);
        Mask ring = Dilate(m, r);
        for (int yy = 0; yy < h; ++yy) {
            for (int xx = 0; xx < w; ++xx) {
                if (m.at(xx, yy)) {
                    dst.set(ox + xx, oy + yy, paper);
                } else if (ring.at(xx, yy)) {
                    dst.set(ox + xx, oy + yy, pen);
                }
            }
        }
        return true;
    }
    if (HasStyle(style, "shadow")) {
        // A hatched shadow down and to the right, kept apart from the letters
        // by a one-pixel gap.
        int off = scale / 2 + 1;
        Mask gap = Dilate(m, 1);
        for (int yy = 0; yy < h; ++yy) {
            for (int xx = 0; xx < w; ++xx) {
                if (m.at(xx - off, yy - off) && !gap.at(xx, yy) && ((ox + xx + oy + yy) % 2 == 0)) {
                    dst.set(ox + xx, oy + yy, pen);
                } else if (gap.at(xx, yy) && !m.at(xx, yy)) {
                    dst.set(ox + xx, oy + yy, paper);
                }
            }
        }
    }
    for (int yy = 0; yy < h; ++yy) {
        for (int xx = 0; xx < w; ++xx) {
            if (m.at(xx, yy)) {
                dst.set(ox + xx, oy + yy, pen);
            }
        }
    }
    return true;
}

bool LoadArt(const std::string &artDir, ArtSet *art, std::string *error) {
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    std::error_code failure;
    for (fs::recursive_directory_iterator e(artDir, failure), end; !failure && e != end;
         e.increment(failure)) {
        if (e->is_regular_file() && e->path().extension() == ".txt") {
            files.push_back(e->path().string());
        }
    }
    if (failure) {
        *error = artDir + ": " + failure.message();
        return false;
    }
    std::sort(files.begin(), files.end());
    *art = ArtSet();
    for (const auto &f : files) {
        if (!LoadArtFile(f, *art, error)) {
            return false;
        }
    }
    return true;
}

bool RenderPicture(const Picture &p, const ArtSet &art, Image *out, std::string *error) {
    Image img(p.width, p.height, 0);
    for (const PictureCommand &c : p.commands) {
        auto fail = [&](const std::string &message) {
            return Fail(error, p.file, c.line, message);
        };
        // The command's arguments from `first` on, as numbers.
        auto numbers = [&](size_t first, std::initializer_list<int *> values) {
            return Numbers(c.words, first, values, p.file, c.line, error);
        };
        auto takes = [&](size_t n) { return c.words.size() == n; };
        auto arguments = [&](size_t n) {
            return fail("'" + c.op + "' takes " + std::to_string(n) + " arguments");
        };
        if (c.op == "text") {
            // text FONT SCALE STYLE ALIGN X Y "string"
            if (!takes(7)) {
                return arguments(7);
            }
            auto f = art.fonts.find(c.words[0]);
            if (f == art.fonts.end()) {
                return fail("no font '" + c.words[0] + "'");
            }
            int scale = 0;
            if (!numbers(1, {&scale})) {
                return false;
            }
            if (scale < 1 || scale > 16) {
                return fail("scale must be 1 to 16");
            }
            const std::string &style = c.words[2];
            const std::string &align = c.words[3];
            int x = 0;
            int y = 0;
            if (!numbers(4, {&x, &y})) {
                return false;
            }
            const std::string &s = c.words[6];
            int tw = TextWidth(f->second, scale, style, s);
            if (align == "center") {
                x -= tw / 2;
            } else if (align == "right") {
                x -= tw;
            } else if (align != "left") {
                return fail("align is left, center or right");
            }
            std::string why;
            if (!DrawText(img, f->second, scale, style, x, y, s, 1, &why)) {
                return fail(why);
            }
        } else if (c.op == "frame" || c.op == "box" || c.op == "clear") {
            // frame X Y W H THICKNESS / box X Y W H / clear X Y W H
            const size_t count = c.op == "frame" ? 5 : 4;
            if (!takes(count)) {
                return arguments(count);
            }
            int x = 0;
            int y = 0;
            int w = 0;
            int h = 0;
            int t = 0;
            if (!numbers(0, {&x, &y, &w, &h}) || (c.op == "frame" && !numbers(4, {&t}))) {
                return false;
            }
            for (int yy = y; yy < y + h; ++yy) {
                for (int xx = x; xx < x + w; ++xx) {
                    bool edge = xx < x + t || yy < y + t || xx >= x + w - t || yy >= y + h - t;
                    if (c.op == "box") {
                        img.set(xx, yy, 1);
                    } else if (c.op == "clear") {
                        img.set(xx, yy, 0);
                    } else if (edge) {
                        img.set(xx, yy, 1);
                    }
                }
            }
        } else if (c.op == "dots") {
            // dots X Y W SPACING: a dotted horizontal rule
            if (!takes(4)) {
                return arguments(4);
            }
            int x = 0;
            int y = 0;
            int w = 0;
            int sp = 0;
            if (!numbers(0, {&x, &y, &w, &sp})) {
                return false;
            }
            if (sp < 1) {
                return fail("spacing must be at least 1");
            }
            for (int xx = x; xx < x + w; xx += sp) {
                img.set(xx, y, 1);
            }
        } else if (c.op == "sprite") {
            // sprite NAME X Y SCALE [fill|edge]: the sprite's lit pixels in
            // white, or only those on the edge of the figure (a line drawing).
            if (!takes(4) && !takes(5)) {
                return fail("'sprite' takes 4 or 5 arguments");
            }
            auto s = art.sprites.find(c.words[0]);
            if (s == art.sprites.end()) {
                return fail("no sprite '" + c.words[0] + "'");
            }
            int x = 0;
            int y = 0;
            int scale = 0;
            if (!numbers(1, {&x, &y, &scale})) {
                return false;
            }
            if (scale < 1 || scale > 16) {
                return fail("scale must be 1 to 16");
            }
            const std::string mode = c.words.size() == 5 ? c.words[4] : "fill";
            if (mode != "fill" && mode != "edge") {
                return fail("sprite mode is fill or edge");
            }
            const Image &si = s->second.image;
            auto lit = [&](int xx, int yy) {
                if (xx < 0 || yy < 0 || xx >= si.width || yy >= si.height) {
                    return false;
                }
                uint8_t v = si.at(xx, yy);
                return v != 0 && v != kTransparent;
            };
            for (int yy = 0; yy < si.height; ++yy) {
                for (int xx = 0; xx < si.width; ++xx) {
                    if (!lit(xx, yy)) {
                        continue;
                    }
                    if (mode == "edge" && lit(xx - 1, yy) && lit(xx + 1, yy) && lit(xx, yy - 1) &&
                        lit(xx, yy + 1)) {
                        continue;
                    }
                    for (int a = 0; a < scale; ++a) {
                        for (int b = 0; b < scale; ++b) {
                            img.set(x + xx * scale + b, y + yy * scale + a, 1);
                        }
                    }
                }
            }
        } else if (c.op == "stars") {
            // stars SEED COUNT X Y W H: single white pixels scattered over
            // the area where nothing else is drawn nearby.
            if (!takes(6)) {
                return arguments(6);
            }
            int seedWord = 0;
            int count = 0;
            int x = 0;
            int y = 0;
            int w = 0;
            int h = 0;
            if (!numbers(0, {&seedWord, &count, &x, &y, &w, &h})) {
                return false;
            }
            uint32_t seed = uint32_t(seedWord);
            if (w <= 0 || h <= 0) {
                return fail("empty star area");
            }
            int placed = 0;
            for (int tries = 0; placed < count && tries < count * 50; ++tries) {
                seed = seed * 1103515245u + 12345u;
                int sx = x + int((seed >> 8) % uint32_t(w));
                seed = seed * 1103515245u + 12345u;
                int sy = y + int((seed >> 8) % uint32_t(h));
                bool clear = true;
                for (int dy = -4; dy <= 4 && clear; ++dy) {
                    for (int dx = -4; dx <= 4 && clear; ++dx) {
                        int px = sx + dx, py = sy + dy;
                        if (px >= 0 && py >= 0 && px < img.width && py < img.height &&
                            img.at(px, py)) {
                            clear = false;
                        }
                    }
                }
                if (!clear) {
                    continue;
                }
                img.set(sx, sy, 1);
                ++placed;
            }
        } else {
            return fail("unknown picture command '" + c.op + "'");
        }
    }
    *out = img;
    return true;
}

namespace {
void Put16(std::vector<uint8_t> &b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t> &b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
size_t Pad4(size_t n) {
    return (n + 3) & ~size_t(3);
}
} // namespace

bool EncodeIco(const Image &img, std::vector<uint8_t> *out, std::string *error) {
    if (img.width != img.height || (img.width != 32 && img.width != 64)) {
        *error = "icons are 32x32 or 64x64";
        return false;
    }
    const size_t xorRow = Pad4(size_t(img.width) / 2);
    const size_t andRow = Pad4(size_t(img.width) / 8);
    const size_t bits = (xorRow + andRow) * size_t(img.height);
    const size_t imageBytes = 40 + 16 * 4 + bits;
    std::vector<uint8_t> b;
    Put16(b, 0); // ICONDIR
    Put16(b, 1);
    Put16(b, 1);
    b.push_back(uint8_t(img.width)); // ICONDIRENTRY
    b.push_back(uint8_t(img.height));
    b.push_back(16);
    b.push_back(0);
    Put16(b, 1);
    Put16(b, 4);
    Put32(b, uint32_t(imageBytes));
    Put32(b, 22);
    Put32(b, 40); // BITMAPINFOHEADER
    Put32(b, uint32_t(img.width));
    Put32(b, uint32_t(img.height * 2));
    Put16(b, 1);
    Put16(b, 4);
    Put32(b, 0);
    Put32(b, uint32_t(bits));
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 0);
    for (uint32_t c : kPalette) {
        b.push_back(uint8_t(c));
        b.push_back(uint8_t(c >> 8));
        b.push_back(uint8_t(c >> 16));
        b.push_back(0);
    }
    for (int y = img.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(xorRow, 0);
        for (int x = 0; x < img.width; ++x) {
            uint8_t v = img.at(x, y);
            uint8_t idx = v == kTransparent ? 0 : v;
            row[size_t(x) / 2] |= uint8_t(x % 2 == 0 ? idx << 4 : idx);
        }
        b.insert(b.end(), row.begin(), row.end());
    }
    for (int y = img.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(andRow, 0);
        for (int x = 0; x < img.width; ++x) {
            if (img.at(x, y) == kTransparent) {
                row[size_t(x) / 8] |= uint8_t(0x80 >> (x % 8));
            }
        }
        b.insert(b.end(), row.begin(), row.end());
    }
    *out = b;
    return true;
}

std::vector<uint8_t> EncodeBmp1(const Image &img) {
    const size_t row = Pad4((size_t(img.width) + 7) / 8);
    const size_t bits = row * size_t(img.height);
    std::vector<uint8_t> b;
    b.push_back('B');
    b.push_back('M');
    Put32(b, uint32_t(14 + 40 + 8 + bits));
    Put16(b, 0);
    Put16(b, 0);
    Put32(b, 14 + 40 + 8);
    Put32(b, 40);
    Put32(b, uint32_t(img.width));
    Put32(b, uint32_t(img.height));
    Put16(b, 1);
    Put16(b, 1);
    Put32(b, 0);
    Put32(b, uint32_t(bits));
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 0x00000000); // index 0 black
    Put32(b, 0x00FFFFFF); // index 1 white
    for (int y = img.height - 1; y >= 0; --y) {
        std::vector<uint8_t> r(row, 0);
        for (int x = 0; x < img.width; ++x) {
            if (img.at(x, y)) {
                r[size_t(x) / 8] |= uint8_t(0x80 >> (x % 8));
            }
        }
        b.insert(b.end(), r.begin(), r.end());
    }
    return b;
}

bool ImageFromIco(const std::vector<uint8_t> &bytes, Image *out) {
    zplat::DecodedIcon icon;
    if (!zplat::DecodeIcon(bytes.data(), bytes.size(), &icon)) {
        return false;
    }
    Image img(icon.width, icon.height);
    for (size_t i = 0; i < img.pixels.size(); ++i) {
        if (icon.transparent[i]) {
            img.pixels[i] = kTransparent;
            continue;
        }
        const uint32_t *entry = std::find(std::begin(kPalette), std::end(kPalette), icon.color[i]);
        if (entry == std::end(kPalette)) {
            return false;
        }
        img.pixels[i] = uint8_t(entry - std::begin(kPalette));
    }
    *out = img;
    return true;
}

bool ImageFromBmp1(const std::vector<uint8_t> &bytes, Image *out) {
    zplat::DecodedBitmap bitmap;
    if (!zplat::DecodeBitmap(bytes.data(), bytes.size(), &bitmap) || bitmap.bitsPixel != 1) {
        return false;
    }
    Image img(bitmap.width, bitmap.height);
    for (size_t i = 0; i < img.pixels.size(); ++i) {
        img.pixels[i] = bitmap.pixels[i] == 0xFFFFFF ? 1 : 0;
    }
    *out = img;
    return true;
}

bool ReadFile(const std::string &path, std::vector<uint8_t> *bytes, std::string *error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = path + ": cannot open";
        return false;
    }
    bytes->assign(std::istreambuf_iterator<char>(in), {});
    return true;
}

bool WriteFile(const std::string &path, const std::vector<uint8_t> &bytes, std::string *error) {
    std::error_code ignored; // a folder that cannot be made shows as a file that cannot be written
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) {
        *error = path + ": cannot write";
        return false;
    }
    return true;
}

} // namespace art
