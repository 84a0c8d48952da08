// Window classes and windows: creation with WM_CREATE inside it, geometry,
// showing, minimising, titles, destruction, and the default window procedure.
#include "platform/core/journal_hooks.h"
#include "platform/core/state.h"
#include "platform/module.h"
#include "platform/resource_decode.h"
#include "platform/window_inspection.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

namespace zplat {

namespace {

// The record Windows passes with WM_CREATE (lParam), same layout.
struct CreateStruct {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy, cx, y, x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
};

int FindClass(const char *name) {
    State &s = St();
    for (size_t i = 0; i < s.classes.size(); ++i) {
        if (strcasecmp(s.classes[i].name.c_str(), name) == 0) {
            return int(i);
        }
    }
    return -1;
}

HMENU LoadClassMenu(const WindowClass &cls) {
    if (cls.menuName.empty()) {
        return nullptr;
    }
    const Resource *res = FindResourceIn(cls.wc.hInstance, RES_MENU, cls.menuName.c_str());
    if (!res) {
        return nullptr;
    }
    std::vector<DecodedMenuItem> items;
    if (!DecodeMenu(res->data, res->size, &items)) {
        return nullptr;
    }
    auto menu = std::make_unique<Menu>();
    for (const auto &item : items) {
        menu->items.push_back(MenuItem{item.id, item.text, false});
    }
    return static_cast<HMENU>(NewHandle(HType::Menu, std::move(menu)));
}

// Menu mode and an open drop-down end with their window (hidden, minimised
// or destroyed).
void EndMenusOf(HWND hwnd) {
    if (St().dropDown.open && St().dropDown.window == hwnd) {
        CloseDropDown();
    }
    if (St().bar.on && St().bar.window == hwnd) {
        LeaveBarMode();
    }
}

void FreeWindowObjects(HWND hwnd, Window &w) {
    EndMenusOf(hwnd);
    FreeHandle(w.menuBar, HType::Menu);
    FreeHandle(w.systemMenu, HType::Menu);
    w.menuBar = nullptr;
    w.systemMenu = nullptr;
    ReleaseWindowDcs(hwnd);
    KillWindowTimers(hwnd);
}

void Minimize(HWND hwnd, Window &w) {
    if (w.minimized) {
        return;
    }
    w.minimized = true;
    EndMenusOf(hwnd);
    if (w.nativeMade) {
        CurrentBackend().MinimizeNativeWindow(hwnd);
    }
    MarkChanged(w);
}

void Restore(HWND hwnd, Window &w) {
    if (!w.minimized) {
        return;
    }
    w.minimized = false;
    if (w.nativeMade) {
        CurrentBackend().RestoreNativeWindow(hwnd);
    }
    // As after any uncovering: the whole client area is repainted.
    InvalidateClient(w, nullptr, true);
    MarkChanged(w);
}

// ShowWindow commands that show a window without making it the active one.
bool ShowsWithoutActivating(int command) {
    return command == SW_SHOWNA || command == SW_SHOWNOACTIVATE || command == SW_SHOWMINNOACTIVE ||
           command == SW_MINIMIZE;
}

} // namespace

void FocusWindow(HWND hwnd, bool tellDesktop) {
    State &s = St();
    // A key released after the focus came is no tap.
    s.altTap = false;
    s.f10Tap = false;
    if (s.focus == hwnd) {
        return;
    }
    s.focus = hwnd;
    if (tellDesktop && hwnd) {
        CurrentBackend().FocusNativeWindow(hwnd);
    }
}

void MoveFocusFrom(HWND gone) {
    State &s = St();
    if (s.focus != gone) {
        return;
    }
    // As Windows activates the next top-level window: the newest one still
    // shown, a minimised one only when nothing else is left.
    HWND next = nullptr;
    for (HWND hwnd : ListWindows()) {
        Window *w = GetWindow(hwnd);
        if (hwnd != gone && w->visible && (!next || !w->minimized || GetWindow(next)->minimized)) {
            next = hwnd;
        }
    }
    s.focus = nullptr;
    FocusWindow(next, true);
}

const WindowClass &ClassOf(const Window &w) {
    return St().classes[w.classIndex];
}

void InvalidateClient(Window &w, const Box *area, bool erase) {
    Box all{0, 0, w.clientW, w.clientH};
    Box box = area ? area->Intersect(all) : all;
    if (box.Empty()) {
        return;
    }
    w.update = w.update.Union(box);
    if (erase) {
        w.erasePending = true;
    }
}

void MarkChanged(Window &w) {
    w.changed = true;
    w.changedBoxes.count = 0;
    AddChangedBox(w.changedBoxes, Box{0, 0, w.clientW, w.clientH + w.MenuHeight()});
}

void MarkChanged(HWND hwnd) {
    if (Window *w = GetWindow(hwnd)) {
        MarkChanged(*w);
    }
}

void MarkChanged(HWND hwnd, const Box &clientArea) {
    Window *w = GetWindow(hwnd);
    if (!w || clientArea.Empty()) {
        return;
    }
    const int bar = w->MenuHeight();
    w->changed = true;
    AddChangedBox(w->changedBoxes, Box{clientArea.left, clientArea.top + bar, clientArea.right,
                                       clientArea.bottom + bar});
}

HWND FirstWindowToPaint() {
    HWND first = nullptr;
    uint64_t firstSerial = 0;
    for (size_t i = 1; i < HandleSlots(); ++i) {
        HWND hwnd = static_cast<HWND>(HandleAt(i, HType::Window));
        Window *w = GetWindow(hwnd);
        if (w && !w->destroying && w->visible && !w->update.Empty() &&
            (!first || w->serial < firstSerial)) {
            first = hwnd;
            firstSerial = w->serial;
        }
    }
    return first;
}

std::vector<HWND> ListWindows() {
    std::vector<std::pair<uint64_t, HWND>> found;
    for (void *h : HandlesOf(HType::Window)) {
        Window *w = GetWindow(static_cast<HWND>(h));
        if (w && !w->destroying) {
            found.emplace_back(w->serial, static_cast<HWND>(h));
        }
    }
    std::sort(found.begin(), found.end());
    std::vector<HWND> out;
    for (auto &f : found) {
        out.push_back(f.second);
    }
    return out;
}

bool GetWindowInfo(HWND hwnd, WindowInfo *info) {
    Window *w = GetWindow(hwnd);
    if (!w || !info) {
        return false;
    }
    info->className = ClassOf(*w).name;
    info->title = w->title;
    info->visible = w->visible;
    info->minimized = w->minimized;
    info->clientWidth = w->clientW;
    info->clientHeight = w->clientH;
    info->menuBarHeight = w->MenuHeight();
    info->dropDownOpen = St().dropDown.open && St().dropDown.window == hwnd;
    return true;
}

HWND KeyboardFocus() {
    return St().focus;
}

bool CopyClientImage(HWND hwnd, std::vector<uint32_t> *pixels, int *width, int *height) {
    Window *w = GetWindow(hwnd);
    if (!w) {
        return false;
    }
    pixels->assign(w->Client(), w->Client() + size_t(w->clientW) * size_t(w->clientH));
    *width = w->clientW;
    *height = w->clientH;
    return true;
}

bool CopyComposedImage(HWND hwnd, std::vector<uint32_t> *pixels, int *width, int *height) {
    Window *w = GetWindow(hwnd);
    if (!w) {
        return false;
    }
    const uint32_t *composed = ComposeWindow(*w, hwnd);
    pixels->assign(composed, composed + size_t(w->clientW) * size_t(w->clientH + w->MenuHeight()));
    *width = w->clientW;
    *height = w->clientH + w->MenuHeight();
    return true;
}

} // namespace zplat

