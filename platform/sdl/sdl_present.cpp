// The SDL2 backend: showing the composed image, on the desktop and in full
// screen, and the window's icon.
#include "platform/display.h"
#include "platform/sdl/sdl_native.h"
#include "platform/sdl/x11_put.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace zsdl {

namespace {

// An image of 0x00RRGGBB pixels, top row first.
struct Picture {
    const uint32_t *pixels;
    int width;
    int height;
};

// Copies a box of the picture into the surface, each pixel as a scale x
// scale block, the picture's top-left corner at (left, top) of the surface.
void BlitScaled(SDL_Surface *target, const Picture &picture, const SDL_Rect &box, int scale,
                int left, int top) {
    const Uint32 format = target->format->format;
    if (format != SDL_PIXELFORMAT_RGB888 && format != SDL_PIXELFORMAT_ARGB8888) {
        // Any other desktop format: let SDL convert, still nearest-neighbour.
        SDL_Surface *source = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<uint32_t *>(picture.pixels), picture.width, picture.height, 32,
            picture.width * 4, SDL_PIXELFORMAT_RGB888);
        if (source != nullptr) {
            SDL_Rect from = box;
            SDL_Rect to = {left + box.x * scale, top + box.y * scale, box.w * scale, box.h * scale};
            SDL_BlitScaled(source, &from, target, &to);
            SDL_FreeSurface(source);
        }
        return;
    }
    // Target pixels [x0, x1) x [y0, y1), inside the surface.
    const int x0 = std::max(left + box.x * scale, 0);
    const int x1 = std::min(left + (box.x + box.w) * scale, target->w);
    const int y0 = std::max(top + box.y * scale, 0);
    const int y1 = std::min(top + (box.y + box.h) * scale, target->h);
    if (x1 <= x0 || y1 <= y0 || (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0)) {
        return;
    }
    Uint8 *base = static_cast<Uint8 *>(target->pixels);
    int y = y0;
    while (y < y1) {
        const int sourceY = (y - top) / scale;
        const uint32_t *source = picture.pixels + size_t(sourceY) * picture.width;
        Uint32 *row = reinterpret_cast<Uint32 *>(base + size_t(y) * target->pitch);
        for (int x = x0; x < x1; ++x) {
            row[x] = 0xFF000000u | source[(x - left) / scale];
        }
        // The other rows of the same source row are copies.
        const int rowsEnd = std::min(top + (sourceY + 1) * scale, y1);
        for (int repeat = y + 1; repeat < rowsEnd; ++repeat) {
            std::memcpy(base + size_t(repeat) * target->pitch + size_t(x0) * 4, row + x0,
                        size_t(x1 - x0) * 4);
        }
        y = rowsEnd;
    }
    if (SDL_MUSTLOCK(target)) {
        SDL_UnlockSurface(target);
    }
}

} // namespace

zplat::Placement SdlBackend::Place(const Native &native, int windowWidth, int windowHeight) const {
    return zplat::PlaceImage(windowWidth, windowHeight, native.width, native.height,
                             native.fullScreen, native.scale);
}

int SdlBackend::TakeChanges(Native &native, const uint32_t *pixels, const zplat::Frame *changed,
                            bool whole, zplat::Area *boxes) {
    if (whole) {
        if (pixels != native.shownImage.data()) {
            native.shownImage.assign(pixels, pixels + size_t(native.width) * native.height);
        }
        boxes[0] = zplat::Area{0, 0, native.width, native.height};
        return 1;
    }
    // What changed is looked for where the core says it drew, in a few
    // boxes rather than one around everything, and only those are kept as
    // the image shown.
    zplat::Frame frame = changed != nullptr ? *changed : zplat::Frame{};
    frame.pixels = pixels;
    frame.width = native.width;
    frame.height = native.height;
    const int count =
        zplat::ChangedAreas(native.shownImage.data(), frame, boxes, zplat::kMaxChangedAreas);
    for (int i = 0; i < count; ++i) {
        const zplat::Area &box = boxes[i];
        for (int y = box.y; y < box.y + box.height; ++y) {
            const size_t at = size_t(y) * native.width + box.x;
            std::memcpy(native.shownImage.data() + at, pixels + at, size_t(box.width) * 4);
        }
    }
    return count;
}

