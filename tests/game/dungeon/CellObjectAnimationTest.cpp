#include "game/dungeon/CellObjectAnimation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/dungeon/CCellObject.h"
#include "tests/game/shell/GameTestContext.h"
#include "tests/game/shell/ScriptTestSupport.h"

namespace {

using Fenwarrow::Dungeon::CCellObject;

std::vector<std::string> calls;

int trace(lua_State* L) {
    calls.emplace_back(lua_tostring(L, 1));
    return 0;
}

// An object of either kind with a folder of its own and the objects that depend on it.
class Object : public CCellObject {
public:
    Object(int32_t type, std::u16string folder) : type_(type), folder_(std::move(folder)) {}
    int32_t getCellObjectType() const override { return type_; }
    std::u16string getFolderPath() const override { return folder_; }
    std::vector<CCellObject*> getDependentObjects() const override { return dependents; }
    std::vector<CCellObject*> dependents;

private:
    int32_t type_;
    std::u16string folder_;
};

class Animation : public ::testing::Test {
protected:
    void SetUp() override {
        calls.clear();
        ScriptTest::openArchive(
            folder_, context_.reader,
            {{u"Actor/A/setup.lua.lcd",
              ScriptTest::textBytes("function setActor(a) Game.trace('setActor') end "
                                    "function setupAnimation() Game.trace('actor look') end")},
             {u"Item/B/setup.lua.lcd",
              ScriptTest::textBytes(
                  "g_animationFileName = 'b.png' "
                  "Item.Utility = {setupBasicAnimation = function(o, f) Game.trace('item ' .. f) end}")},
             {u"Item/C/setup.lua.lcd",
              ScriptTest::textBytes(
                  "g_animationFileName = function() Game.trace('called') end "
                  "Item.Utility = {setupBasicAnimation = function(o, f) Game.trace('item [' .. f .. ']') end}")}});
        context_.provideAllModules();
        context_.factories[Fenwarrow::ScriptModule::kGame] = [] {
            return std::make_shared<GameTest::TestModule>(
                "Game", std::vector<Fenwarrow::ScriptCommand::ScriptFunction>{{"trace", &trace}});
        };
    }

    TempFolder folder_;
    GameTest::TestGameContext context_;
};

TEST_F(Animation, ActorsAndItemsBuildTheirLookThenTheirDependentsFromTheirOwnFolders) {
    Object actor(CCellObject::kActor, u"Actor/A/");
    Object item(CCellObject::kItem, u"Item/B/");
    Object oddName(CCellObject::kItem, u"Item/C/");
    actor.dependents = {&item, &oddName};
    EXPECT_TRUE(Fenwarrow::Dungeon::setupAnimation(context_, actor, u""));
    // The file-name global is only read: a function there is never called.
    EXPECT_EQ(calls, (std::vector<std::string>{"setActor", "actor look", "item b.png", "item []"}));

    calls.clear();
    EXPECT_TRUE(Fenwarrow::Dungeon::setupAnimation(context_, item, u"Actor/A/")) << "a folder given wins";
    EXPECT_EQ(calls, std::vector<std::string>{});
}

TEST_F(Animation, AMissingScriptOrModuleFails) {
    Object lost(CCellObject::kActor, u"Actor/None/");
    EXPECT_FALSE(Fenwarrow::Dungeon::setupAnimation(context_, lost, u""));
    context_.factories.erase(Fenwarrow::ScriptModule::kMossbellLib);
    Object actor(CCellObject::kActor, u"Actor/A/");
    EXPECT_FALSE(Fenwarrow::Dungeon::setupAnimation(context_, actor, u""));
    EXPECT_TRUE(calls.empty());
}

}  // namespace
