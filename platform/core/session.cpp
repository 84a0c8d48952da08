// Pause and the notices beside the title (platform/session.h).
#include "platform/session.h"

#include "platform/core/journal_hooks.h"
#include "platform/core/state.h"
#include "platform/game_watch.h"
#include "platform/journal.h"

namespace zplat {

namespace {

struct Session {
    bool paused = false;
    std::string replayNotice;
    std::string shownMainTitle; // what the backend was last told
};

Session &S() {
    static Session session;
    return session;
}

bool IsPauseKey(const InputEvent &e) {
    return (e.type == InputEvent::KeyDown || e.type == InputEvent::KeyUp) && !e.alt &&
           (e.vk == VK_PAUSE || e.vk == 'P');
}

} // namespace

void SetPaused(bool paused) {
    if (S().paused != paused) {
        S().paused = paused;
        RefreshNotices();
    }
}

bool Paused() {
    return S().paused;
}

void PauseForAbsence() {
    const WatchedGame &game = CurrentGame();
    if (game.running && !game.livesOut && !Playing()) {
        SetPaused(true);
    }
}

std::string Notice() {
    if (Playing()) {
        return S().replayNotice;
    }
    if (S().paused) {
        return "Paused: P to go on";
    }
    if (CurrentGame().livesOut) {
        return "Game over: New game (Alt+N) to play again";
    }
    return "";
}

void SetReplayNotice(const std::string &notice) {
    if (S().replayNotice != notice) {
        S().replayNotice = notice;
        RefreshNotices();
    }
}

// ---- The core's hooks ----

bool PauseTakesKey(const InputEvent &event) {
    if (!IsPauseKey(event)) {
        return false;
    }
    // A held key's repeats do not switch it back and forth.
    if (event.type == InputEvent::KeyDown && !event.repeat) {
        SetPaused(!S().paused);
    }
    return true;
}

std::string ShownTitle(HWND hwnd, const std::string &title) {
    if (hwnd == nullptr || hwnd != JournalMainWindow()) {
        return title;
    }
    const std::string notice = Notice();
    return notice.empty() ? title : title + "   [" + notice + "]";
}

void ResetSession() {
    S() = Session{};
}

void RefreshNotices() {
    HWND main = JournalMainWindow();
    Window *w = GetWindow(main);
    if (w == nullptr || !w->nativeMade) {
        return;
    }
    std::string shown = ShownTitle(main, w->title);
    if (shown != S().shownMainTitle) {
        S().shownMainTitle = shown;
        CurrentBackend().SetNativeTitle(main, shown.c_str());
    }
}

} // namespace zplat
