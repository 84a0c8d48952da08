// The message queue: the order of messages, WM_QUIT, WM_PAINT, timers and
// their coalescing, and the loop's waiting on the virtual clock.
#include "platform/backend.h"
#include "tests/support/recording_window.h"
#include "tests/support/resource_files.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

using support::seen;
using support::SeenOf;

class QueueTest : public ::testing::Test {
protected:
    void SetUp() override {
        support::ResetPlatform();
        module = support::RegisterTestModule({});
        support::RegisterTestClass("CL", module);
    }
    void TearDown() override { zplat::ShutdownPlatform(); }
    HWND Make() { return support::MakeWindow("CL", module, 200, 200); }
    // GetMessageA's result, then the message, wParam and time.
    std::vector<uint64_t> Next(MSG *msg = nullptr) {
        MSG local{}, &m = msg ? *msg : local;
        const BOOL got = GetMessageA(&m, NULL, 0, 0);
        return {uint64_t(got), m.message, m.wParam, m.time};
    }
    // Failures reported by the backend, counted instead of failing the test.
    int failures = 0;
    HINSTANCE module = nullptr;
};

using Msg = std::vector<uint64_t>;

TEST_F(QueueTest, PostedBeforeQuitBeforeInputBeforeRepeatedPaintBeforeTimer) {
    HWND w = Make(), hidden = Make();
    ShowWindow(w, SW_SHOW); // a paint is pending
    SetTimer(w, 5, 10, NULL);
    headless::Advance(100); // the timer is due
    headless::Key(w, VK_SPACE);
    headless::Key(w, VK_LEFT);

    MSG m;
    EXPECT_EQ(Next(&m), (Msg{1, WM_KEYDOWN, VK_SPACE, 100}));
    TranslateMessage(&m); // posts WM_CHAR, which comes before further input
    PostQuitMessage(3);
    EXPECT_EQ(Next(), (Msg{1, WM_CHAR, ' ', 100}));
    // The quit message comes once no posted message is left, before input.
    EXPECT_EQ(Next(), (Msg{0, WM_QUIT, 3, 100}));
    EXPECT_EQ(Next(&m), (Msg{1, WM_KEYDOWN, VK_LEFT, 100}));
    TranslateMessage(&m); // arrows make no characters
    EXPECT_EQ(Next(&m), (Msg{1, WM_PAINT, 0, 100}));
    EXPECT_EQ(Next(&m), (Msg{1, WM_PAINT, 0, 100})); // not validated: again
    EXPECT_EQ(m.hwnd, w);
    DispatchMessageA(&m); // the default handling validates
    EXPECT_EQ(Next(), (Msg{1, WM_TIMER, 5, 100}));
    // The hidden window gets no paint: the loop waits for the next timer.
    KillTimer(w, 5);
    SetTimer(hidden, 1, 40, NULL);
    EXPECT_EQ(Next(&m), (Msg{1, WM_TIMER, 1, 140}));
    EXPECT_EQ(m.hwnd, hidden);
}

TEST_F(QueueTest, TimersKeepTheirCadenceAndNeverPileUp) {
    HWND w = Make();
    SetTimer(w, 1, 50, NULL);
    std::vector<DWORD> ticks;
    support::Handle(WM_TIMER, [&](HWND) {
        ticks.push_back(GetTickCount());
        if (ticks.size() == 3) {
            headless::Advance(420); // a handler that takes long
        }
        if (ticks.size() == 6) {
            PostQuitMessage(0);
        }
        return LRESULT(0);
    });
    support::RunLoop();
    // 50, 100, 150 on time; then one message for the eight periods missed
    // (at 570), and the cadence of the original start resumes: 600, 650.
    EXPECT_EQ(ticks, (std::vector<DWORD>{50, 100, 150, 570, 600, 650}));
}

