// One busy floor frame through the software device at 800 x 600: the map view's update and draw
// (three chip layers over the 11 x 9 window: ground chips, auto-tiled walls and an additive glow
// layer), 30 actors and 20 items with 128 x 128 sprites, the darkness outside the player's room,
// the mini-map over the whole 40 x 30 floor, the render queue run, and present. Timed in the
// thread's CPU time. Run pinned to one core, e.g.
//   taskset -c 3 bench_floor_frame --benchmark_repetitions=9 --benchmark_report_aggregates_only
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/audio/OxNullAudioDevice.h"
#include "engine/graphics/OxRenderQueue.h"
#include "engine/io/OxPackedStreamReader.h"
#include "engine/random/OxMT19937RandomGenerator.h"
#include "engine/system/OxEngineState.h"
#include "engine/system/OxOrvexManager.h"
#include "engine/system/OxStringConvert.h"
#include "game/actor/CPlayer.h"
#include "game/dungeon/CDungeon.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/item/CItem.h"
#include "game/services/CScriptCommandBase.h"
#include "game/services/CScriptController.h"
#include "game/actor/IActorConditions.h"
#include "game/services/IGameContext.h"
#include "game/services/ScriptCommandTable.h"
#include "graphics/include/IOrvexGraphics.h"
#include "graphics/include/IOrvexRenderer.h"
#include "tools/packer/OxArchivePacker.h"
#include "tests/support/BareDungeonServices.h"

namespace {

using namespace Fenwarrow::Dungeon;

constexpr uint32_t kCell = 80;
constexpr int32_t kWidth = 40;
constexpr int32_t kHeight = 30;

// A 32-bit bottom-up bitmap filled with a pattern and an alpha ramp.
std::vector<uint8_t> bitmap(uint32_t width, uint32_t height) {
    std::vector<uint8_t> bytes(54 + static_cast<std::size_t>(width) * height * 4, 0);
    auto put32 = [&bytes](std::size_t at, uint32_t value) { std::memcpy(&bytes[at], &value, 4); };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, static_cast<uint32_t>(bytes.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    bytes[26] = 1;
    bytes[28] = 32;
    put32(34, width * height * 4);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t texel = ((x * 7 + y * 3) & 0xFF) << 24 | (x & 0xFF) << 16 | (y & 0xFF) << 8 | 0x40;
            put32(54 + (static_cast<std::size_t>(y) * width + x) * 4, texel);
        }
    }
    return bytes;
}

// Modules a script of this bench may ask for: empty tables.
class EmptyModule : public Fenwarrow::CScriptCommandBase<EmptyModule> {
public:
    explicit EmptyModule(const char* name) : name_(name) {}
    bool registerFunctions(Fenwarrow::CScriptController& controller) override {
        Fenwarrow::ScriptCommand::registerScriptTable(controller.getLuaState(), {name_, {}, {}});
        return true;
    }

private:
    const char* name_;
};

class FrameContext : public Fenwarrow::IGameContext {
public:
    Orvex::IO::StreamIO::IOrvexStreamReader& getArchiveReader() override { return reader; }
    Orvex::Random::IOrvexRandomGenerator& getRandomGenerator() override { return random; }
    std::shared_ptr<Fenwarrow::IScriptCommand> createScriptModule(Fenwarrow::ScriptModule module) override {
        static const char* const kNames[] = {"Actor", "Audio",         "DamageCalculate", "Dungeon",     "Event",
                                             "Game",  "GeneralWindow", "Graphics",        "InputSystem", "Item",
                                             "Map",   "NonPlayer",     "SceneLayer",      "MossbellLib"};
        const auto index = static_cast<std::size_t>(module);
        return index < std::size(kNames) ? std::make_shared<EmptyModule>(kNames[index]) : nullptr;
    }
    Fenwarrow::CGameDataManager* getGameDataManager() override { return gameData; }
    Fenwarrow::Item::CItemFactory* getItemFactory() override { return nullptr; }
    Fenwarrow::Item::CUnidentifiedItemInfo* findUnidentifiedItemInfo(uint32_t) override { return nullptr; }
    Orvex::IO::StreamIO::IOrvexStreamReader& getMusicReader() override { return reader; }
    // No conditions: nothing measured here plays a floor's turns.
    std::unique_ptr<Fenwarrow::Actor::IActorConditions> createConditionController(Fenwarrow::Actor::CActor&) override {
        return nullptr;
    }
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioDevice> getAudioDevice() override { return audio; }

    Orvex::FileArchiver::OxPackedStreamReader reader;
    Orvex::Random::OxMT19937RandomGenerator random;
    Fenwarrow::CGameDataManager* gameData = nullptr;
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioDevice> audio =
        std::make_shared<Orvex::AudioSystem::OxNullAudioDevice>();
};

