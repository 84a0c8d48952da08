// The resource script, read once for every tool that needs it: rcembed
// embeds what it lists, the art generator writes the files it names, the
// contact sheet shows them, and the tests check them.
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
// Anything else is an error reported as "file:line: message", so that a tool
// stops where the script says something it would not honour.
#ifndef ZORVAK_TOOLS_RCSCRIPT_RC_SCRIPT_H
#define ZORVAK_TOOLS_RCSCRIPT_RC_SCRIPT_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace rcscript {

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

// Reads and parses the script at `path`; messages name the path.
bool ReadScript(const std::string &path, std::vector<Entry> *entries, std::string *error);

} // namespace rcscript

#endif
