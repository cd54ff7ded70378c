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
    // The player stops in his turn, where a suspend would be asked for.
    playerHolds = true;
    const auto& player = world_->gameData->getPlayer();
    ASSERT_TRUE(
        runUntil([&] { return floor_->getTurnController().getCurrent() == player && player->getTurnState() != 0; }));

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
    playerHolds = true;
    const auto& player = world_->gameData->getPlayer();
    ASSERT_TRUE(
        runUntil([&] { return floor_->getTurnController().getCurrent() == player && player->getTurnState() != 0; }));
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
