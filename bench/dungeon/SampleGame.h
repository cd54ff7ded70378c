#pragma once
// The sample game as the floor benchmarks need it: the built archives of the run folder, the
// software device at 800 x 600, the game's font, common data, item factory, game data and every
// script module the game manager makes, wired as the game wires them (floor services, action
// context and window context over the same objects). No window, no sound (a silent device),
// no game thread: a benchmark drives the floor itself. With a replay enabled the player is
// driven as in the game: the floor's player layer reads the keys the replay hands out.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/audio/OxNullAudioDevice.h"
#include "engine/font/OxBitmapFont.h"
#include "engine/font/OxBitmapFontLoader.h"
#include "engine/font/OxFontRenderer.h"
#include "engine/graphics/OxRenderQueue.h"
#include "engine/graphics/OxScreenEffectController.h"
#include "engine/input/OxVirtualKey.h"
#include "engine/io/OxPackedStreamReader.h"
#include "engine/random/OxMT19937RandomGenerator.h"
#include "engine/system/OxOrvexManager.h"
#include "engine/system/OxStringConvert.h"
#include "game/action/CActionManager.h"
#include "game/action/CArrivalActorAction.h"
#include "game/action/CScriptingAction.h"
#include "game/action/IActionContext.h"
#include "game/actor/CPlayer.h"
#include "game/condition/CConditionController.h"
#include "game/control/CPlayerLayer.h"
#include "game/dungeon/CDungeon.h"
#include "game/dungeon/IDungeonServices.h"
#include "game/event/CEventLayer.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/generalwindow/CGeneralWindow.h"
#include "game/item/CItemFactory.h"
#include "game/layer/CSceneLayerManager.h"
#include "game/replay/CReplayController.h"
#include "game/replay/IReplayContext.h"
#include "game/scriptcommand/CActorCommand.h"
#include "game/scriptcommand/CAudioCommand.h"
#include "game/scriptcommand/CDamageCalculateCommand.h"
#include "game/scriptcommand/CDungeonCommand.h"
#include "game/scriptcommand/CGameCommand.h"
#include "game/scriptcommand/CGraphicsCommand.h"
#include "game/scriptcommand/CInputSystemCommand.h"
#include "game/scriptcommand/CItemCommand.h"
#include "game/scriptcommand/CMapCommand.h"
#include "game/scriptcommand/CMossbellLibCommand.h"
#include "game/scriptcommand/CNonPlayerCommand.h"
#include "game/services/CCommonDataManager.h"
#include "game/services/CSEManager.h"
#include "game/services/CSettingDataManager.h"
#include "game/services/IGameContext.h"
#include "graphics/include/IOrvexGraphics.h"
#include "graphics/include/IOrvexRenderer.h"
#include "graphics/include/OxRefPtr.h"

