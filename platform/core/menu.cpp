// Menus: the class menu as a bar above the client area, the system menu
// model, and drop-downs drawn as overlays over the composed image (they
// never touch the client framebuffer).  A click on a bar item or Alt+its
// mnemonic posts WM_COMMAND; a system-menu item posts WM_SYSCOMMAND.
#include "platform/core/state.h"

#include <algorithm>
#include <cctype>

namespace zplat {

namespace {

constexpr uint32_t kFace = 0xC0C0C0;
constexpr uint32_t kLight = 0xFFFFFF;
constexpr uint32_t kShadow = 0x808080;
constexpr uint32_t kDark = 0x000000;
constexpr uint32_t kText = 0x000000;
constexpr uint32_t kGrayText = 0x808080;
constexpr uint32_t kHighlight = 0x000080;
constexpr uint32_t kHighlightText = 0xFFFFFF;

constexpr int kSysBoxWidth = 19;
constexpr int kBarPad = 6;     // each side of a bar item's text
constexpr int kTextTop = 5;    // of bar text within the bar
constexpr int kRowHeight = 16; // a drop-down item
constexpr int kSeparatorHeight = 8;
constexpr int kBorder = 3;
constexpr int kDropLeftPad = 16;
constexpr int kDropRightPad = 12;
constexpr int kAccelGap = 20;

struct Painter {
    uint32_t *pixels;
    int width, height;
    void Fill(int x0, int y0, int x1, int y1, uint32_t rgb) const {
        x0 = std::max(x0, 0);
        y0 = std::max(y0, 0);
        x1 = std::min(x1, width);
        y1 = std::min(y1, height);
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                pixels[size_t(y) * size_t(width) + size_t(x)] = rgb;
    }
};

bool HasSysBox(const Window &w) {
    return (w.style & WS_SYSMENU) != 0;
}

int FirstBarItemX(const Window &w) {
    return HasSysBox(w) ? kSysBoxWidth + 2 : 2;
}

char MnemonicOf(const std::string &text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '&') {
            if (text[i + 1] != '&')
                return char(std::tolower(static_cast<unsigned char>(text[i + 1])));
            ++i;
        }
    }
    return 0;
}

std::string LabelOf(const std::string &text) {
    return text.substr(0, text.find('\t'));
}
std::string AccelOf(const std::string &text) {
    size_t tab = text.find('\t');
    return tab == std::string::npos ? std::string() : text.substr(tab + 1);
}

