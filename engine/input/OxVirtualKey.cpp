#include "engine/input/OxVirtualKey.h"

#include <algorithm>

namespace Orvex::InputSystem {

OxVirtualKey::KeyRecord* OxVirtualKey::currentRecord(uint32_t key) {
    return key < keys_[current_].size() ? &keys_[current_][key] : nullptr;
}

OxVirtualKey::KeyRecord* OxVirtualKey::previousRecord(uint32_t key) {
    return key < keys_[current_ ^ 1].size() ? &keys_[current_ ^ 1][key] : nullptr;
}

void OxVirtualKey::clearAllKeys() {
    for (uint32_t key = static_cast<uint32_t>(keys_[current_].size()); key-- > 0;) {
        clearKey(key);
    }
}

void OxVirtualKey::clearKey(uint32_t key) {
    for (auto& keys : keys_) {
        if (key < keys.size()) {
            keys[key].down = false;
            keys[key].holdCount = 0;
        }
    }
}

bool OxVirtualKey::isDown(uint32_t key) {
    const KeyRecord* record = currentRecord(key);
    return record != nullptr && record->down;
}

bool OxVirtualKey::isPushed(uint32_t key) {
    const KeyRecord* now = currentRecord(key);
    const KeyRecord* before = previousRecord(key);
    return now != nullptr && before != nullptr && now->down && !before->down;
}

bool OxVirtualKey::isReleased(uint32_t key) {
    const KeyRecord* now = currentRecord(key);
    const KeyRecord* before = previousRecord(key);
    return now != nullptr && before != nullptr && !now->down && before->down;
}

uint32_t OxVirtualKey::getKeyCount() { return static_cast<uint32_t>(keys_[current_].size()); }

bool OxVirtualKey::isPressed(const KeyRecord& record) {
    for (const Binding& binding : record.bindings) {
        // A binding whose device was removed reads as up rather than reaching past the list.
        if (binding.deviceIndex < devices_.size() && devices_[binding.deviceIndex]->isDown(binding.button)) {
            return true;
        }
    }
    return false;
}

void OxVirtualKey::update() {
    swapBuffers();
    const uint32_t count = getKeyCount();
    for (uint32_t key = 0; key < count; ++key) {
        KeyRecord* now = currentRecord(key);
        const KeyRecord* before = previousRecord(key);
        if (now == nullptr || before == nullptr || now->bindings.empty()) {
            continue;
        }
        if (isPressed(*now)) {
            now->holdCount = before->down ? before->holdCount + 1 : 0;
            now->down = true;
        } else {
            now->down = false;
            now->holdCount = 0;
        }
    }
}

void OxVirtualKey::clearBindings() {
    devices_.clear();
    keys_[0].clear();
    keys_[1].clear();
}

bool OxVirtualKey::addDevice(IOrvexKeyBase* device) {
    if (device == nullptr) {
        return false;
    }
    devices_.push_back(device);
    return true;
}

void OxVirtualKey::removeDeviceAt(uint32_t index) {
    if (index < devices_.size()) {
        devices_.erase(devices_.begin() + index);
    }
}

void OxVirtualKey::removeDevice(IOrvexKeyBase* device) {
    const auto it = std::find(devices_.begin(), devices_.end(), device);
    if (it != devices_.end()) {
        devices_.erase(it);
    }
}

IOrvexKeyBase* OxVirtualKey::getDevice(uint32_t index) { return index < devices_.size() ? devices_[index] : nullptr; }

uint32_t OxVirtualKey::getDeviceCount() { return static_cast<uint32_t>(devices_.size()); }

bool OxVirtualKey::bind(uint32_t key, uint32_t deviceIndex, uint32_t button) {
    if (key >= getKeyCount()) {
        keys_[0].resize(static_cast<size_t>(key) + 1);
        keys_[1].resize(static_cast<size_t>(key) + 1);
    }
    if (deviceIndex >= getDeviceCount()) {
        return false;
    }
    keys_[0][key].bindings.push_back({deviceIndex, button});
    keys_[1][key].bindings.push_back({deviceIndex, button});
    return true;
}

uint32_t OxVirtualKey::getHoldCount(uint32_t key) {
    const KeyRecord* record = currentRecord(key);
    return record != nullptr ? record->holdCount : 0;
}

uint32_t OxVirtualKey::setHoldCount(uint32_t key, uint32_t count) {
    if (KeyRecord* record = currentRecord(key)) {
        record->holdCount = count;
    }
    return count;
}

bool OxVirtualKey::setDown(uint32_t key, bool down) {
    if (KeyRecord* record = currentRecord(key)) {
        record->down = down;
    }
    return down;
}

uint32_t OxVirtualKey::getRepeatDelay() { return repeatDelay_; }

uint32_t OxVirtualKey::setRepeatDelay(uint32_t frames) {
    repeatDelay_ = frames;
    return frames;
}

uint32_t OxVirtualKey::getRepeatInterval() { return repeatInterval_; }

uint32_t OxVirtualKey::setRepeatInterval(uint32_t frames) {
    repeatInterval_ = frames;
    return frames;
}

bool OxVirtualKey::isRepeat(uint32_t key) {
    const uint32_t hold = getHoldCount(key);
    if (hold == 1) {
        return true;
    }
    if (hold == 0 || hold < repeatDelay_) {
        return false;
    }
    // With no interval there is nothing to repeat at: only the first repeat (hold 1) counts.
    return repeatInterval_ != 0 && hold % repeatInterval_ == 0;
}

void OxVirtualKey::swapBuffers() { current_ ^= 1; }

}  // namespace Orvex::InputSystem
