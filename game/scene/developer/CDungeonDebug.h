#pragma once
// The developer's dungeon list (scene 14): a setup script lists dungeons under headings, and
// choosing one starts the dungeon scene on its script.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <lua.hpp>

#include "engine/scene/OxSceneBase.h"
#include "game/scene/ISceneContext.h"
#include "game/scene/developer/DeveloperConsole.h"

namespace Fenwarrow::Scene {

class CDungeonDebug : public Orvex::SceneController::OxSceneBase {
public:
    struct Info {
        bool isParagraph = false;
        std::u16string title;
        std::u16string path;
    };
    static constexpr const char16_t* kSetupScript = u"Script/Dungeon/dbg_DungeonDebugSetup.lua";
    static constexpr uint32_t kScriptBlockSize = 131072;

    explicit CDungeonDebug(ISceneContext& context) : context_(context) {}

    bool initialize() override;
    bool update() override;
    bool draw() override;

    const std::vector<std::shared_ptr<Info>>& getInfos() const { return infos_; }
    int32_t getCursor() const { return cursor_; }

private:
    // "addDungeonInfo"(scene, title, path) and "addParagraph"(scene, title) for the setup
    // script; the scene argument must be the one the script was handed.
    static int addDungeonInfo(lua_State* L);
    static int addParagraph(lua_State* L);
    static CDungeonDebug* sceneArgument(lua_State* L);

    void choose(const Info& info);

    ISceneContext& context_;
    DeveloperConsole console_;
    int32_t cursor_ = 0;
    std::vector<std::shared_ptr<Info>> infos_;
};

}  // namespace Fenwarrow::Scene
