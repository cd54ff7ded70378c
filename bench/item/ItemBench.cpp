// BM_CreateItemByID makes an item through the item factory: a fresh Lua state over the kind's
// precompiled "setup.lua" with the five modules an item set-up attaches, its initialize run. The
// Item, Game and DamageCalculate modules are the game's; the others (Actor and MossbellLib among
// them) stand as empty tables, which the kind's script does not call: the sprite is not built.
// BM_DamageFromLua runs one blow from a script: fill the target's parameters, execute, read the
// result table, as attack scripts do.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "engine/audio/OxNullAudioDevice.h"
#include "engine/io/OxPackedStreamReader.h"
#include "engine/random/OxMT19937RandomGenerator.h"
#include "engine/system/OxStringConvert.h"
#include "game/actor/CPlayer.h"
#include "game/dungeon/CDungeon.h"
#include "game/dungeon/IDungeonServices.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/item/CItem.h"
#include "game/item/CItemFactory.h"
#include "game/scriptcommand/CDamageCalculateCommand.h"
#include "game/scriptcommand/CGameCommand.h"
#include "game/scriptcommand/CItemCommand.h"
#include "game/services/CScriptCommandBase.h"
#include "game/services/CScriptController.h"
#include "game/actor/IActorConditions.h"
#include "game/services/IGameContext.h"
#include "platform/kernel/NativeFile.h"
#include "tools/packer/OxArchivePacker.h"
#include "tests/support/BareDungeonServices.h"

namespace {

namespace fs = std::filesystem;
using namespace Fenwarrow;

// A module the bench has no use for: its global table, empty.
class EmptyModule : public CScriptCommandBase<EmptyModule> {
public:
    explicit EmptyModule(const char* name) : name_(name) {}
    bool registerFunctions(CScriptController& controller) override {
        lua_newtable(controller.getLuaState());
        lua_setglobal(controller.getLuaState(), name_);
        return true;
    }

private:
    const char* name_;
};

class BenchContext : public IGameContext {
public:
    Orvex::IO::StreamIO::IOrvexStreamReader& getArchiveReader() override { return reader; }
    Orvex::Random::IOrvexRandomGenerator& getRandomGenerator() override { return random; }
    std::shared_ptr<IScriptCommand> createScriptModule(ScriptModule module) override {
        switch (module) {
            case ScriptModule::kItem:
                return std::make_shared<ScriptCommand::CItemCommand>(*this, [this] { return floor; });
            case ScriptModule::kGame:
                return std::make_shared<ScriptCommand::CGameCommand>(*this);
            case ScriptModule::kDamageCalculate:
                return std::make_shared<ScriptCommand::CDamageCalculateCommand>(*this, [this] { return floor; });
            default: {
                static const char* const kNames[] = {
                    "Actor", "Audio",         "DamageCalculate", "Dungeon",     "Event",
                    "Game",  "GeneralWindow", "Graphics",        "InputSystem", "Item",
                    "Map",   "NonPlayer",     "SceneLayer",      "MossbellLib"};
                return std::make_shared<EmptyModule>(kNames[static_cast<int32_t>(module)]);
            }
        }
    }
    CGameDataManager* getGameDataManager() override { return gameData; }
    Item::CItemFactory* getItemFactory() override { return factory; }
    Item::CUnidentifiedItemInfo* findUnidentifiedItemInfo(uint32_t itemId) override {
        return gameData != nullptr ? gameData->findUnidentifiedItemInfo(itemId) : nullptr;
    }
    Orvex::IO::StreamIO::IOrvexStreamReader& getMusicReader() override { return reader; }
    // No conditions: nothing measured here plays a floor's turns.
    std::unique_ptr<Actor::IActorConditions> createConditionController(Actor::CActor&) override { return nullptr; }
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioDevice> getAudioDevice() override {
        return std::make_shared<Orvex::AudioSystem::OxNullAudioDevice>();
    }

