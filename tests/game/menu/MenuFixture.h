#pragma once
// A real small floor for the menus: the 40 x 12 floor of the action tests with the game data's
// player on it, a real action queue, windows made for the menus (drawing nothing, reading the
// test's keys), and the player's scripts from a test archive. The player's "Actor.Command"
// functions write what they were asked into globals the test reads.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/font/OxFont.h"
#include "engine/font/OxFontRenderer.h"
#include "engine/input/OxVirtualKey.h"
#include "game/actor/CPlayer.h"
#include "game/actor/IActorConditions.h"
#include "game/dungeon/CDungeon.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/generalwindow/CGeneralWindow.h"
#include "game/item/CItem.h"
#include "game/menu/CGameMenu.h"
#include "game/menu/CMenuBase.h"
#include "tests/game/action/ActionFixture.h"
#include "tests/game/dungeon/DungeonTestServices.h"

namespace MenuTest {

// A font without glyphs: the windows lay out and update, nothing is drawn.
class EmptyFont : public Orvex::FontLib::OxFont {
public:
    EmptyFont() {
        fontSize = 30;
        lineHeight = 40;
    }
    uint32_t load(const std::u16string&) override { return 0; }
};

// What a menu window reaches: the test's keys and, when the test draws, its renderer.
class MenuWindowContext : public Fenwarrow::IGeneralWindowContext {
public:
    Orvex::Graphics::IOrvexRenderer* getRenderer() override { return renderer; }
    Orvex::Graphics::IOrvexTexture* getCommonTexture(int32_t index) override {
        Orvex::Graphics::IOrvexTexture* texture = index >= 0 && index < 2 ? textures[index] : nullptr;
        if (texture != nullptr) {
            texture->retain();
        }
        return texture;
    }
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource> getSystemSE(int32_t) override { return nullptr; }
    Orvex::InputSystem::OxVirtualKey* getVirtualKey() override { return keys; }

    Orvex::Graphics::IOrvexRenderer* renderer = nullptr;
    Orvex::Graphics::IOrvexTexture* textures[2] = {nullptr, nullptr};
    Orvex::InputSystem::OxVirtualKey* keys = nullptr;
};

// A player's conditions that only answer which types are on; the test switches them.
class HeldConditions : public Fenwarrow::Actor::IActorConditions {
public:
    explicit HeldConditions(std::set<int32_t>& on) : on_(on) {}
    void update(float) override {}
    void draw(Orvex::Graphics::OxRenderQueue&, Orvex::Graphics::IOrvexRenderer*) override {}
    void onEnterTurn() override {}
    void onExitTurn() override {}
    bool getMayAct() const override { return true; }
    bool isCondition(int32_t type) const override { return on_.count(type) != 0; }
    bool addCondition(int32_t type) override { return on_.insert(type), true; }
    bool removeCondition(int32_t type) override { return on_.erase(type), true; }
    const char16_t* getConditionName() const override { return nullptr; }
    bool serialize(Orvex::Serialization::OxSerializer&) override { return true; }

private:
    std::set<int32_t>& on_;
};

// The player's commands record their name, count and the two item arguments.
inline const char* const kPlayerActor = R"(
Actor.Command = {}
commands = ""
local function record(name)
    return function(count, first, second)
        commands = commands .. name .. "(" .. count .. ");"
        arg1 = first
        arg2 = second
    end
end
for _, name in ipairs({"doItem", "doThrowItem", "doPutItem", "doPushItem", "doPopItem"}) do
    Actor.Command[name] = record(name)
end
)";

class MenuFixture : public ActionTest::ActionFixture {
protected:
    static constexpr Fenwarrow::Dungeon::MapPoint kPlayerPoint{2, 5};
    enum Key : uint32_t { kUp = 0, kRight = 1, kDown = 2, kLeft = 3, kMenu = 4, kDecide = 5, kCancel = 6 };

    void SetUp() override {
        ActionFixture::SetUp();
        std::vector<std::pair<std::u16string, std::string>> scripts = {
            {u"Actor/Player/HERO/setup.lua", "function setActor(actor) end\nfunction setup() end\n"},
            {u"Actor/Player/HERO/actor.lua", kPlayerActor},
        };
        scripts.insert(scripts.end(), extraScripts().begin(), extraScripts().end());
        packScripts(scripts);
        context_.game.makeConditions = [this](Fenwarrow::Actor::CActor&) {
            return std::make_unique<HeldConditions>(conditions_);
        };
        data_ = std::make_unique<Fenwarrow::CGameDataManager>(context_.game);
        context_.game.gameData = data_.get();
        player_ = data_->getPlayer();
        ASSERT_NE(player_, nullptr);

        services_ = std::make_unique<DungeonTest::TestDungeonServices>(context_.game);
        floor_ = std::make_unique<Fenwarrow::Dungeon::CDungeon>(*services_);
        Fenwarrow::Dungeon::CMap& map = floor_->getMap();
        map.create(32, 40, 12);
        for (Fenwarrow::Dungeon::CMapCell& cell : map.getCells()) {
            cell.cellType = Fenwarrow::Dungeon::kCellFloor;
        }
        floor_->setPlayer(player_);
        floor_->addTurnParticipant(player_);
        ASSERT_TRUE(floor_->putCellObject(player_.get(), kPlayerPoint, false));
        context_.dungeon = floor_.get();

        keys_.bind(11, 0, 0);
        context_.keys = &keys_;
        windowContext_ = std::make_shared<MenuWindowContext>();
        windowContext_->keys = &keys_;
        configureWindows(*windowContext_);
        context_.windowFactory = [this] {
            auto window = std::make_shared<Fenwarrow::CGeneralWindow>(windowContext_);
            return window->create(makeFontRenderer()) ? window : nullptr;
        };
        menu_ = std::make_unique<Fenwarrow::SceneLayer::CGameMenu>(context_, player_.get());
    }

