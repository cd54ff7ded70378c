#include "game/action/CScriptingAction.h"

#include "game/action/IActionContext.h"
#include "game/services/CScriptController.h"
#include "game/services/IGameContext.h"
#include "game/services/ScriptArguments.h"

namespace Fenwarrow::Action {

using Orvex::Script::CScriptValue;

CScriptingAction::CScriptingAction(IActionContext& context, std::u16string scriptFileName, void* parameter)
    : context_(context), scriptFileName_(std::move(scriptFileName)), parameter_(parameter) {}

CScriptingAction::~CScriptingAction() {
    // The modules go with the state, before anything the script points at.
    if (script_ != nullptr) {
        script_->close();
    }
}

void CScriptingAction::prepare() {
    createEnvironment();
    initialize();
}

bool CScriptingAction::createEnvironment() {
    IGameContext& game = context_.getGameContext();
    auto script = std::make_shared<CScriptController>(game);
    if (!script->loadScript(scriptFileName_, kScriptMemory) ||
        !attachScriptModules(*script, game,
                             {ScriptModule::kGraphics, ScriptModule::kMossbellLib, ScriptModule::kActor,
                              ScriptModule::kDungeon, ScriptModule::kAudio, ScriptModule::kGame, ScriptModule::kItem,
                              ScriptModule::kMap, ScriptModule::kDamageCalculate}) ||
        !script->runMain()) {
        script->close();
        script_.reset();
        return false;
    }
    script_ = std::move(script);
    return true;
}

CScriptValue CScriptingAction::objectArgument(const void* object) const {
    lua_State* L = script_ != nullptr ? script_->getLuaState() : nullptr;
    if (L != nullptr && object != nullptr) {
        ScriptArguments::lendObject(L, object);
    }
    return CScriptValue(const_cast<void*>(object));
}

bool CScriptingAction::initialize() {
    callAction("initialize", {objectArgument(parameter_)});
    return true;
}

void CScriptingAction::callAction(const char* name, const std::vector<CScriptValue>& arguments) {
    if (script_ == nullptr || !script_->hasState()) {
        return;
    }
    std::vector<CScriptValue> results;
    script_->callFunctionPath(results, {"Game", "Action", name}, 0, arguments);
}

void CScriptingAction::start() { callAction("startAction"); }

void CScriptingAction::end() { callAction("endAction"); }

void CScriptingAction::draw() { callAction("drawAction"); }

void CScriptingAction::update() {
    if (script_ == nullptr || !script_->hasState()) {
        setActive(false);
        return;
    }
    std::vector<CScriptValue> results;
    script_->callFunctionPath(results, {"Game", "Action", "updateAction"}, 1, {CScriptValue(context_.getFrameTime())});
    bool keepRunning = false;
    if (!results.empty()) {
        const CScriptValue& result = results.front();
        switch (result.getType()) {
            case CScriptValue::kBoolean:
                keepRunning = result.asBool();
                break;
            case CScriptValue::kInteger:
                keepRunning = result.asInteger() != 0;
                break;
            case CScriptValue::kNumber:
                keepRunning = result.asNumber() != 0.0;
                break;
            default:
                // A string or a pointer is a true value in Lua.
                keepRunning = result.getType() != CScriptValue::kNil;
                break;
        }
    }
    if (!keepRunning) {
        setActive(false);
    }
}

}  // namespace Fenwarrow::Action
