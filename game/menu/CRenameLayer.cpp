#include "game/menu/CRenameLayer.h"

#include <vector>

#include "game/action/IActionContext.h"
#include "game/item/CItem.h"
#include "game/services/CScriptController.h"
#include "game/services/IGameContext.h"
#include "game/services/ScriptArguments.h"

namespace Fenwarrow::SceneLayer {

CRenameLayer::CRenameLayer(Action::IActionContext& context, Item::CItem* target) : context_(context), target_(target) {}

CRenameLayer::~CRenameLayer() = default;

bool CRenameLayer::setup() {
    IGameContext& game = context_.getGameContext();
    script_ = std::make_shared<CScriptController>(game);
    if (!script_->loadScript(kScriptPath, kScriptMemory)) {
        script_.reset();
        return false;
    }
    // The window and the floor are what the screen cannot do without; the rest it may miss.
    for (ScriptModule module : {ScriptModule::kGeneralWindow, ScriptModule::kDungeon}) {
        std::shared_ptr<IScriptCommand> command = game.createScriptModule(module);
        if (!command || !script_->attachCommand(std::move(command))) {
            script_.reset();
            return false;
        }
    }
    for (ScriptModule module : {ScriptModule::kAudio, ScriptModule::kInputSystem, ScriptModule::kItem,
                                ScriptModule::kGraphics, ScriptModule::kGame}) {
        if (std::shared_ptr<IScriptCommand> command = game.createScriptModule(module)) {
            script_->attachCommand(std::move(command));
        }
    }
    script_->runMain();
    if (target_ == nullptr) {
        script_->callVoid("setup");
    } else {
        // The script's modules take back only what was lent to its state.
        ScriptArguments::lendObject(script_->getLuaState(), target_);
        std::vector<CScriptValue> results;
        script_->callFunctionWithArg(results, "setup", 0, CScriptValue(static_cast<void*>(target_)));
    }
    alive = true;
    return true;
}

void CRenameLayer::clear() { script_.reset(); }

void CRenameLayer::update() {
    context_.updateReplay();
    if (!script_) {
        alive = false;
        return;
    }
    std::vector<CScriptValue> results;
    script_->callFunctionWithArg(results, "update", 1, CScriptValue(context_.getFrameTime()));
    // A boolean comes back as the integer 1 or 0; nothing (nil) ends the layer as well.
    bool keep = false;
    if (!results.empty()) {
        const CScriptValue& result = results.front();
        switch (result.getType()) {
            case CScriptValue::kInteger:
                keep = result.asInteger() != 0;
                break;
            case CScriptValue::kNumber:
                keep = result.asNumber() != 0.0;
                break;
            default:
                keep = result.getType() != CScriptValue::kNil;
                break;
        }
    }
    alive = keep;
}

void CRenameLayer::draw() {
    // The callback runs after this frame's update; the layer may be gone by then.
    std::weak_ptr<CScriptController> script = script_;
    context_.addRenderQueue(kDrawPriority, [script] {
        if (std::shared_ptr<CScriptController> held = script.lock()) {
            held->callVoid("draw");
        }
    });
}

}  // namespace Fenwarrow::SceneLayer