bool ItemEnabled(const Window &w, const Menu &menu, const MenuItem &item) {
    if (item.separator)
        return false;
    if (!menu.system)
        return true;
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
        if (item.separator)
            continue;
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
    if (x < l.x + kBorder || x >= l.x + l.width - kBorder)
        return -1;
    for (size_t i = 0; i < menu.items.size(); ++i) {
        int h = menu.items[i].separator ? kSeparatorHeight : kRowHeight;
        if (y >= l.top[i] && y < l.top[i] + h)
            return int(i);
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
        if (lit)
            p.Fill(x0 + kBorder, top, x1 - kBorder, top + kRowHeight, kHighlight);
        uint32_t color = lit ? kHighlightText : enabled ? kText : kGrayText;
        if (!enabled && !lit)
            DrawText(p.pixels, p.width, p.height, x0 + kBorder + kDropLeftPad + 1, top + 5,
                     LabelOf(item.text), kLight, true);
        DrawText(p.pixels, p.width, p.height, x0 + kBorder + kDropLeftPad, top + 4,
                 LabelOf(item.text), color, true);
        std::string accel = AccelOf(item.text);
        if (!accel.empty())
            DrawText(p.pixels, p.width, p.height, x1 - kBorder - kDropRightPad - TextWidth(accel),
                     top + 4, accel, color, false);
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
    if (n == 0)
        return;
    int i = d.highlight;
    for (int tries = 0; tries < n; ++tries) {
        i = ((i < 0 ? (step > 0 ? -1 : 0) : i) + step + n) % n;
        if (ItemEnabled(w, menu, menu.items[size_t(i)])) {
            d.highlight = i;
            return;
        }
    }
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
    int menuH = w.MenuHeight();
    int width = w.clientW, height = w.clientH + menuH;
    const DropDown &d = St().dropDown;
    bool sysOpen = d.open && d.window == hwnd && d.menu == w.systemMenu;
    Painter bar{w.image.data(), width, menuH};
    if (Menu *menu = GetMenu(w.menuBar); menu && menuH > 0) {
        for (int y = 0; y < menuH; ++y)
            std::fill_n(w.image.data() + size_t(y) * size_t(width), size_t(width),
                        y == menuH - 1 ? kShadow : kFace);
        if (HasSysBox(w)) {
            uint32_t box = sysOpen ? kHighlight : kFace;
            bar.Fill(0, 0, kSysBoxWidth, menuH - 1, box);
            bar.Fill(kSysBoxWidth - 1, 0, kSysBoxWidth, menuH - 1, kShadow);
            // The box's sign: a small bar like a space bar.
            bar.Fill(3, 7, kSysBoxWidth - 4, 11, kDark);
            bar.Fill(4, 8, kSysBoxWidth - 5, 10, kLight);
        }
        int x = FirstBarItemX(w);
        for (const MenuItem &item : menu->items) {
            int itemW = TextWidth(item.text) + 2 * kBarPad;
            DrawText(bar.pixels, width, menuH, x + kBarPad, kTextTop, item.text, kText, true);
            x += itemW;
        }
    }
    if (!(d.open && d.window == hwnd))
        return w.image.data();
    // A drop-down is drawn over a copy: the client framebuffer stays as it is.
    w.composed = w.image;
    if (Menu *menu = GetMenu(d.menu))
        DrawDropDown(Painter{w.composed.data(), width, height}, w, *menu, d);
    return w.composed.data();
}

void CloseDropDown() {
    DropDown &d = St().dropDown;
    if (d.open)
        MarkChanged(d.window);
    d = DropDown{};
}

void OpenSystemMenu(HWND hwnd) {
    Window *w = GetWindow(hwnd);
    if (!w || !(w->style & WS_SYSMENU))
        return;
    HMENU sys = GetSystemMenu(hwnd, FALSE);
    Menu *menu = GetMenu(sys);
    if (!menu)
        return;
    CloseDropDown();
    DropDown &d = St().dropDown;
    d.open = true;
    d.window = hwnd;
    d.menu = sys;
    d.x = 0;
    d.y = w->MenuHeight();
    d.highlight = -1;
    MoveHighlight(*w, *menu, d, 1);
    MarkChanged(*w);
}

bool MenuBarMnemonic(HWND hwnd, char letter) {
    Window *w = GetWindow(hwnd);
    Menu *bar = w ? GetMenu(w->menuBar) : nullptr;
    if (!bar)
        return false;
    char want = char(std::tolower(static_cast<unsigned char>(letter)));
    for (const MenuItem &item : bar->items) {
        if (!item.separator && MnemonicOf(item.text) == want) {
            Post(hwnd, WM_COMMAND, item.id, 0);
            return true;
        }
    }
    return false;
}

bool MenuTakesKey(HWND, const InputEvent &e) {
    DropDown &d = St().dropDown;
    if (!d.open)
        return false;
    Window *w = GetWindow(d.window);
    Menu *menu = GetMenu(d.menu);
    if (!w || !menu) {
        CloseDropDown();
        return false;
    }
    switch (e.vk) {
    case VK_UP:
        MoveHighlight(*w, *menu, d, -1);
        break;
    case VK_DOWN:
        MoveHighlight(*w, *menu, d, 1);
        break;
    case VK_RETURN:
        if (d.highlight >= 0 && ItemEnabled(*w, *menu, menu->items[size_t(d.highlight)]))
            Choose(d.window, *menu, d.highlight);
        break;
    case VK_ESCAPE:
    case VK_MENU:
    case VK_SPACE:
        CloseDropDown();
        break;
    default:
        if ((e.vk >= 'A' && e.vk <= 'Z') || (e.vk >= '0' && e.vk <= '9')) {
            char want = char(std::tolower(e.vk));
            for (size_t i = 0; i < menu->items.size(); ++i) {
                const MenuItem &item = menu->items[i];
                if (MnemonicOf(item.text) == want && ItemEnabled(*w, *menu, item)) {
                    Choose(d.window, *menu, int(i));
                    break;
                }
            }
        }
        break;
    }
    MarkChanged(d.window);
    return true;
}

bool MenuTakesClick(HWND hwnd, const InputEvent &e) {
    DropDown &d = St().dropDown;
    if (d.open) {
        Window *w = GetWindow(d.window);
        Menu *menu = GetMenu(d.menu);
        if (w && menu && d.window == hwnd) {
            DropLayout l = LayoutDropDown(*menu, d.x, d.y);
            if (e.x >= l.x && e.x < l.x + l.width && e.y >= l.y && e.y < l.y + l.height) {
                int i = DropItemAt(l, *menu, e.x, e.y);
                if (i >= 0 && ItemEnabled(*w, *menu, menu->items[size_t(i)]))
                    Choose(hwnd, *menu, i);
                return true; // a click on the drop-down never reaches the client
            }
        }
        CloseDropDown();
        return true; // a click outside closes the drop-down, nothing more
    }
    Window *w = GetWindow(hwnd);
    Menu *bar = w ? GetMenu(w->menuBar) : nullptr;
    if (!bar || e.y < 0 || e.y >= w->MenuHeight())
        return false;
    if (HasSysBox(*w) && e.x >= 0 && e.x < kSysBoxWidth) {
        OpenSystemMenu(hwnd);
        return true;
    }
    int x = FirstBarItemX(*w);
    for (const MenuItem &item : bar->items) {
        int itemW = TextWidth(item.text) + 2 * kBarPad;
        if (e.x >= x && e.x < x + itemW) {
            Post(hwnd, WM_COMMAND, item.id, 0);
            break;
        }
        x += itemW;
    }
    return true;
}

} // namespace zplat

