#include "tests/support/game_window.h"

#include "platform/headless/headless.h"
#include "rules/update_object.h"
#include "world/game_state.h"

namespace support {

HWND MakeClientWindow(HINSTANCE module, const char *className, int width, int height) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = module;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = className;
    RegisterClassA(&wc);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    RECT rc = {0, 0, width, height};
    HWND w = NULL;
    for (int k = 0; k < 2; k++) { // the second time grown by the frame the platform added
        if (w != NULL) {
            DestroyWindow(w);
        }
        w = CreateWindowExA(0, className, className, style, 0, 0, 2 * width - rc.right,
                            2 * height - rc.bottom, NULL, NULL, module, NULL);
        GetClientRect(w, &rc);
    }
    return w;
}

namespace {

// The lowest active invader, or -1.
int Target() {
    int target = -1;
    for (int i = 1; i < OBJECT_SLOTS; i++) {
        const GameObject &o = objectTable[i];
        bool invader = o.kind == KIND_ALIEN || o.kind == KIND_KAMIKAZE || o.kind == KIND_CRAZY;
        if (invader && o.delay == 0 && (target < 0 || o.y > objectTable[target].y)) {
            target = i;
        }
    }
    return target;
}

void Type(HWND window, int vk) {
    headless::Key(window, vk);
    headless::KeyUp(window, vk);
}

} // namespace

void Hunt() {
    const int target = Target();
    if (target < 0) {
        return;
    }
    const int32_t tx = objectTable[target].x, sx = objectTable[0].x;
    if (tx < sx - 8) {
        SteerShipLeft();
    } else if (tx > sx + 8) {
        SteerShipRight();
    }
    if (tx > sx - 24 && tx < sx + 24) {
        fireRequested = 1;
    }
}

void HuntWithKeys(HWND window) {
    const int target = Target();
    if (target < 0 || objectTable[0].kind != KIND_SHIP) {
        return;
    }
    const int32_t tx = objectTable[target].x, sx = objectTable[0].x, dx = objectTable[0].dx;
    if (tx < sx - 8 && dx >= 0) {
        Type(window, VK_LEFT);
    } else if (tx > sx + 8 && dx <= 0) {
        Type(window, VK_RIGHT);
    }
    if (tx > sx - 24 && tx < sx + 24 && fireRequested == 0) {
        Type(window, VK_SPACE);
    }
}

} // namespace support
