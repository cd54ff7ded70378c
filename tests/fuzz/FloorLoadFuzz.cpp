// Reading a suspended floor over arbitrary streams after its fixed head (the suspend id and the
// 2348-byte floor state): the enemy list, the turn count, the actors and items with their
// identities, the map with its cells, rooms and chip layers. A damaged stream is refused with
// no read past the data, no allocation beyond what it could hold, and no cell or layer left
// shorter than the map; the floor has no renderer, so even a whole stream stops at set-up.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "engine/system/OxStringConvert.h"
#include "game/dungeon/CDungeon.h"
#include "platform/kernel/Process.h"
#include "tests/support/SaveGameWorld.h"

namespace {

using namespace Fenwarrow::Dungeon;

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

class Services : public IDungeonServices {
public:
    explicit Services(Fenwarrow::IGameContext& context) : context_(context) {}
    Fenwarrow::IGameContext& getGameContext() override { return context_; }
    std::shared_ptr<Fenwarrow::IGeneralWindowContext> getWindowContext() override { return nullptr; }
    std::shared_ptr<Orvex::FontLib::OxFontRenderer> createFontRenderer() override { return nullptr; }
    Orvex::Graphics::IOrvexRenderer* getRenderer() override { return nullptr; }
    Orvex::IO::StreamIO::IOrvexStreamReader* getMovieReader() override { return nullptr; }
    Orvex::Graphics::OxRenderQueue* getRenderQueue() override { return nullptr; }
    Orvex::Graphics::OxScreenEffectController* getScreenEffects() override { return nullptr; }
    Fenwarrow::SceneLayer::CSceneLayerManager* getSceneLayerManager() override { return nullptr; }
    Fenwarrow::CSettingDataManager* getSettingDataManager() override { return nullptr; }
    Orvex::InputSystem::OxVirtualKey* getVirtualKey() override { return nullptr; }
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource> getSystemSE(int32_t) override { return nullptr; }
    void setClearColour(uint32_t) override {}
    void changeScene(int32_t) override {}
    float getFrameTime() override { return 0.0f; }
    uint32_t getMilliseconds() override { return 0; }
    uint32_t getReplayMode() override { return 0; }
    uint32_t getScreenWidth() override { return 800; }
    uint32_t getScreenHeight() override { return 600; }
    std::shared_ptr<IActionManager> createActionManager() override { return nullptr; }
    bool pushScriptedAction(IActionManager&, const std::u16string&, Fenwarrow::Actor::CActor*) override {
        return false;
    }
    bool pushArrivalAction(IActionManager&, const std::u16string&, MapPoint) override { return false; }
    std::shared_ptr<IFloorEffect> createScriptedEffect(const std::u16string&, Fenwarrow::Actor::CActor*) override {
        return nullptr;
    }
    bool loadSuspendedGame(CDungeon&) override { return false; }

private:
    Fenwarrow::IGameContext& context_;
};

SaveWorld::World& world() {
    static SaveWorld::World* made = [] {
        const std::filesystem::path archive =
            std::filesystem::temp_directory_path() /
            ("orvex-fuzz-floor-" + std::to_string(Platform::Kernel::processId()) + ".bin");
        auto* w = new SaveWorld::World(archive.string(), Orvex::System::widen(archive.string()));
        check(w->ready);
        return w;
    }();
    return *made;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SaveWorld::World& w = world();
    static Services services(w.context);
    Orvex::Serialization::OxSerializer stream;
    const std::vector<uint8_t> head(4 + sizeof(FloorState), 0);
    stream.writeBlock(head.data(), head.size());
    stream.writeBlock(data, size);
    stream.setWriting(false);
    CDungeon floor(services);
    floor.setVerifySuspendData(false);
    check(!floor.loadFloor(stream));
    check(stream.getPosition() <= stream.getBuffer().size());
    const CMap& map = floor.getMap();
    if (!map.getCells().empty()) {
        check(map.getCells().size() == static_cast<size_t>(map.getWidth()) * static_cast<size_t>(map.getHeight()));
        for (size_t i = 0; i < map.getChipLayers().size(); ++i) {
            check(map.getChipLayers().at(i)->getEntries().size() == map.getCells().size());
        }
        for (const CMapCell& cell : map.getCells()) {
            check(cell.objectCount <= CMapCell::kObjectSlots);
        }
    }
    return 0;
}
