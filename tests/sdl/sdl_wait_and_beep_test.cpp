// The backend's clock and sound: waiting for a deadline or for input, and the
// beep on a sound device, silent without one.
#include "tests/sdl/sdl_fixture.h"

namespace sdltest {
namespace {

TEST_F(SdlBackendTest, WaitingEndsNoEarlierThanItsDeadlineOrAtInput) {
    HWND window = MakeWindow();
    for (int i = 0; i < 5; ++i) {
        const uint64_t deadline = backend->NowMs() + 7;
        backend->Wait(deadline);
        EXPECT_GE(backend->NowMs(), deadline);
    }
    // With input waiting there is no deadline to wait for.
    PushKey(window, SDLK_a, SDL_SCANCODE_A);
    backend->Wait(zplat::Backend::kNoDeadline);
}

TEST_F(SdlBackendTest, BeepPlaysOnASoundDeviceAndIsSilentWithoutOne) {
    MessageBeep(0xFFFFFFFF);
    EXPECT_EQ(backend->BeepsPlayed(), 1);
    // A burst is not queued up into a long drone.
    for (int i = 0; i < 20; ++i) {
        MessageBeep(0xFFFFFFFF);
    }
    EXPECT_LT(backend->BeepsPlayed(), 6);
    Uninstall();
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    Install();
    MessageBeep(0xFFFFFFFF);
    MessageBeep(0xFFFFFFFF);
    EXPECT_EQ(backend->BeepsPlayed(), 0);

    // A sound library that finds no device says nothing about it: the
    // beep is just silent.
    Uninstall();
    setenv("SDL_AUDIODRIVER", "alsa", 1);
    setenv("AUDIODEV", "no-such-device", 1);
    Install();
    testing::internal::CaptureStderr();
    MessageBeep(0xFFFFFFFF);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    unsetenv("AUDIODEV");
    EXPECT_EQ(backend->BeepsPlayed(), 0);
}

} // namespace
} // namespace sdltest
