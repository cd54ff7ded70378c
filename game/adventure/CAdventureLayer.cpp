#include "game/adventure/CAdventureLayer.h"

#include <algorithm>

#include "engine/system/OxStringConvert.h"
#include "engine/system/OxSystemFacade.h"
#include "engine/graphics/OxRenderQueue.h"
#include "engine/input/OxVirtualKey.h"
#include "engine/script/CLuaApi.h"
#include "game/services/CScriptController.h"
#include "game/services/IGameContext.h"
#include "game/services/RenderLayerNames.h"
#include "game/services/ScriptUtility.h"

namespace Fenwarrow::SceneLayer {

namespace {

constexpr const char16_t* kSystemScript = u"Script/ADV/ADVSystem.lua";
constexpr const char* kSceneTable = "current_scene";
constexpr int32_t kCodeEnd = 0;
constexpr int32_t kCodeLoad = 1;
constexpr int32_t kCodeKeyWait = 3;
constexpr int32_t kStatusRunning = 2;
constexpr uint32_t kDecideKey = 5;
constexpr uint32_t kFastForwardKey = 4;
constexpr int32_t kFastForwardPeriod = 6;

// A script number as a command code: truncated; -1 (no command) for anything else.
int32_t commandCode(lua_State* L, int index) {
    if (lua_type(L, index) != LUA_TNUMBER) {
        return -1;
    }
    const double number = lua_tonumber(L, index);
    return number > -2147483648.0 && number < 2147483648.0 ? static_cast<int32_t>(number) : -1;
}

}  // namespace

CAdventureLayer::CAdventureLayer(Services services) : CAdventureLayer(std::move(services), kDefaultStory) {}

CAdventureLayer::CAdventureLayer(Services services, std::u16string storyPath)
    : CAdventureLayer(std::move(services), std::move(storyPath), 0, 0) {}

CAdventureLayer::CAdventureLayer(Services services, std::u16string storyPath, uintptr_t context1, uintptr_t context2)
    : services_(std::move(services)) {
    reset();
    storyPath_ = storyPath.empty() ? std::u16string(kDefaultStory) : std::move(storyPath);
    context1_ = context1;
    context2_ = context2;
}

CAdventureLayer::~CAdventureLayer() {
    clear();
    reset();
}

void CAdventureLayer::reset() {
    coroutine_.reset();
    script_.reset();
    alive = false;
    if (threadMemory_.size() == kThreadMemorySize) {
        std::fill(threadMemory_.begin(), threadMemory_.end(), 0);
    } else {
        threadMemory_.assign(kThreadMemorySize, 0);
    }
    storyPath_.clear();
    fastForwardFlag_ = false;
    fastForwardCounter_ = 0;
    waitTime_ = 0.0f;
    context1_ = 0;
    context2_ = 0;
}

bool CAdventureLayer::setup() {
    if (services_.virtualKey) {
        if (Orvex::InputSystem::OxVirtualKey* keys = services_.virtualKey()) {
            keys->clearAllKeys();
        }
    }
    if (services_.game == nullptr) {
        return false;
    }
    script_ = std::make_shared<CScriptController>(*services_.game);
    if (!script_->loadScript(kSystemScript, kScriptBlockSize)) {
        Orvex::System::errorOutput(u"Script/ADV/ADVSystem.lua: the adventure system script cannot be loaded");
        script_.reset();
        return false;
    }
    if (!attachScriptModules(
            *script_, *services_.game,
            {ScriptModule::kGeneralWindow, ScriptModule::kAudio, ScriptModule::kInputSystem, ScriptModule::kGraphics,
             ScriptModule::kGame, ScriptModule::kDungeon, ScriptModule::kActor, ScriptModule::kMap})) {
        Orvex::System::errorOutput(
            u"Script/ADV/ADVSystem.lua: a command module of the adventure layer cannot be attached");
        script_.reset();
        return false;
    }
    script_->runMain();
    lua_State* L = script_->getLuaState();
    lua_getglobal(L, "setup");
    lua_pushlightuserdata(L, reinterpret_cast<void*>(context1_));
    lua_pushlightuserdata(L, reinterpret_cast<void*>(context2_));
    lua_call(L, 2, 0);

    coroutine_ = std::make_shared<Orvex::Script::CLuaApi>(threadMemory_.data(), kThreadMemorySize);
    if (!coroutine_->createThread(L)) {
        Orvex::System::errorOutput(u"Script/ADV/ADVSystem.lua: the story's coroutine cannot be made");
        clear();
        return false;
    }
    // The thread object as a key of the globals keeps the coroutine from being collected.
    lua_State* story = coroutine_->getState();
    lua_xmove(L, story, 1);
    lua_pushnumber(story, 1.0);
    lua_settable(story, LUA_GLOBALSINDEX);
    alive = true;
    return true;
}

void CAdventureLayer::clear() {
    if (coroutine_ != nullptr) {
        coroutine_->close();
    }
    coroutine_.reset();
    script_.reset();
}

void CAdventureLayer::setSceneField(const char* field, lua_Integer value) {
    lua_State* L = script_->getLuaState();
    lua_getglobal(L, kSceneTable);
    if (lua_istable(L, -1)) {
        lua_pushinteger(L, value);
        lua_setfield(L, -2, field);
    }
    lua_pop(L, 1);
}

void CAdventureLayer::update() {
    if (script_ == nullptr || coroutine_ == nullptr) {
        return;
    }
    if (services_.stepReplay) {
        services_.stepReplay();
    }
    const float elapsed = services_.frameTime ? services_.frameTime() : 0.0f;
    lua_State* L = script_->getLuaState();
    lua_getglobal(L, "update");
    lua_pushnumber(L, elapsed);
    lua_call(L, 1, 3);
    const int32_t code = commandCode(L, -3);
    const bool hasWait = lua_type(L, -2) == LUA_TNUMBER;
    const double wait = lua_tonumber(L, -2);
    const bool extraFlag = lua_type(L, -1) == LUA_TBOOLEAN && lua_toboolean(L, -1) != 0;
    std::string extraText;
    if (lua_type(L, -1) == LUA_TSTRING) {
        extraText = lua_tostring(L, -1);
    }
    lua_pop(L, 3);

    if (hasWait && wait >= 0.0) {
        waitTime_ = static_cast<float>(wait);
        setSceneField("keywait", -1);
    }
    switch (code) {
        case kCodeEnd:
            alive = false;
            break;
        case kCodeLoad:
            setSceneField("status", kStatusRunning);
            loadStory(extraText.c_str());
            break;
        case kCodeKeyWait:
            keyWait(extraFlag, elapsed);
            break;
        default:
            break;
    }
}

void CAdventureLayer::loadStory(const char* name) {
    lua_State* story = coroutine_->getState();
    int status = 0;
    // The chunk goes into the coroutine's own block, or a heap block of its own when the block
    // is full: stories loaded one after another never write past it.
    if (services_.game == nullptr ||
        luaEx_loadfile(*coroutine_, name, services_.game->getArchiveReader(), story, &status) == 0) {
        Orvex::System::errorOutput(Orvex::System::widen(name) + u".lcd: the story script cannot be read");
        return;
    }
    if (status != 0) {
        lua_error(story);  // a broken story ends the process with its message
    }
    resumeStory();
}

void CAdventureLayer::keyWait(bool extra, float elapsed) {
    if (waitTime_ >= 0.0f) {
        waitTime_ -= elapsed;
        return;
    }
    Orvex::InputSystem::OxVirtualKey* keys = services_.virtualKey ? services_.virtualKey() : nullptr;
    bool goOn = extra || (keys != nullptr && keys->isPushed(kDecideKey));
    fastForwardCounter_ = (fastForwardCounter_ + 1) % kFastForwardPeriod;
    // Holding the fast-forward key goes on every sixth frame; letting go ends it.
    fastForwardFlag_ = keys != nullptr && keys->isDown(kFastForwardKey);
    if (fastForwardFlag_ && fastForwardCounter_ == 0) {
        goOn = true;
    }
    if (!goOn) {
        return;
    }
    setSceneField("status", kStatusRunning);
    lua_State* L = script_->getLuaState();
    lua_getglobal(L, kSceneTable);
    if (lua_istable(L, -1)) {
        lua_getfield(L, -1, "skip_effect");
        if (lua_isfunction(L, -1)) {
            lua_pushvalue(L, -2);
            lua_call(L, 1, 0);
        } else {
            lua_pop(L, 1);
        }
    }
    lua_pop(L, 1);
    resumeStory();
}

void CAdventureLayer::resumeStory() {
    lua_State* story = coroutine_->getState();
    const int status = lua_resume(story, 0);
    if (status != 0 && status != LUA_YIELD) {
        lua_error(story);  // a story error ends the process with its message
    }
    if (status == 0) {
        lua_settop(story, 0);  // a finished story leaves nothing for the next one
    }
}

void CAdventureLayer::draw() {
    if (script_ == nullptr || services_.renderQueue == nullptr) {
        return;
    }
    services_.renderQueue->add(ScriptCommand::getRenderPriority(u"ADV"), [this] {
        if (script_ != nullptr) {
            script_->callVoid("draw");
        }
    });
}

}  // namespace Fenwarrow::SceneLayer
