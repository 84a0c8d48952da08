// The About window: the About picture in a small window of its own, centred
// on the desktop, which closes itself after ten seconds.
#include "platform/platform.h"
#include "presentation/playfield.h"
#include "presentation/window_services.h"
#include "shell/about_picture.h"
#include "shell/shell_state.h"
#include "shell/windows_shell.h"

void OpenAboutWindow() {
    if (aboutOpen) {
        return;
    }
    int width;
    int height;
    MeasureAboutPicture(&width, &height);
    height += 30;
    int x;
    int y;
    CentreOnDesktop(width, height, &x, &y);
    HWND window = CreateWindowExA(0, "CL_ABOUT_ZORVAK", "About Zorvak", WS_DLGFRAME, x, y, width,
                                  height, NULL, NULL, appInstance, NULL);
    if (window == NULL) {
        return;
    }
    ShowWindow(window, SW_SHOW);
}

LRESULT CALLBACK AboutWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        aboutOpen = 1;
        SetTimer(window, ABOUT_TIMER_ID, ABOUT_TIMER_PERIOD, NULL);
        break;
    case WM_DESTROY:
        aboutOpen = 0;
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        ShowBitmap(dc, 0, 0, "BMP_ABOUT");
        EndPaint(window, &paint);
        return 0;
    }
    case WM_TIMER:
        KillTimer(window, ABOUT_TIMER_ID);
        DestroyWindow(window);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
