// The SDL2 backend's own records: one top-level window's SDL counterpart,
// and one game controller.  Internal to platform/sdl.
#ifndef ZORVAK_PLATFORM_SDL_SDL_NATIVE_H
#define ZORVAK_PLATFORM_SDL_SDL_NATIVE_H

#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/x11_put.h"

#include <string>
#include <vector>

namespace zsdl {

struct SdlBackend::Native {
    HWND window = nullptr;
    SDL_Window *sdl = nullptr;
    Uint32 id = 0;
    unsigned long xid = 0; // the X window, when on X (SDL may replace it)
    DWORD style = 0;       // the Windows style, once the program gave it
    bool styled = false;
    int width = 0; // composed image, unscaled
    int height = 0;
    int scale = 1; // on the desktop
    bool shown = false;
    bool minimized = false;
    bool presented = false;
    // Shown again whole at the end of the events being taken (a switch, a
    // new surface, an exposure): many of them in a row cost one redraw.
    bool redrawPending = false;
    bool fullScreen = false;
    int clientY = 0; // where its client area starts in its image
    // Shown in the main window's full-screen picture, its own SDL window
    // hidden meanwhile.
    bool overlaid = false;
    std::vector<uint32_t> picture; // the main window's full-screen picture
    int windowedX = 0;             // where it was before full screen, without a window manager
    int windowedY = 0;
    bool active = true;         // has the keyboard (full screen draws its caption so)
    std::string title;          // for the caption bar of full screen
    bool customIcon = false;    // showing the game's own picture as icon
    std::vector<uint32_t> icon; // what the window shows as icon, 0xAARRGGBB
    int iconWidth = 0;
    int iconHeight = 0;
    SDL_Surface *shownSurface = nullptr; // the surface last drawn on (SDL's or the shared one)
    bool surfaceFailed = false;          // said so on stderr
    int shownSurfaceWidth = 0;
    int shownSurfaceHeight = 0;
    zplat::Placement placed;           // where the image was drawn on it
    X11Put put;                        // putting its changes on X directly
    std::vector<uint32_t> shownImage;  // the image it shows, unscaled
    std::vector<uint32_t> iconPicture; // scratch: the minimised picture
};

// Directions and buttons of a controller, as the keys they stand for.
enum PadKey { kPadLeft, kPadRight, kPadUp, kPadDown, kPadFire, kPadKeys };

struct SdlBackend::Pad {
    SDL_GameController *controller = nullptr;
    SDL_JoystickID id = -1;
    bool dpad[4] = {}; // the D-pad's left, right, up and down
    int stickX = 0;    // the left stick, -1, 0 or +1 once past the dead zone
    int stickY = 0;
    int fireButtons = 0;      // south and east buttons held
    bool down[kPadKeys] = {}; // keys the core has been given as held
    static_assert(int(kPadKeys) == kControllerKeys);
};

} // namespace zsdl

#endif
