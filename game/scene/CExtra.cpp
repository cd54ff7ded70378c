#include "game/scene/CExtra.h"

#include <atomic>

#include "engine/system/OxSystemFacade.h"
#include "engine/scene/OxSceneController.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/scene/ResultRecord.h"
#include "game/scene/SceneNumbers.h"
#include "game/services/CScriptController.h"
#include "game/services/CSettingDataManager.h"
#include "game/services/IGameContext.h"
#include "game/services/RenderLayerNames.h"
#include "game/services/ScriptArguments.h"

namespace Fenwarrow::Scene {

namespace {

constexpr const char16_t* kScriptPath = u"Script/Menu/Extra/Main.lua";

std::atomic<bool>& returnToExtras() {
    static std::atomic<bool> flag{false};
    return flag;
}

// The scene a native function was registered for (its upvalue, never a script's value).
CExtra& sceneOf(lua_State* L) { return *static_cast<CExtra*>(lua_touserdata(L, lua_upvalueindex(1))); }

int jumpSceneFunction(lua_State* L) {
    CExtra& scene = sceneOf(L);
    // The script hands back the scene it was given; anything else is not this scene.
    if (lua_touserdata(L, 1) != &scene) {
        return 0;
    }
    scene.jumpScene(ScriptArguments::intArg(L, 2));
    return 0;
}

int cleanUpFunction(lua_State* L) {
    sceneOf(L).cleanUp();
    return 0;
}

void registerFunction(lua_State* L, CExtra* scene, const char* name, lua_CFunction function) {
    lua_pushlightuserdata(L, scene);
    lua_pushcclosure(L, function, 1);
    lua_setglobal(L, name);
}

int setResultInfoFunction(lua_State* L) {
    lua_pushboolean(L, sceneOf(L).setResultInfo(ScriptArguments::intArg(L, 1)));
    return 1;
}

}  // namespace

CExtra::CExtra(ISceneContext& context, SceneServices services) : context_(context), services_(std::move(services)) {}

CExtra::~CExtra() {
    if (script_ != nullptr) {
        script_->close();
    }
}

bool CExtra::isReturningToExtras() { return returnToExtras().load(); }

void CExtra::setReturningToExtras(bool returning) { returnToExtras().store(returning); }

bool CExtra::prepareResultView(CSettingDataManager& settings, const CGameDataManager& gameData, int32_t index) {
    const CResultInfo* record = index >= 0 ? findRankingRecord(gameData, static_cast<uint32_t>(index)) : nullptr;
    if (record == nullptr) {
        return false;
    }
    settings.resetResultSetting();
    settings.getResultSetting().nextScene = kSceneExtra;
    settings.getResultSetting().rankingIndex = static_cast<uint32_t>(index);
    return record->valid != 0;
}

bool CExtra::initialize() {
    if (isReturningToExtras()) {
        return true;  // a relay: update returns to the extras scene below
    }
    IGameContext& game = context_.getGameContext();
    script_ = std::make_shared<CScriptController>(game);
    if (!script_->loadScript(kScriptPath, kScriptBlockSize)) {
        Orvex::System::errorOutput(u"Script/Menu/Extra/Main.lua: the extras script cannot be loaded");
        return false;
    }
    if (!attachScriptModules(
            *script_, game,
            {ScriptModule::kGame, ScriptModule::kGraphics, ScriptModule::kMossbellLib, ScriptModule::kAudio,
             ScriptModule::kGeneralWindow, ScriptModule::kSceneLayer, ScriptModule::kInputSystem})) {
        Orvex::System::errorOutput(u"Script/Menu/Extra/Main.lua: a command module of the extras cannot be attached");
        return false;
    }
    lua_State* L = script_->getLuaState();
    registerFunction(L, this, "jumpScene", &jumpSceneFunction);
    registerFunction(L, this, "cleanUp", &cleanUpFunction);
    registerFunction(L, this, "setResultInfo", &setResultInfoFunction);
    script_->runMain();
    std::vector<CScriptValue> results;
    script_->callFunctionWithArg(results, "initialize", 0, CScriptValue(static_cast<void*>(this)));
    context_.resetFrameTimer();
    return true;
}

bool CExtra::update() {
    if (services_.setClearColour) {
        services_.setClearColour(0xFFFFFFFFu);
    }
    if (isReturningToExtras()) {
        setReturningToExtras(false);
        if (getSceneController() != nullptr) {
            getSceneController()->requestKind = Orvex::SceneController::kRequestReturn;
        }
        return true;
    }
    if (script_ != nullptr) {
        std::vector<CScriptValue> results;
        const float elapsed = services_.frameTime ? services_.frameTime() : 0.0f;
        script_->callFunctionWithArg(results, "update", 0, CScriptValue(elapsed));
    }
    return true;
}

bool CExtra::draw() {
    if (script_ == nullptr) {
        return true;  // the relay draws nothing
    }
    context_.getRenderQueue()->add(ScriptCommand::getRenderPriority(u"HUD"), [this] { script_->callVoid("draw"); });
    return true;
}

bool CExtra::onComeBack(int32_t returningSceneId) {
    if (script_ != nullptr) {
        std::vector<CScriptValue> results;
        script_->callFunctionWithArg(results, "onComeBack", 0, CScriptValue(static_cast<double>(returningSceneId)));
    }
    cleanUp();
    if (CSettingDataManager* settings = context_.getSettingDataManager()) {
        settings->resetSceneSettings();
    }
    context_.resetFrameTimer();
    return true;
}

void CExtra::jumpScene(int32_t scene) {
    Orvex::SceneController::OxSceneController* controller = getSceneController();
    if (controller == nullptr) {
        return;
    }
    if (scene == kSceneTitle) {
        controller->changeScene(scene);
        setReturningToExtras(false);
    } else {
        controller->requestId = scene;
        controller->requestKind = Orvex::SceneController::kRequestPush;
        setReturningToExtras(true);
    }
    if (scene != kSceneResult) {
        if (CGameDataManager* gameData = context_.getGameContext().getGameDataManager()) {
            gameData->stopBGM();
        }
    }
}

bool CExtra::setResultInfo(int32_t index) {
    CGameDataManager* gameData = context_.getGameContext().getGameDataManager();
    CSettingDataManager* settings = context_.getSettingDataManager();
    return gameData != nullptr && settings != nullptr && prepareResultView(*settings, *gameData, index);
}

void CExtra::cleanUp() {
    if (Orvex::Graphics::IOrvexRenderer* renderer = context_.getRenderer()) {
        if (Orvex::Graphics::IOrvexTextureManager* textures = renderer->getTextureManager()) {
            textures->releaseUnused();
        }
    }
    if (const auto device = context_.getAudioDevice()) {
        device->releaseUnusedWaves();
    }
}

}  // namespace Fenwarrow::Scene
