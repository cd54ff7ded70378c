#include "game/scene/CTitle.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "engine/audio/IOrvexAudioDevice.h"
#include "engine/graphics/OxScreenEffectController.h"
#include "engine/io/OxPathUtility.h"
#include "engine/scene/OxSceneController.h"
#include "engine/system/OxSystemFacade.h"
#include "engine/system/OxWideFormat.h"
#include "engine/timer/OxTimer.h"
#include "game/replay/CReplayController.h"
#include "game/replay/CReplayInfo.h"
#include "game/scene/SceneNumbers.h"
#include "game/services/CScriptController.h"
#include "game/services/CSettingDataManager.h"
#include "game/services/IGameContext.h"
#include "game/services/RenderLayerNames.h"

namespace Fenwarrow::Scene {
namespace {

using Orvex::Graphics::OxFadeScreenEffect;
using Orvex::Script::CScriptValue;

// The script's first result as a code: a number truncated toward zero; anything else, or a
// value no code can be, is no code.
int32_t codeOf(const std::vector<CScriptValue>& results) {
    if (results.empty()) {
        return CTitle::kNone;
    }
    const CScriptValue& value = results.front();
    double number = 0.0;
    if (value.getType() == CScriptValue::kNumber) {
        number = value.asNumber();
    } else if (value.getType() == CScriptValue::kInteger) {
        number = value.asInteger();
    }
    if (!(number > -1.0 && number < 8.0)) {
        return CTitle::kNone;
    }
    return static_cast<int32_t>(std::trunc(number));
}

}  // namespace

CTitle::CTitle(ISceneContext& context) : context_(context) {}

CTitle::~CTitle() {
    // The effects may outlive this scene (the controller keeps them until they end): they must
    // not call back into it.
    if (fadeIn_ != nullptr) {
        fadeIn_->removeCallback(fadeInCallback_);
    }
    if (fadeOut_ != nullptr) {
        fadeOut_->removeCallback(fadeOutCallback_);
    }
    stopMovie();
    script_.reset();
}

bool CTitle::initialize() {
    Orvex::Timer::OxTimer setUpTime;
    setUpTime.restart();
    Orvex::Graphics::OxScreenEffectController* effects = context_.getScreenEffects();
    if (effects == nullptr) {
        return false;
    }
    hasCommonSave_ = Orvex::IO::fileExists(kCommonSave);
    if (hasCommonSave_ && !context_.loadCommonData()) {
        // A save that cannot be read has been set aside; the title starts as without one.
        context_.resetGameData();
        hasCommonSave_ = false;
    }

    script_ = std::make_shared<CScriptController>(context_.getGameContext());
    if (!script_->loadScript(kScriptPath, kScriptMemory) || !attachModules() || !script_->runMain()) {
        return false;
    }
    std::vector<CScriptValue> ignored;
    script_->callFunctionWithArg(ignored, "initialize", 0, CScriptValue(hasCommonSave_));

    context_.resetFrameTimer();

    fadeIn_ = std::make_shared<OxFadeScreenEffect>(OxFadeScreenEffect::kFadeIn, kFadeSeconds, 0.0f, true);
    fadeInCallback_ = fadeIn_->addCallback([this] { onFadeInFinished(); });
    effects->add(fadeIn_);

    playMovie(kMoviePath, ScriptCommand::getRenderPriority(u"Undermost"), true);
    Orvex::System::debugOutput(Orvex::System::formatWide(u"Title set up in %u ms.\n", setUpTime.getElapsed()));
    return true;
}

bool CTitle::attachModules() {
    static const struct {
        ScriptModule module;
        const char16_t* name;
    } kModules[] = {
        {ScriptModule::kGame, u"Game"},
        {ScriptModule::kGraphics, u"Graphics"},
        {ScriptModule::kMossbellLib, u"MossbellLib"},
        {ScriptModule::kAudio, u"Audio"},
        {ScriptModule::kGeneralWindow, u"GeneralWindow"},
        {ScriptModule::kInputSystem, u"InputSystem"},
    };
    for (const auto& entry : kModules) {
        if (!attachScriptModules(*script_, context_.getGameContext(), {entry.module})) {
            Orvex::System::errorOutput(std::u16string(kScriptPath) + u": the " + entry.name +
                                       u" module cannot be attached; the title does not start.");
            return false;
        }
    }
    return true;
}

bool CTitle::update() {
    if (inputBlocked_ || leaving_) {
        return true;
    }
    std::vector<CScriptValue> results;
    script_->callFunctionWithArg(results, "update", 1, CScriptValue(context_.getFrameTime()));
    dispatch(codeOf(results));
    return true;
}

void CTitle::dispatch(int32_t code) {
    Orvex::SceneController::OxSceneController* controller = getSceneController();
    switch (code) {
        case kNewGame:
            startNewGame();
            break;
        case kLoad:
            // The script learns whether the save was read; a file that cannot be read is kept.
            setResult(context_.loadCommonData() ? kResultSuccess : kResultFailure);
            break;
        case kSave:
            setResult(context_.saveCommonData() ? kResultSuccess : kResultFailure);
            break;
        case kAcknowledge:
            setResult(kResultSuccess);
            break;
        case kReplay:
            // A replay that cannot be read is not played: the title stays and says so.
            if (!startReplay()) {
                setResult(kResultFailure);
            }
            break;
        case kQuit:
            setResult(kResultSuccess);
            leave([this] { quitApplication(); });
            break;
        case kExtras:
            leave([controller] { controller->changeScene(kSceneExtra); });
            break;
        default:
            break;
    }
}

void CTitle::onFadeInFinished() {
    inputBlocked_ = false;
    Orvex::System::debugOutput(u"Title faded in.\n");
}

void CTitle::setResult(int32_t result) {
    std::vector<CScriptValue> ignored;
    script_->callFunctionWithArg(ignored, "setResult", 0, CScriptValue::fromInteger(result));
}

void CTitle::leave(std::function<void()> onFaded) {
    leaving_ = true;
    fadeOut_ = std::make_shared<OxFadeScreenEffect>(OxFadeScreenEffect::kFadeOut, kFadeSeconds, 0.0f, true);
    fadeOutCallback_ = fadeOut_->addCallback(std::move(onFaded));
    if (Orvex::Graphics::OxScreenEffectController* effects = context_.getScreenEffects()) {
        effects->add(fadeOut_);
    }
}

void CTitle::startNewGame() {
    Orvex::IO::deleteFileIfExists(kSuspendSave);
    Replay::CReplayController* replay = context_.getReplayController();
    if (replay != nullptr) {
        replay->reset();
    }
    Orvex::SceneController::OxSceneController* controller = getSceneController();
    leave([controller] { controller->changeScene(kSceneDungeon); });
    if (replay != nullptr) {
        replay->setMode(Replay::CReplayController::kModeRecording);
        if (std::shared_ptr<Replay::CReplayInfo> info = replay->getInfo()) {
            info->setDungeonScript(kFirstDungeon);
        }
    }
    setDungeonScriptPath(kFirstDungeon);
}

bool CTitle::startReplay() {
    Replay::CReplayController* replay = context_.getReplayController();
    CScriptValue name;
    script_->callForValue(name, "getReplayFileName");
    const std::u16string path = u"Replay/" + name.toWString();
    if (replay == nullptr || !replay->loadReplay(path)) {
        Orvex::System::errorOutput(path + u": the replay cannot be read; it is not played.");
        return false;
    }
    setResult(kResultSuccess);
    std::shared_ptr<Replay::CReplayInfo> info = replay->getInfo();
    context_.getGameContext().getRandomGenerator().seed(info->getSeed());
    setDungeonScriptPath(info->getDungeonScript());
    replay->setMode(Replay::CReplayController::kModePlayback);
    replay->start();
    Orvex::SceneController::OxSceneController* controller = getSceneController();
    leave([controller] { controller->changeScene(kSceneDungeon); });
    return true;
}

void CTitle::setDungeonScriptPath(const std::u16string& path) {
    CSettingDataManager* settings = context_.getSettingDataManager();
    if (settings == nullptr) {
        return;
    }
    auto& field = settings->getDungeonSetting().scriptPath;
    field.fill(u'\0');
    std::copy_n(path.begin(), std::min(path.size(), field.size() - 1), field.begin());
}

void CTitle::quitApplication() {
    drawScript_ = false;
    context_.closeMainWindow();
}

bool CTitle::draw() {
    Orvex::Graphics::OxRenderQueue* queue = context_.getRenderQueue();
    if (drawScript_) {
        queue->add(ScriptCommand::getRenderPriority(u"HUD"), [this] {
            if (drawScript_ && script_ != nullptr) {
                script_->callVoid("draw");
            }
        });
    }
    if (moviePlayer_ != nullptr) {
        queue->add(moviePriority_, [this] {
            if (moviePlayer_ != nullptr) {
                moviePlayer_->draw();
            }
        });
    }
    return true;
}

void CTitle::playMovie(const std::u16string& path, uint32_t priority, bool loop) {
    if (moviePlayer_ != nullptr) {
        stopMovie();
    }
    Orvex::IO::StreamIO::IOrvexStreamReader* reader = context_.getMovieReader();
    if (reader == nullptr || !reader->open(path)) {
        return;  // a title without its movie still works
    }
    reader->close();
    auto audio = context_.getAudioDevice();
    auto engine = audio ? audio->getEngine() : nullptr;
    moviePlayer_ = std::make_unique<Theora::TheoraPlayer>(context_.getGraphics()->getDevice(), engine.get());
    moviePlayer_->setLoop(loop);
    moviePriority_ = priority;
    if (!moviePlayer_->open(path, reader, 0, 0, 800, 600)) {
        stopMovie();
    }
}

void CTitle::stopMovie() {
    if (moviePlayer_ != nullptr) {
        moviePlayer_->stop();
        moviePlayer_->close();
        moviePlayer_.reset();
    }
    moviePriority_ = 0;
}

}  // namespace Fenwarrow::Scene