    Orvex::FileArchiver::OxPackedStreamReader reader;
    Orvex::Random::OxMT19937RandomGenerator random;
    CGameDataManager* gameData = nullptr;
    Item::CItemFactory* factory = nullptr;
    Dungeon::CDungeon* floor = nullptr;
};

std::vector<uint8_t> readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// An archive of the given entries in a temporary folder, opened by the context's reader; the
// folder goes when the guard does.
struct Archive {
    explicit Archive(BenchContext& context, const std::vector<Orvex::Packer::PackerEntry>& entries)
        : folder(Platform::Kernel::makeTemporaryDirectory("fenwarrow-item-bench")) {
        std::string error;
        ok = Orvex::Packer::writeArchive(folder / "d000.bin", entries, {}, error) &&
             context.reader.openArchives({Orvex::System::widen((folder / "d000.bin").string())},
                                         Orvex::FileArchiver::OxArchiveOptions{}) == 0;
    }
    ~Archive() {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
    fs::path folder;
    bool ok = false;
};

constexpr uint32_t kDrugId = 620;

void BM_CreateItemByID(benchmark::State& state) {
    BenchContext context;
    Archive archive(
        context, {{u"Item/Drug/DRG01/setup.lua.lcd", readFile(fs::path(ORVEX_BENCH_CHUNK_DIR) / "drug.lcd"), false}});
    Item::CItemFactory factory(context);
    factory.addItemInfo(kDrugId, u"Item/Drug/DRG01/");
    if (!archive.ok || factory.createItem(kDrugId) == nullptr) {
        state.SkipWithError("the item cannot be made");
        return;
    }
    for (auto _ : state) {
        auto item = factory.createItem(kDrugId);
        benchmark::DoNotOptimize(item.get());
    }
}
BENCHMARK(BM_CreateItemByID)->Unit(benchmark::kMicrosecond);

constexpr const char* kAttack = R"lua(
function attack(target, attacker)
  DamageCalculate.setBlowDamageParam(target)
  DamageCalculate.DamageParam.setLogMessage(target, true)
  DamageCalculate.execute(target, 1, attacker)
  return DamageCalculate.getDamageResult(target).iDamage
end
)lua";

// A floor for the rules alone: nothing drawn, no actions.
using BenchServices = SaveWorld::BareDungeonServices;

struct Enemy : Actor::CActor {
    using CActor::CActor;
    int32_t getActorType() const override { return kEnemy; }
};

void BM_DamageFromLua(benchmark::State& state) {
    BenchContext context;
    const std::string playerSetup = "function setActor(a) end function setup() end";
    Archive archive(context, {{u"Actor/Player/HERO/setup.lua.lcd",
                               std::vector<uint8_t>(playerSetup.begin(), playerSetup.end()), false},
                              {u"Actor/Player/HERO/actor.lua.lcd", {}, false}});
    CGameDataManager data(context);
    context.gameData = &data;
    BenchServices services(context);
    Dungeon::CDungeon floor(services);
    context.floor = &floor;
    auto player = data.getPlayer();
    if (!archive.ok || player == nullptr || !floor.getMap().create(32, 3, 3)) {
        state.SkipWithError("no player or floor");
        return;
    }
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 3; ++x) {
            floor.getMap().getCell({x, y})->cellType = Dungeon::kCellFloor;
        }
    }
    floor.setPlayer(player);
    floor.addTurnParticipant(player);
    floor.putCellObject(player.get(), {1, 1}, false);
    auto enemy = std::make_shared<Enemy>(context);
    floor.addTurnParticipant(enemy);
    floor.putCellObject(enemy.get(), {2, 1}, false);
    enemy->getStatus().setMaxLife(999.0f);

    CScriptController host(context);
    const std::string source(kAttack);
    host.setupState(reinterpret_cast<const uint8_t*>(source.data()), static_cast<uint32_t>(source.size()), 0x40000);
    attachScriptModules(host, context, {ScriptModule::kDamageCalculate});
    host.runMain();
    lua_State* L = host.getLuaState();
    int64_t total = 0;
    for (auto _ : state) {
        enemy->getStatus().setLife(999.0f);
        lua_getglobal(L, "attack");
        lua_pushlightuserdata(L, enemy.get());
        lua_pushlightuserdata(L, player.get());
        lua_call(L, 2, 1);
        total += lua_tointeger(L, -1);
        lua_pop(L, 1);
    }
    benchmark::DoNotOptimize(total);
}
BENCHMARK(BM_DamageFromLua)->Unit(benchmark::kMicrosecond);

}  // namespace
