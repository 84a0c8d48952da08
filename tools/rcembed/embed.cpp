#include "tools/rcembed/embed.h"

#include "platform/resource_decode.h"
#include "shell/about_picture.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace rcembed {
namespace {

void PutWord(std::vector<unsigned char> *out, uint16_t w) {
    out->push_back(uint8_t(w & 0xFF));
    out->push_back(uint8_t(w >> 8));
}

constexpr uint16_t kMenuEnd = 0x0080;
constexpr size_t kMaxFileSize = 16u << 20;

// Replaces `path` with `text` through a temporary file, so that a reader
// never sees half of it.
bool WriteWhole(const std::string &path, const std::string &text, std::string *error) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        out.close();
        if (!out) {
            *error = temporary + ": cannot write: " + std::strerror(errno);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        *error = path + ": cannot write: " + ec.message();
        return false;
    }
    return true;
}

// A path as make and ninja read it in a dependency file.
std::string DependencyPath(const std::string &path) {
    std::string out;
    for (char c : path) {
        if (c == ' ' || c == '#') {
            out += '\\';
        } else if (c == '$') {
            out += '$';
        }
        out += c;
    }
    return out;
}

// A make-style dependency file: `target` depends on each of `files`.
std::string DependencyText(const std::string &target, const std::vector<std::string> &files) {
    std::string s = DependencyPath(target) + ":";
    for (const std::string &file : files) {
        s += " \\\n  " + DependencyPath(file);
    }
    return s + "\n";
}

} // namespace

std::vector<unsigned char> BuildMenuTemplate(const std::vector<rcscript::MenuItem> &items) {
    std::vector<unsigned char> out;
    PutWord(&out, 0); // version
    PutWord(&out, 0); // items follow the header directly
    for (size_t i = 0; i < items.size(); ++i) {
        PutWord(&out, i + 1 == items.size() ? kMenuEnd : 0);
        PutWord(&out, items[i].id);
        for (char c : items[i].text) {
            PutWord(&out, uint8_t(c)); // the script is ASCII
        }
        PutWord(&out, 0);
    }
    return out;
}

bool CollectBlobs(const std::vector<rcscript::Entry> &entries, const std::string &baseDir,
                  const std::string &scriptName, std::vector<Blob> *blobs, std::string *error) {
    blobs->clear();
    for (const rcscript::Entry &e : entries) {
        Blob blob;
        blob.kind = e.kind;
        blob.name = e.name;
        const std::string where = scriptName + ":" + std::to_string(e.line) + ": ";
        if (e.kind == rcscript::EntryKind::Menu) {
            blob.bytes = BuildMenuTemplate(e.items);
        } else {
            const std::filesystem::path file = std::filesystem::path(baseDir) / e.path;
            std::string why;
            if (!rcscript::ReadRegularFile(file.string(), kMaxFileSize, &blob.bytes, &why)) {
                *error = where + "cannot read '" + e.path + "' (" + file.string() + "): " + why;
                return false;
            }
            if (blob.bytes.empty()) {
                *error = where + "'" + e.path + "' is empty";
                return false;
            }
        }
        blobs->push_back(std::move(blob));
    }
    return true;
}

