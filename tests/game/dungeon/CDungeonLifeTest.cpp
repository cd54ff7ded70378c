// A floor's life through real objects: the worker runs the dungeon's and the floor's scripts
// from a packed archive with the real Map and Dungeon modules, the loading screen fades into
// play, and the states move on by turn count, life and requests.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "engine/font/OxFont.h"
#include "engine/graphics/OxFadeScreenEffect.h"
#include "engine/system/OxOrvexManager.h"
#include "engine/thread/OxThreadManager.h"
#include "game/actor/CPlayer.h"
#include "game/actor/IPlayerControl.h"
#include "game/layer/CSceneLayer.h"
#include "game/dungeon/CDungeon.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/item/CItem.h"
#include "game/scriptcommand/CDungeonCommand.h"
#include "game/scriptcommand/CMapCommand.h"
#include "graphics/include/IOrvexGraphics.h"
#include "graphics/include/IOrvexRenderer.h"
#include "platform/kernel/DebugOutput.h"
#include "tests/game/dungeon/DungeonTestServices.h"
#include "tests/game/shell/ScriptTestSupport.h"
#include "tools/moviegen/MovieGenerator.h"

namespace {

using Fenwarrow::ScriptModule;
using Fenwarrow::Dungeon::CDungeon;
using Fenwarrow::Dungeon::getFloorText;
using Fenwarrow::Dungeon::MapPoint;

// What the scripts report through Game.trace, in call order across all their states.
std::vector<std::string>& trace() {
    static std::vector<std::string> lines;
    return lines;
}
bool loadingHolds = false;
// The player whose script ends each of its turns at once (as a player who keeps stepping).
Fenwarrow::Actor::CActor* steppingPlayer = nullptr;

int gameTrace(lua_State* L) {
    trace().emplace_back(lua_tostring(L, 1));
    return 0;
}
int gameEndTurn(lua_State*) {
    if (steppingPlayer != nullptr) {
        steppingPlayer->setTurnState(0);
    }
    return 0;
}
int gameHolding(lua_State* L) {
    lua_pushboolean(L, loadingHolds ? 1 : 0);
    return 1;
}

constexpr const char* kSetup = R"lua(
function getBGM() return "BGM/none.ogg" end
function getResourceDirectory() return "" end
function getTitleImage() return "title.bmp" end
)lua";

// A floor script: every entry point reports itself; floor 2 leaves to scene 9.
std::string floorScript(int number, const char* next, int nextScene, const char* movie = "") {
    return std::string(R"lua(
Game.trace("main")
function getFloorNumber() Game.trace("getFloorNumber") return )lua") +
           std::to_string(number) + R"lua( end
function getPrevScene() Game.trace("getPrevScene") return 0 end
function getNextScene() Game.trace("getNextScene") return )lua" +
           std::to_string(nextScene) + R"lua( end
function getPrevDungeon() Game.trace("getPrevDungeon") return "" end
function getNextDungeon() Game.trace("getNextDungeon") return ")lua" +
           next + R"lua(" end
function getBackMovieFilePath() Game.trace("getBackMovieFilePath") return ")lua" +
           movie + R"lua(" end
function getMaxAutoGenerateEnemyCount() Game.trace("getMaxAutoGenerateEnemyCount") return 5 end
function getEnemyAutoGenerateTurnCount() Game.trace("getEnemyAutoGenerateTurnCount") return 0 end
function generate()
  Game.trace("generate")
  Map.create(32, 10, 8)
  Map.clearRoom()
  Map.addRoom(1, 1, 6, 5)
  for y = 1, 5 do for x = 1, 6 do Map.Cell.setCellType(x, y, 1) end end
  Map.setStartPosition(2, 3)
end
function setup()
  Game.trace("setup")
  Dungeon.addEnemyList("Actor/Enemy/NONE/")
  Dungeon.setBackgroundColor(10, 20, 30)
end
function getInitialEnemyCount() Game.trace("getInitialEnemyCount") return -3 end
function setupEvent() Game.trace("setupEvent") end
)lua";
}

constexpr const char* kLoading = R"lua(
function initialize(path, directory, resources, number)
  Game.trace("loading " .. path .. " " .. directory .. " " .. number)
