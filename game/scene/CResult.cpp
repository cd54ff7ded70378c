#include "game/scene/CResult.h"

#include <cstring>

#include "engine/io/OxPathUtility.h"
#include "engine/scene/OxSceneController.h"
#include "engine/system/OxSystemFacade.h"
#include "engine/system/OxWideFormat.h"
#include "game/actor/CPlayer.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/generalwindow/CGeneralWindow.h"
#include "game/item/CItem.h"
#include "game/replay/CReplayController.h"
#include "game/replay/CReplayInfo.h"
#include "game/scene/ResultRecord.h"
#include "game/scene/SceneNumbers.h"
#include "game/services/CGameSetting.h"
#include "game/services/CSettingDataManager.h"
#include "game/services/IGameContext.h"
#include "game/services/RenderLayerNames.h"

namespace Fenwarrow::Scene {

namespace {

constexpr const char16_t* kMeltdownBackground = u"Menu/Result/meltdown_back.png";
constexpr int32_t kJingleCleared = 14;
constexpr int32_t kJingleOther = 12;
constexpr int32_t kNoSuspendedGameFlag = 15;
constexpr int32_t kSuspendedSceneInt = 16;

std::u16string settingText(const std::array<char16_t, kResultTextUnits>& text) {
    return std::u16string(text.data(), std::char_traits<char16_t>::length(text.data()));
}

// What the dive ended with is told in full: the kind is identified and the item's own hidden
// strength is shown, and the text carries the item's icon as the inventory shows it.
std::u16string equipmentText(const std::shared_ptr<Item::CItem>& item) {
    if (item == nullptr) {
        return {};
    }
    item->identify();
    item->getStatus().setUnidentified(false);
    return item->getDisplayName(true);
}

}  // namespace

CResult::CResult(ISceneContext& context, Services services) : context_(context), services_(std::move(services)) {
    resetResultRecord(record_);
    const CResultSetting& setting = context_.getSettingDataManager()->getResultSetting();
    nextScene_ = setting.nextScene;
    meltdown_ = setting.flags[kResultMeltdown] != 0;
    CGameDataManager* gameData = context_.getGameContext().getGameDataManager();
    if (nextScene_ == kSceneExtra) {
        viewOnly_ = true;
        if (const CResultInfo* stored =
                gameData != nullptr ? findRankingRecord(*gameData, setting.rankingIndex) : nullptr) {
            std::memcpy(static_cast<void*>(&record_), stored, sizeof record_);
        }
    } else if (services_.replay != nullptr && services_.replay->getMode() == Replay::CReplayController::kModePlayback &&
               services_.replay->getInfo() != nullptr) {
        std::memcpy(static_cast<void*>(&record_), &services_.replay->getInfo()->getResult(), sizeof record_);
    } else if (gameData != nullptr) {
        fillFromDive(*gameData);
    }
    if (!viewOnly_ && gameData != nullptr) {
        reportEndState(*gameData, setting.lastFloorNumber);
    }
    buildWindows();
    if (viewOnly_) {
        stepCounter_ = 0;
        scrollOffset_ = 0.0f;
    }
}

CResult::~CResult() = default;

// The state the dive ended in, on the debug output: a recorded dive and its playback must end
// in the same one, which is how a replay is checked against its run.
void CResult::reportEndState(CGameDataManager& gameData, int32_t floorNumber) {
    std::u16string items;
    int32_t level = 0;
    float life = 0.0f;
    int32_t turns = 0;
    const std::shared_ptr<Actor::CPlayer>& player = gameData.getPlayer();
    if (player != nullptr) {
        for (const auto& item : player->getItemList()) {
            items += Orvex::System::formatWide(u" %u", item->getItemID());
        }
        level = player->getStatus().getLevel();
        life = player->getStatus().getLife();
        turns = player->getStatus().getTurnCount();
    }
    Orvex::System::debugOutput(Orvex::System::formatWide(
        u"Dive ended: floor %d, rounds %u, player turns %d, level %d, life %.2f, money %d, items%s", floorNumber,
        gameData.getRunTurns(), turns, level, life, gameData.getPlayerMoney(), items));
}

void CResult::fillFromDive(CGameDataManager& gameData) {
    const CResultSetting& setting = context_.getSettingDataManager()->getResultSetting();
    const std::u16string weapon = equipmentText(gameData.getEquippedWeaponItem());
    const std::u16string shield = equipmentText(gameData.getEquippedShieldItem());
    const std::u16string amulet = equipmentText(gameData.getEquippedAmuletItem());
    resetResultRecord(record_);
    record_.flags[kRecordGaveUp] = setting.flags[kResultGaveUp];
    record_.flags[kRecordReturned] = setting.flags[kResultReturned];
    record_.flags[kRecordR30Cleared] = setting.flags[kResultR30Cleared];
    record_.flags[kRecordR99Cleared] = setting.flags[kResultR99Cleared];
    record_.flags[kRecordMeltdown] = setting.flags[kResultMeltdown];
    record_.cleared = setting.flags[kResultTT23Cleared];
    record_.value = setting.lastFloorNumber;
    CResultInfo::setText(record_.text3, settingText(setting.lastFloorName));
    record_.valid = 1;

    uint32_t itemPrices = 0;
    const std::shared_ptr<Actor::CPlayer>& player = gameData.getPlayer();
    if (player != nullptr) {
        for (const auto& item : player->getItemList()) {
            itemPrices += static_cast<uint32_t>(item->getTotalPrice());
        }
    }
    record_.score = computeResultScore(record_.flags[kRecordR30Cleared] != 0, record_.flags[kRecordR99Cleared] != 0,
                                       record_.cleared != 0, record_.value, gameData.getPlayerMoney(), itemPrices);
    record_.money = gameData.getPlayerMoney();
    if (player != nullptr) {
        CResultInfo::setText(record_.playerName, player->getName());
        const Actor::CActorStatus& status = player->getStatus();
        record_.status = CResultActorStatus{status.getDirection(),
                                            status.getTurnCount(),
                                            status.getLevel(),
                                            status.getMaxLife(),
                                            status.getLife(),
                                            status.getMaxHungerPoint(),
                                            status.getHungerPoint(),
                                            status.getMaxForce(),
                                            status.getForce(),
                                            status.getAttack(),
                                            status.getDefense(),
                                            status.getPower(),
                                            status.getEXP(),
                                            status.getCategoryBits(),
                                            status.getStabilityBits(),
                                            static_cast<uint8_t>(status.getShown() ? 1 : 0),
                                            {}};
    }
    CResultInfo::setText(record_.text1, settingText(setting.damageSourceName));
    CResultInfo::setText(record_.text2, settingText(setting.damageName));
    CResultInfo::setText(record_.weaponText, weapon);
    CResultInfo::setText(record_.shieldText, shield);
    CResultInfo::setText(record_.amuletText, amulet);
    if (services_.replay != nullptr) {
        if (const Replay::CReplayFrame* frame = services_.replay->getCurrentFrame()) {
            record_.playTime = frame->playTime;
        }
    }
    record_.turnCount = static_cast<int32_t>(gameData.getRunTurns());
    gameData.addRankingRecord(record_);
    if (isRecording() && services_.replay->getInfo() != nullptr) {
        services_.replay->getInfo()->getResult() = record_;
    }
}

void CResult::buildWindows() {
    const std::shared_ptr<Orvex::FontLib::OxFontRenderer> font =
        services_.makeFontRenderer ? services_.makeFontRenderer() : nullptr;
    auto makeWindow = [&](uint32_t mode, float width, float height) {
        auto window = std::make_shared<CGeneralWindow>(services_.windows);
        window->create(font);
        window->setWindowMode(mode);
        const float size[2] = {width, height};
        window->setWindowSize(size);
        return window;
    };
    resultWindow_ = makeWindow(CGeneralWindow::kModeText, 800.0f, 184.0f);
    resultWindow_->showTitle = true;
    resultWindow_->title = u"<#255:POSX>今回の挑戦結果";
    resultWindow_->text = resultBodyText(record_);

    statusWindow_ = makeWindow(CGeneralWindow::kModeText, 800.0f, 264.0f);
    statusWindow_->showTitle = false;
    statusWindow_->text = statusBodyText(record_);

    replayPrompt_ = makeWindow(CGeneralWindow::kModeList, 550.0f, 184.0f);
    replayPrompt_->x = 125.0f;
    replayPrompt_->y = 150.0f;
    replayPrompt_->showTitle = true;
    replayPrompt_->title = u"今回のリプレイを保存しますか？";
    const auto choose = [this](CGeneralWindow::CListItem*, int32_t index) { saveReplay_ = index == 0; };
    replayPrompt_->addListItemEx(u"はい", choose, 0);
    replayPrompt_->addListItemEx(u"いいえ", choose, 0);
    replayPrompt_->setSelectItemIndex(0);
}

bool CResult::isRecording() const {
    return services_.replay != nullptr && services_.replay->getMode() == Replay::CReplayController::kModeRecording;
}

std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource> CResult::jingle() const {
    if (services_.windows == nullptr) {
        return nullptr;
    }
    return services_.windows->getSystemSE(isResultCleared(record_) ? kJingleCleared : kJingleOther);
}

bool CResult::initialize() {
    if (services_.replay != nullptr) {
        services_.replay->stop();
    }
    if (meltdown_) {
        Orvex::IO::StreamIO::IOrvexStreamReader& reader = context_.getGameContext().getArchiveReader();
        if (!reader.open(kMeltdownBackground)) {
            Orvex::System::debugOutput(u"Not open logo file.");
            Orvex::System::errorOutput(u"Menu/Result/meltdown_back.png: the meltdown background cannot be opened");
            return false;
        }
        Orvex::Graphics::IOrvexRenderer* renderer = context_.getRenderer();
        Orvex::Graphics::IOrvexTextureManager* textures = renderer != nullptr ? renderer->getTextureManager() : nullptr;
        const bool made =
            textures != nullptr && textures->createTexture(background_.put(), &reader) >= 0 && background_ != nullptr;
        reader.close();
        if (!made) {
            Orvex::System::debugOutput(u"Failed logo texture creation.");
            Orvex::System::errorOutput(
                u"Menu/Result/meltdown_back.png: the meltdown background is not a readable image");
            return false;
        }
    }
    if (viewOnly_) {
        return true;
    }
    if (CGameDataManager* gameData = context_.getGameContext().getGameDataManager()) {
        gameData->stopBGM();
    }
    if (const auto sound = jingle()) {
        sound->play();
    }
    return true;
}

bool CResult::update() {
    if (state_ == kStateSliding) {
        if (scrollOffset_ > 0.0f) {
            if (--stepCounter_ <= 0) {
                stepCounter_ = stepInterval_;
            }
            scrollOffset_ += scrollStep_;
        } else {
            scrollOffset_ = 0.0f;
            state_ = kStateShown;
        }
    }
    resultWindow_->x = 0.0f;
    resultWindow_->y = scrollOffset_;
    statusWindow_->x = 0.0f;
    statusWindow_->y = scrollOffset_ + 200.0f;

    const float elapsed = services_.frameTime ? services_.frameTime() : 0.0f;
    resultWindow_->update(elapsed);
    statusWindow_->update(elapsed);
    if (state_ == kStateAsking) {
        replayPrompt_->update(elapsed);
    }

    Orvex::InputSystem::OxVirtualKey* keys = context_.getVirtualKey();
    if (keys == nullptr || !(keys->isPushed(5) || keys->isPushed(11))) {
        return true;
    }
    if (scrollOffset_ > 0.0f) {
        scrollOffset_ = 0.0f;
        state_ = isRecording() ? kStateShown : kStateLeaving;
        return true;
    }
    switch (state_) {
        case kStateShown:
            state_ = isRecording() ? kStateAsking : kStateLeaving;
            break;
        case kStateAsking:
            state_ = kStateLeaving;
            break;
        case kStateLeaving:
            if (getSceneController() != nullptr) {
                getSceneController()->changeScene(nextScene_ != 0 ? nextScene_ : kSceneTitle);
            }
            break;
        default:
            break;
    }
    return true;
}

bool CResult::draw() {
    context_.getRenderQueue()->add(ScriptCommand::getRenderPriority(u"BackGround"), [this] {
        Orvex::Graphics::IOrvexRenderer* renderer = context_.getRenderer();
        if (meltdown_ && background_ && renderer != nullptr && renderer->getSpriteDraw() != nullptr) {
            const CGameSetting& settings = context_.getSettings();
            const Orvex::Graphics::OxRect screen{0.0f, 0.0f, static_cast<float>(settings.screenWidth),
                                                 static_cast<float>(settings.screenHeight)};
            renderer->getSpriteDraw()->draw(background_.get(), &screen, nullptr);
        }
        resultWindow_->draw();
        statusWindow_->draw();
        if (state_ == kStateAsking) {
            replayPrompt_->draw();
        }
    });
    return true;
}

bool CResult::finalize() {
    if (viewOnly_) {
        return true;
    }
    if (const auto sound = jingle()) {
        sound->stop();
    }
    CGameDataManager* gameData = context_.getGameContext().getGameDataManager();
    CSettingDataManager* settings = context_.getSettingDataManager();
    if (gameData != nullptr) {
        const bool returned = record_.flags[kRecordReturned] != 0;
        if (record_.flags[kRecordR30Cleared] != 0 || record_.flags[kRecordR99Cleared] != 0 || returned) {
            // The new player carries the items over; the equipment indices still point into the
            // same list.
            Orvex::System::shared_vector_ptr<Item::CItem> items;
            if (gameData->getPlayer() != nullptr) {
                items = gameData->getPlayer()->getItemList();
            }
            gameData->createPlayer();
            if (gameData->getPlayer() != nullptr) {
                gameData->getPlayer()->getItemList() = items;
            }
            if (returned) {
                settings->getWorldMapSetting().bootMode = 1;
                gameData->setPlayerMoney(0);
            }
            gameData->setGlobalFlag(kNoSuspendedGameFlag, false);
        } else {
            gameData->clearPlayerBelongings();
            gameData->createPlayer();
            settings->getWorldMapSetting().bootMode = 1;
        }
        Orvex::IO::deleteFileIfExists(u"c001.bin");
        gameData->setGlobalInt(kSuspendedSceneInt, 0);
    }
    if (!services_.saveCommonData || !services_.saveCommonData()) {
        Orvex::System::errorOutput(u"c000.bin: the common save after the result was not written");
    }
    if (services_.replay != nullptr) {
        services_.replay->mergeTempChunks();
        if (saveReplay_) {
            // A replay that could not be written stays in memory rather than being dropped.
            if (isRecording() && !services_.replay->saveReplay()) {
                Orvex::System::errorOutput(u"Replay/: the replay of this dive could not be saved; it is kept");
            } else {
                services_.replay->clear();
            }
        } else {
            services_.replay->deleteMergedChunks();
        }
    }
    return true;
}

}  // namespace Fenwarrow::Scene
