#pragma once
// Stands for a pad number that has no pad: parked, all buttons up, all axes centred.
#include "engine/input/OxGamePadDevice.h"

namespace Orvex::InputSystem {

class OxNullGamePadDevice : public OxGamePadDevice {
public:
    explicit OxNullGamePadDevice(uint32_t index) : index_(index) {}

    uint32_t getState() override { return kStateReleased; }
    uint32_t getIndex() override { return index_; }
    void update() override {}
    void setState(uint32_t) override {}

    bool isNull() override { return true; }
    uint32_t getAxisCount() override { return 0; }
    float getX() override { return 0.0f; }
    float getY() override { return 0.0f; }
    float getZ() override { return 0.0f; }
    float getRotX() override { return 0.0f; }
    float getRotY() override { return 0.0f; }
    float getRotZ() override { return 0.0f; }
    void clearKeyBinds() override {}
    void addKeyBind(const std::shared_ptr<IOrvexGamePadKeyBind>&) override {}
    void removeKeyBind(const std::shared_ptr<IOrvexGamePadKeyBind>&) override {}

    void clearAllKeys() override {}
    void clearKey(uint32_t) override {}
    bool isDown(uint32_t) override { return false; }
    bool isPushed(uint32_t) override { return false; }
    bool isReleased(uint32_t) override { return false; }
    uint32_t getKeyCount() override { return 0; }

private:
    uint32_t index_;
};

}  // namespace Orvex::InputSystem
