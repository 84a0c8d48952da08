// The browser backend: windows as boxes on the page, waiting and input
// (presenting is web_present.cpp).  The page does the drawing and listening
// (page.js).
#include "platform/web/web_backend.h"

#include "platform/display.h"
#include "platform/session.h"
#include "platform/web/web_page.h"
#include "platform/window_inspection.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace zweb {

WebBackend::WebBackend(HINSTANCE iconModule) {
    const zplat::IconImage &icon = zplat::ProgramIcon(iconModule);
    if (icon.argb.empty()) {
        return;
    }
    std::vector<uint8_t> rgba(icon.argb.size() * 4);
    ToRgba(icon.argb.data(), icon.argb.size(), rgba.data());
    for (size_t i = 0; i < icon.argb.size(); ++i) {
        rgba[4 * i + 3] = uint8_t(icon.argb[i] >> 24);
    }
    zweb_page_set_icon(rgba.data(), icon.width, icon.height);
}

WebBackend::~WebBackend() {
    for (const Native &native : windows_) {
        zweb_page_destroy_window(native.id);
    }
}

uint64_t WebBackend::NowMs() {
    return uint64_t(std::floor(zweb_page_now()));
}

WebBackend::Native *WebBackend::Find(HWND window) {
    for (Native &native : windows_) {
        if (native.window == window) {
            return &native;
        }
    }
    return nullptr;
}

WebBackend::Native *WebBackend::FindById(int id) {
    for (Native &native : windows_) {
        if (native.id == id) {
            return &native;
        }
    }
    return nullptr;
}

// A finger on a phone is wider than the menu bar is tall: a touch that
// lands on the client area within the bar's height below it lands on the
// bar's bottom row instead (the client area takes no clicks), unless a menu
// is open over it.  The rest of that touch follows its press.
int WebBackend::TouchY(HWND window, int type, int y) {
    zplat::WindowInfo info;
    if (!zplat::GetWindowInfo(window, &info) || info.menuBarHeight <= 0) {
        return y;
    }
    const int bar = info.menuBarHeight;
    if (type == ZWEB_INPUT_CLICK) {
        touchOnBar_ = !info.dropDownOpen && y >= bar && y < 2 * bar;
    }
    return touchOnBar_ && y >= bar && y < 2 * bar ? bar - 1 : y;
}

// The page's input record as the core's; false for one the core does not
// take (its window has gone since, or a type unknown here).
bool WebBackend::ToInput(const int32_t *fields, zplat::InputEvent *input) {
    *input = {};
    const int type = fields[0];
    const bool key = type == ZWEB_INPUT_KEY || type == ZWEB_INPUT_KEY_UP;
    const Native *native = FindById(fields[1]);
    if (native == nullptr && !(key && fields[1] == 0)) {
        return false; // a key for window 0 goes to the one with the keyboard
    }
    input->window = native != nullptr ? native->window : nullptr;
    switch (type) {
    case ZWEB_INPUT_KEY:
    case ZWEB_INPUT_KEY_UP:
        input->type =
            type == ZWEB_INPUT_KEY ? zplat::InputEvent::KeyDown : zplat::InputEvent::KeyUp;
        input->vk = fields[2];
        input->alt = fields[3] != 0;
        input->repeat = fields[4] != 0;
        return true;
    case ZWEB_INPUT_CLICK:
    case ZWEB_INPUT_RELEASE:
    case ZWEB_INPUT_DRAG:
        input->type = type == ZWEB_INPUT_CLICK     ? zplat::InputEvent::Click
                      : type == ZWEB_INPUT_RELEASE ? zplat::InputEvent::Release
                                                   : zplat::InputEvent::Drag;
        input->x = fields[5];
        input->y = fields[3] != 0 ? TouchY(input->window, type, fields[6]) : fields[6];
        return true;
    case ZWEB_INPUT_FOCUS:
        input->type = zplat::InputEvent::Focus;
        return true;
    case ZWEB_INPUT_MINIMIZE:
        input->type = zplat::InputEvent::Minimize;
        return true;
    case ZWEB_INPUT_RESTORE:
        input->type = zplat::InputEvent::Restore;
        return true;
    case ZWEB_INPUT_CLOSE:
        input->type = zplat::InputEvent::Close;
        return true;
    default:
        return false;
    }
}