    void TearDown() override {
        menu_.reset();
        manager_->clear();
        context_.dungeon = nullptr;
        floor_.reset();
        services_.reset();
        player_.reset();
        context_.game.gameData = nullptr;
        data_.reset();
        ActionFixture::TearDown();
    }

    // Scripts a test adds to the archive (path without ".lcd", source).
    virtual const std::vector<std::pair<std::u16string, std::string>>& extraScripts() const {
        static const std::vector<std::pair<std::u16string, std::string>> kNone;
        return kNone;
    }

    // Gives the windows what they draw with, before the menus make them.
    virtual void configureWindows(MenuWindowContext&) {}
    virtual std::shared_ptr<Orvex::FontLib::OxFontRenderer> makeFontRenderer() {
        return std::make_shared<Orvex::FontLib::OxFontRenderer>(nullptr, std::make_shared<EmptyFont>());
    }

    // One frame with the key pushed, then every key released.
    void press(uint32_t key) {
        keys_.swapBuffers();
        for (uint32_t k = 0; k < 12; ++k) {
            keys_.setDown(k, k == key);
            keys_.setHoldCount(k, 0);
        }
        // Held one frame: the first repeat as well as a push.
        keys_.setHoldCount(key, 1);
        menu_->update();
        for (int frame = 0; frame < 2; ++frame) {
            keys_.swapBuffers();
            for (uint32_t k = 0; k < 12; ++k) {
                keys_.setDown(k, false);
                keys_.setHoldCount(k, 0);
            }
        }
    }
    void pressAll(std::initializer_list<uint32_t> keys) {
        for (uint32_t key : keys) {
            press(key);
        }
    }

    std::shared_ptr<Fenwarrow::Item::CItem> makeItem(int32_t type, const std::u16string& name, uint32_t id = 100) {
        auto item = std::make_shared<Fenwarrow::Item::CItem>(context_.game, id);
        item->setItemType(type);
        item->setName(name);
        return item;
    }
    std::shared_ptr<Fenwarrow::Item::CItem> carry(int32_t type, const std::u16string& name, uint32_t id = 100) {
        auto item = makeItem(type, name, id);
        player_->addItem(item);
        return item;
    }
    std::shared_ptr<Fenwarrow::Item::CItem> dropAt(Fenwarrow::Dungeon::MapPoint point, int32_t type,
                                                   const std::u16string& name) {
        auto item = makeItem(type, name);
        floor_->addFloorItem(item);
        EXPECT_TRUE(floor_->putCellObject(item.get(), point, false));
        return item;
    }

    // A global of the player's script state as text, or "nil".
    std::string playerGlobal(const char* name) const {
        lua_State* L = player_->getScript()->getLuaState();
        lua_getglobal(L, name);
        const char* text = lua_tostring(L, -1);
        std::string value = text != nullptr ? text : "nil";
        lua_pop(L, 1);
        return value;
    }
    void* playerPointer(const char* name) const {
        lua_State* L = player_->getScript()->getLuaState();
        lua_getglobal(L, name);
        void* pointer = lua_touserdata(L, -1);
        lua_pop(L, 1);
        return pointer;
    }

    // The labels of a list window, in order.
    static std::vector<std::u16string> labels(const Fenwarrow::CGeneralWindow& window) {
        std::vector<std::u16string> out;
        for (uint32_t i = 0; i < window.getListItemCount(); ++i) {
            out.push_back(window.getListItem(i)->text);
        }
        return out;
    }

    std::set<int32_t> conditions_;
    std::unique_ptr<Fenwarrow::CGameDataManager> data_;
    std::shared_ptr<Fenwarrow::Actor::CPlayer> player_;
    std::unique_ptr<DungeonTest::TestDungeonServices> services_;
    std::unique_ptr<Fenwarrow::Dungeon::CDungeon> floor_;
    Orvex::InputSystem::OxVirtualKey keys_;
    std::shared_ptr<MenuWindowContext> windowContext_;
    std::unique_ptr<Fenwarrow::SceneLayer::CGameMenu> menu_;
};

}  // namespace MenuTest
