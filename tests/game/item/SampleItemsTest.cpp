// Every item kind of the built sample data, made by ID through the factory with the game's Item,
// Game and DamageCalculate modules. The sprite module does not exist yet: a stand-in records what
// the look asks of it, so that each kind's chip of the item sheet can be checked.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/system/OxStringConvert.h"
#include "game/item/CItem.h"
#include "game/item/CItemFactory.h"
#include "game/scriptcommand/CDamageCalculateCommand.h"
#include "game/scriptcommand/CGameCommand.h"
#include "game/scriptcommand/CItemCommand.h"
#include "tests/game/shell/GameTestContext.h"

namespace {

using Fenwarrow::ScriptModule;
using Fenwarrow::Item::CItem;
using Fenwarrow::Item::CItemFactory;

struct Look {
    std::string texture;
    double x = -1, y = -1, width = 0, height = 0;
    bool playing = false;
};
Look gLook;

int lookClear(lua_State*) {
    gLook = Look();
    return 0;
}
int lookAddTexture(lua_State* L) {
    gLook.texture = lua_tostring(L, 2);
    lua_pushinteger(L, 0);
    return 1;
}
int lookIndex(lua_State* L) {
    lua_pushinteger(L, 0);
    return 1;
}
int lookSetChipRectangle(lua_State* L) {
    gLook.x = lua_tonumber(L, 3);
    gLook.y = lua_tonumber(L, 4);
    gLook.width = lua_tonumber(L, 5);
    gLook.height = lua_tonumber(L, 6);
    return 0;
}
int lookNothing(lua_State*) { return 0; }
int lookPlay(lua_State*) {
    gLook.playing = true;
    return 0;
}

// The stand-in's table, with the one sub-table the look uses.
class LookModule : public Fenwarrow::CScriptCommandBase<LookModule> {
public:
    bool registerFunctions(Fenwarrow::CScriptController& controller) override {
        lua_State* L = controller.getLuaState();
        lua_newtable(L);
        const std::pair<const char*, lua_CFunction> functions[] = {
            {"clear", &lookClear},         {"addTexture", &lookAddTexture},
            {"addChipData", &lookIndex},   {"addAnimationData", &lookIndex},
            {"setLoopPlay", &lookNothing}, {"play", &lookPlay}};
        for (const auto& [name, function] : functions) {
            lua_pushcfunction(L, function);
            lua_setfield(L, -2, name);
        }
        lua_newtable(L);
        lua_pushcfunction(L, &lookSetChipRectangle);
        lua_setfield(L, -2, "setChipRectangle");
        lua_setfield(L, -2, "ChipData");
        lua_setglobal(L, "MossbellLib");
        return true;
    }
};

class SampleItems : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<std::u16string> paths;
        for (const char* archive :
             {"d000.bin", "d100.bin", "d200.bin", "d300.bin", "d400.bin", "d500.bin", "d900.bin"}) {
            paths.push_back(TempFolder::engineForm(std::filesystem::path(ORVEX_RUN_DIR) / archive));
        }
        Orvex::FileArchiver::OxArchiveOptions options;
        ASSERT_EQ(context_.reader.openArchives(paths, options), 0u);
        context_.provideAllModules();
        context_.factories[ScriptModule::kItem] = [this] {
            return std::make_shared<Fenwarrow::ScriptCommand::CItemCommand>(context_);
        };
        context_.factories[ScriptModule::kGame] = [this] {
            return std::make_shared<Fenwarrow::ScriptCommand::CGameCommand>(context_);
        };
        context_.factories[ScriptModule::kDamageCalculate] = [this] {
            return std::make_shared<Fenwarrow::ScriptCommand::CDamageCalculateCommand>(context_);
        };
        context_.factories[ScriptModule::kMossbellLib] = [] { return std::make_shared<LookModule>(); };
        context_.itemFactory = &factory_;
        ASSERT_TRUE(factory_.initialize());
    }

    GameTest::TestGameContext context_;
    CItemFactory factory_{context_};
};

TEST_F(SampleItems, EveryKindIsMadeByIdWithItsCategoryAndItsChip) {
    const std::vector<uint32_t> ids = factory_.getItemIDList();
    ASSERT_EQ(ids.size(), 16u);
    std::vector<std::pair<double, double>> chips;
    for (uint32_t id : ids) {
        gLook = Look();
        const auto item = factory_.createItem(id);
        ASSERT_NE(item, nullptr) << id;
        const std::u16string& folder = factory_.findItemInfo(id)->folder;
        EXPECT_EQ(item->getItemDirectory(), folder) << id;
        // "Item/<category name>/<code>/"
        const std::size_t slash = folder.find(u'/', 5);
        const char16_t* typeName = CItem::getItemTypeName(item->getItemType());
        ASSERT_NE(typeName, nullptr) << id;
        EXPECT_EQ(folder.substr(5, slash - 5), typeName) << id;
        EXPECT_FALSE(item->getName().empty()) << id;
        EXPECT_FALSE(item->getAboutText().empty()) << id;
        EXPECT_EQ(gLook.texture, "Item/Texture/items.png") << id;
        EXPECT_EQ(gLook.width, 80.0) << id;
        EXPECT_TRUE(gLook.playing) << id;
        chips.emplace_back(gLook.x, gLook.y);
    }
    // Sixteen kinds, sixteen different chips of the 4 x 4 sheet.
    std::sort(chips.begin(), chips.end());
    EXPECT_EQ(std::unique(chips.begin(), chips.end()), chips.end());
    EXPECT_EQ(chips.front(), std::make_pair(0.0, 0.0));
    EXPECT_EQ(chips.back(), std::make_pair(240.0, 240.0));
}

TEST_F(SampleItems, KindsTheNativeRulesNameBehaveAsTheyMust) {
    const auto worn = factory_.createItem(20);
    ASSERT_NE(worn, nullptr);
    EXPECT_EQ(worn->getItemType(), CItem::kAmulet);
    const auto down = factory_.createItem(700);
    const auto up = factory_.createItem(701);
    ASSERT_NE(down, nullptr);
    ASSERT_NE(up, nullptr);
    EXPECT_EQ(down->getStatus().getAnotherOption(), 2);
    EXPECT_EQ(up->getStatus().getAnotherOption(), 1);
    EXPECT_FALSE(down->isListedOnFloor());
    const auto trap = factory_.createItem(800);
    ASSERT_NE(trap, nullptr);
    EXPECT_FALSE(trap->isVisible());
    EXPECT_TRUE(trap->getStatus().getUseIfTaken());
    const auto pot = factory_.createItem(400);
    ASSERT_NE(pot, nullptr);
    EXPECT_TRUE(pot->getStatus().getItemHolder());
    EXPECT_FALSE(pot->getPushScriptFileName().empty());
    const auto amulet = factory_.createItem(120);
    ASSERT_NE(amulet, nullptr);
    EXPECT_TRUE(amulet->getStatus().checkAbility(36));
    const auto sword = factory_.createItem(100);
    ASSERT_NE(sword, nullptr);
    EXPECT_EQ(sword->getStatus().getAttack(), 4);
    EXPECT_FLOAT_EQ(sword->getCategoryWeights()[1], 1.0f);
}

}  // namespace
