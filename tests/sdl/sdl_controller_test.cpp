// Game controllers, plugged in and out at any time: the stick and the D-pad
// as arrows, A and B as Space, Start as New game, Back as the system menu, the
// north button as Pause.
#include "platform/session.h"
#include "platform/window_inspection.h"
#include "tests/sdl/sdl_fixture.h"
#include "tests/support/virtual_pad.h"

#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <utility>

namespace sdltest {
namespace {

using support::SeenOf;
using support::WParamsOf;

// An SDL virtual controller with every button and axis of a game controller.
class VirtualPad {
public:
    VirtualPad() {
        const int device = support::AttachVirtualPad("test pad");
        EXPECT_GE(device, 0) << SDL_GetError();
        id_ = SDL_JoystickGetDeviceInstanceID(device);
        joystick_ = SDL_JoystickOpen(device);
    }
    ~VirtualPad() {
        SDL_JoystickClose(joystick_);
        for (int i = 0; i < SDL_NumJoysticks(); ++i) {
            if (SDL_JoystickGetDeviceInstanceID(i) == id_) {
                SDL_JoystickDetachVirtual(i);
            }
        }
    }
    void Axis(SDL_GameControllerAxis axis, Sint16 value) {
        EXPECT_EQ(SDL_JoystickSetVirtualAxis(joystick_, axis, value), 0);
    }
    void Button(SDL_GameControllerButton button, bool down) {
        EXPECT_EQ(SDL_JoystickSetVirtualButton(joystick_, button, down ? 1 : 0), 0);
    }
    void Press(SDL_GameControllerButton button) {
        Button(button, true);
        SDL_GameControllerUpdate(); // seen down, then up
        Button(button, false);
    }

private:
    SDL_JoystickID id_ = -1;
    SDL_Joystick *joystick_ = nullptr;
};

TEST_F(SdlBackendTest, ControllersPluggedInAnyTimeGiveTheArrowsSpaceNewGameAndTheSystemMenu) {
    HWND window = MakeWindow();
    std::unique_ptr<VirtualPad> pad;
    std::vector<std::pair<UINT, WPARAM>> expected; // key messages, in order
    auto keys = [] {
        std::vector<std::pair<UINT, WPARAM>> out;
        for (const support::Seen &m : support::seen) {
            if (m.message == WM_KEYDOWN || m.message == WM_KEYUP || m.message == WM_SYSKEYDOWN ||
                m.message == WM_SYSKEYUP) {
                out.emplace_back(m.message, m.wParam);
            }
        }
        return out;
    };
    // The stick's path to the left, a step each tick: inside the dead zone,
    // pushed, wobbling but still pushed, then let go.
    const Sint16 stickLeft[] = {-6000,  -12000, -17000, -24000, -32768,
                                -20000, -12000, -30000, -8000,  0};
    RunLoop(window, [&](HWND w, int tick) {
        const int step = tick - 2;
        if (tick == 0) {
            EXPECT_EQ(backend->GamepadCount(), 0);
            pad = std::make_unique<VirtualPad>(); // plugged in while the game runs
        } else if (step >= 0 && step < int(std::size(stickLeft))) {
            if (step == 0) {
                EXPECT_EQ(backend->GamepadCount(), 1);
            }
            if (step == 2) {
                EXPECT_TRUE(keys().empty()) << "a quarter and a third of the way are no push";
            }
            pad->Axis(SDL_CONTROLLER_AXIS_LEFTX, stickLeft[step]);
            // The other stick and the triggers are no arrows.
            pad->Axis(SDL_CONTROLLER_AXIS_RIGHTX, Sint16(step % 2 ? -32768 : 32767));
        } else if (tick == 14) {
            expected = {{WM_KEYDOWN, VK_LEFT}, {WM_KEYUP, VK_LEFT}};
            EXPECT_EQ(keys(), expected) << "one press for the whole push";
            // The D-pad, with the stick pushed the same way meanwhile: still
            // one press.
            pad->Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
        } else if (tick == 15) {
            pad->Axis(SDL_CONTROLLER_AXIS_LEFTX, 30000);
        } else if (tick == 16) {
            pad->Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
        } else if (tick == 17) {
            pad->Axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
            pad->Press(SDL_CONTROLLER_BUTTON_A);
        } else if (tick == 18) {
            pad->Press(SDL_CONTROLLER_BUTTON_B);
            pad->Press(SDL_CONTROLLER_BUTTON_X); // no key
        } else if (tick == 20) {
            expected.insert(expected.end(), {{WM_KEYDOWN, VK_RIGHT},
                                             {WM_KEYUP, VK_RIGHT},
                                             {WM_KEYDOWN, VK_SPACE},
                                             {WM_KEYUP, VK_SPACE},
                                             {WM_KEYDOWN, VK_SPACE},
                                             {WM_KEYUP, VK_SPACE}});
            EXPECT_EQ(keys(), expected);
            EXPECT_TRUE(WParamsOf(WM_COMMAND).empty());
            pad->Press(SDL_CONTROLLER_BUTTON_START);
        } else if (tick == 22) {
            EXPECT_EQ(WParamsOf(WM_COMMAND), (std::vector<WPARAM>{1000}));
            pad->Press(SDL_CONTROLLER_BUTTON_BACK);
        } else if (tick == 24) {
            zplat::WindowInfo info;
            EXPECT_TRUE(zplat::GetWindowInfo(w, &info) && info.dropDownOpen)
                << "Back opens the system menu";
            // Down moves in it, Back again closes it.
            pad->Press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
        } else if (tick == 25) {
            pad->Press(SDL_CONTROLLER_BUTTON_BACK);
        } else if (tick == 27) {
            zplat::WindowInfo info;
            EXPECT_TRUE(zplat::GetWindowInfo(w, &info) && !info.dropDownOpen);
            // Alt+Space's own request for the menu, and nothing chosen.
            EXPECT_EQ(WParamsOf(WM_SYSCOMMAND), (std::vector<WPARAM>{SC_KEYMENU}));
            // Pulled out with the D-pad held: the key comes up.
            pad->Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
        } else if (tick == 28) {
            pad.reset();
        } else if (tick == 30) {
            EXPECT_EQ(backend->GamepadCount(), 0);
            const auto got = keys();
            EXPECT_GE(got.size(), 2u);
            if (got.size() >= 2) {
                EXPECT_EQ(got[got.size() - 2], (std::pair<UINT, WPARAM>{WM_KEYDOWN, VK_LEFT}));
                EXPECT_EQ(got.back(), (std::pair<UINT, WPARAM>{WM_KEYUP, VK_LEFT}));
            }
            // And in again.
            pad = std::make_unique<VirtualPad>();
        } else if (tick == 32) {
            EXPECT_EQ(backend->GamepadCount(), 1);
            pad->Press(SDL_CONTROLLER_BUTTON_A);
        }
        return tick < 34;
    });
    const auto got = keys();
    ASSERT_GE(got.size(), 2u);
    EXPECT_EQ(got[got.size() - 2], (std::pair<UINT, WPARAM>{WM_KEYDOWN, VK_SPACE}));
    for (const support::Seen &m : SeenOf(WM_KEYDOWN)) {
        EXPECT_EQ(m.lParam & (1 << 30), 0) << "a controller never repeats a key";
    }
    pad.reset();
}

// The north button is the Pause key: it pauses the game, and again goes on.
TEST_F(SdlBackendTest, TheNorthButtonPausesAndGoesOn) {
    MakeWindow();
    VirtualPad pad;
    for (int i = 0; i < 50 && backend->GamepadCount() == 0; ++i) {
        backend->Poll(); // plugged in
        SDL_Delay(2);
    }
    ASSERT_EQ(backend->GamepadCount(), 1);
    for (bool paused : {true, false}) {
        pad.Press(SDL_CONTROLLER_BUTTON_Y);
        for (int i = 0; i < 50 && zplat::Paused() != paused; ++i) {
            backend->Poll();
            SDL_Delay(2);
        }
        EXPECT_EQ(zplat::Paused(), paused);
    }
}

// Two controllers and the keyboard hold the same keys: a key goes down with
// the first to hold it and comes up only when the last lets go.
TEST_F(SdlBackendTest, AKeyHeldOnTwoControllersOrOnTheKeyboardComesUpWhenTheLastLetsGo) {
    HWND window = MakeWindow();
    std::unique_ptr<VirtualPad> first;
    std::unique_ptr<VirtualPad> second;
    // "+37": key 37 down, "*32": pressed again (a repeat), "-37": up.
    const auto keys = [] {
        std::vector<std::string> out;
        for (const support::Seen &m : support::seen) {
            if (m.message == WM_KEYDOWN || m.message == WM_KEYUP) {
                const char *sign = m.message == WM_KEYUP         ? "-"
                                   : (m.lParam & (1 << 30)) != 0 ? "*"
                                                                 : "+";
                out.push_back(sign + std::to_string(m.wParam));
            }
        }
        return out;
    };
    // Steps, one a tick: what each device does, and the keys the window has
    // seen by then.
    struct Step {
        std::function<void(HWND)> act;
        std::vector<std::string> seen;
    };
    const auto dpadLeft = [&](VirtualPad &pad, bool down) {
        pad.Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, down);
    };
    const std::vector<Step> steps = {
        {[&](HWND) {
             first = std::make_unique<VirtualPad>();
             second = std::make_unique<VirtualPad>();
         },
         {}},
        {[&](HWND) { dpadLeft(*first, true); }, {"+37"}},
        {[&](HWND) { second->Axis(SDL_CONTROLLER_AXIS_LEFTX, -32768); }, {"+37"}},
        {[&](HWND) { dpadLeft(*first, false); }, {"+37"}},
        {[&](HWND) { second->Axis(SDL_CONTROLLER_AXIS_LEFTX, 0); }, {"+37", "-37"}},
        // Fire on both: a second press, and up only after both.
        {[&](HWND) { second->Button(SDL_CONTROLLER_BUTTON_A, true); }, {"+37", "-37", "+32"}},
        {[&](HWND) { first->Button(SDL_CONTROLLER_BUTTON_B, true); }, {"+37", "-37", "+32", "*32"}},
        {[&](HWND) { second->Button(SDL_CONTROLLER_BUTTON_A, false); },
         {"+37", "-37", "+32", "*32"}},
        {[&](HWND) { first->Button(SDL_CONTROLLER_BUTTON_B, false); },
         {"+37", "-37", "+32", "*32", "-32"}},
        // The keyboard's Right and a controller's: the keyboard lets go first,
        // then the controller, and the other way round.
        {[&](HWND w) { PushKey(w, SDLK_RIGHT, SDL_SCANCODE_RIGHT); }, {"+39"}},
        {[&](HWND) { first->Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true); }, {"+39"}},
        {[&](HWND w) { PushKey(w, SDLK_RIGHT, SDL_SCANCODE_RIGHT, KMOD_NONE, 0, true); }, {"+39"}},
        {[&](HWND) { first->Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false); }, {"+39", "-39"}},
        {[&](HWND) { first->Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true); },
         {"+39", "-39", "+39"}},
        {[&](HWND w) { PushKey(w, SDLK_RIGHT, SDL_SCANCODE_RIGHT); }, {"+39", "-39", "+39", "*39"}},
        {[&](HWND) { first->Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false); },
         {"+39", "-39", "+39", "*39"}},
        {[&](HWND w) { PushKey(w, SDLK_RIGHT, SDL_SCANCODE_RIGHT, KMOD_NONE, 0, true); },
         {"+39", "-39", "+39", "*39", "-39"}},
    };
    size_t keysBefore = 0;
    std::vector<std::string> expected;
    RunLoop(window, [&](HWND w, int tick) {
        // Each step's keys are checked on the tick after the next: a step's
        // input is read during the tick that follows it.
        const int step = tick / 2;
        if (tick % 2 == 1) {
            return true;
        }
        if (step > 0) {
            const std::vector<std::string> got = keys();
            const std::vector<std::string> seen(got.begin() + long(keysBefore), got.end());
            EXPECT_EQ(seen, steps[size_t(step - 1)].seen) << "after step " << step - 1;
            if (step - 1 == 8) {
                keysBefore = got.size(); // the keyboard's part starts afresh
            }
        }
        if (size_t(step) < steps.size()) {
            steps[size_t(step)].act(w);
        }
        return size_t(step) < steps.size();
    });
    first.reset();
    second.reset();
}

} // namespace
} // namespace sdltest
