// The journal: recording what the program reads from outside, and playing
// such a record back (platform/journal.h).
//
// The message loop reaches a decision point (NextFromOutside) whenever
// nothing inside the program is waiting: no posted message, no input taken
// in, no paint.  Only there does the outside come in: the input that has
// arrived from the backend is taken in as one delivery, or a due timer
// fires.  Recording writes each decision down; playing back makes the same
// decisions from the record, whatever the backend and the clock say.  The
// other reads (GetTickCount, the desktop's size, a window that could not be
// made) are written and read back where the program makes them.
#include "platform/journal.h"

#include "platform/core/journal_hooks.h"
#include "platform/core/state.h"
#include "platform/session.h"
#include "platform/window_inspection.h"

#include <algorithm>
#include <cstdio>

namespace zplat {

namespace {

enum class Mode { Live, Record, Play };

struct Journal {
    Mode mode = Mode::Live;
    replay::StreamWriter writer;
    // Window serials of the record: windows_[i] made i-th (serial i + 1).
    std::vector<HWND> windows;
    uint64_t ticks = 0;
    int lastDesktopWidth = 0;
    int lastDesktopHeight = 0;
    // Playback.
    std::vector<uint8_t> stream;
    replay::StreamReader reader{nullptr, 0};
    replay::Item next;
    bool haveNext = false;
    bool ended = false;
    std::string error;
    PlaybackPace pace;
    uint64_t nextFireMs = 0;
    std::function<void(const InputEvent &)> handler;
};

Journal &J() {
    static Journal journal;
    return journal;
}

// The record's serial of a window (0 for none or one it never saw).
uint32_t SerialOf(HWND hwnd) {
    const auto &windows = J().windows;
    for (size_t i = 0; i < windows.size(); ++i) {
        if (windows[i] == hwnd) {
            return uint32_t(i + 1);
        }
    }
    return 0;
}

HWND WindowOfSerial(uint32_t serial) {
    const auto &windows = J().windows;
    return serial >= 1 && serial <= windows.size() ? windows[serial - 1] : nullptr;
}

bool IsMainWindowTimer(const Timer &t) {
    return !J().windows.empty() && t.hwnd == J().windows.front();
}

// The record's names for the core's input types, in both directions.
constexpr struct {
    InputEvent::Type event;
    replay::InputType record;
} kInputTypes[] = {
    {InputEvent::KeyDown, replay::InputType::KeyDown},
    {InputEvent::KeyUp, replay::InputType::KeyUp},
    {InputEvent::Click, replay::InputType::Click},
    {InputEvent::Release, replay::InputType::Release},
    {InputEvent::Drag, replay::InputType::Drag},
    {InputEvent::Minimize, replay::InputType::Minimize},
    {InputEvent::Restore, replay::InputType::Restore},
    {InputEvent::Close, replay::InputType::Close},
    {InputEvent::Focus, replay::InputType::Focus},
    {InputEvent::BarCommand, replay::InputType::BarCommand},
};

replay::InputType RecordType(InputEvent::Type type) {
    for (const auto &t : kInputTypes) {
        if (t.event == type) {
            return t.record;
        }
    }
    return replay::InputType::Focus;
}

InputEvent::Type EventType(replay::InputType type) {
    for (const auto &t : kInputTypes) {
        if (t.record == type) {
            return t.event;
        }
    }
    return InputEvent::Focus;
}

replay::InputRecord RecordOf(const InputEvent &e) {
    replay::InputRecord r;
    r.type = RecordType(e.type);
    r.window = SerialOf(e.window);
    r.vk = e.vk;
    r.alt = e.alt;
    r.repeat = e.repeat;
    r.x = e.x;
    r.y = e.y;
    if (e.type == InputEvent::BarCommand) {
        r.item = uint32_t(std::max(e.x, 0));
    }
    return replay::Canonical(r);
}

InputEvent EventOf(const replay::InputRecord &r) {
    InputEvent e{};
    e.type = EventType(r.type);
    e.window = WindowOfSerial(r.window);
    e.vk = r.vk;
    e.alt = r.alt;
    e.repeat = r.repeat;
    e.x = r.type == replay::InputType::BarCommand ? int(r.item) : r.x;
    e.y = r.y;
    return e;
}

// Stops playback at a read the record does not hold.
void Diverged(const std::string &what) {
    Journal &j = J();
    if (j.error.empty()) {
        j.error = "the program read " + what + " where the replay holds something else (byte " +
                  std::to_string(j.reader.Offset()) + "): it was recorded by another program";
    }
    j.ended = true;
    j.haveNext = false;
    QuitLoop();
}

// The record's next item, read ahead; false at its end.
bool Peek(replay::Item **item) {
    Journal &j = J();
    if (!j.haveNext && !j.ended) {
        std::string error;
        j.haveNext = j.reader.Next(&j.next, &error);
        if (!j.haveNext) {
            j.ended = true;
            if (!error.empty()) {
                j.error = error;
            }
        }
    }
    *item = j.haveNext ? &j.next : nullptr;
    return j.haveNext;
}

void Consume() {
    J().haveNext = false;
}

// Moves what the backend handed in since the last decision point into the
// queue, as one delivery; true if there was any.
bool TakeArrived() {
    State &s = St();
    if (s.arrived.empty()) {
        return false;
    }
    Journal &j = J();
    if (j.mode == Mode::Record) {
        BeforeDelivery();
        bool first = true;
        for (const InputEvent &e : s.arrived) {
            std::string error;
            if (!j.writer.Input(RecordOf(e), first, &error)) {
                std::fprintf(stderr, "zorvak: recording stops: %s\n", error.c_str());
                j.mode = Mode::Live;
                break;
            }
            first = false;
        }
    }
    for (const InputEvent &e : s.arrived) {
        s.input.push_back(e);
    }
    s.arrived.clear();
    return true;
}

Timer *DueTimer() {
    Timer *due = nullptr;
    for (Timer &t : St().timers) {
        if (t.ready && (!due || t.next < due->next)) {
            due = &t;
        }
    }
    return due;
}

void TimerMessage(Timer &t, MSG *msg) {
    t.ready = false;
    msg->hwnd = t.hwnd;
    msg->message = WM_TIMER;
    msg->wParam = t.id;
    msg->lParam = reinterpret_cast<LPARAM>(t.proc);
    if (IsMainWindowTimer(t)) {
        ++J().ticks;
    }
}

bool LiveNext(MSG *msg) {
    State &s = St();
    Backend &backend = CurrentBackend();
    if (TakeArrived()) {
        return false;
    }
    if (!Paused()) {
        UpdateTimers(backend.NowMs());
    }
    Timer *due = Paused() ? nullptr : DueTimer();
    if (!due) {
        PresentChanged();
        backend.Wait(Paused() ? Backend::kNoDeadline : NextDeadline());
        TakeArrived();
        return false;
    }
    // A loop that is always behind its timers never waits: show what it
    // drew and take in the input here instead.  Input that came in goes
    // before the timer, which stays due.
    PresentChanged();
    backend.Poll();
    if (TakeArrived() || !s.posted.empty() || s.quitPending) {
        return false;
    }
    Journal &j = J();
    if (j.mode == Mode::Record) {
        j.writer.Fire(uint32_t(due - s.timers.data()), 1, nullptr);
    }
    TimerMessage(*due, msg);
    return true;
}

// Playing back: the record's next delivery or fire, at the pace asked for.
bool PlayNext(MSG *msg) {
    State &s = St();
    Journal &j = J();
    Backend &backend = CurrentBackend();
    const bool fast = !j.pace.realTime || j.ticks < j.pace.fastUntil;
    if (!fast) {
        backend.Poll(); // the watcher's keys
    }
    replay::Item *item = nullptr;
    if (!Peek(&item)) {
        if (j.pace.quitAtEnd || !j.error.empty()) {
            QuitLoop();
        } else {
            OnPlaybackTick(); // says so
            PresentChanged();
            backend.Wait(Backend::kNoDeadline);
        }
        return false;
    }
    if (item->kind == replay::Item::Input) {
        do {
            s.input.push_back(EventOf(item->input));
            Consume();
        } while (Peek(&item) && item->kind == replay::Item::Input && !item->newDelivery);
        return false;
    }
    if (item->kind != replay::Item::Fire) {
        Diverged("a timer or input message");
        return false;
    }
    if (item->timer >= s.timers.size()) {
        Diverged("timer " + std::to_string(item->timer) + " firing");
        return false;
    }
    Timer &t = s.timers[item->timer];
    if (!fast && IsMainWindowTimer(t)) {
        const uint64_t now = backend.NowMs();
        if (j.pace.held || now < j.nextFireMs) {
            PresentChanged();
            backend.Wait(j.pace.held ? Backend::kNoDeadline : j.nextFireMs);
            return false;
        }
        const uint64_t step =
            std::max<uint64_t>(1, t.period / uint64_t(std::clamp(j.pace.speed, 1, 16)));
        // Late by more than a step (a busy machine, or the first tick after
        // a pause): the next one counts from now, so that lateness does not
        // come back as a burst.
        j.nextFireMs = j.nextFireMs + step < now ? now + step : j.nextFireMs + step;
    }
    if (--item->count == 0) {
        Consume();
    }
    TimerMessage(t, msg);
    OnPlaybackTick();
    return true;
}

} // namespace

// ---- The core's hooks (journal_hooks.h) ----

bool TakeInputNow() {
    // Unrecorded, input is in the queue as soon as it arrives, as on
    // Windows.  Recording or playing back, it comes in only at decision
    // points, where the record can say so; backends hand it in from Wait and
    // Poll, which are such points, so a program behaves the same either way.
    return J().mode == Mode::Live && TakeArrived();
}

bool NextFromOutside(MSG *msg) {
    if (J().mode != Mode::Play) {
        DecisionPoint();
    }
    return J().mode == Mode::Play ? PlayNext(msg) : LiveNext(msg);
}

void InputArrived(const InputEvent &event) {
    Journal &j = J();
    if (j.mode == Mode::Play) {
        if (j.handler) {
            j.handler(event);
        }
        return;
    }
    if (PauseTakesKey(event)) {
        return;
    }
    St().arrived.push_back(event);
}

DWORD ProgramTickCount() {
    Journal &j = J();
    if (j.mode == Mode::Play) {
        replay::Item *item = nullptr;
        if (Peek(&item) && item->kind == replay::Item::TickCount) {
            const uint32_t value = item->value;
            Consume();
            return value;
        }
        Diverged("the tick count");
        return 0;
    }
    const DWORD value = DWORD(CurrentBackend().NowMs() & 0xFFFFFFFFu);
    if (j.mode == Mode::Record) {
        j.writer.TickCount(value);
    }
    return value;
}

void ProgramDesktopSize(int *width, int *height) {
    Journal &j = J();
    if (j.mode == Mode::Play) {
        replay::Item *item = nullptr;
        if (Peek(&item) && item->kind == replay::Item::Desktop) {
            j.lastDesktopWidth = item->width;
            j.lastDesktopHeight = item->height;
            Consume();
        }
        *width = std::max(j.lastDesktopWidth, 1);
        *height = std::max(j.lastDesktopHeight, 1);
        return;
    }
    CurrentBackend().DesktopSize(width, height);
    // What a record can hold: a size the backend could not give is taken
    // as the nearest it can.
    *width = std::clamp(*width, 1, 65535);
    *height = std::clamp(*height, 1, 65535);
    if (j.mode == Mode::Record &&
        (*width != j.lastDesktopWidth || *height != j.lastDesktopHeight)) {
        j.writer.Desktop(*width, *height, nullptr);
    }
    j.lastDesktopWidth = *width;
    j.lastDesktopHeight = *height;
}

bool ProgramWindowRefused() {
    Journal &j = J();
    if (j.mode != Mode::Play) {
        return false;
    }
    replay::Item *item = nullptr;
    if (Peek(&item) && item->kind == replay::Item::Refused) {
        Consume();
        return true;
    }
    return false;
}

void ProgramWindowMade(HWND hwnd, bool made) {
    Journal &j = J();
    if (!made) {
        if (j.mode == Mode::Record) {
            j.writer.Refused();
        }
        return;
    }
    if (j.windows.size() >= replay::kMaxIndex) {
        // A record names at most so many windows; the program's own are two.
        if (j.mode == Mode::Record) {
            std::fprintf(stderr, "zorvak: recording stops: over %u windows\n", replay::kMaxIndex);
            j.mode = Mode::Live;
        }
        return;
    }
    j.windows.push_back(hwnd);
}

void ResetJournalState() {
    J().mode = Mode::Live;
    J().windows.clear();
    J().ticks = 0;
    ResetGameWatch();
    ResetSession();
}

DWORD MessageTime() {
    Journal &j = J();
    if (j.mode == Mode::Play) {
        return DWORD((j.ticks * 50) & 0xFFFFFFFFu);
    }
    return DWORD(CurrentBackend().NowMs() & 0xFFFFFFFFu);
}

HWND JournalMainWindow() {
    return J().windows.empty() ? nullptr : J().windows.front();
}

replay::StreamWriter::Mark JournalMark() {
    return J().writer.Here();
}

void JournalStreamAt(const replay::StreamWriter::Mark &mark, std::vector<uint8_t> *out) {
    J().writer.BytesAt(mark, out);
}

// ---- platform/journal.h ----

void StartRecording() {
    Journal &j = J();
    j = Journal{};
    j.mode = Mode::Record;
    ResetGameWatch();
}

void StopJournal() {
    J().mode = Mode::Live;
}

bool Recording() {
    return J().mode == Mode::Record;
}

std::vector<uint8_t> RecordedStream() {
    std::vector<uint8_t> bytes;
    J().writer.BytesAt(J().writer.Here(), &bytes);
    return bytes;
}

uint64_t JournalTicks() {
    return J().ticks;
}

void StartPlayback(const std::vector<uint8_t> &stream, const PlaybackPace &pace) {
    Journal &j = J();
    auto handler = std::move(j.handler);
    j = Journal{};
    j.handler = std::move(handler);
    j.mode = Mode::Play;
    j.stream = stream;
    j.reader = replay::StreamReader(j.stream.data(), j.stream.size());
    j.pace = pace;
    ResetGameWatch();
}

bool Playing() {
    return J().mode == Mode::Play;
}

PlaybackPace &Pace() {
    return J().pace;
}

bool PlaybackEnded() {
    return J().mode == Mode::Play && J().ended;
}

const std::string &PlaybackError() {
    return J().error;
}

void SetPlaybackInputHandler(std::function<void(const InputEvent &)> handler) {
    J().handler = std::move(handler);
}

} // namespace zplat

using namespace zplat;

extern "C" {

DWORD WINAPI GetTickCount(void) {
    return ProgramTickCount();
}

} // extern "C"
