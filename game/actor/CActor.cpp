#include "game/actor/CActor.h"

#include <cmath>
#include <mutex>
#include <unordered_set>

#include "engine/graphics/OxRenderQueue.h"
#include "engine/system/OxNeverDestroyed.h"
#include "game/action/CActionManager.h"
#include "game/action/CScriptingAction.h"
#include "game/action/IActionContext.h"
#include "game/actor/ConditionType.h"
#include "game/actor/IPlayerEquipment.h"
#include "game/item/CItem.h"
#include "game/services/CScriptController.h"
#include "game/services/IGameContext.h"
#include "game/services/ScriptArguments.h"

namespace Fenwarrow::Actor {

namespace {

using Orvex::MossbellLib::OxMADObject;

// The six floor events every listener of an actor hears before its script does.
constexpr std::pair<const char*, void (Dungeon::CDungeonEventHolder::*)()> kFloorEvents[] = {
    {"onArrival", &Dungeon::CDungeonEventHolder::onArrival},
    {"onRoomIn", &Dungeon::CDungeonEventHolder::onRoomIn},
    {"onRoomOut", &Dungeon::CDungeonEventHolder::onRoomOut},
    {"onDamage", &Dungeon::CDungeonEventHolder::onDamage},
    {"onDead", &Dungeon::CDungeonEventHolder::onDead},
    {"onChangeFloor", &Dungeon::CDungeonEventHolder::onChangeFloor},
};

void queueSprite(Orvex::Graphics::OxRenderQueue& queue, Orvex::Graphics::IOrvexRenderer* renderer,
                 const std::shared_ptr<OxMADObject>& sprite, uint32_t priority, float x, float y) {
    queue.add(priority, [sprite, renderer, x, y] { sprite->draw(renderer, x, y); });
}

// Plays the motion from its start, or stops a sprite that has no such motion.
void selectMotion(OxMADObject& sprite, const std::u16string& name, bool loop) {
    if (sprite.applyPlayRangeDataFromName(name)) {
        sprite.setLoopPlay(loop);
        sprite.stop();
        sprite.play();
    } else {
        sprite.stop();
    }
}

std::vector<CScriptValue> pointerArguments(const std::vector<void*>& arguments) {
    std::vector<CScriptValue> values;
    values.reserve(arguments.size() + 1);
    values.push_back(CScriptValue::fromInteger(static_cast<int32_t>(arguments.size())));
    for (void* argument : arguments) {
        values.emplace_back(argument);
    }
    return values;
}

// Every actor alive, for telling a pointer from a script apart from a stale or foreign one.
// Actors are made and destroyed on the loader thread and the game thread alike.
struct LiveActors {
    std::mutex lock;
    std::unordered_set<const void*> actors;
};

LiveActors& liveActors() {
    // Never destroyed: an actor may outlive the statics at process exit.
    static Orvex::System::OxNeverDestroyed<LiveActors> live;
    return live.get();
}

// The set-up's modules take the actor and its body sprite from the script only when they are
// lent to the state.
void lendActor(CScriptController& script, CActor& actor) {
    ScriptArguments::lendObject(script.getLuaState(), static_cast<void*>(&actor));
    ScriptArguments::lendObject(script.getLuaState(), actor.getAnimation().get());
}

}  // namespace

CActor* CActor::findLiveActor(const void* pointer) {
    LiveActors& live = liveActors();
    std::lock_guard<std::mutex> guard(live.lock);
    return pointer != nullptr && live.actors.count(pointer) != 0 ? static_cast<CActor*>(const_cast<void*>(pointer))
                                                                 : nullptr;
}

CActor::CActor(IGameContext& context) : context_(context) {
    {
        LiveActors& live = liveActors();
        std::lock_guard<std::mutex> guard(live.lock);
        live.actors.insert(static_cast<void*>(this));
    }
    setDrawPriority(kDrawPriority);
    for (auto& sprite : sprites_) {
        sprite = std::make_shared<OxMADObject>();
    }
    eventHolder_.addListener(this);
    conditions_ = context_.createConditionController(*this);
    if (conditions_ != nullptr) {
        eventHolder_.addListener(conditions_.get());
    }
}

CActor::~CActor() {
    // No script may take this actor from here on.
    {
        LiveActors& live = liveActors();
        std::lock_guard<std::mutex> guard(live.lock);
        live.actors.erase(static_cast<void*>(this));
    }
    // The script state may still point at this actor; it goes first.
    if (script_ != nullptr) {
        script_->close();
    }
}

const std::u16string& CActor::getName() const {
    if (conditions_ != nullptr) {
        if (const std::u16string* disguise = conditions_->getDisguisedName()) {
            return *disguise;
        }
    }
    return CCellObject::getName();
}

std::vector<Dungeon::CCellObject*> CActor::getDependentObjects() const {
    std::vector<Dungeon::CCellObject*> items;
    for (const auto& item : items_) {
        items.push_back(item.get());
    }
    return items;
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
    lendActor(setupScript, *this);
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
    auto script = std::make_shared<CScriptController>(context_);
    script_ = script;
    if (!script->loadScript(folder + u"actor.lua", scriptTaskEnabled_ ? kScriptTaskMemory : kScriptMemory) ||
        !attachScriptModules(*script, context_,
                             {ScriptModule::kGraphics, ScriptModule::kMossbellLib, ScriptModule::kActor,
                              ScriptModule::kMap, ScriptModule::kDungeon, ScriptModule::kGame, ScriptModule::kItem,
                              ScriptModule::kAudio, ScriptModule::kDamageCalculate}) ||
        !script->runMain()) {
        // A half-built state must not receive the hooks of an actor that is not used.
        script_.reset();
        return false;
    }
    lendActor(*script, *this);
    callHook("initialize", {CScriptValue(static_cast<void*>(this))});
    setUp_ = true;
    folder_ = folder;
    return true;
}

void CActor::callHook(const char* hook, const std::vector<CScriptValue>& arguments) {
    if (script_ != nullptr) {
        std::vector<CScriptValue> results;
        script_->callFunctionPath(results, {"Actor", hook}, 0, arguments);
    }
}

void CActor::update(float elapsedSeconds) {
    CCellObject::update(elapsedSeconds);
    const float dt = elapsedSeconds * getAnimationSpeed();
    float cellX = 0.0f;
    float cellY = 0.0f;
    if (getDrawPosition(cellX, cellY)) {
        drawX_ = std::floor(cellX - kBodyAnchorX + drawOffsetX_);
        drawY_ = std::floor(cellY - kBodyAnchorY + drawOffsetY_);
    }
    if (scriptTaskEnabled_) {
        callHook("onUpdate", {CScriptValue(dt)});
    }
    if (conditions_ != nullptr) {
        conditions_->update(dt);
    }
    for (const auto& sprite : sprites_) {
        sprite->update(dt);
    }
}

void CActor::draw(Orvex::Graphics::OxRenderQueue& queue, Orvex::Graphics::IOrvexRenderer* renderer) {
    if (!status_.getShown()) {
        return;
    }
    // The sprites stand on the cell; an actor off the floor or hidden on it shows none of them.
    if (isVisible() && getCell() != nullptr) {
        const auto base = static_cast<uint32_t>(getDrawPriority());
        for (const auto& sprite : {getAnimation(), sprites_[kWeaponSprite], sprites_[kShieldSprite]}) {
            if (const auto* frame = shownFrame(*sprite)) {
                queueSprite(queue, renderer, sprite, base + frame->priority, drawX_, drawY_);
            }
        }
        if (conditions_ != nullptr) {
            conditions_->draw(queue, renderer);
        }
        const auto& effect = sprites_[kEffectSprite];
        if (const auto* frame = shownFrame(*effect); frame != nullptr && effect->getState() == OxMADObject::kPlaying) {
            queueSprite(queue, renderer, effect, kEffectDrawPriority + frame->priority, drawX_, drawY_);
        }
    }
    if (scriptTaskEnabled_) {
        callHook("onDraw", {});
    }
}

void CActor::onTaskDraw() {
    if (scriptTaskEnabled_) {
        callHook("onTaskDraw", {});
    }
}

void CActor::onTurn(Dungeon::IActionManager& /*actions*/) { callHook("onTurn", {}); }

void CActor::onEnterTurn(Dungeon::IActionManager& /*actions*/) {
    if (conditions_ != nullptr) {
        conditions_->onEnterTurn();
        if (!conditions_->getMayAct()) {
            // The turn is taken away whole: it ends at once, with no action left in this round.
            setTurnState(0);
            setActionsLeft(0);
            inTurn_ = false;
            return;
        }
    }
    callHook("onEnterTurn", {});
    inTurn_ = true;
}

void CActor::onExitTurn(Dungeon::IActionManager& /*actions*/) {
    if (conditions_ != nullptr) {
        conditions_->onExitTurn();
    }
    if (inTurn_) {
        callHook("onExitTurn", {});
    }
}

void CActor::onChangeFloor() {
    status_.clearStabilityState();
    setVisible(true);
}

void CActor::callEvent(const std::string& name) {
    for (const auto& [event, broadcast] : kFloorEvents) {
        if (name == event) {
            (eventHolder_.*broadcast)();
            break;
        }
    }
    if (script_ != nullptr) {
        std::vector<CScriptValue> results;
        script_->callFunctionPath(results, {"Actor", "Event", name}, 0, {});
    }
}

void CActor::callCommand(const std::string& name, const std::vector<void*>& arguments) {
    if (script_ != nullptr) {
        std::vector<CScriptValue> results;
        script_->callFunctionPath(results, {"Actor", "Command", name}, 0, pointerArguments(arguments));
    }
}

bool CActor::doValidation(const std::string& name, const std::vector<void*>& arguments) {
    if (script_ == nullptr) {
        return false;
    }
    std::vector<CScriptValue> results;
    script_->callFunctionPath(results, {"Actor", "Validation", name}, 1, pointerArguments(arguments));
    if (results.empty()) {
        return false;
    }
    const CScriptValue& result = results.front();
    switch (result.getType()) {
        case CScriptValue::kBoolean:
            return result.asBool();
        case CScriptValue::kNumber:
            return result.asNumber() != 0.0;
        case CScriptValue::kInteger:
            return result.asInteger() != 0;
        default:
            return false;
    }
}

bool CActor::talk(Action::IActionContext& context) {
    Action::CActionManager* actions = context.getActionManager();
    if (actions == nullptr || actionEventScript_.empty()) {
        return false;
    }
    actions->pushAction(std::make_shared<Action::CScriptingAction>(context, actionEventScript_, this));
    return true;
}

void CActor::playMotion(const std::u16string& name, bool keepIfPlaying, bool withDirection, bool loop) {
    if (motionLock_ != 0) {
        return;
    }
    // Built in a growing string: a script may pass a name of any length.
    std::u16string motion = name;
    if (withDirection) {
        const std::string direction = "_" + std::to_string(status_.getDirection());
        motion.append(direction.begin(), direction.end());
    }
    const auto& body = getAnimation();
    if (keepIfPlaying && body->getState() == OxMADObject::kPlaying && body->isPlayingFromPlayRangeName(motion)) {
        return;
    }
    selectMotion(*body, motion, loop);
    for (const auto which : {kWeaponSprite, kShieldSprite}) {
        if (!sprites_[which]->getAnimationDataList().empty()) {
            selectMotion(*sprites_[which], motion, loop);
        }
    }
    motionName_ = name.substr(0, kMotionNameLength);
    motionKeep_ = keepIfPlaying;
    motionWithDirection_ = withDirection;
    motionLoop_ = loop;
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
