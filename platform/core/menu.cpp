// Menus: the system menu model and its drop-down, drawn as an overlay over
// the composed image (it never touches the client framebuffer), and the
// menu calls.  The bar itself is in menu_bar.cpp.  A drop-down item is chosen
// with Enter or Space, its mnemonic, or a button release over it, and posts
// WM_SYSCOMMAND.
#include "platform/core/menu_look.h"
#include "platform/core/state.h"

namespace zplat {

namespace {

constexpr int kRowHeight = 16; // a drop-down item
constexpr int kSeparatorHeight = 8;
constexpr int kBorder = 3;
constexpr int kDropLeftPad = 16;
constexpr int kDropRightPad = 12;
constexpr int kAccelGap = 20;

std::string LabelOf(const std::string &text) {
    return text.substr(0, text.find('\t'));
}
std::string AccelOf(const std::string &text) {
    size_t tab = text.find('\t');
    return tab == std::string::npos ? std::string() : text.substr(tab + 1);
}

bool ItemEnabled(const Window &w, const Menu &menu, const MenuItem &item) {
    if (item.separator) {
        return false;
    }
    if (!menu.system) {
        return true;
    }
    switch (item.id) {
    case SC_RESTORE:
        return w.minimized;
    case SC_MINIMIZE:
        return !w.minimized && (w.style & WS_MINIMIZEBOX);
    case SC_MAXIMIZE:
        return (w.style & WS_MAXIMIZEBOX) != 0;
    case SC_SIZE:
        return !w.minimized && (w.style & WS_THICKFRAME);
    default:
        return true;
    }
}

struct DropLayout {
    int x = 0, y = 0, width = 0, height = 0;
    std::vector<int> top; // of each item, composed coordinates
};

DropLayout LayoutDropDown(const Menu &menu, int x, int y) {
    DropLayout l;
    l.x = x;
    l.y = y;
    int label = 0, accel = 0;
    for (const MenuItem &item : menu.items) {
        if (item.separator) {
            continue;
        }
        label = std::max(label, TextWidth(LabelOf(item.text)));
        accel = std::max(accel, TextWidth(AccelOf(item.text)));
    }
    l.width = 2 * kBorder + kDropLeftPad + label + (accel ? kAccelGap + accel : 0) + kDropRightPad;
    l.width = std::max(l.width, 100);
    int pen = y + kBorder;
    for (const MenuItem &item : menu.items) {
        l.top.push_back(pen);
        pen += item.separator ? kSeparatorHeight : kRowHeight;
    }
    l.height = pen + kBorder - y;
    return l;
}

int DropItemAt(const DropLayout &l, const Menu &menu, int x, int y) {
    if (x < l.x + kBorder || x >= l.x + l.width - kBorder) {
        return -1;
    }
    for (size_t i = 0; i < menu.items.size(); ++i) {
        int h = menu.items[i].separator ? kSeparatorHeight : kRowHeight;
        if (y >= l.top[i] && y < l.top[i] + h) {
            return int(i);
        }
    }
    return -1;
}

void DrawDropDown(const Painter &p, const Window &w, const Menu &menu, const DropDown &d) {
    DropLayout l = LayoutDropDown(menu, d.x, d.y);
    int x0 = l.x, y0 = l.y, x1 = l.x + l.width, y1 = l.y + l.height;
    p.Fill(x0, y0, x1, y1, kFace);
    // Raised 3-D border: light top and left, shadow and dark bottom and right.
    p.Fill(x0, y0, x1 - 1, y0 + 1, kFace);
    p.Fill(x0 + 1, y0 + 1, x1 - 2, y0 + 2, kLight);
    p.Fill(x0 + 1, y0 + 1, x0 + 2, y1 - 2, kLight);
    p.Fill(x1 - 2, y0 + 1, x1 - 1, y1 - 1, kShadow);
    p.Fill(x0 + 1, y1 - 2, x1 - 1, y1 - 1, kShadow);
    p.Fill(x1 - 1, y0, x1, y1, kDark);
    p.Fill(x0, y1 - 1, x1, y1, kDark);
    for (size_t i = 0; i < menu.items.size(); ++i) {
        const MenuItem &item = menu.items[i];
        int top = l.top[i];
        if (item.separator) {
            p.Fill(x0 + kBorder, top + 3, x1 - kBorder, top + 4, kShadow);
            p.Fill(x0 + kBorder, top + 4, x1 - kBorder, top + 5, kLight);
            continue;
        }
        bool enabled = ItemEnabled(w, menu, item);
        bool lit = int(i) == d.highlight;
        if (lit) {
            p.Fill(x0 + kBorder, top, x1 - kBorder, top + kRowHeight, kHighlight);
        }
        uint32_t color = lit ? kHighlightText : enabled ? kText : kGrayText;
        if (!enabled && !lit) {
            DrawText(p.pixels, p.width, p.height, x0 + kBorder + kDropLeftPad + 1, top + 5,
                     LabelOf(item.text), kLight, true);
        }
        DrawText(p.pixels, p.width, p.height, x0 + kBorder + kDropLeftPad, top + 4,
                 LabelOf(item.text), color, true);
        std::string accel = AccelOf(item.text);
        if (!accel.empty()) {
            DrawText(p.pixels, p.width, p.height, x1 - kBorder - kDropRightPad - TextWidth(accel),
                     top + 4, accel, color, false);
        }
    }
}

void Choose(HWND hwnd, const Menu &menu, int index) {
    const MenuItem item = menu.items[size_t(index)];
    bool system = menu.system;
    CloseDropDown();
    Post(hwnd, system ? WM_SYSCOMMAND : WM_COMMAND, item.id, 0);
}

void MoveHighlight(const Window &w, const Menu &menu, DropDown &d, int step) {
    int n = int(menu.items.size());
    if (n == 0) {
        return;
    }
    int i = d.highlight;
    for (int tries = 0; tries < n; ++tries) {
        i = ((i < 0 ? (step > 0 ? -1 : 0) : i) + step + n) % n;
        if (ItemEnabled(w, menu, menu.items[size_t(i)])) {
            d.highlight = i;
            return;
        }
    }
}

// The open drop-down's window and menu; closes it when either is gone.
bool OpenDropDown(Window **w, Menu **menu) {
    DropDown &d = St().dropDown;
    if (!d.open) {
        return false;
    }
    *w = GetWindow(d.window);
    *menu = GetMenu(d.menu);
    if (!*w || !*menu) {
        CloseDropDown();
        return false;
    }
    return true;
}

} // namespace

HMENU MakeSystemMenu(HWND owner) {
    auto menu = std::make_unique<Menu>();
    menu->owner = owner;
    menu->system = true;
    menu->items = {
        {SC_RESTORE, "&Restore", false},     {SC_MOVE, "&Move", false},
        {SC_SIZE, "&Size", false},           {SC_MINIMIZE, "Mi&nimize", false},
        {SC_MAXIMIZE, "Ma&ximize", false},   {0, "", true},
        {SC_CLOSE, "&Close\tAlt+F4", false},
    };
    return static_cast<HMENU>(NewHandle(HType::Menu, std::move(menu)));
}

const uint32_t *ComposeWindow(Window &w, HWND hwnd) {
    DrawMenuBar(w, hwnd);
    const DropDown &d = St().dropDown;
    if (!(d.open && d.window == hwnd)) {
        return w.image.data();
    }
    // A drop-down is drawn over a copy: the client framebuffer stays as it is.
    w.composed = w.image;
    if (Menu *menu = GetMenu(d.menu)) {
        DrawDropDown(Painter{w.composed.data(), w.clientW, w.clientH + w.MenuHeight()}, w, *menu,
                     d);
    }
    return w.composed.data();
}

void CloseDropDown() {
    DropDown &d = St().dropDown;
    if (d.open) {
        MarkChanged(d.window);
    }
    d = DropDown{};
}

void OpenSystemMenu(HWND hwnd, bool fromBar, bool tracking) {
    Window *w = GetWindow(hwnd);
    if (!w || !(w->style & WS_SYSMENU)) {
        return;
    }
    HMENU sys = GetSystemMenu(hwnd, FALSE);
    Menu *menu = GetMenu(sys);
    if (!menu) {
        return;
    }
    CloseDropDown();
    LeaveBarMode();
    DropDown &d = St().dropDown;
    d.open = true;
    d.window = hwnd;
    d.menu = sys;
    d.x = 0;
    d.y = w->MenuHeight();
    d.highlight = -1;
    d.fromBar = fromBar;
    d.tracking = tracking;
    // Opened by keyboard, the first item is lit; by mouse, what the pointer
    // is on.
    if (!tracking) {
        MoveHighlight(*w, *menu, d, 1);
    }
    MarkChanged(*w);
}

bool MenuTakesKey(const InputEvent &e) {
    return DropDownTakesKey(e) || BarTakesKey(e);
}

bool MenuTakesPointer(HWND hwnd, const InputEvent &e) {
    return DropDownTakesPointer(hwnd, e) || BarTakesPointer(hwnd, e);
}

bool DropDownTakesKey(const InputEvent &e) {
    Window *w;
    Menu *menu;
    if (!OpenDropDown(&w, &menu)) {
        return false;
    }
    DropDown &d = St().dropDown;
    HWND hwnd = d.window;
    if (e.type == InputEvent::KeyUp) {
        return true;
    }
    switch (e.vk) {
    case VK_UP:
        MoveHighlight(*w, *menu, d, -1);
        break;
    case VK_DOWN:
        MoveHighlight(*w, *menu, d, 1);
        break;
    case VK_LEFT:
    case VK_RIGHT:
        // From the system box, the bar's neighbouring items.
        if (d.fromBar && GetMenu(w->menuBar)) {
            CloseDropDown();
            EnterBarMode(hwnd, kSysBoxItem, false);
            return BarTakesKey(e);
        }
        break;
    case VK_RETURN:
    case VK_SPACE:
        if (d.highlight >= 0 && ItemEnabled(*w, *menu, menu->items[size_t(d.highlight)])) {
            Choose(hwnd, *menu, d.highlight);
        }
        break;
    case VK_ESCAPE: {
        bool back = d.fromBar;
        CloseDropDown();
        if (back) {
            EnterBarMode(hwnd, kSysBoxItem, false);
        }
        break;
    }
    case VK_MENU:
    case VK_F10:
        CloseDropDown();
        break;
    default:
        if (char want = MnemonicKey(e.vk)) {
            for (size_t i = 0; i < menu->items.size(); ++i) {
                const MenuItem &item = menu->items[i];
                if (MnemonicOf(item.text) == want && ItemEnabled(*w, *menu, item)) {
                    Choose(hwnd, *menu, int(i));
                    break;
                }
            }
        }
        break;
    }
    MarkChanged(hwnd);
    return true;
}

bool DropDownTakesPointer(HWND hwnd, const InputEvent &e) {
    Window *w;
    Menu *menu;
    if (!OpenDropDown(&w, &menu)) {
        return false;
    }
    DropDown &d = St().dropDown;
    DropLayout l = LayoutDropDown(*menu, d.x, d.y);
    bool same = d.window == hwnd;
    bool inside = same && e.x >= l.x && e.x < l.x + l.width && e.y >= l.y && e.y < l.y + l.height;
    int i = inside ? DropItemAt(l, *menu, e.x, e.y) : -1;
    bool choosable = i >= 0 && ItemEnabled(*w, *menu, menu->items[size_t(i)]);
    bool onBox = same && HasSysBox(*w) && GetMenu(w->menuBar) && e.x >= 0 && e.x < kSysBoxWidth &&
                 e.y >= 0 && e.y < w->MenuHeight();
    switch (e.type) {
    case InputEvent::Click:
        if (inside) {
            d.tracking = true;
            d.highlight = choosable ? i : -1;
        } else {
            // Outside (the box that opened it included): closed, nothing more.
            CloseDropDown();
        }
        break;
    case InputEvent::Drag:
        if (d.tracking) {
            d.highlight = choosable ? i : -1;
        }
        break;
    case InputEvent::Release:
        if (!d.tracking) {
            break;
        }
        d.tracking = false;
        if (choosable) {
            Choose(hwnd, *menu, i);
        } else if (!inside && !onBox) {
            // Dragged off the menu: nothing chosen, the menu goes.
            CloseDropDown();
        }
        break;
    default:
        return false;
    }
    MarkChanged(d.window);
    return true;
}

} // namespace zplat

