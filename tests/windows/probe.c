/* What Windows itself says about the program's window of one class, for
 * the Wine smoke test: a console program run beside it on the same desktop.
 *
 *   probe.exe CLASS
 *
 * prints, one per line:
 *   found=0|1
 *   title=TEXT
 *   window=LEFT TOP WIDTH HEIGHT     the outer rectangle on the desktop
 *   client=LEFT TOP WIDTH HEIGHT     the client area, its corner on the desktop
 *   style=HEX                        GWL_STYLE
 *   active=0|1                       the window is the foreground window
 */
#include <stdio.h>
#include <windows.h>

int main(int argc, char **argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: probe.exe CLASS\n");
        return 2;
    }
    HWND window = FindWindowA(argv[1], NULL);
    printf("found=%d\n", window != NULL);
    if (window == NULL) {
        return 0;
    }
    char title[256] = "";
    GetWindowTextA(window, title, sizeof title);
    RECT outer;
    RECT client;
    POINT corner = {0, 0};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    ClientToScreen(window, &corner);
    printf("title=%s\n", title);
    printf("window=%ld %ld %ld %ld\n", outer.left, outer.top, outer.right - outer.left,
           outer.bottom - outer.top);
    printf("client=%ld %ld %ld %ld\n", corner.x, corner.y, client.right, client.bottom);
    printf("style=%08lx\n", (unsigned long)GetWindowLongA(window, GWL_STYLE));
    printf("active=%d\n", GetForegroundWindow() == window);
    return 0;
}
