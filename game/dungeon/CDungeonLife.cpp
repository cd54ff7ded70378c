// The floor's life: the visit's start and end, the frame, the worker that sets floors up, and
// the set-up steps themselves.
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "engine/graphics/OxFadeScreenEffect.h"
#include "engine/graphics/OxScreenEffectController.h"
#include "engine/io/OxPathUtility.h"
#include "engine/movie/TheoraPlayer.h"
#include "engine/random/OxRandomRange.h"
#include "engine/system/OxSystemFacade.h"
#include "engine/thread/OxThread.h"
#include "game/actor/CActor.h"
#include "game/actor/CPlayer.h"
#include "game/actor/IPlayerControl.h"
#include "game/dungeon/CDungeon.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/item/CItem.h"
#include "game/layer/CSceneLayer.h"
#include "game/layer/CSceneLayerManager.h"
#include "game/services/CScriptController.h"
#include "game/services/CSettingDataManager.h"
#include "game/services/IGameContext.h"
#include "graphics/include/IOrvexGraphics.h"
#include "graphics/include/IOrvexRenderer.h"

namespace Fenwarrow::Dungeon {

namespace {

constexpr uint32_t kSetupBlock = 0x20000;
constexpr uint32_t kFloorBlock = 0x100000;
constexpr uint32_t kLoadingBlock = 0x4000;
constexpr const char16_t* kLoadingScript = u"Script/Dungeon/Loading.lua";
constexpr const char16_t* kHudScript = u"Script/HUD/HERO/PlayerGauge.lua";
constexpr int32_t kSystemSoundPausingMusic = 10;
constexpr int32_t kSouth = 4;
constexpr uint32_t kBackMoviePriority = 10000000;
constexpr int32_t kMovieWidth = 800;
constexpr int32_t kMovieHeight = 600;

// A script number as a 32-bit value: truncated, NaN as 0, and cut to the range.
int32_t integerOf(const CScriptValue& value) {
    if (value.getType() == CScriptValue::kInteger) {
        return value.asInteger();
    }
    if (value.getType() != CScriptValue::kNumber || std::isnan(value.asNumber())) {
        return 0;
    }
    return static_cast<int32_t>(std::clamp(value.asNumber(), double{std::numeric_limits<int32_t>::min()},
                                           double{std::numeric_limits<int32_t>::max()}));
}

std::u16string textOf(const CScriptValue& value) {
    return value.getType() == CScriptValue::kString ? value.toWString() : std::u16string();
}

CScriptValue callFor(CScriptController& script, const char* name) {
    CScriptValue value;
    script.callForValue(value, name);
    return value;
}

}  // namespace

CDungeon::CDungeon(IDungeonServices& services)
    : HsmBase(State(&CDungeon::loadingState)),
      services_(services),
      random_(services.getGameContext().getRandomGenerator()),
      logManager_(services.getWindowContext()) {
    floorState_.reset();
    fontRenderer_ = services_.createFontRenderer();
    setScreenSize(services_.getScreenWidth(), services_.getScreenHeight());
    clear();
}

CDungeon::~CDungeon() { clear(); }

void CDungeon::setPlayer(const std::shared_ptr<Actor::CActor>& player) {
    player_ = player;
    if (player_ == nullptr) {
        return;
    }
    if (playerLayer_ == nullptr) {
        playerLayer_ = services_.createPlayerLayer(*this, *player_);
    }
    player_->setAnimationSpeed(1.0f);
    if (auto* hero = dynamic_cast<Actor::CPlayer*>(player_.get())) {
        hero->setPlayerLayer(dynamic_cast<Actor::IPlayerControl*>(playerLayer_.get()));
    }
    // The equipment sprites are dressed again by the equipped items' attach scripts.
    CGameDataManager* gameData = services_.getGameContext().getGameDataManager();
    if (gameData == nullptr) {
        return;
    }
    const std::shared_ptr<Item::CItem> equipped[] = {
        gameData->getEquippedWeaponItem(), gameData->getEquippedShieldItem(), gameData->getEquippedAmuletItem()};
    const Actor::CActor::ExtraSprite sprites[] = {Actor::CActor::kWeaponSprite, Actor::CActor::kShieldSprite};
    for (std::size_t slot = 0; slot < std::size(equipped); ++slot) {
        if (slot < std::size(sprites) && player_->getExtraSprite(sprites[slot]) != nullptr) {
            player_->getExtraSprite(sprites[slot])->clear();
        }
        if (equipped[slot] != nullptr) {
            player_->attachItem(equipped[slot].get(), true);
        }
    }
}

bool CDungeon::initialize() {
    clear();
    if (Orvex::Graphics::IOrvexRenderer* renderer = services_.getRenderer()) {
        if (Orvex::Graphics::IOrvexTextureManager* textures = renderer->getTextureManager()) {
            textures->releaseUnused();
        }
    }
    if (const auto audio = services_.getGameContext().getAudioDevice()) {
        audio->releaseUnusedWaves();
    }
    mapRenderer_.create();
    actionManager_ = services_.createActionManager();
    if (actionManager_ == nullptr) {
        Orvex::System::errorOutput(u"dungeon: the floor has no action queue");
        return false;
    }
    turnController_.reset();
    if (!logManager_.createWindow(fontRenderer_)) {
        Orvex::System::errorOutput(u"dungeon: the log window cannot be made");
        return false;
    }

    worker_ = std::make_shared<Orvex::Thread::OxThread>();
    worker_->setFunction([this] { runTasks(); });
    worker_->suspend(0);
    if (worker_->start() != 0) {
        Orvex::System::errorOutput(u"dungeon: the floor worker does not start");
        worker_.reset();
        return false;
    }
    start();

    CSettingDataManager* settings = services_.getSettingDataManager();
    if (settings == nullptr) {
        return false;
    }
    const CDungeonSetting& setting = settings->getDungeonSetting();
    const std::u16string path(setting.scriptPath.data(),
                              std::find(setting.scriptPath.begin(), setting.scriptPath.end(), u'\0'));
    if (setting.resume) {
        postTask([this] { resumeFloor(); });
        return true;
    }
    if (path.empty()) {
        Orvex::System::errorOutput(u"dungeon: the dungeon settings name no dungeon script");
        return false;
    }
    postTask([this, path] { setupDungeon(path); });
    return true;
}

void CDungeon::update() {
    removedActors_.clear();
    std::vector<Task> calls;
    {
        std::lock_guard<std::mutex> lock(deferredLock_);
        calls.swap(deferredCalls_);
    }
    for (Task& call : calls) {
        call();
    }
    pauseMusicForSystemSound();
    dispatch(CDungeonEvent{kEventUpdate});
}

void CDungeon::draw() { dispatch(CDungeonEvent{kEventDraw}); }

void CDungeon::pauseMusicForSystemSound() {
    CGameDataManager* gameData = services_.getGameContext().getGameDataManager();
    const auto sound = services_.getSystemSE(kSystemSoundPausingMusic);
    const auto music = gameData != nullptr ? gameData->getBGMSource() : nullptr;
    if (sound == nullptr || music == nullptr) {
        return;
    }
    if (sound->getState() == Orvex::AudioSystem::kAudioStatePlaying) {
        if (music->getState() == Orvex::AudioSystem::kAudioStatePlaying) {
            music->pause();
        }
    } else if (music->getState() == Orvex::AudioSystem::kAudioStatePaused) {
        music->resume();
    }
}

void CDungeon::clear() {
    releaseMovie();
    if (worker_ != nullptr) {
        worker_->stop();
    }
    if (SceneLayer::CSceneLayerManager* layers = services_.getSceneLayerManager()) {
        layers->clear();
    }
    if (player_ != nullptr) {
        // The player outlives the floor object; it must not keep reaching for this floor's layer.
        if (auto* hero = dynamic_cast<Actor::CPlayer*>(player_.get())) {
            hero->setPlayerLayer(nullptr);
        }
        removeActor(player_.get());
        player_.reset();
    }
    playerLayer_.reset();
    eventLayer_.reset();
    removedActors_.clear();
    dropFadeCallback();
    map_ = std::make_unique<CMap>();
    mapRenderer_.release();
    miniMapRenderer_.release();
    if (actionManager_ != nullptr) {
        actionManager_->clear();
    }
    actionManager_.reset();
    turnController_.reset();
    logManager_.reset();
    floorState_.reset();
    resetEventScript();
    requestedScene_ = 0;
    {
        std::lock_guard<std::mutex> lock(deferredLock_);
        deferredCalls_.clear();
    }
    worker_.reset();
    tasks_.clear();
    idleEvent_.reset();
    resetLoadingRecord();
    {
        std::lock_guard<std::mutex> lock(loadingLock_);
        loadingScript_.reset();
    }
    hudScript_.reset();
    hudVisible_ = true;
    items_.clear();
    enemyList_.clear();
    meltdownAction_.reset();
    verifySuspendData_ = true;
}

void CDungeon::postTask(std::function<void()> task) {
    if (worker_ == nullptr) {
        return;
    }
    Orvex::Thread::OxCriticalLock lock(worker_->getMonitor());
    tasks_.push_back(std::move(task));
    idleEvent_.reset();
    worker_->resume();
}

void CDungeon::postDeferredCall(std::function<void()> call) {
    std::lock_guard<std::mutex> lock(deferredLock_);
    deferredCalls_.push_back(std::move(call));
}

void CDungeon::runTasks() {
    Orvex::IO::StreamIO::IOrvexStreamReader& reader = services_.getGameContext().getArchiveReader();
    while (worker_->keepRunning()) {
        while (reader.isOpen()) {
            if (worker_->waitForStop(10)) {
                return;
            }
        }
        Task task;
        {
            Orvex::Thread::OxCriticalLock lock(worker_->getMonitor());
            if (!tasks_.empty()) {
                task = tasks_.front();
            }
        }
        if (task) {
            task();
        }
        Orvex::Thread::OxCriticalLock lock(worker_->getMonitor());
        if (!tasks_.empty() && task) {
            tasks_.pop_front();
        }
        if (tasks_.empty()) {
            idleEvent_.set();
            worker_->suspend(0);
        } else {
            worker_->resume();
        }
    }
}

void CDungeon::requestExitScene(int32_t scene) {
    requestedScene_ = scene;
    transition(State(&CDungeon::exitState));
}

void CDungeon::requestPrevDungeon() {
    if (floorState_.prevScene != 0) {
        requestExitScene(floorState_.prevScene);
    } else {
        changeFloor(getFloorText(floorState_.prevDungeonPath));
    }
}

void CDungeon::requestNextDungeon() {
    if (floorState_.nextScene != 0) {
        requestExitScene(floorState_.nextScene);
    } else {
        changeFloor(getFloorText(floorState_.nextDungeonPath));
    }
}

void CDungeon::changeFloor(const std::u16string& scriptPath) {
    postDeferredCall([this, scriptPath] { changeFloorNow(scriptPath); });
}

void CDungeon::changeFloorNow(const std::u16string& scriptPath) {
    if (scriptPath.empty()) {
        return;
    }
    transition(State(&CDungeon::loadingState));
    if (Orvex::IO::getParentDirectory(scriptPath) + u"/" != getFloorText(floorState_.dungeonDirectory)) {
        postTask([this, scriptPath] { setupDungeon(scriptPath); });
    } else {
        postTask([this, scriptPath] { setupFloor(scriptPath); });
    }
}

void CDungeon::doEventScript(const std::u16string& scriptPath) {
    transition(State(&CDungeon::eventState));
    postTask([this, scriptPath] { setupEventScript(scriptPath); });
}

bool CDungeon::doAdventureScript(const std::u16string& story, uintptr_t first, uintptr_t second) {
    logManager_.clear();
    std::shared_ptr<SceneLayer::CSceneLayer> layer = services_.createAdventureLayer(story, first, second);
    SceneLayer::CSceneLayerManager* layers = services_.getSceneLayerManager();
    if (layer == nullptr || layers == nullptr || !layers->addLayer(layer)) {
        Orvex::System::errorOutput(u"Adventure not opened: " + story + u"\n");
        return false;
    }
    return true;
}

void CDungeon::setBackgroundColor(uint32_t colour) {
    floorState_.backgroundColor = colour;
    services_.setClearColour(colour);
}

void CDungeon::openMovie(const std::u16string& path, uint32_t drawPriority, bool loop) {
    releaseMovie();
    Orvex::IO::StreamIO::IOrvexStreamReader* reader = services_.getMovieReader();
    Orvex::Graphics::IOrvexRenderer* renderer = services_.getRenderer();
    if (path.empty() || reader == nullptr || renderer == nullptr || renderer->getGraphics() == nullptr ||
        !reader->open(path)) {
        return;
    }
    reader->close();
    const auto audio = services_.getGameContext().getAudioDevice();
    const auto engine = audio != nullptr ? audio->getEngine() : nullptr;
    movie_ = std::make_unique<Theora::TheoraPlayer>(renderer->getGraphics()->getDevice(), engine.get());
    movie_->setLoop(loop);
    movieDrawPriority_ = drawPriority;
    if (!movie_->open(path, reader, 0, 0, kMovieWidth, kMovieHeight)) {
        Orvex::System::errorOutput(path + u": the floor's movie does not open");
        releaseMovie();
    }
}

void CDungeon::releaseMovie() {
    if (movie_ != nullptr) {
        movie_->stop();
        movie_->close();
        movie_.reset();
    }
    movieDrawPriority_ = 0;
}

bool CDungeon::isMoviePlaying() const { return movie_ != nullptr && movie_->isPlaying(); }

void CDungeon::resetLoadingRecord() {
    loadingStart_ = 0.0f;
    loadingReady_.store(false, std::memory_order_release);
    titleLoaded_.store(false, std::memory_order_release);
    releaseTitleTexture();
}

void CDungeon::releaseTitleTexture() { titleTexture_.reset(); }

void CDungeon::resetEventScript() {
    eventScriptRunning_.store(false, std::memory_order_release);
    eventScript_.reset();
}

void CDungeon::setupDungeon(const std::u16string& scriptPath) {
    floorState_.reset();
    // The old loading script may still be on screen: it is let go of on the game thread.
    std::shared_ptr<CScriptController> oldLoading;
    {
        std::lock_guard<std::mutex> lock(loadingLock_);
        loadingReady_.store(false, std::memory_order_release);
        titleLoaded_.store(false, std::memory_order_release);
        oldLoading.swap(loadingScript_);
        loadingStart_ = 0.0f;
        releaseTitleTexture();
    }
    if (oldLoading != nullptr) {
        postDeferredCall([oldLoading] {});
    }
    oldLoading.reset();
    setFloorText(floorState_.floorScriptPath, scriptPath);
    const std::u16string directory = Orvex::IO::getParentDirectory(scriptPath) + u"/";
    setFloorText(floorState_.dungeonDirectory, directory);
    setFloorText(floorState_.resourceDirectory, directory);

    IGameContext& context = services_.getGameContext();
    CScriptController setup(context);
    if (!setup.loadScript(directory + u"Setup.lua", kSetupBlock) || !setup.runMain()) {
        Orvex::System::errorOutput(directory + u"Setup.lua: the dungeon set-up script does not run");
    }
    setFloorText(floorState_.currentBgmPath, textOf(callFor(setup, "getBGM")));
    setFloorText(floorState_.bgmPath, textOf(callFor(setup, "getBGM")));
    if (CGameDataManager* gameData = context.getGameDataManager()) {
        gameData->playBGM(getFloorText(floorState_.bgmPath), false);
    }
    const std::u16string resources = textOf(callFor(setup, "getResourceDirectory"));
    if (!resources.empty()) {
        setFloorText(floorState_.resourceDirectory, resources);
    }
    setFloorText(floorState_.titleImagePath,
                 getFloorText(floorState_.resourceDirectory) + textOf(callFor(setup, "getTitleImage")));
    if (!loadTitleImage(getFloorText(floorState_.titleImagePath))) {
        Orvex::System::errorOutput(getFloorText(floorState_.titleImagePath) +
                                   u": the dungeon's title image cannot be loaded; the floor is not set up");
        return;
    }
    setupFloor(scriptPath);
}

bool CDungeon::loadTitleImage(const std::u16string& path) {
    Orvex::Graphics::IOrvexRenderer* renderer = services_.getRenderer();
    Orvex::Graphics::IOrvexTextureManager* textures = renderer != nullptr ? renderer->getTextureManager() : nullptr;
    Orvex::IO::StreamIO::IOrvexStreamReader& reader = services_.getGameContext().getArchiveReader();
    if (textures == nullptr || !reader.open(path)) {
        return false;
    }
    Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture> texture;
    const bool made = textures->createTexture(texture.put(), &reader) >= 0 && texture != nullptr;
    reader.close();
    if (!made) {
        return false;
    }
    std::lock_guard<std::mutex> lock(loadingLock_);
    titleTexture_ = std::move(texture);
    titleLoaded_.store(true, std::memory_order_release);
    return true;
}

void CDungeon::setupFloor(const std::u16string& scriptPath) {
    IGameContext& context = services_.getGameContext();
    CGameDataManager* gameData = context.getGameDataManager();
    releaseMovie();
    floorState_.backgroundColor = 0;
    if (Orvex::Graphics::IOrvexRenderer* renderer = services_.getRenderer()) {
        if (Orvex::Graphics::IOrvexTextureManager* textures = renderer->getTextureManager()) {
            textures->releaseUnused();
        }
    }
    if (const auto audio = context.getAudioDevice()) {
        audio->releaseUnusedWaves();
    }
    floorState_.currentBgmPath = floorState_.bgmPath;
    if (gameData != nullptr) {
        gameData->playBGM(getFloorText(floorState_.bgmPath), false);
    }
    floorState_.showMiniMap = 1;
    floorState_.miniMapOffsetX = 0.0f;
    floorState_.miniMapOffsetY = 0.0f;
    floorState_.enableDarkness = 1;
    floorState_.robber = 0;
    floorState_.maxAutoGenerateEnemyCount = 0;
    floorState_.enemyAutoGenerateTurnCount = 0;
    resetEventScript();
    if (player_ != nullptr) {
        removeActor(player_.get());
    }
    if (actionManager_ != nullptr) {
        actionManager_->clear();
    }
    turnController_.reset();
    items_.clear();
    enemyList_.clear();
    if (SceneLayer::CSceneLayerManager* layers = services_.getSceneLayerManager()) {
        layers->clear();
    }
    logManager_.reset();
    if (gameData != nullptr && gameData->getPlayer() != nullptr) {
        setPlayer(gameData->getPlayer());
        addTurnParticipant(player_);
    }
    map_ = std::make_unique<CMap>();

    CScriptController floor(context);
    if (!floor.loadScript(scriptPath, kFloorBlock)) {
        Orvex::System::errorOutput(scriptPath + u": the floor script cannot be loaded; the floor is not set up");
        return;
    }
    if (!attachScriptModules(floor, context,
                             {ScriptModule::kGame, ScriptModule::kMap, ScriptModule::kDungeon, ScriptModule::kItem,
                              ScriptModule::kActor, ScriptModule::kDamageCalculate})) {
        Orvex::System::errorOutput(scriptPath + u": a module of the floor script cannot be attached");
        return;
    }
    floor.runMain();
    setFloorText(floorState_.floorScriptPath, scriptPath);
    floorState_.floorNumber = integerOf(callFor(floor, "getFloorNumber"));
    floorState_.prevScene = integerOf(callFor(floor, "getPrevScene"));
    floorState_.nextScene = integerOf(callFor(floor, "getNextScene"));
    setFloorText(floorState_.prevDungeonPath, textOf(callFor(floor, "getPrevDungeon")));
    setFloorText(floorState_.nextDungeonPath, textOf(callFor(floor, "getNextDungeon")));
    setFloorText(floorState_.backMoviePath, textOf(callFor(floor, "getBackMovieFilePath")));
    floorState_.maxAutoGenerateEnemyCount = integerOf(callFor(floor, "getMaxAutoGenerateEnemyCount"));
    floorState_.enemyAutoGenerateTurnCount = integerOf(callFor(floor, "getEnemyAutoGenerateTurnCount"));
    if (!setupLoadingScreen()) {
        Orvex::System::errorOutput(std::u16string(kLoadingScript) + u": the loading screen cannot be set up");
        return;
    }
    floor.callVoid("generate");
    map_->assignRoomCells();
    if (!setupHUD()) {
        Orvex::System::errorOutput(std::u16string(kHudScript) + u": the HUD cannot be set up");
        return;
    }
    if (player_ != nullptr) {
        if (!forcePutCellObject(player_.get(), map_->getStartPosition())) {
            Orvex::System::debugOutput(u"filed put cell player.\n");
        }
        track(player_.get(), std::nullopt);
        player_->getStatus().setDirection(kSouth);
        player_->playMotion(u"Walk", true, true, true);
    }
    floor.callVoid("setup");
    if (SceneLayer::CSceneLayerManager* layers = services_.getSceneLayerManager()) {
        eventLayer_ = services_.createEventLayer();
        if (eventLayer_ != nullptr && !layers->addLayer(eventLayer_)) {
            Orvex::System::errorOutput(u"dungeon: the event layer cannot be set up");
        }
        if (playerLayer_ != nullptr && !layers->addLayer(playerLayer_)) {
            Orvex::System::errorOutput(u"dungeon: the player layer cannot be set up");
        }
    }
    miniMapRenderer_.create();
    if (!enemyList_.empty()) {
        // A negative count places nobody.
        const int32_t count = std::max(0, integerOf(callFor(floor, "getInitialEnemyCount")));
        for (int32_t i = 0; i < count; ++i) {
            CRoom* room = getRandomRoom();
            const MapPoint point = getRandomRoomPoint(room, true);
            const int32_t index = Orvex::Random::getRange(random_, 0, static_cast<int32_t>(enemyList_.size()) - 1);
            createEnemy(enemyList_[static_cast<std::size_t>(index)], point);
        }
    }
    floor.callVoid("setupEvent");
    openMovie(getFloorText(floorState_.backMoviePath), kBackMoviePriority, true);
    setBackgroundColor(floorState_.backgroundColor);
    mapRenderer_.setDarknessEnabled(floorState_.enableDarkness != 0);
}

bool CDungeon::setupLoadingScreen() {
    IGameContext& context = services_.getGameContext();
    auto script = std::make_shared<CScriptController>(context);
    if (!script->loadScript(kLoadingScript, kLoadingBlock) ||
        !attachScriptModules(*script, context, {ScriptModule::kGraphics, ScriptModule::kGame})) {
        return false;
    }
    script->runMain();
    std::vector<CScriptValue> results;
    script->callFunction(results, "initialize", 0,
                         {CScriptValue(getFloorText(floorState_.floorScriptPath)),
                          CScriptValue(getFloorText(floorState_.dungeonDirectory)),
                          CScriptValue(getFloorText(floorState_.resourceDirectory)),
                          CScriptValue::fromInteger(floorState_.floorNumber)});
    std::shared_ptr<CScriptController> old;
    {
        std::lock_guard<std::mutex> lock(loadingLock_);
        old = std::exchange(loadingScript_, script);
        loadingReady_.store(true, std::memory_order_release);
    }
    if (old != nullptr) {
        postDeferredCall([old] {});
    }
    return true;
}

bool CDungeon::setupHUD() {
    IGameContext& context = services_.getGameContext();
    hudScript_.reset();
    auto script = std::make_shared<CScriptController>(context);
    if (!script->loadScript(kHudScript, kSetupBlock) ||
        !attachScriptModules(
            *script, context,
            {ScriptModule::kGraphics, ScriptModule::kDungeon, ScriptModule::kGame, ScriptModule::kActor})) {
        return false;
    }
    script->runMain();
    std::vector<CScriptValue> results;
    script->callFunctionWithArg(results, "setPlayer", 0, CScriptValue(static_cast<void*>(player_.get())));
    hudScript_ = script;
    return true;
}

void CDungeon::setupEventScript(const std::u16string& scriptPath) {
    resetEventScript();
    IGameContext& context = services_.getGameContext();
    auto script = std::make_shared<CScriptController>(context);
    if (!script->loadScript(scriptPath, kSetupBlock)) {
        Orvex::System::errorOutput(scriptPath + u": the event script cannot be loaded");
        return;
    }
    lua_gc(script->getLuaState(), LUA_GCSTOP, 0);
    if (!attachScriptModules(*script, context, {ScriptModule::kGraphics, ScriptModule::kMossbellLib})) {
        Orvex::System::errorOutput(scriptPath + u": a module of the event script cannot be attached");
        return;
    }
    // The remaining modules are attached where the game has them.
    for (ScriptModule module : {ScriptModule::kActor, ScriptModule::kDungeon, ScriptModule::kAudio, ScriptModule::kGame,
                                ScriptModule::kItem, ScriptModule::kMap, ScriptModule::kDamageCalculate}) {
        attachScriptModules(*script, context, {module});
    }
    script->runMain();
    eventScript_ = script;
    eventScriptRunning_.store(true, std::memory_order_release);
}

}  // namespace Fenwarrow::Dungeon
