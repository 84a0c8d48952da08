// The main window: it drives the whole game from its 50 ms timer, repaints
// the playfield, turns keys into ship commands and runs the menu commands.
#include "platform/platform.h"
#include "presentation/playfield.h"
#include "presentation/sprites.h"
#include "presentation/window_services.h"
#include "rules/game_tick.h"
#include "rules/new_game.h"
#include "rules/update_object.h"
#include "shell/shell_state.h"
#include "shell/windows_shell.h"
#include "world/game_state.h"
#include "world/init_object.h"

// Every full-size picture sits just inside the left wall.
static const int PICTURE_X = 32;
static const int PICTURE_Y = 0;

// A game runs from New game until its last life is lost and its table has
// emptied.
static bool GameRunning() {
    return lives != 0 || objectCount != 0;
}

static void OnCreate() {
    SeedRandom(GetTickCount());
    LoadSprites();
    needsFirstPaint = 1;
    isMinimized = 0;
    gameOver = 0;
    lives = 0;
    ResetObjects();
}

// The shutdown, run by Quit and by the window's destruction.  Quit leaves the
// window alive: the loop ends on the quit message and the window goes away
// with the program, without another message reaching this procedure.
static void ShutDown(HWND window) {
    KillTimer(window, GAME_TIMER_ID);
    FreeSprites();
    PostQuitMessage(0);
}

static void OnPaint(HWND window) {
    PAINTSTRUCT paint;
    drawDC = BeginPaint(window, &paint);
    if (drawDC == NULL) {
        MessageBeep(0xFFFFFFFF);
    }
    RECT client;
    client.right = 0;
    client.bottom = 0;
    GetClientRect(window, &client);
    clientWidth = client.right;
    clientHeight = client.bottom;
    if (needsFirstPaint) {
        EraseObjects();
        enemyCount = 0;
        needsFirstPaint = 0;
        SetTimer(window, GAME_TIMER_ID, GAME_TIMER_PERIOD, NULL);
    }
    DrawPlayfield(drawDC);
    if (!GameRunning()) {
        ShowBitmap(drawDC, PICTURE_X, PICTURE_Y, "BMP_INTRO");
    }
    EndPaint(window, &paint);
    drawDC = NULL;
}

static void OnNewGame(HWND window) {
    drawDC = GetDC(window);
    SetMapMode(drawDC, MM_TEXT);
    SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(drawDC), 0);
    EraseObjects();
    DrawPlayfield(drawDC);
    ResetTableForNewGame();
    ReleaseDC(window, drawDC);
    drawDC = NULL;
    StartNewGame();
}

// The animated alien that stands in for the window's icon while minimised:
// frames 1..5 and back, each drawn on two ticks out of four.
static void AnimateMinimized() {
    uint8_t ticks = attractTicks;
    attractTicks = static_cast<uint8_t>(ticks + 1);
    if ((ticks & 2) == 0) {
        return;
    }
    DrawIcon(drawDC, 0, 0, spriteSet[IC_ALIEN1 + minimizedFrame - 1]);
    minimizedFrame = static_cast<int8_t>(minimizedFrame + minimizedStep);
    if (minimizedFrame > 5 || minimizedFrame < 1) {
        minimizedStep = static_cast<int8_t>(-minimizedStep);
        minimizedFrame = static_cast<int8_t>(minimizedFrame + minimizedStep);
    }
}

// Between games: a new picture every 256 ticks, game over (only after a lost
// game), then the introduction, then the About picture.
static void AttractStep() {
    if (attractTicks == 0) {
        switch (attractStage) {
        case 0:
            attractStage = 1;
            if (gameOver) {
                ShowBitmap(drawDC, PICTURE_X, PICTURE_Y, "BMP_GAMEOVER");
            }
            break;
        case 1:
            attractStage = 2;
            ShowBitmap(drawDC, PICTURE_X, PICTURE_Y, "BMP_INTRO");
            break;
        case 2:
            attractStage = 0;
            ShowBitmap(drawDC, PICTURE_X, PICTURE_Y, "BMP_ABOUT");
            break;
        default:
            break;
        }
    }
    attractTicks = static_cast<uint8_t>(attractTicks + 1);
}

static void OnTimer(HWND window) {
    drawDC = GetDC(window);
    SetMapMode(drawDC, MM_TEXT);
    if (isMinimized) {
        AnimateMinimized();
    } else if (aboutOpen) {
        // The game and the attract loop wait for the About window.
    } else if (!GameRunning()) {
        AttractStep();
    } else {
        GameTick();
        attractTicks = 0;
        attractStage = 0;
    }
    ReleaseDC(window, drawDC);
    drawDC = NULL;
}

// Keys act whatever the game state; other keys go to the default handling.
static bool OnKeyDown(WPARAM key) {
    switch (key) {
    case VK_RETURN:
    case VK_SPACE:
        fireRequested = 1;
        return true;
    case VK_LEFT:
        SteerShipLeft();
        return true;
    case VK_RIGHT:
        SteerShipRight();
        return true;
    default:
        return false;
    }
}

// The system's own commands may carry flags in their low four bits (a
// restore by double-click arrives as SC_RESTORE | 2, for instance), so they
// are compared without those; our About item is compared whole.
static void OnSystemCommand(WPARAM code) {
    WPARAM command = code & 0xFFF0;
    if (code == CMD_ABOUT) {
        OpenAboutWindow();
    } else if (command == SC_MINIMIZE) {
        isMinimized = 1;
    } else if (command == SC_SIZE || command == SC_MAXIMIZE || command == SC_RESTORE) {
        isMinimized = 0;
    }
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_DESTROY:
        ShutDown(window);
        return 0;
    case WM_PAINT:
        OnPaint(window);
        return 0;
    case WM_KEYDOWN:
        if (OnKeyDown(wParam)) {
            return 0;
        }
        break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case CMD_NEW_GAME:
            OnNewGame(window);
            break;
        case CMD_ABOUT:
            OpenAboutWindow();
            break;
        case CMD_QUIT:
            ShutDown(window);
            break;
        default:
            break;
        }
        break;
    case WM_SYSCOMMAND:
        OnSystemCommand(wParam);
        break;
    case WM_TIMER:
        OnTimer(window);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