end
function update(t) return Game.holding() end
function draw() end
)lua";

constexpr const char* kHud = R"lua(
function setPlayer(player) Game.trace("hud") end
function update(t) end
function draw() end
)lua";

constexpr const char* kEvent = R"lua(
frames = 0
function update(t) frames = frames + 1 return frames < 2 end
function getJumpScene() return 0 end
function draw() end
)lua";

// A 2 x 2 24-bit bitmap.
std::vector<uint8_t> bitmap() {
    std::vector<uint8_t> bytes(54 + 16, 0);
    auto put32 = [&bytes](std::size_t at, uint32_t value) { std::memcpy(&bytes[at], &value, 4); };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, static_cast<uint32_t>(bytes.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, 2);
    put32(22, 2);
    bytes[26] = 1;
    bytes[28] = 24;
    put32(34, 16);
    return bytes;
}

class NoGlyphFont : public Orvex::FontLib::OxFont {
public:
    NoGlyphFont() {
        fontSize = 20;
        lineHeight = 24;
    }
    uint32_t load(const std::u16string&) override { return 0; }
};

class WindowContext : public Fenwarrow::IGeneralWindowContext {
public:
    Orvex::Graphics::IOrvexRenderer* getRenderer() override { return nullptr; }
    Orvex::Graphics::IOrvexTexture* getCommonTexture(int32_t) override { return nullptr; }
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource> getSystemSE(int32_t) override { return nullptr; }
    Orvex::InputSystem::OxVirtualKey* getVirtualKey() override { return nullptr; }
};

std::vector<uint8_t> text(const std::string& source) { return ScriptTest::textBytes(source); }

// A silent movie of 64 x 48 at 25 frames a second.
std::vector<uint8_t> movie(uint32_t frames) {
    Orvex::Tools::MovieGen::MovieOptions options;
    options.outputPath = "unused.ogv";
    options.width = 64;
    options.height = 48;
    options.frameCount = frames;
    options.fps = 25;
    options.withSound = false;
    return Orvex::Tools::MovieGen::generateMovie(options);
}

