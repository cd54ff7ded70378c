// The floor's states: the loading screen, play with its turn limit and enemy generation, floor
// event scripts, defeat, the meltdown at the turn limit, and the way out to another scene.
#include "engine/graphics/OxFadeScreenEffect.h"
#include "engine/graphics/OxRenderQueue.h"
#include "engine/graphics/OxScreenEffectController.h"
#include "engine/input/OxVirtualKey.h"
#include "engine/movie/TheoraPlayer.h"
#include "engine/system/OxSystemFacade.h"
#include "engine/random/OxRandomRange.h"
#include "game/actor/CActor.h"
#include "game/dungeon/CDungeon.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/services/CScriptController.h"
#include "game/services/CSettingDataManager.h"
#include "game/services/IGameContext.h"
#include "graphics/include/IOrvexRenderer.h"

namespace Fenwarrow::Dungeon {

namespace {

constexpr int32_t kGlobalFlagRunOver = 512;
constexpr float kFadeSeconds = 0.5f;
constexpr float kLeastLoadingSeconds = 1.0f;
constexpr const char16_t* kCautionScript = u"Script/Effect/Atom/caution.lua";
constexpr const char16_t* kMeltdownScript = u"Script/Effect/Atom/meltdown.lua";
constexpr const char16_t* kGuardFolder = u"Actor/Enemy/GURD/GURD01/";
constexpr const char16_t* kMeltdownMovie = u"Movie/meltdown.ogv";
constexpr uint32_t kMeltdownMoviePriority = 2000000;

float numberOf(const CScriptValue& value) {
    return value.getType() == CScriptValue::kNumber    ? static_cast<float>(value.asNumber())
           : value.getType() == CScriptValue::kInteger ? static_cast<float>(value.asInteger())
                                                       : 0.0f;
}

bool isTrue(const std::vector<CScriptValue>& results) {
    return !results.empty() &&
           (results.front().getType() == CScriptValue::kInteger ? results.front().asInteger() != 0
                                                                : results.front().getType() != CScriptValue::kNil);
}

}  // namespace

float CDungeon::nowSeconds() { return static_cast<float>(services_.getMilliseconds()) / 1000.0f; }

void CDungeon::stepHudAndLog(float elapsed) {
    if (hudScript_ != nullptr) {
        std::vector<CScriptValue> results;
        hudScript_->callFunctionWithArg(results, "update", 0, CScriptValue(elapsed));
    }
    logManager_.update(elapsed);
}

void CDungeon::drawFloor() {
    mapRenderer_.draw();
    if (actionManager_ != nullptr) {
        actionManager_->draw();
    }
    for (const auto& participant : turnController_.getParticipants()) {
        if (participant != nullptr) {
            participant->onTaskDraw();
        }
    }
    Orvex::Graphics::OxRenderQueue* queue = services_.getRenderQueue();
    if (queue != nullptr) {
        logManager_.draw(*queue);
    }
    if (floorState_.showMiniMap != 0) {
        miniMapRenderer_.setOffset(floorState_.miniMapOffsetX, floorState_.miniMapOffsetY);
        miniMapRenderer_.draw();
    }
    if (hudVisible_ && hudScript_ != nullptr && queue != nullptr) {
        std::shared_ptr<CScriptController> hud = hudScript_;
        queue->add(kHudPriority, [hud] { hud->callVoid("draw"); });
    }
    queueMovie();
}

void CDungeon::queueMovie() {
    if (Orvex::Graphics::OxRenderQueue* queue = services_.getRenderQueue(); queue != nullptr && movie_ != nullptr) {
        queue->add(movieDrawPriority_, [this] {
            if (movie_ != nullptr) {
                movie_->draw();
            }
        });
    }
}

void CDungeon::dropFadeCallback() {
    if (loadingFade_ != nullptr && loadingFadeCallback_ != 0) {
        loadingFade_->removeCallback(loadingFadeCallback_);
    }
    loadingFade_.reset();
    loadingFadeCallback_ = 0;
}

void CDungeon::addFade(uint32_t kind, float delay, bool toMain) {
    Orvex::Graphics::OxScreenEffectController* effects = services_.getScreenEffects();
    if (effects == nullptr) {
        if (toMain) {
            transition(State(&CDungeon::mainState));
        }
        return;
    }
    auto fade = std::make_shared<Orvex::Graphics::OxFadeScreenEffect>(kind, kFadeSeconds, delay, true);
    if (toMain) {
        dropFadeCallback();
        loadingFade_ = fade;
        loadingFadeCallback_ = fade->addCallback([this] {
            loadingFade_.reset();
            loadingFadeCallback_ = 0;
            transition(State(&CDungeon::mainState));
        });
    }
    effects->add(fade);
}

// Loading

CDungeon::State CDungeon::loadingState(const CDungeonEvent& event) {
    switch (event.id) {
        case Orvex::FSM::HSM_ENTRY:
            loadingStart_ = nowSeconds();
            loadingReady_.store(false, std::memory_order_release);
            return {};
        case Orvex::FSM::HSM_EXIT: {
            std::lock_guard<std::mutex> lock(loadingLock_);
            loadingScript_.reset();
            loadingReady_.store(false, std::memory_order_release);
        }
            addFade(Orvex::Graphics::OxFadeScreenEffect::kFadeIn, 0.0f, false);
            return {};
        case kEventDraw:
            if (Orvex::Graphics::OxRenderQueue* queue = services_.getRenderQueue()) {
                queue->add(kLoadingPriority, [this] { drawLoading(); });
            }
            return {};
        case kEventUpdate:
            updateLoading(services_.getFrameTime());
            return {};
        default:
            return topState();
    }
}

void CDungeon::drawLoading() {
    if (!titleLoaded_.load(std::memory_order_acquire)) {
        return;
    }
    std::shared_ptr<CScriptController> script;
    {
        std::lock_guard<std::mutex> lock(loadingLock_);
        Orvex::Graphics::IOrvexRenderer* renderer = services_.getRenderer();
        if (renderer != nullptr && titleTexture_ != nullptr) {
            const Orvex::Graphics::OxRect screen{0.0f, 0.0f, static_cast<float>(services_.getScreenWidth()),
                                                 static_cast<float>(services_.getScreenHeight())};
            renderer->getSpriteDraw()->draw(titleTexture_.get(), &screen, nullptr);
        }
        if (loadingReady_.load(std::memory_order_acquire)) {
            script = loadingScript_;
        }
    }
    if (script != nullptr) {
        script->callVoid("draw");
    }
}

void CDungeon::updateLoading(float elapsed) {
    if (!titleLoaded_.load(std::memory_order_acquire) || !loadingReady_.load(std::memory_order_acquire)) {
        return;
    }
    std::shared_ptr<CScriptController> script;
    {
        std::lock_guard<std::mutex> lock(loadingLock_);
        script = loadingScript_;
    }
    if (script != nullptr) {
        std::vector<CScriptValue> results;
        script->callFunctionWithArg(results, "update", 1, CScriptValue(elapsed));
        if (isTrue(results)) {
            return;
        }
    }
    if (idleEvent_.isSet() && loadingFade_ == nullptr) {
        idleEvent_.reset();
        const float shown = nowSeconds() - loadingStart_;
        addFade(Orvex::Graphics::OxFadeScreenEffect::kFadeOut, std::max(0.0f, kLeastLoadingSeconds - shown), true);
    }
}

// Play

CDungeon::State CDungeon::mainState(const CDungeonEvent& event) {
    switch (event.id) {
        case Orvex::FSM::HSM_INIT:
            if (Orvex::InputSystem::OxVirtualKey* keys = services_.getVirtualKey()) {
                keys->clearAllKeys();
            }
            if (player_ != nullptr) {
                player_->callEvent("onArrival");
            }
            return topState();
        case Orvex::FSM::HSM_EXIT:
            if (floorState_.floorType != kFloorTypeNoLimit && player_ != nullptr) {
                player_->callEvent("onChangeFloor");
            }
            return {};
        case kEventDraw:
            drawFloor();
            return {};
        case kEventUpdate:
            updateFloor(services_.getFrameTime());
            return {};
        default:
            return topState();
    }
}

void CDungeon::updateFloor(float elapsed) {
    if (turnController_.getRoundWrapped() && floorState_.floorType != kFloorTypeNoLimit) {
        CGameDataManager* gameData = services_.getGameContext().getGameDataManager();
        if (services_.getReplayMode() != 0 && gameData != nullptr) {
            gameData->setRunTurns(gameData->getRunTurns() + 1);
        }
        const uint32_t turn = turnController_.getTurnCount();
        if (turn == kCautionTurn || turn == kWarningTurn) {
            logManager_.addLogMessage(turn == kCautionTurn ? u"嫌な予感がする。"
                                                           : u"悪寒が治まらない、早く逃げた方がよさそうだ。");
            if (actionManager_ != nullptr) {
                services_.pushScriptedAction(*actionManager_, kCautionScript, player_.get());
            }
        } else if (turn == kMeltdownTurn) {
            transition(State(&CDungeon::meltdownState));
            return;
        }
        const auto count = static_cast<uint32_t>(turnController_.getParticipantCount());
        const auto interval = static_cast<uint32_t>(floorState_.enemyAutoGenerateTurnCount);
        // An interval of 0 never generates.
        if (!isMaxActor() && count < static_cast<uint32_t>(floorState_.maxAutoGenerateEnemyCount) &&
            !enemyList_.empty() && interval != 0 && gameData != nullptr) {
            if (turn % interval == 0) {
                if (!gameData->getEnemyGenerated()) {
                    const MapPoint point = getRandomRoomPoint(getRandomRoom(), true);
                    std::u16string folder = kGuardFolder;
                    if (floorState_.robber == 0) {
                        const auto last = static_cast<int32_t>(enemyList_.size()) - 1;
                        folder = enemyList_[static_cast<std::size_t>(Orvex::Random::getRange(random_, 0, last))];
                    }
                    if (actionManager_ != nullptr) {
                        services_.pushArrivalAction(*actionManager_, folder, point);
                    }
                    gameData->setEnemyGenerated(true);
                }
            } else {
                gameData->setEnemyGenerated(false);
            }
        }
    }
    if (actionManager_ != nullptr) {
        turnController_.update(*actionManager_);
    }
    miniMapRenderer_.resetFlags();
    mapRenderer_.update();
    if (actionManager_ != nullptr) {
        actionManager_->update();
    }
    // Below one point of life the player is dead (the turn order stops there too), though
    // recovery may have left a fraction above zero.
    if (actionManager_ != nullptr && !actionManager_->isBusy() && player_ != nullptr && !player_->isAlive()) {
        transition(State(&CDungeon::defeatState));
        return;
    }
    stepHudAndLog(elapsed);
}

// Floor event scripts

CDungeon::State CDungeon::eventState(const CDungeonEvent& event) {
    switch (event.id) {
        case Orvex::FSM::HSM_EXIT:
            resetEventScript();
            return {};
        case kEventDraw:
            drawFloor();
            if (eventScriptRunning_.load(std::memory_order_acquire)) {
                eventScript_->callVoid("draw");
            }
            return {};
        case kEventUpdate: {
            const float elapsed = services_.getFrameTime();
            mapRenderer_.update();
            miniMapRenderer_.resetFlags();
            stepHudAndLog(elapsed);
            if (!eventScriptRunning_.load(std::memory_order_acquire)) {
                return {};
            }
            std::vector<CScriptValue> results;
            eventScript_->callFunctionWithArg(results, "update", 1, CScriptValue(elapsed));
            CScriptValue jump;
            eventScript_->callForValue(jump, "getJumpScene");
            const auto scene = static_cast<int32_t>(numberOf(jump));
            if (scene != 0) {
                requestExitScene(scene);
            } else if (!isTrue(results)) {
                transition(State(&CDungeon::mainState));
            }
            return {};
        }
        default:
            return topState();
    }
}

// Defeat

CDungeon::State CDungeon::defeatState(const CDungeonEvent& event) {
    CGameDataManager* gameData = services_.getGameContext().getGameDataManager();
    switch (event.id) {
        case Orvex::FSM::HSM_ENTRY:
            if (gameData != nullptr) {
                gameData->setGlobalFlag(kGlobalFlagRunOver, true);
            }
            defeatTimer_ = 0.0f;
            logManager_.addLogMessage((player_ != nullptr ? player_->getName() : std::u16string()) + u"はたおれた。");
            return {};
        case Orvex::FSM::HSM_EXIT:
            if (gameData != nullptr) {
                gameData->stopBGM();
            }
            return {};
        case kEventDraw:
            drawFloor();
            return {};
        case kEventUpdate: {
            const float elapsed = services_.getFrameTime();
            defeatTimer_ += elapsed;
            if (static_cast<double>(defeatTimer_) >= static_cast<double>(kDefeatSeconds)) {
                requestExitScene(kSceneResult);
                return {};
            }
            mapRenderer_.update();
            stepHudAndLog(elapsed);
            return {};
        }
        default:
            return topState();
    }
}

// The turn limit

CDungeon::State CDungeon::meltdownState(const CDungeonEvent& event) {
    CGameDataManager* gameData = services_.getGameContext().getGameDataManager();
    CSettingDataManager* settings = services_.getSettingDataManager();
    const bool resultShown = settings != nullptr && settings->getResultSetting().flags[kResultMeltdown] != 0;
    switch (event.id) {
        case Orvex::FSM::HSM_ENTRY:
            if (gameData != nullptr) {
                gameData->setGlobalFlag(kGlobalFlagRunOver, true);
                gameData->stopBGM();
            }
            meltdownMovieMissing_ = false;
            meltdownAction_ = services_.createScriptedEffect(kMeltdownScript, player_.get());
            if (meltdownAction_ != nullptr && !meltdownAction_->prepare()) {
                meltdownAction_.reset();
            }
            if (isMoviePlaying()) {
                releaseMovie();
            }
            return {};
        case Orvex::FSM::HSM_EXIT:
            releaseMovie();
            return {};
        case kEventDraw:
            if (resultShown) {
                queueMovie();
            } else {
                if (meltdownAction_ != nullptr) {
                    meltdownAction_->draw();
                }
                drawFloor();
            }
            return {};
        case kEventUpdate:
            if (!resultShown) {
                if (meltdownAction_ != nullptr) {
                    meltdownAction_->update();
                }
                mapRenderer_.update();
                stepHudAndLog(services_.getFrameTime());
                return {};
            }
            if (movie_ == nullptr && !meltdownMovieMissing_) {
                openMovie(kMeltdownMovie, kMeltdownMoviePriority, false);
                // Without the movie the run still ends: the result follows at once.
                meltdownMovieMissing_ = movie_ == nullptr;
                if (meltdownMovieMissing_) {
                    Orvex::System::debugOutput(std::u16string(u"Meltdown movie not opened: ") + kMeltdownMovie +
                                               u"; the result follows\n");
                }
            }
            if (!isMoviePlaying()) {
                if (meltdownAction_ != nullptr) {
                    meltdownAction_->end();
                    meltdownAction_.reset();
                }
                services_.changeScene(kSceneResult);
            }
            return {};
        default:
            return topState();
    }
}

// Leaving

CDungeon::State CDungeon::exitState(const CDungeonEvent& event) {
    switch (event.id) {
        case Orvex::FSM::HSM_ENTRY:
            services_.changeScene(requestedScene_);
            return {};
        case kEventDraw:
            return {};
        case kEventUpdate:
            mapRenderer_.update();
            stepHudAndLog(services_.getFrameTime());
            return {};
        default:
            return topState();
    }
}

}  // namespace Fenwarrow::Dungeon
