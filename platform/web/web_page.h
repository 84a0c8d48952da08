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
// The window's title and, beside it, the platform's notice (empty: none).
void zweb_page_set_title(int id, const char *title, const char *notice);
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

// ---- The kept games (page_store.js) ----

// The length in bytes of the text the page keeps under `key`, or -1 when it
// keeps none; zweb_page_stored_read copies it (size bytes) to out.
int zweb_page_stored_length(const char *key);
void zweb_page_stored_read(const char *key, char *out, int size);
// The table under `key` does not read (fault says why): the page keeps it
// under another key and says so; returns that key's name in out (at most
// size bytes with its terminating zero).
void zweb_page_set_aside(const char *key, const char *fault, char *out, int size);
// Keeps a game: the replay file (size bytes) under replayName, then the
// table's text; the replays named in dropped (one per line) are deleted.
// Storage that is full or refused costs a console line and a word on the
// page, and nothing half kept stays.  notice: a line to show, or empty.
void zweb_page_keep_game(const char *table, const char *replayName, const uint8_t *file, int size,
                         const char *dropped, const char *notice);
// A game that could not be kept at all (why).
void zweb_page_not_kept(const char *why);

// ---- Watching a replay (page_watch.js) ----

// The length of the replay the page asks the program to watch (a stored
// game, a shared link, a dropped file), or -1 when there is none;
// zweb_page_replay_take copies it (size bytes) and forgets it.
int zweb_page_replay_length(void);
void zweb_page_replay_take(uint8_t *out, int size);
// The replay the page offered does not read: ReadReplay's message.
void zweb_page_replay_refused(const char *why);
// Watching began (1) or ended (0): the page shows or hides its controls.
void zweb_page_watching(int watching);

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
    // The backend's own, never the program's: the page is shown again; the
    // page lost the player (hidden, or the focus gone); it offers a replay
    // to watch (zweb_page_replay_length); it asks for a tick of the replay
    // being watched (field 5); it leaves the replay.
    ZWEB_INPUT_SHOWN = 10,
    ZWEB_INPUT_ABSENT = 11,
    ZWEB_INPUT_WATCH = 12,
    ZWEB_INPUT_SEEK = 13,
    ZWEB_INPUT_LEAVE = 14,
};

#endif
