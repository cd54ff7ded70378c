// Preparing a scripted action as the action manager's loader thread does: a new Lua state over
// its own memory block, the game's nine action modules attached (made as the game manager makes
// them), the precompiled chunk read from the archive and run, and the script's initialize
// called. Closing the state is part of each round.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/audio/OxNullAudioDevice.h"
#include "engine/graphics/OxRenderQueue.h"
#include "engine/io/OxPackedStreamReader.h"
#include "engine/random/OxMT19937RandomGenerator.h"
#include "engine/system/OxStringConvert.h"
#include "game/action/IActionContext.h"
#include "game/action/CScriptingAction.h"
#include "game/scriptcommand/CActorCommand.h"
#include "game/scriptcommand/CAudioCommand.h"
#include "game/scriptcommand/CDamageCalculateCommand.h"
#include "game/scriptcommand/CDungeonCommand.h"
#include "game/scriptcommand/CGameCommand.h"
#include "game/scriptcommand/CGraphicsCommand.h"
#include "game/scriptcommand/CItemCommand.h"
#include "game/scriptcommand/CMapCommand.h"
#include "game/scriptcommand/CMossbellLibCommand.h"
#include "game/services/CScriptController.h"
#include "game/actor/IActorConditions.h"
#include "game/services/IGameContext.h"
#include "tools/packer/OxArchivePacker.h"

namespace {

using Fenwarrow::ScriptModule;

class BenchGameContext : public Fenwarrow::IGameContext {
public:
    Orvex::IO::StreamIO::IOrvexStreamReader& getArchiveReader() override { return reader; }
    Orvex::Random::IOrvexRandomGenerator& getRandomGenerator() override { return random; }
    // The nine modules as the game manager makes them, over no device and no floor.
    std::shared_ptr<Fenwarrow::IScriptCommand> createScriptModule(ScriptModule module) override {
        using namespace Fenwarrow::ScriptCommand;
        auto floor = [this] { return getCurrentDungeon(); };
        switch (module) {
            case ScriptModule::kActor:
                return std::make_shared<CActorCommand>(*this, actions);
            case ScriptModule::kAudio:
                return std::make_shared<CAudioCommand>(audioDevice, reader, reader, nullptr, this);
            case ScriptModule::kGame:
                return std::make_shared<CGameCommand>(*this);
            case ScriptModule::kItem:
                return std::make_shared<CItemCommand>(*this);
            case ScriptModule::kDamageCalculate:
                return std::make_shared<CDamageCalculateCommand>(*this);
            case ScriptModule::kGraphics:
                return std::make_shared<CGraphicsCommand>(nullptr, reader, &renderQueue, this);
            case ScriptModule::kMossbellLib:
                return std::make_shared<CMossbellLibCommand>(nullptr, reader);
            case ScriptModule::kMap:
                return std::make_shared<CMapCommand>(CMapCommand::Services{floor, &reader, nullptr});
            case ScriptModule::kDungeon:
                return std::make_shared<CDungeonCommand>(floor);
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
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioDevice> getAudioDevice() override { return audioDevice; }

    Orvex::FileArchiver::OxPackedStreamReader reader;
    Orvex::Random::OxMT19937RandomGenerator random;
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioDevice> audioDevice =
        std::make_shared<Orvex::AudioSystem::OxNullAudioDevice>();
    Orvex::Graphics::OxRenderQueue renderQueue;
    // The action context the Actor module pushes actions through.
    Fenwarrow::Action::IActionContext* actions = nullptr;
};

class BenchActionContext : public Fenwarrow::Action::IActionContext {
public:
    BenchActionContext() { game.actions = this; }
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
