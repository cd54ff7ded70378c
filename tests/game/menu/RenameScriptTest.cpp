// The sample game's naming screen ("Script/UI/Rename.lua") in the rename layer, with the real
// Item and InputSystem modules and a window module that keeps the texts it is given.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "game/item/CUnidentifiedItemInfo.h"
#include "game/menu/CRenameLayer.h"
#include "game/scriptcommand/CInputSystemCommand.h"
#include "game/scriptcommand/CItemCommand.h"
#include "tests/game/menu/MenuFixture.h"

namespace MenuTest {
namespace {

using Fenwarrow::Item::CItem;

// The window module's stand-in: windows are numbers, and each keeps its last text.
std::map<intptr_t, std::string> g_texts;
intptr_t g_windows = 0;
int newWindow(lua_State* L) {
    lua_pushlightuserdata(L, reinterpret_cast<void*>(++g_windows));
    return 1;
}
int setText(lua_State* L) {
    g_texts[reinterpret_cast<intptr_t>(lua_touserdata(L, 1))] = lua_tostring(L, 2);
    return 0;
}
int ignore(lua_State*) { return 0; }

std::string readSource(const char* path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

class RenameScriptTest : public MenuFixture {
protected:
    void SetUp() override {
        g_texts.clear();
        g_windows = 0;
        MenuFixture::SetUp();
        context_.game.factories[Fenwarrow::ScriptModule::kGeneralWindow] = [] {
            std::vector<Fenwarrow::ScriptCommand::ScriptFunction> functions = {{"newWindow", &newWindow},
                                                                               {"setText", &setText}};
            for (const char* name :
                 {"setWindowMode", "setShowTitle", "setTitle", "setLocation", "setWindowSize", "update", "draw"}) {
                functions.push_back({name, &ignore});
            }
            return std::make_shared<GameTest::TestModule>("GeneralWindow", functions);
        };
        context_.game.factories[Fenwarrow::ScriptModule::kItem] = [this] {
            return std::make_shared<Fenwarrow::ScriptCommand::CItemCommand>(context_.game);
        };
        context_.game.factories[Fenwarrow::ScriptModule::kInputSystem] = [this] {
            return std::make_shared<Fenwarrow::ScriptCommand::CInputSystemCommand>([this] { return &keys_; });
        };
        Fenwarrow::Item::CUnidentifiedItemInfo info;
        info.itemId = 600;
        info.unidentified = true;
        info.name = u"青い薬";
        data_->getUnidentifiedItems().insertOrAssign(600, info);
        drug_ = carry(CItem::kDrug, u"毒消し", 600);
        layer_ = std::make_shared<Fenwarrow::SceneLayer::CRenameLayer>(context_, drug_.get());
        ASSERT_TRUE(layer_->setup());
    }
    void TearDown() override {
        layer_.reset();
        MenuFixture::TearDown();
    }

    const std::vector<std::pair<std::u16string, std::string>>& extraScripts() const override {
        static const std::vector<std::pair<std::u16string, std::string>> kScripts = {
            {u"Script/UI/Rename.lua", readSource(ORVEX_CONTENT_DIR "/Script/UI/Rename.lua")}};
        return kScripts;
    }

    // One frame of the layer with the key pushed, then the keys released.
    void type(uint32_t key) {
        keys_.swapBuffers();
        for (uint32_t k = 0; k < 12; ++k) {
            keys_.setDown(k, k == key);
            keys_.setHoldCount(k, k == key ? 1 : 0);
        }
        layer_->update();
        keys_.swapBuffers();
        for (uint32_t k = 0; k < 12; ++k) {
            keys_.setDown(k, false);
            keys_.setHoldCount(k, 0);
        }
    }

    std::shared_ptr<CItem> drug_;
    std::shared_ptr<Fenwarrow::SceneLayer::CRenameLayer> layer_;
};

TEST_F(RenameScriptTest, TypedKanaBecomeTheItemsNameOnDecide) {
    type(kDecide);  // あ
    type(kRight);
    type(kDecide);  // い
    EXPECT_EQ(g_texts[1], "あい_") << "the name window";
    EXPECT_TRUE(layer_->isAlive());
    type(kCancel);  // deletes い
    type(kRight);
    type(kDecide);  // う
    // Up from the first row wraps to the command row; left twice from the third column
    // reaches "決定".
    for (uint32_t key : {kUp, kLeft, kLeft, kLeft}) {
        type(key);
    }
    type(kDecide);
    EXPECT_FALSE(layer_->isAlive());
    EXPECT_EQ(drug_->getDisplayName(false), u"あう");
}

TEST_F(RenameScriptTest, CancelWithNothingTypedLeavesTheNameAsItWas) {
    type(kCancel);
    EXPECT_FALSE(layer_->isAlive());
    EXPECT_EQ(drug_->getDisplayName(false), u"青い薬");
}

}  // namespace
}  // namespace MenuTest
