#include "game/scene/CDungeonScene.h"

#include <ctime>

#include "engine/system/OxSystemFacade.h"
#include "engine/system/OxWideFormat.h"
#include "game/dungeon/CDungeon.h"
#include "game/dungeon/IDungeonServices.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/replay/CReplayController.h"
#include "game/replay/CReplayInfo.h"
#include "game/scene/SceneNumbers.h"
#include "game/services/CSettingDataManager.h"
#include "game/services/IGameContext.h"
#include "game/services/RenderLayerNames.h"

namespace Fenwarrow::Scene {
namespace {
constexpr uint32_t kOverlayFontHeight = 12;
constexpr uint32_t kOverlayColour = 0xFFFFFFFFu;
constexpr int32_t kOverlayTextY = 585;
constexpr int32_t kVersionX = 10;
constexpr int32_t kClockX = 750;
}  // namespace

CDungeon::~CDungeon() {
    finalize();
    releaseDeviceResources();
}

bool CDungeon::initialize() {
    Dungeon::IDungeonServices* services = context_.getDungeonServices();
    if (services == nullptr) {
        Orvex::System::errorOutput(u"Failed initialize dungeon: the game has no floor services.");
        return false;
    }
    floor_ = std::make_shared<Dungeon::CDungeon>(*services);
    // Without the factory the floor's scripts can create no item.
    floor_->setItemFactory(context_.getGameContext().getItemFactory());
    context_.setCurrentDungeon(floor_);
    if (!floor_->initialize()) {
        Orvex::System::errorOutput(u"Failed initialize dungeon.");
        return false;
    }
    context_.resetFrameTimer();
    releaseDeviceResources();
    createDeviceResources();
    return true;
}

bool CDungeon::update() {
    if (floor_ == nullptr) {
        return true;
    }
    floor_->update();
    Replay::CReplayController* replay = context_.getReplayController();
    if (replay == nullptr || replay->getMode() == Replay::CReplayController::kModeOff) {
        return true;
    }
    Dungeon::IDungeonServices* services = context_.getDungeonServices();
    CGameDataManager* gameData = services != nullptr ? services->getGameContext().getGameDataManager() : nullptr;
    if (replay->getState() == Replay::CReplayController::kStateFinished) {
        // The recorded run ends here; the result reports it as abandoned.
        replay->setMode(Replay::CReplayController::kModeOff);
        if (gameData != nullptr) {
            gameData->stopBGM();
        }
        if (CSettingDataManager* settings = context_.getSettingDataManager()) {
            settings->getResultSetting().flags[kResultGaveUp] = 1;
        }
        floor_->requestExitScene(kSceneResult);
        return true;
    }
    if (gameData != nullptr) {
        gameData->setRunTime(gameData->getRunTime() + services->getFrameTime());
    }
    return true;
}

bool CDungeon::draw() {
    if (floor_ != nullptr) {
        floor_->draw();
    }
    if (Orvex::Graphics::OxRenderQueue* queue = context_.getRenderQueue()) {
        queue->add(ScriptCommand::getRenderPriority(u"Topmost"), [this] { drawOverlay(); });
    }
    return true;
}

bool CDungeon::finalize() {
    if (floor_ != nullptr) {
        context_.setCurrentDungeon(nullptr);
        floor_->clear();
        floor_.reset();
    }
    return true;
}

bool CDungeon::onComeBack(int32_t) { return true; }

void CDungeon::releaseDeviceResources() {
    font_.release();
    sprite_.release();
}

void CDungeon::createDeviceResources() {
    Orvex::Graphics::IOrvexGraphics* graphics = context_.getGraphics();
    if (graphics == nullptr || !sprite_.create(graphics->getDevice())) {
        return;
    }
    Orvex::Graphics::OxDXFontDesc description;
    description.height = kOverlayFontHeight;
    font_.create(&sprite_, &description);
}

std::u16string CDungeon::formatClock(float seconds) {
    const auto total = static_cast<int32_t>(seconds);
    const int32_t hours = total / 3600;
    const int32_t minutes = (total - hours * 3600) / 60;
    return Orvex::System::formatWide(u"%02d:%02d:%02d", hours, minutes, total % 60);
}

std::u16string CDungeon::formatTimeStamp(uint32_t timeStamp) {
    const auto time = static_cast<std::time_t>(timeStamp);
    std::tm local{};
    localtime_r(&time, &local);
    return Orvex::System::formatWide(u"%04d/%02d/%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                                     local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
}

void CDungeon::drawOverlay() {
    Replay::CReplayController* replay = context_.getReplayController();
    // Without the device objects (creation failed, or a reset in progress) nothing is drawn.
    if (font_.getFont() == nullptr || !sprite_.begin()) {
        return;
    }
    const uint32_t mode = replay != nullptr ? replay->getMode() : Replay::CReplayController::kModeOff;
    if (mode == Replay::CReplayController::kModePlayback && replay->getInfo() != nullptr) {
        const Replay::CReplayInfo& info = *replay->getInfo();
        font_.drawFormattedText(kVersionX, kOverlayTextY, kOverlayColour, u"ver.%s %s %s", info.getVersion(),
                                formatTimeStamp(info.getTimeStamp()), info.getPlayerName());
    }
    if (mode != Replay::CReplayController::kModeOff) {
        if (const Replay::CReplayFrame* frame = replay->getCurrentFrame()) {
            font_.drawText(kClockX, kOverlayTextY, formatClock(frame->playTime), kOverlayColour);
        }
    }
    sprite_.end();
}

}  // namespace Fenwarrow::Scene
