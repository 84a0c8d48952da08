// Start-up: the window classes, the main window and the message loop.
#include "platform/platform.h"
#include "presentation/window_services.h"
#include "shell/about_picture.h"
#include "shell/shell_state.h"
#include "shell/windows_shell.h"

// Style of the main window: dialog frame, system menu and minimise box, so it
// can be moved and minimised but neither resized nor maximised.
static const DWORD MAIN_WINDOW_STYLE = WS_DLGFRAME | WS_SYSMENU | WS_MINIMIZEBOX;

// Failures that end the program before its loop are answered with a beep and
// a message box; the program still exits with 0.
static int StartFailure(LPCSTR text) {
    MessageBeep(0xFFFFFFFF);
    MessageBoxA(NULL, text, "ERROR", MB_OK);
    return 0;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int showCommand) {
    if (previous == NULL && RegisterClasses(instance) == 0) {
        return StartFailure("Unable to start Zorvak");
    }
    if (CreateMainWindow(instance, showCommand) == 0) {
        return StartFailure("Unable to start this instance of Zorvak");
    }
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) != 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return int(message.wParam);
}

ATOM RegisterClasses(HINSTANCE instance) {
    WNDCLASSA mainClass;
    mainClass.style = CS_VREDRAW | CS_HREDRAW;
    mainClass.lpfnWndProc = MainWndProc;
    mainClass.cbClsExtra = 0;
    mainClass.cbWndExtra = 0;
    mainClass.hInstance = instance;
    mainClass.hIcon = NULL;
    mainClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    mainClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    mainClass.lpszMenuName = "MENU_1";
    mainClass.lpszClassName = "CL_ZORVAK";
    if (LOWORD(RegisterClassA(&mainClass)) == 0) {
        return 0;
    }

    WNDCLASSA aboutClass = mainClass;
    aboutClass.lpfnWndProc = AboutWndProc;
    aboutClass.lpszMenuName = NULL;
    aboutClass.lpszClassName = "CL_ABOUT_ZORVAK";
    return LOWORD(RegisterClassA(&aboutClass));
}

int CreateMainWindow(HINSTANCE instance, int) {
    // The creation handler loads the sprites from appInstance, so it is set
    // before the window exists.
    appInstance = instance;

    int pictureWidth;
    int pictureHeight;
    MeasureAboutPicture(&pictureWidth, &pictureHeight);
    int width = pictureWidth + 64;
    int height = pictureHeight + 72;
    int x;
    int y;
    CentreOnDesktop(width, height, &x, &y);

    HWND window = CreateWindowExA(0, "CL_ZORVAK", "ZORVAK", MAIN_WINDOW_STYLE, x, y, width, height,
                                  NULL, NULL, appInstance, NULL);
    if (window == NULL) {
        return 0;
    }
    mainWindow = window;

    HMENU systemMenu = GetSystemMenu(window, FALSE);
    DeleteMenu(systemMenu, SC_MAXIMIZE, MF_BYCOMMAND);
    DeleteMenu(systemMenu, SC_SIZE, MF_BYCOMMAND);
    AppendMenuA(systemMenu, MF_SEPARATOR, 0, NULL);
    AppendMenuA(systemMenu, MF_STRING, CMD_ABOUT, "&About Zorvak");

    ShowWindow(window, SW_SHOW);
    return 1;
}
