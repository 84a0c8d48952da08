// Reading the text sources under resources/art: sprites (grids of palette
// letters), fonts (a grid per glyph) and pictures (drawing commands, drawn by
// picture.cpp), one statement after another.
#include "tools/art/art.h"
#include "tools/art/source_words.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace art {

const char kPaletteChars[17] = ".rgybmcwkRGYBMCW";

namespace {

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

bool IsBlank(const std::string &line) {
    return line.empty() || line[0] == '#';
}

// One source file, read statement by statement into an ArtSet.
class SourceFile {
public:
    SourceFile(const std::string &path, std::vector<std::string> lines, ArtSet &set,
               std::string *error)
        : path_(path), lines_(std::move(lines)), set_(set), error_(error) {}

    bool ReadAll() {
        std::vector<std::string> words;
        for (SkipBlankLines(); i_ < lines_.size(); SkipBlankLines()) {
            if (!Words(lines_[i_], path_, LineNo(i_), &words, error_)) {
                return false;
            }
            const Statement *statement = FindStatement(words[0]);
            if (statement == nullptr) {
                return Fail(i_, "unknown statement '" + words[0] + "'");
            }
            if (!(this->*statement->read)(words)) {
                return false;
            }
        }
        return true;
    }

private:
    // A statement's reader gets the words of its first line and moves past
    // its last.
    struct Statement {
        const char *name;
        bool (SourceFile::*read)(const std::vector<std::string> &words);
    };
    static const Statement *FindStatement(const std::string &name) {
        static const Statement kStatements[] = {
            {"sprite", &SourceFile::ReadSprite},
            {"font", &SourceFile::ReadFont},
            {"picture", &SourceFile::ReadPicture},
        };
        for (const Statement &s : kStatements) {
            if (name == s.name) {
                return &s;
            }
        }
        return nullptr;
    }

    static int LineNo(size_t index) { return int(index + 1); }
    bool Fail(size_t index, const std::string &message) {
        return FailAt(error_, path_, LineNo(index), message);
    }
    void SkipBlankLines() {
        while (i_ < lines_.size() && IsBlank(lines_[i_])) {
            ++i_;
        }
    }

    // Reads `rows` grid lines of `cols` characters from line `start` on.
    bool ReadRows(int rows, int cols, size_t start, std::vector<std::string> *grid) {
        grid->clear();
        for (int r = 0; r < rows; ++r) {
            const size_t index = start + size_t(r);
            if (index >= lines_.size()) {
                return Fail(index, "grid ends early");
            }
            if (int(lines_[index].size()) != cols) {
                return Fail(index, "grid row has " + std::to_string(lines_[index].size()) +
                                       " columns, expected " + std::to_string(cols));
            }
            grid->push_back(lines_[index]);
        }
        return true;
    }

    // sprite NAME WIDTH HEIGHT [transparent], then its grid
    bool ReadSprite(const std::vector<std::string> &w) {
        if (w.size() < 4 || w.size() > 5 || (w.size() == 5 && w[4] != "transparent")) {
            return Fail(i_, "expected: sprite NAME WIDTH HEIGHT [transparent]");
        }
        Sprite s;
        s.name = w[1];
        s.file = path_;
        s.transparentAllowed = w.size() == 5;
        int width = 0;
        int height = 0;
        if (!Numbers(w, 2, {&width, &height}, path_, LineNo(i_), error_)) {
            return false;
        }
        if (width <= 0 || height <= 0 || width > 256 || height > 256) {
            return Fail(i_, "bad sprite size");
        }
        std::vector<std::string> grid;
        if (!ReadRows(height, width, i_ + 1, &grid) || !SpritePixels(grid, &s)) {
            return false;
        }
        if (set_.sprites.count(s.name)) {
            return Fail(i_, "sprite " + s.name + " defined twice");
        }
        set_.sprites[s.name] = s;
        i_ += size_t(height) + 1;
        return true;
    }

