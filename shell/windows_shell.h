// The application shell: start-up, the main window and the About window.
#ifndef ZORVAK_SHELL_WINDOWS_SHELL_H
#define ZORVAK_SHELL_WINDOWS_SHELL_H

#include "platform/platform.h"

// Registers "CL_ZORVAK" and "CL_ABOUT_ZORVAK"; the second class's atom, or 0
// when either registration fails.
ATOM RegisterClasses(HINSTANCE instance);
// Creates, centres and shows the main window; 1 on success, 0 on failure.
int CreateMainWindow(HINSTANCE instance, int showCommand);

// The main window: game state, keys, menu, the game timer.
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Opens the About window unless one is already open.
void OpenAboutWindow();
LRESULT CALLBACK AboutWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