TEST_F(QueueTest, TimersCanBeKilledReplacedAndEndWithTheirWindow) {
    HWND v = Make();
    SetTimer(v, 1, 50, NULL);
    SetTimer(v, 2, 70, NULL);
    headless::Advance(100); // both due
    EXPECT_TRUE(KillTimer(v, 1));
    EXPECT_FALSE(KillTimer(v, 1));
    EXPECT_FALSE(KillTimer(v, 99));
    EXPECT_EQ(Next(), (Msg{1, WM_TIMER, 2, 100}));
    // A key comes in as the timer falls due and goes first; the timer,
    // replaced (same window and identifier), counts from now, its due
    // message forgotten.
    headless::At(140, [v] { headless::Key(v, 'K'); });
    EXPECT_EQ(Next(), (Msg{1, WM_KEYDOWN, 'K', 140}));
    SetTimer(v, 2, 30, NULL);
    EXPECT_EQ(Next(), (Msg{1, WM_TIMER, 2, 170}));
    // Destroying the window kills its timers: nothing is left to wait for,
    // and it takes no new one.
    DestroyWindow(v);
    EXPECT_EQ(SetTimer(v, 3, 50, NULL), 0u);
    headless::OnFailure([&](const std::string &) { ++failures; });
    EXPECT_EQ(Next()[0], 0u);
    EXPECT_EQ(failures, 1);
}

// As on Windows, periods are kept between 10 ms and 0x7FFFFFFF ms.
TEST_F(QueueTest, TimerPeriodsAreKeptBetweenTenMillisecondsAndAbout25Days) {
    HWND w = Make();
    headless::SetTimeLimit(uint64_t(1) << 40);
    const std::pair<UINT, uint64_t> periods[] = {
        {0, 10}, {9, 10}, {10, 10}, {11, 11}, {0x7FFFFFFF, 0x7FFFFFFF}, {0xFFFFFFFF, 0x7FFFFFFF}};
    for (auto [asked, kept] : periods) {
        const uint64_t from = headless::Now();
        SetTimer(w, 1, asked, NULL);
        EXPECT_EQ(Next()[1], uint64_t(WM_TIMER));
        EXPECT_EQ(headless::Now() - from, kept) << asked;
    }
}

// Keys become messages as on Windows: lParam holds the repeat count 1, bit
// 29 for Alt held, bit 30 for a key that was down before (auto-repeat and
// every release), bit 31 for a release; Alt+key, F10 and Alt's release are
// system keys.  TranslateMessage makes characters of presses only: letters
// in lower case, digits, Space, Enter, Escape, Backspace and Tab.
TEST_F(QueueTest, KeysBecomeMessagesWithTheirFlagsAndCharacters) {
    const int down = zplat::InputEvent::KeyDown, up = zplat::InputEvent::KeyUp;
    // {event, key, Alt held, auto-repeat, then the message, lParam, character}
    const int64_t rows[][7] = {{down, 'A', 0, 0, WM_KEYDOWN, 1, 'a'},
                               {down, 'Z', 0, 1, WM_KEYDOWN, 0x40000001, 'z'},
                               {up, 'Z', 0, 0, WM_KEYUP, 0xC0000001, -1},
                               {down, '0', 0, 0, WM_KEYDOWN, 1, '0'},
                               {down, '9', 0, 0, WM_KEYDOWN, 1, '9'},
                               {down, VK_SPACE, 0, 0, WM_KEYDOWN, 1, ' '},
                               {down, VK_RETURN, 0, 0, WM_KEYDOWN, 1, '\r'},
                               {down, VK_ESCAPE, 0, 0, WM_KEYDOWN, 1, 0x1B},
                               {down, 0x08, 0, 0, WM_KEYDOWN, 1, 0x08},
                               {down, 0x09, 0, 0, WM_KEYDOWN, 1, 0x09},
                               {down, VK_LEFT, 0, 0, WM_KEYDOWN, 1, -1},
                               {down, 'Q', 1, 0, WM_SYSKEYDOWN, 0x20000001, 'q'},
                               {up, 'Q', 1, 0, WM_SYSKEYUP, 0xE0000001, -1},
                               {down, VK_F10, 0, 0, WM_SYSKEYDOWN, 1, -1},
                               {up, VK_MENU, 0, 0, WM_SYSKEYUP, 0xC0000001, -1}};
    HWND w = Make();
    for (const auto &r : rows) {
        seen.clear();
        zplat::PushInput({zplat::InputEvent::Type(r[0]), w, int(r[1]), r[2] != 0, r[3] != 0, 0, 0});
        support::Pump();
        ASSERT_FALSE(seen.empty()) << "key " << r[1];
        const bool typed = !support::SeenSequence({WM_CHAR, WM_SYSCHAR}).empty();
        EXPECT_EQ((std::vector<int64_t>{seen[0].message, int64_t(DWORD(seen[0].lParam)),
                                        typed ? int64_t(seen[1].wParam) : -1}),
                  std::vector<int64_t>(r + 4, r + 7))
            << "key " << r[1];
    }
}

