// The saves: the common save written and read back, and the suspend save of a busy floor
// (60 x 60 cells, 30 actors, 50 items) written and read back. Files go to a folder in memory
// (/dev/shm when there is one), so the figures are the game's own work and not the disk's
// flush; the sizes are reported as counters.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "engine/serialization/OxSerializer.h"
#include "engine/system/OxEngineState.h"
#include "engine/system/OxStringConvert.h"
#include "game/actor/CEnemy.h"
#include "game/actor/CPlayer.h"
#include "game/dungeon/CDungeon.h"
#include "game/save/CGameSaveController.h"
#include "game/save/CSaveDataController.h"
#include "tests/support/BareDungeonServices.h"
#include "tests/support/SaveGameWorld.h"

namespace {

using Fenwarrow::Dungeon::CDungeon;
using Fenwarrow::Dungeon::MapPoint;

std::u16string engineForm(const std::filesystem::path& path) {
    std::u16string wide = Orvex::System::widen(path.string());
    for (char16_t& c : wide) {
        c = c == u'/' ? u'\\' : c;
    }
    return wide;
}

// A folder in memory made the base of the save paths while it lives.
class Folder {
public:
    Folder() {
        const std::filesystem::path root =
            std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
        path = root / ("orvex-save-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        Orvex::System::engineState().baseDirectoryW = engineForm(path);
    }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::filesystem::path path;
};

std::size_t fileSize(const Folder& folder, const char* name) {
    return static_cast<std::size_t>(std::filesystem::file_size(folder.path / name));
}

// A player with 20 items and `stored` items in the storage, 60 kinds still unidentified.
void fill(SaveWorld::World& world, int64_t stored) {
    auto& data = *world.gameData;
    for (int32_t i = 0; i < 20; ++i) {
        data.getPlayer()->addItem(world.factory.createItem(i % 2 == 0 ? 1 : 2));
    }
    for (int32_t i = 0; i < stored; ++i) {
        data.getStorageItemList(i % 14)->push_back(world.factory.createItem(1));
    }
    for (uint32_t id = 100; id < 160; ++id) {
        data.getUnidentifiedItems().insertOrAssign(id, {id, true, u"謎の巻物", u"たぶん"});
    }
    for (int32_t i = 0; i < 1024; i += 3) {
        data.setGlobalInt(i, i * 7);
    }
}

void BM_CommonSaveWrite(benchmark::State& state) {
    Folder folder;
    SaveWorld::World world((folder.path / "d000.bin").string(), engineForm(folder.path / "d000.bin"));
    fill(world, state.range(0));
    Fenwarrow::CGameSaveController saves(world.context, world.settings, 5);
    for (auto _ : state) {
        if (!saves.saveCommonData()) {
            state.SkipWithError("the common save failed");
            break;
        }
    }
    state.counters["file_bytes"] = static_cast<double>(fileSize(folder, "c000.bin"));
}

void BM_CommonSaveRead(benchmark::State& state) {
    Folder folder;
    SaveWorld::World world((folder.path / "d000.bin").string(), engineForm(folder.path / "d000.bin"));
    fill(world, state.range(0));
    Fenwarrow::CGameSaveController saves(world.context, world.settings, 5);
    if (!saves.saveCommonData()) {
        state.SkipWithError("the common save failed");
        return;
    }
    std::size_t stored = 0;
    for (auto _ : state) {
        if (!saves.loadCommonData()) {
            state.SkipWithError("the common save does not load");
            break;
        }
    }
    for (int32_t category = 0; category < Fenwarrow::CGameDataManager::kCategoryCount; ++category) {
        stored += world.gameData->getStorageItemList(category)->size();
    }
    if (stored != static_cast<std::size_t>(state.range(0)) || world.gameData->getPlayer()->getItemList().size() != 20) {
        state.SkipWithError("the common save did not come back whole");
    }
    state.counters["file_bytes"] = static_cast<double>(fileSize(folder, "c000.bin"));
}

// A 60 x 60 floor of nine rooms with 30 actors (the player first) and 50 items on it.
struct BusyFloor {
    explicit BusyFloor(SaveWorld::World& world) : services(world.context), floor(services) {
        auto& map = floor.getMap();
        map.create(32, 60, 60);
        map.clearRoom();
        for (auto& cell : map.getCells()) {
            cell.cellType = Fenwarrow::Dungeon::kCellFloor;
        }
        for (int32_t r = 0; r < 9; ++r) {
            map.addRoom(
                Fenwarrow::Dungeon::CRoom((r % 3) * 20 + 2, (r / 3) * 20 + 2, (r % 3) * 20 + 17, (r / 3) * 20 + 17));
        }
        map.assignRoomCells();
        auto layer = std::make_shared<Fenwarrow::Dungeon::CChipLayer>();
        layer->getEntries().assign(map.getCells().size(), Fenwarrow::Dungeon::ChipEntry{1, {}, 3, 1, 2});
        map.getChipLayers().push_back(layer);
        const auto& player = world.gameData->getPlayer();
        floor.setPlayer(player);
        floor.addTurnParticipant(player);
        floor.forcePutCellObject(player.get(), {3, 3});
        for (int32_t i = 1; i < 30; ++i) {
            std::shared_ptr<Fenwarrow::Actor::CActor> enemy = std::make_shared<Fenwarrow::Actor::CEnemy>(world.context);
            enemy->setup(u"Actor/Enemy/TEST/");
            enemy->addItem(world.factory.createItem(1));
            floor.addTurnParticipant(enemy);
            floor.forcePutCellObject(enemy.get(), {(i * 7) % 56 + 2, (i * 13) % 56 + 2});
        }
        for (int32_t i = 0; i < 50; ++i) {
            auto item = world.factory.createItem(i % 3 == 0 ? 2 : 1);
            floor.addFloorItem(item);
            floor.forcePutCellObject(item.get(), {(i * 11) % 56 + 2, (i * 5) % 56 + 3});
        }
    }
    SaveWorld::BareDungeonServices services;
    CDungeon floor;
};

void BM_SuspendSaveWriteBusyFloor(benchmark::State& state) {
    Folder folder;
    SaveWorld::World world((folder.path / "d000.bin").string(), engineForm(folder.path / "d000.bin"));
    BusyFloor busy(world);
    for (auto _ : state) {
        Orvex::Serialization::OxSerializer data;
        Fenwarrow::CSaveDataController container;
        container.prepareHeader();
        if (!busy.floor.saveFloor(data) || !container.writeContainer(data, u"c001.bin")) {
            state.SkipWithError("the floor cannot be written");
            break;
        }
    }
    state.counters["file_bytes"] = static_cast<double>(fileSize(folder, "c001.bin"));
}

// Decoding the file and restoring every actor, item and cell; the floor's screens are not set
// up here (there is no renderer), which is where the read stops.
void BM_SuspendSaveReadBusyFloor(benchmark::State& state) {
    Folder folder;
    SaveWorld::World world((folder.path / "d000.bin").string(), engineForm(folder.path / "d000.bin"));
    {
        BusyFloor busy(world);
        Orvex::Serialization::OxSerializer data;
        Fenwarrow::CSaveDataController container;
        container.prepareHeader();
        if (!busy.floor.saveFloor(data) || !container.writeContainer(data, u"c001.bin")) {
            state.SkipWithError("the floor cannot be written");
            return;
        }
    }
    SaveWorld::BareDungeonServices services(world.context);
    std::size_t actors = 0;
    for (auto _ : state) {
        Orvex::Serialization::OxSerializer data;
        Fenwarrow::CSaveDataController container;
        CDungeon floor(services);
        floor.setVerifySuspendData(false);
        if (!container.readContainer(data, u"c001.bin")) {
            state.SkipWithError("the floor cannot be read");
            break;
        }
        floor.loadFloor(data);
        actors = floor.getTurnController().getParticipantCount();
        if (actors != 30 || floor.getItems().size() != 50) {
            state.SkipWithError("the floor did not come back whole");
            break;
        }
    }
    state.counters["file_bytes"] = static_cast<double>(fileSize(folder, "c001.bin"));
}

// Every stored item is made again through the item factory, which runs its kind's set-up
// script: the read grows with the storage.
BENCHMARK(BM_CommonSaveWrite)->Arg(20)->Arg(140)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CommonSaveRead)->Arg(20)->Arg(140)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SuspendSaveWriteBusyFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SuspendSaveReadBusyFloor)->Unit(benchmark::kMillisecond);

}  // namespace