void SdlBackend::Draw(Native &native, const uint32_t *pixels, const zplat::Frame *changed) {
    const size_t count = size_t(native.width) * native.height;
    const bool redraw = pixels == nullptr;
    if (redraw) {
        if (native.shownImage.size() != count) {
            return;
        }
        pixels = native.shownImage.data();
    }
    const bool whole = redraw || native.shownImage.size() != count;
    zplat::Area boxes[zplat::kMaxChangedAreas];
    const int changes = TakeChanges(native, pixels, changed, whole, boxes);
    native.presented = true;
    if (native.overlaid) {
        // Shown in the main window's full-screen picture, over its image.
        Native &main = *windows_.front();
        const zplat::Area at =
            zplat::PlaceOverlay(main.width, main.height, main.clientY, native.width, native.height);
        for (int i = 0; i < changes; ++i) {
            boxes[i].x += at.x;
            boxes[i].y += at.y;
        }
        if (main.presented) {
            // A new image: its frame too.
            ShowPicture(main, whole ? nullptr : boxes, whole ? 0 : changes, whole);
        }
        return;
    }
    if (native.fullScreen) {
        for (int i = 0; i < changes; ++i) {
            boxes[i].y += zplat::kCaptionBarHeight;
        }
    }
    ShowPicture(native, boxes, changes, whole);
}

void SdlBackend::ShowPicture(Native &native, const zplat::Area *boxes, int count, bool whole) {
    SDL_Surface *surface = SDL_GetWindowSurface(native.sdl);
    if (surface == nullptr) {
        // OpenDisplay made sure a surface can be had; losing it later
        // (the display server out of memory) is said once, not hidden.
        if (!native.surfaceFailed) {
            native.surfaceFailed = true;
            std::fprintf(stderr, "zorvak: cannot draw the window: %s\n", SDL_GetError());
        }
        return;
    }
    native.surfaceFailed = false;
    FollowX11Window(native);
    // On X the picture is drawn into memory shared with the server and put
    // from there, where it can be.
    bool freshCanvas = false;
    SDL_Surface *shared =
        X11Canvas(native.put, connection_, native.xid, native.sdl, surface, &freshCanvas);
    SDL_Surface *canvas = shared != nullptr ? shared : surface;
    const zplat::Placement place = Place(native, surface->w, surface->h);
    whole = whole || freshCanvas || canvas != native.shownSurface ||
            surface->w != native.shownSurfaceWidth || surface->h != native.shownSurfaceHeight ||
            !(place == native.placed);
    // On the desktop the picture is the window's image; in full screen it is
    // composed (caption bar, image, the windows over it) where it changed.
    Picture picture = {native.shownImage.data(), native.width, native.height};
    if (native.fullScreen) {
        const int height = zplat::FullScreenHeight(native.height);
        const size_t size = size_t(native.width) * height;
        whole = whole || native.picture.size() != size;
        native.picture.resize(size);
        const zplat::FullScreenScene scene = Scene(native);
        if (whole) {
            zplat::ComposeFullScreen(scene, zplat::Area{0, 0, native.width, height},
                                     native.picture.data());
        }
        for (int i = 0; i < count && !whole; ++i) {
            zplat::ComposeFullScreen(scene, boxes[i], native.picture.data());
        }
        picture = Picture{native.picture.data(), native.width, height};
    }
    const int s = place.scale;
    if (whole) {
        SDL_FillRect(canvas, nullptr, SDL_MapRGB(canvas->format, 0, 0, 0));
        BlitScaled(canvas, picture, SDL_Rect{0, 0, picture.width, picture.height}, s, place.left,
                   place.top);
        if (shared != nullptr) {
            const SDL_Rect all = {0, 0, canvas->w, canvas->h};
            PutOnX11(native.put, connection_, &all, 1);
        } else {
            SDL_UpdateWindowSurface(native.sdl);
        }
    } else {
        // Only what changed goes to the display: a game tick moves a few
        // sprites, not the whole picture.
        SDL_Rect scaled[zplat::kMaxChangedAreas];
        int shown = 0;
        for (int i = 0; i < count && i < zplat::kMaxChangedAreas; ++i) {
            SDL_Rect box = {boxes[i].x, boxes[i].y, boxes[i].width, boxes[i].height};
            const SDL_Rect all = {0, 0, picture.width, picture.height};
            if (!SDL_IntersectRect(&box, &all, &box)) {
                continue;
            }
            BlitScaled(canvas, picture, box, s, place.left, place.top);
            scaled[shown++] =
                SDL_Rect{place.left + box.x * s, place.top + box.y * s, box.w * s, box.h * s};
        }
        if (shown > 0 && shared != nullptr) {
            PutOnX11(native.put, connection_, scaled, shown);
        } else if (shown > 0) {
            SDL_UpdateWindowSurfaceRects(native.sdl, scaled, shown);
        }
    }
    native.shownSurface = canvas;
    native.shownSurfaceWidth = surface->w;
    native.shownSurfaceHeight = surface->h;
    native.placed = place;
}