using namespace zplat;

extern "C" {

HMENU WINAPI GetSystemMenu(HWND hWnd, BOOL bRevert) {
    Window *w = GetWindow(hWnd);
    if (!w || !(w->style & WS_SYSMENU)) {
        return nullptr;
    }
    if (bRevert) {
        if (St().dropDown.open && St().dropDown.menu == w->systemMenu) {
            CloseDropDown();
        }
        FreeHandle(w->systemMenu, HType::Menu);
        w->systemMenu = nullptr;
        return nullptr;
    }
    if (!GetMenu(w->systemMenu)) {
        w->systemMenu = MakeSystemMenu(hWnd);
    }
    return w->systemMenu;
}

BOOL WINAPI DeleteMenu(HMENU hMenu, UINT uPosition, UINT uFlags) {
    Menu *menu = GetMenu(hMenu);
    if (!menu) {
        return FALSE;
    }
    size_t index = menu->items.size();
    if (uFlags & MF_BYPOSITION) {
        index = uPosition;
    } else {
        for (size_t i = 0; i < menu->items.size(); ++i) {
            if (!menu->items[i].separator && menu->items[i].id == uPosition) {
                index = i;
                break;
            }
        }
    }
    if (index >= menu->items.size()) {
        return FALSE;
    }
    menu->items.erase(menu->items.begin() + long(index));
    DropDown &d = St().dropDown;
    if (d.open && d.menu == hMenu) {
        d.highlight = -1;
        MarkChanged(d.window);
    }
    if (menu->owner) {
        MarkChanged(menu->owner);
    }
    return TRUE;
}

BOOL WINAPI AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem) {
    Menu *menu = GetMenu(hMenu);
    if (!menu) {
        return FALSE;
    }
    MenuItem item;
    item.separator = (uFlags & MF_SEPARATOR) != 0;
    item.id = item.separator ? 0 : UINT(uIDNewItem);
    if (!item.separator) {
        item.text = lpNewItem ? lpNewItem : "";
    }
    menu->items.push_back(item);
    if (menu->owner) {
        MarkChanged(menu->owner);
    }
    return TRUE;
}

} // extern "C"
