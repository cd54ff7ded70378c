#include "game/shell/CReplayTrace.h"

#include <bit>
#include <memory>

#include "engine/system/OxSystemFacade.h"
#include "engine/system/OxWideFormat.h"
#include "game/actor/CActor.h"
#include "game/actor/CPlayer.h"
#include "game/dungeon/CDungeon.h"
#include "game/dungeon/CMapCell.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/item/CItem.h"
#include "game/replay/CReplayController.h"

namespace Fenwarrow {
namespace {

class Fnv1a {
public:
    void add(uint64_t value) {
        for (int byte = 0; byte < 8; ++byte) {
            hash_ = (hash_ ^ ((value >> (8 * byte)) & 0xFFu)) * 0x100000001B3ull;
        }
    }
    void add(float value) { add(uint64_t{std::bit_cast<uint32_t>(value)}); }
    void add(int32_t value) { add(static_cast<uint64_t>(static_cast<uint32_t>(value))); }
    void add(uint32_t value) { add(uint64_t{value}); }
    uint64_t value() const { return hash_; }

private:
    uint64_t hash_ = 0xCBF29CE484222325ull;
};

void addCell(Fnv1a& hash, const Dungeon::CCellObject& object) {
    const Dungeon::CMapCell* cell = object.getCell();
    hash.add(cell != nullptr ? uint32_t{1} : uint32_t{0});
    if (cell != nullptr) {
        hash.add(cell->getPoint().x);
        hash.add(cell->getPoint().y);
    }
}

void addActor(Fnv1a& hash, const Actor::CActor& actor) {
    const Actor::CActorStatus& status = actor.getStatus();
    hash.add(actor.getActorID());
    hash.add(actor.getActorType());
    addCell(hash, actor);
    hash.add(status.getLevel());
    hash.add(status.getTurnCount());
    hash.add(status.getLife());
    hash.add(status.getMaxLife());
    hash.add(status.getHungerPoint());
    hash.add(static_cast<uint64_t>(actor.getItemList().size()));
    for (const auto& item : actor.getItemList()) {
        hash.add(item->getItemID());
    }
}

}  // namespace

CReplayTrace::CReplayTrace() : enabled_(Orvex::System::isDiagnosticSwitchSet("ORVEX_REPLAY_TRACE")) {}

uint64_t CReplayTrace::digest(const CGameDataManager* gameData, const Dungeon::CDungeon* floor) {
    Fnv1a hash;
    if (gameData != nullptr) {
        hash.add(gameData->getRunTurns());
        hash.add(gameData->getPlayerMoney());
        if (gameData->getPlayer() != nullptr) {
            addActor(hash, *gameData->getPlayer());
        }
    }
    if (floor != nullptr) {
        const auto& participants = floor->getTurnController().getParticipants();
        hash.add(static_cast<uint64_t>(participants.size()));
        for (const auto& actor : participants) {
            if (actor != nullptr) {
                addActor(hash, *actor);
            }
        }
        hash.add(static_cast<uint64_t>(floor->getItems().size()));
        for (const auto& item : floor->getItems()) {
            hash.add(item->getItemID());
            addCell(hash, *item);
        }
    }
    return hash.value();
}

void CReplayTrace::afterUpdatePass(const Replay::CReplayController& replay, const CGameDataManager* gameData,
                                   const Dungeon::CDungeon* floor) {
    if (!enabled_) {
        return;
    }
    if (replay.getMode() != mode_) {
        // A new run or playback starts its trace afresh.
        mode_ = replay.getMode();
        step_ = 0;
        digest_ = 0;
    }
    if (replay.getMode() == Replay::CReplayController::kModePlayback && replay.getSpeedStep() != speedStep_) {
        speedStep_ = replay.getSpeedStep();
        Orvex::System::debugOutput(Orvex::System::formatWide(u"Replay speed: %u update steps a frame", speedStep_));
    }
    const uint64_t step = replay.getStepCount();
    if (mode_ == Replay::CReplayController::kModeOff || step == step_) {
        return;
    }
    step_ = step;
    const uint64_t now = digest(gameData, floor);
    if (now != digest_) {
        digest_ = now;
        Orvex::System::debugOutput(Orvex::System::formatWide(
            u"Replay step %llu: %016llx", static_cast<unsigned long long>(step), static_cast<unsigned long long>(now)));
    }
}

}  // namespace Fenwarrow
