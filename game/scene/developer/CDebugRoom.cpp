#include "game/scene/developer/CDebugRoom.h"

#include "engine/scene/OxSceneController.h"
#include "engine/system/OxWideFormat.h"
#include "game/scene/SceneNumbers.h"

namespace Fenwarrow::Scene {

const CDebugRoom::Entry CDebugRoom::kEntries[1] = {{kSceneDungeonDebug, u"DungeonDebug"}};

bool CDebugRoom::initialize() {
    console_.openKeyboard();
    console_.createFont(context_, 12);
    return true;
}

bool CDebugRoom::update() {
    if (console_.ignoreThisUpdate()) {
        return true;
    }
    auto* keys = context_.getVirtualKey();
    if (console_.isPushedOr(kKeyUp, keys, kVirtualUp)) {
        if (cursor_ > 0) {
            --cursor_;
        }
    } else if (console_.isPushedOr(kKeyDown, keys, kVirtualDown)) {
        if (cursor_ < kEntryCount - 1) {
            ++cursor_;
        }
    } else if (console_.isReleasedOr(kKeyEnter, keys, kVirtualEnter)) {
        if (cursor_ < kEntryCount && kEntries[cursor_].scene >= 0) {
            auto* controller = getSceneController();
            controller->requestId = kEntries[cursor_].scene;
            controller->requestKind = kRequestCall;
        }
    }
    return true;
}

bool CDebugRoom::draw() {
    console_.queueSceneList(*context_.getRenderQueue(), kEntries, kEntryCount, cursor_);
    return true;
}

}  // namespace Fenwarrow::Scene
