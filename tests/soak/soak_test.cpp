// A long run of natural play: the real program on the headless backend, the
// autopilot steering and firing, a new game as soon as one ends (or when one
// has gone on for 10,000 ticks: a crazy invader that took on a great deal of
// energy at its placement can outlast any player's patience), for a million
// ticks (about 14 hours of play at 20 ticks a second).  The heap
// and the platform's handles must be as large over the last 100,000 ticks as
// over the first: nothing grows with play.
//
//   soak_tests [--gtest_filter=...]       ZORVAK_SOAK_TICKS=N plays N ticks
#include "platform/headless/headless.h"
#include "platform/window_inspection.h"
#include "resources/game_module.h"
#include "tests/support/game_window.h"
#include "world/game_state.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <malloc.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZORVAK_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define ZORVAK_ASAN 1
#endif
#ifdef ZORVAK_ASAN
// The sanitizer runtime's count of the bytes the program has allocated and
// not freed (not every compiler ships the header that declares it).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

const uint64_t kStart = 100000;
const uint64_t kTick = 50;

// Bytes the program holds on the heap now.
size_t HeapInUse() {
#ifdef ZORVAK_ASAN
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

struct Window {
    size_t heapMax = 0;
    int handlesMax = 0;
    int dcsMax = 0;
};

TEST(Soak, AMillionTicksOfPlayKeepHeapAndHandlesFlat) {
    const char *override = std::getenv("ZORVAK_SOAK_TICKS");
    static long total;
    total = override != nullptr ? std::atol(override) : 1000000;
    ASSERT_GE(total, 200000) << "the first and last 100,000 ticks must not overlap";
    static long ticks, games, gameStart;
    static unsigned levels;
    static Window first, last;
    static HWND window;
    ticks = games = gameStart = 0;
    levels = 0;
    first = last = Window{};

    headless::Reset(kStart);
    headless::SetTimeLimit(kTick * uint64_t(total + 1000));
    headless::OnFailure([](const std::string &what) { ADD_FAILURE() << what; });
    headless::At(kStart + 10, [] { window = headless::FindWindowByClass("CL_ZORVAK"); });
    headless::OnIdle([] {
        const long tick = long((headless::Now() - kStart) / kTick);
        if (tick == ticks) {
            return; // a second wait in the same tick
        }
        ticks = tick;
        if ((lives == 0 && objectCount == 0) || ticks - gameStart == 10000) {
            // Between games, or tired of this one: the next one starts.
            ++games;
            gameStart = ticks;
            headless::AltLetter(window, 'N');
        } else {
            levels |= 1u << level;
            support::Hunt();
        }
        if (ticks % 1000 == 0) {
            Window &w = ticks <= 100000 ? first : last;
            if (ticks <= 100000 || ticks > total - 100000) {
                const zplat::HandleCounts handles = zplat::CountHandles();
                w.heapMax = std::max(w.heapMax, HeapInUse());
                w.handlesMax = std::max(w.handlesMax, handles.total);
                w.dcsMax = std::max(w.dcsMax, handles.dcs);
            }
        }
        if (ticks == total) {
            headless::AltLetter(window, 'Q');
        }
    });
    EXPECT_EQ(WinMain(GameModule(), NULL, const_cast<LPSTR>(""), SW_SHOWDEFAULT), 0);
    std::printf("%ld ticks, %ld games, levels played 0x%04x\n"
                "first 100000 ticks: heap at most %zu bytes, %d handles\n"
                "last 100000 ticks:  heap at most %zu bytes, %d handles\n",
                ticks, games, levels, first.heapMax, first.handlesMax, last.heapMax,
                last.handlesMax);
    EXPECT_EQ(ticks, total);
    EXPECT_GE(games, total / 50000) << "games end and new ones start";
    EXPECT_EQ(levels, 0xFFFFu) << "every level is played";
    EXPECT_EQ(last.handlesMax, first.handlesMax);
    EXPECT_EQ(last.dcsMax, 0);
    // A little slack for the allocator's own bookkeeping; a leak of a few
    // bytes a tick would be hundreds of kilobytes here.
    EXPECT_LE(last.heapMax, first.heapMax + 16 * 1024);
}

} // namespace
