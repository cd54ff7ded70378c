// A floor in play is suspended and resumed in the same process and plays on identically: the
// same map, actors, items, turn count and script state, turn after turn under the same random
// numbers. The suspend save resumes once only.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <thread>

#include "engine/font/OxFont.h"
#include "engine/random/OxRandomRange.h"
#include "engine/system/OxOrvexManager.h"
#include "engine/system/OxStringConvert.h"
#include "engine/thread/OxThreadManager.h"
#include "game/condition/CConditionController.h"
#include "game/dungeon/CDungeon.h"
#include "game/save/CGameSaveController.h"
#include "game/save/CSaveDataController.h"
#include "game/scriptcommand/CDungeonCommand.h"
#include "game/scriptcommand/CMapCommand.h"
#include "graphics/include/IOrvexGraphics.h"
#include "graphics/include/IOrvexRenderer.h"
#include "tests/engine/io/TempFolder.h"
#include "tests/game/dungeon/DungeonTestServices.h"
#include "tests/game/save/SaveTestWorld.h"
#include "tests/game/save/SavedFields.h"

namespace {

using Fenwarrow::Actor::CActor;
using Fenwarrow::Dungeon::CDungeon;
using Fenwarrow::Dungeon::MapPoint;

Fenwarrow::Dungeon::CDungeon* activeFloor = nullptr;
bool playerHolds = false;

CActor* actorArg(lua_State* L) { return CActor::findLiveActor(lua_touserdata(L, 1)); }

int gameEndTurn(lua_State* L) {
    if (CActor* actor = actorArg(L)) {
        actor->setTurnState(0);
    }
    return 0;
}

int gameHolding(lua_State* L) {
    lua_pushboolean(L, playerHolds ? 1 : 0);
    return 1;
}

std::string pointText(MapPoint point) { return std::to_string(point.x) + "," + std::to_string(point.y); }

void log(const std::string& line) { activeFloor->getLogManager().addLogMessage(Orvex::System::widen(line)); }

// One random step, where the floor lets the actor go; a strike of a random strength at a
// player next to it first. Every outcome goes into the floor's log.
int gameWander(lua_State* L) {
    CActor* actor = actorArg(L);
    if (actor == nullptr || activeFloor == nullptr || actor->getCell() == nullptr) {
        return 0;
    }
    auto& random = activeFloor->getServices().getGameContext().getRandomGenerator();
    const MapPoint from = actor->getCell()->getPoint();
    const auto& player = activeFloor->getPlayer();
    if (player != nullptr && player->getCell() != nullptr) {
        const MapPoint at = player->getCell()->getPoint();
        if (std::abs(at.x - from.x) <= 1 && std::abs(at.y - from.y) <= 1 && player->getStatus().getLife() > 4.0f) {
            const int32_t strength = Orvex::Random::getRange(random, 1, 2);
            player->getStatus().setLife(player->getStatus().getLife() - static_cast<float>(strength));
            log("strike " + std::to_string(strength) + " from " + pointText(from));
        }
    }
    const int32_t direction = Orvex::Random::getRange(random, 0, 7);
    const MapPoint to{from.x + CDungeon::kDirectionX[direction], from.y + CDungeon::kDirectionY[direction]};
    if (activeFloor->isMovable(actor, to, true)) {
        activeFloor->putCellObject(actor, to, false);
        log("step " + pointText(from) + " to " + pointText(to));
    } else {
        log("stay at " + pointText(from));
    }
    return 0;
}

// The player's own keys, the same in every run: east on even turns, west on odd ones, where
// the floor lets him go.
int gameStep(lua_State* L) {
    CActor* actor = actorArg(L);
    if (actor == nullptr || activeFloor == nullptr || actor->getCell() == nullptr) {
        return 0;
    }
    const int32_t dx = lua_tointeger(L, 2) % 2 == 0 ? 1 : -1;
    const MapPoint from = actor->getCell()->getPoint();
    const MapPoint to{from.x + dx, from.y};
    if (activeFloor->isMovable(actor, to, true)) {
        activeFloor->putCellObject(actor, to, false);
    }
    return 0;
}

class FloorGameModule : public SaveTest::GameModule {
public:
    bool registerFunctions(Fenwarrow::CScriptController& controller) override {
        SaveTest::GameModule::registerFunctions(controller);
        lua_State* L = controller.getLuaState();
        lua_getglobal(L, "Game");
        for (const auto& [name, function] : {std::pair{"endTurn", &gameEndTurn}, std::pair{"holding", &gameHolding},
                                             std::pair{"wander", &gameWander}, std::pair{"step", &gameStep}}) {
            lua_pushcfunction(L, function);
            lua_setfield(L, -2, name);
        }
        lua_pop(L, 1);
        return true;
    }
};

constexpr const char* kPlayer = R"lua(
Actor.Command = {}
memo = 0
function Actor.initialize(a) me = a end
function Actor.onTurn()
  if not Game.holding() then memo = memo + 1 Game.step(me, memo) Game.endTurn(me) end
end
function Actor.Command.serialize(n, s) Game.Serialize.setInteger(s, memo) end
function Actor.Command.deserialize(n, s) memo = Game.Serialize.getInteger(s) end
)lua";
constexpr const char* kEnemy = R"lua(
Actor.Command = {}
memo = 0
function Actor.initialize(a) me = a end
function Actor.onTurn() memo = memo + 3 Game.wander(me) Game.endTurn(me) end
function Actor.Command.serialize(s) Game.Serialize.setInteger(s, memo) end
function Actor.Command.deserialize(s) memo = Game.Serialize.getInteger(s) end
)lua";
constexpr const char* kSetup = R"lua(
function getBGM() return "BGM/none.ogg" end
function getResourceDirectory() return "" end
function getTitleImage() return "title.bmp" end
)lua";
constexpr const char* kFloor = R"lua(
function getFloorNumber() return 3 end
function getPrevScene() return 0 end
function getNextScene() return 0 end
function getPrevDungeon() return "" end
function getNextDungeon() return "" end
function getBackMovieFilePath() return "" end
function getMaxAutoGenerateEnemyCount() return 0 end
function getEnemyAutoGenerateTurnCount() return 0 end
function generate()
  Map.create(32, 14, 10)
  Map.clearRoom()
  Map.addRoom(1, 1, 12, 8)
  for y = 1, 8 do for x = 1, 12 do Map.Cell.setCellType(x, y, 1) end end
  Map.Cell.setCellType(6, 4, 2)
  Map.setStartPosition(2, 3)