bool WebBackend::DrainInput() {
    bool pushed = false;
    int32_t fields[7];
    while (zweb_page_next_input(fields)) {
        if (PageRequest(fields)) {
            pushed = true; // the loop looks again: a seek or an end may be due
            continue;
        }
        zplat::InputEvent input;
        if (ToInput(fields, &input)) {
            zplat::PushInput(input);
            pushed = true;
        }
    }
    return pushed;
}

void WebBackend::Poll() {
    DrainInput();
}

void WebBackend::Wait(uint64_t deadlineMs) {
    while (!DrainInput()) {
        double timeout = -1;
        if (deadlineMs != kNoDeadline) {
            const uint64_t now = NowMs();
            if (now >= deadlineMs) {
                return;
            }
            timeout = double(deadlineMs - now);
        }
        zweb_page_wait(timeout);
    }
}

void WebBackend::DesktopSize(int *width, int *height) {
    zweb_page_viewport(width, height);
    *width = std::max(*width, 1);
    *height = std::max(*height, 1);
}

bool WebBackend::CreateNativeWindow(HWND window, const char *title, int x, int y, int width,
                                    int height) {
    if (width <= 0 || height <= 0) {
        return false;
    }
    const int id = ++nextId_;
    if (!zweb_page_create_window(id, title != nullptr ? title : "", x, y, width, height)) {
        return false;
    }
    Native native;
    native.window = window;
    native.id = id;
    windows_.push_back(native);
    return true;
}

void WebBackend::DestroyNativeWindow(HWND window) {
    Native *native = Find(window);
    if (native == nullptr) {
        return;
    }
    zweb_page_destroy_window(native->id);
    windows_.erase(windows_.begin() + (native - windows_.data()));
}

void WebBackend::ShowNativeWindow(HWND window, bool shown) {
    if (Native *native = Find(window)) {
        zweb_page_show_window(native->id, shown ? 1 : 0);
    }
}

// The main window's title comes with the platform's notice beside it; the
// page shows the two apart.
void WebBackend::SetNativeTitle(HWND window, const char *title) {
    Native *native = Find(window);
    if (native == nullptr) {
        return;
    }
    std::string text = title != nullptr ? title : "";
    const std::string notice = zplat::Notice();
    const std::string suffix = "   [" + notice + "]";
    if (notice.empty() || text.size() < suffix.size() ||
        text.compare(text.size() - suffix.size(), suffix.size(), suffix) != 0) {
        zweb_page_set_title(native->id, text.c_str(), "");
        return;
    }
    text.resize(text.size() - suffix.size());
    zweb_page_set_title(native->id, text.c_str(), notice.c_str());
}

void WebBackend::MinimizeNativeWindow(HWND window) {
    if (Native *native = Find(window)) {
        zweb_page_minimize_window(native->id);
    }
}

void WebBackend::RestoreNativeWindow(HWND window) {
    if (Native *native = Find(window)) {
        zweb_page_restore_window(native->id);
    }
}

void WebBackend::SetNativeStyle(HWND window, DWORD style) {
    if (Native *native = Find(window)) {
        zweb_page_set_frame(native->id, (style & WS_DLGFRAME) != 0 ? 1 : 0,
                            (style & WS_SYSMENU) != 0 ? 1 : 0,
                            (style & WS_MINIMIZEBOX) != 0 ? 1 : 0);
    }
}

void WebBackend::FocusNativeWindow(HWND window) {
    if (Native *native = Find(window)) {
        zweb_page_focus_window(native->id);
    }
}

void WebBackend::ShowMessageBox(const char *text, const char *caption) {
    zweb_page_message_box(text != nullptr ? text : "", caption != nullptr ? caption : "");
}

void WebBackend::Beep() {
    zweb_page_beep();
}

} // namespace zweb
