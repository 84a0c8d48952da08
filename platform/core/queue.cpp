// The message queue and the timers.
//
// GetMessageA takes, in this order: posted messages; WM_QUIT once
// PostQuitMessage was called and no posted message is left; input; WM_PAINT
// for a visible window with an invalid area; WM_TIMER for a due timer.  A
// timer has at most one WM_TIMER pending and keeps its cadence: a loop that
// comes late gets one message, not a backlog.  Before a timer message the
// backend is asked for input that has arrived meanwhile, and that input goes
// first, as on Windows.  When nothing is due the loop presents what changed
// and asks the backend to wait for input or the next timer deadline.
#include "platform/backend.h"
#include "platform/core/journal_hooks.h"
#include "platform/core/state.h"
#include "platform/window_inspection.h"

namespace zplat {

namespace {

constexpr UINT kMinTimerPeriod = 10;
constexpr UINT kMaxTimerPeriod = 0x7FFFFFFF;

bool IsCharKey(int vk, char *ch) {
    if (vk >= 'A' && vk <= 'Z') {
        *ch = char(vk - 'A' + 'a');
        return true;
    }
    if (vk >= '0' && vk <= '9') {
        *ch = char(vk);
        return true;
    }
    switch (vk) {
    case VK_SPACE:
        *ch = ' ';
        return true;
    case VK_RETURN:
        *ch = '\r';
        return true;
    case VK_ESCAPE:
        *ch = 0x1B;
        return true;
    case 0x08: // backspace
    case 0x09: // tab
        *ch = char(vk);
        return true;
    default:
        return false;
    }
}

// A mouse message for a point of the composed image, in client coordinates;
// false when the point is outside the client area.
bool PointerMessage(const Window &w, const InputEvent &e, UINT message, WPARAM buttons, MSG *msg) {
    int x = e.x, y = e.y - w.MenuHeight();
    if (x < 0 || x >= w.clientW || y < 0 || y >= w.clientH) {
        return false;
    }
    msg->message = message;
    msg->wParam = buttons;
    msg->lParam = LPARAM(DWORD(x & 0xFFFF) | (DWORD(y & 0xFFFF) << 16));
    return true;
}

// Turns one input event into the message it stands for; false when the
// event was used up (by a menu) or its window is gone.
bool InputToMessage(InputEvent e, MSG *msg) {
    // Keys typed on the desktop go to the window with the keyboard focus.
    if (!e.window && (e.type == InputEvent::KeyDown || e.type == InputEvent::KeyUp)) {
        e.window = St().focus;
    }
    if (e.type == InputEvent::BarCommand) {
        return BarCommandMessage(e, msg);
    }
    Window *w = GetWindow(e.window);
    if (!w) {
        return false;
    }
    msg->hwnd = e.window;
    switch (e.type) {
    case InputEvent::KeyDown:
    case InputEvent::KeyUp: {
        if (MenuTakesKey(e)) {
            return false;
        }
        // F10 is a system key, as Alt+anything is; releasing Alt itself too.
        bool system = e.alt || e.vk == VK_F10 || (e.type == InputEvent::KeyUp && e.vk == VK_MENU);
        bool down = e.type == InputEvent::KeyDown;
        msg->message =
            down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
        msg->wParam = WPARAM(e.vk & 0xFF);
        DWORD lp = 1; // repeat count
        if (e.alt) {
            lp |= DWORD(1) << 29;
        }
        if (e.repeat || !down) {
            lp |= DWORD(1) << 30; // the key was down before
        }
        if (!down) {
            lp |= DWORD(1) << 31; // transition: released
        }
        msg->lParam = LPARAM(lp);
        return true;
    }
    case InputEvent::Click:
        // A click makes its window the active one, as on Windows.
        FocusWindow(e.window, true);
        if (MenuTakesPointer(e.window, e)) {
            return false;
        }
        return PointerMessage(*w, e, WM_LBUTTONDOWN, 1 /* MK_LBUTTON */, msg);
    case InputEvent::Drag:
        if (MenuTakesPointer(e.window, e)) {
            return false;
        }
        return PointerMessage(*w, e, WM_MOUSEMOVE, 1 /* MK_LBUTTON */, msg);
    case InputEvent::Release:
        if (MenuTakesPointer(e.window, e)) {
            return false;
        }
        return PointerMessage(*w, e, WM_LBUTTONUP, 0, msg);
    case InputEvent::Focus:
        FocusWindow(e.window, false);
        return false;
    case InputEvent::Minimize:
    case InputEvent::Restore:
    case InputEvent::Close:
        if (St().dropDown.open) {
            CloseDropDown();
        }
        LeaveBarMode();
        msg->message = WM_SYSCOMMAND;
        msg->wParam = e.type == InputEvent::Minimize  ? SC_MINIMIZE
                      : e.type == InputEvent::Restore ? SC_RESTORE
                                                      : SC_CLOSE;
        msg->lParam = 0;
        return true;
    case InputEvent::BarCommand:
        break;
    }
    return false;
}

} // namespace

void PresentChanged() {
    Backend &backend = CurrentBackend();
    for (size_t i = 1; i < HandleSlots(); ++i) {
        HWND hwnd = static_cast<HWND>(HandleAt(i, HType::Window));
        Window *w = GetWindow(hwnd);
        if (!w || !w->changed || !w->nativeMade) {
            continue;
        }
        w->changed = false;
        Frame frame{ComposeWindow(*w, hwnd), w->clientW,  w->clientH + w->MenuHeight(), 0,
                    w->MenuHeight(),         w->minimized};
        // An open drop-down is drawn anew over the image at every Present.
        if (St().dropDown.open && St().dropDown.window == hwnd) {
            w->changedBoxes.count = 0;
        }
        HandOverChangedBoxes(w->changedBoxes, frame);
        backend.Present(hwnd, frame);
    }
}

// Marks due timers ready and moves their deadlines past now.
void UpdateTimers(uint64_t now) {
    for (Timer &t : St().timers) {
        if (now >= t.next) {
            t.ready = true;
            uint64_t periods = (now - t.next) / t.period + 1;
            t.next += periods * t.period;
        }
    }
}

uint64_t NextDeadline() {
    uint64_t next = Backend::kNoDeadline;
    for (const Timer &t : St().timers) {
        if (t.next < next) {
            next = t.next;
        }
    }
    return next;
}

void QuitLoop() {
    St().quitPending = true;
    St().quitCode = 0;
}

void Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    St().posted.push_back(QueuedMessage{hwnd, message, wParam, lParam});
}

