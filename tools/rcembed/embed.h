// rcembed: turns the resource script (see tools/rcscript/rc_script.h) into a
// C++ table of embedded resources behind GameModule().
#ifndef ZORVAK_TOOLS_RCEMBED_EMBED_H
#define ZORVAK_TOOLS_RCEMBED_EMBED_H

#include "tools/rcscript/rc_script.h"

#include <string>
#include <vector>

namespace rcembed {

// The binary MENU template of a menu bar of plain items: a header of two zero
// words, then per item its flags (MF_END on the last), its id and its text as
// NUL-terminated UTF-16LE.
std::vector<unsigned char> BuildMenuTemplate(const std::vector<rcscript::MenuItem> &items);

// The bytes of one resource, ready to embed.
struct Blob {
    rcscript::EntryKind kind = rcscript::EntryKind::Icon;
    std::string name;
    std::vector<unsigned char> bytes;
};

// Reads the files that the entries name, from `baseDir`, and builds the menus.
// On failure returns false with "scriptName:line: message" in `error`.
bool CollectBlobs(const std::vector<rcscript::Entry> &entries, const std::string &baseDir,
                  const std::string &scriptName, std::vector<Blob> *blobs, std::string *error);

// Checks that every icon and bitmap decodes as the platform will decode it,
// so that a damaged file stops the build instead of loading as nothing.
// `blobs` are CollectBlobs' result for `entries`.
bool CheckBlobs(const std::vector<rcscript::Entry> &entries, const std::vector<Blob> &blobs,
                const std::string &scriptName, std::string *error);

// The C++ source of the table and of GameModule().
std::string GenerateSource(const std::vector<Blob> &blobs, const std::string &scriptName);

// The whole tool: script in, source out, and, unless `depfilePath` is empty,
// the list of files it read (the script and every file it names) as a
// dependency file, so that the build re-embeds when any of them changes.
// Each output is replaced whole, never half written.
bool Run(const std::string &scriptPath, const std::string &outputPath,
         const std::string &depfilePath, std::string *error);

} // namespace rcembed

#endif
