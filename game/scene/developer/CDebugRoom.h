#pragma once
// The developer's debug room (scene 13): a list leading to the dungeon-debug scene.
#include <cstdint>

#include "engine/scene/OxSceneBase.h"
#include "game/scene/ISceneContext.h"
#include "game/scene/developer/DeveloperConsole.h"

namespace Fenwarrow::Scene {

class CDebugRoom : public Orvex::SceneController::OxSceneBase {
public:
    using Entry = DeveloperSceneEntry;
    static const Entry kEntries[1];
    static constexpr int32_t kEntryCount = 1;

    explicit CDebugRoom(ISceneContext& context) : context_(context) {}

    bool initialize() override;
    bool update() override;
    bool draw() override;

private:
    ISceneContext& context_;
    DeveloperConsole console_;
    int32_t cursor_ = 0;
};

}  // namespace Fenwarrow::Scene
