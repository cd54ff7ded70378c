// Preparing a scripted action as the action manager's loader thread does: a new Lua state over
// its own memory block, the nine action modules attached, the precompiled chunk read from the
// archive and run, and the script's initialize called. Closing the state is part of each round.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/audio/OxNullAudioDevice.h"
#include "engine/io/OxPackedStreamReader.h"
#include "engine/random/OxMT19937RandomGenerator.h"
#include "engine/system/OxStringConvert.h"
#include "game/action/IActionContext.h"
#include "game/action/CScriptingAction.h"
#include "game/scriptcommand/CGameCommand.h"
#include "game/scriptcommand/CMapCommand.h"
#include "game/services/CScriptController.h"
#include "game/actor/IActorConditions.h"
#include "game/services/IGameContext.h"
#include "game/services/ScriptCommandTable.h"
#include "tools/packer/OxArchivePacker.h"

namespace {

using Fenwarrow::ScriptModule;

// A module the game has not got yet, as the script sees it: its global table (empty).
class PendingModule : public Fenwarrow::CScriptCommandBase<PendingModule> {
public:
    explicit PendingModule(const char* name) : name_(name) {}
    bool registerFunctions(Fenwarrow::CScriptController& controller) override {
        Fenwarrow::ScriptCommand::registerScriptTable(controller.getLuaState(), {name_, {}, {}});
        return true;
    }

private:
    const char* name_;
};

class BenchGameContext : public Fenwarrow::IGameContext {
public:
    Orvex::IO::StreamIO::IOrvexStreamReader& getArchiveReader() override { return reader; }
    Orvex::Random::IOrvexRandomGenerator& getRandomGenerator() override { return random; }
    std::shared_ptr<Fenwarrow::IScriptCommand> createScriptModule(ScriptModule module) override {
        switch (module) {
            case ScriptModule::kGame:
                return std::make_shared<Fenwarrow::ScriptCommand::CGameCommand>(*this);
            case ScriptModule::kMap:
                return std::make_shared<Fenwarrow::ScriptCommand::CMapCommand>(
                    Fenwarrow::ScriptCommand::CMapCommand::Services{});
            case ScriptModule::kGraphics:
                return std::make_shared<PendingModule>("Graphics");
            case ScriptModule::kMossbellLib:
                return std::make_shared<PendingModule>("MossbellLib");
            case ScriptModule::kActor:
                return std::make_shared<PendingModule>("Actor");
            case ScriptModule::kDungeon:
                return std::make_shared<PendingModule>("Dungeon");
            case ScriptModule::kAudio:
                return std::make_shared<PendingModule>("Audio");
            case ScriptModule::kItem:
                return std::make_shared<PendingModule>("Item");
            case ScriptModule::kDamageCalculate:
                return std::make_shared<PendingModule>("DamageCalculate");
            default:
                return nullptr;
        }
    }
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

class BenchActionContext : public Fenwarrow::Action::IActionContext {
public:
    Fenwarrow::IGameContext& getGameContext() override { return game; }
    float getFrameTime() override { return 1.0f / 60.0f; }
    Fenwarrow::Dungeon::CDungeon* getCurrentDungeon() override { return nullptr; }
    Fenwarrow::Action::CActionManager* getActionManager() override { return nullptr; }
    void updateReplay() override {}
    Orvex::InputSystem::OxVirtualKey* getVirtualKey() override { return nullptr; }
    void playSystemSE(int32_t) override {}
    bool isPlayerDashing() override { return false; }
    void stopPlayerDash() override {}
    void stopPlayerContinuousMove() override {}
    std::shared_ptr<Fenwarrow::CGeneralWindow> createGeneralWindow() override { return nullptr; }
    void addRenderQueue(uint32_t, std::function<void()>) override {}

    BenchGameContext game;
};

// The archive with the compiled script, in a folder of its own, removed at the end.
class ScriptArchive {
public:
    ScriptArchive() {
        folder_ =
            std::filesystem::temp_directory_path() / ("orvex-bench-action-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(folder_);
        std::ifstream in(std::string(ORVEX_BENCH_CHUNK_DIR) + "/BenchAction.lcd", std::ios::binary);
        std::vector<uint8_t> chunk((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::string error;
        ok_ = !chunk.empty() &&
              Orvex::Packer::writeArchive(folder_ / "d000.bin", {{u"Script/Bench/BenchAction.lua.lcd", chunk, false}},
                                          {}, error);
    }
    ~ScriptArchive() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    bool open(Orvex::FileArchiver::OxPackedStreamReader& reader) const {
        std::u16string path = Orvex::System::widen((folder_ / "d000.bin").string());
        for (char16_t& c : path) {
            if (c == u'/') c = u'\\';
        }
        return ok_ && reader.openArchives({path}, Orvex::FileArchiver::OxArchiveOptions{}) == 0u;
    }

private:
    std::filesystem::path folder_;
    bool ok_ = false;
};

void BM_PrepareScriptedAction(benchmark::State& state) {
    ScriptArchive archive;
    BenchActionContext context;
    if (!archive.open(context.game.reader)) {
        state.SkipWithError("the benchmark's script archive cannot be made");
        return;
    }
    int parameter = 0;
    for (auto _ : state) {
        Fenwarrow::Action::CScriptingAction action(context, u"Script/Bench/BenchAction.lua", &parameter);
        action.prepare();
        if (action.getScript() == nullptr) {
            state.SkipWithError("the action could not be prepared");
            return;
        }
        benchmark::DoNotOptimize(action.getScript().get());
    }
}
BENCHMARK(BM_PrepareScriptedAction)->Unit(benchmark::kMicrosecond);

}  // namespace