TEST_F(QueueTest, TimerCallbacksAreCalledByDispatch) {
    static int calls;
    static DWORD lastTime;
    calls = 0;
    HWND w = Make();
    SetTimer(w, 9, 25, [](HWND, UINT msg, UINT_PTR id, DWORD time) {
        EXPECT_EQ(msg, UINT(WM_TIMER));
        EXPECT_EQ(id, UINT_PTR(9));
        lastTime = time;
        if (++calls == 2) {
            PostQuitMessage(0);
        }
    });
    support::RunLoop();
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(lastTime, 50u);
    EXPECT_TRUE(SeenOf(WM_TIMER).empty()); // the callback, not the window procedure
    // A forged callback pointer is not called.
    MSG forged{w, WM_TIMER, 9, reinterpret_cast<LPARAM>(&calls), 0, {0, 0}};
    EXPECT_EQ(DispatchMessageA(&forged), 0);
}

TEST_F(QueueTest, ScheduledInputArrivesAtItsVirtualTimeWithTheRepeatBit) {
    HWND w = Make();
    headless::At(120, [w] { headless::Key(w, VK_RIGHT, 3); });
    headless::At(500, [] { PostQuitMessage(0); });
    support::Handle(WM_KEYDOWN, [](HWND) {
        EXPECT_EQ(GetTickCount(), 120u);
        return LRESULT(0);
    });
    support::RunLoop();
    std::vector<bool> repeats;
    for (const support::Seen &s : SeenOf(WM_KEYDOWN)) {
        repeats.push_back(s.lParam & (1 << 30)); // bit 30: previously down
    }
    EXPECT_EQ(repeats, (std::vector<bool>{false, true, true}));
    EXPECT_EQ(headless::Now(), 500u);
}

// Nothing can ever wake it; a paint handler that never validates, so that
// the loop spins; a time limit that the timer runs into.
TEST_F(QueueTest, WaitingForeverSpinningOrOverrunningIsReportedAndEndsTheLoop) {
    for (int scenario = 0; scenario < 3; ++scenario) {
        support::ResetPlatform();
        failures = 0;
        headless::OnFailure([&](const std::string &) { ++failures; });
        support::RegisterTestClass("CL", module);
        HWND w = Make();
        ShowWindow(w, SW_SHOW);
        if (scenario == 1) {
            support::Handle(WM_PAINT, [](HWND) { return LRESULT(0); });
        } else if (scenario == 2) {
            headless::SetTimeLimit(1000);
            SetTimer(w, 1, 50, NULL);
        }
        EXPECT_EQ(support::RunLoop(), 0) << scenario;
        EXPECT_EQ(failures, 1) << scenario;
        EXPECT_LE(headless::Now(), scenario == 2 ? 1000u : 0u) << scenario;
        EXPECT_EQ(SeenOf(WM_TIMER).size(), scenario == 2 ? 20u : 0u) << scenario; // 50 .. 1000
    }
}

// A window is presented before the loop waits, and only when it changed: the
// first paint, nothing new in the first tick, the pixel drawn in the second.
// A loop behind its timer (every tick taking longer than the period, drawing
// every time) still presents every tick.
TEST_F(QueueTest, ChangedWindowsArePresentedBeforeWaitingAndOnlyThen) {
    for (const bool behind : {false, true}) {
        support::ResetPlatform();
        support::RegisterTestClass("CL", module);
        HWND w = Make();
        ShowWindow(w, SW_SHOW);
        SetTimer(w, 1, 50, NULL);
        std::vector<int> presents;
        support::Handle(WM_TIMER, [&](HWND hwnd) {
            presents.push_back(headless::Presents(hwnd));
            if (behind || presents.size() == 2) {
                HDC dc = GetDC(hwnd);
                SetPixel(dc, int(presents.size()), 5, RGB(255, 255, 255));
                ReleaseDC(hwnd, dc);
            }
            if (behind) {
                headless::Advance(60);
            }
            if (presents.size() == 4) {
                PostQuitMessage(0);
            }
            return LRESULT(0);
        });
        support::RunLoop();
        const std::vector<int> expected =
            behind ? std::vector<int>{1, 2, 3, 4} : std::vector<int>{1, 1, 2, 2};
        EXPECT_EQ(presents, expected) << (behind ? "behind its timer" : "on time");
    }
}