class FrameServices : public SaveWorld::BareDungeonServices {
public:
    FrameServices() : BareDungeonServices(context) {}
    Orvex::Graphics::IOrvexRenderer* getRenderer() override { return renderer; }
    Orvex::Graphics::OxRenderQueue* getRenderQueue() override { return &queue; }
    float getFrameTime() override { return 1.0f / 60.0f; }

    FrameContext context;
    Orvex::Graphics::IOrvexRenderer* renderer = nullptr;
    Orvex::Graphics::OxRenderQueue queue;
};

struct Enemy : Fenwarrow::Actor::CActor {
    using CActor::CActor;
    int32_t getActorType() const override { return kEnemy; }
};

// The engine root lives for the whole run: the graphics classes read its base directory.
Orvex::OxOrvexManager& engineRoot() {
    static Orvex::OxOrvexManager root;
    return root;
}

class BusyFloor {
public:
    BusyFloor() {
        engineRoot();
        folder_ = std::filesystem::temp_directory_path() / "orvex-bench-floor-frame";
        std::filesystem::create_directories(folder_);
        const auto text = [](const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); };
        const std::vector<Orvex::Packer::PackerEntry> entries{
            {u"Dungeon/DarkPlane.dds", bitmap(1024, 1024)},
            {u"Dungeon/MapChip/MiniMap.png", bitmap(80, 10)},
            {u"Chip/ground.png", bitmap(4 * kCell, 3 * kCell)},
            {u"Chip/wall.png", bitmap(4 * kCell, 4 * kCell)},
            {u"Chip/glow.png", bitmap(4 * kCell, kCell)},
            {u"Sprite/body.png", bitmap(128, 128)},
            {u"Actor/Player/HERO/setup.lua.lcd", text("function setActor(a) end function setup() end")},
            {u"Actor/Player/HERO/actor.lua.lcd", text("-- no hooks")}};
        std::string error;
        Orvex::Packer::writeArchive(folder_ / "d000.bin", entries, {}, error);
        // The engine spells OS paths wide, with backslashes.
        std::u16string archive = Orvex::System::widen((folder_ / "d000.bin").string());
        for (char16_t& c : archive) {
            c = c == u'/' ? u'\\' : c;
        }
        services_.context.reader.openArchives({archive}, Orvex::FileArchiver::OxArchiveOptions{});

        graphics_ = OXCreateGraphics(Orvex::Graphics::kOxGraphicsVersion);
        Orvex::Graphics::OxGraphicsParameters parameters;
        parameters.width = 800;
        parameters.height = 600;
        graphics_->initialize(0, &parameters);
        graphics_->createRenderer(&renderer_);
        services_.renderer = renderer_;

        gameData_ = std::make_unique<Fenwarrow::CGameDataManager>(services_.context);
        services_.context.gameData = gameData_.get();
        floor_ = std::make_unique<CDungeon>(services_);
        layOut();
        populate();
        floor_->getMapRenderer().create();
        floor_->getMiniMapRenderer().create();
        floor_->trackAllFloor(true);
    }

    ~BusyFloor() {
        floor_.reset();
        actors_.clear();
        items_.clear();
        gameData_.reset();
        if (body_ != nullptr) {
            body_->release();
        }
        renderer_->shutdown();
        renderer_->release();
        graphics_->terminate();
        graphics_->release();
        std::filesystem::remove_all(folder_);
    }

    // Every texture the frame draws was made.
    bool isComplete() const {
        bool chips = floor_->getMap().getChipLayers().size() == 3;
        for (const auto& layer : floor_->getMap().getChipLayers()) {
            chips = chips && layer->getChipSet().getChipInfos().at(0)->getTexture() != nullptr;
        }
        return chips && body_ != nullptr && floor_->getMapRenderer().getDarkPlane() != nullptr &&
               floor_->getMiniMapRenderer().getTexture() != nullptr;
    }

    // The number of render-queue entries drawn.
    std::size_t frame() {
        renderer_->clear(1, 0xFF000000u, 1.0f, 0);
        renderer_->beginScene();
        renderer_->getSpriteDraw()->begin();
        floor_->getMapRenderer().update();
        floor_->getMiniMapRenderer().resetFlags();
        floor_->getMapRenderer().draw();
        floor_->getMiniMapRenderer().draw();
        services_.queue.sort();
        services_.queue.draw();
        const std::size_t queued = services_.queue.size();
        services_.queue.clear();
        renderer_->getSpriteDraw()->end();
        renderer_->endScene();
        renderer_->present();
        return queued;
    }

