// The suspended floor: writing the floor in play and reading it back into a fresh floor object.
#include <string>
#include <vector>

#include "engine/io/OxPathUtility.h"
#include "engine/serialization/OxSerializer.h"
#include "engine/system/OxSystemFacade.h"
#include "game/actor/CActor.h"
#include "game/actor/CPlayer.h"
#include "game/dungeon/CDungeon.h"
#include "game/dungeon/CSerializeInfo.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/item/CItem.h"
#include "game/save/SaveRecords.h"
#include "game/services/IGameContext.h"

namespace Fenwarrow::Dungeon {

namespace {

constexpr int32_t kSuspendIdInt = 16;
constexpr uint32_t kBackMoviePriority = 10000000;
constexpr const char16_t* kSuspendSavePath = u"c001.bin";
// The least an actor record takes: an empty folder, the type, the motion, the lock, the
// cell-object and turn parts, the status, four empty sprites and no items.
constexpr uint32_t kMinActorBytes = 2 + 4 + 132 + 1 + 7 + 9 + 64 + 4 + 4 * 33;
// The random generator's state follows the floor as a last section of its own: a count of
// words, then the words. A file without it (written before it was kept) still loads and plays
// on from whatever the generator holds.
constexpr uint32_t kMaxRandomStateWords = 4096;

}  // namespace

bool CDungeon::saveFloor(Orvex::Serialization::OxSerializer& serializer) {
    CGameDataManager* gameData = services_.getGameContext().getGameDataManager();
    serializer.write32(gameData != nullptr ? gameData->getGlobalInt(kSuspendIdInt) : 0);
    serializer.writeBlock(&floorState_, sizeof(floorState_));
    serializer.write32(static_cast<uint32_t>(enemyList_.size()));
    for (const std::u16string& folder : enemyList_) {
        serializer.writeWString(folder);
    }
    serializer.write32(turnController_.getTurnCount());
    CSerializeInfo info;
    if (!saveCellObjects(serializer, info)) {
        return false;
    }
    map_->serialize(serializer, info);
    // The run's enemy-generation mark goes with the floor whose turns it counts.
    serializer.writeByte(gameData != nullptr && gameData->getEnemyGenerated() ? 1 : 0);
    // Without the generator's state a resumed floor would draw other numbers than the floor
    // that was suspended, and play other turns under the same keys.
    const std::vector<uint32_t> randomState = random_.getState();
    if (!randomState.empty()) {
        serializer.write32(static_cast<uint32_t>(randomState.size()));
        for (uint32_t word : randomState) {
            serializer.write32(word);
        }
    }
    return true;
}

bool CDungeon::saveCellObjects(Orvex::Serialization::OxSerializer& serializer, CSerializeInfo& info) {
    // Objects are numbered in the order written, so identities are unique whatever the size
    // of an address; 0 stays the empty slot.
    uint32_t next = 1;
    const auto& participants = turnController_.getParticipants();
    for (const auto& actor : participants) {
        info.addActor(next++, actor);
    }
    for (const auto& item : items_) {
        info.addItem(next++, item);
    }
    serializer.write32(info.findIdentity(player_.get()));
    serializer.write32(static_cast<uint32_t>(participants.size()));
    for (const auto& actor : participants) {
        serializer.write32(info.findIdentity(actor.get()));
        if (!serializeActor(serializer, *actor)) {
            return false;
        }
    }
    serializer.write32(static_cast<uint32_t>(items_.size()));
    for (const auto& item : items_) {
        serializer.write32(info.findIdentity(item.get()));
        if (!serializeItem(serializer, *item)) {
            return false;
        }
    }
    return true;
}

bool CDungeon::loadFloor(Orvex::Serialization::OxSerializer& serializer) {
    loadError_.clear();
    loadStale_ = false;
    map_ = std::make_unique<CMap>();
    IGameContext& context = services_.getGameContext();
    CGameDataManager* gameData = context.getGameDataManager();
    uint32_t suspendId = 0;
    if (gameData == nullptr) {
        return refuseLoad("there is no game data to resume it into", 0);
    }
    if (!serializer.read32(suspendId)) {
        return refuseLoad("the suspend id ends early", 0);
    }
    if (verifySuspendData_ && static_cast<int32_t>(suspendId) != gameData->getGlobalInt(kSuspendIdInt)) {
        loadStale_ = true;
        return refuseLoad("it belongs to another suspended game (suspend id " + std::to_string(suspendId) + ")", 0);
    }
    FloorState state;
    if (!serializer.readBlock(&state, sizeof(state))) {
        return refuseLoad("the floor's state record ends early", serializer.getPosition());
    }
    floorState_ = state;
    const uint32_t enemiesStart = serializer.getPosition();
    uint32_t enemies = 0;
    if (!serializer.readCount(enemies, 2)) {
        return refuseLoad("the enemy list counts more entries than the body holds", enemiesStart);
    }
    for (uint32_t i = 0; i < enemies; ++i) {
        std::u16string folder;
        if (!serializer.readWString(folder)) {
            return refuseLoad("enemy list entry " + std::to_string(i) + " ends early", serializer.getPosition());
        }
        enemyList_.push_back(folder);
    }
    uint32_t turnCount = 0;
    if (!serializer.read32(turnCount)) {
        return refuseLoad("the turn count ends early", serializer.getPosition());
    }
    turnController_.setTurnCount(turnCount);
    // The whole stream is read before anything is set up, so a damaged file is refused before
    // the floor starts its music or screens.
    CSerializeInfo info;
    if (!loadCellObjects(serializer, info)) {
        return false;
    }
    // The floor owns the player from here, so that clearing it takes him off its cells.
    setPlayer(gameData->getPlayer());
    const uint32_t mapStart = serializer.getPosition();
    if (!map_->serialize(serializer, info)) {
        return refuseLoad("the map cannot be read (its size, cells, rooms or chip layers)", mapStart);
    }
    uint8_t generated = 0;
    if (!serializer.readByte(generated)) {
        return refuseLoad("the enemy generation flag ends early", serializer.getPosition());
    }
    gameData->setEnemyGenerated(generated != 0);
    std::vector<uint32_t> randomState;
    if (serializer.getRemaining() > 0) {
        const uint32_t randomStart = serializer.getPosition();
        uint32_t words = 0;
        if (!serializer.readCount(words, 4) || words == 0 || words > kMaxRandomStateWords) {
            return refuseLoad("the random generator's state counts more words than the body holds", randomStart);
        }
        randomState.resize(words);
        for (uint32_t& word : randomState) {
            serializer.read32(word);
        }
        if (serializer.hasReadFailed() || serializer.getRemaining() != 0) {
            return refuseLoad("the random generator's state is followed by bytes that belong to nothing", randomStart);
        }
    }

    gameData->playBGM(getFloorText(floorState_.currentBgmPath), false);
    if (!loadTitleImage(getFloorText(floorState_.titleImagePath))) {
        return refuseLoad("the floor's title image cannot be loaded", serializer.getPosition());
    }
    if (!setupLoadingScreen() || !setupHUD()) {
        return refuseLoad("the loading screen or the HUD cannot be set up", serializer.getPosition());
    }
    // The screens are not saved: they are laid out again for the floor just read.
    mapRenderer_.reset();
    miniMapRenderer_.create();
    openMovie(getFloorText(floorState_.backMoviePath), kBackMoviePriority, true);
    setBackgroundColor(floorState_.backgroundColor);
    mapRenderer_.setDarknessEnabled(floorState_.enableDarkness != 0);
    // Last, so that nothing of the set-up draws from the restored sequence.
    if (!randomState.empty() && !random_.setState(randomState)) {
        return refuseLoad("the random generator's state is not one the generator takes", serializer.getPosition());
    }
    return true;
}

bool CDungeon::refuseLoad(const std::string& what, uint32_t at) {
    loadError_ = what + " (body byte " + std::to_string(at) + ")";
    return false;
}

bool CDungeon::loadCellObjects(Orvex::Serialization::OxSerializer& serializer, CSerializeInfo& info) {
    IGameContext& context = services_.getGameContext();
    CGameDataManager* gameData = context.getGameDataManager();
    uint32_t playerIdentity = 0;
    uint32_t actors = 0;
    if (!serializer.read32(playerIdentity) || !serializer.readCount(actors, 4 + kMinActorBytes)) {
        return refuseLoad("the actor list counts more actors than the body holds", serializer.getPosition());
    }
    info.setPlayerIdentity(playerIdentity);
    for (uint32_t i = 0; i < actors; ++i) {
        const uint32_t start = serializer.getPosition();
        uint32_t identity = 0;
        std::shared_ptr<Actor::CActor> actor;
        // Identities are unique and never 0 (the empty slot); a file that repeats one would
        // put one object twice into the turn order or onto the map.
        if (!serializer.read32(identity) || identity == 0 || info.findCellObject(identity) != nullptr) {
            return refuseLoad("actor " + std::to_string(i) + " has no identity of its own", start);
        }
        if (!deserializeActor(serializer, context, actor)) {
            return refuseLoad("actor " + std::to_string(i) + " cannot be read (its actor, items or script data)",
                              start);
        }
        // The player lives on in the game data, which the common save restored just before.
        if (identity == playerIdentity && gameData != nullptr && gameData->getPlayer() != nullptr) {
            actor = gameData->getPlayer();
        }
        actor->setCell(nullptr);
        info.addActor(identity, actor);
        turnController_.appendParticipant(actor, false);
    }
    uint32_t items = 0;
    if (!serializer.readCount(items, 4 + SaveRecords::kMinItemBytes)) {
        return refuseLoad("the floor's item list counts more items than the body holds", serializer.getPosition());
    }
    for (uint32_t i = 0; i < items; ++i) {
        const uint32_t start = serializer.getPosition();
        uint32_t identity = 0;
        std::shared_ptr<Item::CItem> item;
        if (!serializer.read32(identity) || identity == 0 || info.findCellObject(identity) != nullptr) {
            return refuseLoad("floor item " + std::to_string(i) + " has no identity of its own", start);
        }
        if (!deserializeItem(serializer, context, item)) {
            return refuseLoad("floor item " + std::to_string(i) + " cannot be read (an unknown item or a short record)",
                              start);
        }
        item->setCell(nullptr);
        info.addItem(identity, item);
        items_.push_back(item);
    }
    return true;
}

bool CDungeon::resumeFloor() {
    if (services_.loadSuspendedGame(*this)) {
        // A suspended game resumes once.
        Orvex::IO::deleteFileIfExists(kSuspendSavePath);
        return true;
    }
    Orvex::System::errorOutput(u"c001.bin: the suspended game cannot be resumed");
    postDeferredCall([this] { services_.changeScene(kSceneResult); });
    return false;
}

}  // namespace Fenwarrow::Dungeon
