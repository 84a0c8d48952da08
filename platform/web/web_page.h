// What the page does for the web backend: the functions of page.js, the
// JavaScript half of the backend (linked in with --js-library).  Windows are
// named by small numbers of the backend's choosing.
#ifndef ZORVAK_PLATFORM_WEB_PAGE_H
#define ZORVAK_PLATFORM_WEB_PAGE_H

#include <cstdint>

extern "C" {

// Milliseconds of the page's clock, counted from a fixed point in the past
// (so each visit seeds the game differently), never going back.
double zweb_page_now(void);
// The viewport the page offers the program's windows, in CSS pixels.
void zweb_page_viewport(int *width, int *height);

// The favicon and the icon of a minimised box while the program shows no
// picture of its own there: RGBA, width x height.
void zweb_page_set_icon(const uint8_t *rgba, int width, int height);

// A box on the page for a top-level window: a title bar above a canvas of
// width x height pixels.  x, y: where the program placed it on its desktop,
// which sets where later boxes stand relative to the first.
int zweb_page_create_window(int id, const char *title, int x, int y, int width, int height);
void zweb_page_destroy_window(int id);
void zweb_page_show_window(int id, int shown);
void zweb_page_set_title(int id, const char *title);
void zweb_page_minimize_window(int id);
void zweb_page_restore_window(int id);
// What the window's title bar offers: a caption at all, a close box, a
// minimise box.
void zweb_page_set_frame(int id, int caption, int closeBox, int minimizeBox);
// Gives the window's canvas the keyboard, if one of the program's windows
// has it now.
void zweb_page_focus_window(int id);
// Whether the page is hidden (another tab, a minimised browser): nothing is
// drawn while it is.
int zweb_page_hidden(void);
// Puts `count` boxes of a width x height image into the window's canvas:
// boxes holds x, y, width, height of each, rgba their pixels, each box row
// by row, one box after another.
void zweb_page_present(int id, const uint8_t *rgba, const int32_t *boxes, int count, int width,
                       int height);
// The minimised window's icon (32 x 32, RGBA) for its box and, for the main
// window, the favicon; rgba null: the program's own icon again.
void zweb_page_show_icon(int id, const uint8_t *rgba);

// Sleeps (the program's stack unwound by Asyncify, the page free) until the
// page has input or timeoutMs have passed; timeoutMs < 0: input only.
void zweb_page_wait(double timeoutMs);
// Takes the page's oldest input: fields[0] type (ZWEB_INPUT_*), [1] window
// id (0 for a key: the window with the keyboard), [2] virtual key, [3] Alt
// held (keys) or made by a finger (the left button's events), [4]
// auto-repeat, [5] x, [6] y (image pixels, for the left button's press,
// release and drag).  Returns 0 when there is none.
int zweb_page_next_input(int32_t *fields);

void zweb_page_message_box(const char *text, const char *caption);
void zweb_page_beep(void);
// The program has ended with this exit code.
void zweb_page_ended(int exitCode);

} // extern "C"

enum {
    ZWEB_INPUT_KEY = 1,
    ZWEB_INPUT_CLICK = 2,
    ZWEB_INPUT_MINIMIZE = 3,
    ZWEB_INPUT_RESTORE = 4,
    ZWEB_INPUT_CLOSE = 5,
    ZWEB_INPUT_KEY_UP = 6,
    ZWEB_INPUT_RELEASE = 7,
    ZWEB_INPUT_DRAG = 8,
    ZWEB_INPUT_FOCUS = 9,
    // The page is shown again: the backend's own, never the program's.
    ZWEB_INPUT_SHOWN = 10,
};

#endif
