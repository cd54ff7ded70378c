#include "game/condition/CConditionController.h"

#include "game/condition/ConditionMakers.h"
#include "game/actor/CActor.h"
#include "game/dungeon/CDungeon.h"
#include "game/services/IGameContext.h"

namespace Fenwarrow::Actor::Condition {

namespace {

// The display names; types without one are never reported.
constexpr const char16_t* kDisplayNames[kConditionTypeCount] = {
    nullptr, u"混乱", u"泥酔", u"倍速", u"鈍速", u"目潰し", u"幻覚", u"睡眠", u"コタツ", nullptr, u"金縛り", nullptr,
    nullptr, nullptr, u"怪力", u"無敵", u"狂化", u"囮",     u"冬眠", u"衰弱", u"筋弛緩", u"変身", u"動転",
};

// The order in which the shown name is picked.
constexpr int32_t kNameOrder[] = {1, 2, 3, 4, 5, 6, 7, 8, 10, 14, 15, 16, 17, 18, 19, 20, 21, 22};

}  // namespace

CConditionController::CConditionController(CActor& actor) : actor_(actor) { createConditions(); }

CConditionController::~CConditionController() = default;

void CConditionController::createConditions() {
    for (int32_t type = 0; type < kConditionTypeCount; ++type) {
        std::shared_ptr<CConditionBase> condition = makeTurnCondition(type, actor_);
        if (condition == nullptr) {
            condition = makeStateCondition(type, actor_);
        }
        conditions_[static_cast<std::size_t>(type)] = std::move(condition);
    }
}

template <typename Hook>
void CConditionController::forEach(Hook hook) {
    for (const auto& condition : conditions_) {
        if (condition != nullptr) {
            hook(*condition);
        }
    }
}

CConditionBase* CConditionController::getCondition(int32_t type) const {
    return isConditionType(type) ? conditions_[static_cast<std::size_t>(type)].get() : nullptr;
}

void CConditionController::update(float elapsedSeconds) {
    forEach([elapsedSeconds](CConditionBase& condition) { condition.update(elapsedSeconds); });
}

void CConditionController::draw(Orvex::Graphics::OxRenderQueue& queue, Orvex::Graphics::IOrvexRenderer* renderer) {
    forEach([&queue, renderer](CConditionBase& condition) { condition.draw(queue, renderer); });
}

void CConditionController::onEnterTurn() {
    mayAct_ = true;
    forEach([this](CConditionBase& condition) {
        condition.onEnterTurn();
        // An inactive condition may still hold the turn (an enemy that dozed off on arrival).
        if (!condition.getMayAct()) {
            mayAct_ = false;
        }
    });
}

void CConditionController::onExitTurn() {
    forEach([](CConditionBase& condition) { condition.onExitTurn(); });
}

void CConditionController::onArrival() {
    forEach([](CConditionBase& condition) { condition.onArrival(); });
}

void CConditionController::onRoomOut() {
    forEach([](CConditionBase& condition) { condition.onRoomOut(); });
}

void CConditionController::onRoomIn() {
    forEach([](CConditionBase& condition) { condition.onRoomIn(); });
}

void CConditionController::onDamage() {
    forEach([](CConditionBase& condition) { condition.onDamage(); });
}

void CConditionController::onDead() {
    forEach([](CConditionBase& condition) { condition.onDead(); });
}

void CConditionController::onChangeFloor() {
    forEach([](CConditionBase& condition) { condition.onChangeFloor(); });
}

bool CConditionController::isCondition(int32_t type) const {
    const CConditionBase* condition = getCondition(type);
    return condition != nullptr && condition->isActive();
}

bool CConditionController::addCondition(int32_t type) {
    CConditionBase* condition = getCondition(type);
    if (condition == nullptr) {
        return false;
    }
    if (!condition->isActive()) {
        condition->onAttach();
    }
    return condition->isActive();
}

bool CConditionController::removeCondition(int32_t type) {
    CConditionBase* condition = getCondition(type);
    if (condition == nullptr) {
        return false;
    }
    if (condition->isActive()) {
        condition->onDetach();
    }
    return !condition->isActive();
}

const char16_t* CConditionController::getConditionName() const {
    for (const int32_t type : kNameOrder) {
        if (isCondition(type)) {
            return kDisplayNames[type];
        }
    }
    return nullptr;
}

const std::u16string* CConditionController::getDisguisedName() const {
    static const std::u16string kUnknown = u"？？？";
    static const std::u16string kIllusion = u"まぼろしの影";
    static const std::u16string kDecoy = u"身代わり人形";
    const Dungeon::CDungeon* floor = actor_.getContext().getCurrentDungeon();
    const CActor* player = floor != nullptr ? floor->getPlayer().get() : nullptr;
    const bool other = player != nullptr && player != &actor_;
    if ((other && player->hasCondition(kConditionBlind)) || isCondition(kConditionStealth)) {
        return &kUnknown;
    }
    if (other && player->hasCondition(kConditionTrip)) {
        return &kIllusion;
    }
    if (isCondition(kConditionScapegoat)) {
        return &kDecoy;
    }
    return nullptr;
}

bool CConditionController::serialize(Orvex::Serialization::OxSerializer& serializer) {
    bool ok = true;
    if (serializer.isWriting()) {
        serializer.writeByte(mayAct_ ? 1 : 0);
    } else {
        uint8_t byte = 0;
        ok = serializer.readByte(byte);
        mayAct_ = byte != 0;
    }
    for (const auto& condition : conditions_) {
        // Every slot is filled once all groups are built; a missing one would shift the record.
        if (condition == nullptr || !condition->serialize(serializer)) {
            ok = false;
        }
    }
    return ok && !serializer.hasReadFailed();
}

}  // namespace Fenwarrow::Actor::Condition
