#include "game/save/CGameSaveController.h"

#include <string>

#include "engine/io/OxPathUtility.h"
#include "engine/random/OxRandomRange.h"
#include "engine/serialization/OxSerializer.h"
#include "engine/system/OxStringConvert.h"
#include "engine/system/OxSystemFacade.h"
#include "game/dungeon/CDungeon.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/save/CGameSerializer.h"
#include "game/save/COldSaveDataController.h"
#include "game/save/CSaveDataController.h"
#include "game/services/IGameContext.h"

namespace Fenwarrow {

namespace {

// Free names tried for a damaged save before giving up on setting it aside.
constexpr int kSetAsideNames = 100;

}  // namespace

CGameSaveController::CGameSaveController(IGameContext& game, CSettingDataManager& settings, int32_t currentSceneId)
    : game_(game), settings_(settings), currentSceneId_(currentSceneId) {}

bool CGameSaveController::saveCommonData() {
    Orvex::Serialization::OxSerializer data;
    CSaveDataController container;
    container.prepareHeader();
    return CGameSerializer(game_, settings_, currentSceneId_).serialize(data) &&
           container.writeContainer(data, kCommonSavePath);
}

bool CGameSaveController::loadCommonData() {
    setAsidePath_.clear();
    loadError_.clear();
    if (!Orvex::IO::fileExists(kCommonSavePath)) {
        return false;
    }
    if (readCommonData()) {
        return true;
    }
    setAsideDamagedSave();
    if (CGameDataManager* data = game_.getGameDataManager()) {
        data->reset();
    }
    return false;
}

bool CGameSaveController::readCommonData() {
    loadError_.clear();
    Orvex::Serialization::OxSerializer data;
    CSaveDataController container;
    if (container.readContainer(data, kCommonSavePath)) {
        CGameSerializer body(game_, settings_, currentSceneId_);
        if (body.deserialize(data)) {
            return true;
        }
        loadError_ = body.getLastError();
        return false;
    }
    // The container reader refuses the old format; its own reader takes it.
    if (container.getFormatVersion() == CSaveDataController::kOldVersion) {
        COldSaveDataController old;
        if (old.loadCommonData(game_, settings_, kCommonSavePath)) {
            return true;
        }
        loadError_ = "old format: " + old.getLastError();
        return false;
    }
    loadError_ = container.getLastError();
    return false;
}

std::u16string CGameSaveController::setAside(const std::u16string& path, const std::u16string& what,
                                             const std::string& reason, const std::u16string& without) {
    const std::u16string fault = path + u": " + what + u" cannot be read (" + Orvex::System::widen(reason) + u")";
    for (int i = 0; i < kSetAsideNames; ++i) {
        const std::string number = i == 0 ? std::string() : std::to_string(i);
        const std::u16string name = path + u".bad" + std::u16string(number.begin(), number.end());
        if (Orvex::IO::renameFileNoReplace(path, name)) {
            Orvex::System::errorOutput(fault + u"; it is kept as " + name + u" and " + without);
            return name;
        }
    }
    Orvex::System::errorOutput(fault + u" and cannot be set aside");
    return {};
}

void CGameSaveController::setAsideDamagedSave() {
    setAsidePath_ = setAside(kCommonSavePath, u"the common save", loadError_, u"the game starts without a save");
}

void CGameSaveController::setAsideSuspendSave(const std::string& reason) {
    suspendError_ = reason;
    suspendSetAsidePath_ =
        setAside(kSuspendSavePath, u"the suspend save", reason, u"the game goes on without a suspended game");
}

bool CGameSaveController::saveSuspendedGame(Dungeon::CDungeon& floor) {
    CGameDataManager* gameData = game_.getGameDataManager();
    if (gameData == nullptr) {
        return false;
    }
    gameData->setGlobalFlag(kSuspendedFlag, true);
    gameData->setGlobalInt(kSuspendIdInt, Orvex::Random::getRange(game_.getRandomGenerator(), 1, kMaxSuspendId));
    if (!saveCommonData()) {
        return false;
    }
    Orvex::Serialization::OxSerializer data;
    CSaveDataController container;
    container.prepareHeader();
    return floor.saveFloor(data) && container.writeContainer(data, kSuspendSavePath);
}

bool CGameSaveController::loadSuspendedGame(Dungeon::CDungeon& floor) {
    suspendError_.clear();
    suspendSetAsidePath_.clear();
    if (!Orvex::IO::fileExists(kSuspendSavePath)) {
        return false;
    }
    Orvex::Serialization::OxSerializer data;
    CSaveDataController container;
    if (!CSaveDataController::isValidSaveFile(kSuspendSavePath)) {
        // The read names the check the file fails; a header that reads but lacks the mark
        // is said as such.
        container.readContainer(data, kSuspendSavePath);
        setAsideSuspendSave(container.getLastError().empty()
                                ? "the header does not read \"HERO\" and version 1 (version byte " +
                                      std::to_string(container.getFormatVersion()) + ")"
                                : container.getLastError());
        return false;
    }
    if (!loadCommonData()) {
        return false;
    }
    if (!container.readContainer(data, kSuspendSavePath)) {
        setAsideSuspendSave(container.getLastError());
        return false;
    }
    if (!floor.loadFloor(data)) {
        if (floor.isLoadRefusedAsStale()) {
            suspendError_ = floor.getLoadError();
            Orvex::System::errorOutput(std::u16string(kSuspendSavePath) +
                                       u": the floor in the suspend save cannot be resumed (" +
                                       Orvex::System::widen(suspendError_) + u")");
            return false;
        }
        setAsideSuspendSave("the floor: " + floor.getLoadError());
        return false;
    }
    if (CGameDataManager* gameData = game_.getGameDataManager()) {
        gameData->setGlobalInt(kSuspendIdInt, 0);
    }
    return saveCommonData();
}

}  // namespace Fenwarrow