// What the core tells the backend changed: a box around each group of
// drawings close together, no two overlapping, at most kChangedBoxes (the
// rest joining the nearest), and all of the image when a window is new.
TEST_F(QueueTest, PresentsNameTheBoxesDrawnInNotOneAroundThemAll) {
    HWND w = Make();
    ShowWindow(w, SW_SHOW);
    SetTimer(w, 1, 50, NULL);
    const std::vector<std::vector<POINT>> ticks = {
        {{5, 5}, {150, 150}, {12, 11}},      // two groups
        {{5, 5}, {12, 5}, {19, 5}, {26, 5}}, // a row, each 6 from the next
        {{10, 10},
         {180, 10},
         {10, 170},
         {180, 170},
         {100, 90},
         {60, 30},
         {140, 30},
         {60, 140},
         {140, 140},
         {100, 50},
         {100, 120}}}; // more groups than boxes
    std::vector<std::vector<zplat::Area>> presented;
    size_t tick = 0;
    support::Handle(WM_TIMER, [&](HWND hwnd) {
        presented.push_back(headless::ChangedBoxesPresented(hwnd));
        if (tick == ticks.size()) {
            PostQuitMessage(0);
            return LRESULT(0);
        }
        HDC dc = GetDC(hwnd);
        for (const POINT &p : ticks[tick]) {
            SetPixel(dc, p.x, p.y, RGB(255, 255, 255));
        }
        ReleaseDC(hwnd, dc);
        ++tick;
        return LRESULT(0);
    });
    support::RunLoop();
    ASSERT_EQ(presented.size(), ticks.size() + 1);
    ASSERT_EQ(presented[0].size(), 1u);    // the window shown: all of it
    EXPECT_EQ(presented[0][0].width, 194); // the client area, no menu bar
    const size_t expectedCount[] = {2, 1, size_t(zplat::kChangedBoxes)};
    for (size_t t = 0; t < ticks.size(); ++t) {
        const std::vector<zplat::Area> &boxes = presented[t + 1];
        EXPECT_EQ(boxes.size(), expectedCount[t]) << "tick " << t;
        long covered = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            covered += long(boxes[i].width) * boxes[i].height;
            for (size_t j = 0; j < i; ++j) {
                const zplat::Area &a = boxes[i], &b = boxes[j];
                EXPECT_FALSE(a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
                             b.y < a.y + a.height)
                    << "tick " << t << ": boxes " << j << " and " << i << " overlap";
            }
        }
        for (const POINT &p : ticks[t]) {
            EXPECT_TRUE(std::any_of(boxes.begin(), boxes.end(),
                                    [&](const zplat::Area &a) {
                                        return p.x >= a.x && p.x < a.x + a.width && p.y >= a.y &&
                                               p.y < a.y + a.height;
                                    }))
                << "tick " << t << ": " << p.x << ", " << p.y;
        }
        // Far less than one box around them all, where they are far apart.
        if (t != 1) {
            EXPECT_LT(covered, 194 * 175 / 4) << "tick " << t;
        }
    }
}

