#include "engine/input/OxDI8GamePadManager.h"

#include "engine/input/OxDI8GamePadDevice.h"
#include "engine/input/OxNullGamePadDevice.h"

namespace Orvex::InputSystem {

bool OxDI8GamePadManager::initialize(const std::shared_ptr<Platform::Input::InputInterface>& input) {
    if (!input) {
        return false;
    }
    const int32_t result = input->enumGameControllers([this](const Platform::Input::DeviceInstance& found) {
        pads_.push_back(std::make_shared<OxDI8GamePadDevice>(found.instance, static_cast<uint32_t>(pads_.size())));
        ++attachedCount_;
        return true;
    });
    if (result < 0) {
        return false;
    }
    for (const auto& pad : pads_) {
        if (pad->isNull()) {
            continue;
        }
        if (!std::static_pointer_cast<OxDI8GamePadDevice>(pad)->initialize(input)) {
            return false;
        }
    }
    return true;
}

std::shared_ptr<OxGamePadDevice> OxDI8GamePadManager::getPad(uint32_t index) {
    if (index >= attachedCount_) {
        while (pads_.size() < static_cast<size_t>(index) + 1) {
            pads_.push_back(std::make_shared<OxNullGamePadDevice>(static_cast<uint32_t>(pads_.size())));
        }
    }
    return index < pads_.size() ? pads_[index] : nullptr;
}

}  // namespace Orvex::InputSystem
