// The platform core's own state: the handle table and every object behind a
// handle (windows, device contexts, bitmaps, icons, brushes, menus), the
// message queue and the timers.  Internal to platform/core.
#ifndef ZORVAK_PLATFORM_CORE_STATE_H
#define ZORVAK_PLATFORM_CORE_STATE_H

#include "platform/backend.h"
#include "platform/core/changed_boxes.h"
#include "platform/platform.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace zplat {

// ---- Geometry ------------------------------------------------------------

// The nominal frame that the layer reserves around a top-level window.
constexpr int kFrameWidth = 3;
constexpr int kCaptionHeight = 19;
constexpr int kMenuBarHeight = 19;

// 0x00BBGGRR (COLORREF) <-> 0x00RRGGBB (framebuffers).
inline uint32_t RgbFromColorref(COLORREF c) {
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
inline COLORREF ColorrefFromRgb(uint32_t p) {
    return ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
}

// ---- Objects behind handles ------------------------------------------------

enum class HType : uint8_t { None, Window, Desktop, Dc, Bitmap, Icon, Cursor, Brush, Menu };

struct Object {
    virtual ~Object() = default;
};

struct MenuItem {
    UINT id = 0;
    std::string text; // with '&' mnemonic marks; "\t" separates an accelerator label
    bool separator = false;
};

struct Menu : Object {
    std::vector<MenuItem> items;
    HWND owner = nullptr;
    bool system = false;
};

constexpr int kBarNeverDrawn = -1000;

struct Window : Object {
    size_t classIndex = 0;
    std::string title;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    int x = 0, y = 0, width = 0, height = 0; // outer rectangle
    int clientW = 0, clientH = 0;
    HMENU menuBar = nullptr; // from the class, drawn above the client area
    HMENU systemMenu = nullptr;
    bool nativeMade = false;
    bool visible = false;
    bool minimized = false;
    bool destroying = false;
    // The menu-bar rows, then the client framebuffer (clientW * clientH,
    // 0x00RRGGBB): one buffer, so that presenting copies nothing.
    std::vector<uint32_t> image;
    int barHeight = 0; // fixed at creation
    // How the menu bar was drawn last (its lit item, its system box open):
    // it is drawn again only when that changes.  kBarNeverDrawn at first.
    int barLook = kBarNeverDrawn;
    Box update; // invalid area, client coordinates
    bool erasePending = false;
    bool changed = false;      // something shown differs from the last Present
    ChangedBoxes changedBoxes; // where, in composed-image pixels
    std::vector<uint32_t> composed;
    uint64_t serial = 0; // creation order
    int MenuHeight() const { return barHeight; }
    uint32_t *Client() { return image.data() + size_t(barHeight) * size_t(clientW); }
};

struct Bitmap : Object {
    int width = 0, height = 0;
    int bitsPixel = 32; // 1: monochrome (pixels are black or white)
    std::vector<uint32_t> pixels;
    HDC selectedInto = nullptr;
    bool stock = false;
};

struct Dc : Object {
    enum Kind { WindowDc, PaintDc, MemoryDc } kind = WindowDc;
    HWND window = nullptr;
    Box clip; // window DCs: client coordinates
    HBITMAP bitmap = nullptr;
    HBRUSH brush = nullptr;
    int mapMode = MM_TEXT;
};

struct Icon : Object {
    int width = 0, height = 0;
    std::vector<uint32_t> color;    // the XOR image
    std::vector<uint8_t> mask;      // the AND mask: 1 keeps the destination
    std::vector<uint8_t> rowOpaque; // per row: no mask bit set, so the row is copied whole
};

struct Cursor : Object {};

struct Brush : Object {
    bool hollow = false;
    uint32_t rgb = 0;
    bool stock = false;
};

struct Slot {
    HType type = HType::None;
    uint32_t gen = 0;
    std::unique_ptr<Object> object;
};

// ---- Classes, queue, timers -----------------------------------------------

struct WindowClass {
    std::string name;
    std::string menuName;
    WNDCLASSA wc{};
    ATOM atom = 0;
};

struct QueuedMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct Timer {
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    UINT period = 0;
    uint64_t next = 0;  // next deadline, backend milliseconds
    bool ready = false; // one WM_TIMER is pending
    TIMERPROC proc = nullptr;
};

struct DropDown {
    bool open = false;
    HWND window = nullptr;
    HMENU menu = nullptr;
    int highlight = -1;
    int x = 0, y = 0;      // composed-image position
    bool tracking = false; // the left button is down: its release chooses
    bool fromBar = false;  // opened from the menu bar by keyboard: Escape goes back there
};

// Menu mode on a window's menu bar: an item is highlighted and the keyboard
// belongs to the menu (Alt tap, F10), or the left button went down on an item
// and its release decides.
constexpr int kSysBoxItem = -1; // the system menu's box at the bar's left end
constexpr int kNoItem = -2;
struct BarMode {
    bool on = false;
    HWND window = nullptr;
    int item = kNoItem;
    bool tracking = false; // the left button is down
};

struct State {
    std::vector<Slot> slots{1}; // slot 0 is never used: handle 0 is null
    std::vector<size_t> freeSlots;
    std::vector<std::unique_ptr<Object>> spareDcs; // freed device contexts
    std::vector<WindowClass> classes;
    std::deque<QueuedMessage> posted;
    std::deque<InputEvent> input;
    // Input the backend handed in since the last decision point of the
    // loop (journal.cpp takes it in there).
    std::deque<InputEvent> arrived;
    std::vector<Timer> timers;
    bool quitPending = false;
    int quitCode = 0;
    uint64_t windowSerial = 0;
    DropDown dropDown;
    BarMode bar;
    HWND focus = nullptr; // the window that has the keyboard
    bool altTap = false;  // Alt went down and nothing else since
    bool f10Tap = false;  // F10 went down and nothing else since
    HWND desktop = nullptr;
    HBRUSH stockBrushes[6] = {};
    HBITMAP stockBitmap = nullptr; // the 1 x 1 bitmap of a fresh memory DC
    HCURSOR arrow = nullptr;
    UINT_PTR nextTimerId = 0x7000;

    ~State();
};

State &St();
// The state with its stock objects and desktop made (after a shutdown too).
State &ReadyState();

// ---- Handle table ------------------------------------------------------------

void *NewHandle(HType type, std::unique_ptr<Object> object);
Object *Lookup(const void *handle, HType type);
bool FreeHandle(const void *handle, HType type);
HType TypeOf(const void *handle);
// Every live handle of a type, in slot order.
std::vector<void *> HandlesOf(HType type);
// The live handle in table slot `index` (from 1 to HandleSlots() - 1), or
// null.  Loops that run on every tick walk the table with these, as they
// must not allocate.
size_t HandleSlots();
void *HandleAt(size_t index, HType type);
// A freed object of the type, kept for reuse, or null.  Device contexts are
// taken and released on every tick; their objects are recycled.
std::unique_ptr<Object> ReuseObject(HType type);

template <class T> T *Get(const void *handle, HType type) {
    return static_cast<T *>(Lookup(handle, type));
}
inline Window *GetWindow(HWND h) {
    return Get<Window>(h, HType::Window);
}
inline Dc *GetDc(HDC h) {
    return Get<Dc>(h, HType::Dc);
}
inline Bitmap *GetBitmap(HBITMAP h) {
    return Get<Bitmap>(h, HType::Bitmap);
}
inline Icon *GetIcon(HICON h) {
    return Get<Icon>(h, HType::Icon);
}
inline Menu *GetMenu(HMENU h) {
    return Get<Menu>(h, HType::Menu);
}
inline Brush *GetBrush(HBRUSH h) {
    return Get<Brush>(h, HType::Brush);
}

// ---- Shared between the core's files ------------------------------------------

// Makes the stock objects of a fresh state.
void MakeStockObjects(State &s);
// The window's class record.
const WindowClass &ClassOf(const Window &w);
// Invalidates part of a client area (nullptr: all of it).
void InvalidateClient(Window &w, const Box *area, bool erase);
// Fills a box of a DC with a brush, clipped.
void FillWithBrush(HDC hdc, const Box &box, HBRUSH brush);
// Frees the window DCs that belong to a window.
void ReleaseWindowDcs(HWND hwnd);
void KillWindowTimers(HWND hwnd);
// Posts a message to the queue.
void Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Marks a window as needing a Present: all of it, or a part of its client
// area (client coordinates) that was drawn on.
void MarkChanged(HWND hwnd);
void MarkChanged(Window &w);
void MarkChanged(HWND hwnd, const Box &clientArea);
// The visible window with an invalid area that was created first, or null.
HWND FirstWindowToPaint();

// Menus: the default system menu, layout, drawing and input.
HMENU MakeSystemMenu(HWND owner);
// The composed image: menu bar, client area and an open drop-down.
const uint32_t *ComposeWindow(Window &w, HWND hwnd);
// Keys and pointer events while a menu has them (a drop-down open, menu
// mode on the bar), and presses on the bar.  Return true when the menus used
// the event: it then never reaches the window procedure.
bool MenuTakesKey(const InputEvent &e);
bool MenuTakesPointer(HWND hwnd, const InputEvent &e);
// Drop-downs (menu.cpp).
void OpenSystemMenu(HWND hwnd, bool fromBar = false, bool tracking = false);
void CloseDropDown();
bool DropDownTakesKey(const InputEvent &e);
bool DropDownTakesPointer(HWND hwnd, const InputEvent &e);
// The menu bar (menu_bar.cpp).
void DrawMenuBar(Window &w, HWND hwnd);
void EnterBarMode(HWND hwnd, int item, bool tracking);
void LeaveBarMode();
bool BarTakesKey(const InputEvent &e);
bool BarTakesPointer(HWND hwnd, const InputEvent &e);
// Alt+letter on the menu bar: posts WM_COMMAND; false when no item has it.
bool MenuBarMnemonic(HWND hwnd, char letter);
// The WM_COMMAND of an InputEvent::BarCommand, open menus closed first;
// false when there is no such item.
bool BarCommandMessage(const InputEvent &e, MSG *msg);
// The command of the bar item at a composed-image point of the window; 0
// when there is none (off the bar, the system box).
UINT MenuBarCommandAt(HWND hwnd, int x, int y);

// Keyboard focus (window.cpp): the window that had it goes away, so it moves
// to the newest remaining visible window, on the desktop too.
void MoveFocusFrom(HWND gone);
// The window takes the focus (shown, or clicked); tellDesktop: also ask the
// backend to move the desktop's keyboard focus.
void FocusWindow(HWND hwnd, bool tellDesktop);

// Text in the layer's small bitmap font.
int TextWidth(const std::string &text); // '&' marks are not counted
void DrawText(uint32_t *pixels, int width, int height, int x, int y, const std::string &text,
              uint32_t rgb, bool underlineMnemonic);

// The default backend when none was installed: a desktop with no display.
Backend &NoDisplayBackend();

} // namespace zplat

#endif
