// The menu bar: its items drawn above the client area, Alt+mnemonics, and
// menu mode, as on Windows.
//
// Keyboard: an Alt tap or F10 lights the first item; Left and Right move
// (through the system box at the left end), Enter or Space chooses, Up or
// Down open the system menu from its box, a mnemonic chooses its item,
// Escape, Alt or F10 leave.  While the bar has the keyboard no key reaches
// the window.
// Mouse: pressing an item lights it, the light follows the pointer while the
// button is held, and releasing over an item chooses it; anywhere else
// nothing is chosen.  Choosing a bar item posts WM_COMMAND.
#include "platform/core/menu_look.h"
#include "platform/core/state.h"
#include "platform/window_inspection.h"

namespace zplat {

namespace {

constexpr int kBarPad = 6;  // each side of a bar item's text
constexpr int kTextTop = 5; // of bar text within the bar

struct ItemBox {
    int item; // kSysBoxItem or the index in the bar
    int x0, x1;
};

// The system box (if any), then the items, left to right.  The bar is laid
// out at every Present: the boxes go into one list kept for the purpose, so
// that a tick allocates nothing (the list is read before the next layout).
const std::vector<ItemBox> &LayoutBar(const Window &w, const Menu &bar) {
    static std::vector<ItemBox> boxes;
    boxes.clear();
    int x = 2;
    if (HasSysBox(w)) {
        boxes.push_back({kSysBoxItem, 0, kSysBoxWidth});
        x = kSysBoxWidth + 2;
    }
    for (size_t i = 0; i < bar.items.size(); ++i) {
        int width = TextWidth(bar.items[i].text) + 2 * kBarPad;
        boxes.push_back({int(i), x, x + width});
        x += width;
    }
    return boxes;
}

Menu *BarOf(HWND hwnd, Window **w) {
    *w = GetWindow(hwnd);
    return *w ? GetMenu((*w)->menuBar) : nullptr;
}

bool OnBar(HWND hwnd, int y) {
    Window *w;
    return BarOf(hwnd, &w) && y >= 0 && y < w->MenuHeight();
}

// The item under a composed-image point of the window; kNoItem off the items.
int BarItemAt(HWND hwnd, int x, int y) {
    Window *w;
    Menu *bar = BarOf(hwnd, &w);
    if (!bar || y < 0 || y >= w->MenuHeight()) {
        return kNoItem;
    }
    for (const ItemBox &box : LayoutBar(*w, *bar)) {
        if (x >= box.x0 && x < box.x1) {
            return box.item;
        }
    }
    return kNoItem;
}

void ChooseBarItem(HWND hwnd, int item) {
    Window *w;
    Menu *bar = BarOf(hwnd, &w);
    LeaveBarMode();
    if (item == kSysBoxItem) {
        OpenSystemMenu(hwnd, true, false);
    } else if (bar && item >= 0 && size_t(item) < bar->items.size()) {
        Post(hwnd, WM_COMMAND, bar->items[size_t(item)].id, 0);
    }
}

void Highlight(int item) {
    BarMode &m = St().bar;
    if (m.item != item) {
        m.item = item;
        MarkChanged(m.window);
    }
}

} // namespace

void DrawMenuBar(Window &w, HWND hwnd) {
    Menu *bar = GetMenu(w.menuBar);
    int menuH = w.MenuHeight();
    if (!bar || menuH <= 0) {
        return;
    }
    // The bar's items never change; what it shows depends only on the item
    // that is lit and on whether the system menu drops down from its box.
    // The window is presented at every tick: the bar is drawn only when its
    // look changed.
    const DropDown &d = St().dropDown;
    const BarMode &m = St().bar;
    const int litItem = m.on && m.window == hwnd ? m.item : kNoItem;
    const bool sysOpen = d.open && d.window == hwnd && d.menu == w.systemMenu;
    const int look = litItem * 2 + (sysOpen ? 1 : 0);
    if (look == w.barLook) {
        return;
    }
    w.barLook = look;
    int width = w.clientW;
    Painter p{w.image.data(), width, menuH};
    for (int y = 0; y < menuH; ++y) {
        std::fill_n(w.image.data() + size_t(y) * size_t(width), size_t(width),
                    y == menuH - 1 ? kShadow : kFace);
    }
    for (const ItemBox &box : LayoutBar(w, *bar)) {
        const bool lit = litItem == box.item;
        if (box.item == kSysBoxItem) {
            p.Fill(0, 0, kSysBoxWidth, menuH - 1, sysOpen || lit ? kHighlight : kFace);
            p.Fill(kSysBoxWidth - 1, 0, kSysBoxWidth, menuH - 1, kShadow);
            // The box's sign: a small bar like a space bar.
            p.Fill(3, 7, kSysBoxWidth - 4, 11, kDark);
            p.Fill(4, 8, kSysBoxWidth - 5, 10, kLight);
            continue;
        }
        if (lit) {
            p.Fill(box.x0, 1, box.x1, menuH - 2, kHighlight);
        }
        DrawText(p.pixels, width, menuH, box.x0 + kBarPad, kTextTop,
                 bar->items[size_t(box.item)].text, lit ? kHighlightText : kText, true);
    }
}

void EnterBarMode(HWND hwnd, int item, bool tracking) {
    Window *w;
    if (!BarOf(hwnd, &w)) {
        return;
    }
    LeaveBarMode();
    State &s = St();
    s.bar = BarMode{true, hwnd, item, tracking};
    s.altTap = false;
    s.f10Tap = false;
    MarkChanged(hwnd);
}

void LeaveBarMode() {
    BarMode &m = St().bar;
    if (m.on) {
        MarkChanged(m.window);
    }
    m = BarMode{};
}

bool BarTakesKey(const InputEvent &e) {
    BarMode &m = St().bar;
    if (!m.on) {
        return false;
    }
    Window *w;
    Menu *bar = BarOf(m.window, &w);
    if (!bar) {
        LeaveBarMode();
        return false;
    }
    if (e.type == InputEvent::KeyUp) {
        return true;
    }
    HWND hwnd = m.window;
    std::vector<ItemBox> boxes = LayoutBar(*w, *bar);
    int n = int(boxes.size());
    int at = 0;
    while (at < n && boxes[size_t(at)].item != m.item) {
        ++at;
    }
    switch (e.vk) {
    case VK_LEFT:
    case VK_RIGHT:
        if (n > 0) {
            Highlight(boxes[size_t(((at < n ? at : 0) + (e.vk == VK_LEFT ? n - 1 : 1)) % n)].item);
        }
        break;
    case VK_RETURN:
    case VK_SPACE:
        if (at < n) {
            ChooseBarItem(hwnd, m.item);
        }
        break;
    case VK_UP:
    case VK_DOWN:
        // They open the menu that drops down from the lit item: only the
        // system box has one; the bar's own items are commands.
        if (m.item == kSysBoxItem) {
            ChooseBarItem(hwnd, m.item);
        }
        break;
    case VK_ESCAPE:
    case VK_MENU:
    case VK_F10:
        LeaveBarMode();
        break;
    default:
        if (char want = MnemonicKey(e.vk)) {
            for (size_t i = 0; i < bar->items.size(); ++i) {
                if (MnemonicOf(bar->items[i].text) == want) {
                    ChooseBarItem(hwnd, int(i));
                    return true;
                }
            }
            MessageBeep(0);
        }
        break;
    }
    return true;
}

bool BarTakesPointer(HWND hwnd, const InputEvent &e) {
    BarMode &m = St().bar;
    int item = BarItemAt(hwnd, e.x, e.y);
    switch (e.type) {
    case InputEvent::Click:
        if (item == kSysBoxItem) {
            LeaveBarMode();
            OpenSystemMenu(hwnd, false, true);
            return true;
        }
        if (item != kNoItem) {
            EnterBarMode(hwnd, item, true);
            return true;
        }
        if (m.on) {
            // A press anywhere else ends menu mode, and only that.
            LeaveBarMode();
            return true;
        }
        // The bar's empty end is no client area either.
        return OnBar(hwnd, e.y);
    case InputEvent::Drag:
        if (!m.on || !m.tracking) {
            return false;
        }
        Highlight(m.window == hwnd && item != kSysBoxItem ? item : kNoItem);
        return true;
    case InputEvent::Release:
        if (!m.on || !m.tracking) {
            return false;
        }
        // The light followed the pointer: whatever item it is over now.
        if (m.window == hwnd && item >= 0) {
            ChooseBarItem(hwnd, item);
        } else {
            LeaveBarMode();
        }
        return true;
    default:
        return false;
    }
}

bool BarCommandMessage(const InputEvent &e, MSG *msg) {
    HWND target = e.window;
    Window *w;
    if (!target) {
        if (BarOf(St().focus, &w)) {
            target = St().focus;
        } else {
            for (HWND h : ListWindows()) {
                if (BarOf(h, &w)) {
                    target = h;
                    break;
                }
            }
        }
    }
    Menu *bar = BarOf(target, &w);
    if (!bar || e.x < 0 || size_t(e.x) >= bar->items.size() || bar->items[size_t(e.x)].separator) {
        return false;
    }
    if (St().dropDown.open) {
        CloseDropDown();
    }
    LeaveBarMode();
    msg->hwnd = target;
    msg->message = WM_COMMAND;
    msg->wParam = bar->items[size_t(e.x)].id;
    msg->lParam = 0;
    return true;
}

UINT MenuBarCommandAt(HWND hwnd, int x, int y) {
    Window *w;
    Menu *bar = BarOf(hwnd, &w);
    const int item = BarItemAt(hwnd, x, y);
    return bar != nullptr && item >= 0 && size_t(item) < bar->items.size()
               ? bar->items[size_t(item)].id
               : 0;
}

bool MenuBarMnemonic(HWND hwnd, char letter) {
    Window *w;
    Menu *bar = BarOf(hwnd, &w);
    if (!bar) {
        return false;
    }
    char want = char(std::tolower(uint8_t(letter)));
    for (const MenuItem &item : bar->items) {
        if (!item.separator && MnemonicOf(item.text) == want) {
            Post(hwnd, WM_COMMAND, item.id, 0);
            return true;
        }
    }
    return false;
}

} // namespace zplat
