// Every item kind of the built sample data, made by ID through the factory with the game's Item,
// Game, DamageCalculate and MossbellLib modules, its sprite built from the item sheet by the real
// sprite module with textures made by the graphics library on the software device.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/animation/OxMADObject.h"
#include "engine/system/OxStringConvert.h"
#include "game/item/CItem.h"
#include "game/item/CItemFactory.h"
#include "game/scriptcommand/CDamageCalculateCommand.h"
#include "game/scriptcommand/CGameCommand.h"
#include "game/scriptcommand/CItemCommand.h"
#include "game/scriptcommand/CMossbellLibCommand.h"
#include "graphics/include/IOrvexGraphics.h"
#include "tests/game/shell/GameTestContext.h"

namespace {

using Fenwarrow::ScriptModule;
using Fenwarrow::Item::CItem;
using Fenwarrow::Item::CItemFactory;
using Orvex::MossbellLib::OxMADObject;

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

        graphics_ = OXCreateGraphics(Orvex::Graphics::kOxGraphicsVersion);
        ASSERT_NE(graphics_, nullptr);
        Orvex::Graphics::OxGraphicsParameters parameters;
        parameters.width = 64;
        parameters.height = 64;
        ASSERT_EQ(graphics_->initialize(0, &parameters), Orvex::Graphics::kOxOk);
        ASSERT_EQ(graphics_->createRenderer(&renderer_), Orvex::Graphics::kOxOk);

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
        context_.factories[ScriptModule::kMossbellLib] = [this] {
            return std::make_shared<Fenwarrow::ScriptCommand::CMossbellLibCommand>(renderer_, context_.reader);
        };
        context_.itemFactory = &factory_;
        ASSERT_TRUE(factory_.initialize());
    }

    void TearDown() override {
        items_.clear();
        if (renderer_ != nullptr) {
            // Fails when a texture outlived every sprite that used it.
            EXPECT_EQ(renderer_->shutdown(), Orvex::Graphics::kOxOk) << "textures still held";
            renderer_->release();
        }
        if (graphics_ != nullptr) {
            graphics_->terminate();
            graphics_->release();
        }
    }

    GameTest::TestGameContext context_;
    CItemFactory factory_{context_};
    Orvex::Graphics::IOrvexGraphics* graphics_ = nullptr;
    Orvex::Graphics::IOrvexRenderer* renderer_ = nullptr;
    std::vector<std::shared_ptr<CItem>> items_;
};

TEST_F(SampleItems, EveryKindIsMadeByIdWithItsCategoryAndItsChip) {
    const std::vector<uint32_t> ids = factory_.getItemIDList();
    ASSERT_EQ(ids.size(), 16u);
    std::vector<std::pair<float, float>> chips;
    for (uint32_t id : ids) {
        const auto item = factory_.createItem(id);
        ASSERT_NE(item, nullptr) << id;
        items_.push_back(item);
        const std::u16string& folder = factory_.findItemInfo(id)->folder;
        EXPECT_EQ(item->getItemDirectory(), folder) << id;
        // "Item/<category name>/<code>/"
        const std::size_t slash = folder.find(u'/', 5);
        const char16_t* typeName = CItem::getItemTypeName(item->getItemType());
        ASSERT_NE(typeName, nullptr) << id;
        EXPECT_EQ(folder.substr(5, slash - 5), typeName) << id;
        EXPECT_FALSE(item->getName().empty()) << id;
        EXPECT_FALSE(item->getAboutText().empty()) << id;

        // The sprite: the item sheet made into a texture, one 80 x 80 chip of it, one frame,
        // playing (a stopped or empty sprite is never drawn).
        OxMADObject& sprite = *item->getAnimation();
        ASSERT_EQ(sprite.getTextureCount(), 1u) << id;
        Orvex::Graphics::IOrvexTexture* sheet = sprite.getTexture(0);
        ASSERT_NE(sheet, nullptr) << id;
        EXPECT_GE(sheet->getWidth(), 320u) << id << ": four chips across";
        sheet->release();
        EXPECT_EQ(sprite.getTextureList().at(0)->getFileName(), u"Item/Texture/items.png") << id;
        ASSERT_EQ(sprite.getChipList().size(), 1u) << id;
        const auto chip = sprite.getChipList().at(0);
        EXPECT_EQ(chip->right - chip->left, 80.0f) << id;
        EXPECT_EQ(chip->bottom - chip->top, 80.0f) << id;
        EXPECT_EQ(sprite.getAnimationDataList().size(), 1u) << id;
        EXPECT_EQ(sprite.getState(), OxMADObject::kPlaying) << id;
        chips.emplace_back(chip->left, chip->top);
    }
    // Sixteen kinds, sixteen different chips of the 4 x 4 sheet.
    std::sort(chips.begin(), chips.end());
    EXPECT_EQ(std::unique(chips.begin(), chips.end()), chips.end());
    EXPECT_EQ(chips.front(), std::make_pair(0.0f, 0.0f));
    EXPECT_EQ(chips.back(), std::make_pair(240.0f, 240.0f));
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
    const auto cake = factory_.createItem(600);
    ASSERT_NE(cake, nullptr);
    EXPECT_EQ(cake->getChangeFloorScriptFileName(), u"Script/Item/Action/ChangeFloor.lua");
    const auto sword = factory_.createItem(100);
    ASSERT_NE(sword, nullptr);
    EXPECT_EQ(sword->getStatus().getAttack(), 4);
    EXPECT_FLOAT_EQ(sword->getCategoryWeights()[1], 1.0f);
}

}  // namespace
