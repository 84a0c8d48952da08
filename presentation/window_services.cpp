// The process-wide window handles of the game.
#include "presentation/window_services.h"

HDC drawDC = NULL;
HINSTANCE appInstance = NULL;
HWND mainWindow = NULL;
