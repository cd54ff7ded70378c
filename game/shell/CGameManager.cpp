#include "game/shell/CGameManager.h"

#include "engine/audio/OxAudioSystem.h"
#include "engine/font/OxBitmapFont.h"
#include "engine/font/OxBitmapFontLoader.h"
#include "engine/font/OxFontRenderer.h"
#include "engine/input/OxDI8GamePadDevice.h"
#include "engine/input/OxGamePadDevice.h"
#include "engine/input/OxInputSystem.h"
#include "engine/input/OxKeyboardDevice.h"
#include "engine/input/OxXAxisMinusBind.h"
#include "engine/input/OxXAxisPlusBind.h"
#include "engine/input/OxYAxisMinusBind.h"
#include "engine/input/OxYAxisPlusBind.h"
#include "engine/system/OxEngineState.h"
#include "engine/system/OxStringConvert.h"
#include "engine/system/OxSystemFacade.h"
#include "engine/system/OxWideFormat.h"
#include "engine/timer/OxTimer.h"
#include "game/action/CItemAction.h"
#include "game/actor/CActor.h"
#include "game/condition/CConditionController.h"
#include "game/item/CItemFactory.h"
#include "game/layer/CSceneLayerManager.h"
#include "game/replay/CReplayController.h"
#include "game/save/CGameSaveController.h"
#include "game/adventure/CAdventureLayer.h"
#include "game/scene/CSceneFactory.h"
#include "game/scene/SceneServices.h"
#include "game/scene/SceneNumbers.h"
#include "game/dungeon/CDungeon.h"
#include "game/scriptcommand/CActorCommand.h"
#include "game/scriptcommand/CDamageCalculateCommand.h"
#include "game/scriptcommand/CDungeonCommand.h"
#include "game/scriptcommand/CGameCommand.h"
#include "game/scriptcommand/CItemCommand.h"
#include "game/scriptcommand/CMapCommand.h"
#include "game/shell/CDungeonServices.h"
#include "game/scriptcommand/CAudioCommand.h"
#include "game/scriptcommand/CGraphicsCommand.h"
#include "game/scriptcommand/CInputSystemCommand.h"
#include "game/scriptcommand/CMossbellLibCommand.h"
#include "game/scriptcommand/CNonPlayerCommand.h"
#include "game/scriptcommand/CSceneLayerCommand.h"
#include "game/scriptcommand/CGeneralWindowCommand.h"
#include "game/control/CGeneralWindowLayer.h"
#include "game/services/RenderLayerNames.h"
#include "game/services/CCommonDataManager.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/shell/CMainApp.h"
#include "game/services/CSEManager.h"
#include "game/services/CSettingDataManager.h"

