#pragma once
// The process-wide owner of every long-lived game service. It is built on the window thread
// (initialize), runs the game thread, and tears everything down in order (terminate).
#include <boost/noncopyable.hpp>

#include <cstdint>
#include <memory>

#include "engine/graphics/OxRenderQueue.h"
#include "engine/graphics/OxScreenEffectController.h"
#include "engine/input/OxVirtualKey.h"
#include "engine/io/OxPackedStreamReader.h"
#include "engine/random/OxMT19937RandomGenerator.h"
#include "engine/scene/IOrvexSceneEventListener.h"
#include "engine/scene/OxSceneController.h"
#include "engine/system/shared_vector_ptr.h"
#include "engine/system/singleton.h"
#include "engine/thread/OxThread.h"
#include "engine/timer/OxFPSTimer.h"
#include "game/generalwindow/CGeneralWindow.h"
#include "game/replay/IReplayContext.h"
#include "game/shell/CReplayTrace.h"
#include "game/scene/ISceneContext.h"
#include "game/services/IGameContext.h"
#include "graphics/include/IOrvexGraphics.h"
#include "graphics/include/IOrvexRenderer.h"
#include "graphics/include/OxRefPtr.h"

namespace Orvex::FontLib {
class OxBitmapFont;
class OxBitmapFontLoader;
class OxFontRenderer;
}  // namespace Orvex::FontLib