void SdlBackend::Present(HWND window, const zplat::Frame &frame) {
    Native *native = Find(window);
    if (native == nullptr || frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0) {
        return;
    }
    native->clientY = frame.clientY;
    if (frame.width != native->width || frame.height != native->height) {
        native->width = frame.width;
        native->height = frame.height;
        if (!native->fullScreen) {
            SDL_SetWindowSize(native->sdl, frame.width * native->scale,
                              frame.height * native->scale);
        }
        native->shownImage.clear();
    }
    Draw(*native, frame.pixels, &frame);

    if (frame.minimized) {
        // What the program draws at its client origin while minimised is
        // its icon on the desktop's taskbar.
        const int size = 32;
        std::vector<uint32_t> &picture = native->iconPicture;
        picture.assign(size_t(size) * size, 0xFF000000u);
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const int fx = frame.clientX + x;
                const int fy = frame.clientY + y;
                if (fx >= 0 && fy >= 0 && fx < frame.width && fy < frame.height) {
                    picture[size_t(y) * size + x] =
                        0xFF000000u | (frame.pixels[size_t(fy) * frame.width + fx] & 0x00FFFFFFu);
                }
            }
        }
        if (!native->customIcon || picture != native->icon) {
            SetIcon(*native, picture.data(), size, size, false);
        }
    } else if (native->customIcon) {
        if (defaultIcon_.argb.empty()) {
            SDL_SetWindowIcon(native->sdl, nullptr);
            native->icon.clear();
            native->iconWidth = native->iconHeight = 0;
            native->customIcon = false;
        } else {
            SetIcon(*native, defaultIcon_.argb.data(), defaultIcon_.width, defaultIcon_.height,
                    true);
        }
    }
}

void SdlBackend::SetIcon(Native &native, const uint32_t *argb, int width, int height,
                         bool isDefault) {
    native.icon.assign(argb, argb + size_t(width) * height);
    native.iconWidth = width;
    native.iconHeight = height;
    native.customIcon = !isDefault;
    SDL_Surface *surface = SDL_CreateRGBSurfaceWithFormatFrom(native.icon.data(), width, height, 32,
                                                              width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (surface != nullptr) {
        SDL_SetWindowIcon(native.sdl, surface);
        SDL_FreeSurface(surface);
    }
}

} // namespace zsdl
