#pragma once
// The input snapshots. The hub watches the SDL events that the window thread takes from SDL and
// keeps the latest keyboard, mouse and pad state under a lock; devices copy from it on the game
// thread. Tests feed it synthetic events the same way.
#include <atomic>
#include <memory>
#include <cstdint>
#include <map>
#include <mutex>

#include "platform/input/InputTypes.h"
#include "platform/input/RecordedKeys.h"
#include "platform/window/MessageQueue.h"

struct _SDL_Joystick;

namespace Platform::Input {

struct PadInfo {
    uint32_t axes = 0;
    uint32_t buttons = 0;
    uint32_t povs = 0;
};

class InputHub final : public Window::EventTap {
public:
    // Created on first use, when it starts watching the window thread's events.
    static InputHub& instance();

    void onSdlEvent(const SDL_Event& event) override;
    void onSdlStopping() override;

    void readKeyboard(uint8_t (&keys)[256]);
    // Movement since the last read (then reset), and the buttons now.
    void readMouse(MouseState& state);
    // False when the pad is not open (never opened, or closed because SDL stopped).
    bool readPad(int32_t deviceIndex, JoyState& state);
    // Grows by one at every focus loss; devices acquired before a loss read "input lost".
    uint32_t focusLossCount();

    int32_t padCount();
    bool openPad(int32_t deviceIndex, PadInfo& info);

private:
    InputHub();
    struct CloseJoystick {
        void operator()(_SDL_Joystick* joystick) const;
    };
    struct Pad {
        std::unique_ptr<_SDL_Joystick, CloseJoystick> joystick;
        int32_t instanceId = -1;
        JoyState state{};
    };
    Pad* padByInstanceLocked(int32_t instanceId);
    void clearLocked();
    // A recorded list that names pad inputs gets a virtual pad of SDL's to play them on, so the
    // game finds, opens and reads it as it does a real one.
    void attachRecordedPad();

    std::mutex lock_;
    uint8_t keys_[256] = {};
    // Presses recorded for a run without a person; they change keys_ as the game reads it.
    RecordedKeys recordedKeys_ = RecordedKeys::fromEnvironment();
    MouseState mouse_{};
    std::map<int32_t, Pad> pads_;  // by device index
    std::once_flag recordedPadOnce_;
    std::atomic<int32_t> recordedPadIndex_{-1};  // SDL's device index of the virtual pad; -1 without
    uint32_t focusLosses_ = 0;
};

// Hundredths of degrees clockwise from north for an SDL hat position; centred is 0xFFFFFFFF.
uint32_t povFromHat(uint8_t hat);
// Our button order (left, right, middle, first extra) for an SDL button number; -1 for others.
int32_t mouseButtonIndex(uint8_t sdlButton);

}  // namespace Platform::Input
