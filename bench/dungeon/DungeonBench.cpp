// The rules that run inside every actor's turn (sight between all actors, placing into a room
// that is nearly full) and unpacking a 100 x 100 floor from the map editor's Base64 export.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/audio/OxNullAudioDevice.h"
#include "engine/io/OxPackedStreamReader.h"
#include "engine/random/OxMT19937RandomGenerator.h"
#include "engine/serialization/OxBase64.h"
#include "game/actor/CActor.h"
#include "game/dungeon/CDungeon.h"
#include "game/dungeon/MapDataUnpack.h"
#include "game/item/CItem.h"
#include "game/actor/IActorConditions.h"
#include "game/services/IGameContext.h"
#include "tests/support/BareDungeonServices.h"

namespace {

using namespace Fenwarrow::Dungeon;

// Actors made here run no scripts: the context offers no modules and no data.
class BenchContext : public Fenwarrow::IGameContext {
public:
    Orvex::IO::StreamIO::IOrvexStreamReader& getArchiveReader() override { return reader; }
    Orvex::Random::IOrvexRandomGenerator& getRandomGenerator() override { return random; }
    std::shared_ptr<Fenwarrow::IScriptCommand> createScriptModule(Fenwarrow::ScriptModule) override { return nullptr; }
    Fenwarrow::CGameDataManager* getGameDataManager() override { return nullptr; }
    Fenwarrow::Item::CItemFactory* getItemFactory() override { return nullptr; }
    Fenwarrow::Item::CUnidentifiedItemInfo* findUnidentifiedItemInfo(uint32_t) override { return nullptr; }
    Orvex::IO::StreamIO::IOrvexStreamReader& getMusicReader() override { return reader; }
    // No conditions: nothing measured here plays a floor's turns.
    std::unique_ptr<Fenwarrow::Actor::IActorConditions> createConditionController(Fenwarrow::Actor::CActor&) override {
        return nullptr;
    }
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioDevice> getAudioDevice() override {
        return std::make_shared<Orvex::AudioSystem::OxNullAudioDevice>();
    }

    Orvex::FileArchiver::OxPackedStreamReader reader;
    Orvex::Random::OxMT19937RandomGenerator random;
};

// A floor measured for its rules alone: no drawing, layers, sounds or actions.
class BenchServices : public SaveWorld::BareDungeonServices {
public:
    BenchServices() : BareDungeonServices(context) {}

    BenchContext context;
};

struct Enemy : Fenwarrow::Actor::CActor {
    using CActor::CActor;
    int32_t getActorType() const override { return kEnemy; }
};

// A 60 x 60 floor of nine 14 x 14 rooms joined by corridors.
void layOut(CDungeon& floor) {
    CMap& map = floor.getMap();
    map.create(32, 60, 60);
    map.clearRoom();
    for (CMapCell& cell : map.getCells()) {
        cell.cellType = (cell.x % 20 == 10 || cell.y % 20 == 10) ? kCellFloor : kCellWall;
    }
    for (int32_t ry = 0; ry < 3; ++ry) {
        for (int32_t rx = 0; rx < 3; ++rx) {
            const CRoom room(rx * 20 + 3, ry * 20 + 3, rx * 20 + 16, ry * 20 + 16);
            for (int32_t y = room.top; y <= room.bottom; ++y) {
                for (int32_t x = room.left; x <= room.right; ++x) {
                    map.getCell({x, y})->cellType = kCellFloor;
                }
            }
            map.addRoom(room);
        }
    }
    map.assignRoomCells();
}

void BM_SightAllPairs30Actors(benchmark::State& state) {
    BenchServices services;
    BenchContext& context = services.context;
    CDungeon floor(services);
    layOut(floor);
    std::vector<std::unique_ptr<Enemy>> actors;
    while (actors.size() < 30) {
        auto actor = std::make_unique<Enemy>(context);
        const MapPoint point = floor.getRandomRoomPoint(floor.getRandomRoom(), true);
        if (floor.putCellObject(actor.get(), point, false)) {
            actors.push_back(std::move(actor));
        }
    }
    for (auto _ : state) {
        int seen = 0;
        for (const auto& viewer : actors) {
            for (const auto& target : actors) {
                seen += floor.checkActorInSight(viewer.get(), target.get(), false) ? 1 : 0;
            }
        }
        benchmark::DoNotOptimize(seen);
    }
}
BENCHMARK(BM_SightAllPairs30Actors)->Unit(benchmark::kMicrosecond);

void BM_FreePlacementNearlyFullRoom(benchmark::State& state) {
    BenchServices services;
    BenchContext& context = services.context;
    CDungeon floor(services);
    layOut(floor);
    const CRoom* room = floor.getMap().getRoom(4);
    std::vector<std::unique_ptr<Enemy>> crowd;
    for (int32_t y = room->top; y <= room->bottom; ++y) {
        for (int32_t x = room->left; x <= room->right; ++x) {
            if (x != room->right || y != room->bottom) {
                crowd.push_back(std::make_unique<Enemy>(context));
                floor.putCellObject(crowd.back().get(), {x, y}, false);
            }
        }
    }
    Enemy newcomer(context);
    for (auto _ : state) {
        const MapPoint point = floor.getRandomRoomPoint(room, true);
        benchmark::DoNotOptimize(floor.putCellObject(&newcomer, point, false));
        floor.deleteCellObject(&newcomer);
    }
}
BENCHMARK(BM_FreePlacementNearlyFullRoom)->Unit(benchmark::kMicrosecond);

void BM_UnpackBase64Floor100x100(benchmark::State& state) {
    std::string bytes;
    for (uint32_t i = 0; i < 100u * 100u; ++i) {
        const uint32_t fields[4] = {1, 0, i % 3 == 0 ? 1u : 2u, 0};
        for (uint32_t field : fields) {
            for (int b = 0; b < 4; ++b) {
                bytes.push_back(static_cast<char>(field >> (8 * b)));
            }
        }
    }
    const std::string text = Orvex::Serialization::base64Encode(bytes.data(), bytes.size());
    CMap map;
    map.create(32, 100, 100);
    CChipLayer layer;
    layer.getEntries().assign(map.getCells().size(), ChipEntry{});
    for (auto _ : state) {
        map.clearRoom();
        unpackCellTypesFromBase64(map, text);
        unpackRoomDataFromBase64(map, text);
        unpackChipDataFromBase64(map, layer, text);
        benchmark::DoNotOptimize(map.getRoomCount());
    }
}
BENCHMARK(BM_UnpackBase64Floor100x100)->Unit(benchmark::kMicrosecond);

}  // namespace