using namespace zplat;

extern "C" {

HMENU WINAPI GetSystemMenu(HWND hWnd, BOOL bRevert) {
    Window *w = GetWindow(hWnd);
    if (!w || !(w->style & WS_SYSMENU))
        return nullptr;
    if (bRevert) {
        if (St().dropDown.open && St().dropDown.menu == w->systemMenu)
            CloseDropDown();
        FreeHandle(w->systemMenu, HType::Menu);
        w->systemMenu = nullptr;
        return nullptr;
    }
    if (!GetMenu(w->systemMenu))
        w->systemMenu = MakeSystemMenu(hWnd);
    return w->systemMenu;
}

BOOL WINAPI DeleteMenu(HMENU hMenu, UINT uPosition, UINT uFlags) {
    Menu *menu = GetMenu(hMenu);
    if (!menu)
        return FALSE;
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
    if (index >= menu->items.size())
        return FALSE;
    menu->items.erase(menu->items.begin() + long(index));
    DropDown &d = St().dropDown;
    if (d.open && d.menu == hMenu) {
        d.highlight = -1;
        MarkChanged(d.window);
    }
    if (menu->owner)
        MarkChanged(menu->owner);
    return TRUE;
}

BOOL WINAPI AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem) {
    Menu *menu = GetMenu(hMenu);
    if (!menu)
        return FALSE;
    MenuItem item;
    item.separator = (uFlags & MF_SEPARATOR) != 0;
    item.id = item.separator ? 0 : UINT(uIDNewItem);
    if (!item.separator)
        item.text = lpNewItem ? lpNewItem : "";
    menu->items.push_back(item);
    if (menu->owner)
        MarkChanged(menu->owner);
    return TRUE;
}

} // extern "C"
