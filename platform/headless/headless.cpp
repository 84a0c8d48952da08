// The headless backend: no display, a virtual clock, input injected by
// tests, and images read straight from the core.
#include "platform/headless/headless.h"

#include "platform/backend.h"
#include "platform/window_inspection.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <deque>
#include <map>
#include <strings.h>
#include <tuple>

namespace headless {

namespace {

constexpr uint64_t kDefaultTimeLimit = 3600 * 1000; // one virtual hour
// A loop that asks the time this often without ever waiting is spinning (a
// window that never validates its paints, say): it would never reach the
// time limit, so it is stopped here.
constexpr uint64_t kSpinLimit = 1'000'000;

struct Scheduled {
    uint64_t at;
    uint64_t order;
    std::function<void()> fn;
};

class Headless : public zplat::Backend {
public:
    uint64_t now = 0;
    uint64_t start = 0;
    uint64_t limit = kDefaultTimeLimit;
    uint64_t order = 0;
    std::vector<Scheduled> scheduled;
    // A deque, so that a callback may add another without moving the one
    // that runs.
    std::deque<std::function<void()>> idle;
    std::function<void(const std::string &)> failure;
    int desktopW = 1920, desktopH = 1080;
    bool failCreate = false;
    int beeps = 0;
    std::vector<MessageBoxRecord> boxes;
    std::map<HWND, int> presents;
    std::map<HWND, std::vector<zplat::Area>> changedBoxes; // at the last Present
    uint64_t inputPushed = 0;
    HWND focused = nullptr;
    std::map<HWND, DWORD> styles;
    std::map<HWND, std::string> shownTitles;
    bool failed = false;
    uint64_t clockReadsSinceWait = 0;

    uint64_t NowMs() override {
        if (++clockReadsSinceWait == kSpinLimit) {
            Fail("the program runs without ever waiting");
        }
        return now;
    }

    void Fail(const std::string &why) {
        failed = true;
        if (failure) {
            failure(why);
        } else {
            std::fprintf(stderr, "headless: %s\n", why.c_str());
        }
        PostQuitMessage(0);
    }

    // Runs the callbacks due at or before t, each with the clock at its time.
    void RunDue(uint64_t t) {
        for (;;) {
            auto next = std::min_element(scheduled.begin(), scheduled.end(),
                                         [](const Scheduled &a, const Scheduled &b) {
                                             return a.at != b.at ? a.at < b.at : a.order < b.order;
                                         });
            if (next == scheduled.end() || next->at > t) {
                return;
            }
            Scheduled job = std::move(*next);
            scheduled.erase(next);
            now = std::max(now, job.at);
            job.fn();
        }
    }

    uint64_t NextScheduled() const {
        uint64_t next = kNoDeadline;
        for (const auto &s : scheduled) {
            next = std::min(next, s.at);
        }
        return next;
    }

    void Wait(uint64_t deadlineMs) override {
        clockReadsSinceWait = 0;
        if (failed) {
            PostQuitMessage(0);
            return;
        }
        uint64_t before = inputPushed;
        for (size_t i = 0, n = idle.size(); i < n; ++i) {
            idle[i]();
        }
        if (inputPushed != before || zplat::QueueHasMessages()) {
            return;
        }
        RunDue(now); // callbacks already due (scheduled in the past)
        if (inputPushed != before || zplat::QueueHasMessages()) {
            return;
        }
        uint64_t next = NextScheduled();
        uint64_t target = std::min(deadlineMs, next);
        if (target == kNoDeadline) {
            Fail("the program waits for input that never comes");
            return;
        }
        if (target > start + limit) {
            now = std::max(now, start + limit);
            Fail("the virtual time limit was reached");
            return;
        }
        if (target > now) {
            now = target;
        }
        // A wait that ends on its deadline returns at once; what arrives at
        // that same moment is for the next poll.
        if (deadlineMs > next) {
            RunDue(now);
        }
    }

    void Poll() override { RunDue(now); }

