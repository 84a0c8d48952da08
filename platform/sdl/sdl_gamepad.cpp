// The SDL2 backend: game controllers, plugged in and pulled out at any time,
// as the keys and the menu commands the player would otherwise give.
//
//   D-pad or left stick left / right   Left / Right arrow
//   D-pad or left stick up / down      Up / Down arrow (the menus)
//   south or east face button          Space
//   Start                              the menu bar's first item (New game)
//   Back                               the system menu (as Alt+Space), or
//                                      Escape while a menu is open
//
// A direction is one key press for as long as it is held, never a stream of
// them: the key goes down when the D-pad or the stick is pushed, and up when
// neither is any longer.  The stick counts as pushed beyond a dead zone, and
// as let go only well inside it again, so a stick resting near the edge of
// the dead zone does not chatter.
//
// Held keys are counted across every controller and the keyboard, as one
// keyboard's would be: a key comes up only when nothing holds it any more
// (the player's second pad, or the arrow key beside it, still steering).  A
// direction pushed where another device already holds it is no new press; a
// fire button is, as the second fire button of one pad is: Space again, as
// a repeat.  The keyboard's own presses always pass, marked as repeats while
// a controller holds the key.
#include "platform/sdl/sdl_native.h"
#include "platform/window_inspection.h"

#include <algorithm>

namespace zsdl {

namespace {

constexpr int kStickPushed = 16000;  // of 32767: about half way
constexpr int kStickReleased = 9000; // back inside about a quarter

const int kPadVirtualKeys[kPadKeys] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_SPACE};

void PushKey(int type, int vk, bool alt = false, bool repeat = false) {
    zplat::InputEvent input = {};
    input.type = zplat::InputEvent::Type(type);
    input.vk = vk;
    input.alt = alt;
    input.repeat = repeat;
    zplat::PushInput(input); // no window: the one with the keyboard
}

void PushTap(int vk, bool alt) {
    PushKey(zplat::InputEvent::KeyDown, vk, alt);
    PushKey(zplat::InputEvent::KeyUp, vk, alt);
}

// -1, 0 or +1: where a stick axis is, after the dead zone, given where it was.
int StickDirection(int value, int was) {
    if (value <= -kStickPushed) {
        return -1;
    }
    if (value >= kStickPushed) {
        return 1;
    }
    if (was != 0 && value * was > kStickReleased) {
        return was; // not yet back inside
    }
    return 0;
}

// The controller key a virtual key stands for; -1 for any other.
int PadKeyOf(int vk) {
    for (int key = 0; key < kPadKeys; ++key) {
        if (kPadVirtualKeys[key] == vk) {
            return key;
        }
    }
    return -1;
}

bool AnyMenuOpen() {
    for (HWND window : zplat::ListWindows()) {
        zplat::WindowInfo info;
        if (zplat::GetWindowInfo(window, &info) && info.dropDownOpen) {
            return true;
        }
    }
    return false;
}

} // namespace

bool SdlBackend::HeldElsewhere(int key, const Pad *except) const {
    if (keyboardHeld_[key]) {
        return true;
    }
    for (const std::unique_ptr<Pad> &pad : pads_) {
        if (pad.get() != except && pad->down[key]) {
            return true;
        }
    }
    return false;
}

bool SdlBackend::NoteKeyboardKey(int vk, bool down) {
    const int key = PadKeyOf(vk);
    if (key < 0) {
        return false;
    }
    keyboardHeld_[key] = down;
    for (const std::unique_ptr<Pad> &pad : pads_) {
        if (pad->down[key]) {
            return true;
        }
    }
    return false;
}

SdlBackend::Pad *SdlBackend::FindPad(SDL_JoystickID id) {
    for (const std::unique_ptr<Pad> &pad : pads_) {
        if (pad->id == id) {
            return pad.get();
        }
    }
    return nullptr;
}

void SdlBackend::OpenPad(int deviceIndex) {
    SDL_GameController *controller = SDL_GameControllerOpen(deviceIndex);
    if (controller == nullptr) {
        return;
    }
    const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
    if (FindPad(id) != nullptr) {
        SDL_GameControllerClose(controller); // already open: drop the extra reference
        return;
    }
    auto pad = std::make_unique<Pad>();
    pad->controller = controller;
    pad->id = id;
    pads_.push_back(std::move(pad));
}

