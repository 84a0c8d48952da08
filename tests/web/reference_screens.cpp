// The screens the browser test expects, drawn by the same game on the
// headless backend:
//   main.ppm    the main window (menu bar and client) half a second into
//               the attract loop
//   about.ppm   the About window just after it opened
//   ground.ppm  the four ground tiles side by side: the ground row is drawn
//               at random, so the test checks it tile by tile
//
//   web_reference OUTDIR
#include "platform/headless/headless.h"
#include "platform/module.h"
#include "platform/platform.h"
#include "platform/resource_decode.h"
#include "resources/game_module.h"

#include <cstdio>
#include <string>

namespace {

bool WritePpm(const headless::Image &image, const std::string &path) {
    if (image.width <= 0 || image.height <= 0) {
        std::fprintf(stderr, "web_reference: no image for %s\n", path.c_str());
        return false;
    }
    FILE *file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::perror(path.c_str());
        return false;
    }
    std::fprintf(file, "P6\n%d %d\n255\n", image.width, image.height);
    for (uint32_t p : image.pixels) {
        const unsigned char rgb[3] = {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)};
        std::fwrite(rgb, 1, 3, file);
    }
    return std::fclose(file) == 0;
}

// The four ground sprites (opaque: what they show is their colour image).
headless::Image GroundTiles() {
    headless::Image tiles;
    tiles.width = 4 * 32;
    tiles.height = 32;
    tiles.pixels.assign(size_t(tiles.width) * tiles.height, 0);
    for (int t = 0; t < 4; ++t) {
        const std::string name = "IC_LAND" + std::to_string(t + 1);
        const zplat::Resource *r =
            zplat::FindResourceIn(GameModule(), zplat::RES_ICON, name.c_str());
        zplat::DecodedIcon icon;
        if (r == nullptr || !zplat::DecodeIcon(r->data, r->size, &icon) || icon.width != 32 ||
            icon.height != 32) {
            std::fprintf(stderr, "web_reference: %s is not a 32 x 32 icon\n", name.c_str());
            return headless::Image{};
        }
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                tiles.pixels[size_t(y) * tiles.width + t * 32 + x] = icon.color[size_t(y) * 32 + x];
            }
        }
    }
    return tiles;
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: web_reference OUTDIR\n");
        return 2;
    }
    const std::string out = argv[1];
    bool ok = true;
    const uint64_t start = 100000;
    headless::Reset(start);
    headless::OnFailure([&](const std::string &why) {
        std::fprintf(stderr, "web_reference: %s\n", why.c_str());
        ok = false;
    });
    headless::At(start + 525, [&] {
        HWND main = headless::FindWindowByClass("CL_ZORVAK");
        ok = WritePpm(headless::ComposedImage(main), out + "/main.ppm") && ok;
        headless::AltLetter(main, 'A');
    });
    headless::At(start + 1025, [&] {
        HWND about = headless::FindWindowByClass("CL_ABOUT_ZORVAK");
        ok = WritePpm(headless::ComposedImage(about), out + "/about.ppm") && ok;
        PostQuitMessage(0);
    });
    char commandLine[] = "";
    WinMain(GameModule(), NULL, commandLine, SW_SHOWDEFAULT);
    ok = WritePpm(GroundTiles(), out + "/ground.ppm") && ok;
    return ok ? 0 : 1;
}
