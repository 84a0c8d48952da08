#include "shell/about_picture.h"

#include "platform/platform.h"
#include "presentation/window_services.h"
#include "shell/shell_state.h"

#include <cstring>

void MeasureAboutPicture(int *width, int *height) {
    *width = ABOUT_PICTURE_WIDTH;
    *height = ABOUT_PICTURE_HEIGHT;
    HBITMAP bitmap = LoadBitmapA(appInstance, "BMP_ABOUT");
    if (bitmap == NULL) {
        return;
    }
    BITMAP description;
    std::memset(&description, 0, sizeof description);
    if (GetObjectA(bitmap, sizeof description, &description) != 0 &&
        description.bmWidth >= ABOUT_PICTURE_MIN_WIDTH &&
        description.bmHeight >= ABOUT_PICTURE_MIN_HEIGHT) {
        *width = description.bmWidth;
        *height = description.bmHeight;
    }
    DeleteObject(bitmap);
}

// Integer half rounded toward minus infinity (an arithmetic shift in C++20).
static int HalfDown(int value) {
    return value >> 1;
}

void CentreOnDesktop(int width, int height, int *x, int *y) {
    RECT desktop;
    std::memset(&desktop, 0, sizeof desktop);
    GetWindowRect(GetDesktopWindow(), &desktop);
    *x = HalfDown(desktop.right) - HalfDown(width);
    *y = HalfDown(desktop.bottom) - HalfDown(height);
}