class FloorLife : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = std::make_unique<Orvex::OxOrvexManager>();
        trace().clear();
        loadingHolds = false;
        ScriptTest::openArchive(
            folder_, context_.reader,
            {{u"Dungeon/TEST/Setup.lua.lcd", text(kSetup)},
             {u"Dungeon/TEST/title.bmp", bitmap()},
             {u"Dungeon/TEST/001.lua.lcd", text(floorScript(1, "Dungeon/TEST/002.lua", 0))},
             {u"Dungeon/TEST/002.lua.lcd", text(floorScript(2, "", 9))},
             {u"Dungeon/OTHER/Setup.lua.lcd", text(kSetup)},
             {u"Dungeon/OTHER/title.bmp", bitmap()},
             {u"Dungeon/OTHER/001.lua.lcd", text(floorScript(7, "", 0))},
             {u"Dungeon/MOVIE/Setup.lua.lcd", text(kSetup)},
             {u"Dungeon/MOVIE/title.bmp", bitmap()},
             {u"Dungeon/MOVIE/001.lua.lcd", text(floorScript(1, "", 0, "Movie/back.ogv"))},
             {u"Movie/back.ogv", movie(250)},
             {u"Item/W/attach.lua.lcd", text("function attach(actor, item) Game.trace('attach') end")},
             {u"Movie/meltdown.ogv", movie(5)},
             {u"Script/Dungeon/Loading.lua.lcd", text(kLoading)},
             {u"Script/HUD/HERO/PlayerGauge.lua.lcd", text(kHud)},
             {u"Script/Event/test.lua.lcd", text(kEvent)},
             {u"Actor/Player/HERO/setup.lua.lcd", text("function setActor(a) end function setup() end")},
             {u"Actor/Player/HERO/actor.lua.lcd", text("function Actor.onTurn() Game.endTurn() end")},
             {u"Actor/Enemy/TEST/setup.lua.lcd", text("function setActor(a) end function setup() end")},
             {u"Actor/Enemy/TEST/actor.lua.lcd",
              text("Actor.Event = {} function Actor.Event.onArrival() Game.trace(\"arrived\") end")}});
        context_.provideAllModules();
        context_.factories[ScriptModule::kGame] = [] {
            return std::make_shared<GameTest::TestModule>(
                "Game", std::vector<Fenwarrow::ScriptCommand::ScriptFunction>{
                            {"trace", &gameTrace}, {"holding", &gameHolding}, {"endTurn", &gameEndTurn}});
        };
        context_.factories[ScriptModule::kMap] = [this] {
            Fenwarrow::ScriptCommand::CMapCommand::Services services;
            services.currentFloor = [this] { return floor_.get(); };
            return std::make_shared<Fenwarrow::ScriptCommand::CMapCommand>(services);
        };
        context_.factories[ScriptModule::kDungeon] = [this] {
            return std::make_shared<Fenwarrow::ScriptCommand::CDungeonCommand>([this] { return floor_.get(); });
        };
        gameData_ = std::make_unique<Fenwarrow::CGameDataManager>(context_);
        context_.gameData = gameData_.get();
        ASSERT_NE(gameData_->getPlayer(), nullptr);
        gameData_->getPlayer()->getStatus().setMaxLife(100.0f);
        gameData_->getPlayer()->getStatus().setLife(100.0f);
        steppingPlayer = gameData_->getPlayer().get();
        // An equipped weapon, whose attach script dresses the player on every floor.
        auto weapon = std::make_shared<Fenwarrow::Item::CItem>(context_, 3);
        weapon->setItemType(Fenwarrow::Item::CItem::kWeapon);
        weapon->setAttachScriptFileName(u"Item/W/attach.lua");
        gameData_->getPlayer()->addItem(weapon);
        ASSERT_GE(gameData_->setEquippedWeaponItem(weapon.get()), 0);

        graphics_ = OXCreateGraphics(Orvex::Graphics::kOxGraphicsVersion);
        ASSERT_NE(nullptr, graphics_);
        Orvex::Graphics::OxGraphicsParameters parameters;
        parameters.width = 160;
        parameters.height = 120;
        ASSERT_EQ(Orvex::Graphics::kOxOk, graphics_->initialize(0, &parameters));
        ASSERT_EQ(Orvex::Graphics::kOxOk, graphics_->createRenderer(&renderer_));
        services_.renderer = renderer_;
        services_.windowContext = std::make_shared<WindowContext>();
        services_.fontRenderer =
            std::make_shared<Orvex::FontLib::OxFontRenderer>(renderer_, std::make_shared<NoGlyphFont>());
        services_.milliseconds = 5000;
        startAt(u"Dungeon/TEST/001.lua");
    }

    void TearDown() override {
        floor_.reset();
        steppingPlayer = nullptr;
        gameData_.reset();
        services_.fontRenderer.reset();
        if (renderer_ != nullptr) {
            renderer_->shutdown();
            renderer_->release();
        }
        if (graphics_ != nullptr) {
            graphics_->terminate();
            graphics_->release();
        }
        root_.reset();
        Orvex::Thread::OxThreadManager::release();
    }

    void startAt(const std::u16string& path) {
        auto& setting = services_.settings.getDungeonSetting();
        setting.scriptPath.fill(u'\0');
        std::copy(path.begin(), path.end(), setting.scriptPath.begin());
        floor_ = std::make_shared<CDungeon>(services_);
    }

    // Waits, bounded, until the worker has run every task.
    bool waitIdle() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!floor_->isIdle()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    // One game-thread frame: effects, then the floor.
    void frame(float seconds = 0.1f) {
        services_.frameTime = seconds;
        services_.milliseconds += static_cast<uint32_t>(seconds * 1000.0f);
        services_.effects.update(nullptr, seconds);
        floor_->update();
        floor_->draw();
        services_.queue.clear();
    }

    // Frames while the meltdown movie plays, for a bounded time; true when the result scene
    // alone was asked for.
    bool resultAfterMovie() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (services_.sceneChanges.empty() && std::chrono::steady_clock::now() < deadline) {
            frame(0.02f);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return services_.sceneChanges == std::vector<int32_t>{10};
    }

    // Frames until the floor plays, for a bounded time.
    bool playFloor() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!floor_->isInMain() && std::chrono::steady_clock::now() < deadline) {
            frame();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return floor_->isInMain();
    }

    std::unique_ptr<Orvex::OxOrvexManager> root_;
    TempFolder folder_;
    GameTest::TestGameContext context_;
    DungeonTest::TestDungeonServices services_{context_};
    std::unique_ptr<Fenwarrow::CGameDataManager> gameData_;
    Orvex::Graphics::IOrvexGraphics* graphics_ = nullptr;
    Orvex::Graphics::IOrvexRenderer* renderer_ = nullptr;
    std::shared_ptr<CDungeon> floor_;
};

