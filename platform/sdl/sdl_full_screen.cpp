// The SDL2 backend in full screen: the switch, and the one picture that
// shows the program there (platform/display.h): the caption bar, the main
// window's image and the other windows shown (the About window), framed
// over it.  Those windows' own SDL windows are hidden meanwhile; their
// images are kept and composed in, and the clicks on them are theirs.
#include "platform/display.h"
#include "platform/sdl/sdl_native.h"
#include "platform/window_inspection.h"

#include <cstdio>

namespace zsdl {

void SdlBackend::SetFullScreen(bool on) {
    if (windows_.empty()) {
        options_.fullScreen = on; // the main window will start so
        return;
    }
    Native &main = *windows_.front();
    if (main.fullScreen == on) {
        return;
    }
    if (Unmanaged(main)) {
        if (on) {
            SDL_GetWindowPosition(main.sdl, &main.windowedX, &main.windowedY);
        }
        main.fullScreen = on;
        SizeWithoutWindowManager(main);
    } else {
        if (SDL_SetWindowFullscreen(main.sdl, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
            std::fprintf(stderr, "zorvak: cannot switch to %s: %s\n",
                         on ? "full screen" : "a window", SDL_GetError());
            return;
        }
        main.fullScreen = on;
        if (!on) {
            // Back at the size it had, whatever the video driver restored.
            SDL_SetWindowSize(main.sdl, main.width * main.scale, main.height * main.scale);
        }
    }
    if (!on) {
        main.picture.clear();
        main.picture.shrink_to_fit();
    }
    UpdateOverlays();
    RaiseOthers(main);
    main.redrawPending = main.presented;
}

bool SdlBackend::FullScreen() const {
    return windows_.empty() ? options_.fullScreen : windows_.front()->fullScreen;
}

int SdlBackend::LargestScale(int imageWidth, int imageHeight) {
    if (!VideoReady()) {
        return 0;
    }
    int width = 0;
    int height = 0;
    DesktopSize(&width, &height);
    return zplat::FullScreenScale(width, height, imageWidth, imageHeight);
}

void SdlBackend::UpdateOverlays() {
    if (windows_.empty()) {
        return;
    }
    Native &main = *windows_.front();
    bool changed = false;
    bool focusToMain = false;
    for (size_t i = 1; i < windows_.size(); ++i) {
        Native &other = *windows_[i];
        const bool overlaid = main.fullScreen && other.shown;
        if (overlaid == other.overlaid) {
            continue;
        }
        changed = true;
        other.overlaid = overlaid;
        if (overlaid) {
            // The keyboard it had stays with the program, on the one
            // window left on the screen.
            focusToMain = focusToMain || other.active;
            SDL_HideWindow(other.sdl);
        } else if (other.shown) {
            SDL_ShowWindow(other.sdl);
            if (zplat::KeyboardFocus() == other.window) {
                SDL_SetWindowInputFocus(other.sdl);
            }
        }
    }
    if (focusToMain) {
        SDL_SetWindowInputFocus(main.sdl);
    }
    if (changed && main.fullScreen && main.presented) {
        main.redrawPending = true;
    }
}

bool SdlBackend::AnyOverlaid() const {
    for (const std::unique_ptr<Native> &native : windows_) {
        if (native->overlaid) {
            return true;
        }
    }
    return false;
}

zplat::FullScreenScene SdlBackend::Scene(const Native &main) {
    // The caption colours: the window with the program's keyboard is the
    // active one, while the program has the desktop's.
    const HWND focus = zplat::KeyboardFocus();
    overlays_.clear();
    overlayWindows_.clear();
    for (const std::unique_ptr<Native> &native : windows_) {
        if (native->overlaid &&
            native->shownImage.size() == size_t(native->width) * native->height) {
            zplat::Overlay overlay;
            overlay.pixels = native->shownImage.data();
            overlay.width = native->width;
            overlay.height = native->height;
            overlay.title = native->title.c_str();
            overlay.active = main.active && focus == native->window;
            overlays_.push_back(overlay);
            overlayWindows_.push_back(native->window);
        }
    }
    zplat::FullScreenScene scene;
    scene.pixels = main.shownImage.data();
    scene.width = main.width;
    scene.height = main.height;
    scene.clientY = main.clientY;
    scene.title = main.title.c_str();
    scene.active = main.active && (focus == main.window || overlays_.empty());
    scene.overlays = overlays_.data();
    scene.overlayCount = int(overlays_.size());
    return scene;
}

HWND SdlBackend::PointerTarget(Native &main, bool press, int *x, int *y) {
    if (!main.fullScreen || !AnyOverlaid()) {
        return main.window;
    }
    const zplat::FullScreenScene scene = Scene(main);
    const int pictureY = *y + zplat::kCaptionBarHeight;
    if (press) {
        int overlayX = 0;
        int overlayY = 0;
        const int found = zplat::FindOverlay(scene, *x, pictureY, &overlayX, &overlayY);
        pressedOverlay_ = found >= 0 ? overlayWindows_[size_t(found)] : nullptr;
        if (found >= 0) {
            *x = overlayX;
            *y = overlayY;
            return pressedOverlay_;
        }
        return main.window;
    }
    // Drags and the release belong to the window the button went down on.
    const Native *pressed = pressedOverlay_ != nullptr ? Find(pressedOverlay_) : nullptr;
    if (pressed == nullptr || !pressed->overlaid) {
        return main.window;
    }
    const zplat::Area at =
        zplat::PlaceOverlay(main.width, main.height, main.clientY, pressed->width, pressed->height);
    *x -= at.x;
    *y = pictureY - at.y;
    return pressed->window;
}

} // namespace zsdl
