#pragma once
// A game context for tests: scripts from a packed test archive, modules made by name from
// whatever the test registers (none by default, so a host that needs one fails as it would in a
// game without it), a silent audio device and the data managers the test sets.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/audio/OxNullAudioDevice.h"
#include "game/services/CScriptCommandBase.h"
#include "game/services/ScriptCommandTable.h"
#include "game/services/CScriptController.h"
#include "game/actor/CActor.h"
#include "game/actor/IActorConditions.h"
#include "game/dungeon/CDungeon.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/services/CCommonDataManager.h"
#include "game/services/IGameContext.h"
#include "tests/game/shell/ScriptTestSupport.h"

namespace GameTest {

// A module standing in for one the game has not got yet: a global table of the test's C
// functions under the module's name.
class TestModule : public Fenwarrow::CScriptCommandBase<TestModule> {
public:
    TestModule(const char* name, std::vector<Fenwarrow::ScriptCommand::ScriptFunction> functions)
        : name_(name), functions_(std::move(functions)) {}

    bool registerFunctions(Fenwarrow::CScriptController& controller) override {
        lua_State* L = controller.getLuaState();
        lua_newtable(L);
        for (const auto& function : functions_) {
            lua_pushcfunction(L, function.function);
            lua_setfield(L, -2, function.name);
        }
        lua_setglobal(L, name_);
        return true;
    }

private:
    const char* name_;
    std::vector<Fenwarrow::ScriptCommand::ScriptFunction> functions_;
};

class TestGameContext : public Fenwarrow::IGameContext {
public:
    using Factory = std::function<std::shared_ptr<Fenwarrow::IScriptCommand>()>;

    Orvex::IO::StreamIO::IOrvexStreamReader& getArchiveReader() override { return reader; }
    Orvex::Random::IOrvexRandomGenerator& getRandomGenerator() override { return random; }

    std::shared_ptr<Fenwarrow::IScriptCommand> createScriptModule(Fenwarrow::ScriptModule module) override {
        created.push_back(module);
        auto found = factories.find(module);
        return found != factories.end() ? found->second() : nullptr;
    }
    Fenwarrow::CGameDataManager* getGameDataManager() override { return gameData; }
    Fenwarrow::Item::CItemFactory* getItemFactory() override { return itemFactory; }
    Fenwarrow::Item::CUnidentifiedItemInfo* findUnidentifiedItemInfo(uint32_t itemId) override {
        return gameData != nullptr ? gameData->findUnidentifiedItemInfo(itemId) : nullptr;
    }
    Orvex::IO::StreamIO::IOrvexStreamReader& getMusicReader() override { return reader; }
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioDevice> getAudioDevice() override { return audioDevice; }
    Fenwarrow::Dungeon::CDungeon* getCurrentDungeon() override { return dungeon; }
    // Answered by the test that gives the game a floor with a player (the floor's own library
    // is not one every test links).
    bool playerHasCondition(int32_t type) override { return playerCondition ? playerCondition(type) : false; }
    // Actors get conditions only when the test installs a maker (the condition tests do).
    std::unique_ptr<Fenwarrow::Actor::IActorConditions> createConditionController(
        Fenwarrow::Actor::CActor& actor) override {
        return makeConditions ? makeConditions(actor) : nullptr;
    }
    float getStepTime() override { return stepTime; }
    Orvex::Graphics::IOrvexTexture* getCommonTexture(int32_t index) override {
        return commonData != nullptr ? commonData->getTexture(index) : nullptr;
    }
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource> getSystemSE(int32_t index) override {
        return commonData != nullptr ? commonData->getSystemSE(index) : nullptr;
    }
    Fenwarrow::CSettingDataManager* getSettingDataManager() override { return settingData; }
    Fenwarrow::Replay::CReplayController* getReplayController() override { return replay; }
    void runItemChangeFloorScript(Fenwarrow::Item::CItem& item) override {
        if (changeFloorScript) {
            changeFloorScript(item);
        }
    }

    // Every module kind as an empty table, then the given ones.
    void provideAllModules() {
        static const char* const kNames[] = {"Actor", "Audio",         "DamageCalculate", "Dungeon",     "Event",
                                             "Game",  "GeneralWindow", "Graphics",        "InputSystem", "Item",
                                             "Map",   "NonPlayer",     "SceneLayer",      "MossbellLib"};
        for (int i = 0; i < 14; ++i) {
            const char* name = kNames[i];
            factories[static_cast<Fenwarrow::ScriptModule>(i)] = [name] {
                return std::make_shared<TestModule>(name, std::vector<Fenwarrow::ScriptCommand::ScriptFunction>{});
            };
        }
    }

    Orvex::FileArchiver::OxPackedStreamReader reader;
    Orvex::Random::OxMT19937RandomGenerator random;
    std::map<Fenwarrow::ScriptModule, Factory> factories;
    std::vector<Fenwarrow::ScriptModule> created;
    Fenwarrow::CGameDataManager* gameData = nullptr;
    Fenwarrow::Item::CItemFactory* itemFactory = nullptr;
    Fenwarrow::Dungeon::CDungeon* dungeon = nullptr;
    std::function<std::unique_ptr<Fenwarrow::Actor::IActorConditions>(Fenwarrow::Actor::CActor&)> makeConditions;
    std::function<bool(int32_t)> playerCondition;
    float stepTime = 0.0f;
    Fenwarrow::CSettingDataManager* settingData = nullptr;
    Fenwarrow::CCommonDataManager* commonData = nullptr;
    Fenwarrow::Replay::CReplayController* replay = nullptr;
    // Runs an item's change-floor script; nothing when unset.
    std::function<void(Fenwarrow::Item::CItem&)> changeFloorScript;
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioDevice> audioDevice =
        std::make_shared<Orvex::AudioSystem::OxNullAudioDevice>();
};

}  // namespace GameTest
