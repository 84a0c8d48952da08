#include "session.h"

#include "platform/core/resource_decode.h"
#include "presentation/sprites.h"
#include "presentation/window_services.h"
#include "shell/shell_state.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <type_traits>

namespace {
int destroyIconCalls = 0;
int postQuitMessageCalls = 0;
} // namespace

extern "C" {
BOOL WINAPI __real_DestroyIcon(HICON icon);
VOID WINAPI __real_PostQuitMessage(int exitCode);

BOOL WINAPI __wrap_DestroyIcon(HICON icon) {
    ++destroyIconCalls;
    return __real_DestroyIcon(icon);
}
VOID WINAPI __wrap_PostQuitMessage(int exitCode) {
    ++postQuitMessageCalls;
    __real_PostQuitMessage(exitCode);
}
}

namespace session {

int DestroyIconCalls() {
    return destroyIconCalls;
}
int PostQuitMessageCalls() {
    return postQuitMessageCalls;
}

namespace {

// Every process-wide value of the game and the shell.
// clang-format off
#define PROCESS_VALUES(X)                                                              \
    X(needsFirstPaint) X(isMinimized) X(aboutOpen) X(attractTicks) X(attractStage)     \
    X(minimizedFrame) X(minimizedStep) X(score) X(lives) X(nextBonusScore) X(gameOver) \
    X(clientWidth) X(clientHeight) X(level) X(enemyCount) X(objectCount)               \
    X(fireRequested) X(drawDC) X(appInstance) X(mainWindow)
// clang-format on

struct ProcessState {
#define DECLARE_VALUE(name) std::remove_reference_t<decltype(::name)> name;
    PROCESS_VALUES(DECLARE_VALUE)
#undef DECLARE_VALUE
    GameObject objects[OBJECT_SLOTS];
    HICON sprites[SPRITE_COUNT];
};

ProcessState CaptureState() {
    ProcessState state;
#define CAPTURE_VALUE(name) state.name = ::name;
    PROCESS_VALUES(CAPTURE_VALUE)
#undef CAPTURE_VALUE
    std::copy(objectTable, objectTable + OBJECT_SLOTS, state.objects);
    std::copy(spriteSet, spriteSet + SPRITE_COUNT, state.sprites);
    return state;
}

void RestoreState(const ProcessState &state) {
#define RESTORE_VALUE(name) ::name = state.name;
    PROCESS_VALUES(RESTORE_VALUE)
#undef RESTORE_VALUE
    std::copy(state.objects, state.objects + OBJECT_SLOTS, objectTable);
    std::copy(state.sprites, state.sprites + SPRITE_COUNT, spriteSet);
}

} // namespace

void StartFresh(uint64_t timeLimitMs) {
    // The values the program starts with, taken before the first session.
    static const ProcessState atStart = CaptureState();
    RestoreState(atStart);
    headless::Reset(kStart);
    headless::OnFailure([](const std::string &what) { ADD_FAILURE() << "backend: " << what; });
    headless::SetTimeLimit(kStart + timeLimitMs);
    destroyIconCalls = 0;
    postQuitMessageCalls = 0;
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

void NewGame() {
    headless::AltLetter(MainWindow(), 'N');
}
void Quit() {
    headless::AltLetter(MainWindow(), 'Q');
}

void ClickMenuItem(int index) {
    // The items are the runs of dark text on the bar, right of the system
    // box at its left end, with wide gaps between items.
    HWND window = MainWindow();
    headless::Image bar = headless::ComposedImage(window);
    RECT client = {0, 0, 0, 0};
    GetClientRect(window, &client);
    const int barHeight = bar.height - client.bottom;
    const int sysBox = barHeight;
    std::vector<std::pair<int, int>> items;
    int gap = 1000;
    for (int x = sysBox; x < bar.width; ++x) {
        bool text = false;
        for (int y = 1; y < barHeight - 1; ++y) {
            text = text || bar.At(x, y) == 0;
        }
        if (text) {
            if (gap > 8 || items.empty()) {
                items.push_back({x, x});
            }
            items.back().second = x;
            gap = 0;
        } else {
            ++gap;
        }
    }
    ASSERT_LT(size_t(index), items.size()) << "menu bar item not found";
    headless::Click(window, (items[size_t(index)].first + items[size_t(index)].second) / 2,
                    barHeight / 2);
}

void ChooseSystemMenuItem(char mnemonic) {
    HWND window = MainWindow();
    headless::Click(window, 5, 5); // the system box at the left end of the bar
    headless::Key(window, mnemonic);
}

headless::Image Picture(const char *name) {
    headless::Image image;
    const zplat::Resource *resource =
        zplat::FindResourceIn(zplat::GameModule(), zplat::RES_BITMAP, name);
    zplat::DecodedBitmap bitmap;
    if (resource != nullptr && zplat::DecodeBitmap(resource->data, resource->size, &bitmap)) {
        image.width = bitmap.width;
        image.height = bitmap.height;
        image.pixels = bitmap.pixels;
    }
    return image;
}

headless::Image Sprite(const char *name) {
    headless::Image image;
    const zplat::Resource *resource =
        zplat::FindResourceIn(zplat::GameModule(), zplat::RES_ICON, name);
    zplat::DecodedIcon icon;
    if (resource != nullptr && zplat::DecodeIcon(resource->data, resource->size, &icon)) {
        // The sprites are opaque: what they show is their colour image.
        image.width = icon.width;
        image.height = icon.height;
        image.pixels = icon.color;
    }
    return image;
}

headless::Image Crop(const headless::Image &image, int x, int y, int w, int h) {
    headless::Image part;
    part.width = w;
    part.height = h;
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

bool IsBlack(const headless::Image &image, int x, int y, int w, int h) {
    for (int py = y; py < y + h; ++py) {
        for (int px = x; px < x + w; ++px) {
            if (image.At(px, py) != 0) {
                return false;
            }
        }
    }
    return true;
}

std::vector<GameObject> Objects() {
    return std::vector<GameObject>(objectTable, objectTable + OBJECT_SLOTS);
}

bool SameObjects(const std::vector<GameObject> &a, const std::vector<GameObject> &b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        const GameObject &p = a[i];
        const GameObject &q = b[i];
        if (p.kind != q.kind ||
            (p.kind != KIND_FREE &&
             (p.energy != q.energy || p.x != q.x || p.y != q.y || p.dy != q.dy || p.dx != q.dx ||
              p.delay != q.delay || p.frame != q.frame || p.frameStep != q.frameStep ||
              p.cooldown != q.cooldown))) {
            return false;
        }
    }
    return true;
}

void SaveScreenshot(const headless::Image &image, const std::string &name) {
    std::filesystem::create_directories(ZORVAK_SCREENSHOT_DIR);
    EXPECT_TRUE(headless::SavePng(image, std::string(ZORVAK_SCREENSHOT_DIR) + "/" + name + ".png"));
}

} // namespace session
