#pragma once
// The developer's start menu (scene 1): a list of scenes to jump to, three of which first set
// how their scene starts (a dungeon to enter, a world-map boot mode).
#include <cstdint>

#include "engine/scene/OxSceneBase.h"
#include "game/scene/ISceneContext.h"
#include "game/scene/developer/DeveloperConsole.h"

namespace Fenwarrow::Scene {

class CSceneSelector : public Orvex::SceneController::OxSceneBase {
public:
    using Entry = DeveloperSceneEntry;
    static const Entry kEntries[9];
    static constexpr int32_t kEntryCount = 9;
    static constexpr const char16_t* kDungeonScriptPath = u"Dungeon/R99/00/00/001.lua";

    explicit CSceneSelector(ISceneContext& context) : context_(context) {}

    bool initialize() override;
    bool update() override;
    bool draw() override;

    int32_t getCursor() const { return cursor_; }

private:
    void choose(int32_t index);
    // The index of the lowest number key pushed ("1" to "9", then "0"), or -1.
    int32_t pushedNumber() const;

    ISceneContext& context_;
    DeveloperConsole console_;
    int32_t cursor_ = 0;
};

}  // namespace Fenwarrow::Scene
