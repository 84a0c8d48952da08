// Watching a kept game (platform/watch.h): the loop that runs the program on
// its record, again from its start for each jump back, and the keys that
// steer it.
#include "platform/watch.h"

#include "platform/core/journal_hooks.h"
#include "platform/core/state.h"
#include "platform/journal.h"
#include "platform/session.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace zplat {

namespace {

constexpr uint64_t kTicksPerSecond = 20;
constexpr uint64_t kJumpTicks = 10 * kTicksPerSecond;
constexpr int kMaxSpeed = 16;

enum class Next { None, Restart, Quit, Play };

struct Watching {
    bool on = false;
    uint64_t start = 0; // the record's ticks at the game's New game
    uint64_t end = 0;   // and at its end
    int speed = 1;
    bool held = false;
    Next next = Next::None;
    uint64_t restartAt = 0;
    std::string shown; // the notice last set
};

Watching &Wt() {
    static Watching watching;
    return watching;
}

std::string Clock(uint64_t ticks) {
    const uint64_t seconds = ticks / kTicksPerSecond;
    char text[32];
    std::snprintf(text, sizeof text, "%llu:%02llu", static_cast<unsigned long long>(seconds / 60),
                  static_cast<unsigned long long>(seconds % 60));
    return text;
}

void UpdateNotice() {
    Watching &w = Wt();
    const uint64_t now = std::clamp(JournalTicks(), w.start, w.end);
    std::string notice = "Replay " + Clock(now - w.start) + " / " + Clock(w.end - w.start);
    if (w.speed > 1) {
        notice += " x" + std::to_string(w.speed);
    }
    if (PlaybackEnded()) {
        notice += ", ended";
    } else if (w.held) {
        notice += ", paused";
    }
    SetReplayNotice(notice);
}

void Stop(Next next) {
    Wt().next = next;
    QuitLoop();
}

void SeekTo(int64_t tick) {
    Watching &w = Wt();
    const uint64_t target = uint64_t(std::clamp<int64_t>(tick, int64_t(w.start), int64_t(w.end)));
    if (target >= JournalTicks()) {
        Pace().fastUntil = target;
        return;
    }
    w.restartAt = target;
    Stop(Next::Restart);
}

void Key(const InputEvent &e) {
    Watching &w = Wt();
    const int64_t now = int64_t(JournalTicks());
    switch (e.vk) {
    case VK_SPACE:
    case VK_PAUSE:
    case 'P':
        w.held = !w.held;
        Pace().held = w.held;
        break;
    case VK_RIGHT:
        SeekTo(now + (w.held ? 1 : int64_t(kJumpTicks)));
        break;
    case VK_LEFT:
        SeekTo(now - (w.held ? 1 : int64_t(kJumpTicks)));
        break;
    case VK_UP:
    case VK_ADD:
    case VK_OEM_PLUS:
        w.speed = std::min(w.speed * 2, kMaxSpeed);
        Pace().speed = w.speed;
        break;
    case VK_DOWN:
    case VK_SUBTRACT:
    case VK_OEM_MINUS:
        w.speed = std::max(w.speed / 2, 1);
        Pace().speed = w.speed;
        break;
    case VK_HOME:
        SeekTo(int64_t(w.start));
        break;
    case VK_END:
        SeekTo(int64_t(w.end));
        break;
    default:
        break;
    }
}

// The player's input while watching.
void OnWatchInput(const InputEvent &e) {
    switch (e.type) {
    case InputEvent::KeyDown:
        if (e.alt && (e.vk == 'Q' || e.vk == VK_F4)) {
            Stop(Next::Quit);
        } else if (e.alt && e.vk == 'N') {
            Stop(Next::Play);
        } else if (!e.alt) {
            Key(e);
        }
        break;
    case InputEvent::Close:
        Stop(Next::Quit);
        break;
    case InputEvent::Click: {
        const UINT command = MenuBarCommandAt(e.window, e.x, e.y);
        if (command == 1003) {
            Stop(Next::Quit);
        } else if (command == 1000) {
            Stop(Next::Play);
        }
        break;
    }
    case InputEvent::BarCommand:
        if (e.x == 0) { // a controller's Start: New game
            Stop(Next::Play);
        }
        break;
    default:
        break;
    }
    UpdateNotice();
}

} // namespace

void OnPlaybackTick() {
    Watching &w = Wt();
    if (w.on && JournalTicks() >= Pace().fastUntil) {
        UpdateNotice();
    }
}

int PlayRecorded(const ProgramEntry &program, std::function<void(const GameRecord &)> keep,
                 bool newGame) {
    program.restart();
    StartRecording();
    OnGameRecorded(std::move(keep));
    if (newGame) {
        InputEvent start{};
        start.type = InputEvent::BarCommand;
        PushInput(start);
    }
    const int exitCode = program.winMain();
    OnGameRecorded(nullptr);
    StopJournal();
    return exitCode;
}

WatchEnd WatchReplay(const ProgramEntry &program, const replay::Replay &kept, int speed) {
    Watching &w = Wt();
    w = Watching{};
    w.on = true;
    w.start = kept.header.startTick;
    w.end = uint64_t(kept.header.startTick) + kept.header.gameTicks;
    w.speed = std::clamp(speed, 1, kMaxSpeed);
    w.restartAt = w.start;
    SetPlaybackInputHandler(OnWatchInput);
    for (bool first = true;; first = false) {
        if (!first) {
            CurrentBackend().ProgramRestarts();
            ShutdownPlatform();
        }
        program.restart();
        PlaybackPace pace;
        pace.realTime = true;
        pace.speed = w.speed;
        pace.held = w.held;
        pace.fastUntil = w.restartAt;
        pace.quitAtEnd = false;
        StartPlayback(kept.body, pace);
        w.next = Next::None;
        UpdateNotice();
        program.winMain();
        if (w.next != Next::Restart) {
            break;
        }
    }
    const Next next = w.next;
    w = Watching{};
    SetPlaybackInputHandler(nullptr);
    StopJournal();
    SetReplayNotice("");
    return next == Next::Play ? WatchEnd::Play : WatchEnd::Quit;
}

WatchPosition CurrentWatch() {
    const Watching &w = Wt();
    WatchPosition p;
    p.watching = w.on;
    if (w.on) {
        p.tick = std::clamp(JournalTicks(), w.start, w.end) - w.start;
        p.length = w.end - w.start;
        p.held = w.held;
        p.speed = w.speed;
    }
    return p;
}

void SeekWatch(uint64_t tick) {
    if (Wt().on) {
        SeekTo(int64_t(Wt().start + tick));
        UpdateNotice();
    }
}

} // namespace zplat
