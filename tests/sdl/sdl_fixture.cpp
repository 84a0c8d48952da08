#include "tests/sdl/sdl_fixture.h"

namespace sdltest {

headless::Image Shown(SDL_Window *sdl) {
    headless::Image shown;
    SDL_Surface *surface =
        SDL_ConvertSurfaceFormat(SDL_GetWindowSurface(sdl), SDL_PIXELFORMAT_RGB888, 0);
    if (surface == nullptr) {
        ADD_FAILURE() << SDL_GetError();
        return shown;
    }
    shown.width = surface->w;
    shown.height = surface->h;
    for (int y = 0; y < surface->h; ++y) {
        const Uint32 *row = reinterpret_cast<const Uint32 *>(
            static_cast<const Uint8 *>(surface->pixels) + size_t(y) * surface->pitch);
        for (int x = 0; x < surface->w; ++x) {
            shown.pixels.push_back(row[x] & 0xFFFFFF);
        }
    }
    SDL_FreeSurface(surface);
    return shown;
}

int NotScaledUp(const headless::Image &shown, const std::vector<uint32_t> &image, int width,
                int scale) {
    if (shown.width != width * scale || shown.pixels.size() != image.size() * scale * scale) {
        return -1;
    }
    int wrong = 0;
    for (int y = 0; y < shown.height; ++y) {
        for (int x = 0; x < shown.width; ++x) {
            wrong += shown.At(x, y) != image[size_t(y / scale) * width + size_t(x / scale)];
        }
    }
    return wrong;
}

} // namespace sdltest
