#pragma once
// The small real floor of FloorFixture over the built sample archives of the run folder, with
// the game's Actor, Dungeon, DamageCalculate, Game, Item, Map, Graphics and MossbellLib modules
// and the real condition set: the shipped scripts run here as they do in the game. The player
// is "勇者", level 1, 20 of 20 life, facing right.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/graphics/OxRenderQueue.h"
#include "game/action/CItemAction.h"
#include "game/action/CScriptingAction.h"
#include "game/condition/CConditionController.h"
#include "game/damage/CDamageCalculator.h"
#include "game/scriptcommand/CActorCommand.h"
#include "game/scriptcommand/CDamageCalculateCommand.h"
#include "game/scriptcommand/CDungeonCommand.h"
#include "game/scriptcommand/CGameCommand.h"
#include "game/scriptcommand/CGraphicsCommand.h"
#include "game/scriptcommand/CItemCommand.h"
#include "game/scriptcommand/CMapCommand.h"
#include "game/scriptcommand/CMossbellLibCommand.h"
#include "game/services/CSettingDataManager.h"
#include "tests/game/action/FloorFixture.h"

namespace ActionTest {

class SampleScriptFloor : public FloorFixture {
protected:
    static constexpr int32_t kRight = 2;
    static constexpr int32_t kLeft = 6;

    void SetUp() override {
        context_.game.makeConditions = [](Fenwarrow::Actor::CActor& actor) {
            return std::make_unique<Fenwarrow::Actor::Condition::CConditionController>(actor);
        };
        FloorFixture::SetUp();
        std::vector<std::u16string> paths;
        for (const char* archive :
             {"d000.bin", "d100.bin", "d200.bin", "d300.bin", "d400.bin", "d500.bin", "d900.bin"}) {
            paths.push_back(TempFolder::engineForm(std::filesystem::path(ORVEX_RUN_DIR) / archive));
        }
        Orvex::FileArchiver::OxArchiveOptions options;
        ASSERT_EQ(context_.game.reader.openArchives(paths, options), 0u);

        using Fenwarrow::ScriptModule;
        using Fenwarrow::Action::CScriptingAction;
        using Fenwarrow::Damage::CDamageCalculator;
        auto& game = context_.game;
        auto floor = [this] { return floor_.get(); };
        game.dungeon = floor_.get();
        game.settingData = &settings_;
        game.factories[ScriptModule::kActor] = [this] {
            return std::make_shared<Fenwarrow::ScriptCommand::CActorCommand>(context_.game, &context_);
        };
        game.factories[ScriptModule::kDungeon] = [floor] {
            return std::make_shared<Fenwarrow::ScriptCommand::CDungeonCommand>(floor);
        };
        // A hit that did damage queues the on-damage script the way the game's floor does.
        game.factories[ScriptModule::kDamageCalculate] = [this, floor] {
            return std::make_shared<Fenwarrow::ScriptCommand::CDamageCalculateCommand>(
                context_.game, floor, [this](Fenwarrow::Actor::CActor& target) {
                    manager_->pushAction(
                        std::make_shared<CScriptingAction>(context_, CDamageCalculator::kOnDamageScript, &target));
                });
        };
        game.factories[ScriptModule::kGame] = [this] {
            return std::make_shared<Fenwarrow::ScriptCommand::CGameCommand>(context_.game);
        };
        game.factories[ScriptModule::kItem] = [this, floor] {
            return std::make_shared<Fenwarrow::ScriptCommand::CItemCommand>(context_.game, floor);
        };
        game.factories[ScriptModule::kMap] = [this, floor] {
            return std::make_shared<Fenwarrow::ScriptCommand::CMapCommand>(
                Fenwarrow::ScriptCommand::CMapCommand::Services{floor, &context_.game.reader, nullptr});
        };
        game.factories[ScriptModule::kGraphics] = [this] {
            return std::make_shared<Fenwarrow::ScriptCommand::CGraphicsCommand>(nullptr, context_.game.reader,
                                                                                &drawQueue_);
        };
        // Looks are built without a device: the sheets give no texture, the frames are all there.
        game.factories[ScriptModule::kMossbellLib] = [this] {
            return std::make_shared<Fenwarrow::ScriptCommand::CMossbellLibCommand>(nullptr, context_.game.reader);
        };

        game.changeFloorScript = [this](Fenwarrow::Item::CItem& item) {
            Fenwarrow::Action::CItemAction::runChangeFloorScript(context_, item);
        };

        player_->setName(u"勇者");
        auto& status = player_->getStatus();
        status.setLevel(1);
        status.setMaxLife(20.0f);
        status.setLife(20.0f);
        status.setAttack(8);
        status.setForce(8);
        status.setDirection(kRight);
    }

    std::shared_ptr<Fenwarrow::Actor::CEnemy> slime(Fenwarrow::Dungeon::MapPoint point, float life) {
        auto enemy = addEnemy(point);
        enemy->setName(u"スライム");
        auto& status = enemy->getStatus();
        status.setMaxLife(life);
        status.setLife(life);
        status.setAttack(3);
        status.setEXP(3);
        status.setDirection(kLeft);
        return enemy;
    }

    // Runs the script's action to its end (and every action it queued), drawing each frame.
    void run(const std::u16string& script, Fenwarrow::Actor::CActor* parameter) {
        manager_->pushAction(std::make_shared<Fenwarrow::Action::CScriptingAction>(context_, script, parameter));
        ASSERT_TRUE(updateUntil([&] {
            manager_->draw();
            queuedDraws_ += drawQueue_.size();
            drawQueue_.draw();
            drawQueue_.clear();
            return !manager_->isBusy();
        }));
    }

    bool logHas(const std::u16string& text) const {
        return std::any_of(log().begin(), log().end(),
                           [&](const std::u16string& line) { return line.find(text) != std::u16string::npos; });
    }
    bool onFloor(const Fenwarrow::Actor::CActor& actor) const {
        return floor_->getTurnController().contains(&actor) && actor.getCell() != nullptr;
    }
    static std::u16string text(const std::array<char16_t, Fenwarrow::kResultTextUnits>& field) {
        return std::u16string(field.data());
    }

    Fenwarrow::CSettingDataManager settings_;
    Orvex::Graphics::OxRenderQueue drawQueue_;
    std::size_t queuedDraws_ = 0;
};

}  // namespace ActionTest
