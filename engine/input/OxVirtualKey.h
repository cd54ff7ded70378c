#pragma once
// The game's key table: logical keys, each bound to any number of device buttons, sampled once
// per frame into two buffers (this frame and the last) so that readers can ask for presses,
// releases, hold counts and key repeat without touching a device.
//
// Calls between operations go through the virtual table, so a derived table that overrides
// getHoldCount also changes isRepeat. A key number outside the table reads as up with hold 0,
// and writes to it are ignored; bindings naming a device that is no longer there read as up.
#include <cstdint>
#include <vector>

#include "engine/input/IOrvexKeyBase.h"

namespace Orvex::InputSystem {

class OxVirtualKey : public IOrvexKeyBase {
public:
    struct Binding {
        uint32_t deviceIndex;
        uint32_t button;
    };
    struct KeyRecord {
        std::vector<Binding> bindings;
        bool down = false;
        uint32_t holdCount = 0;  // frames held after the frame the key went down
    };

    OxVirtualKey() = default;
    OxVirtualKey(const OxVirtualKey&) = delete;
    OxVirtualKey& operator=(const OxVirtualKey&) = delete;

    void clearAllKeys() override;
    void clearKey(uint32_t key) override;
    bool isDown(uint32_t key) override;
    bool isPushed(uint32_t key) override;
    bool isReleased(uint32_t key) override;
    uint32_t getKeyCount() override;
    ~OxVirtualKey() override = default;
    virtual void update();
    virtual void clearBindings();
    virtual bool addDevice(IOrvexKeyBase* device);
    virtual void removeDeviceAt(uint32_t index);
    virtual void removeDevice(IOrvexKeyBase* device);
    // Null for a position that is not below the device count.
    virtual IOrvexKeyBase* getDevice(uint32_t index);
    virtual uint32_t getDeviceCount();
    // Grows the table to hold `key` first, so a failing bind still adds the key.
    virtual bool bind(uint32_t key, uint32_t deviceIndex, uint32_t button);
    virtual uint32_t getHoldCount(uint32_t key);
    virtual uint32_t setHoldCount(uint32_t key, uint32_t count);
    virtual bool setDown(uint32_t key, bool down);
    virtual uint32_t getRepeatDelay();
    virtual uint32_t setRepeatDelay(uint32_t frames);
    virtual uint32_t getRepeatInterval();
    virtual uint32_t setRepeatInterval(uint32_t frames);
    virtual bool isRepeat(uint32_t key);
    virtual void swapBuffers();

protected:
    // This frame's record of a key, or null outside the table.
    KeyRecord* currentRecord(uint32_t key);
    KeyRecord* previousRecord(uint32_t key);

private:
    bool isPressed(const KeyRecord& record);

    std::vector<IOrvexKeyBase*> devices_;
    std::vector<KeyRecord> keys_[2];
    uint32_t current_ = 0;
    uint32_t repeatDelay_ = 20;
    uint32_t repeatInterval_ = 6;
};

}  // namespace Orvex::InputSystem
