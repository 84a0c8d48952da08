// Keeps the Windows subset of platform/platform.h honest.
//
// This file is compiled twice: natively, against the declarations that
// platform.h makes outside Windows, and with the i686 mingw-w64 compiler,
// where platform.h is <windows.h> itself.  Every type, constant and call that
// platform.h declares is checked here in a way that compiles on both sides
// only if the two agree: exact function pointer types, constant values,
// record layouts.  Nothing here runs; the compiler is the test.
#include "platform/platform.h"

#include <cstddef>
#include <type_traits>

namespace {

template <typename A, typename B> constexpr bool kSame = std::is_same_v<A, B>;
template <typename T, size_t Size, bool Signed>
constexpr bool kInt = sizeof(T) == Size &&std::is_integral_v<T> &&std::is_signed_v<T> == Signed;
// Pointers, pairwise distinct and not convertible into one another.
template <typename T, typename... Rest> constexpr bool Distinct() {
    if constexpr (sizeof...(Rest) == 0) {
        return std::is_pointer_v<T>;
    } else {
        return std::is_pointer_v<T> && (!std::is_convertible_v<T, Rest> && ...) &&
               (!std::is_convertible_v<Rest, T> && ...) && Distinct<Rest...>();
    }
}

constexpr size_t kPtr = sizeof(void *);

// ---- Types ---------------------------------------------------------------

static_assert(kInt<BYTE, 1, false> && kInt<WORD, 2, false> && kInt<DWORD, 4, false> &&
              kInt<LONG, 4, true> && kInt<UINT, 4, false>);
static_assert(kSame<INT, int> && kSame<BOOL, int> && kSame<CHAR, char> && kSame<VOID, void>);
static_assert(kSame<ATOM, WORD> && kSame<COLORREF, DWORD>);
static_assert(kSame<LPSTR, CHAR *> && kSame<LPCSTR, const CHAR *>);
static_assert(kSame<LPVOID, void *> && kSame<HANDLE, void *> && kSame<HGDIOBJ, void *>);
// Pointer-sized message parameters: wParam unsigned, lParam and results signed.
static_assert(kInt<UINT_PTR, kPtr, false> && kInt<ULONG_PTR, kPtr, false> &&
              kInt<LONG_PTR, kPtr, true>);
static_assert(kSame<WPARAM, UINT_PTR> && kSame<LPARAM, LONG_PTR> && kSame<LRESULT, LONG_PTR>);
// Handles: distinct types, the GDI ones usable as GDI objects.
static_assert(Distinct<HWND, HDC, HICON, HBITMAP, HMENU, HINSTANCE, HBRUSH>());
static_assert(std::is_convertible_v<HBITMAP, HGDIOBJ> && std::is_convertible_v<HBRUSH, HGDIOBJ> &&
              std::is_convertible_v<HBITMAP, HANDLE>);
static_assert(kSame<HCURSOR, HICON> && kSame<HMODULE, HINSTANCE>);
static_assert(kSame<WNDPROC, LRESULT(CALLBACK *)(HWND, UINT, WPARAM, LPARAM)>);
static_assert(kSame<TIMERPROC, VOID(CALLBACK *)(HWND, UINT, UINT_PTR, DWORD)>);

// ---- Records: field offsets and sizes, on 32 and 64 bits -------------------

static_assert(sizeof(RECT) == 16 && offsetof(RECT, left) == 0 && offsetof(RECT, top) == 4 &&
              offsetof(RECT, right) == 8 && offsetof(RECT, bottom) == 12);
static_assert(sizeof(POINT) == 8 && offsetof(POINT, x) == 0 && offsetof(POINT, y) == 4);
static_assert(kSame<LPRECT, RECT *> && kSame<LPMSG, MSG *> && kSame<LPPAINTSTRUCT, PAINTSTRUCT *>);

static_assert(offsetof(MSG, hwnd) == 0 && offsetof(MSG, message) == kPtr &&
              offsetof(MSG, wParam) == 2 * kPtr && offsetof(MSG, lParam) == 3 * kPtr &&
              offsetof(MSG, time) == 4 * kPtr && offsetof(MSG, pt) == 4 * kPtr + 4 &&
              sizeof(MSG) == (kPtr == 4 ? 28 : 48));

using WC = WNDCLASSA;
using PS = PAINTSTRUCT;
static_assert(offsetof(WC, style) == 0 && offsetof(WC, lpfnWndProc) == kPtr &&
              offsetof(WC, cbClsExtra) == 2 * kPtr && offsetof(WC, cbWndExtra) == 2 * kPtr + 4 &&
              offsetof(WC, hInstance) == 2 * kPtr + 8 && offsetof(WC, hIcon) == 3 * kPtr + 8 &&
              offsetof(WC, hCursor) == 4 * kPtr + 8 &&
              offsetof(WC, hbrBackground) == 5 * kPtr + 8 &&
              offsetof(WC, lpszMenuName) == 6 * kPtr + 8 &&
              offsetof(WC, lpszClassName) == 7 * kPtr + 8 &&
              sizeof(WNDCLASSA) == (kPtr == 4 ? 40 : 72));

static_assert(offsetof(PS, hdc) == 0 && offsetof(PS, fErase) == kPtr &&
              offsetof(PS, rcPaint) == kPtr + 4 && offsetof(PS, fRestore) == kPtr + 20 &&
              offsetof(PS, fIncUpdate) == kPtr + 24 && offsetof(PS, rgbReserved) == kPtr + 28 &&
              sizeof(PS::rgbReserved) == 32 && sizeof(PAINTSTRUCT) == (kPtr == 4 ? 64 : 72));

// The game asks GetObjectA for 24 bytes: the whole record on 32-bit Windows.
static_assert(offsetof(BITMAP, bmType) == 0 && offsetof(BITMAP, bmWidth) == 4 &&
              offsetof(BITMAP, bmHeight) == 8 && offsetof(BITMAP, bmWidthBytes) == 12 &&
              offsetof(BITMAP, bmPlanes) == 16 && offsetof(BITMAP, bmBitsPixel) == 18 &&
              offsetof(BITMAP, bmBits) == (kPtr == 4 ? 20 : 24) &&
              sizeof(BITMAP) == (kPtr == 4 ? 24 : 32));

// ---- Constants and computing macros -----------------------------------------

static_assert(FALSE == 0 && TRUE == 1);
static_assert(WM_CREATE == 0x0001 && WM_DESTROY == 0x0002 && WM_PAINT == 0x000F &&
              WM_CLOSE == 0x0010 && WM_QUIT == 0x0012 && WM_ERASEBKGND == 0x0014 &&
              WM_KEYDOWN == 0x0100 && WM_KEYUP == 0x0101 && WM_CHAR == 0x0102 &&
              WM_SYSKEYDOWN == 0x0104 && WM_SYSKEYUP == 0x0105 && WM_SYSCHAR == 0x0106 &&
              WM_COMMAND == 0x0111 && WM_SYSCOMMAND == 0x0112 && WM_TIMER == 0x0113 &&
              WM_MOUSEMOVE == 0x0200 && WM_LBUTTONDOWN == 0x0201 && WM_LBUTTONUP == 0x0202);
static_assert(SC_SIZE == 0xF000 && SC_MOVE == 0xF010 && SC_MINIMIZE == 0xF020 &&
              SC_MAXIMIZE == 0xF030 && SC_CLOSE == 0xF060 && SC_KEYMENU == 0xF100 &&
              SC_RESTORE == 0xF120);
static_assert(VK_RETURN == 0x0D && VK_MENU == 0x12 && VK_PAUSE == 0x13 && VK_ESCAPE == 0x1B &&
              VK_SPACE == 0x20 && VK_LEFT == 0x25 && VK_UP == 0x26 && VK_RIGHT == 0x27 &&
              VK_DOWN == 0x28 && VK_F1 == 0x70 && VK_F4 == 0x73 && VK_F10 == 0x79 &&
              VK_F12 == 0x7B && VK_END == 0x23 && VK_HOME == 0x24 && VK_ADD == 0x6B &&
              VK_SUBTRACT == 0x6D && VK_OEM_PLUS == 0xBB && VK_OEM_MINUS == 0xBD);
static_assert(MF_STRING == 0 && MF_BYCOMMAND == 0 && MF_BYPOSITION == 0x0400 &&
              MF_SEPARATOR == 0x0800);
static_assert(WS_OVERLAPPED == 0 && WS_CAPTION == 0x00C00000 && WS_DLGFRAME == 0x00400000 &&
              WS_SYSMENU == 0x00080000 && WS_THICKFRAME == 0x00040000 &&
              WS_MINIMIZEBOX == 0x00020000 && WS_MAXIMIZEBOX == 0x00010000);
static_assert(CS_VREDRAW == 0x0001 && CS_HREDRAW == 0x0002);
static_assert(SW_HIDE == 0 && SW_SHOWNORMAL == 1 && SW_SHOWMINIMIZED == 2 &&
              SW_SHOWNOACTIVATE == 4 && SW_SHOW == 5 && SW_MINIMIZE == 6 &&
              SW_SHOWMINNOACTIVE == 7 && SW_SHOWNA == 8 && SW_RESTORE == 9 && SW_SHOWDEFAULT == 10);
static_assert(BLACK_BRUSH == 4 && SRCCOPY == 0x00CC0020 && MM_TEXT == 1 && MB_OK == 0 &&
              CLR_INVALID == 0xFFFFFFFF);
static_assert(kSame<decltype(IDC_ARROW), LPSTR> && kSame<decltype(MAKEINTRESOURCEA(1)), LPSTR>);
static_assert(RGB(0x12, 0x34, 0x56) == 0x00563412 && RGB(255, 255, 255) == 0x00FFFFFF);
static_assert(LOWORD(0x12345678) == 0x5678 && HIWORD(0x12345678) == 0x1234 &&
              LOWORD(-1) == 0xFFFF && HIWORD(-1) == 0xFFFF);
static_assert(kSame<decltype(LOWORD(0)), WORD> && kSame<decltype(HIWORD(0)), WORD>);

// ---- Every call, by its exact type ------------------------------------------

#define ZORVAK_SAME_SIGNATURE(function, type)                                                      \
    static_assert(kSame<decltype(&function), type>, #function " differs from <windows.h>")

// APIENTRY and WINAPI are the same calling convention.
ZORVAK_SAME_SIGNATURE(WinMain, int(APIENTRY *)(HINSTANCE, HINSTANCE, LPSTR, int));
ZORVAK_SAME_SIGNATURE(RegisterClassA, ATOM(WINAPI *)(const WNDCLASSA *));
ZORVAK_SAME_SIGNATURE(CreateWindowExA, HWND(WINAPI *)(DWORD, LPCSTR, LPCSTR, DWORD, int, int, int,
                                                      int, HWND, HMENU, HINSTANCE, LPVOID));
ZORVAK_SAME_SIGNATURE(ShowWindow, BOOL(WINAPI *)(HWND, int));
ZORVAK_SAME_SIGNATURE(DestroyWindow, BOOL(WINAPI *)(HWND));
ZORVAK_SAME_SIGNATURE(DefWindowProcA, LRESULT(WINAPI *)(HWND, UINT, WPARAM, LPARAM));
ZORVAK_SAME_SIGNATURE(SetWindowTextA, BOOL(WINAPI *)(HWND, LPCSTR));
ZORVAK_SAME_SIGNATURE(GetClientRect, BOOL(WINAPI *)(HWND, LPRECT));
ZORVAK_SAME_SIGNATURE(GetWindowRect, BOOL(WINAPI *)(HWND, LPRECT));
ZORVAK_SAME_SIGNATURE(GetDesktopWindow, HWND(WINAPI *)(void));
ZORVAK_SAME_SIGNATURE(LoadCursorA, HCURSOR(WINAPI *)(HINSTANCE, LPCSTR));
ZORVAK_SAME_SIGNATURE(GetSystemMenu, HMENU(WINAPI *)(HWND, BOOL));
ZORVAK_SAME_SIGNATURE(DeleteMenu, BOOL(WINAPI *)(HMENU, UINT, UINT));
ZORVAK_SAME_SIGNATURE(AppendMenuA, BOOL(WINAPI *)(HMENU, UINT, UINT_PTR, LPCSTR));
ZORVAK_SAME_SIGNATURE(GetMessageA, BOOL(WINAPI *)(LPMSG, HWND, UINT, UINT));
ZORVAK_SAME_SIGNATURE(TranslateMessage, BOOL(WINAPI *)(const MSG *));
ZORVAK_SAME_SIGNATURE(DispatchMessageA, LRESULT(WINAPI *)(const MSG *));
ZORVAK_SAME_SIGNATURE(SendMessageA, LRESULT(WINAPI *)(HWND, UINT, WPARAM, LPARAM));
ZORVAK_SAME_SIGNATURE(PostQuitMessage, VOID(WINAPI *)(int));
ZORVAK_SAME_SIGNATURE(SetTimer, UINT_PTR(WINAPI *)(HWND, UINT_PTR, UINT, TIMERPROC));
ZORVAK_SAME_SIGNATURE(KillTimer, BOOL(WINAPI *)(HWND, UINT_PTR));
ZORVAK_SAME_SIGNATURE(BeginPaint, HDC(WINAPI *)(HWND, LPPAINTSTRUCT));
ZORVAK_SAME_SIGNATURE(EndPaint, BOOL(WINAPI *)(HWND, const PAINTSTRUCT *));
ZORVAK_SAME_SIGNATURE(GetDC, HDC(WINAPI *)(HWND));
ZORVAK_SAME_SIGNATURE(ReleaseDC, int(WINAPI *)(HWND, HDC));
ZORVAK_SAME_SIGNATURE(CreateCompatibleDC, HDC(WINAPI *)(HDC));
ZORVAK_SAME_SIGNATURE(DeleteDC, BOOL(WINAPI *)(HDC));
ZORVAK_SAME_SIGNATURE(SelectObject, HGDIOBJ(WINAPI *)(HDC, HGDIOBJ));
ZORVAK_SAME_SIGNATURE(DeleteObject, BOOL(WINAPI *)(HGDIOBJ));
ZORVAK_SAME_SIGNATURE(GetObjectA, int(WINAPI *)(HANDLE, int, LPVOID));
ZORVAK_SAME_SIGNATURE(GetStockObject, HGDIOBJ(WINAPI *)(int));
ZORVAK_SAME_SIGNATURE(SetMapMode, int(WINAPI *)(HDC, int));
ZORVAK_SAME_SIGNATURE(BitBlt, BOOL(WINAPI *)(HDC, int, int, int, int, HDC, int, int, DWORD));
ZORVAK_SAME_SIGNATURE(SetPixel, COLORREF(WINAPI *)(HDC, int, int, COLORREF));
ZORVAK_SAME_SIGNATURE(DrawIcon, BOOL(WINAPI *)(HDC, int, int, HICON));
ZORVAK_SAME_SIGNATURE(LoadIconA, HICON(WINAPI *)(HINSTANCE, LPCSTR));
ZORVAK_SAME_SIGNATURE(DestroyIcon, BOOL(WINAPI *)(HICON));
ZORVAK_SAME_SIGNATURE(LoadBitmapA, HBITMAP(WINAPI *)(HINSTANCE, LPCSTR));
ZORVAK_SAME_SIGNATURE(MessageBeep, BOOL(WINAPI *)(UINT));
ZORVAK_SAME_SIGNATURE(MessageBoxA, int(WINAPI *)(HWND, LPCSTR, LPCSTR, UINT));
ZORVAK_SAME_SIGNATURE(GetTickCount, DWORD(WINAPI *)(void));

#undef ZORVAK_SAME_SIGNATURE

// Callbacks written the way the game writes them, and the one macro that
// cannot be evaluated at compile time.
LRESULT CALLBACK CheckWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (IS_INTRESOURCE(IDC_ARROW) && !IS_INTRESOURCE("name") && message == WM_COMMAND) {
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
VOID CALLBACK CheckTimerProc(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
}

} // namespace

extern const WNDPROC zorvakCheckWndProc;
extern const TIMERPROC zorvakCheckTimerProc;
const WNDPROC zorvakCheckWndProc = CheckWndProc;
const TIMERPROC zorvakCheckTimerProc = CheckTimerProc;