    void DesktopSize(int *width, int *height) override {
        *width = desktopW;
        *height = desktopH;
    }
    bool CreateNativeWindow(HWND window, const char *title, int, int, int, int) override {
        if (failCreate) {
            return false;
        }
        shownTitles[window] = title != nullptr ? title : "";
        return true;
    }
    void DestroyNativeWindow(HWND window) override {
        presents.erase(window);
        changedBoxes.erase(window);
        shownTitles.erase(window);
        styles.erase(window);
        if (focused == window) {
            focused = nullptr;
        }
    }
    void ShowNativeWindow(HWND window, bool shown) override {
        if (shown) {
            focused = window;
        } else if (focused == window) {
            focused = nullptr;
        }
    }
    void SetNativeStyle(HWND window, DWORD style) override { styles[window] = style; }
    void FocusNativeWindow(HWND window) override { focused = window; }
    void SetNativeTitle(HWND window, const char *title) override {
        shownTitles[window] = title != nullptr ? title : "";
    }
    void MinimizeNativeWindow(HWND) override {}
    void RestoreNativeWindow(HWND) override {}
    void Present(HWND window, const zplat::Frame &frame) override {
        ++presents[window];
        std::vector<zplat::Area> &boxes = changedBoxes[window];
        boxes.clear();
        if (frame.changedWidth <= 0 || frame.changedHeight <= 0) {
            boxes.push_back(zplat::Area{0, 0, frame.width, frame.height});
        } else if (frame.changedBoxCount == 0) {
            boxes.push_back(zplat::Area{frame.changedX, frame.changedY, frame.changedWidth,
                                        frame.changedHeight});
        } else {
            boxes.assign(frame.changedBoxes, frame.changedBoxes + frame.changedBoxCount);
        }
    }
    void ShowMessageBox(const char *text, const char *caption) override {
        boxes.push_back(MessageBoxRecord{text, caption});
    }
    void Beep() override { ++beeps; }
};

Headless &B() {
    // Never destroyed: the core may still refer to it while the process ends,
    // so it has no owner.
    static Headless *backend = new Headless; // NOLINT(cppcoreguidelines-owning-memory)
    return *backend;
}

void Push(const zplat::InputEvent &e) {
    ++B().inputPushed;
    zplat::PushInput(e);
}

zplat::InputEvent Event(zplat::InputEvent::Type type, HWND window) {
    zplat::InputEvent e{};
    e.type = type;
    e.window = window;
    return e;
}

zplat::InputEvent KeyEvent(zplat::InputEvent::Type type, HWND window, int vk, bool alt) {
    // Typed on the desktop: the window with the desktop's keyboard focus,
    // none when no window has it.
    zplat::InputEvent e = Event(type, window ? window : B().focused);
    e.vk = vk;
    e.alt = alt;
    return e;
}

void PushKey(const zplat::InputEvent &e) {
    if (e.window) {
        Push(e);
    }
}

void Pointer(zplat::InputEvent::Type type, HWND window, int x, int y) {
    zplat::InputEvent e = Event(type, window);
    e.x = x;
    e.y = y;
    Push(e);
}
} // namespace

void Reset(uint64_t startMs) {
    Headless &b = B();
    zplat::SetBackend(&b);
    zplat::ShutdownPlatform();
    b.now = startMs;
    b.start = startMs;
    b.limit = kDefaultTimeLimit;
    b.scheduled.clear();
    b.idle.clear();
    b.failure = nullptr;
    b.desktopW = 1920;
    b.desktopH = 1080;
    b.failCreate = false;
    b.beeps = 0;
    b.boxes.clear();
    b.presents.clear();
    b.changedBoxes.clear();
    b.styles.clear();
    b.shownTitles.clear();
    b.focused = nullptr;
    b.failed = false;
    b.clockReadsSinceWait = 0;
}

uint64_t Now() {
    return B().now;
}

void Advance(uint64_t ms) {
    Headless &b = B();
    uint64_t target = b.now + ms;
    b.RunDue(target);
    b.now = target;
}

void At(uint64_t atMs, std::function<void()> fn) {
    Headless &b = B();
    b.scheduled.push_back(Scheduled{atMs, ++b.order, std::move(fn)});
}

void OnIdle(std::function<void()> fn) {
    B().idle.push_back(std::move(fn));
}

void OnFailure(std::function<void(const std::string &)> fn) {
    B().failure = std::move(fn);
}

void SetTimeLimit(uint64_t ms) {
    B().limit = ms;
}

void SetDesktopSize(int width, int height) {
    B().desktopW = width;
    B().desktopH = height;
}

void FailWindowCreation(bool fail) {
    B().failCreate = fail;
}

void Key(HWND window, int vk, int repeats) {
    for (int i = 0; i < std::max(repeats, 1); ++i) {
        zplat::InputEvent e = KeyEvent(zplat::InputEvent::KeyDown, window, vk, false);
        e.repeat = i > 0;
        PushKey(e);
    }
}

void KeyUp(HWND window, int vk, bool altHeld) {
    PushKey(KeyEvent(zplat::InputEvent::KeyUp, window, vk, altHeld));
}

void AltKey(HWND window, int vk) {
    for (auto [type, key, alt] : {std::tuple{zplat::InputEvent::KeyDown, VK_MENU, true},
                                  std::tuple{zplat::InputEvent::KeyDown, vk, true},
                                  std::tuple{zplat::InputEvent::KeyUp, vk, true},
                                  std::tuple{zplat::InputEvent::KeyUp, VK_MENU, false}}) {
        PushKey(KeyEvent(type, window, key, alt));
    }
}

void AltLetter(HWND window, char letter) {
    AltKey(window, letter == ' ' ? VK_SPACE : std::toupper(uint8_t(letter)));
}

void AltTap(HWND window) {
    PushKey(KeyEvent(zplat::InputEvent::KeyDown, window, VK_MENU, true));
    PushKey(KeyEvent(zplat::InputEvent::KeyUp, window, VK_MENU, false));
}

void Press(HWND window, int x, int y) {
    Pointer(zplat::InputEvent::Click, window, x, y);
}
void Drag(HWND window, int x, int y) {
    Pointer(zplat::InputEvent::Drag, window, x, y);
}
void Release(HWND window, int x, int y) {
    Pointer(zplat::InputEvent::Release, window, x, y);
}
void Click(HWND window, int x, int y) {
    Press(window, x, y);
    Release(window, x, y);
}

HWND FocusedWindow() {
    return B().focused;
}

void Minimize(HWND window) {
    Push(Event(zplat::InputEvent::Minimize, window));
}
void Restore(HWND window) {
    Push(Event(zplat::InputEvent::Restore, window));
}
void Close(HWND window) {
    Push(Event(zplat::InputEvent::Close, window));
}

std::vector<HWND> Windows() {
    return zplat::ListWindows();
}

HWND FindWindowByClass(const char *className) {
    for (HWND w : zplat::ListWindows()) {
        zplat::WindowInfo info;
        if (zplat::GetWindowInfo(w, &info) && strcasecmp(info.className.c_str(), className) == 0) {
            return w;
        }
    }
    return nullptr;
}

std::string ShownTitle(HWND window) {
    auto found = B().shownTitles.find(window);
    return found != B().shownTitles.end() ? found->second : std::string();
}

std::string Title(HWND window) {
    zplat::WindowInfo info;
    return zplat::GetWindowInfo(window, &info) ? info.title : std::string();
}

bool IsMinimized(HWND window) {
    zplat::WindowInfo info;
    return zplat::GetWindowInfo(window, &info) && info.minimized;
}

DWORD FrameStyle(HWND window) {
    auto it = B().styles.find(window);
    return it == B().styles.end() ? 0 : it->second;
}

bool IsVisible(HWND window) {
    zplat::WindowInfo info;
    return zplat::GetWindowInfo(window, &info) && info.visible;
}

Image ClientImage(HWND window) {
    Image image;
    if (!zplat::CopyClientImage(window, &image.pixels, &image.width, &image.height)) {
        return Image{};
    }
    return image;
}

Image ComposedImage(HWND window) {
    Image image;
    if (!zplat::CopyComposedImage(window, &image.pixels, &image.width, &image.height)) {
        return Image{};
    }
    return image;
}

uint64_t Hash(const Image &image) {
    uint64_t h = 0xcbf29ce484222325ull;
    for (uint32_t p : image.pixels) {
        for (int i = 0; i < 4; ++i) {
            h ^= (p >> (8 * i)) & 0xFF;
            h *= 0x100000001b3ull;
        }
    }
    return h;
}

int Beeps() {
    return B().beeps;
}

std::vector<MessageBoxRecord> MessageBoxes() {
    return B().boxes;
}

int Presents(HWND window) {
    auto it = B().presents.find(window);
    return it == B().presents.end() ? 0 : it->second;
}

std::vector<zplat::Area> ChangedBoxesPresented(HWND window) {
    auto it = B().changedBoxes.find(window);
    return it == B().changedBoxes.end() ? std::vector<zplat::Area>{} : it->second;
}

} // namespace headless
