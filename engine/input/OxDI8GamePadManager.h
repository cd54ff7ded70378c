#pragma once
// The game pads: real ones found once at start-up, then placeholders for higher pad numbers.
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/input/OxGamePadDevice.h"
#include "engine/system/singleton.h"
#include "platform/input/InputInterface.h"

namespace Orvex::InputSystem {

class OxDI8GamePadManager {
public:
    static OxDI8GamePadManager* instance() { return System::singleton<OxDI8GamePadManager>::instance(); }
    static void release() { System::singleton<OxDI8GamePadManager>::release(); }

    OxDI8GamePadManager(const OxDI8GamePadManager&) = delete;
    OxDI8GamePadManager& operator=(const OxDI8GamePadManager&) = delete;

    // Enumerates the attached pads and initialises them; false for no interface or a failure.
    bool initialize(const std::shared_ptr<Platform::Input::InputInterface>& input);
    // The pad of that number, appending placeholders up to it when no real pad has it.
    std::shared_ptr<OxGamePadDevice> getPad(uint32_t index);
    uint32_t getAttachedCount() const { return attachedCount_; }

private:
    friend class System::singleton<OxDI8GamePadManager>;
    OxDI8GamePadManager() = default;

    uint32_t attachedCount_ = 0;
    std::vector<std::shared_ptr<OxGamePadDevice>> pads_;
};

}  // namespace Orvex::InputSystem