end
function setup() Dungeon.addEnemyList("Actor/Enemy/TEST/") end
function getInitialEnemyCount() return 4 end
function setupEvent() end
)lua";
constexpr const char* kLoading = "function initialize() end function update(t) return false end function draw() end";
constexpr const char* kHud = "function setPlayer(p) end function update(t) end function draw() end";

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

std::vector<Orvex::Packer::PackerEntry> floorEntries() {
    using ScriptTest::textBytes;
    return {{u"Actor/Player/HERO/actor.lua.lcd", textBytes(kPlayer)},
            {u"Actor/Enemy/TEST/actor.lua.lcd", textBytes(kEnemy)},
            {u"Dungeon/TEST/Setup.lua.lcd", textBytes(kSetup)},
            {u"Dungeon/TEST/title.bmp", bitmap()},
            {u"Dungeon/TEST/001.lua.lcd", textBytes(kFloor)},
            {u"Script/Dungeon/Loading.lua.lcd", textBytes(kLoading)},
            {u"Script/HUD/HERO/PlayerGauge.lua.lcd", textBytes(kHud)}};
}

// Later archive entries of the same name replace the world's own.
std::vector<Orvex::Packer::PackerEntry> withFloorScripts() {
    std::vector<Orvex::Packer::PackerEntry> entries;
    for (auto& entry : SaveTest::archiveEntries()) {
        bool replaced = false;
        for (const auto& floor : floorEntries()) {
            replaced = replaced || floor.name == entry.name;
        }
        if (!replaced) {
            entries.push_back(entry);
        }
    }
    return entries;
}

