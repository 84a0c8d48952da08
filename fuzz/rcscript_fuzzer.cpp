// The resource script's reader: any text is read or refused with a
// "file:line: message", and every menu it accepts makes a template that the
// platform decodes back to the same items.
#include "fuzz/fuzz_support.h"
#include "platform/resource_decode.h"
#include "tools/rcembed/embed.h"
#include "tools/rcscript/rc_script.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string text(reinterpret_cast<const char *>(data), size);
    std::vector<rcscript::Entry> entries;
    std::string error;
    if (!rcscript::ParseScript(text, "fuzz.rc", &entries, &error)) {
        fuzz::Require(error.rfind("fuzz.rc:", 0) == 0 && error.size() > 8,
                      "a refused script says file:line: why");
        return 0;
    }
    for (const rcscript::Entry &entry : entries) {
        fuzz::Require(!entry.name.empty() && entry.line >= 1, "an entry has a name and a line");
        if (entry.kind != rcscript::EntryKind::Menu) {
            fuzz::Require(!entry.path.empty(), "an icon or bitmap names its file");
            continue;
        }
        const std::vector<unsigned char> bytes = rcembed::BuildMenuTemplate(entry.items);
        std::vector<zplat::DecodedMenuItem> decoded;
        fuzz::Require(zplat::DecodeMenu(bytes.data(), bytes.size(), &decoded),
                      "an accepted menu decodes");
        fuzz::Require(decoded.size() == entry.items.size(), "with as many items");
        for (size_t i = 0; i < decoded.size(); ++i) {
            fuzz::Require(decoded[i].id == entry.items[i].id &&
                              decoded[i].text == entry.items[i].text,
                          "each the same, id and text");
        }
    }
    return 0;
}