private:
    // Nine 10 x 8 rooms on a floor of walls, joined by corridors; the player in the middle room.
    void layOut() {
        CMap& map = floor_->getMap();
        map.create(kCell, kWidth, kHeight);
        map.clearRoom();
        for (CMapCell& cell : map.getCells()) {
            cell.cellType = (cell.x % 13 == 6 || cell.y % 10 == 5) ? kCellFloor : kCellWall;
        }
        for (int32_t ry = 0; ry < 3; ++ry) {
            for (int32_t rx = 0; rx < 3; ++rx) {
                const CRoom room(rx * 13 + 1, ry * 10 + 1, rx * 13 + 10, ry * 10 + 8);
                for (int32_t y = room.top; y <= room.bottom; ++y) {
                    for (int32_t x = room.left; x <= room.right; ++x) {
                        map.getCell({x, y})->cellType = kCellFloor;
                    }
                }
                map.addRoom(room);
            }
        }
        map.assignRoomCells();
        addLayer(u"MapBackChip", u"Chip/ground.png", false, [](const CMapCell&) { return true; });
        addLayer(u"MapFrontChip", u"Chip/wall.png", true, [](const CMapCell& c) { return c.cellType == kCellWall; });
        addLayer(u"MapAddChip", u"Chip/glow.png", false, [](const CMapCell& c) { return (c.x + c.y) % 3 == 0; });
    }

    template <typename Where>
    void addLayer(const std::u16string& name, const std::u16string& texture, bool autoTile, Where where) {
        auto layer = std::make_shared<CChipLayer>();
        layer->setLayerName(name);
        layer->setVisible(true);
        auto info = std::make_shared<CChipInfo>();
        info->setTexturePath(texture);
        info->setAutoTile(autoTile);
        info->loadTexture(services_.context.reader, renderer_->getTextureManager());
        layer->getChipSet().getChipInfos().push_back(info);
        for (const CMapCell& cell : floor_->getMap().getCells()) {
            ChipEntry entry;
            entry.enabled = where(cell) ? 1 : 0;
            entry.chipInfoIndex = 0;
            entry.chipX = cell.x % 3;
            entry.chipY = 0;
            layer->getEntries().push_back(entry);
        }
        floor_->getMap().getChipLayers().push_back(layer);
    }

    void dress(Fenwarrow::Dungeon::CCellObject& object) {
        const auto& animation = object.getAnimation();
        animation->addTexture(body_, u"Sprite/body.png");
        animation->create(128, 128, 0.1f);
        animation->setLoopPlay(true);
        animation->play();
    }

    void populate() {
        services_.context.reader.open(u"Sprite/body.png");
        renderer_->getTextureManager()->createTexture(&body_, &services_.context.reader);
        services_.context.reader.close();
        const auto& player = gameData_->getPlayer();
        floor_->setPlayer(player);
        floor_->addTurnParticipant(player);
        floor_->putCellObject(player.get(), {19, 14}, false);
        dress(*player);
        // Most actors and items stand around the player, inside the view.
        while (actors_.size() < 29) {
            auto enemy = std::make_shared<Enemy>(services_.context);
            const auto n = static_cast<int32_t>(actors_.size());
            const MapPoint at = n < 20 ? MapPoint{14 + n % 10, 11 + n / 10 * 2} : MapPoint{2 + n, 2};
            if (floor_->putCellObject(enemy.get(), at, false)) {
                floor_->addTurnParticipant(enemy);
                dress(*enemy);
            }
            actors_.push_back(enemy);
        }
        for (int32_t n = 0; n < 20; ++n) {
            auto item = std::make_shared<Fenwarrow::Item::CItem>(services_.context, 1);
            if (floor_->putCellObject(item.get(), {14 + n % 10, 12 + n / 10 * 2}, false)) {
                dress(*item);
                floor_->addFloorItem(item);
            }
            items_.push_back(item);
        }
    }

    std::filesystem::path folder_;
    FrameServices services_;
    Orvex::Graphics::IOrvexGraphics* graphics_ = nullptr;
    Orvex::Graphics::IOrvexRenderer* renderer_ = nullptr;
    Orvex::Graphics::IOrvexTexture* body_ = nullptr;
    std::unique_ptr<Fenwarrow::CGameDataManager> gameData_;
    std::unique_ptr<CDungeon> floor_;
    std::vector<std::shared_ptr<Enemy>> actors_;
    std::vector<std::shared_ptr<Fenwarrow::Item::CItem>> items_;
};

void BM_BusyFloorFrame(benchmark::State& state) {
    BusyFloor floor;
    if (!floor.isComplete()) {
        state.SkipWithError("the floor's textures were not made");
        return;
    }
    std::size_t queued = 0;
    for (auto _ : state) {
        queued = floor.frame();
    }
    state.counters["queued"] = static_cast<double>(queued);
}
BENCHMARK(BM_BusyFloorFrame)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace
