// rcembed: turns the resource script into a C++ table of embedded resources.
//
// The script is the same file that the Windows resource compiler reads, in a
// small subset of its syntax:
//
//     // comment
//     NAME ICON "relative/path.ico"
//     NAME BITMAP "relative/path.bmp"
//     NAME MENU
//     BEGIN
//         MENUITEM "&Text", 1000
//     END
//
// Anything else is an error reported as "file:line: message", so that the
// build stops where the script says something this tool would not honour.
#ifndef ZORVAK_TOOLS_RCEMBED_RC_SCRIPT_H
#define ZORVAK_TOOLS_RCEMBED_RC_SCRIPT_H

#include <cstdint>
#include <string>
#include <vector>

namespace rcembed {

struct MenuItem {
    std::string text; // as written, with its '&' marks
    uint16_t id = 0;
};

enum class EntryKind { Icon, Bitmap, Menu };

struct Entry {
    EntryKind kind = EntryKind::Icon;
    std::string name;
    int line = 0;                // where the entry starts in the script
    std::string path;            // icons and bitmaps: as written, relative to the script
    std::vector<MenuItem> items; // menus
};

// Parses `text`; `fileName` only labels the messages.  On failure returns
// false with "fileName:line: message" in `error`.
bool ParseScript(const std::string &text, const std::string &fileName, std::vector<Entry> *entries,
                 std::string *error);

// The binary MENU template of a menu bar of plain items: a header of two zero
// words, then per item its flags (MF_END on the last), its id and its text as
// NUL-terminated UTF-16LE.
std::vector<unsigned char> BuildMenuTemplate(const std::vector<MenuItem> &items);

// The bytes of one resource, ready to embed.
struct Blob {
    EntryKind kind = EntryKind::Icon;
    std::string name;
    std::vector<unsigned char> bytes;
};

// Reads the files that the entries name, from `baseDir`, and builds the menus.
// On failure returns false with "scriptName:line: message" in `error`.
bool CollectBlobs(const std::vector<Entry> &entries, const std::string &baseDir,
                  const std::string &scriptName, std::vector<Blob> *blobs, std::string *error);

// Checks that every icon and bitmap decodes as the platform will decode it,
// so that a damaged file stops the build instead of loading as nothing.
// `blobs` are CollectBlobs' result for `entries`.
bool CheckBlobs(const std::vector<Entry> &entries, const std::vector<Blob> &blobs,
                const std::string &scriptName, std::string *error);

// The C++ source of the table and of GameModule() (resources/game_module.h).
std::string GenerateSource(const std::vector<Blob> &blobs, const std::string &scriptName);

// The whole tool: script in, source out (replaced whole, never half written).
bool Run(const std::string &scriptPath, const std::string &outputPath, std::string *error);

} // namespace rcembed

#endif