bool CheckBlobs(const std::vector<rcscript::Entry> &entries, const std::vector<Blob> &blobs,
                const std::string &scriptName, std::string *error) {
    for (size_t i = 0; i < entries.size() && i < blobs.size(); ++i) {
        const rcscript::Entry &e = entries[i];
        const std::vector<unsigned char> &bytes = blobs[i].bytes;
        const std::string where = scriptName + ":" + std::to_string(e.line) + ": '" + e.path + "' ";
        if (e.kind == rcscript::EntryKind::Icon) {
            zplat::DecodedIcon icon;
            if (!zplat::DecodeIcon(bytes.data(), bytes.size(), &icon)) {
                *error = where + "is not an icon this program can load (an .ico file whose first "
                                 "image has 4 or 8 bits per pixel and its mask)";
                return false;
            }
        } else if (e.kind == rcscript::EntryKind::Bitmap) {
            zplat::DecodedBitmap bitmap;
            if (!zplat::DecodeBitmap(bytes.data(), bytes.size(), &bitmap)) {
                *error = where + "is not a bitmap this program can load (an uncompressed .bmp file "
                                 "of 1, 4, 8 or 24 bits per pixel)";
                return false;
            }
            // The About picture sizes the playfield; the game would ignore
            // one too small to play in, so the build says so.
            if (e.name == "BMP_ABOUT" && (bitmap.width < ABOUT_PICTURE_MIN_WIDTH ||
                                          bitmap.height < ABOUT_PICTURE_MIN_HEIGHT)) {
                *error = where + "is " + std::to_string(bitmap.width) + " x " +
                         std::to_string(bitmap.height) +
                         ": the About picture sets the size of the playfield and must be at "
                         "least " +
                         std::to_string(ABOUT_PICTURE_MIN_WIDTH) + " x " +
                         std::to_string(ABOUT_PICTURE_MIN_HEIGHT);
                return false;
            }
        }
    }
    return true;
}

std::string GenerateSource(const std::vector<Blob> &blobs, const std::string &scriptName) {
    std::string s;
    s += "// Generated by rcembed from " + scriptName + ". Do not edit.\n";
    s += "#include \"resources/game_module.h\"\n\n#include \"platform/module.h\"\n\n";
    s += "namespace {\n\n";
    char hex[8];
    for (size_t i = 0; i < blobs.size(); ++i) {
        s += "// " + blobs[i].name + "\nconst unsigned char kData" + std::to_string(i) + "[] = {";
        for (size_t b = 0; b < blobs[i].bytes.size(); ++b) {
            s += b % 16 == 0 ? "\n    " : " ";
            std::snprintf(hex, sizeof hex, "0x%02x,", blobs[i].bytes[b]);
            s += hex;
        }
        s += "\n};\n\n";
    }
    if (!blobs.empty()) {
        s += "const zplat::Resource kResources[] = {\n";
        for (size_t i = 0; i < blobs.size(); ++i) {
            const char *type = blobs[i].kind == rcscript::EntryKind::Icon     ? "zplat::RES_ICON"
                               : blobs[i].kind == rcscript::EntryKind::Bitmap ? "zplat::RES_BITMAP"
                                                                              : "zplat::RES_MENU";
            const std::string data = "kData" + std::to_string(i);
            s += "    {" + std::string(type) + ", \"" + blobs[i].name + "\", " + data +
                 ", sizeof " + data + "},\n";
        }
        s += "};\n\n";
    }
    s += "}  // namespace\n\nHINSTANCE GameModule() {\n";
    if (blobs.empty()) {
        s += "    static const HINSTANCE module = zplat::RegisterModule(nullptr, 0);\n";
    } else {
        s += "    static const HINSTANCE module =\n"
             "        zplat::RegisterModule(kResources, sizeof kResources / sizeof "
             "kResources[0]);\n";
    }
    s += "    return module;\n}\n";
    return s;
}

bool Run(const std::string &scriptPath, const std::string &outputPath,
         const std::string &depfilePath, std::string *error) {
    std::vector<rcscript::Entry> entries;
    if (!rcscript::ReadScript(scriptPath, &entries, error)) {
        return false;
    }
    const std::filesystem::path base = std::filesystem::path(scriptPath).parent_path();
    const std::string baseDir = base.empty() ? "." : base.string();
    std::vector<Blob> blobs;
    if (!CollectBlobs(entries, baseDir, scriptPath, &blobs, error) ||
        !CheckBlobs(entries, blobs, scriptPath, error)) {
        return false;
    }
    if (!depfilePath.empty()) {
        std::vector<std::string> read = {scriptPath};
        for (const rcscript::Entry &e : entries) {
            if (e.kind != rcscript::EntryKind::Menu) {
                read.push_back((std::filesystem::path(baseDir) / e.path).string());
            }
        }
        if (!WriteWhole(depfilePath, DependencyText(outputPath, read), error)) {
            return false;
        }
    }
    return WriteWhole(outputPath,
                      GenerateSource(blobs, std::filesystem::path(scriptPath).filename().string()),
                      error);
}

} // namespace rcembed
