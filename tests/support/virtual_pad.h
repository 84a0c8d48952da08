// An SDL virtual game controller, for the SDL backend's tests and its timer
// benchmark: every button and axis of a game controller, driven by
// SDL_JoystickSetVirtual*.  Header-only, as only the programs that link SDL
// use it.
#ifndef ZORVAK_TESTS_SUPPORT_VIRTUAL_PAD_H
#define ZORVAK_TESTS_SUPPORT_VIRTUAL_PAD_H

#include <SDL.h>

namespace support {

// Plugs one in; its device index, or negative with SDL_GetError() set.
inline int AttachVirtualPad(const char *name) {
    SDL_VirtualJoystickDesc desc = {};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
    desc.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
    desc.name = name;
    return SDL_JoystickAttachVirtualEx(&desc);
}

} // namespace support

#endif
