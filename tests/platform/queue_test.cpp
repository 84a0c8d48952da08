// The message queue: the order of messages, WM_QUIT, WM_PAINT, timers and
// their coalescing, and the loop's waiting on the virtual clock.
#include "platform/core/core.h"
#include "tests/platform/test_support.h"

#include <gtest/gtest.h>

namespace {

using test::seen;
using test::SeenOf;

constexpr DWORD kStyle = WS_DLGFRAME | WS_SYSMENU | WS_MINIMIZEBOX;

class QueueTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ResetAll();
        module = test::RegisterTestModule({});
        test::RegisterTestClass("CL", module);
    }
    void TearDown() override { zplat::ShutdownPlatform(); }
    HWND Make() {
        return CreateWindowExA(0, "CL", "", kStyle, 0, 0, 200, 200, NULL, NULL, module, NULL);
    }
    MSG Next() {
        MSG msg{};
        EXPECT_NE(GetMessageA(&msg, NULL, 0, 0), -1);
        return msg;
    }
    HINSTANCE module = nullptr;
};

TEST_F(QueueTest, PostedBeforeQuitBeforeInputBeforePaintBeforeTimer) {
    HWND w = Make();
    ShowWindow(w, SW_SHOW); // a paint is pending
    SetTimer(w, 5, 10, NULL);
    headless::Advance(100); // the timer is due
    headless::Key(w, VK_SPACE);
    headless::Key(w, VK_LEFT);

    MSG m = Next();
    EXPECT_EQ(m.message, UINT(WM_KEYDOWN));
    EXPECT_EQ(m.wParam, WPARAM(VK_SPACE));
    TranslateMessage(&m); // posts WM_CHAR, which comes before further input
    PostQuitMessage(3);
    m = Next();
    EXPECT_EQ(m.message, UINT(WM_CHAR));
    EXPECT_EQ(m.wParam, WPARAM(' '));
    // The quit message comes once no posted message is left, before input.
    EXPECT_EQ(GetMessageA(&m, NULL, 0, 0), FALSE);
    EXPECT_EQ(m.message, UINT(WM_QUIT));
    EXPECT_EQ(m.wParam, WPARAM(3));
    m = Next();
    EXPECT_EQ(m.message, UINT(WM_KEYDOWN));
    EXPECT_EQ(m.wParam, WPARAM(VK_LEFT));
    TranslateMessage(&m); // arrows make no characters
    m = Next();
    EXPECT_EQ(m.message, UINT(WM_PAINT));
    EXPECT_EQ(m.hwnd, w);
    DispatchMessageA(&m); // the default handling validates
    m = Next();
    EXPECT_EQ(m.message, UINT(WM_TIMER));
    EXPECT_EQ(m.wParam, WPARAM(5));
    EXPECT_EQ(m.time, 100u);
}

TEST_F(QueueTest, PaintRepeatsUntilValidatedAndOnlyForVisibleWindows) {
    HWND hidden = Make();
    HWND shown = Make();
    ShowWindow(shown, SW_SHOW);
    MSG m = Next();
    EXPECT_EQ(m.message, UINT(WM_PAINT));
    EXPECT_EQ(m.hwnd, shown);
    // Not validated: the same paint comes again.
    m = Next();
    EXPECT_EQ(m.message, UINT(WM_PAINT));
    DispatchMessageA(&m);
    // Validated, and the hidden window gets no paint: the loop now waits for
    // the timer.
    SetTimer(hidden, 1, 40, NULL);
    m = Next();
    EXPECT_EQ(m.message, UINT(WM_TIMER));
    EXPECT_EQ(m.hwnd, hidden);
    EXPECT_EQ(headless::Now(), 40u);
}

TEST_F(QueueTest, TimersKeepTheirCadenceAndNeverPileUp) {
    HWND w = Make();
    SetTimer(w, 1, 50, NULL);
    std::vector<DWORD> ticks;
    test::hook = [&](HWND, UINT msg, WPARAM, LPARAM, LRESULT *result) {
        if (msg != WM_TIMER)
            return false;
        ticks.push_back(GetTickCount());
        if (ticks.size() == 3) {
            // A handler that takes long: 420 ms pass before the loop returns.
            headless::Advance(420);
        }
        if (ticks.size() == 6)
            PostQuitMessage(0);
        *result = 0;
        return true;
    };
    test::RunLoop();
    // 50, 100, 150 on time; then one message for the eight periods missed
    // (at 570), and the cadence of the original start resumes: 600, 650.
    EXPECT_EQ(ticks, (std::vector<DWORD>{50, 100, 150, 570, 600, 650}));
}

TEST_F(QueueTest, KillTimerDropsAPendingTickAndSetTimerRestarts) {
    HWND w = Make();
    SetTimer(w, 1, 50, NULL);
    SetTimer(w, 2, 70, NULL);
    headless::Advance(100); // both due
    EXPECT_TRUE(KillTimer(w, 1));
    EXPECT_FALSE(KillTimer(w, 1));
    EXPECT_FALSE(KillTimer(w, 99));
    MSG m = Next();
    EXPECT_EQ(m.message, UINT(WM_TIMER));
    EXPECT_EQ(m.wParam, WPARAM(2));
    // Same window and identifier: replaced, counted from now.
    SetTimer(w, 2, 30, NULL);
    m = Next();
    EXPECT_EQ(m.wParam, WPARAM(2));
    EXPECT_EQ(m.time, 130u);
    // Destroying the window kills its timers: nothing is left to wait for.
    DestroyWindow(w);
    bool failed = false;
    headless::OnFailure([&](const std::string &) { failed = true; });
    EXPECT_EQ(GetMessageA(&m, NULL, 0, 0), FALSE);
    EXPECT_TRUE(failed);
}

