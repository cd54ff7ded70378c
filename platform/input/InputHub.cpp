#include "platform/input/InputHub.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "platform/input/KeyCodes.h"

namespace Platform::Input {
namespace {

constexpr uint8_t kDown = 0x80;
constexpr int32_t kWheelDelta = 120;
// The recorded pad: a stick (two axes) and as many buttons as a large pad has.
constexpr int kRecordedPadAxes = 2;
constexpr int kRecordedPadButtons = 32;

void centre(JoyState& state) {
    state = JoyState{};
    for (uint32_t& pov : state.pov) {
        pov = kPovCentred;
    }
}

void setAxis(JoyState& state, uint8_t axis, int16_t value) {
    int32_t* const axes[] = {&state.x,    &state.y,    &state.z,          &state.rotX,
                             &state.rotY, &state.rotZ, &state.sliders[0], &state.sliders[1]};
    if (axis < std::size(axes)) {
        *axes[axis] = value;
    }
}

}  // namespace

uint32_t povFromHat(uint8_t hat) {
    switch (hat) {
        case SDL_HAT_UP:
            return 0;
        case SDL_HAT_RIGHTUP:
            return 4500;
        case SDL_HAT_RIGHT:
            return 9000;
        case SDL_HAT_RIGHTDOWN:
            return 13500;
        case SDL_HAT_DOWN:
            return 18000;
        case SDL_HAT_LEFTDOWN:
            return 22500;
        case SDL_HAT_LEFT:
            return 27000;
        case SDL_HAT_LEFTUP:
            return 31500;
        default:
            return kPovCentred;
    }
}

int32_t mouseButtonIndex(uint8_t sdlButton) {
    switch (sdlButton) {
        case SDL_BUTTON_LEFT:
            return 0;
        case SDL_BUTTON_RIGHT:
            return 1;
        case SDL_BUTTON_MIDDLE:
            return 2;
        case SDL_BUTTON_X1:
            return 3;
        default:
            return -1;
    }
}

InputHub::InputHub() = default;

InputHub& InputHub::instance() {
    static InputHub* hub = [] {
        auto* created = new InputHub();  // lives for the process: the window thread may still call it
        Window::addEventTap(created);
        return created;
    }();
    return *hub;
}

InputHub::Pad* InputHub::padByInstanceLocked(int32_t instanceId) {
    for (auto& [index, pad] : pads_) {
        if (pad.joystick != nullptr && pad.instanceId == instanceId) {
            return &pad;
        }
    }
    return nullptr;
}

void InputHub::clearLocked() {
    std::fill(std::begin(keys_), std::end(keys_), uint8_t{0});
    mouse_ = MouseState{};
    for (auto& [index, pad] : pads_) {
        centre(pad.state);
    }
}

void InputHub::onSdlEvent(const SDL_Event& event) {
    std::lock_guard guard(lock_);
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (const uint8_t code = keyCodeFromScancode(event.key.keysym.scancode); code != 0) {
                keys_[code] = event.type == SDL_KEYDOWN ? kDown : 0;
            }
            break;
        case SDL_MOUSEMOTION:
            mouse_.x += event.motion.xrel;
            mouse_.y += event.motion.yrel;
            break;
        case SDL_MOUSEWHEEL:
            mouse_.wheel +=
                (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y) * kWheelDelta;
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (const int32_t button = mouseButtonIndex(event.button.button); button >= 0) {
                mouse_.buttons[button] = event.type == SDL_MOUSEBUTTONDOWN ? kDown : 0;
            }
            break;
        case SDL_JOYAXISMOTION:
            if (Pad* pad = padByInstanceLocked(event.jaxis.which)) {
                setAxis(pad->state, event.jaxis.axis, event.jaxis.value);
            }
            break;
        case SDL_JOYBUTTONDOWN:
        case SDL_JOYBUTTONUP:
            if (Pad* pad = padByInstanceLocked(event.jbutton.which); pad != nullptr && event.jbutton.button < 128) {
                pad->state.buttons[event.jbutton.button] = event.type == SDL_JOYBUTTONDOWN ? kDown : 0;
            }
            break;
        case SDL_JOYHATMOTION:
            if (Pad* pad = padByInstanceLocked(event.jhat.which); pad != nullptr && event.jhat.hat < 4) {
                pad->state.pov[event.jhat.hat] = povFromHat(event.jhat.value);
            }
            break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
                // Nothing may stay held while another program has the keyboard.
                clearLocked();
                ++focusLosses_;
            }
            break;
        default:
            break;
    }
}

