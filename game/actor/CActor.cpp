#include "game/actor/CActor.h"

#include "game/item/CItem.h"
#include "game/services/CScriptController.h"
#include "game/services/IGameContext.h"

namespace Fenwarrow::Actor {

CActor::CActor(IGameContext& context) : context_(context) {
    setDrawPriority(kDrawPriority);
    for (auto& sprite : sprites_) {
        sprite = std::make_shared<Orvex::MossbellLib::OxMADObject>();
    }
    eventHolder_.addListener(this);
}

CActor::~CActor() {
    // The script state may still point at this actor; it goes first.
    if (script_ != nullptr) {
        script_->close();
    }
}

bool CActor::runSetupScript(const std::u16string& folder) {
    CScriptController setupScript(context_);
    if (!setupScript.loadScript(folder + u"setup.lua", kSetupMemory) ||
        !attachScriptModules(setupScript, context_,
                             {ScriptModule::kMossbellLib, ScriptModule::kActor, ScriptModule::kMap,
                              ScriptModule::kDungeon, ScriptModule::kGame, ScriptModule::kDamageCalculate}) ||
        !setupScript.runMain()) {
        return false;
    }
    std::vector<CScriptValue> results;
    setupScript.callFunctionWithArg(results, "setActor", 0, CScriptValue(static_cast<void*>(this)));
    setupScript.callFunctionNoArgs(results, "setup", 0);
    setupScript.close();
    return true;
}

bool CActor::setup(const std::u16string& folder) {
    drawOffsetX_ = 0.0f;
    drawOffsetY_ = 0.0f;
    if (!runSetupScript(folder)) {
        return false;
    }
    script_ = std::make_shared<CScriptController>(context_);
    if (!script_->loadScript(folder + u"actor.lua", scriptTaskEnabled_ ? kScriptTaskMemory : kScriptMemory) ||
        !attachScriptModules(*script_, context_,
                             {ScriptModule::kGraphics, ScriptModule::kMossbellLib, ScriptModule::kActor,
                              ScriptModule::kMap, ScriptModule::kDungeon, ScriptModule::kGame, ScriptModule::kItem,
                              ScriptModule::kAudio, ScriptModule::kDamageCalculate}) ||
        !script_->runMain()) {
        return false;
    }
    std::vector<CScriptValue> results;
    script_->callFunctionPath(results, {"Actor", "initialize"}, 0, {CScriptValue(static_cast<void*>(this))});
    setUp_ = true;
    folder_ = folder;
    return true;
}

void CActor::onTurn(Dungeon::IActionManager& /*actions*/) {
    if (script_) {
        std::vector<CScriptValue> results;
        script_->callFunctionPath(results, {"Actor", "onTurn"}, 0, {});
    }
}

void CActor::onChangeFloor() {
    status_.clearStabilityState();
    setVisible(true);
}

void CActor::addItem(const std::shared_ptr<Item::CItem>& item) {
    if (item == nullptr) {
        return;
    }
    items_.push_back(item);
    eventHolder_.addListener(item.get());
}

bool CActor::insertItem(const std::shared_ptr<Item::CItem>& item, std::size_t index) {
    if (item == nullptr || !items_.insert(index, item)) {
        return false;
    }
    eventHolder_.addListener(item.get());
    return true;
}

std::shared_ptr<Item::CItem> CActor::removeItem(const Item::CItem* item) {
    const int32_t index = findItem(item);
    if (index < 0) {
        return {};
    }
    std::shared_ptr<Item::CItem> removed = items_.removeAt(static_cast<std::size_t>(index));
    eventHolder_.removeListener(removed.get());
    return removed;
}

int32_t CActor::findItem(const Item::CItem* item) const {
    if (item == nullptr) {
        return -1;
    }
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_.at(i).get() == item) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

}  // namespace Fenwarrow::Actor