// What a backend sends to the display: rectangles that hold every changed
// pixel inside the frame's hint (all of the frame without one), one per
// group of changes far apart, at most as many as it has room for (the last
// then covering the rest), and nothing when nothing changed.
TEST(ChangedAreas, CoverEveryChangeWithinTheHintInFewSmallRectangles) {
    const int w = 100, h = 70;
    const std::vector<uint32_t> before(w * h, 0);
    // {changed pixels, the hint's width, y and height, room, then how many
    // rectangles}
    const struct {
        std::vector<std::pair<int, int>> changes;
        int hintW, hintY, hintH, room, count;
    } rows[] = {{{}, 0, 0, 0, 8, 0},
                {{{7, 5}, {99, 5}}, 0, 0, 0, 8, 2},     // far apart in one band
                {{{7, 5}, {99, 69}}, 0, 0, 0, 8, 2},    // in the first and the last row
                {{{7, 5}, {99, 69}}, w, 0, 0, 8, 2},    // no height: no hint
                {{{0, 69}, {99, 60}}, w, 60, 10, 8, 2}, // the hint's first and last row
                {{{7, 5}, {50, 5}, {99, 69}}, 0, 0, 0, 2, 2},
                {{{7, 5}}, 0, 0, 0, 0, 0}};
    for (const auto &row : rows) {
        std::vector<uint32_t> now = before;
        for (auto [x, y] : row.changes) {
            now[y * w + x] = 1;
        }
        zplat::Frame frame{now.data(), w, h, 0, 0, false};
        frame.changedWidth = row.hintW, frame.changedY = row.hintY, frame.changedHeight = row.hintH;
        std::vector<zplat::Area> areas(9, zplat::Area{-1, -1, -1, -1});
        const int count = zplat::ChangedAreas(before.data(), frame, areas.data(), row.room);
        ASSERT_EQ(count, row.count) << "row " << &row - rows;
        EXPECT_EQ(areas[size_t(row.room)].x, -1) << "row " << &row - rows; // nothing past the room
        for (auto [x, y] : row.changes) {
            EXPECT_TRUE(count == 0 || std::any_of(areas.begin(), areas.begin() + count,
                                                  [x = x, y = y](const zplat::Area &a) {
                                                      return x >= a.x && x < a.x + a.width &&
                                                             y >= a.y && y < a.y + a.height;
                                                  }))
                << "row " << &row - rows << ": " << x << ", " << y;
        }
    }
}

// With boxes in the hint, only they are looked at: a change outside them
// is none the backend is told of, and out of room the last rectangle grows
// over the boxes not yet looked at.
TEST(ChangedAreas, LookOnlyInTheBoxesTheFrameNames) {
    const int w = 100, h = 70;
    const std::vector<uint32_t> before(w * h, 0);
    std::vector<uint32_t> now = before;
    const std::pair<int, int> changes[] = {{5, 5}, {90, 60}, {50, 30}, {52, 65}};
    for (auto [x, y] : changes) {
        now[y * w + x] = 1;
    }
    const zplat::Area boxes[] = {{0, 0, 10, 10}, {80, 50, 20, 20}, {45, 60, 10, 10}};
    // {boxes given, room, the hint's width, then how many rectangles and
    // which changes they must hold}
    const struct {
        int boxCount, room, hintW, count;
        std::vector<int> held;
    } rows[] = {{3, 8, w, 3, {0, 1, 3}},     // (50, 30) is in no box
                {3, 2, w, 2, {0, 1, 3}},     // the second grows over the third
                {3, 8, 0, 4, {0, 1, 2, 3}},  // no hint: the boxes are not trusted
                {0, 8, w, 4, {0, 1, 2, 3}}}; // a hint with no boxes
    for (const auto &row : rows) {
        zplat::Frame frame{now.data(), w, h, 0, 0, false};
        frame.changedWidth = row.hintW, frame.changedHeight = h;
        frame.changedBoxCount = row.boxCount;
        std::copy(boxes, boxes + row.boxCount, frame.changedBoxes);
        std::vector<zplat::Area> areas(9, zplat::Area{-1, -1, -1, -1});
        const int count = zplat::ChangedAreas(before.data(), frame, areas.data(), row.room);
        ASSERT_EQ(count, row.count) << "row " << &row - rows;
        long covered = 0;
        for (int i = 0; i < count; ++i) {
            covered += long(areas[size_t(i)].width) * areas[size_t(i)].height;
        }
        EXPECT_LE(covered, row.boxCount > 0 && row.hintW > 0 ? 10 * 10 + 20 * 20 + 35 * 20 : w * h)
            << "row " << &row - rows;
        for (int c : row.held) {
            const auto [x, y] = changes[c];
            EXPECT_TRUE(std::any_of(areas.begin(), areas.begin() + count,
                                    [x = x, y = y](const zplat::Area &a) {
                                        return x >= a.x && x < a.x + a.width && y >= a.y &&
                                               y < a.y + a.height;
                                    }))
                << "row " << &row - rows << ": " << x << ", " << y;
        }
    }
}

} // namespace