void PushInput(const InputEvent &event) {
    InputArrived(event);
}

bool QueueHasMessages() {
    const State &s = St();
    return s.quitPending || !s.posted.empty() || !s.input.empty() || !s.arrived.empty();
}

bool HasTimer(HWND window, UINT_PTR id) {
    for (const Timer &t : St().timers) {
        if (t.hwnd == window && t.id == id) {
            return true;
        }
    }
    return false;
}

void KillWindowTimers(HWND hwnd) {
    auto &timers = St().timers;
    for (size_t i = timers.size(); i-- > 0;) {
        if (timers[i].hwnd == hwnd) {
            timers.erase(timers.begin() + long(i));
        }
    }
}

} // namespace zplat

using namespace zplat;

extern "C" {

BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND, UINT, UINT) {
    if (!lpMsg) {
        return -1;
    }
    State &s = St();
    for (;;) {
        MSG msg{};
        if (!s.posted.empty()) {
            QueuedMessage q = s.posted.front();
            s.posted.pop_front();
            msg.hwnd = q.hwnd;
            msg.message = q.message;
            msg.wParam = q.wParam;
            msg.lParam = q.lParam;
        } else if (s.quitPending) {
            s.quitPending = false;
            msg.message = WM_QUIT;
            msg.wParam = WPARAM(s.quitCode);
        } else if (!s.input.empty() || TakeInputNow()) {
            InputEvent e = s.input.front();
            s.input.pop_front();
            if (!InputToMessage(e, &msg)) {
                continue;
            }
        } else {
            HWND paint = FirstWindowToPaint();
            if (paint) {
                msg.hwnd = paint;
                msg.message = WM_PAINT;
            } else if (!NextFromOutside(&msg)) {
                continue;
            }
        }
        msg.time = MessageTime();
        *lpMsg = msg;
        if (msg.message == WM_QUIT) {
            NoteQuit();
            return FALSE;
        }
        return TRUE;
    }
}

BOOL WINAPI TranslateMessage(const MSG *lpMsg) {
    if (!lpMsg || (lpMsg->message != WM_KEYDOWN && lpMsg->message != WM_SYSKEYDOWN)) {
        return FALSE;
    }
    char ch;
    if (!IsCharKey(int(lpMsg->wParam), &ch)) {
        return FALSE;
    }
    Post(lpMsg->hwnd, lpMsg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR, WPARAM(uint8_t(ch)),
         lpMsg->lParam);
    return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG *lpMsg) {
    if (!lpMsg) {
        return 0;
    }
    if (lpMsg->message == WM_TIMER && lpMsg->lParam != 0) {
        // Only timers of this queue carry a callback; anything else in
        // lParam is refused rather than called.
        for (const Timer &t : St().timers) {
            if (t.hwnd == lpMsg->hwnd && t.id == lpMsg->wParam &&
                reinterpret_cast<LPARAM>(t.proc) == lpMsg->lParam) {
                t.proc(lpMsg->hwnd, WM_TIMER, lpMsg->wParam, MessageTime());
                return 0;
            }
        }
        return 0;
    }
    Window *w = GetWindow(lpMsg->hwnd);
    if (!w) {
        return 0;
    }
    NoteDispatch(*lpMsg);
    return w->proc(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    Window *w = GetWindow(hWnd);
    if (!w) {
        return 0;
    }
    return w->proc(hWnd, Msg, wParam, lParam);
}

VOID WINAPI PostQuitMessage(int nExitCode) {
    St().quitPending = true;
    St().quitCode = nExitCode;
}

UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
    State &s = St();
    if (hWnd && !GetWindow(hWnd)) {
        return 0;
    }
    // As Windows: periods are kept between 10 ms and about 24.8 days.
    UINT period = uElapse < kMinTimerPeriod   ? kMinTimerPeriod
                  : uElapse > kMaxTimerPeriod ? kMaxTimerPeriod
                                              : uElapse;
    uint64_t now = CurrentBackend().NowMs();
    if (hWnd) {
        // The same window and identifier replace the timer and restart it.
        for (Timer &t : s.timers) {
            if (t.hwnd == hWnd && t.id == nIDEvent) {
                t.period = period;
                t.next = now + period;
                t.ready = false;
                t.proc = lpTimerFunc;
                return nIDEvent ? nIDEvent : 1;
            }
        }
    } else {
        nIDEvent = ++s.nextTimerId;
    }
    Timer t;
    t.hwnd = hWnd;
    t.id = nIDEvent;
    t.period = period;
    t.next = now + period;
    t.proc = lpTimerFunc;
    s.timers.push_back(t);
    return nIDEvent ? nIDEvent : 1;
}

BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
    auto &timers = St().timers;
    for (size_t i = 0; i < timers.size(); ++i) {
        if (timers[i].hwnd == hWnd && timers[i].id == uIDEvent) {
            timers.erase(timers.begin() + long(i));
            return TRUE;
        }
    }
    return FALSE;
}

} // extern "C"
