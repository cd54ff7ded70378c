#include "game/item/CItemFactory.h"

#include <gtest/gtest.h>

#include "engine/system/OxStringConvert.h"
#include "game/item/CItem.h"
#include "platform/kernel/DebugOutput.h"
#include "tests/game/shell/GameTestContext.h"

namespace {

using Fenwarrow::ScriptModule;
using Fenwarrow::Item::CItem;
using Fenwarrow::Item::CItemFactory;

std::vector<uint8_t> chunk(const char* name) {
    return ScriptTest::readBytes(std::string(ORVEX_TEST_CHUNK_DIR) + "/" + name + ".lcd");
}

int setItemName(lua_State* L) {
    auto* item = static_cast<CItem*>(lua_touserdata(L, 1));
    std::u16string name;
    Orvex::System::toWideString(lua_tostring(L, 2), name);
    item->setName(name);
    return 0;
}

class ItemFactory : public ::testing::Test {
protected:
    void open(std::vector<Orvex::Packer::PackerEntry> entries) {
        ScriptTest::openArchive(folder_, context_.reader, entries);
    }
    void openGameArchive() {
        open({{u"Script/Item/ItemSetup.lua.lcd", chunk("ItemSetup"), false},
              {u"Item/Kind/setup.lua.lcd", chunk("kind"), false}});
    }

    TempFolder folder_;
    GameTest::TestGameContext context_;
    CItemFactory factory_{context_};
};

TEST_F(ItemFactory, SetupScriptRegistersKindsAndTheLastOfTwinIdsWins) {
    openGameArchive();
    std::vector<std::u16string> lines;
    Platform::Kernel::setDebugSink([&](std::u16string_view line) { lines.emplace_back(line); });
    const bool ok = factory_.initialize();
    Platform::Kernel::setDebugSink({});
    ASSERT_TRUE(ok);
    EXPECT_EQ(factory_.getItemIDList(), (std::vector<uint32_t>{2, 5, 17, 30}));
    ASSERT_NE(factory_.findItemInfo(5), nullptr);
    EXPECT_EQ(factory_.findItemInfo(5)->folder, u"Item/Kind/");
    EXPECT_EQ(lines, std::vector<std::u16string>{u"IDが重複しています。"});
    // The set-up host asks for its two modules even though the game may lack them.
    EXPECT_EQ(context_.created, (std::vector<ScriptModule>{ScriptModule::kGame, ScriptModule::kItem}));
}

TEST_F(ItemFactory, RegistrationsWithAnObjectTheFactoryNeverHandedOutAreIgnored) {
    open({{u"Script/Item/ItemSetup.lua.lcd", chunk("ItemSetupForeign"), false},
          {u"Item/Kind/setup.lua.lcd", chunk("kind"), false}});
    ASSERT_TRUE(factory_.initialize());
    EXPECT_EQ(factory_.getItemIDList(), (std::vector<uint32_t>{5}));
}

TEST_F(ItemFactory, MissingSetupScriptFailsInitialisation) {
    open({{u"Item/Kind/setup.lua.lcd", chunk("kind"), false}});
    EXPECT_FALSE(factory_.initialize());
    EXPECT_TRUE(factory_.getItemIDList().empty());
}

TEST_F(ItemFactory, CreatesItemsThroughTheirKindsScript) {
    openGameArchive();
    ASSERT_TRUE(factory_.initialize());
    // Without the modules an item's set-up attaches, no item is made.
    EXPECT_EQ(factory_.createItem(5), nullptr);

    context_.provideAllModules();
    context_.factories[ScriptModule::kItem] = [] {
        return std::make_shared<GameTest::TestModule>(
            "Item", std::vector<Fenwarrow::ScriptCommand::ScriptFunction>{{"setName", &setItemName}});
    };
    std::shared_ptr<CItem> item = factory_.createItem(5);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->getItemID(), 5u);
    EXPECT_EQ(item->getName(), u"薬草");
    EXPECT_EQ(factory_.createItem(99), nullptr);  // not registered
    EXPECT_EQ(factory_.createItem(2), nullptr);   // registered, but its script is missing
}

TEST(ItemFactoryNames, SlotAbilityNamesCoverExactlyTheTable) {
    EXPECT_EQ(std::u16string(CItemFactory::getSlotAbilityName(0)), u"能力無し");
    EXPECT_EQ(std::u16string(CItemFactory::getSlotAbilityName(19)), u"焼却");
    EXPECT_EQ(std::u16string(CItemFactory::getSlotAbilityName(55)), u"記録");
    EXPECT_EQ(CItemFactory::getSlotAbilityName(56), nullptr);
    EXPECT_EQ(CItemFactory::getSlotAbilityName(-1), nullptr);
    EXPECT_EQ(std::u16string(CItem::getItemTypeName(13)), u"Newspaper");
    EXPECT_EQ(CItem::getItemTypeName(14), nullptr);
}

}  // namespace