    // The grid below the current line as the sprite's image.
    bool SpritePixels(const std::vector<std::string> &grid, Sprite *s) {
        const int width = int(grid[0].size());
        const int height = int(grid.size());
        s->image = Image(width, height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const char letter = grid[size_t(y)][size_t(x)];
                const int v = PaletteIndex(letter);
                if (v < 0 || (v == kTransparent && !s->transparentAllowed)) {
                    return Fail(i_ + 1 + size_t(y), std::string("bad pixel '") + letter + "'");
                }
                s->image.set(x, y, uint8_t(v));
            }
        }
        return true;
    }

    // font NAME WIDTH HEIGHT ADVANCE LINEHEIGHT, then its glyphs
    bool ReadFont(const std::vector<std::string> &w) {
        if (w.size() != 6) {
            return Fail(i_, "expected: font NAME WIDTH HEIGHT ADVANCE LINEHEIGHT");
        }
        Font f;
        f.name = w[1];
        if (!Numbers(w, 2, {&f.width, &f.height, &f.advance, &f.lineHeight}, path_, LineNo(i_),
                     error_)) {
            return false;
        }
        ++i_;
        for (SkipBlankLines(); i_ < lines_.size() && lines_[i_].rfind("glyph ", 0) == 0;
             SkipBlankLines()) {
            if (!ReadGlyph(&f)) {
                return false;
            }
        }
        set_.fonts[f.name] = f;
        return true;
    }

    // glyph CHARACTER (or "glyph space"), then its grid of '#' and '.'
    bool ReadGlyph(Font *f) {
        const std::string key = lines_[i_].substr(6);
        const char c = key.size() == 1 ? key[0] : key == "space" ? ' ' : 0;
        if (c == 0) {
            return Fail(i_, "glyph name must be one character or 'space'");
        }
        if (f->glyphs.count(c)) {
            return Fail(i_, "glyph '" + key + "' defined twice");
        }
        std::vector<std::string> grid;
        if (!ReadRows(f->height, f->width, i_ + 1, &grid)) {
            return false;
        }
        for (size_t r = 0; r < grid.size(); ++r) {
            if (grid[r].find_first_not_of("#.") != std::string::npos) {
                return Fail(i_ + 1 + r, "glyph pixels are '#' or '.'");
            }
        }
        f->glyphs[c] = grid;
        i_ += size_t(f->height) + 1;
        return true;
    }

    // picture NAME WIDTH HEIGHT, then its commands up to "end"
    bool ReadPicture(const std::vector<std::string> &w) {
        if (w.size() != 4) {
            return Fail(i_, "expected: picture NAME WIDTH HEIGHT");
        }
        Picture p;
        p.name = w[1];
        p.file = path_;
        if (!Numbers(w, 2, {&p.width, &p.height}, path_, LineNo(i_), error_)) {
            return false;
        }
        // Pictures become the game's full-size bitmaps: a few hundred pixels.
        if (p.width <= 0 || p.height <= 0 || p.width > 4096 || p.height > 4096) {
            return Fail(i_, "bad picture size");
        }
        ++i_;
        std::vector<std::string> words;
        for (SkipBlankLines(); i_ < lines_.size(); SkipBlankLines()) {
            if (!Words(lines_[i_], path_, LineNo(i_), &words, error_)) {
                return false;
            }
            const int line = LineNo(i_++);
            if (words[0] == "end") {
                set_.pictures[p.name] = p;
                return true;
            }
            p.commands.push_back(PictureCommand{
                words[0], std::vector<std::string>(words.begin() + 1, words.end()), line});
        }
        return Fail(i_, "picture " + p.name + " has no 'end'");
    }

    std::string path_;
    std::vector<std::string> lines_;
    ArtSet &set_;
    std::string *error_;
    size_t i_ = 0; // the line being read
};

bool LoadArtFile(const std::string &path, ArtSet &set, std::string *error) {
    std::ifstream in(path);
    if (!in) {
        return FailAt(error, path, 0, "cannot open");
    }
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) {
        lines.push_back(StripRight(l));
    }
    return SourceFile(path, std::move(lines), set, error).ReadAll();
}

} // namespace

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

} // namespace art