namespace Fenwarrow {
namespace {

using Orvex::Graphics::IOrvexGraphics;
using Orvex::System::debugOutput;

constexpr uint32_t kFramesPerSecond = 60;
constexpr uint32_t kKeyCount = 12;
constexpr uint32_t kRepeatInterval = 8;
constexpr uint32_t kKeyboardKind = 1;
constexpr uint32_t kMouseKind = 2;
constexpr uint32_t kGamePadKind = 3;
constexpr uint32_t kAxisButtonCount = 4;
constexpr uint32_t kClearTargetAndDepth = 5;

// Archives are opened with the archive format's own key byte and names folded to lower case.
Orvex::FileArchiver::OxArchiveOptions archiveOptions() {
    Orvex::FileArchiver::OxArchiveOptions options{};
    options.lowerCaseNames = 1;
    return options;
}

const CGameSetting& settings() { return CMainApp::getInstance()->getSettings(); }

}  // namespace

CGameManager::CGameManager() : dungeonServices_(std::make_unique<CDungeonServices>(*this)) {
    frameTimer_.setFrameRate(kFramesPerSecond);
}

CGameManager::~CGameManager() { releaseServices(); }

void CGameManager::releaseServices() {
    // Users before what they use: the replay reads the game data, the stored items came from the
    // item factory, the sound effects and common data hold audio sources and textures, and every
    // graphics object goes before the renderer and the graphics object that made it.
    // The floor first: it removes the callback it gave its fade, before the effects go.
    currentDungeon_.reset();
    replay_.reset();
    gameData_.reset();
    itemFactory_.reset();
    layerManager_.reset();
    soundEffects_.reset();
    settingData_.reset();
    commonData_.reset();
    virtualKeys_.clear();
    font_.reset();
    fontLoader_.reset();
    screenEffects_.reset();
    renderQueue_.reset();
    if (renderer_ != nullptr) {
        if (renderer_->shutdown() < 0) {
            debugOutput(u"Renderer shutdown failed.\n");
        }
        renderer_.reset();
    }
    if (graphics_ != nullptr) {
        graphics_->terminate();
        graphics_.reset();
    }
}

bool CGameManager::openArchives() {
    static const std::vector<std::u16string> kArchives = {u"d000.bin", u"d100.bin", u"d200.bin", u"d300.bin",
                                                          u"d400.bin", u"d500.bin", u"d900.bin"};
    for (auto& reader : archiveReaders_) {
        reader = std::make_shared<Orvex::FileArchiver::OxPackedStreamReader>();
    }
    for (auto& reader : archiveReaders_) {
        if (static_cast<int32_t>(reader->openArchives(kArchives, archiveOptions())) < 0) {
            Orvex::System::errorOutput(reader->getLastError() + u"\n");
            Orvex::System::showMessageBox(u"データファイルを読み込めませんでした。", u"Error");
            return false;
        }
    }
    return true;
}

bool CGameManager::createGraphics() {
    graphics_ = Orvex::Graphics::OxRefPtr<IOrvexGraphics>::adopt(OXCreateGraphics(Orvex::Graphics::kOxGraphicsVersion));
    if (graphics_ == nullptr) {
        return false;
    }
    Orvex::Graphics::OxGraphicsParameters parameters;
    parameters.fullScreen = settings().fullScreen ? 1 : 0;
    parameters.secondFlag = 0;
    parameters.width = settings().screenWidth;
    parameters.height = settings().screenHeight;
    parameters.reserved0 = 0;
    parameters.reserved1 = 1;
    parameters.reserved2 = 1;
    CMainApp* app = CMainApp::getInstance();
    if (graphics_->initialize(app->getHandle(), &parameters) < 0) {
        return false;
    }
    // The library's device knows nothing of the program's windows.
    app->presentFramesOf(*graphics_->getDevice());
    Orvex::Graphics::IOrvexRenderer* renderer = nullptr;
    if (graphics_->createRenderer(&renderer) < 0) {
        return false;
    }
    renderer_ = Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexRenderer>::adopt(renderer);
    return true;
}

bool CGameManager::initialize() {
    if (!openArchives() || !createGraphics()) {
        return false;
    }
    renderQueue_ = std::make_shared<Orvex::Graphics::OxRenderQueue>();
    screenEffects_ = std::make_shared<Orvex::Graphics::OxScreenEffectController>();

    fontLoader_ = std::make_shared<Orvex::FontLib::OxBitmapFontLoader>(renderer_.get(), archiveReaders_[0]);
    fontLoader_->setRootDirectory(u"Font");
    font_ = std::make_shared<Orvex::FontLib::OxBitmapFont>(fontLoader_);
    if (static_cast<int32_t>(font_->load(settings().highFont ? u"font_01" : u"font_00")) < 0) {
        Orvex::System::errorOutput(Orvex::System::widen(fontLoader_->getLastError()) + u"\n");
        return false;
    }
    auto* audio = Orvex::AudioSystem::OxAudioSystem::instance();
    if (audio->initialize(settings().masterVolume) < 0) {
        return false;
    }
    random_ = std::make_shared<Orvex::Random::OxMT19937RandomGenerator>();
    random_->seed(Orvex::Timer::OxTimer().getSystemTime());
    sceneController_.addListener(this);

    commonData_ = std::make_shared<CCommonDataManager>();
    if (!commonData_->initialize(*archiveReaders_[0], renderer_->getTextureManager(), *audio->getDevice())) {
        return false;
    }
    settingData_ = std::make_shared<CSettingDataManager>();
    soundEffects_ = std::make_shared<CSEManager>();
    layerManager_ = std::make_shared<SceneLayer::CSceneLayerManager>();
    itemFactory_ = std::make_shared<Item::CItemFactory>(*this);
    if (!itemFactory_->initialize()) {
        return false;
    }
    gameData_ = std::make_shared<CGameDataManager>(*this);
    replay_ = std::make_shared<Replay::CReplayController>(*this);
    if (!setupInput()) {
        return false;
    }

    // When the game thread ends, the window thread ends too.
    gameThread_.addCallback([] {
        if (CMainApp* app = CMainApp::getInstance()) {
            app->requestStop();
        }
    });
    gameThread_.setFunction([this] { gameThreadMain(); });
    gameThread_.start();
    const Orvex::Thread::OxThreadHandle handle = gameThread_.getThreadData();
    debugOutput(Orvex::System::formatWide(u"GameThread h=%d\n", handle ? handle->value() : 0));
    return true;
}

bool CGameManager::setupInput() {
    using namespace Orvex::InputSystem;
    OxInputSystem* input = OxInputSystem::getInstance();
    if (input == nullptr) {
        return false;
    }
    std::shared_ptr<OxKeyboardDevice> keyboard;
    if (input->createDevice(kKeyboardKind, 0)) {
        keyboard = input->getKeyboardDevice();
    }
    // The mouse is made but never bound.
    if (input->createDevice(kMouseKind, 0)) {
        input->getMouseDevice();
    }
    if (!input->createDevice(kGamePadKind, 0)) {
        return false;
    }
    std::shared_ptr<OxGamePadDevice> pad = input->getGamePadDevice(0);
    if (!pad) {
        return false;
    }
    if (auto* directPad = dynamic_cast<OxDI8GamePadDevice*>(pad.get())) {
        // The stick's four directions act as four more buttons after the real ones.
        directPad->addVirtualButtons(kAxisButtonCount);
        const uint32_t n = OxDI8GamePadDevice::getButtonCount();
        directPad->addKeyBind(std::make_shared<OxYAxisMinusBind>(n, 0.0f));
        directPad->addKeyBind(std::make_shared<OxXAxisPlusBind>(n + 1, 0.0f));
        directPad->addKeyBind(std::make_shared<OxYAxisPlusBind>(n + 2, 0.0f));
        directPad->addKeyBind(std::make_shared<OxXAxisMinusBind>(n + 3, 0.0f));
    }

    virtualKeys_.push_back(std::make_shared<OxVirtualKey>());
    OxVirtualKey* keys = getVirtualKey();
    keys->setRepeatInterval(kRepeatInterval);
    keys->addDevice(keyboard.get());
    keys->addDevice(pad.get());
    for (uint32_t key = 0; key < kKeyCount; ++key) {
        keys->bind(key, 0, settings().keyCodes[key]);
        keys->bind(key, 1, settings().padCodes[key]);
    }
    return true;
}

void CGameManager::terminate() {
    debugOutput(u"ゲームスレッド終了.\n");
    gameThread_.stop();
    debugOutput(u"シーンリセット.\n");
    sceneController_.clear();
    debugOutput(u"全サウンドの停止.\n");
    if (auto device = Orvex::AudioSystem::OxAudioSystem::instance()->getDevice()) {
        device->stopAll();
    }
    debugOutput(u"m_pRenderer->shutdown().\n");
    releaseServices();
    debugOutput(u"OxAudioSystem::terminate().\n");
    Orvex::AudioSystem::OxAudioSystem::instance()->terminate();
    debugOutput(u"ms_pInstance.release().\n");
    release();
    debugOutput(u"OK.\n");
}

void CGameManager::onScenePushed(Orvex::SceneController::OxSceneBase* scene) {
    clearColour_ = 0xFF000000u;
    Orvex::SceneController::OxSceneController* controller = scene != nullptr ? scene->getSceneController() : nullptr;
    const int32_t id = controller != nullptr ? controller->getCurrentSceneId() : -1;
    if (id == Scene::kSceneMovie) {
        return;
    }
    if (id != Scene::kSceneAdventure) {
        settingData_->resetResultSetting();
    }
    settingData_->resetSceneSettings();
}

std::shared_ptr<IScriptCommand> CGameManager::createScriptModule(ScriptModule module) {
    switch (module) {
        case ScriptModule::kActor:
            return std::make_shared<ScriptCommand::CActorCommand>(*this, &dungeonServices_->getActionContext());
        case ScriptModule::kAudio:
            return std::make_shared<ScriptCommand::CAudioCommand>(getAudioDevice(), *archiveReaders_[0],
                                                                  *archiveReaders_[1], soundEffects_.get(), this);
        case ScriptModule::kGame:
            return std::make_shared<ScriptCommand::CGameCommand>(*this);
        case ScriptModule::kItem:
            return std::make_shared<ScriptCommand::CItemCommand>(*this);
        case ScriptModule::kDamageCalculate:
            return std::make_shared<ScriptCommand::CDamageCalculateCommand>(*this);
        case ScriptModule::kNonPlayer:
            return std::make_shared<ScriptCommand::CNonPlayerCommand>(this);
        case ScriptModule::kSceneLayer:
            return std::make_shared<ScriptCommand::CSceneLayerCommand>(ScriptCommand::CSceneLayerCommand::Services{
                [this] { return layerManager_.get(); },
                [this](const std::u16string& story) { return makeAdventureLayer(story); },
                [this](const std::u16string& script) -> std::shared_ptr<SceneLayer::CSceneLayer> {
                    return std::make_shared<SceneLayer::CGeneralWindowLayer>(dungeonServices_->getActionContext(),
                                                                             script);
                }});
        case ScriptModule::kGeneralWindow:
            return createGeneralWindowModule();
        case ScriptModule::kGraphics:
            return std::make_shared<ScriptCommand::CGraphicsCommand>(renderer_.get(), *archiveReaders_[0],
                                                                     renderQueue_.get(), this);
        case ScriptModule::kInputSystem:
            return std::make_shared<ScriptCommand::CInputSystemCommand>([this] { return getVirtualKey(); });
        case ScriptModule::kMossbellLib:
            return std::make_shared<ScriptCommand::CMossbellLibCommand>(renderer_.get(), *archiveReaders_[0]);
        case ScriptModule::kMap:
            return std::make_shared<ScriptCommand::CMapCommand>(
                ScriptCommand::CMapCommand::Services{[this] { return getCurrentDungeon(); }, archiveReaders_[0].get(),
                                                     renderer_ != nullptr ? renderer_->getTextureManager() : nullptr});
        case ScriptModule::kDungeon:
            return std::make_shared<ScriptCommand::CDungeonCommand>([this] { return getCurrentDungeon(); });
        default:
            // The Event module this program does not have yet.
            return nullptr;
    }
}

std::shared_ptr<Orvex::AudioSystem::IOrvexAudioDevice> CGameManager::getAudioDevice() {
    return Orvex::AudioSystem::OxAudioSystem::instance()->getDevice();
}

const CGameSetting& CGameManager::getSettings() { return settings(); }

Orvex::Graphics::IOrvexTexture* CGameManager::getCommonTexture(int32_t index) {
    return commonData_ ? commonData_->getTexture(index) : nullptr;
}

std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource> CGameManager::getSystemSE(int32_t index) {
    return commonData_ ? commonData_->getSystemSE(index) : nullptr;
}

std::u16string CGameManager::getPlayerName() { return settings().getPlayerName(); }

std::shared_ptr<IScriptCommand> CGameManager::createGeneralWindowModule() {
    ScriptCommand::CGeneralWindowCommand::Services services;
    // The manager outlives every module; the pointer owns nothing.
    services.windowContext = std::shared_ptr<IGeneralWindowContext>(this, [](IGeneralWindowContext*) {});
    services.renderer = renderer_.get();
    services.gameFont = [this]() -> std::shared_ptr<Orvex::FontLib::OxFont> { return font_; };
    services.loadFont = [this](const std::u16string& name) -> std::shared_ptr<Orvex::FontLib::OxFont> {
        auto font = std::make_shared<Orvex::FontLib::OxBitmapFont>(fontLoader_);
        if (static_cast<int32_t>(font->load(name)) < 0) {
            Orvex::System::errorOutput(u"Font/" + name + u": the window's font cannot be loaded");
        }
        return font;
    };
    return std::make_shared<ScriptCommand::CGeneralWindowCommand>(std::move(services));
}

Dungeon::IDungeonServices* CGameManager::getDungeonServices() { return dungeonServices_.get(); }

void CGameManager::runItemChangeFloorScript(Item::CItem& item) {
    Action::CItemAction::runChangeFloorScript(dungeonServices_->getActionContext(), item);
}

float CGameManager::getPlayTime() { return gameData_ ? gameData_->getRunTime() : 0.0f; }

std::unique_ptr<Actor::IActorConditions> CGameManager::createConditionController(Actor::CActor& actor) {
    return std::make_unique<Actor::Condition::CConditionController>(actor);
}

bool CGameManager::playerHasCondition(int32_t type) {
    const Actor::CActor* player = currentDungeon_ ? currentDungeon_->getPlayer().get() : nullptr;
    return player != nullptr && player->hasCondition(type);
}

Item::CUnidentifiedItemInfo* CGameManager::findUnidentifiedItemInfo(uint32_t itemId) {
    return gameData_ ? gameData_->findUnidentifiedItemInfo(itemId) : nullptr;
}

Orvex::InputSystem::OxVirtualKey* CGameManager::getVirtualKey() {
    if (replay_ && replay_->getMode() == Replay::CReplayController::kModePlayback &&
        replay_->getState() == Replay::CReplayController::kStateRunning) {
        return replay_->getVirtualKey().get();
    }
    return virtualKeys_.at(0).get();
}

bool CGameManager::loadCommonData() {
    CGameSaveController saves(*this, *settingData_, sceneController_.getCurrentSceneId());
    return saves.loadCommonData();
}

bool CGameManager::saveCommonData() {
    CGameSaveController saves(*this, *settingData_, sceneController_.getCurrentSceneId());
    return saves.saveCommonData();
}

void CGameManager::resetGameData() {
    if (gameData_) {
        gameData_->reset();
    }
}

void CGameManager::closeMainWindow() {
    if (CMainApp* app = CMainApp::getInstance()) {
        app->postClose();
    }
}

std::shared_ptr<SceneLayer::CSceneLayer> CGameManager::makeAdventureLayer(const std::u16string& story,
                                                                          uintptr_t context1, uintptr_t context2) {
    SceneLayer::CAdventureLayer::Services services;
    services.game = this;
    services.renderQueue = renderQueue_.get();
    services.frameTime = [this] { return frameTime_; };
    services.virtualKey = [this] { return getVirtualKey(); };
    services.stepReplay = [this] {
        if (replay_ != nullptr) {
            replay_->update();
        }
    };
    return std::make_shared<SceneLayer::CAdventureLayer>(std::move(services), story, context1, context2);
}

std::shared_ptr<Orvex::FontLib::OxFontRenderer> CGameManager::createFontRenderer() {
    return std::make_shared<Orvex::FontLib::OxFontRenderer>(renderer_.get(), font_);
}

void CGameManager::setFrameRate(uint32_t framesPerSecond) {
    frameTimer_.setFrameRate(framesPerSecond);
    frameTimer_.reset();
}

void CGameManager::gameThreadMain() {
    Orvex::InputSystem::OxInputSystem::getInstance();
    auto factory = std::make_shared<Scene::CSceneFactory>(*this);
    factory->setSceneServices([this] {
        Scene::SceneServices services;
        services.replay = replay_.get();
        services.screenEffects = screenEffects_.get();
        // The manager outlives every scene.
        services.windows = std::shared_ptr<IGeneralWindowContext>(this, [](IGeneralWindowContext*) {});
        services.makeFontRenderer = [this] { return createFontRenderer(); };
        services.fontLoader = fontLoader_;
        services.frameTime = [this] { return frameTime_; };
        services.setClearColour = [this](uint32_t colour) { setClearColour(colour); };
        services.layerManager = [this] { return layerManager_.get(); };
        services.makeAdventureLayer = [this](const std::u16string& story) { return makeAdventureLayer(story); };
        services.saveCommonData = [this] { return saveCommonData(); };
        return services;
    });
    sceneController_.setFactory(factory);
    sceneController_.requestId = Scene::kSceneStartUp;
    sceneController_.requestKind = Scene::kRequestChange;
    frameTimer_.reset();
    const uint32_t frameSkip = settings().frameSkip;
    int32_t skipCounter = 0;
    while (gameThread_.keepRunning()) {
        if (!runFrame(frameSkip, skipCounter)) {
            break;
        }
    }
    debugOutput(Orvex::System::formatWide(u"Frames: %llu paced, %llu late.\n",
                                          static_cast<unsigned long long>(framesPaced_),
                                          static_cast<unsigned long long>(framesLate_)));
    sceneController_.clear();
}

bool CGameManager::runFrame(uint32_t frameSkip, int32_t& skipCounter) {
    Orvex::Window::OxWindowBase* window = CMainApp::getInstance();
    const int32_t deviceState = renderer_->testDevice();
    if (deviceState == Orvex::Graphics::kOxErrDeviceLost) {
        // Nothing is updated or drawn until the window thread has the device back.
        frameTimer_.reset();
        window->setBlockingLoop(false);
        return true;
    }
    if (deviceState == Orvex::Graphics::kOxErrDeviceNotReset) {
        window->setBlockingLoop(false);
    } else if (deviceState == Orvex::Graphics::kOxOk) {
        window->setBlockingLoop(true);
    }

    if (!runUpdateSteps()) {
        // A refused step (a scene's update said false, a request could not be carried out) ends
        // only this frame's updates: the scene on top runs again next frame. With no scene left
        // nothing could ever post a request again, so the game ends instead of idling for ever.
        debugOutput(u"The scene controller refused its step.\n");
        if (sceneController_.isEmpty()) {
            Orvex::System::errorOutput(Orvex::System::formatWide(
                u"Scene %d: the scene could not be started and no scene is left to run; the game ends.",
                sceneController_.requestId));
            Orvex::System::recordExitFailure();
            return false;
        }
    }

    frameTimer_.wait();
    countPacedFrame();
    renderQueue_->clear();
    if (static_cast<uint32_t>(++skipCounter) > frameSkip) {
        skipCounter = 0;
    }
    if (frameTimer_.isLate() || skipCounter != 0) {
        return true;
    }
    renderQueue_->add(Fenwarrow::ScriptCommand::getRenderPriority(u"ScreenEffect"),
                      [this] { screenEffects_->draw(renderer_.get()); });
    layerManager_->draw();
    if (!sceneController_.draw()) {
        return false;
    }
    render();
    return true;
}

void CGameManager::countPacedFrame() {
    ++framesPaced_;
    if (frameTimer_.isLate()) {
        ++framesLate_;
        if (lateSince_ == 0) {
            lateSince_ = framesPaced_;
        }
    } else if (lateSince_ != 0) {
        // Each stretch of late frames is named, so a slow scene or loading screen can be told
        // from a frame that fell behind on its own.
        debugOutput(Orvex::System::formatWide(u"Frames %llu-%llu late.\n", static_cast<unsigned long long>(lateSince_),
                                              static_cast<unsigned long long>(framesPaced_ - 1)));
        lateSince_ = 0;
    }
}

bool CGameManager::runUpdateSteps() {
    auto* input = Orvex::InputSystem::OxInputSystem::getInstance();
    const uint32_t steps = replay_->getSpeedStep();
    // While a replay records or plays, every pass advances the game by the same fixed step: a
    // timed action then takes as many passes, and so reads as many input steps, in the run as in
    // its playback, whatever the machine's load or the playback speed.
    const bool replaying = replay_->getMode() != Replay::CReplayController::kModeOff;
    for (uint32_t i = 0; i < steps; ++i) {
        input->updateDevices();
        frameTime_ = steps == 1 && !replaying ? static_cast<float>(frameTimer_.getLastFrameDuration()) / 1000.0f
                                              : 1.0f / static_cast<float>(frameTimer_.getFrameRate());
        for (size_t k = 0; k < virtualKeys_.size(); ++k) {
            virtualKeys_.at(k)->update();
        }
        soundEffects_->purge();
        screenEffects_->update(renderer_.get(), frameTime_);
        layerManager_->update();
        if (!sceneController_.update()) {
            return false;
        }
        replayTrace_.afterUpdatePass(*replay_, gameData_.get(), currentDungeon_.get());
        if (!gameThread_.isRunning()) {
            break;
        }
    }
    return true;
}

void CGameManager::render() {
    renderer_->clear(kClearTargetAndDepth, 0xFF000000u | clearColour_, 1.0f, 0);
    if (renderer_->beginScene() < 0) {
        return;
    }
    Orvex::Graphics::IOrvexSpriteDraw* sprite = renderer_->getSpriteDraw();
    sprite->begin();
    renderQueue_->sort();
    renderQueue_->draw();
    sprite->end();
    if (renderer_->endScene() < 0) {
        return;
    }
    renderer_->present();
}

}  // namespace Fenwarrow
