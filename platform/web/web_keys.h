// Browser keys as Windows virtual keys, the same ones the desktop program
// passes on.  Plain C++ with no browser in sight, so that the native tests
// can hold it against the SDL2 backend's mapping.
#ifndef ZORVAK_PLATFORM_WEB_KEYS_H
#define ZORVAK_PLATFORM_WEB_KEYS_H

namespace zweb {

// The Windows virtual-key code for a browser key event, given its
// KeyboardEvent.key and KeyboardEvent.code, or 0 for keys the program does
// not pass on.  Letters are taken from the layout's key where it is a Latin
// letter, otherwise (a layout without Latin letters, or a dead key) from the
// key's position.
int VirtualKeyFor(const char *key, const char *code);

} // namespace zweb

#endif