TEST_F(FloorLife, TheWorkerSetsTheFloorUpInOrderThenTheLoadingScreenFadesIntoPlay) {
    ASSERT_TRUE(floor_->initialize());
    EXPECT_TRUE(floor_->isLoading());
    ASSERT_TRUE(waitIdle());
    const std::vector<std::string> expected = {
        "attach",
        "main",
        "getFloorNumber",
        "getPrevScene",
        "getNextScene",
        "getPrevDungeon",
        "getNextDungeon",
        "getBackMovieFilePath",
        "getMaxAutoGenerateEnemyCount",
        "getEnemyAutoGenerateTurnCount",
        "loading Dungeon/TEST/001.lua Dungeon/TEST/ 1",
        "generate",
        "hud",
        "setup",
        "getInitialEnemyCount",
        "setupEvent",
    };
    EXPECT_EQ(trace(), expected);

    const auto& state = floor_->getFloorState();
    EXPECT_EQ(state.floorNumber, 1);
    EXPECT_EQ(getFloorText(state.nextDungeonPath), u"Dungeon/TEST/002.lua");
    EXPECT_EQ(getFloorText(state.titleImagePath), u"Dungeon/TEST/title.bmp");
    EXPECT_EQ(getFloorText(state.bgmPath), u"BGM/none.ogg");
    EXPECT_EQ(state.backgroundColor, 0xFF0A141Eu);
    EXPECT_EQ(services_.clearColour, 0xFF0A141Eu);
    EXPECT_EQ(state.maxAutoGenerateEnemyCount, 5);
    EXPECT_TRUE(floor_->isTitleLoaded());
    EXPECT_TRUE(floor_->isLoadingReady());

    // The player stands on the start cell facing south, first in the turn order.
    const auto& player = floor_->getPlayer();
    ASSERT_NE(player, nullptr);
    ASSERT_NE(player->getCell(), nullptr);
    EXPECT_EQ(player->getCell()->getPoint(), (MapPoint{2, 3}));
    EXPECT_EQ(player->getStatus().getDirection(), 4);
    EXPECT_EQ(floor_->getTurnController().getParticipantCount(), 1u);
    EXPECT_TRUE(floor_->getMap().getCell({2, 3})->tracked);

    // A new dungeon holds no minimum: the fade-out starts at once and plays lead in.
    frame();
    EXPECT_TRUE(floor_->isLoading());
    EXPECT_TRUE(playFloor());
    EXPECT_EQ(services_.effects.size(), 1u) << "the loading state's exit fades back in";
    EXPECT_FALSE(floor_->isLoadingReady());
}

// A layer that stands in for both of the floor's layers and records whose control it is.
class ControlLayer : public Fenwarrow::SceneLayer::CSceneLayer, public Fenwarrow::Actor::IPlayerControl {
public:
    explicit ControlLayer(std::string kind) : kind(std::move(kind)) {}
    bool setup() override {
        alive = true;
        return true;
    }
    void update() override {}
    void onTurn(Fenwarrow::Dungeon::IActionManager&) override {}
    void clearContinuousMove() override {}
    bool isDashing() const override { return false; }
    std::string kind;
};

