// The steady-state tick allocates nothing: the timer message, the game tick
// and the present, run by the real program's message loop on the headless
// backend, over a thousand ticks of a game in play and of a minimised game.
//
// This program replaces the global operator new (and so every container's
// allocation) with a counting one (counting_new.cpp);
// ZORVAK_ALLOCATION_TRACE=1 prints a stack for each allocation counted, to
// find where one comes from.
#include "platform/backend.h"
#include "platform/headless/headless.h"
#include "platform/journal.h"
#include "platform/replay.h"
#ifdef ZORVAK_STEADY_SDL
#include "platform/sdl/sdl_backend.h"
#endif
#include "resources/game_module.h"
#include "tests/steady/counting_new.h"
#include "tests/support/game_window.h"
#include "world/game_state.h"

#include <cstdlib>
#include <gtest/gtest.h>

using steady::allocations;
using steady::counting;
using steady::trace;

namespace {

const uint64_t kStart = 100000;
const uint64_t kTick = 50;

// Plays a game with the autopilot (lives kept up, so that it never ends) and
// counts what ticks first..first+count-1 allocate; minimised: the game is
// minimised before the counted ticks; recording: the platform records the
// session for a replay, as the programs do.
long AllocationsOverTicks(int first, int count, bool minimised, bool recording = false) {
    trace = std::getenv("ZORVAK_ALLOCATION_TRACE") != nullptr;
    headless::Reset(kStart);
    if (recording) {
        zplat::StartRecording();
    }
    headless::OnFailure([](const std::string &what) { ADD_FAILURE() << what; });
    allocations = 0;
    static HWND window;
    static int ticks;
    static int from, to;
    ticks = 0;
    from = first;
    to = first + count;
    headless::At(kStart + 10, [] {
        window = headless::FindWindowByClass("CL_ZORVAK");
        headless::AltLetter(window, 'N');
    });
    if (minimised) {
        headless::At(kStart + kTick * uint64_t(first - 10), [] { headless::Minimize(window); });
    }
    // The loop waits once per tick: the counting starts and stops there.
    headless::OnIdle([] {
        ++ticks;
        counting = ticks > from && ticks <= to;
        if (lives != 0) {
            lives = 5;
        }
        support::Hunt();
        if (ticks == to + 1) {
            headless::AltLetter(window, 'Q');
        }
    });
    EXPECT_EQ(WinMain(GameModule(), NULL, const_cast<LPSTR>(""), SW_SHOWDEFAULT), 0);
    counting = false;
    return allocations;
}

TEST(SteadyState, AThousandGameTicksAllocateNothing) {
    EXPECT_EQ(AllocationsOverTicks(500, 1000, false), 0);
}

TEST(SteadyState, AThousandMinimisedTicksAllocateNothing) {
    EXPECT_EQ(AllocationsOverTicks(500, 1000, true), 0);
}

TEST(SteadyState, AThousandRecordedGameTicksAllocateNothing) {
    EXPECT_EQ(AllocationsOverTicks(500, 1000, false, true), 0);
    zplat::StopJournal();
}

#ifdef ZORVAK_STEADY_SDL
// The SDL backend's present path (on SDL's offscreen driver): a sprite that
// moves every frame, then the minimised window's animated icon.
TEST(SteadyState, AThousandSdlPresentsAllocateNothing) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    zsdl::SdlBackend backend(GameModule());
    HWND window = reinterpret_cast<HWND>(uintptr_t(0x1234));
    const int width = 511, height = 349;
    ASSERT_TRUE(backend.CreateNativeWindow(window, "steady", 0, 0, width, height));
    backend.ShowNativeWindow(window, true);
    std::vector<uint32_t> pixels(size_t(width) * height, 0);
    zplat::Frame frame{pixels.data(), width, height, 0, 19, false};
    auto step = [&](int t) {
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 40; ++x) {
                pixels[size_t(100 + y) * width + size_t((t + x) % (width - 40))] =
                    x < 32 ? 0x00FF00u * uint32_t(t & 1) + 0x0000FFu : 0;
            }
        }
    };
    for (int t = 0; t < 10; ++t) { // the first presents size the buffers
        step(t);
        frame.minimized = t >= 8;
        backend.Present(window, frame);
    }
    allocations = 0;
    counting = true;
    for (int t = 10; t < 1010; ++t) {
        step(t);
        frame.minimized = t >= 510 && t % 100 < 50;
        backend.Present(window, frame);
    }
    counting = false;
    EXPECT_EQ(allocations, 0);
    backend.DestroyNativeWindow(window);
}
#endif

// Recording a replay: a tick is one fire of the game's timer, which only
// counts; an auto-repeated key is one byte, which the buffer's doubling
// rarely has to make room for.
TEST(SteadyState, ReplayRecordingAllocatesNothingPerTick) {
    zplat::replay::StreamWriter writer;
    zplat::replay::InputRecord repeat;
    repeat.vk = 0x20;
    repeat.repeat = true;
    writer.Input(repeat, true, nullptr); // the buffer's first bytes
    allocations = 0;
    counting = true;
    for (int t = 0; t < 100000; ++t) {
        writer.Fire(0, 1, nullptr);
    }
    counting = false;
    EXPECT_EQ(allocations, 0);
    allocations = 0;
    counting = true;
    for (int t = 0; t < 100000; ++t) {
        writer.Fire(0, 1, nullptr);
        writer.Input(repeat, true, nullptr);
    }
    counting = false;
    EXPECT_LE(allocations, 20) << "the buffer grows by doubling";
}

} // namespace
