#include "game/scene/developer/CSceneSelector.h"

#include "engine/scene/OxSceneController.h"
#include "engine/system/OxWideFormat.h"
#include "game/scene/SceneNumbers.h"
#include "game/services/CSettingDataManager.h"

namespace Fenwarrow::Scene {
namespace {
constexpr uint32_t kFontHeight = 12;
constexpr uint32_t kBootModeAdventure = 99;
constexpr uint32_t kBootModeShrine = 1;
}  // namespace

const CSceneSelector::Entry CSceneSelector::kEntries[9] = {
    {kSceneStartUp, u"通常起動"},  {kSceneDungeon, u"ダンジョン"}, {kSceneDebugRoom, u"デバッグルーム"},
    {kSceneWorldMap, u"WorldMap"}, {kSceneWorldMap, u"Adventure"}, {kSceneAudioTest, u"AudioTest"},
    {kSceneTitle, u"タイトル"},    {kSceneWorldMap, u"神社"},      {kSceneExtra, u"エクストラ"},
};

bool CSceneSelector::initialize() {
    // The list works without a keyboard (virtual keys) and without a font (undrawn), so a
    // failure here never refuses the scene.
    console_.openKeyboard();
    console_.createFont(context_, kFontHeight);
    return true;
}

bool CSceneSelector::update() {
    if (console_.ignoreThisUpdate()) {
        return true;
    }
    auto* keys = context_.getVirtualKey();
    const auto pushed = [&](uint32_t keyboardKey, uint32_t virtualKey) {
        return console_.isPushed(keyboardKey) || (keys != nullptr && keys->isPushed(virtualKey));
    };
    if (pushed(kKeyUp, kVirtualUp)) {
        if (cursor_ >= 1) {
            --cursor_;
        }
    } else if (pushed(kKeyDown, kVirtualDown)) {
        if (cursor_ < kEntryCount - 1) {
            ++cursor_;
        }
    } else if (pushed(kKeyEnter, kVirtualEnter)) {
        choose(cursor_);
    } else if (const int32_t index = pushedNumber(); index >= 0 && index < kEntryCount) {
        cursor_ = index;
        choose(index);
    }
    return true;
}

int32_t CSceneSelector::pushedNumber() const {
    for (uint32_t key = kKeyDigit1; key <= kKeyDigit0; ++key) {
        if (console_.isPushed(key)) {
            return static_cast<int32_t>(key - kKeyDigit1);
        }
    }
    return -1;
}

void CSceneSelector::choose(int32_t index) {
    if (index < 0 || index >= kEntryCount || kEntries[index].scene < 0) {
        return;
    }
    const Entry& entry = kEntries[index];
    getSceneController()->changeScene(entry.scene);
    auto* settings = context_.getSettingDataManager();
    if (settings == nullptr) {
        return;
    }
    if (entry.scene == kSceneDungeon) {
        setSettingText(settings->getDungeonSetting().scriptPath, kDungeonScriptPath);
    } else if (entry.scene == kSceneWorldMap) {
        // Told apart by the table's own strings: "WorldMap" keeps the boot mode as it is.
        if (entry.label == kEntries[4].label) {
            settings->getWorldMapSetting().bootMode = kBootModeAdventure;
        } else if (entry.label == kEntries[7].label) {
            settings->getWorldMapSetting().bootMode = kBootModeShrine;
        }
    }
}

bool CSceneSelector::draw() {
    console_.queueSceneList(*context_.getRenderQueue(), kEntries, kEntryCount, cursor_);
    return true;
}

}  // namespace Fenwarrow::Scene
