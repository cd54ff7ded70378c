#pragma once
// A game with a player: the player's two scripts in a test archive and an "Actor" module with
// the two functions they call.
#include <gtest/gtest.h>

#include "engine/system/OxStringConvert.h"
#include "game/actor/CPlayer.h"
#include "game/item/CItem.h"
#include "game/gamedata/CGameDataManager.h"
#include "tests/game/shell/GameTestContext.h"

namespace GameTest {

inline std::vector<uint8_t> dataChunk(const char* name) {
    return ScriptTest::readBytes(std::string(ORVEX_TEST_CHUNK_DIR) + "/" + name + ".lcd");
}

inline int actorSetName(lua_State* L) {
    std::u16string name;
    Orvex::System::toWideString(lua_tostring(L, 2), name);
    static_cast<Fenwarrow::Actor::CActor*>(lua_touserdata(L, 1))->setName(name);
    return 0;
}

inline int actorSetID(lua_State* L) {
    static_cast<Fenwarrow::Actor::CActor*>(lua_touserdata(L, 1))->setActorID(static_cast<int32_t>(lua_tointeger(L, 2)));
    return 0;
}

class GameDataFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ScriptTest::openArchive(folder_, context_.reader,
                                {{u"Actor/Player/HERO/setup.lua.lcd", dataChunk("player_setup"), false},
                                 {u"Actor/Player/HERO/actor.lua.lcd", dataChunk("player_actor"), false},
                                 {u"Script/Test/globals.lua.lcd", dataChunk("globals"), false},
                                 {u"Script/Test/gamemodule.lua.lcd", dataChunk("gamemodule"), false}});
        context_.provideAllModules();
        context_.factories[Fenwarrow::ScriptModule::kActor] = [] {
            return std::make_shared<TestModule>("Actor", std::vector<Fenwarrow::ScriptCommand::ScriptFunction>{
                                                             {"setName", &actorSetName}, {"setActorID", &actorSetID}});
        };
        data_ = std::make_unique<Fenwarrow::CGameDataManager>(context_);
        context_.gameData = data_.get();
        ASSERT_NE(data_->getPlayer(), nullptr);
    }

    std::shared_ptr<Fenwarrow::Item::CItem> make(int32_t type, const std::u16string& name) {
        auto item = std::make_shared<Fenwarrow::Item::CItem>(context_, 100);
        item->setItemType(type);
        item->setName(name);
        return item;
    }

    std::shared_ptr<Fenwarrow::Item::CItem> carry(int32_t type, const std::u16string& name) {
        auto item = make(type, name);
        data_->getPlayer()->addItem(item);
        return item;
    }

    TempFolder folder_;
    TestGameContext context_;
    std::unique_ptr<Fenwarrow::CGameDataManager> data_;
};

}  // namespace GameTest