class SuspendedFloor : public ::testing::Test {
protected:
    void SetUp() override {
        playerHolds = false;
        ScriptTest::openArchive(folder_, world_->context.reader, [] {
            auto entries = withFloorScripts();
            auto floor = floorEntries();
            entries.insert(entries.end(), floor.begin(), floor.end());
            return entries;
        }());
        auto& context = world_->context;
        context.factories[Fenwarrow::ScriptModule::kGame] = [] { return std::make_shared<FloorGameModule>(); };
        context.factories[Fenwarrow::ScriptModule::kMap] = [] {
            Fenwarrow::ScriptCommand::CMapCommand::Services services;
            services.currentFloor = [] { return activeFloor; };
            return std::make_shared<Fenwarrow::ScriptCommand::CMapCommand>(services);
        };
        context.factories[Fenwarrow::ScriptModule::kDungeon] = [] {
            return std::make_shared<Fenwarrow::ScriptCommand::CDungeonCommand>([] { return activeFloor; });
        };
        world_->gameData->reset();  // a player from the floor scripts
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
        services_.resume = [this](CDungeon& floor) { return saves().loadSuspendedGame(floor); };
        Fenwarrow::setSettingText(services_.settings.getDungeonSetting().scriptPath, u"Dungeon/TEST/001.lua");
    }

