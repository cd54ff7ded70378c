#include "game/scriptcommand/CSceneLayerCommand.h"

#include <gtest/gtest.h>

#include "game/layer/CSceneLayerManager.h"
#include "game/scriptcommand/CNonPlayerCommand.h"
#include "game/services/CScriptController.h"
#include "tests/game/shell/ScriptTestSupport.h"

namespace {

using Fenwarrow::CScriptController;
using Fenwarrow::SceneLayer::CSceneLayer;
using Fenwarrow::SceneLayer::CSceneLayerManager;
using Fenwarrow::ScriptCommand::CNonPlayerCommand;
using Fenwarrow::ScriptCommand::CSceneLayerCommand;
using Orvex::Script::CScriptValue;

constexpr const char* kScript = R"lua(
function push(kind, path)
  local before = SceneLayer.getLayerCount()
  local handle = SceneLayer[kind](path)
  return type(handle), before, SceneLayer.getLayerCount()
end
function state() return SceneLayer.isRunning(), SceneLayer.getLayerCount(), SceneLayer.getEnableFocus() end
function focus(on) SceneLayer.setEnableFocus(on) end
function nonPlayer() return type(NonPlayer), next(NonPlayer) == nil end
)lua";

// A layer that stays on the stack unless its script path says it must not.
class ScriptLayer : public CSceneLayer {
public:
    explicit ScriptLayer(std::u16string script) : script_(std::move(script)) {}
    bool setup() override {
        alive = true;
        return script_ != u"refuse";
    }
    void update() override {}
    const std::u16string& getScript() const { return script_; }

private:
    std::u16string script_;
};

class SceneLayerModule : public ::testing::Test {
protected:
    void SetUp() override {
        const auto bytes = ScriptTest::textBytes(kScript);
        ASSERT_TRUE(host_.setupState(bytes.data(), static_cast<uint32_t>(bytes.size()), 0x100000));
        CSceneLayerCommand::Services services;
        services.layerManager = [this] { return withManager_ ? &manager_ : nullptr; };
        services.makeGeneralWindowLayer = [this](const std::u16string& script) {
            made_.push_back(script);
            return std::make_shared<ScriptLayer>(script);
        };
        ASSERT_TRUE(host_.attachCommand(std::make_shared<CSceneLayerCommand>(services)));
        ASSERT_TRUE(host_.attachCommand(std::make_shared<CNonPlayerCommand>(nullptr)));
        ASSERT_TRUE(host_.runMain());
    }

    // Results in the order the script returned them, as text.
    std::vector<std::string> call(const std::string& name, int count, const std::vector<CScriptValue>& args = {}) {
        std::vector<CScriptValue> results;
        host_.callFunction(results, name, count, args);
        std::vector<std::string> texts;
        for (auto it = results.rbegin(); it != results.rend(); ++it) {
            switch (it->getType()) {
                case CScriptValue::kInteger:
                    texts.push_back(std::to_string(it->asInteger()));
                    break;
                case CScriptValue::kNumber:
                    texts.push_back(std::to_string(static_cast<int>(it->asNumber())));
                    break;
                default:
                    texts.push_back(it->getText());
            }
        }
        return texts;
    }

    ScriptTest::TestScriptServices services_;
    CScriptController host_{services_};
    CSceneLayerManager manager_;
    bool withManager_ = true;
    std::vector<std::u16string> made_;
};

TEST_F(SceneLayerModule, PushedLayersJoinTheStackAtTheNextUpdate) {
    using Texts = std::vector<std::string>;
    EXPECT_EQ(call("state", 3), (Texts{"0", "0", "1"}));
    EXPECT_EQ(call("push", 3, {CScriptValue("pushGeneralWindowLayer"), CScriptValue("Script/Window/Ask")}),
              (Texts{"userdata", "0", "0"}));
    EXPECT_EQ(made_, std::vector<std::u16string>{u"Script/Window/Ask"});
    manager_.update();
    EXPECT_EQ(call("state", 3), (Texts{"1", "1", "1"}));

    // Refused by its set-up, or of a kind the game cannot make: no handle, no layer.
    EXPECT_EQ(call("push", 3, {CScriptValue("pushGeneralWindowLayer"), CScriptValue("refuse")}),
              (Texts{"nil", "1", "1"}));
    EXPECT_EQ(call("push", 3, {CScriptValue("pushAdventureLayer"), CScriptValue("Script/ADV/Talk")}),
              (Texts{"nil", "1", "1"}));
    manager_.update();
    EXPECT_EQ(manager_.getLayerCount(), 1u);
}

TEST_F(SceneLayerModule, FocusSwitchesOffUntilSetOrCleared) {
    call("focus", 0, {CScriptValue(false)});
    EXPECT_FALSE(manager_.getEnableFocus());
    call("focus", 0, {CScriptValue(1.0)});
    EXPECT_TRUE(manager_.getEnableFocus());
    call("focus", 0, {CScriptValue(false)});
    manager_.clear();
    EXPECT_EQ(call("state", 3), (std::vector<std::string>{"0", "0", "1"}));
}

TEST_F(SceneLayerModule, WithoutALayerStackNothingHappensAndNothingIsReturned) {
    withManager_ = false;
    EXPECT_TRUE(call("state", 3).empty());  // three nils
    call("focus", 0, {CScriptValue(false)});
    EXPECT_EQ(call("push", 1, {CScriptValue("pushGeneralWindowLayer"), CScriptValue("Script/Window/Ask")}),
              (std::vector<std::string>{"nil"}));
    EXPECT_TRUE(made_.empty());
    EXPECT_TRUE(manager_.getEnableFocus());
}

TEST_F(SceneLayerModule, NonPlayerIsAnEmptyTable) {
    EXPECT_EQ(call("nonPlayer", 2), (std::vector<std::string>{"table", "1"}));
}

}  // namespace