namespace Fenwarrow {

class CCommonDataManager;
class CGameDataManager;
class CSEManager;
class CSettingDataManager;
namespace Item {
class CItemFactory;
}
class CDungeonServices;
namespace Dungeon {
class CDungeon;
}
namespace Replay {
class CReplayController;
}
namespace SceneLayer {
class CSceneLayer;
class CSceneLayerManager;
}  // namespace SceneLayer

class CGameManager : boost::noncopyable,
                     public Orvex::SceneController::IOrvexSceneEventListener,
                     public IGameContext,
                     public Replay::IReplayContext,
                     public Scene::ISceneContext,
                     public IGeneralWindowContext {
public:
    static constexpr uint32_t kArchiveReaderCount = 3;

    static CGameManager* instance() { return Orvex::System::singleton<CGameManager>::instance(); }
    static void release() { Orvex::System::singleton<CGameManager>::release(); }

    // Window thread, once: builds every service in order and starts the game thread.
    bool initialize();
    bool setupInput();
    // Window thread, at shutdown: stops the game thread, releases everything and destroys this.
    void terminate();

    void onScenePushed(Orvex::SceneController::OxSceneBase* scene) override;

    // IGameContext, IReplayContext, ISceneContext and IGeneralWindowContext.
    Orvex::IO::StreamIO::IOrvexStreamReader& getArchiveReader() override { return *archiveReaders_[0]; }
    Orvex::Random::IOrvexRandomGenerator& getRandomGenerator() override { return *random_; }
    std::shared_ptr<IScriptCommand> createScriptModule(ScriptModule module) override;
    CGameDataManager* getGameDataManager() override { return gameData_.get(); }
    Item::CItemFactory* getItemFactory() override { return itemFactory_.get(); }
    Item::CUnidentifiedItemInfo* findUnidentifiedItemInfo(uint32_t itemId) override;
    Dungeon::CDungeon* getCurrentDungeon() override { return currentDungeon_.get(); }
    bool playerHasCondition(int32_t type) override;
    std::unique_ptr<Actor::IActorConditions> createConditionController(Actor::CActor& actor) override;
    // The dungeon scene shares its floor here, so that the modules reach it.
    void setCurrentDungeon(const std::shared_ptr<Dungeon::CDungeon>& floor) override { currentDungeon_ = floor; }
    const std::shared_ptr<Dungeon::CDungeon>& getCurrentDungeonShared() const { return currentDungeon_; }
    // What a floor takes from the game; lives as long as the manager.
    Dungeon::IDungeonServices* getDungeonServices() override;
    Orvex::IO::StreamIO::IOrvexStreamReader& getMusicReader() override { return *archiveReaders_[1]; }
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioDevice> getAudioDevice() override;
    std::u16string getPlayerName() override;
    float getPlayTime() override;
    Orvex::InputSystem::OxVirtualKey& getLiveVirtualKey() override { return *virtualKeys_.at(0); }

    // The key set input readers use: the replay's keys while a replay plays back and runs.
    Orvex::InputSystem::OxVirtualKey* getVirtualKey() override;
    Orvex::InputSystem::OxVirtualKey* getVirtualKeyAt(size_t index) { return virtualKeys_.at(index).get(); }

    Orvex::FileArchiver::OxPackedStreamReader* getArchiveReaderAt(size_t index) {
        return index < kArchiveReaderCount ? archiveReaders_[index].get() : nullptr;
    }
    Orvex::Graphics::IOrvexGraphics* getGraphics() override { return graphics_.get(); }
    Orvex::Graphics::IOrvexRenderer* getRenderer() override { return renderer_.get(); }
    Orvex::Graphics::OxRenderQueue* getRenderQueue() override { return renderQueue_.get(); }
    Orvex::IO::StreamIO::IOrvexStreamReader* getMovieReader() override { return archiveReaders_[2].get(); }
    const CGameSetting& getSettings() override;
    void resetFrameTimer() override { frameTimer_.reset(); }
    IGameContext& getGameContext() override { return *this; }
    Orvex::Graphics::IOrvexTexture* getCommonTexture(int32_t index) override;
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource> getSystemSE(int32_t index) override;
    Orvex::Graphics::OxScreenEffectController* getScreenEffects() override { return screenEffects_.get(); }
    bool loadCommonData() override;
    bool saveCommonData() override;
    void resetGameData() override;
    void closeMainWindow() override;
    std::shared_ptr<Orvex::FontLib::OxBitmapFontLoader> getFontLoader() { return fontLoader_; }
    std::shared_ptr<Orvex::FontLib::OxBitmapFont> getFont() { return font_; }
    std::shared_ptr<Orvex::FontLib::OxFontRenderer> createFontRenderer();
    // A dialogue layer for the story at the path, over whatever scene runs.
    std::shared_ptr<SceneLayer::CSceneLayer> makeAdventureLayer(const std::u16string& story, uintptr_t context1 = 0,
                                                                uintptr_t context2 = 0);
    Orvex::SceneController::OxSceneController& getSceneController() { return sceneController_; }
    Orvex::Thread::OxThread& getGameThread() { return gameThread_; }
    Orvex::Timer::OxFPSTimer& getFrameTimer() { return frameTimer_; }
    float getFrameTime() override { return frameTime_; }
    void setFrameRate(uint32_t framesPerSecond);
    uint32_t getFrameRate() const { return frameTimer_.getFrameRate(); }
    uint32_t getClearColour() const { return clearColour_; }
    void setClearColour(uint32_t colour) { clearColour_ = colour; }

    CCommonDataManager* getCommonDataManager() { return commonData_.get(); }
    CSettingDataManager* getSettingDataManager() override { return settingData_.get(); }
    CSEManager* getSEManager() { return soundEffects_.get(); }
    SceneLayer::CSceneLayerManager* getSceneLayerManager() { return layerManager_.get(); }
    Replay::CReplayController* getReplayController() override { return replay_.get(); }
    float getStepTime() override { return frameTime_; }
    void runItemChangeFloorScript(Item::CItem& item) override;

private:
    friend class Orvex::System::singleton<CGameManager>;
    CGameManager();
    ~CGameManager() override;

    // Releases every service in the one teardown order; the destructor and terminate share it.
    void releaseServices();
    bool openArchives();
    bool createGraphics();
    std::shared_ptr<IScriptCommand> createGeneralWindowModule();
    void gameThreadMain();
    // One pass of the game thread; false ends the body.
    bool runFrame(uint32_t frameSkip, int32_t& skipCounter);
    bool runUpdateSteps();
    void countPacedFrame();
    void render();

    Orvex::Thread::OxThread gameThread_;
    std::shared_ptr<Orvex::FileArchiver::OxPackedStreamReader> archiveReaders_[kArchiveReaderCount];
    Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexGraphics> graphics_;
    Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexRenderer> renderer_;
    std::shared_ptr<Orvex::Graphics::OxRenderQueue> renderQueue_;
    std::shared_ptr<Orvex::Graphics::OxScreenEffectController> screenEffects_;
    std::shared_ptr<Orvex::FontLib::OxBitmapFontLoader> fontLoader_;
    std::shared_ptr<Orvex::FontLib::OxBitmapFont> font_;
    Orvex::Timer::OxFPSTimer frameTimer_;
    // The frames of the run and those the pacer found late (their drawing skipped), for the
    // debug line at the loop's end.
    uint64_t framesPaced_ = 0;
    uint64_t framesLate_ = 0;
    uint64_t lateSince_ = 0;  // the first frame of the current stretch of late frames, 0 = none
    float frameTime_ = 0.0f;
    std::shared_ptr<Orvex::Random::OxMT19937RandomGenerator> random_;
    Orvex::SceneController::OxSceneController sceneController_;
    uint32_t clearColour_ = 0;
    Orvex::System::shared_vector_ptr<Orvex::InputSystem::OxVirtualKey> virtualKeys_;
    std::shared_ptr<CCommonDataManager> commonData_;
    std::shared_ptr<CSettingDataManager> settingData_;
    std::shared_ptr<CSEManager> soundEffects_;
    std::shared_ptr<CGameDataManager> gameData_;
    std::shared_ptr<SceneLayer::CSceneLayerManager> layerManager_;
    std::shared_ptr<Item::CItemFactory> itemFactory_;
    std::shared_ptr<Replay::CReplayController> replay_;
    CReplayTrace replayTrace_;
    std::unique_ptr<CDungeonServices> dungeonServices_;
    std::shared_ptr<Dungeon::CDungeon> currentDungeon_;
};

}  // namespace Fenwarrow