TEST_F(FloorLife, TheSetUpStacksTheEventLayerThenThePlayerLayerWhichTheFloorKeepsForItsPlayer) {
    int made = 0;
    services_.makePlayerLayer = [&made](CDungeon&, Fenwarrow::Actor::CActor&) {
        ++made;
        return std::make_shared<ControlLayer>("player");
    };
    services_.makeEventLayer = [] { return std::make_shared<ControlLayer>("event"); };
    ASSERT_TRUE(floor_->initialize());
    ASSERT_TRUE(waitIdle());
    services_.layers.update();
    ASSERT_EQ(services_.layers.getLayerCount(), 2u);
    auto* player = dynamic_cast<Fenwarrow::Actor::CPlayer*>(floor_->getPlayer().get());
    ASSERT_NE(player, nullptr);
    auto* control = dynamic_cast<ControlLayer*>(player->getPlayerLayer());
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->kind, "player");
    EXPECT_EQ(floor_->getPlayerLayer(), control);
    EXPECT_EQ(dynamic_cast<ControlLayer*>(floor_->getEventLayer())->kind, "event");
    EXPECT_TRUE(control->isFocused()) << "the player layer is on top";

    // The next floor keeps the same player layer and stacks it again.
    EXPECT_TRUE(playFloor());
    floor_->requestNextDungeon();
    frame();
    ASSERT_TRUE(floor_->isLoading());
    ASSERT_TRUE(waitIdle());
    ASSERT_EQ(floor_->getFloorState().floorNumber, 2);
    services_.layers.update();
    EXPECT_EQ(services_.layers.getLayerCount(), 2u);
    EXPECT_EQ(made, 1);
    EXPECT_EQ(player->getPlayerLayer(), control);

    // The player outlives the floor object and lets go of its layer with it.
    floor_->clear();
    EXPECT_EQ(player->getPlayerLayer(), nullptr);
    EXPECT_EQ(floor_->getPlayerLayer(), nullptr);
}

TEST_F(FloorLife, ALoadingScriptThatHoldsKeepsTheFloorOnTheLoadingScreen) {
    loadingHolds = true;
    ASSERT_TRUE(floor_->initialize());
    ASSERT_TRUE(waitIdle());
    for (int i = 0; i < 50; ++i) {
        frame();
    }
    EXPECT_TRUE(floor_->isLoading());
    EXPECT_EQ(services_.effects.size(), 0u);
    loadingHolds = false;
    EXPECT_TRUE(playFloor());
}

TEST_F(FloorLife, FloorChangesStayInTheDungeonOrSetUpANewOne) {
    ASSERT_TRUE(floor_->initialize());
    ASSERT_TRUE(playFloor());

    floor_->changeFloor(u"");  // nothing
    frame();
    EXPECT_TRUE(floor_->isInMain());

    // The next floor of the same dungeon: only the floor set-up runs, and the loading screen
    // stays a second even though the set-up is done at once.
    trace().clear();
    floor_->requestNextDungeon();
    frame();
    EXPECT_TRUE(floor_->isLoading());
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(trace().at(1), "main");
    EXPECT_EQ(floor_->getFloorState().floorNumber, 2);
    frame(0.5f);
    EXPECT_TRUE(floor_->isLoading());
    ASSERT_TRUE(playFloor());
    EXPECT_EQ(floor_->getFloorState().nextScene, 9);

    // Floor 2 names a next scene: the request leaves the dungeon instead.
    floor_->requestNextDungeon();
    EXPECT_TRUE(floor_->isExiting());
    EXPECT_EQ(services_.sceneChanges, std::vector<int32_t>{9});

    // Another directory is another dungeon.
    floor_->changeFloorNow(u"Dungeon/OTHER/001.lua");
    ASSERT_TRUE(playFloor());
    EXPECT_EQ(floor_->getFloorState().floorNumber, 7);
    EXPECT_EQ(getFloorText(floor_->getFloorState().dungeonDirectory), u"Dungeon/OTHER/");
}