using namespace zplat;

extern "C" {

ATOM WINAPI RegisterClassA(const WNDCLASSA *lpWndClass) {
    if (!lpWndClass || !lpWndClass->lpszClassName || IS_INTRESOURCE(lpWndClass->lpszClassName) ||
        !lpWndClass->lpfnWndProc || lpWndClass->cbClsExtra < 0 || lpWndClass->cbWndExtra < 0) {
        return 0;
    }
    State &s = ReadyState();
    if (lpWndClass->lpszClassName[0] == '\0' || FindClass(lpWndClass->lpszClassName) >= 0) {
        return 0;
    }
    WindowClass cls;
    cls.name = lpWndClass->lpszClassName;
    cls.wc = *lpWndClass;
    if (lpWndClass->lpszMenuName && !IS_INTRESOURCE(lpWndClass->lpszMenuName)) {
        cls.menuName = lpWndClass->lpszMenuName;
    }
    // The strings are copied; the record must not point at the caller's.
    cls.wc.lpszClassName = nullptr;
    cls.wc.lpszMenuName = nullptr;
    cls.atom = ATOM(0xC000 + s.classes.size());
    s.classes.push_back(cls);
    return s.classes.back().atom;
}

HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle,
                            int X, int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                            HINSTANCE hInstance, LPVOID lpParam) {
    State &s = ReadyState();
    if (!lpClassName || IS_INTRESOURCE(lpClassName)) {
        return nullptr;
    }
    int classIndex = FindClass(lpClassName);
    if (classIndex < 0) {
        return nullptr;
    }
    const WindowClass &cls = s.classes[size_t(classIndex)];

    auto win = std::make_unique<Window>();
    Window &w = *win;
    w.classIndex = size_t(classIndex);
    w.title = lpWindowName ? lpWindowName : "";
    w.proc = cls.wc.lpfnWndProc;
    w.style = dwStyle;
    w.x = X;
    w.y = Y;
    w.width = nWidth < 0 ? 0 : nWidth;
    w.height = nHeight < 0 ? 0 : nHeight;
    w.serial = ++s.windowSerial;
    HWND hwnd = static_cast<HWND>(NewHandle(HType::Window, std::move(win)));
    if (!hwnd) {
        return nullptr;
    }

    // The menu comes from the class (programs here never pass one).
    w.menuBar = LoadClassMenu(cls);
    w.barHeight = w.menuBar ? kMenuBarHeight : 0;
    if (Menu *m = GetMenu(w.menuBar)) {
        m->owner = hwnd;
    }
    int clientW = w.width - 2 * kFrameWidth;
    int clientH = w.height - 2 * kFrameWidth - kCaptionHeight - w.MenuHeight();
    w.clientW = clientW < 0 ? 0 : clientW;
    w.clientH = clientH < 0 ? 0 : clientH;
    w.image.assign(size_t(w.clientW) * size_t(w.clientH + w.barHeight), 0x000000);

    // A window the record says could not be made is not asked for.
    const bool made = !ProgramWindowRefused() &&
                      CurrentBackend().CreateNativeWindow(hwnd, w.title.c_str(), X, Y, w.clientW,
                                                          w.clientH + w.MenuHeight());
    ProgramWindowMade(hwnd, made);
    if (!made) {
        FreeWindowObjects(hwnd, w);
        FreeHandle(hwnd, HType::Window);
        return nullptr;
    }
    w.nativeMade = true;
    CurrentBackend().SetNativeStyle(hwnd, dwStyle);

    CreateStruct cs{lpParam, hInstance, hMenu,         hWndParent,   nHeight,     nWidth,
                    Y,       X,         LONG(dwStyle), lpWindowName, lpClassName, dwExStyle};
    LRESULT r = SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs));
    if (r == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    // The procedure may have destroyed the window itself.
    return GetWindow(hwnd) ? hwnd : nullptr;
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
    Window *w = GetWindow(hWnd);
    if (!w) {
        return FALSE;
    }
    BOOL wasVisible = w->visible ? TRUE : FALSE;
    bool show = nCmdShow != SW_HIDE;
    if (show && !w->visible) {
        w->visible = true;
        // Shown, a window becomes the active one and takes the keyboard; the
        // desktop focuses a newly shown window by itself.
        if (!ShowsWithoutActivating(nCmdShow)) {
            FocusWindow(hWnd, false);
        }
        CurrentBackend().ShowNativeWindow(hWnd, true);
        InvalidateClient(*w, nullptr, true);
        MarkChanged(*w);
    } else if (!show && w->visible) {
        w->visible = false;
        EndMenusOf(hWnd);
        MoveFocusFrom(hWnd);
        CurrentBackend().ShowNativeWindow(hWnd, false);
    }
    if (nCmdShow == SW_MINIMIZE || nCmdShow == SW_SHOWMINIMIZED) {
        Minimize(hWnd, *w);
    } else if (nCmdShow == SW_RESTORE || nCmdShow == SW_SHOWNORMAL) {
        Restore(hWnd, *w);
    }
    return wasVisible;
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
    NoteDrawing(hWnd);
    Window *w = GetWindow(hWnd);
    if (!w || w->destroying) {
        return FALSE;
    }
    w->destroying = true;
    EndMenusOf(hWnd);
    // The keyboard goes to the window that remains before this one hears
    // of its end, as on Windows.
    MoveFocusFrom(hWnd);
    SendMessageA(hWnd, WM_DESTROY, 0, 0);
    w = GetWindow(hWnd);
    if (!w) {
        return TRUE;
    }
    FreeWindowObjects(hWnd, *w);
    if (w->nativeMade) {
        CurrentBackend().DestroyNativeWindow(hWnd);
    }
    FreeHandle(hWnd, HType::Window);
    return TRUE;
}

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    Window *w = GetWindow(hWnd);
    if (!w) {
        return 0;
    }
    switch (Msg) {
    case WM_CLOSE:
        DestroyWindow(hWnd);
        return 0;
    case WM_ERASEBKGND: {
        HDC hdc = reinterpret_cast<HDC>(wParam);
        Dc *dc = GetDc(hdc);
        HBRUSH brush = ClassOf(*w).wc.hbrBackground;
        Brush *b = GetBrush(brush);
        if (!dc || !b || b->hollow) {
            return 0;
        }
        FillWithBrush(hdc, Box{0, 0, w->clientW, w->clientH}, brush);
        return 1;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        if (BeginPaint(hWnd, &ps)) {
            EndPaint(hWnd, &ps);
        }
        return 0;
    }
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            SendMessageA(hWnd, WM_CLOSE, 0, 0);
            break;
        case SC_MINIMIZE:
            Minimize(hWnd, *w);
            break;
        case SC_RESTORE:
            Restore(hWnd, *w);
            break;
        case SC_KEYMENU:
            if (lParam == 0) {
                // An Alt tap or F10: menu mode on the bar, first item lit.
                EnterBarMode(hWnd, 0, false);
            } else if (lParam == ' ') {
                if (w->style & WS_SYSMENU) {
                    OpenSystemMenu(hWnd);
                }
            } else if (lParam > ' ' && lParam < 0x7F) {
                if (!MenuBarMnemonic(hWnd, char(lParam))) {
                    MessageBeep(0);
                }
            }
            break;
        default:
            // Moving is the desktop's; sizing and maximising do not apply
            // to these fixed-size windows.
            break;
        }
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        // An Alt tap is Alt down and up with no other key between; F10 alone
        // does the same.  Alt+F4 closes the window, system menu or not.
        State &s = St();
        bool altHeld = (DWORD(lParam) & (DWORD(1) << 29)) != 0;
        bool repeat = (DWORD(lParam) & (DWORD(1) << 30)) != 0;
        if (Msg == WM_SYSKEYDOWN && wParam == VK_MENU) {
            if (!repeat) {
                s.altTap = true;
            }
            s.f10Tap = false;
        } else {
            s.altTap = false;
            s.f10Tap = Msg == WM_SYSKEYDOWN && wParam == VK_F10;
        }
        if (Msg == WM_SYSKEYDOWN && wParam == VK_F4 && altHeld) {
            Post(hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        return 0;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        State &s = St();
        bool tap = (wParam == VK_MENU && s.altTap) || (wParam == VK_F10 && s.f10Tap);
        s.altTap = false;
        s.f10Tap = false;
        if (tap) {
            SendMessageA(hWnd, WM_SYSCOMMAND, SC_KEYMENU, 0);
        }
        return 0;
    }
    case WM_SYSCHAR:
        return SendMessageA(hWnd, WM_SYSCOMMAND, SC_KEYMENU, LPARAM(wParam));
    default:
        return 0;
    }
}

BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString) {
    Window *w = GetWindow(hWnd);
    if (!w) {
        return FALSE;
    }
    w->title = lpString ? lpString : "";
    NoteTitle(hWnd, w->title);
    if (w->nativeMade) {
        CurrentBackend().SetNativeTitle(hWnd, ShownTitle(hWnd, w->title).c_str());
    }
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
    if (!lpRect) {
        return FALSE;
    }
    if (TypeOf(hWnd) == HType::Desktop) {
        int width = 0, height = 0;
        ProgramDesktopSize(&width, &height);
        *lpRect = RECT{0, 0, width, height};
        return TRUE;
    }
    Window *w = GetWindow(hWnd);
    if (!w) {
        return FALSE;
    }
    *lpRect = RECT{0, 0, w->clientW, w->clientH};
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
    if (!lpRect) {
        return FALSE;
    }
    if (TypeOf(hWnd) == HType::Desktop) {
        return GetClientRect(hWnd, lpRect);
    }
    Window *w = GetWindow(hWnd);
    if (!w) {
        return FALSE;
    }
    *lpRect = RECT{w->x, w->y, w->x + w->width, w->y + w->height};
    return TRUE;
}

} // extern "C"