TEST_F(QueueTest, TimerCallbacksAreCalledByDispatch) {
    static int calls;
    static DWORD lastTime;
    calls = 0;
    HWND w = Make();
    SetTimer(w, 9, 25, [](HWND, UINT msg, UINT_PTR id, DWORD time) {
        EXPECT_EQ(msg, UINT(WM_TIMER));
        EXPECT_EQ(id, UINT_PTR(9));
        ++calls;
        lastTime = time;
        if (calls == 2)
            PostQuitMessage(0);
    });
    test::RunLoop();
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(lastTime, 50u);
    EXPECT_TRUE(SeenOf(WM_TIMER).empty()); // the callback, not the window procedure
    // A forged callback pointer is not called.
    MSG forged{w, WM_TIMER, 9, reinterpret_cast<LPARAM>(&calls), 0, {0, 0}};
    EXPECT_EQ(DispatchMessageA(&forged), 0);
}

TEST_F(QueueTest, ScheduledInputArrivesAtItsVirtualTime) {
    HWND w = Make();
    headless::At(120, [w] { headless::Key(w, VK_RIGHT, 3); });
    headless::At(500, [] { PostQuitMessage(0); });
    test::hook = [](HWND, UINT msg, WPARAM, LPARAM, LRESULT *) {
        if (msg == WM_KEYDOWN) {
            EXPECT_EQ(GetTickCount(), 120u);
        }
        return false;
    };
    test::RunLoop();
    auto keys = SeenOf(WM_KEYDOWN);
    ASSERT_EQ(keys.size(), 3u);
    // The first press is new, the others repeat (bit 30: previously down).
    EXPECT_EQ(keys[0].lParam & (1 << 30), 0);
    EXPECT_NE(keys[1].lParam & (1 << 30), 0);
    EXPECT_NE(keys[2].lParam & (1 << 30), 0);
    EXPECT_EQ(headless::Now(), 500u);
}

TEST_F(QueueTest, WaitingForeverOrPastTheLimitIsReportedAndEndsTheLoop) {
    std::vector<std::string> failures;
    headless::OnFailure([&](const std::string &why) { failures.push_back(why); });
    HWND w = Make();
    ShowWindow(w, SW_SHOW);
    EXPECT_EQ(test::RunLoop(), 0); // nothing can ever wake it
    EXPECT_EQ(failures.size(), 1u);

    failures.clear();
    headless::Reset();
    headless::OnFailure([&](const std::string &why) { failures.push_back(why); });
    headless::SetTimeLimit(1000);
    test::RegisterTestClass("CL", module);
    w = Make();
    SetTimer(w, 1, 50, NULL);
    test::RunLoop();
    EXPECT_EQ(failures.size(), 1u);
    EXPECT_LE(headless::Now(), 1000u);
    EXPECT_EQ(SeenOf(WM_TIMER).size(), 20u); // 50 .. 1000
}

TEST_F(QueueTest, ALoopThatNeverWaitsIsStopped) {
    std::vector<std::string> failures;
    headless::OnFailure([&](const std::string &why) { failures.push_back(why); });
    HWND w = Make();
    ShowWindow(w, SW_SHOW);
    // A paint handler that never validates: WM_PAINT comes for ever.
    test::hook = [](HWND, UINT msg, WPARAM, LPARAM, LRESULT *result) {
        *result = 0;
        return msg == WM_PAINT;
    };
    EXPECT_EQ(test::RunLoop(), 0);
    EXPECT_EQ(failures.size(), 1u);
    EXPECT_EQ(headless::Now(), 0u);
}

TEST_F(QueueTest, ChangedWindowsArePresentedBeforeWaitingAndOnlyThen) {
    HWND w = Make();
    ShowWindow(w, SW_SHOW);
    SetTimer(w, 1, 50, NULL);
    int presentsAtTick[4] = {};
    int tick = 0;
    test::hook = [&](HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT *result) {
        if (msg != WM_TIMER)
            return false;
        presentsAtTick[tick] = headless::Presents(hwnd);
        if (tick == 1) { // draws on the second tick only
            HDC dc = GetDC(hwnd);
            SetPixel(dc, 5, 5, RGB(255, 255, 255));
            ReleaseDC(hwnd, dc);
        }
        if (++tick == 4)
            PostQuitMessage(0);
        *result = 0;
        return true;
    };
    test::RunLoop();
    EXPECT_EQ(presentsAtTick[0], 1); // the first paint
    EXPECT_EQ(presentsAtTick[1], 1); // nothing changed in the first tick
    EXPECT_EQ(presentsAtTick[2], 2); // the pixel of the second
    EXPECT_EQ(presentsAtTick[3], 2);
}

} // namespace
