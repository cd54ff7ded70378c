#include "game/condition/CMobblyCondition.h"

#include <vector>

#include "game/actor/CActor.h"
#include "game/condition/ConditionLooks.h"
#include "game/dungeon/CDungeon.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/item/CItem.h"
#include "game/services/CScriptController.h"
#include "game/services/IGameContext.h"
#include "game/services/ScriptArguments.h"

namespace Fenwarrow::Actor::Condition {

namespace {

using Orvex::Script::CScriptValue;

}  // namespace

CMobblyCondition::~CMobblyCondition() = default;

void CMobblyCondition::onAttach() {
    if (isStable()) {
        return;
    }
    counter_ = 15;
    transform();
}

void CMobblyCondition::transform() {
    CActor& actor = getActor();
    actor.getExtraSprite(CActor::kWeaponSprite)->clear();
    actor.getExtraSprite(CActor::kShieldSprite)->clear();
    rebuildLook(actor, kMobblyFolder);
}

void CMobblyCondition::onDetach() {
    counter_ = 0;
    // The level-up is prepared here, on the game thread, before anything drives it: a held
    // action that was never prepared would have no script to run.
    heldAction_.reset();
    if (Dungeon::CDungeon* floor = getDungeon()) {
        std::shared_ptr<Dungeon::IFloorEffect> levelUp =
            floor->getServices().createScriptedEffect(kLevelUpScript, &getActor());
        if (levelUp != nullptr) {
            levelUp->prepare();
            heldAction_ = std::move(levelUp);
        }
    }
    rebuildLook(getActor(), u"");
    if (isPlayer()) {
        reattachEquipment();
    }
}

void CMobblyCondition::reattachEquipment() {
    CActor& player = getActor();
    const CGameDataManager* data = getContext().getGameDataManager();
    if (data == nullptr) {
        return;
    }
    struct Piece {
        std::shared_ptr<Item::CItem> item;
        // The sprite the item dresses, cleared before its script builds it again; the amulet has none.
        Orvex::MossbellLib::OxMADObject* sprite;
    };
    const Piece equipment[] = {
        {data->getEquippedWeaponItem(), player.getExtraSprite(CActor::kWeaponSprite).get()},
        {data->getEquippedShieldItem(), player.getExtraSprite(CActor::kShieldSprite).get()},
        {data->getEquippedAmuletItem(), nullptr},
    };
    for (const Piece& piece : equipment) {
        const std::shared_ptr<Item::CItem>& item = piece.item;
        if (item == nullptr) {
            continue;
        }
        if (piece.sprite != nullptr) {
            piece.sprite->clear();
        }
        CScriptController script(getContext());
        // An item whose script is missing is skipped; the others still dress the player.
        if (!script.loadScript(item->getAttachScriptFileName(), kAttachMemory)) {
            continue;
        }
        if (!attachScriptModules(
                script, getContext(),
                {ScriptModule::kActor, ScriptModule::kGame, ScriptModule::kItem, ScriptModule::kMossbellLib})) {
            script.close();
            return;
        }
        script.runMain();
        ScriptArguments::lendObject(script.getLuaState(), static_cast<void*>(&player));
        ScriptArguments::lendObject(script.getLuaState(), item.get());
        std::vector<CScriptValue> results;
        script.callFunction(results, "attach", 0,
                            {CScriptValue(static_cast<void*>(&player)), CScriptValue(static_cast<void*>(item.get()))});
        script.close();
    }
}

void CMobblyCondition::onEnterTurn() {
    if (!isActive()) {
        return;
    }
    if (--counter_ <= 0) {
        onDetach();
    }
}

void CMobblyCondition::onChangeFloor() {
    if (isActive()) {
        counter_ = 0;
        onDetach();
    }
}

void CMobblyCondition::update(float /*elapsedSeconds*/) {
    if (heldAction_ != nullptr) {
        heldAction_->update();
    }
}

void CMobblyCondition::draw(Orvex::Graphics::OxRenderQueue& /*queue*/, Orvex::Graphics::IOrvexRenderer* /*renderer*/) {
    if (heldAction_ != nullptr) {
        heldAction_->draw();
    }
}

bool CMobblyCondition::serialize(Orvex::Serialization::OxSerializer& serializer) {
    const bool read = CCountingCondition::serialize(serializer);
    // A loaded Mobbly takes its form again; saving changes nothing.
    if (!serializer.isWriting() && isActive()) {
        transform();
    }
    return read;
}

}  // namespace Fenwarrow::Actor::Condition