namespace Orvex::Bench {

class SampleGame : public Fenwarrow::IGameContext,
                   public Fenwarrow::IGeneralWindowContext,
                   public Fenwarrow::Dungeon::IDungeonServices,
                   public Fenwarrow::Action::IActionContext,
                   public Fenwarrow::Replay::IReplayContext {
public:
    static constexpr uint32_t kWidth = 800;
    static constexpr uint32_t kHeight = 600;

    // `runDir` is the folder the data build fills (the archives "d000.bin" … "d900.bin").
    explicit SampleGame(const std::string& runDir) {
        engineRoot();
        std::vector<std::u16string> archives;
        for (const char* name : {"d000.bin", "d100.bin", "d200.bin", "d300.bin", "d400.bin", "d500.bin", "d900.bin"}) {
            std::u16string path = System::widen(runDir + "/" + name);
            for (char16_t& c : path) {
                c = c == u'/' ? u'\\' : c;
            }
            archives.push_back(path);
        }
        FileArchiver::OxArchiveOptions options{};
        options.lowerCaseNames = 1;
        for (FileArchiver::OxPackedStreamReader* reader : {&reader_, &musicReader_, &movieReader_, &fontReader_}) {
            if (static_cast<int32_t>(reader->openArchives(archives, options)) < 0) {
                error_ = "the archives of " + runDir + " do not open";
                return;
            }
        }
        graphics_ = Graphics::OxRefPtr<Graphics::IOrvexGraphics>::adopt(OXCreateGraphics(Graphics::kOxGraphicsVersion));
        Graphics::OxGraphicsParameters parameters;
        parameters.width = kWidth;
        parameters.height = kHeight;
        Graphics::IOrvexRenderer* renderer = nullptr;
        if (graphics_ == nullptr || graphics_->initialize(0, &parameters) < 0 ||
            graphics_->createRenderer(&renderer) < 0) {
            error_ = "the software device does not start";
            return;
        }
        renderer_ = Graphics::OxRefPtr<Graphics::IOrvexRenderer>::adopt(renderer);
        fontLoader_ = std::make_shared<FontLib::OxBitmapFontLoader>(renderer_.get(), shareReader());
        fontLoader_->setRootDirectory(u"Font");
        font_ = std::make_shared<FontLib::OxBitmapFont>(fontLoader_);
        if (static_cast<int32_t>(font_->load(u"font_00")) < 0) {
            error_ = "the game's font does not load";
            return;
        }
        random_.seed(kSeed);
        commonData_ = std::make_unique<Fenwarrow::CCommonDataManager>();
        if (!commonData_->initialize(reader_, renderer_->getTextureManager(), *audio_)) {
            error_ = "the common data does not load";
            return;
        }
        itemFactory_ = std::make_unique<Fenwarrow::Item::CItemFactory>(*this);
        if (!itemFactory_->initialize()) {
            error_ = "the item list does not load";
            return;
        }
        gameData_ = std::make_unique<Fenwarrow::CGameDataManager>(*this);
    }

    ~SampleGame() override {
        floor_ = nullptr;
        replay_.reset();
        gameData_.reset();
        itemFactory_.reset();
        layers_.clear();
        commonData_.reset();
        font_.reset();
        fontLoader_.reset();
        if (renderer_ != nullptr) {
            renderer_->shutdown();
            renderer_.reset();
        }
        if (graphics_ != nullptr) {
            graphics_->terminate();
            graphics_.reset();
        }
    }

    // Empty when everything started; else what did not.
    const std::string& error() const { return error_; }
    void setFloor(Fenwarrow::Dungeon::CDungeon* floor) { floor_ = floor; }
    Graphics::OxRenderQueue& renderQueue() { return queue_; }
    Fenwarrow::CSettingDataManager& settings() { return settings_; }

    // The game's replay controller, made on the first call; a floor made after it gets the
    // game's player layer, which steps the replay at each of its input reads. Making it
    // reseeds the generator, so the benchmark's seed is put back.
    Fenwarrow::Replay::CReplayController& enableReplay() {
        if (replay_ == nullptr) {
            replay_ = std::make_unique<Fenwarrow::Replay::CReplayController>(*this);
            random_.seed(kSeed);
        }
        return *replay_;
    }

    // IReplayContext.
    std::u16string getPlayerName() override { return u"ベンチ"; }
    float getPlayTime() override { return 0.0f; }
    InputSystem::OxVirtualKey& getLiveVirtualKey() override { return keys_; }

    // IGameContext.
    IO::StreamIO::IOrvexStreamReader& getArchiveReader() override { return reader_; }
    Random::IOrvexRandomGenerator& getRandomGenerator() override { return random_; }
    std::shared_ptr<Fenwarrow::IScriptCommand> createScriptModule(Fenwarrow::ScriptModule module) override {
        using namespace Fenwarrow::ScriptCommand;
        using Fenwarrow::ScriptModule;
        switch (module) {
            case ScriptModule::kActor:
                return std::make_shared<CActorCommand>(*this, this);
            case ScriptModule::kAudio:
                return std::make_shared<CAudioCommand>(audio_, reader_, musicReader_, &sounds_);
            case ScriptModule::kGame:
                return std::make_shared<CGameCommand>(*this);
            case ScriptModule::kItem:
                return std::make_shared<CItemCommand>(*this);
            case ScriptModule::kDamageCalculate:
                return std::make_shared<CDamageCalculateCommand>(*this);
            case ScriptModule::kNonPlayer:
                return std::make_shared<CNonPlayerCommand>(this);
            case ScriptModule::kGraphics:
                return std::make_shared<CGraphicsCommand>(renderer_.get(), reader_, &queue_);
            case ScriptModule::kInputSystem:
                return std::make_shared<CInputSystemCommand>([this] { return &keys_; });
            case ScriptModule::kMossbellLib:
                return std::make_shared<CMossbellLibCommand>(renderer_.get(), reader_);
            case ScriptModule::kMap:
                return std::make_shared<CMapCommand>(
                    CMapCommand::Services{[this] { return floor_; }, &reader_, renderer_->getTextureManager()});
            case ScriptModule::kDungeon:
                return std::make_shared<CDungeonCommand>([this] { return floor_; });
            default:
                // Scene layers and general windows from scripts: no floor script measured here
                // opens one.
                return nullptr;
        }
    }
    Fenwarrow::CGameDataManager* getGameDataManager() override { return gameData_.get(); }
    Fenwarrow::Item::CItemFactory* getItemFactory() override { return itemFactory_.get(); }
    Fenwarrow::Item::CUnidentifiedItemInfo* findUnidentifiedItemInfo(uint32_t itemId) override {
        return gameData_ != nullptr ? gameData_->findUnidentifiedItemInfo(itemId) : nullptr;
    }
    Fenwarrow::Dungeon::CDungeon* getCurrentDungeon() override { return floor_; }
    IO::StreamIO::IOrvexStreamReader& getMusicReader() override { return musicReader_; }
    std::shared_ptr<AudioSystem::IOrvexAudioDevice> getAudioDevice() override { return audio_; }
    std::unique_ptr<Fenwarrow::Actor::IActorConditions> createConditionController(
        Fenwarrow::Actor::CActor& actor) override {
        return std::make_unique<Fenwarrow::Actor::Condition::CConditionController>(actor);
    }
    float getStepTime() override { return kFrameTime; }
    Graphics::IOrvexTexture* getCommonTexture(int32_t index) override {
        return commonData_ != nullptr ? commonData_->getTexture(index) : nullptr;
    }
    std::shared_ptr<AudioSystem::IOrvexAudioSource> getSystemSE(int32_t index) override {
        return commonData_ != nullptr ? commonData_->getSystemSE(index) : nullptr;
    }
    Fenwarrow::CSettingDataManager* getSettingDataManager() override { return &settings_; }

    // IGeneralWindowContext (and the floor's keys).
    Graphics::IOrvexRenderer* getRenderer() override { return renderer_.get(); }
    InputSystem::OxVirtualKey* getVirtualKey() override {
        if (replay_ != nullptr && replay_->getMode() == Fenwarrow::Replay::CReplayController::kModePlayback &&
            replay_->getState() == Fenwarrow::Replay::CReplayController::kStateRunning) {
            return replay_->getVirtualKey().get();
        }
        return &keys_;
    }

    // IDungeonServices.
    Fenwarrow::IGameContext& getGameContext() override { return *this; }
    std::shared_ptr<Fenwarrow::IGeneralWindowContext> getWindowContext() override {
        return std::shared_ptr<Fenwarrow::IGeneralWindowContext>(this, [](Fenwarrow::IGeneralWindowContext*) {});
    }
    std::shared_ptr<FontLib::OxFontRenderer> createFontRenderer() override {
        return std::make_shared<FontLib::OxFontRenderer>(renderer_.get(), font_);
    }
    IO::StreamIO::IOrvexStreamReader* getMovieReader() override { return &movieReader_; }
    Graphics::OxRenderQueue* getRenderQueue() override { return &queue_; }
    Graphics::OxScreenEffectController* getScreenEffects() override { return &effects_; }
    Fenwarrow::SceneLayer::CSceneLayerManager* getSceneLayerManager() override { return &layers_; }
    std::shared_ptr<Fenwarrow::SceneLayer::CSceneLayer> createAdventureLayer(const std::u16string&, uintptr_t,
                                                                             uintptr_t) override {
        return nullptr;
    }
    void setClearColour(uint32_t colour) override { clearColour_ = colour; }
    void changeScene(int32_t) override {}
    float getFrameTime() override { return kFrameTime; }
    uint32_t getMilliseconds() override { return milliseconds_ += 16; }
    uint32_t getReplayMode() override { return 0; }
    uint32_t getScreenWidth() override { return kWidth; }
    uint32_t getScreenHeight() override { return kHeight; }
    std::shared_ptr<Fenwarrow::Dungeon::IActionManager> createActionManager() override {
        return std::make_shared<Fenwarrow::Action::CActionManager>();
    }
    bool pushScriptedAction(Fenwarrow::Dungeon::IActionManager& actions, const std::u16string& script,
                            Fenwarrow::Actor::CActor* parameter) override {
        auto* queue = dynamic_cast<Fenwarrow::Action::CActionManager*>(&actions);
        if (queue == nullptr) {
            return false;
        }
        queue->pushAction(std::make_shared<Fenwarrow::Action::CScriptingAction>(*this, script, parameter));
        return true;
    }
    bool pushArrivalAction(Fenwarrow::Dungeon::IActionManager& actions, const std::u16string& folder,
                           Fenwarrow::Dungeon::MapPoint point) override {
        auto* queue = dynamic_cast<Fenwarrow::Action::CActionManager*>(&actions);
        if (queue == nullptr) {
            return false;
        }
        queue->pushAction(std::make_shared<Fenwarrow::Action::CArrivalActorAction>(*this, folder, point));
        return true;
    }
    std::shared_ptr<Fenwarrow::Dungeon::IFloorEffect> createScriptedEffect(const std::u16string&,
                                                                           Fenwarrow::Actor::CActor*) override {
        return nullptr;
    }
    bool loadSuspendedGame(Fenwarrow::Dungeon::CDungeon&) override { return false; }
    // Without a replay the player's turns are the benchmark's to give: no control layer reads keys.
    std::shared_ptr<Fenwarrow::SceneLayer::CSceneLayer> createPlayerLayer(Fenwarrow::Dungeon::CDungeon& floor,
                                                                          Fenwarrow::Actor::CActor& player) override {
        auto* hero = dynamic_cast<Fenwarrow::Actor::CPlayer*>(&player);
        if (replay_ == nullptr || hero == nullptr) {
            return nullptr;
        }
        Fenwarrow::SceneLayer::CPlayerLayer::Services services;
        services.actions = this;
        services.replay = replay_.get();
        services.liveKeys = &keys_;
        services.renderer = renderer_.get();
        return std::make_shared<Fenwarrow::SceneLayer::CPlayerLayer>(std::move(services), floor, *hero);
    }
    std::shared_ptr<Fenwarrow::SceneLayer::CSceneLayer> createEventLayer() override {
        return std::make_shared<Fenwarrow::Event::CEventLayer>();
    }

    // IActionContext.
    Fenwarrow::Action::CActionManager* getActionManager() override {
        return floor_ != nullptr ? dynamic_cast<Fenwarrow::Action::CActionManager*>(floor_->getActionManager())
                                 : nullptr;
    }
    void updateReplay() override {
        if (replay_ != nullptr) {
            replay_->update();
        }
    }
    void playSystemSE(int32_t) override {}
    bool isPlayerDashing() override { return false; }
    void stopPlayerDash() override {}
    void stopPlayerContinuousMove() override {}
    std::shared_ptr<Fenwarrow::CGeneralWindow> createGeneralWindow() override {
        auto window = std::make_shared<Fenwarrow::CGeneralWindow>(getWindowContext());
        return window->create(createFontRenderer()) ? window : nullptr;
    }
    void addRenderQueue(uint32_t priority, std::function<void()> draw) override {
        queue_.add(priority, std::move(draw));
    }

private:
    static constexpr float kFrameTime = 1.0f / 60.0f;
    static constexpr uint32_t kSeed = 20261210;

    // The engine root lives for the whole run: the graphics classes read its base directory.
    static OxOrvexManager& engineRoot() {
        static OxOrvexManager root;
        return root;
    }
    // The font loader keeps its reader shared; this one lives as long as the game.
    std::shared_ptr<FileArchiver::OxPackedStreamReader> shareReader() {
        return std::shared_ptr<FileArchiver::OxPackedStreamReader>(&fontReader_,
                                                                   [](FileArchiver::OxPackedStreamReader*) {});
    }

    std::string error_;
    FileArchiver::OxPackedStreamReader reader_;
    FileArchiver::OxPackedStreamReader musicReader_;
    FileArchiver::OxPackedStreamReader movieReader_;
    FileArchiver::OxPackedStreamReader fontReader_;
    Random::OxMT19937RandomGenerator random_;
    std::shared_ptr<AudioSystem::IOrvexAudioDevice> audio_ = std::make_shared<AudioSystem::OxNullAudioDevice>();
    Graphics::OxRefPtr<Graphics::IOrvexGraphics> graphics_;
    Graphics::OxRefPtr<Graphics::IOrvexRenderer> renderer_;
    std::shared_ptr<FontLib::OxBitmapFontLoader> fontLoader_;
    std::shared_ptr<FontLib::OxBitmapFont> font_;
    Graphics::OxRenderQueue queue_;
    Graphics::OxScreenEffectController effects_;
    std::unique_ptr<Fenwarrow::CCommonDataManager> commonData_;
    Fenwarrow::CSettingDataManager settings_;
    Fenwarrow::CSEManager sounds_;
    Fenwarrow::SceneLayer::CSceneLayerManager layers_;
    InputSystem::OxVirtualKey keys_;
    std::unique_ptr<Fenwarrow::Item::CItemFactory> itemFactory_;
    std::unique_ptr<Fenwarrow::CGameDataManager> gameData_;
    std::unique_ptr<Fenwarrow::Replay::CReplayController> replay_;
    Fenwarrow::Dungeon::CDungeon* floor_ = nullptr;
    uint32_t clearColour_ = 0;
    uint32_t milliseconds_ = 0;
};

}  // namespace Orvex::Bench
