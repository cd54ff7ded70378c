#include "game/condition/ConditionLooks.h"

#include "game/actor/CActor.h"
#include "game/dungeon/CDungeon.h"
#include "game/dungeon/CellObjectAnimation.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/actor/CPlayer.h"
#include "game/services/IGameContext.h"

namespace Fenwarrow::Actor::Condition {

void showEffect(CActor& actor, const std::u16string& name) {
    const auto& effect = actor.getExtraSprite(CActor::kEffectSprite);
    // A sprite without that mark shows nothing rather than an earlier one.
    if (!effect->applyPlayRangeDataFromName(name)) {
        effect->stop();
        return;
    }
    effect->setLoopPlay(true);
    effect->play();
}

void clearEffect(CActor& actor) { actor.getExtraSprite(CActor::kEffectSprite)->stop(); }

void rebuildLook(CActor& actor, const std::u16string& folder) {
    const int32_t lock = actor.getMotionLock();
    actor.setMotionLock(0);
    Dungeon::setupAnimation(actor.getContext(), actor, folder);
    actor.setMotionLock(lock);
}

void giveLook(CActor& actor, const std::u16string& folder) {
    // Copied first: playing the motion again records it anew.
    const std::u16string motion = actor.getMotionName();
    const bool keep = actor.getMotionKeepIfPlaying();
    const bool withDirection = actor.getMotionWithDirection();
    const bool loop = actor.getMotionLoop();
    const int32_t lock = actor.getMotionLock();
    actor.setMotionLock(0);
    Dungeon::setupAnimation(actor.getContext(), actor, folder);
    if (!motion.empty()) {
        actor.playMotion(motion, keep, withDirection, loop);
    }
    actor.setMotionLock(lock);
}

CActor* findPlayer(const CActor& anyActor) {
    if (anyActor.getActorType() == CActor::kPlayer) {
        return const_cast<CActor*>(&anyActor);
    }
    IGameContext& context = anyActor.getContext();
    if (const CGameDataManager* data = context.getGameDataManager(); data != nullptr && data->getPlayer() != nullptr) {
        return data->getPlayer().get();
    }
    const Dungeon::CDungeon* floor = context.getCurrentDungeon();
    return floor != nullptr ? floor->getPlayer().get() : nullptr;
}

Damage::CDamageWorld damageWorld(CActor& actor) {
    Dungeon::CDungeon* floor = actor.getContext().getCurrentDungeon();
    return Damage::CDamageWorld{actor.getContext(), floor, [floor](CActor& hurt) {
                                    if (floor != nullptr && floor->getActionManager() != nullptr) {
                                        floor->getServices().pushScriptedAction(
                                            *floor->getActionManager(), Damage::CDamageCalculator::kOnDamageScript,
                                            &hurt);
                                    }
                                }};
}

}  // namespace Fenwarrow::Actor::Condition
