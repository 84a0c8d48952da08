// The message queue: the order of messages, WM_QUIT, WM_PAINT, timers and
// their coalescing, and the loop's waiting on the virtual clock.
#include "platform/backend.h"
#include "tests/support/recording_window.h"
#include "tests/support/resource_files.h"

#include <gtest/gtest.h>

namespace {

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
    // Same window and identifier: replaced, counted from now.
    SetTimer(v, 2, 30, NULL);
    EXPECT_EQ(Next(), (Msg{1, WM_TIMER, 2, 130}));
    // Destroying the window kills its timers: nothing is left to wait for.
    DestroyWindow(v);
    headless::OnFailure([&](const std::string &) { ++failures; });
    EXPECT_EQ(Next()[0], 0u);
    EXPECT_EQ(failures, 1);
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

} // namespace
