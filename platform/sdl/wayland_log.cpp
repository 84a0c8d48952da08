#include "platform/sdl/wayland_log.h"

#include <cstdarg>
#include <cstdio>
#include <dlfcn.h>

namespace zsdl {

namespace {

bool held = false;
void *library = nullptr; // our reference while held: SDL loads the same one

// As the library's own handler, unless held.
void PrintUnlessHeld(const char *format, va_list args) {
    if (!held) {
        std::vfprintf(stderr, format, args);
    }
}

} // namespace

void HoldWaylandLog(bool hold) {
    held = hold;
    if (hold && library == nullptr) {
        // Loaded here (if installed) so that the handler is in place before
        // SDL loads it and connects.
        library = dlopen("libwayland-client.so.0", RTLD_NOW | RTLD_LOCAL);
        using Handler = void (*)(const char *, va_list);
        using SetHandler = void (*)(Handler);
        if (library != nullptr) {
            if (auto set =
                    reinterpret_cast<SetHandler>(dlsym(library, "wl_log_set_handler_client"))) {
                set(PrintUnlessHeld);
            }
        }
    } else if (!hold && library != nullptr) {
        // SDL keeps its own reference while it uses Wayland, and with it
        // the handler; otherwise the library goes.
        dlclose(library);
        library = nullptr;
    }
}

} // namespace zsdl