TEST_F(FloorLife, TurnLimitWarnsAtExactCountsAfterAWrapAndMeltsDownAt1000) {
    ASSERT_TRUE(floor_->initialize());
    ASSERT_TRUE(playFloor());
    auto& turns = floor_->getTurnController();

    // The player alone: its turn ends each frame, and the order wraps once per round.
    const auto playPast = [&](uint32_t count) {
        for (int i = 0; i < 40 && turns.getTurnCount() <= count && !floor_->isInMeltdown(); ++i) {
            frame();
        }
    };
    turns.setTurnCount(898);
    playPast(900);
    ASSERT_EQ(services_.scripted, std::vector<std::u16string>{u"Script/Effect/Atom/caution.lua"});
    ASSERT_FALSE(floor_->getLogManager().getHistory().empty());
    EXPECT_EQ(floor_->getLogManager().getHistory().back(), u"嫌な予感がする。");

    turns.setTurnCount(951);  // past the second warning: it never comes
    playPast(953);
    EXPECT_EQ(services_.scripted.size(), 1u);
    turns.setTurnCount(949);
    playPast(950);
    EXPECT_EQ(services_.scripted.size(), 2u);

    turns.setTurnCount(999);
    playPast(1000);
    ASSERT_TRUE(floor_->isInMeltdown());
    EXPECT_TRUE(gameData_->getGlobalFlag(512));
    ASSERT_NE(services_.effect, nullptr);
    EXPECT_EQ(services_.effect->calls.front(), "prepare");

    // The result waits for the meltdown script's flag.
    frame();
    EXPECT_TRUE(services_.sceneChanges.empty());
    services_.settings.getResultSetting().flags[Fenwarrow::kResultMeltdown] = 1;
    EXPECT_TRUE(resultAfterMovie());
}

TEST_F(FloorLife, TheBackMovieGivesWayToTheMeltdownMovieAndTheResultFollowsItsEnd) {
    startAt(u"Dungeon/MOVIE/001.lua");
    ASSERT_TRUE(floor_->initialize());
    ASSERT_TRUE(playFloor());
    EXPECT_TRUE(floor_->isMoviePlaying());
    floor_->getTurnController().setTurnCount(999);
    for (int i = 0; i < 40 && !floor_->isInMeltdown(); ++i) {
        frame();
    }
    ASSERT_TRUE(floor_->isInMeltdown());
    EXPECT_FALSE(floor_->isMoviePlaying()) << "the back movie stops";
    services_.settings.getResultSetting().flags[Fenwarrow::kResultMeltdown] = 1;
    frame();
    EXPECT_TRUE(floor_->isMoviePlaying());
    EXPECT_TRUE(services_.sceneChanges.empty()) << "the result waits for the movie";
    EXPECT_TRUE(resultAfterMovie());
}

// A meltdown movie that does not open ends the run all the same: the result follows at once,
// with a line that names the movie.
TEST_F(FloorLife, WithoutItsMovieTheMeltdownGoesStraightOnToTheResult) {
    std::string error;
    ASSERT_TRUE(
        Orvex::Packer::writeArchive(folder_ / "d001.bin", {{u"Movie/meltdown.ogv", text("not a movie")}}, {}, error))
        << error;
    ASSERT_EQ(context_.reader.openArchives(
                  {TempFolder::engineForm(folder_ / "d000.bin"), TempFolder::engineForm(folder_ / "d001.bin")},
                  Orvex::FileArchiver::OxArchiveOptions{}),
              0u);
    int lines = 0;
    Platform::Kernel::setDebugSink([&lines](std::u16string_view line) {
        lines += line.find(u"Meltdown movie not opened: Movie/meltdown.ogv") != std::u16string_view::npos;
    });
    ASSERT_TRUE(floor_->initialize());
    ASSERT_TRUE(playFloor());
    floor_->getTurnController().setTurnCount(999);
    for (int i = 0; i < 40 && !floor_->isInMeltdown(); ++i) {
        frame();
    }
    ASSERT_TRUE(floor_->isInMeltdown());
    services_.settings.getResultSetting().flags[Fenwarrow::kResultMeltdown] = 1;
    const bool result = resultAfterMovie();
    Platform::Kernel::setDebugSink({});
    EXPECT_TRUE(result);
    EXPECT_FALSE(floor_->isMoviePlaying());
    EXPECT_EQ(lines, 1) << "once, not every frame";
}

