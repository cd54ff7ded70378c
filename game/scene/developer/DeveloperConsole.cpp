#include "game/scene/developer/DeveloperConsole.h"

#include "engine/input/OxInputSystem.h"
#include "engine/system/OxWideFormat.h"

namespace Fenwarrow::Scene {

DeveloperConsole::~DeveloperConsole() {
    font_.release();
    sprite_.release();
}

bool DeveloperConsole::openKeyboard() {
    auto* input = Orvex::InputSystem::OxInputSystem::getInstance();
    if (input == nullptr || input->createDevice(Orvex::InputSystem::kDeviceKeyboard, 0) == nullptr) {
        return false;
    }
    keyboard_ = input->getKeyboardDevice();
    return keyboard_ != nullptr;
}

bool DeveloperConsole::createFont(ISceneContext& context, uint32_t height) {
    if (context.getGraphics() == nullptr || !sprite_.create(context.getGraphics()->getDevice())) {
        return false;
    }
    Orvex::Graphics::OxDXFontDesc description;
    description.height = height;
    hasFont_ = font_.create(&sprite_, &description);
    return hasFont_;
}

bool DeveloperConsole::isPushed(uint32_t key) const { return keyboard_ != nullptr && keyboard_->isPushed(key); }

bool DeveloperConsole::isDown(uint32_t key) const { return keyboard_ != nullptr && keyboard_->isDown(key); }

bool DeveloperConsole::isReleased(uint32_t key) const { return keyboard_ != nullptr && keyboard_->isReleased(key); }

bool DeveloperConsole::isPushedOr(uint32_t key, Orvex::InputSystem::OxVirtualKey* keys, uint32_t virtualKey) const {
    if (keyboard_ != nullptr) {
        return keyboard_->isPushed(key);
    }
    return keys != nullptr && keys->isPushed(virtualKey);
}

bool DeveloperConsole::isDownOr(uint32_t key, Orvex::InputSystem::OxVirtualKey* keys, uint32_t virtualKey) const {
    if (keyboard_ != nullptr) {
        return keyboard_->isDown(key);
    }
    return keys != nullptr && keys->isDown(virtualKey);
}

bool DeveloperConsole::isReleasedOr(uint32_t key, Orvex::InputSystem::OxVirtualKey* keys, uint32_t virtualKey) const {
    if (keyboard_ != nullptr) {
        return keyboard_->isReleased(key);
    }
    return keys != nullptr && keys->isReleased(virtualKey);
}

bool DeveloperConsole::ignoreThisUpdate() {
    if (ignoreUpdates_ > 0) {
        --ignoreUpdates_;
        return true;
    }
    return false;
}

bool DeveloperConsole::begin() { return hasFont_ && sprite_.begin(); }

void DeveloperConsole::drawText(int32_t x, int32_t y, const std::u16string& text, uint32_t argb) {
    font_.drawText(x, y, text, argb);
}

void DeveloperConsole::end() { sprite_.end(); }

void DeveloperConsole::queueSceneList(Orvex::Graphics::OxRenderQueue& queue, const DeveloperSceneEntry* entries,
                                      int32_t count, const int32_t& cursor) {
    // The cursor is read when the queue runs, after this frame's update.
    queue.add(kDeveloperDrawPriority, [this, entries, count, &cursor] {
        if (!begin()) {
            return;
        }
        for (int32_t i = 0; i < count; ++i) {
            drawText(kListX, listLineY(i),
                     Orvex::System::formatWide(u"%d. %s", i + 1, std::u16string(entries[i].label)));
        }
        drawListCursor(cursor);
        end();
    });
}

void DeveloperConsole::drawListCursor(int32_t line) { drawText(85, listLineY(line), u"⇒"); }

}  // namespace Fenwarrow::Scene
