#include "tests/support/session.h"

#include "platform/display.h"
#include "platform/module.h"
#include "platform/resource_decode.h"
#include "shell/process_start.h"
#include "tests/support/resource_files.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace support {

void StartFresh(uint64_t timeLimitMs) {
    RestoreProcessStart();
    ClearRecords();
    headless::Reset(kStart);
    headless::OnFailure([](const std::string &what) { ADD_FAILURE() << "backend: " << what; });
    headless::SetTimeLimit(kStart + timeLimitMs);
}

int RunWinMain(HINSTANCE module) {
    return WinMain(module, NULL, const_cast<LPSTR>(""), SW_SHOWDEFAULT);
}

HWND MainWindow() {
    return headless::FindWindowByClass("CL_ZORVAK");
}
HWND AboutWindow() {
    return headless::FindWindowByClass("CL_ABOUT_ZORVAK");
}

std::array<int, 6> Place(HWND window) {
    RECT outer = {0, 0, 0, 0};
    RECT client = {0, 0, 0, 0};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    return {outer.left,   outer.top,    outer.right - outer.left, outer.bottom - outer.top,
            client.right, client.bottom};
}

std::pair<int, int> MenuItemPoint(int index) {
    // The items are the runs of dark text on the bar, right of the system
    // box at its left end, with wide gaps between items.
    HWND window = MainWindow();
    headless::Image bar = headless::ComposedImage(window);
    const int barHeight = bar.height - Place(window)[5];
    std::vector<std::pair<int, int>> items;
    for (int x = barHeight, gap = 1000; x < bar.width; ++x, ++gap) {
        bool text = false;
        for (int y = 1; y < barHeight - 1; ++y) {
            // Dark text, or light text on a lit item.
            text = text || bar.At(x, y) == 0 || bar.At(x, y) == 0xFFFFFF;
        }
        if (text) {
            if (gap > 8) {
                items.push_back({x, x});
            }
            items.back().second = x;
            gap = -1;
        }
    }
    if (size_t(index) >= items.size()) {
        ADD_FAILURE() << "menu bar item " << index << " not found";
        return {0, 0};
    }
    return {(items[size_t(index)].first + items[size_t(index)].second) / 2, barHeight / 2};
}

void ClickMenuItem(int index) {
    auto [x, y] = MenuItemPoint(index);
    headless::Click(MainWindow(), x, y);
}

int LitMenuItem() {
    // A lit item is filled with the highlight colour.
    const uint32_t kLit = 0x000080;
    headless::Image bar = headless::ComposedImage(MainWindow());
    const int barHeight = bar.height - Place(MainWindow())[5];
    const int y = barHeight / 2 - 3; // above the text's baseline
    int first = -1;
    int last = -1;
    for (int x = 0; x < bar.width; ++x) {
        if (bar.At(x, y) == kLit) {
            first = first < 0 ? x : first;
            last = x;
        }
    }
    if (first < 0) {
        return kNothingLit;
    }
    if (last < barHeight) {
        return kSystemBox;
    }
    for (int i = 0; i < 3; ++i) {
        const int middle = MenuItemPoint(i).first;
        if (middle > first && middle < last) {
            return i;
        }
    }
    return kNothingLit;
}

headless::Image Picture(const char *name) {
    const zplat::Resource *r = zplat::FindResourceIn(GameModule(), zplat::RES_BITMAP, name);
    zplat::DecodedBitmap bitmap;
    return r != nullptr && zplat::DecodeBitmap(r->data, r->size, &bitmap)
               ? headless::Image{bitmap.width, bitmap.height, bitmap.pixels}
               : headless::Image{};
}

// The sprites are opaque: what they show is their colour image.
headless::Image Sprite(const char *name) {
    const zplat::Resource *r = zplat::FindResourceIn(GameModule(), zplat::RES_ICON, name);
    zplat::DecodedIcon icon;
    return r != nullptr && zplat::DecodeIcon(r->data, r->size, &icon)
               ? headless::Image{icon.width, icon.height, icon.color}
               : headless::Image{};
}

headless::Image Crop(const headless::Image &image, int x, int y, int w, int h) {
    headless::Image part{w, h, {}};
    for (int py = y; py < y + h; ++py) {
        for (int px = x; px < x + w; ++px) {
            part.pixels.push_back(image.At(px, py));
        }
    }
    return part;
}

bool Shows(const headless::Image &image, int x, int y, const headless::Image &picture) {
    if (picture.width == 0 || picture.height == 0) {
        return false;
    }
    for (int py = 0; py < picture.height && y + py < image.height; ++py) {
        for (int px = 0; px < picture.width && x + px < image.width; ++px) {
            if (image.At(x + px, y + py) != picture.At(px, py)) {
                return false;
            }
        }
    }
    return true;
}

bool MainShows(int x, int y, const headless::Image &picture) {
    return Shows(headless::ClientImage(MainWindow()), x, y, picture);
}

void SaveScreenshot(const headless::Image &image, const std::string &name) {
    std::filesystem::create_directories(ZORVAK_SCREENSHOT_DIR);
    EXPECT_TRUE(support::SavePng(image, std::string(ZORVAK_SCREENSHOT_DIR) + "/" + name + ".png"));
}

void SaveFullScreenScreenshot(const std::string &name, int scale) {
    const headless::Image composed = headless::ComposedImage(MainWindow());
    const std::string title = headless::ShownTitle(MainWindow());
    zplat::FullScreenScene scene;
    scene.pixels = composed.pixels.data();
    scene.width = composed.width;
    scene.height = composed.height;
    scene.clientY = composed.height - headless::ClientImage(MainWindow()).height;
    scene.title = title.c_str();
    scene.active = true;
    headless::Image picture;
    picture.width = composed.width;
    picture.height = zplat::FullScreenHeight(composed.height);
    picture.pixels.resize(size_t(picture.width) * picture.height);
    zplat::ComposeFullScreen(scene, zplat::Area{0, 0, picture.width, picture.height},
                             picture.pixels.data());
    headless::Image scaled;
    scaled.width = picture.width * scale;
    scaled.height = picture.height * scale;
    scaled.pixels.resize(size_t(scaled.width) * scaled.height);
    for (int y = 0; y < scaled.height; ++y) {
        for (int x = 0; x < scaled.width; ++x) {
            scaled.pixels[size_t(y) * scaled.width + x] = picture.At(x / scale, y / scale);
        }
    }
    SaveScreenshot(scaled, name);
}

} // namespace support
