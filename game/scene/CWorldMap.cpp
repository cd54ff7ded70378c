#include "game/scene/CWorldMap.h"

#include <cmath>
#include <vector>

#include "engine/system/OxSystemFacade.h"
#include "engine/graphics/OxFadeScreenEffect.h"
#include "engine/graphics/OxScreenEffectController.h"
#include "engine/scene/OxSceneController.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/scene/SceneNumbers.h"
#include "game/services/CScriptController.h"
#include "game/services/CSettingDataManager.h"
#include "game/services/IGameContext.h"
#include "game/services/RenderLayerNames.h"

namespace Fenwarrow::Scene {

namespace {

constexpr const char16_t* kScriptPath = u"Script/WorldMap/WorldMap.lua";
constexpr int32_t kBootModeInt = 18;
constexpr int32_t kDungeonEntryFlag = 512;

int saveFunction(lua_State* L) {
    // The upvalue is the scene the function was registered for, never a script's value.
    static_cast<CWorldMap*>(lua_touserdata(L, lua_upvalueindex(1)))->save();
    return 0;
}

// A script number as a scene number: truncated, and 0 for anything that is not a number or
// lies outside the 32-bit range.
int32_t sceneNumber(const std::vector<CScriptValue>& results) {
    if (results.empty()) {
        return 0;
    }
    const CScriptValue& value = results.front();
    if (value.getType() == CScriptValue::kInteger) {
        return value.asInteger();
    }
    if (value.getType() != CScriptValue::kNumber) {
        return 0;
    }
    const double number = std::trunc(value.asNumber());
    return number >= -2147483648.0 && number <= 2147483647.0 ? static_cast<int32_t>(number) : 0;
}

}  // namespace

CWorldMap::CWorldMap(ISceneContext& context, SceneServices services)
    : context_(context), services_(std::move(services)) {}

CWorldMap::~CWorldMap() {
    if (auto fade = fade_.lock(); fade != nullptr && fadeCallback_ != 0) {
        fade->removeCallback(fadeCallback_);
    }
    if (script_ != nullptr) {
        script_->close();
    }
    script_.reset();
    if (Orvex::Graphics::IOrvexRenderer* renderer = context_.getRenderer()) {
        if (Orvex::Graphics::IOrvexTextureManager* textures = renderer->getTextureManager()) {
            textures->releaseUnused();
        }
    }
    if (const auto device = context_.getAudioDevice()) {
        device->releaseUnusedWaves();
    }
}

bool CWorldMap::initialize() {
    if (Orvex::InputSystem::OxVirtualKey* keys = context_.getVirtualKey()) {
        keys->clearAllKeys();
    }
    IGameContext& game = context_.getGameContext();
    script_ = std::make_shared<CScriptController>(game);
    if (!script_->loadScript(kScriptPath, kScriptBlockSize)) {
        Orvex::System::errorOutput(u"Script/WorldMap/WorldMap.lua: the world-map script cannot be loaded");
        return false;
    }
    if (!attachScriptModules(
            *script_, game,
            {ScriptModule::kGeneralWindow, ScriptModule::kGame, ScriptModule::kActor, ScriptModule::kGraphics,
             ScriptModule::kMossbellLib, ScriptModule::kAudio, ScriptModule::kSceneLayer, ScriptModule::kItem,
             ScriptModule::kDungeon, ScriptModule::kInputSystem})) {
        Orvex::System::errorOutput(
            u"Script/WorldMap/WorldMap.lua: a command module of the world map cannot be attached");
        return false;
    }
    script_->runMain();
    lua_State* L = script_->getLuaState();
    lua_pushlightuserdata(L, this);
    lua_pushcclosure(L, &saveFunction, 1);
    lua_setglobal(L, "save");

    std::vector<CScriptValue> results;
    script_->callFunctionWithArg(results, "setScene", 0, CScriptValue(static_cast<void*>(this)));
    const uint32_t bootMode = context_.getSettingDataManager()->getWorldMapSetting().bootMode;
    if (CGameDataManager* gameData = game.getGameDataManager()) {
        gameData->setGlobalInt(kBootModeInt, static_cast<int32_t>(bootMode));
    }
    script_->callFunctionWithArg(results, "initialize", 0, CScriptValue(static_cast<double>(bootMode)));
    startFadeIn();
    return true;
}

void CWorldMap::startFadeIn() {
    if (services_.screenEffects == nullptr) {
        inputBlocked_ = false;
        return;
    }
    auto fade = std::make_shared<Orvex::Graphics::OxFadeScreenEffect>(Orvex::Graphics::OxFadeScreenEffect::kFadeIn,
                                                                      0.5f, 0.0f, true);
    fadeCallback_ = fade->addCallback([this] { inputBlocked_ = false; });
    fade_ = fade;
    services_.screenEffects->add(fade);
}

bool CWorldMap::update() {
    if (inputBlocked_ || script_ == nullptr) {
        return true;
    }
    std::vector<CScriptValue> results;
    const float elapsed = services_.frameTime ? services_.frameTime() : 0.0f;
    script_->callFunctionWithArg(results, "update", 0, CScriptValue(elapsed));
    results.clear();
    script_->callFunctionNoArgs(results, "getJumpScene", 1);
    const int32_t next = sceneNumber(results);
    if (next >= 1 && getSceneController() != nullptr) {
        getSceneController()->changeScene(next);
        if (next == kSceneDungeon) {
            if (CGameDataManager* gameData = context_.getGameContext().getGameDataManager()) {
                gameData->setGlobalFlag(kDungeonEntryFlag, false);
            }
        }
    }
    return true;
}

bool CWorldMap::draw() {
    if (script_ != nullptr) {
        context_.getRenderQueue()->add(ScriptCommand::getRenderPriority(u"HUD"), [this] { script_->callVoid("draw"); });
    }
    return true;
}

bool CWorldMap::save() {
    if (services_.saveCommonData && services_.saveCommonData()) {
        return true;
    }
    Orvex::System::errorOutput(u"c000.bin: the world map's save was not written");
    return false;
}

}  // namespace Fenwarrow::Scene
