// The application shell's own process-wide state: the flags and counters that
// pace the main window's timer, and the identifiers the windows share.
#ifndef ZORVAK_SHELL_SHELL_STATE_H
#define ZORVAK_SHELL_SHELL_STATE_H

#include "platform/platform.h"

#include <cstdint>

// Timers: the game's 50 ms beat on the main window, the About window's
// ten-second lifetime.
const UINT_PTR GAME_TIMER_ID = 1000;
const UINT GAME_TIMER_PERIOD = 50;
const UINT_PTR ABOUT_TIMER_ID = 1001;
const UINT ABOUT_TIMER_PERIOD = 10000;

// Menu commands of "MENU_1"; CMD_ABOUT is also the system-menu item.
const UINT CMD_NEW_GAME = 1000;
const UINT CMD_ABOUT = 1001;
const UINT CMD_QUIT = 1003;

// Size assumed for the About picture when "BMP_ABOUT" cannot be measured.
const int ABOUT_PICTURE_WIDTH = 453;
const int ABOUT_PICTURE_HEIGHT = 302;

// The next paint erases the objects and starts the game timer.
extern uint8_t needsFirstPaint;
// Set while the main window is minimised (from system commands only).
extern uint8_t isMinimized;
// Set while the About window exists.
extern uint8_t aboutOpen;
// Ticks of the attract loop and of the minimised animation; wraps at 256.
extern uint8_t attractTicks;
// Next attract picture: 0 game over, 1 introduction, 2 About.
extern int8_t attractStage;
// Alien frame (1..5) drawn while minimised, and its direction (+1 or -1).
extern int8_t minimizedFrame;
extern int8_t minimizedStep;

#endif
