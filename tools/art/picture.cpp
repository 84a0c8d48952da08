// The picture language of resources/art/pictures: each command draws in
// white on a black 1-bit image, in the order written.  A command is a row of
// kCommands: its name, the kinds of its arguments (read and checked here, so
// that a drawing function gets them ready to use) and the function that
// draws it.
#include "tools/art/art.h"
#include "tools/art/source_words.h"

namespace art {
namespace {

// What a command's argument is, in the order they are written.
enum class Arg {
    Number, // any whole number
    Scale,  // a number from 1 to 16
    Font,   // the name of a font
    Sprite, // the name of a sprite
    Word,   // a word or a "quoted string"
};

// A command's arguments, read: the numbers (scales among them) and the words
// each in the order written.
struct Arguments {
    const Font *font = nullptr;
    const Image *sprite = nullptr;
    std::vector<int> numbers;
    std::vector<std::string> words;
};

// Draws a command into `img`; false with the reason in `why`.
using DrawCommand = bool (*)(const Arguments &a, Image &img, std::string *why);

// text FONT SCALE STYLE ALIGN X Y "string": ALIGN is left, center (X is the
// middle) or right (X is the right end).
bool Text(const Arguments &a, Image &img, std::string *why) {
    const int scale = a.numbers[0];
    int x = a.numbers[1];
    const int y = a.numbers[2];
    const std::string &style = a.words[0];
    const std::string &align = a.words[1];
    const std::string &s = a.words[2];
    const int tw = TextWidth(*a.font, scale, style, s);
    if (align == "center") {
        x -= tw / 2;
    } else if (align == "right") {
        x -= tw;
    } else if (align != "left") {
        *why = "align is left, center or right";
        return false;
    }
    return DrawText(img, *a.font, scale, style, x, y, s, 1, why);
}

// Sets every pixel of a rectangle to `v`.
void Fill(Image &img, int x, int y, int w, int h, uint8_t v) {
    for (int yy = y; yy < y + h; ++yy) {
        for (int xx = x; xx < x + w; ++xx) {
            img.set(xx, yy, v);
        }
    }
}

// box X Y W H
bool Box(const Arguments &a, Image &img, std::string *) {
    Fill(img, a.numbers[0], a.numbers[1], a.numbers[2], a.numbers[3], 1);
    return true;
}

// clear X Y W H
bool Clear(const Arguments &a, Image &img, std::string *) {
    Fill(img, a.numbers[0], a.numbers[1], a.numbers[2], a.numbers[3], 0);
    return true;
}

// frame X Y W H THICKNESS: the edge of the rectangle, inside it.
bool Frame(const Arguments &a, Image &img, std::string *) {
    const int x = a.numbers[0], y = a.numbers[1], w = a.numbers[2], h = a.numbers[3];
    const int t = a.numbers[4];
    for (int yy = y; yy < y + h; ++yy) {
        for (int xx = x; xx < x + w; ++xx) {
            if (xx < x + t || yy < y + t || xx >= x + w - t || yy >= y + h - t) {
                img.set(xx, yy, 1);
            }
        }
    }
    return true;
}

// dots X Y W SPACING: a dotted horizontal rule
bool Dots(const Arguments &a, Image &img, std::string *why) {
    const int x = a.numbers[0], y = a.numbers[1], w = a.numbers[2], sp = a.numbers[3];
    if (sp < 1) {
        *why = "spacing must be at least 1";
        return false;
    }
    for (int xx = x; xx < x + w; xx += sp) {
        img.set(xx, y, 1);
    }
    return true;
}

bool Lit(const Image &si, int x, int y) {
    if (x < 0 || y < 0 || x >= si.width || y >= si.height) {
        return false;
    }
    const uint8_t v = si.at(x, y);
    return v != 0 && v != kTransparent;
}

// sprite NAME X Y SCALE [fill|edge]: the sprite's lit pixels in white, or
// only those on the edge of the figure (a line drawing).
bool SpriteCommand(const Arguments &a, Image &img, std::string *why) {
    const int x = a.numbers[0], y = a.numbers[1], scale = a.numbers[2];
    const std::string mode = a.words.empty() ? "fill" : a.words[0];
    if (mode != "fill" && mode != "edge") {
        *why = "sprite mode is fill or edge";
        return false;
    }
    const Image &si = *a.sprite;
    for (int yy = 0; yy < si.height; ++yy) {
        for (int xx = 0; xx < si.width; ++xx) {
            const bool inside = Lit(si, xx - 1, yy) && Lit(si, xx + 1, yy) && Lit(si, xx, yy - 1) &&
                                Lit(si, xx, yy + 1);
            if (Lit(si, xx, yy) && !(mode == "edge" && inside)) {
                Fill(img, x + xx * scale, y + yy * scale, scale, scale, 1);
            }
        }
    }
    return true;
}

// Whether nothing is lit within 4 pixels of (x, y).
bool ClearAround(const Image &img, int x, int y) {
    for (int dy = -4; dy <= 4; ++dy) {
        for (int dx = -4; dx <= 4; ++dx) {
            const int px = x + dx, py = y + dy;
            if (px >= 0 && py >= 0 && px < img.width && py < img.height && img.at(px, py)) {
                return false;
            }
        }
    }
    return true;
}

// stars SEED COUNT X Y W H: single white pixels scattered over the area
// where nothing else is drawn nearby.
bool Stars(const Arguments &a, Image &img, std::string *why) {
    uint32_t seed = uint32_t(a.numbers[0]);
    const int count = a.numbers[1];
    const int x = a.numbers[2], y = a.numbers[3], w = a.numbers[4], h = a.numbers[5];
    if (w <= 0 || h <= 0) {
        *why = "empty star area";
        return false;
    }
    int placed = 0;
    for (int tries = 0; placed < count && tries < count * 50; ++tries) {
        seed = seed * 1103515245u + 12345u;
        const int sx = x + int((seed >> 8) % uint32_t(w));
        seed = seed * 1103515245u + 12345u;
        const int sy = y + int((seed >> 8) % uint32_t(h));
        if (ClearAround(img, sx, sy)) {
            img.set(sx, sy, 1);
            ++placed;
        }
    }
    return true;
}

struct Command {
    const char *name;
    std::vector<Arg> args;
    size_t optional; // how many of the last arguments may be left out
    DrawCommand draw;
};

const Command *FindCommand(const std::string &name) {
    using A = Arg;
    static const Command kCommands[] = {
        {"text", {A::Font, A::Scale, A::Word, A::Word, A::Number, A::Number, A::Word}, 0, Text},
        {"frame", {A::Number, A::Number, A::Number, A::Number, A::Number}, 0, Frame},
        {"box", {A::Number, A::Number, A::Number, A::Number}, 0, Box},
        {"clear", {A::Number, A::Number, A::Number, A::Number}, 0, Clear},
        {"dots", {A::Number, A::Number, A::Number, A::Number}, 0, Dots},
        {"sprite", {A::Sprite, A::Number, A::Number, A::Scale, A::Word}, 1, SpriteCommand},
        {"stars", {A::Number, A::Number, A::Number, A::Number, A::Number, A::Number}, 0, Stars},
    };
    for (const Command &c : kCommands) {
        if (name == c.name) {
            return &c;
        }
    }
    return nullptr;
}

// Reads the argument `word` of the kind `kind` into `a`.
bool ReadArgument(Arg kind, const std::string &word, const ArtSet &art, const std::string &file,
                  int line, Arguments *a, std::string *error) {
    if (kind == Arg::Font) {
        auto f = art.fonts.find(word);
        if (f == art.fonts.end()) {
            return FailAt(error, file, line, "no font '" + word + "'");
        }
        a->font = &f->second;
    } else if (kind == Arg::Sprite) {
        auto s = art.sprites.find(word);
        if (s == art.sprites.end()) {
            return FailAt(error, file, line, "no sprite '" + word + "'");
        }
        a->sprite = &s->second.image;
    } else if (kind == Arg::Word) {
        a->words.push_back(word);
    } else {
        int value = 0;
        if (!Number(word, file, line, &value, error)) {
            return false;
        }
        if (kind == Arg::Scale && (value < 1 || value > 16)) {
            return FailAt(error, file, line, "scale must be 1 to 16");
        }
        a->numbers.push_back(value);
    }
    return true;
}

// The words of command `c` of a picture in `file`, read as its arguments.
bool ReadArguments(const Command &command, const PictureCommand &c, const ArtSet &art,
                   const std::string &file, Arguments *a, std::string *error) {
    const size_t most = command.args.size();
    const size_t least = most - command.optional;
    if (c.words.size() < least || c.words.size() > most) {
        return FailAt(error, file, c.line,
                      "'" + c.op + "' takes " + std::to_string(least) +
                          (least == most ? "" : " or " + std::to_string(most)) + " arguments");
    }
    for (size_t i = 0; i < c.words.size(); ++i) {
        if (!ReadArgument(command.args[i], c.words[i], art, file, c.line, a, error)) {
            return false;
        }
    }
    return true;
}

} // namespace

bool RenderPicture(const Picture &p, const ArtSet &art, Image *out, std::string *error) {
    Image img(p.width, p.height, 0);
    for (const PictureCommand &c : p.commands) {
        const Command *command = FindCommand(c.op);
        if (command == nullptr) {
            return FailAt(error, p.file, c.line, "unknown picture command '" + c.op + "'");
        }
        Arguments a;
        if (!ReadArguments(*command, c, art, p.file, &a, error)) {
            return false;
        }
        std::string why;
        if (!command->draw(a, img, &why)) {
            return FailAt(error, p.file, c.line, why);
        }
    }
    *out = img;
    return true;
}

} // namespace art
