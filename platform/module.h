// Resource modules: what an HINSTANCE stands for outside Windows.
//
// A module is a table of named resources in their Windows file forms: an icon
// is the bytes of its .ico file, a bitmap the bytes of its .bmp file, a menu
// the binary MENU template the resource compiler would make.  The game's own
// module is generated at build time from resources/zorvak.rc (see
// resources/game_module.h); tests register modules of their own.
#ifndef ZORVAK_PLATFORM_MODULE_H
#define ZORVAK_PLATFORM_MODULE_H

#include "platform/platform.h"

#include <cstddef>

namespace zplat {

enum ResourceType { RES_ICON = 1, RES_BITMAP = 2, RES_MENU = 3 };

struct Resource {
    ResourceType type;
    const char *name; // as written in the resource script, e.g. "IC_SHIP1"
    const unsigned char *data;
    size_t size;
};

// Registers a table (which must outlive the module) and returns its instance
// handle.  Lookups by name are case-insensitive, as on Windows.
HINSTANCE RegisterModule(const Resource *resources, size_t count);

// The named resource of a type in a module, or nullptr (unknown module, no
// such name, null name).  Integer names (MAKEINTRESOURCEA) are not used by
// the game and find nothing.
const Resource *FindResourceIn(HINSTANCE module, ResourceType type, LPCSTR name);

} // namespace zplat

#endif