    void TearDown() override {
        activeFloor = nullptr;
        floor_.reset();
        world_.reset();
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

    Fenwarrow::CGameSaveController saves() {
        return Fenwarrow::CGameSaveController(world_->context, services_.settings, 7);
    }

    void newFloor(bool resume) {
        activeFloor = nullptr;
        floor_.reset();
        services_.settings.getDungeonSetting().resume = resume;
        floor_ = std::make_shared<CDungeon>(services_);
        floor_->setItemFactory(&world_->factory);
        activeFloor = floor_.get();
        ASSERT_TRUE(floor_->initialize());
    }

    void frame() {
        services_.frameTime = 0.1f;
        services_.milliseconds += 100;
        services_.effects.update(nullptr, 0.1f);
        floor_->update();
        floor_->draw();
        services_.queue.clear();
    }

    // Frames, bounded in time, until the condition holds.
    template <typename Done>
    bool runUntil(Done done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            frame();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    // The player stops in his turn, where a suspend would be asked for.
    bool holdInPlayersTurn() {
        playerHolds = true;
        const auto& player = world_->gameData->getPlayer();
        return runUntil(
            [&] { return floor_->getTurnController().getCurrent() == player && player->getTurnState() != 0; });
    }

    // Everything of the floor that play changes, as text.
    std::string snapshot() const {
        std::ostringstream out;
        const auto& turns = floor_->getTurnController();
        out << "turn " << turns.getTurnCount() << " current "
            << (turns.getCurrent() ? turns.indexOf(turns.getCurrent().get()) : 99) << "\n";
        for (const auto& actor : turns.getParticipants()) {
            const auto* cell = actor->getCell();
            out << Orvex::System::narrow(actor->getActorDirectory()) << " at "
                << (cell ? std::to_string(cell->x) + "," + std::to_string(cell->y) : "-") << " life "
                << actor->getStatus().getLife() << " state " << actor->getTurnState() << " memo "
                << SaveTest::memoOf(*actor) << " items " << actor->getItemList().size() << "\n";
        }
        for (const auto& item : floor_->getItems()) {
            const auto* cell = item->getCell();
            out << "item " << item->getItemID() << " " << Orvex::System::narrow(item->getName()) << " at "
                << (cell ? std::to_string(cell->x) + "," + std::to_string(cell->y) : "-") << "\n";
        }
        const auto& map = floor_->getMap();
        out << "map " << map.getWidth() << "x" << map.getHeight() << " rooms " << map.getRoomCount() << "\n";
        for (const auto& cell : map.getCells()) {
            out << cell.cellType << (cell.room != nullptr ? "r" : "") << cell.objectCount;
            for (std::size_t i = 0; i < cell.objectCount; ++i) {
                out << (cell.objects[i] != nullptr && cell.objects[i]->getCell() == &cell ? "+" : "?");
            }
        }
        return out.str();
    }

    // The same number of frames, each recorded, then the log lines they wrote.
    std::vector<std::string> play(int frames) {
        const std::size_t logged = floor_->getLogManager().getHistory().size();
        std::vector<std::string> states;
        for (int i = 0; i < frames; ++i) {
            frame();
            states.push_back(snapshot());
        }
        const auto& history = floor_->getLogManager().getHistory();
        for (std::size_t i = logged; i < history.size(); ++i) {
            states.push_back("log " + Orvex::System::narrow(history[i]));
        }
        return states;
    }

    std::unique_ptr<Orvex::OxOrvexManager> root_ = std::make_unique<Orvex::OxOrvexManager>();
    TempFolder folder_;
    std::unique_ptr<SaveTest::World> world_ = std::make_unique<SaveTest::World>(folder_);
    DungeonTest::TestDungeonServices services_{world_->context};
    Orvex::Graphics::IOrvexGraphics* graphics_ = nullptr;
    Orvex::Graphics::IOrvexRenderer* renderer_ = nullptr;
    std::shared_ptr<CDungeon> floor_;
};

TEST_F(SuspendedFloor, AResumedFloorPlaysOnAsTheOriginalDid) {
    newFloor(false);
    ASSERT_TRUE(runUntil([this] { return floor_->isInMain(); }));
    ASSERT_EQ(floor_->getTurnController().getParticipantCount(), 5u);
    // Items: on free cells, one under an enemy, one named, one holding another.
    const auto enemy = floor_->getTurnController().getActor(1);
    ASSERT_NE(floor_->createItem(1, {10, 7}), nullptr);
    auto named = floor_->createItem(2, {11, 7});
    ASSERT_NE(named, nullptr);
    named->setName(u"壺");
    named->pushItemIntoItemList(world_->item(1));
    auto under = world_->item(1060);
    floor_->addFloorItem(under);
    floor_->forcePutCellObject(under.get(), enemy->getCell()->getPoint());
    enemy->addItem(world_->item(1));
    ASSERT_TRUE(runUntil([this] { return floor_->getTurnController().getTurnCount() >= 4; }));
    ASSERT_TRUE(holdInPlayersTurn());

    ASSERT_TRUE(saves().saveSuspendedGame(*floor_));
    const std::vector<uint8_t> suspendSave = folder_.readFile("c001.bin");
    const int32_t suspendId = world_->gameData->getGlobalInt(16);
    EXPECT_NE(suspendId, 0);
    EXPECT_TRUE(world_->gameData->getGlobalFlag(15));
    const std::string atSuspend = snapshot();
    playerHolds = false;
    // The floor plays on from the generator as the suspend left it; the resumed floor must
    // draw the same numbers from the state kept in the save.
    const std::vector<std::string> original = play(40);
    ASSERT_NE(original.at(39), atSuspend);  // the floor did play on
    ASSERT_NE(std::find_if(original.begin(), original.end(),
                           [](const std::string& line) { return line.starts_with("log step"); }),
              original.end());

    // A new floor in resume mode, from a game data that has forgotten everything.
    world_->gameData->reset();
    world_->context.random.seed(12345);  // the draws since have nothing to do with the save
    playerHolds = true;
    newFloor(true);
    ASSERT_TRUE(runUntil([this] { return floor_->isInMain(); }));
    EXPECT_TRUE(services_.sceneChanges.empty());
    EXPECT_EQ(snapshot(), atSuspend);
    EXPECT_EQ(floor_->getPlayer(), world_->gameData->getPlayer());
    EXPECT_EQ(world_->gameData->getGlobalInt(16), 0);
    EXPECT_FALSE(std::filesystem::exists(folder_ / "c001.bin"));
    playerHolds = false;
    EXPECT_EQ(play(40), original);

    // The same suspend save again: its id no longer matches the common save's.
    folder_.writeFile("c001.bin", suspendSave);
    playerHolds = true;
    newFloor(true);
    ASSERT_TRUE(runUntil([this] { return !services_.sceneChanges.empty(); }));
    EXPECT_EQ(services_.sceneChanges, std::vector<int32_t>{CDungeon::kSceneResult});
    EXPECT_TRUE(std::filesystem::exists(folder_ / "c001.bin"));
    EXPECT_NE(floor_->getLoadError().find("it belongs to another suspended game"), std::string::npos)
        << floor_->getLoadError();
}

}  // namespace

namespace {

using Fenwarrow::CSaveDataController;

// A suspend save that cannot be read is refused with a line naming the file and the check, is
// kept under a new name where the end of the run cannot delete it, and the game goes on as it
// does without a suspend save: to the result scene, the common save untouched.
TEST_F(SuspendedFloor, ADamagedSuspendSaveIsSetAsideAndTheGameGoesOnWithoutIt) {
    newFloor(false);
    ASSERT_TRUE(runUntil([this] { return floor_->isInMain(); }));
    ASSERT_TRUE(holdInPlayersTurn());
    ASSERT_TRUE(saves().saveSuspendedGame(*floor_));
    const std::vector<uint8_t> commonSave = folder_.readFile("c000.bin");
    const std::vector<uint8_t> good = folder_.readFile("c001.bin");
    std::vector<uint8_t> body;
    {
        SaveTest::OxSerializer data;
        CSaveDataController container;
        ASSERT_TRUE(container.readContainer(data, u"c001.bin"));
        body = data.getBuffer();
    }
    const std::size_t randomSection = 4 + 4 * world_->context.random.getState().size();
    ASSERT_GT(body.size(), randomSection + 100);
    const auto cut = [](std::vector<uint8_t> bytes, std::size_t keep) {
        bytes.resize(keep);
        return bytes;
    };
    const auto flip = [](std::vector<uint8_t> bytes, std::size_t at) {
        bytes.at(at) ^= 0x41;
        return bytes;
    };
    // A file of the given body, written as the game writes one.
    const auto withBody = [&](const std::vector<uint8_t>& bytes) {
        SaveTest::OxSerializer data;
        data.writeBlock(bytes.data(), bytes.size());
        CSaveDataController writer;
        writer.prepareHeader();
        EXPECT_TRUE(writer.writeContainer(data, u"c001.tmp.bin"));
        std::vector<uint8_t> file = folder_.readFile("c001.tmp.bin");
        std::filesystem::remove(folder_ / "c001.tmp.bin");
        return file;
    };
    std::vector<uint8_t> oldVersion = good;
    oldVersion[4] = CSaveDataController::kOldVersion ^ CSaveDataController::kScrambleKey;
    std::vector<uint8_t> version2 = good;
    version2[4] = 2 ^ CSaveDataController::kScrambleKey;
    std::vector<uint8_t> longState = body;
    longState.push_back(0);
    const struct {
        const char* what;
        std::vector<uint8_t> file;
        std::string reason;
    } cases[] = {
        {"empty", {}, "the file is shorter than its 16-byte header (0 bytes)"},
        {"cut in the header", cut(good, 10), "the file is shorter than its 16-byte header (10 bytes)"},
        {"the header alone", cut(good, 16), "the body ends before its compressed data does"},
        {"cut in half", cut(good, good.size() / 2), "the body ends before its compressed data does"},
        {"one byte short", cut(good, good.size() - 1), "the body ends before its compressed data does"},
        {"the magic flipped", flip(good, 0), "the header does not read \"HERO\" and version 1 (version byte 1)"},
        {"a body byte flipped", flip(good, 40), "the word pair at body byte 24 does not check"},
        {"the last byte flipped", flip(good, good.size() - 1), "the word pair at body byte "},
        {"the old version", oldVersion, "the file is of the old format (version 0)"},
        {"version 2", version2, "the header's version byte reads 2"},
        {"the floor cut short", withBody(cut(body, body.size() / 2)), "the floor: "},
        {"the generator's state cut", withBody(cut(body, body.size() - 3)),
         "the floor: the random generator's state counts more words than the body holds (body byte " +
             std::to_string(body.size() - randomSection) + ")"},
        {"a byte after the generator's state", withBody(longState),
         "the floor: the random generator's state is followed by bytes that belong to nothing"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        folder_.writeFile("c000.bin", commonSave);
        folder_.writeFile("c001.bin", c.file);
        world_->gameData->reset();
        services_.sceneChanges.clear();
        testing::internal::CaptureStderr();
        newFloor(true);
        const bool ended = runUntil([this] { return !services_.sceneChanges.empty(); });
        const std::string errors = testing::internal::GetCapturedStderr();
        ASSERT_TRUE(ended);
        EXPECT_EQ(services_.sceneChanges, std::vector<int32_t>{CDungeon::kSceneResult});
        EXPECT_NE(errors.find("c001.bin: the suspend save cannot be read (" + c.reason), std::string::npos) << errors;
        EXPECT_NE(errors.find("it is kept as c001.bin.bad and the game goes on without a suspended game"),
                  std::string::npos)
            << errors;
        EXPECT_FALSE(std::filesystem::exists(folder_ / "c001.bin"));
        EXPECT_EQ(folder_.readFile("c001.bin.bad"), c.file);
        EXPECT_EQ(folder_.readFile("c000.bin"), commonSave);
        std::filesystem::remove(folder_ / "c001.bin.bad");
    }

    // Without any suspend save the game goes the same way, with nothing to set aside.
    folder_.writeFile("c000.bin", commonSave);
    services_.sceneChanges.clear();
    newFloor(true);
    ASSERT_TRUE(runUntil([this] { return !services_.sceneChanges.empty(); }));
    EXPECT_EQ(services_.sceneChanges, std::vector<int32_t>{CDungeon::kSceneResult});
    EXPECT_FALSE(std::filesystem::exists(folder_ / "c001.bin.bad"));

    // A suspend save written before the generator's state was kept still resumes.
    folder_.writeFile("c001.bin", withBody(cut(body, body.size() - randomSection)));
    world_->gameData->reset();
    services_.sceneChanges.clear();
    newFloor(true);
    ASSERT_TRUE(runUntil([this] { return floor_->isInMain(); }));
    EXPECT_TRUE(services_.sceneChanges.empty());
    EXPECT_EQ(floor_->getTurnController().getParticipantCount(), 5u);
    EXPECT_FALSE(std::filesystem::exists(folder_ / "c001.bin"));
}

}  // namespace

namespace {

using Fenwarrow::Actor::Condition::CConditionController;
using Fenwarrow::Item::CItem;
using SaveTest::describeActor;
using SaveTest::describeItem;
using SaveTest::text;

TEST_F(SuspendedFloor, EveryFieldOfTheFloorComesBack) {
    world_->context.makeConditions = [](CActor& actor) { return std::make_unique<CConditionController>(actor); };
    world_->gameData->reset();  // a player with the game's condition set
    newFloor(false);
    ASSERT_TRUE(runUntil([this] { return floor_->isInMain(); }));
    ASSERT_TRUE(holdInPlayersTurn());

    // Each field of the floor's state a value of its own.
    Fenwarrow::Dungeon::FloorState& state = floor_->getFloorState();
    state.backgroundColor = 0x11223344u;
    state.floorNumber = 9;
    state.floorType = 2;
    state.prevScene = 4;
    state.nextScene = 5;
    Fenwarrow::Dungeon::setFloorText(state.prevDungeonPath, u"Dungeon/PREV/009.lua");
    Fenwarrow::Dungeon::setFloorText(state.nextDungeonPath, u"Dungeon/NEXT/011.lua");
    Fenwarrow::Dungeon::setFloorText(state.bgmPath, u"BGM/deep.ogg");
    state.showMiniMap = 0;
    state.miniMapOffsetX = 3.5f;
    state.miniMapOffsetY = -2.25f;
    state.enableDarkness = 0;
    state.robber = 1;
    state.maxAutoGenerateEnemyCount = 7;
    state.enemyAutoGenerateTurnCount = 5000;
    floor_->addEnemyList(u"Actor/Enemy/TEST/");

    // Each actor's values its own, conditions on with counters and may-act flags.
    const auto& actors = floor_->getTurnController().getParticipants();
    for (std::size_t i = 0; i < actors.size(); ++i) {
        CActor& actor = *actors.at(i);
        const auto n = static_cast<int32_t>(i);
        auto& s = actor.getStatus();
        s.setDirection(n % 8);
        s.setTurnCount(40 + n);
        s.setLevel(6 + n);
        s.setMaxLife(150.0f + n);
        s.setLife(77.5f + n);
        s.setMaxHungerPoint(120.0f + n);
        s.setHungerPoint(60.5f + n);
        s.setMaxForce(40 + n);
        s.setForce(12 + n);
        s.setAttack(7.5f + n);
        s.setDefense(3.25f + n);
        s.setPower(1.5f + n);
        s.setEXP(321 + n);
        s.setCategory(static_cast<uint32_t>(n + 1), true);
        s.setStabilityState(static_cast<uint32_t>(n + 2), true);
        s.setShown(n % 2 == 0);
        actor.setName(u"名" + Orvex::System::widen(std::to_string(n)));
        // The floor sets its player's speed to 1 when it takes him on.
        actor.setAnimationSpeed(n == 0 ? 1.0f : 1.25f + n);
        actor.setMotionLock(n % 2);
        actor.restoreMotionRecord(u"Walk", n % 2 == 0, true, n % 3 == 0);
        actor.getAnimation()->setFPS(12.0f + n);
        SaveTest::setMemo(actor, 1000 + n);
        auto* conditions = dynamic_cast<CConditionController*>(actor.getConditions());
        ASSERT_NE(conditions, nullptr) << i;
        for (int32_t type = 0; type < Fenwarrow::Actor::kConditionTypeCount; ++type) {
            auto* condition = conditions->getCondition(type);
            condition->setMayAct((type + n) % 3 != 0);
            // Quick and slow set the actor's animation speed on every frame, and hallucination,
            // shelter and Mobbly build a look again when read, so they stay off here: what is
            // compared is what the save keeps, not what a condition makes of it.
            using namespace Fenwarrow::Actor;
            const bool remakesLook = type == kConditionQuick || type == kConditionSlow || type == kConditionTrip ||
                                     type == kConditionSheltered || type == kConditionMobbly;
            if (auto* counting = dynamic_cast<Fenwarrow::Actor::Condition::CCountingCondition*>(condition)) {
                counting->setCounter((type + n) % 4 == 0 || remakesLook ? 0 : type + n + 2);
            }
        }
    }
    // Items with every status value set: carried, on the floor, and one inside another.
    const auto filled = [this](uint32_t id, int32_t n) {
        auto item = world_->item(id);
        auto& s = item->getStatus();
        s.setPrice(100 + n);
        s.setUnitPrice(10 + n);
        s.setUseCount(static_cast<uint32_t>(3 + n));
        s.setBaseAttack(4 + n);
        s.setAttack(6 + n);
        s.setBaseDefense(2 + n);
        s.setDefense(5 + n);
        s.setPoppable(true);
        // Kinds 0 to 3 have a fixed number of slots, which a loaded item is given again.
        s.setSlotCount(id <= 3 ? id + 2 : 3);
        s.setSlotAbility(0, static_cast<uint32_t>(9 + n));
        s.setSlotAbility(2, 11);
        s.setCurse(true);
        s.setBlessed(n % 2 == 0);
        s.setFrozen(true);
        s.setUnidentified(true);
        s.setItemHolder(id == 2);
        // An item with an option value or one used when taken is not kept with a floor, except
        // the kinds from 1050 to 1090, which always are.
        const bool alwaysKept = id >= 1050 && id <= 1090;
        s.setUseIfTaken(alwaysKept);
        s.setAnotherOption(alwaysKept ? -3 - n : 0);
        s.setShopEntryId(8 + n);
        s.setCellPoint(20 + n, 30 + n);
        item->getCategoryWeights()[n % CItem::kItemTypeCount] = 0.25f + static_cast<float>(n);
        item->setName(u"品" + Orvex::System::widen(std::to_string(n)));
        item->setVisible(n % 2 == 0);
        item->setAnimationSpeed(0.5f + static_cast<float>(n));
        return item;
    };
    actors.at(1)->addItem(filled(1, 0));
    actors.at(1)->addItem(filled(1060, 1));
    auto pot = filled(2, 2);
    pot->pushItemIntoItemList(filled(1, 3));
    floor_->addFloorItem(pot);
    floor_->forcePutCellObject(pot.get(), {10, 7});
    auto under = filled(1060, 4);
    floor_->addFloorItem(under);
    floor_->forcePutCellObject(under.get(), actors.at(2)->getCell()->getPoint());

    const auto describe = [this] {
        std::vector<std::string> out;
        const auto& turns = floor_->getTurnController();
        out.push_back("turn " + text(turns.getTurnCount()));
        for (const auto& folder : floor_->getEnemyList()) {
            out.push_back("enemy list " + Orvex::System::narrow(folder));
        }
        for (std::size_t i = 0; i < turns.getParticipants().size(); ++i) {
            describeActor(out, *turns.getParticipants().at(i), "actor " + text(i));
        }
        for (std::size_t i = 0; i < floor_->getItems().size(); ++i) {
            describeItem(out, *floor_->getItems()[i], "floor item " + text(i));
        }
        out.push_back(snapshot());
        return out;
    };
    const std::vector<std::string> before = describe();
    const Fenwarrow::Dungeon::FloorState stateBefore = floor_->getFloorState();
    ASSERT_TRUE(saves().saveSuspendedGame(*floor_));

    world_->gameData->reset();
    newFloor(true);
    ASSERT_TRUE(runUntil([this] { return floor_->isInMain(); }));
    ASSERT_TRUE(services_.sceneChanges.empty());
    EXPECT_EQ(floor_->getPlayer(), world_->gameData->getPlayer());
    const std::vector<std::string> after = describe();
    EXPECT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < std::min(before.size(), after.size()); ++i) {
        EXPECT_EQ(after[i], before[i]);
    }
    const Fenwarrow::Dungeon::FloorState& stateAfter = floor_->getFloorState();
    EXPECT_EQ(std::memcmp(&stateAfter, &stateBefore, sizeof(stateBefore)), 0);
    const std::pair<const char*, bool> same[] = {
        {"background colour", stateAfter.backgroundColor == stateBefore.backgroundColor},
        {"floor script", stateAfter.floorScriptPath == stateBefore.floorScriptPath},
        {"dungeon folder", stateAfter.dungeonDirectory == stateBefore.dungeonDirectory},
        {"resource folder", stateAfter.resourceDirectory == stateBefore.resourceDirectory},
        {"floor number", stateAfter.floorNumber == stateBefore.floorNumber},
        {"floor type", stateAfter.floorType == stateBefore.floorType},
        {"previous scene", stateAfter.prevScene == stateBefore.prevScene},
        {"next scene", stateAfter.nextScene == stateBefore.nextScene},
        {"previous dungeon", stateAfter.prevDungeonPath == stateBefore.prevDungeonPath},
        {"next dungeon", stateAfter.nextDungeonPath == stateBefore.nextDungeonPath},
        {"title image", stateAfter.titleImagePath == stateBefore.titleImagePath},
        {"music", stateAfter.bgmPath == stateBefore.bgmPath},
        {"music playing", stateAfter.currentBgmPath == stateBefore.currentBgmPath},
        {"back movie", stateAfter.backMoviePath == stateBefore.backMoviePath},
        {"mini-map shown", stateAfter.showMiniMap == stateBefore.showMiniMap},
        {"mini-map x", stateAfter.miniMapOffsetX == stateBefore.miniMapOffsetX},
        {"mini-map y", stateAfter.miniMapOffsetY == stateBefore.miniMapOffsetY},
        {"darkness", stateAfter.enableDarkness == stateBefore.enableDarkness},
        {"robber", stateAfter.robber == stateBefore.robber},
        {"enemy limit", stateAfter.maxAutoGenerateEnemyCount == stateBefore.maxAutoGenerateEnemyCount},
        {"enemy interval", stateAfter.enemyAutoGenerateTurnCount == stateBefore.enemyAutoGenerateTurnCount},
    };
    for (const auto& [field, equal] : same) {
        EXPECT_TRUE(equal) << field;
    }
}

}  // namespace
