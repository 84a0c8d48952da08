// The window handles that all drawing and the status line go through.
#ifndef ZORVAK_PRESENTATION_WINDOW_SERVICES_H
#define ZORVAK_PRESENTATION_WINDOW_SERVICES_H

#include "platform/platform.h"

// Valid only while a paint, a tick or a new game holds it.
extern HDC drawDC;
extern HINSTANCE appInstance;
extern HWND mainWindow;

#endif