TEST_F(FloorLife, ANoLimitFloorNeitherWarnsNorGeneratesAndAZeroIntervalNeverDivides) {
    ASSERT_TRUE(floor_->initialize());
    ASSERT_TRUE(playFloor());
    // Generation is asked for but its interval is 0: nothing is generated and nothing traps.
    ASSERT_EQ(floor_->getFloorState().enemyAutoGenerateTurnCount, 0);
    auto& turns = floor_->getTurnController();
    const auto playPast = [&](uint32_t count) {
        for (int i = 0; i < 40 && turns.getTurnCount() <= count; ++i) {
            frame();
        }
    };
    playPast(turns.getTurnCount() + 3);
    EXPECT_TRUE(services_.arrivals.empty());

    floor_->getFloorState().enemyAutoGenerateTurnCount = 1;
    playPast(turns.getTurnCount() + 3);
    EXPECT_EQ(services_.arrivals, std::vector<std::u16string>{u"Actor/Enemy/NONE/"}) << "one, then none";

    floor_->getFloorState().floorType = CDungeon::kFloorTypeNoLimit;
    turns.setTurnCount(899);
    playPast(1001);
    EXPECT_TRUE(services_.scripted.empty());
    EXPECT_TRUE(floor_->isInMain());
}

TEST_F(FloorLife, DefeatWaitsForTheQueueAndLeavesForTheResultAfter3Point6Seconds) {
    ASSERT_TRUE(floor_->initialize());
    ASSERT_TRUE(playFloor());
    auto& player = *floor_->getPlayer();
    player.getStatus().setLife(1.0f);
    frame();
    EXPECT_TRUE(floor_->isInMain()) << "one point of life is alive";
    // Recovery between hits can leave a fraction: below one point the player is dead, as the
    // turn order has it, so the floor must not wait at a standstill.
    player.getStatus().setLife(0.5f);
    services_.actions->busy = true;
    frame();
    EXPECT_TRUE(floor_->isInMain()) << "the queue finishes first";
    services_.actions->busy = false;
    frame();
    ASSERT_TRUE(floor_->isDefeated());
    for (int i = 0; i < 35; ++i) {
        frame(0.1f);
    }
    EXPECT_TRUE(services_.sceneChanges.empty());
    for (int i = 0; i < 3 && services_.sceneChanges.empty(); ++i) {
        frame(0.1f);
    }
    EXPECT_EQ(services_.sceneChanges, std::vector<int32_t>{10});
}

TEST_F(FloorLife, AnEventScriptRunsOverTheStillFloorAndReturnsToPlay) {
    ASSERT_TRUE(floor_->initialize());
    ASSERT_TRUE(playFloor());
    floor_->doEventScript(u"Script/Event/test.lua");
    EXPECT_TRUE(floor_->isInEvent());
    ASSERT_TRUE(waitIdle());
    const int updates = services_.actions->updates;
    for (int i = 0; i < 5 && floor_->isInEvent(); ++i) {
        frame();
    }
    EXPECT_TRUE(floor_->isInMain());
    EXPECT_FALSE(floor_->isEventScriptRunning());
    EXPECT_LE(services_.actions->updates, updates + 1) << "actions stand still during the event";
}

// The floor goes while its loading fade still runs: the fade may finish later without
// calling into the freed floor.
TEST_F(FloorLife, AFloorDestroyedDuringItsLoadingFadeLeavesNoCallbackBehind) {
    ASSERT_TRUE(floor_->initialize());
    ASSERT_TRUE(waitIdle());
    frame();
    ASSERT_EQ(services_.effects.size(), 1u);
    floor_.reset();
    services_.effects.clear();  // finishes the fade, as the program's shutdown does
    SUCCEED();
}

// The full-screen switch resets the device while the floor's worker may be making textures
// (the title image, the mini-map's icons): the renderer's registry is walked and filled at once.
TEST_F(FloorLife, DeviceResetsWhileTheWorkerSetsFloorsUpLoseNothing) {
    Orvex::Graphics::OxGraphicsParameters parameters;
    parameters.width = 160;
    parameters.height = 120;
    ASSERT_TRUE(floor_->initialize());
    const std::u16string floors[] = {u"Dungeon/OTHER/001.lua", u"Dungeon/TEST/001.lua"};
    for (int round = 0; round < 12; ++round) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!floor_->isIdle() && std::chrono::steady_clock::now() < deadline) {
            ASSERT_EQ(Orvex::Graphics::kOxOk, renderer_->reset(&parameters));
        }
        ASSERT_TRUE(waitIdle());
        ASSERT_TRUE(floor_->isTitleLoaded()) << round;
        floor_->changeFloorNow(floors[round % 2]);
    }
    ASSERT_TRUE(waitIdle());
    ASSERT_EQ(Orvex::Graphics::kOxOk, renderer_->reset(&parameters));
    ASSERT_TRUE(playFloor());
    EXPECT_EQ(floor_->getFloorState().floorNumber, 1);
    frame();
}