void InputHub::CloseJoystick::operator()(_SDL_Joystick* joystick) const { SDL_JoystickClose(joystick); }

void InputHub::onSdlStopping() {
    std::lock_guard guard(lock_);
    for (auto& [index, pad] : pads_) {
        pad.joystick.reset();
    }
    pads_.clear();
    if (const int32_t recorded = recordedPadIndex_.exchange(-1); recorded >= 0) {
        SDL_JoystickDetachVirtual(recorded);
    }
    clearLocked();
}

void InputHub::readKeyboard(uint8_t (&keys)[256]) {
    std::vector<RecordedKeys::Change> changes;
    {
        std::lock_guard guard(lock_);
        const auto recordedPad = pads_.find(recordedPadIndex_.load());
        JoyState* pad = recordedPad != pads_.end() && recordedPad->second.joystick != nullptr
                            ? &recordedPad->second.state
                            : nullptr;
        changes = recordedKeys_.applyNextRead(keys_, pad);
        std::copy(std::begin(keys_), std::end(keys_), std::begin(keys));
    }
    // A recorded press reaches the window too, as a real one does: the window's own keys (F1)
    // act on it.
    for (const RecordedKeys::Change& change : changes) {
        Window::postKeyMessage(change.scancode, change.down);
    }
}

void InputHub::readMouse(MouseState& state) {
    std::lock_guard guard(lock_);
    state = mouse_;
    mouse_.x = mouse_.y = mouse_.wheel = 0;
}

bool InputHub::readPad(int32_t deviceIndex, JoyState& state) {
    std::lock_guard guard(lock_);
    const auto it = pads_.find(deviceIndex);
    if (it == pads_.end() || it->second.joystick == nullptr) {
        return false;
    }
    state = it->second.state;
    return true;
}

uint32_t InputHub::focusLossCount() {
    std::lock_guard guard(lock_);
    return focusLosses_;
}

int32_t InputHub::padCount() {
    // The joystick calls lock SDL's joystick list themselves; without the subsystem there are none.
    if (SDL_WasInit(SDL_INIT_JOYSTICK) == 0) {
        return 0;
    }
    attachRecordedPad();
    return std::max(0, SDL_NumJoysticks());
}

void InputHub::attachRecordedPad() {
    // Not under lock_: SDL takes its own joystick lock inside, and the two are kept apart.
    std::call_once(recordedPadOnce_, [this] {
        if (!recordedKeys_.hasPad()) {
            return;
        }
        const int32_t index =
            SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, kRecordedPadAxes, kRecordedPadButtons, 0);
        if (index < 0) {
            std::fprintf(stderr, "ORVEX_INPUT_KEYS: the recorded game pad could not be attached: %s\n", SDL_GetError());
            return;
        }
        recordedPadIndex_ = index;
    });
}

bool InputHub::openPad(int32_t deviceIndex, PadInfo& info) {
    std::lock_guard guard(lock_);
    Pad& pad = pads_[deviceIndex];
    if (pad.joystick == nullptr) {
        if (SDL_WasInit(SDL_INIT_JOYSTICK) != 0) {
            pad.joystick.reset(SDL_JoystickOpen(deviceIndex));
        }
        if (pad.joystick == nullptr) {
            pads_.erase(deviceIndex);
            return false;
        }
        pad.instanceId = SDL_JoystickInstanceID(pad.joystick.get());
        centre(pad.state);
    }
    info.axes = static_cast<uint32_t>(std::max(0, SDL_JoystickNumAxes(pad.joystick.get())));
    info.buttons = static_cast<uint32_t>(std::clamp(SDL_JoystickNumButtons(pad.joystick.get()), 0, 128));
    info.povs = static_cast<uint32_t>(std::clamp(SDL_JoystickNumHats(pad.joystick.get()), 0, 4));
    return true;
}

}  // namespace Platform::Input