bool SdlBackend::ClosePad(SDL_JoystickID id, bool releaseKeys) {
    Pad *pad = FindPad(id);
    if (pad == nullptr) {
        return false;
    }
    bool pushed = false;
    if (releaseKeys) {
        // Pulled out with something held: its key comes up, as a key does.
        std::fill(pad->dpad, pad->dpad + 4, false);
        pad->stickX = pad->stickY = 0;
        pad->fireButtons = 0;
        pushed = UpdatePadKeys(*pad);
    }
    SDL_GameControllerClose(pad->controller);
    pads_.erase(std::find_if(pads_.begin(), pads_.end(),
                             [pad](const std::unique_ptr<Pad> &p) { return p.get() == pad; }));
    return pushed;
}

// Gives the core the key presses and releases that make its keys match
// what is held on the controller now; true when it gave any.
bool SdlBackend::UpdatePadKeys(Pad &pad) {
    const bool held[kPadKeys] = {
        pad.dpad[kPadLeft] || pad.stickX < 0,
        pad.dpad[kPadRight] || pad.stickX > 0,
        pad.dpad[kPadUp] || pad.stickY < 0,
        pad.dpad[kPadDown] || pad.stickY > 0,
        pad.fireButtons > 0,
    };
    bool pushed = false;
    for (int key = 0; key < kPadKeys; ++key) {
        if (held[key] == pad.down[key]) {
            continue;
        }
        pad.down[key] = held[key];
        if (HeldElsewhere(key, &pad)) {
            // Down already, and staying down: only fire is pressed again.
            if (held[key] && key == kPadFire) {
                PushKey(zplat::InputEvent::KeyDown, VK_SPACE, false, true);
                pushed = true;
            }
            continue;
        }
        PushKey(held[key] ? zplat::InputEvent::KeyDown : zplat::InputEvent::KeyUp,
                kPadVirtualKeys[key]);
        pushed = true;
    }
    return pushed;
}

bool SdlBackend::TranslatePad(const SDL_Event &event) {
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
        OpenPad(event.cdevice.which);
        return false;
    case SDL_CONTROLLERDEVICEREMOVED:
        return ClosePad(event.cdevice.which, true);
    case SDL_CONTROLLERAXISMOTION: {
        Pad *pad = FindPad(event.caxis.which);
        if (pad == nullptr) {
            return false;
        }
        if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) {
            pad->stickX = StickDirection(event.caxis.value, pad->stickX);
        } else if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) {
            pad->stickY = StickDirection(event.caxis.value, pad->stickY);
        } else {
            return false;
        }
        return UpdatePadKeys(*pad);
    }
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
        Pad *pad = FindPad(event.cbutton.which);
        if (pad == nullptr) {
            return false;
        }
        const bool pressed = event.type == SDL_CONTROLLERBUTTONDOWN;
        switch (event.cbutton.button) {
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
            pad->dpad[kPadLeft] = pressed;
            break;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
            pad->dpad[kPadRight] = pressed;
            break;
        case SDL_CONTROLLER_BUTTON_DPAD_UP:
            pad->dpad[kPadUp] = pressed;
            break;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
            pad->dpad[kPadDown] = pressed;
            break;
        case SDL_CONTROLLER_BUTTON_A: // south
        case SDL_CONTROLLER_BUTTON_B: // east
            pad->fireButtons = std::max(0, pad->fireButtons + (pressed ? 1 : -1));
            if (pressed && pad->down[kPadFire]) {
                // The other fire button already holds Space: press it again.
                PushKey(zplat::InputEvent::KeyDown, VK_SPACE, false, true);
                return true;
            }
            break;
        case SDL_CONTROLLER_BUTTON_START: {
            if (!pressed) {
                return false;
            }
            zplat::InputEvent input = {};
            input.type = zplat::InputEvent::BarCommand;
            input.x = 0;
            zplat::PushInput(input);
            return true;
        }
        case SDL_CONTROLLER_BUTTON_Y: // north: the Pause key
            if (!pressed) {
                return false;
            }
            PushTap(VK_PAUSE, false);
            return true;
        case SDL_CONTROLLER_BUTTON_BACK:
            if (!pressed) {
                return false;
            }
            if (AnyMenuOpen()) {
                PushTap(VK_ESCAPE, false);
            } else {
                PushTap(VK_SPACE, true);
            }
            return true;
        default:
            return false;
        }
        return UpdatePadKeys(*pad);
    }
    default:
        return false;
    }
}

} // namespace zsdl