// Dungeon.enemyLevelUP queues the level change of an actor the game knows, with the level as
// given; anything else queues nothing.
TEST_F(FloorLife, EnemyLevelUpIsQueuedForAKnownActorOnly) {
    ASSERT_TRUE(floor_->initialize());
    ASSERT_TRUE(playFloor());
    Fenwarrow::CScriptController host(context_);
    const auto bytes = text("function up(actor, level) Dungeon.enemyLevelUP(actor, level) end");
    ASSERT_TRUE(host.setupState(bytes.data(), static_cast<uint32_t>(bytes.size()), 0x10000));
    ASSERT_TRUE(host.attachCommand(
        std::make_shared<Fenwarrow::ScriptCommand::CDungeonCommand>([this] { return floor_.get(); })));
    ASSERT_TRUE(host.runMain());
    int stranger = 0;
    std::vector<Orvex::Script::CScriptValue> results;
    Fenwarrow::Actor::CActor* player = floor_->getPlayer().get();
    host.callFunction(
        results, "up", 0,
        {Orvex::Script::CScriptValue(static_cast<void*>(player)), Orvex::Script::CScriptValue::fromInteger(-2)});
    host.callFunction(
        results, "up", 0,
        {Orvex::Script::CScriptValue(static_cast<void*>(&stranger)), Orvex::Script::CScriptValue::fromInteger(1)});
    const std::vector<std::pair<Fenwarrow::Actor::CActor*, int32_t>> expected{{player, -2}};
    EXPECT_EQ(services_.levelUps, expected);
}

TEST_F(FloorLife, EnemiesArriveOnMovableCellsUpToTheActorLimit) {
    ASSERT_TRUE(floor_->initialize());
    ASSERT_TRUE(playFloor());
    trace().clear();
    const auto enemy = floor_->createEnemy(u"Actor/Enemy/TEST/", {4, 3});
    ASSERT_NE(enemy, nullptr);
    EXPECT_EQ(enemy->getCell()->getPoint(), (MapPoint{4, 3}));
    EXPECT_EQ(trace(), std::vector<std::string>{"arrived"});
    EXPECT_EQ(floor_->createEnemy(u"Actor/Enemy/TEST/", {2, 3}), nullptr) << "the player's cell";
    EXPECT_EQ(floor_->createEnemy(u"Actor/Enemy/TEST/", {0, 0}), nullptr) << "not a floor cell";
    EXPECT_EQ(floor_->createNonPlayer(u"Actor/Enemy/NONE/", {5, 3}), nullptr) << "no such folder";
    EXPECT_EQ(floor_->getTurnController().getParticipantCount(), 2u);

    for (int32_t y = 1; y <= 5 && !floor_->isMaxActor(); ++y) {
        for (int32_t x = 1; x <= 6 && !floor_->isMaxActor(); ++x) {
            floor_->createEnemy(u"Actor/Enemy/TEST/", {x, y});
        }
    }
    ASSERT_TRUE(floor_->isMaxActor());
    trace().clear();
    EXPECT_EQ(floor_->createEnemy(u"Actor/Enemy/TEST/", {6, 5}), nullptr);
    EXPECT_TRUE(trace().empty()) << "no set-up runs at the limit";
}

TEST_F(FloorLife, LongScriptStringsAreCutToTheirFieldAndLeaveTheNextIntact) {
    Fenwarrow::Dungeon::FloorState state;
    const std::u16string longPath(300, u'x');
    Fenwarrow::Dungeon::setFloorText(state.floorScriptPath, longPath);
    Fenwarrow::Dungeon::setFloorText(state.dungeonDirectory, u"Dungeon/");
    EXPECT_EQ(getFloorText(state.floorScriptPath), longPath.substr(0, 127));
    EXPECT_EQ(getFloorText(state.dungeonDirectory), u"Dungeon/");
    state.resourceDirectory.fill(u'y');  // no terminator, as a damaged save may hold
    EXPECT_EQ(getFloorText(state.resourceDirectory).size(), 128u);
    EXPECT_EQ(state.floorNumber, -1);
}

}  // namespace
