#include "game/scene/developer/CDungeonDebug.h"

#include "engine/scene/OxSceneController.h"
#include "engine/system/OxWideFormat.h"
#include "game/scene/SceneNumbers.h"
#include "game/services/CScriptController.h"
#include "game/services/CSettingDataManager.h"
#include "game/services/IGameContext.h"
#include "game/services/ScriptArguments.h"

namespace Fenwarrow::Scene {
namespace {
constexpr uint32_t kHeadingColour = 0xFF00FF00;
// The registry slot holding the scene the setup script was handed.
const char kSceneKey = 0;
}  // namespace

bool CDungeonDebug::initialize() {
    console_.openKeyboard();
    console_.createFont(context_, 12);

    // The script lives only for this call: it fills the list once.
    CScriptController script(context_.getGameContext());
    if (!script.loadScript(kSetupScript, kScriptBlockSize)) {
        return false;
    }
    lua_State* L = script.getLuaState();
    script.getLuaApi()->registerFunction("addDungeonInfo", &CDungeonDebug::addDungeonInfo);
    script.getLuaApi()->registerFunction("addParagraph", &CDungeonDebug::addParagraph);
    lua_pushlightuserdata(L, const_cast<char*>(&kSceneKey));
    lua_pushlightuserdata(L, this);
    lua_rawset(L, LUA_REGISTRYINDEX);
    if (!script.runMain()) {
        return false;
    }
    std::vector<CScriptValue> results;
    script.callFunctionWithArg(results, "setScene", 0, CScriptValue(static_cast<void*>(this)));
    script.callVoid("setup");
    script.close();
    return true;
}

CDungeonDebug* CDungeonDebug::sceneArgument(lua_State* L) {
    lua_pushlightuserdata(L, const_cast<char*>(&kSceneKey));
    lua_rawget(L, LUA_REGISTRYINDEX);
    void* handedOut = lua_touserdata(L, -1);
    lua_pop(L, 1);
    // Anything but the pointer "setScene" received is ignored.
    if (handedOut == nullptr || lua_type(L, 1) != LUA_TLIGHTUSERDATA || lua_touserdata(L, 1) != handedOut) {
        return nullptr;
    }
    return static_cast<CDungeonDebug*>(handedOut);
}

int CDungeonDebug::addDungeonInfo(lua_State* L) {
    if (CDungeonDebug* scene = sceneArgument(L); scene != nullptr) {
        scene->infos_.push_back(
            std::make_shared<Info>(Info{false, ScriptArguments::wideArg(L, 2), ScriptArguments::wideArg(L, 3)}));
    }
    return 0;
}

int CDungeonDebug::addParagraph(lua_State* L) {
    if (CDungeonDebug* scene = sceneArgument(L); scene != nullptr) {
        scene->infos_.push_back(std::make_shared<Info>(Info{true, ScriptArguments::wideArg(L, 2), u""}));
    }
    return 0;
}

bool CDungeonDebug::update() {
    if (console_.ignoreThisUpdate()) {
        return true;
    }
    auto* keys = context_.getVirtualKey();
    const int32_t count = static_cast<int32_t>(infos_.size());
    if (keys != nullptr && keys->isRepeat(kVirtualUp)) {
        if (cursor_ > 0) {
            --cursor_;
        }
    } else if (keys != nullptr && keys->isRepeat(kVirtualDown)) {
        if (cursor_ < count - 1) {
            ++cursor_;
        }
    } else if (console_.isReleasedOr(kKeyEnter, keys, kVirtualEnter)) {
        if (cursor_ < count) {
            choose(*infos_[static_cast<std::size_t>(cursor_)]);
        }
    }
    return true;
}

void CDungeonDebug::choose(const Info& info) {
    if (info.isParagraph) {
        return;
    }
    if (auto* settings = context_.getSettingDataManager(); settings != nullptr) {
        setSettingText(settings->getDungeonSetting().scriptPath, info.path);
    }
    auto* controller = getSceneController();
    controller->requestId = kSceneDungeon;
    controller->requestKind = kRequestCall;
}

bool CDungeonDebug::draw() {
    context_.getRenderQueue()->add(kDeveloperDrawPriority, [this] {
        if (!console_.begin()) {
            return;
        }
        int32_t number = 1;
        for (std::size_t i = 0; i < infos_.size(); ++i) {
            const Info& info = *infos_[i];
            const int32_t y = DeveloperConsole::listLineY(static_cast<int32_t>(i));
            if (info.isParagraph) {
                console_.drawText(DeveloperConsole::kListX, y, Orvex::System::formatWide(u"[ %s ]", info.title),
                                  kHeadingColour);
                number = 1;
            } else {
                console_.drawText(DeveloperConsole::kListX, y,
                                  Orvex::System::formatWide(u"%d. %s", number, info.title));
                ++number;
            }
        }
        console_.drawListCursor(cursor_);
        console_.end();
    });
    return true;
}

}  // namespace Fenwarrow::Scene
