// Checks the built sample game's dungeon scripts as the game reads them: the turn-limit dungeon's
// own archive, the floors' ending scripts and settings, the stories, the functions the game calls
// in each script, the patch archive's entries, the loading screen and the player's gauges.
#include "tests/content/ContentArchiveFixture.h"

namespace ContentTest {
namespace {

TEST_F(ContentArchiveTest, TheTurnLimitDungeonComesFromItsOwnArchive) {
    auto reader = std::make_unique<OxPackedStreamReader>();
    OxArchiveOptions options;
    options.lowerCaseNames = 1;
    ASSERT_EQ(reader->openArchives({wide(std::string(ORVEX_RUN_DIR) + "/d500.bin")}, options), 0u);
    for (const char* name :
         {"Dungeon/R99/00/00/title.png", "Dungeon/R99/00/00/Setup.lua.lcd", "Dungeon/R99/00/00/Room.lua.lcd",
          "Dungeon/R99/00/00/001.lua.lcd", "Dungeon/R99/00/00/002.lua.lcd"}) {
        EXPECT_TRUE(reader->open(wide(name))) << name;
        reader->close();
    }
}

// The scripts that end a floor, run with stand-ins for the modules they call: the stairs go
// on or back by the item's option, the last stairs of a dungeon record the clear before they
// leave, the turn limit's warning ends by itself, and the meltdown records itself after its
// white-out and stays finished (the floor updates it until the record is set).
constexpr const char* kFloorEndStandIns = R"lua(
record = { flags = {}, globals = {} }
Game = {
  Setting = {
    Result = {
      setR30Cleared = function(v) record.flags.r30 = v end,
      setR99Cleared = function(v) record.flags.r99 = v end,
      setMeltdown = function(v) record.flags.meltdown = v end,
      setLastFloorNumber = function(n) record.floorNumber = n end,
      setLastFloorName = function(name) record.floorName = name end,
      setNextScene = function(n) record.resultNext = n end,
    },
    ADV = { setADVScriptFilePath = function(path) record.story = path end },
  },
  Data = { setGlobalInt = function(slot, value) record.globals[slot] = value end },
}
Dungeon = {
  getFloorNumber = function() return 3 end,
  requestNextDungeon = function() record.leave = (record.leave or "") .. "next" end,
  requestPrevDungeon = function() record.leave = (record.leave or "") .. "prev" end,
}
Item = { Status = { getAnotherOption = function(item) return item.option end } }
queued = {}
Graphics = {
  addRenderQueue = function(layer, name) queued[#queued + 1] = layer .. ":" .. name end,
  SpriteDraw = { drawFill = function(l, t, r, b, red, green, blue, alpha) lastFill = { red, green, blue, alpha } end },
}
)lua";

TEST_F(ContentArchiveTest, FloorEndingScriptsLeaveAndRecordAsTheirFloorNeeds) {
    struct Case {
        const char* script;
        const char* check;
    };
    const Case cases[] = {
        {"Script/Item/Action/Stairs.lua.lcd",
         "Game.Action.initialize({}, { option = 2 }) Game.Action.startAction()\n"
         "assert(record.leave == 'next', tostring(record.leave))\n"
         "record.leave = nil Game.Action.initialize({}, { option = 1 }) Game.Action.startAction()\n"
         "assert(record.leave == 'prev', tostring(record.leave))\n"
         "assert(Game.Action.updateAction(0.1) == false)\n"
         "assert(next(record.flags) == nil, 'plain stairs record nothing')\n"},
        {"Script/Item/Action/ExitDEMO10.lua.lcd",
         "Game.Action.initialize({}, { option = 2 }) Game.Action.startAction()\n"
         "assert(record.leave == 'next' and record.flags.r30 == true and record.flags.r99 == nil)\n"
         "assert(record.floorNumber == 3 and record.floorName ~= nil and record.resultNext == 9)\n"
         "assert(record.globals[100] == 1 and record.story == 'Script/ADV/Story/Intro.lua')\n"
         "assert(record.globals[101] == 10, 'the story is to lead to the result')\n"},
        {"Script/Item/Action/ExitR99.lua.lcd",
         "Game.Action.initialize({}, { option = 2 }) Game.Action.startAction()\n"
         "assert(record.leave == 'next' and record.flags.r99 == true and record.flags.r30 == nil)\n"
         "assert(record.floorNumber == 3 and record.floorName ~= nil and record.resultNext == 9)\n"},
        {"Script/Effect/Atom/caution.lua.lcd",
         "Game.Action.initialize({}) Game.Action.startAction()\n"
         "assert(Game.Action.updateAction(0.3) == true, 'the flash runs')\n"
         "Game.Action.drawAction() assert(#queued == 1) _G[queued[1]:match(':(.*)')]()\n"
         "assert(lastFill[1] == 1 and lastFill[4] > 0, 'a red flash')\n"
         "local frames = 0 while Game.Action.updateAction(0.1) do frames = frames + 1 assert(frames < 100) end\n"
         "queued = {} Game.Action.drawAction() assert(#queued == 0, 'an ended flash draws nothing')\n"
         "assert(next(record.flags) == nil and record.leave == nil)\n"},
        {"Script/Effect/Atom/meltdown.lua.lcd",
         "Game.Action.initialize({})\n"
         "for i = 1, 19 do assert(Game.Action.updateAction(0.1) == true) end\n"
         "assert(record.flags.meltdown == nil, 'not before the white-out is over')\n"
         "Game.Action.drawAction() _G[queued[1]:match(':(.*)')]()\n"
         "assert(lastFill[1] == 1 and lastFill[2] == 1 and lastFill[4] > 0.9, 'nearly white')\n"
         "assert(Game.Action.updateAction(0.1) == false and record.flags.meltdown == true)\n"
         "assert(record.floorNumber == 3)\n"
         "record.flags.meltdown = nil assert(Game.Action.updateAction(0.1) == false)\n"
         "assert(record.flags.meltdown == nil, 'recorded once') Game.Action.endAction()\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        lua_State* state = loadChunk(c.script, false);
        ASSERT_NE(state, nullptr);
        ASSERT_TRUE(run(state, kFloorEndStandIns));
        ASSERT_TRUE(call(state, 0, "main chunk"));
        EXPECT_TRUE(run(state, c.check));
    }
}

// The intro story leads to the result only when the demo dungeon's last stairs asked for it
// (and uses the request up); told from the world map it leads back to the map, so that no
// dive is ended by a story.
TEST_F(ContentArchiveTest, TheIntroStoryLeadsToTheResultOnlyAfterTheDive) {
    for (const int asked : {10, 0}) {
        SCOPED_TRACE(asked);
        lua_State* state = loadChunk("Script/ADV/Story/Intro.lua.lcd", false);
        ASSERT_NE(state, nullptr);
        ASSERT_TRUE(run(state, ("globals = { [101] = " + std::to_string(asked) +
                                " }\n"
                                "Game = { Data = { getGlobalInt = function(i) return globals[i] or 0 end,\n"
                                "                  setGlobalInt = function(i, v) globals[i] = v end } }\n"
                                "function ADV_setNextScene(n) nextScene = n end\n"
                                "function ADV_say() end function ADV_wait() end function ADV_showFace() end\n")
                                   .c_str()));
        ASSERT_TRUE(call(state, 0, "story"));
        EXPECT_TRUE(run(state, asked == 10 ? "assert(nextScene == 10 and globals[101] == 0)"
                                           : "assert(nextScene == 9 and globals[101] == 0)"));
    }
}

// The functions the game calls in each script by a single global name: a missing one is a Lua
// error that ends the game. Each script's main chunk runs without any module, as it must:
// modules are only for the functions the game calls later.
struct ScriptHooks {
    const char* script;
    std::vector<const char*> functions;
    uint32_t blockSize;  // the host's memory block: the compiled chunk and what it loads must fit
};

const std::vector<const char*> kFloorFunctions = {
    "getFloorNumber",
    "getPrevScene",
    "getNextScene",
    "getPrevDungeon",
    "getNextDungeon",
    "getBackMovieFilePath",
    "getMaxAutoGenerateEnemyCount",
    "getEnemyAutoGenerateTurnCount",
    "generate",
    "setup",
    "getInitialEnemyCount",
    "setupEvent",
};

const ScriptHooks kHooks[] = {
    {"Dungeon/DEMO10/00/00/Setup.lua", {"getBGM", "getResourceDirectory", "getTitleImage"}, 0x20000},
    {"Dungeon/DEMO10/00/00/001.lua", kFloorFunctions, 0x100000},
    {"Dungeon/DEMO10/00/00/002.lua", kFloorFunctions, 0x100000},
    {"Dungeon/DEMO10/00/00/003.lua", kFloorFunctions, 0x100000},
    {"Dungeon/R99/00/00/Setup.lua", {"getBGM", "getResourceDirectory", "getTitleImage"}, 0x20000},
    {"Dungeon/R99/00/00/001.lua", kFloorFunctions, 0x100000},
    {"Dungeon/R99/00/00/002.lua", kFloorFunctions, 0x100000},
    {"Script/Dungeon/Loading.lua", {"initialize", "update", "draw"}, 0x4000},
    {"Script/HUD/HERO/PlayerGauge.lua", {"setPlayer", "update", "draw"}, 0x20000},
    {"Script/Dungeon/Shop/Shop.lua", {"getBGMFilePath", "setup"}, 0x20000},
    {"Script/Dungeon/MonsterHouse/MonsterHouse.lua", {"getHouseName", "getBGMFilePath", "setup"}, 0x20000},
};

TEST_F(ContentArchiveTest, DungeonScriptsDefineEveryFunctionTheGameCallsAndFitTheirHost) {
    Bytes floorGen;
    ASSERT_TRUE(readEntry(*reader_, "Script/Lib/FloorGen.lua.lcd", floorGen));
    for (const ScriptHooks& hooks : kHooks) {
        SCOPED_TRACE(hooks.script);
        const std::string entry = std::string(hooks.script) + ".lcd";
        Bytes chunk;
        ASSERT_TRUE(readEntry(*reader_, entry, chunk));
        // The floors that build with the floor generator load it into the same block (the
        // trial floors through their room builder).
        const bool usesFloorGen = entry.find("001.lua") != std::string::npos ||
                                  entry.find("003.lua") != std::string::npos || entry.find("R99/") != std::string::npos;
        EXPECT_LT(chunk.size() + (usesFloorGen ? floorGen.size() : 0), hooks.blockSize);
        lua_State* state = loadChunk(entry, true);
        ASSERT_NE(state, nullptr);
        for (const char* function : hooks.functions) {
            lua_getglobal(state, function);
            EXPECT_TRUE(lua_isfunction(state, -1)) << function << " is missing";
            lua_pop(state, 1);
        }
    }
}

// Calls a script's function that needs no module and returns its one result as Lua sees it.
std::string resultOf(lua_State* state, const char* function, int& type) {
    lua_getglobal(state, function);
    if (lua_pcall(state, 0, 1, 0) != 0) {
        ADD_FAILURE() << function << ": " << lua_tostring(state, -1);
        lua_pop(state, 1);
        type = LUA_TNIL;
        return {};
    }
    type = lua_type(state, -1);
    const char* text = lua_tostring(state, -1);
    std::string value = text != nullptr ? text : "";
    lua_pop(state, 1);
    return value;
}

// The game stores what these functions return and opens the paths later: every path must name
// an entry of the archives, every number must be a number (a path made of digits would be read
// as one), and a floor that generates enemies must say how often.
TEST_F(ContentArchiveTest, FloorSettingsNameEntriesThatExist) {
    int type = 0;
    for (const char* dungeon : {"Dungeon/DEMO10/00/00/", "Dungeon/R99/00/00/"}) {
        SCOPED_TRACE(dungeon);
        lua_State* setup = loadChunk(std::string(dungeon) + "Setup.lua.lcd", true);
        ASSERT_NE(setup, nullptr);
        for (int call = 0; call < 2; ++call) {
            const std::string bgm = resultOf(setup, "getBGM", type);
            EXPECT_EQ(type, LUA_TSTRING);
            Bytes music;
            EXPECT_TRUE(readEntry(*reader_, bgm, music)) << bgm;
        }
        const std::string resources = resultOf(setup, "getResourceDirectory", type);
        EXPECT_EQ(type, LUA_TSTRING);
        const std::string title = resultOf(setup, "getTitleImage", type);
        Bytes picture;
        EXPECT_TRUE(readEntry(*reader_, (resources.empty() ? std::string(dungeon) : resources) + title, picture));
    }

    const char* const floors[] = {"Dungeon/DEMO10/00/00/001.lua", "Dungeon/DEMO10/00/00/002.lua",
                                  "Dungeon/DEMO10/00/00/003.lua", "Dungeon/R99/00/00/001.lua",
                                  "Dungeon/R99/00/00/002.lua"};
    for (const char* floor : floors) {
        SCOPED_TRACE(floor);
        lua_State* state = loadChunk(std::string(floor) + ".lcd", true);
        ASSERT_NE(state, nullptr);
        for (const char* number : {"getFloorNumber", "getPrevScene", "getNextScene", "getInitialEnemyCount"}) {
            resultOf(state, number, type);
            EXPECT_EQ(type, LUA_TNUMBER) << number;
        }
        for (const char* path : {"getPrevDungeon", "getNextDungeon"}) {
            const std::string script = resultOf(state, path, type);
            EXPECT_EQ(type, LUA_TSTRING) << path;
            Bytes chunk;
            if (!script.empty()) {
                EXPECT_TRUE(readEntry(*reader_, script + ".lcd", chunk)) << path;
            }
        }
        const std::string movie = resultOf(state, "getBackMovieFilePath", type);
        EXPECT_EQ(type, LUA_TSTRING);
        Bytes clip;
        if (!movie.empty()) {
            EXPECT_TRUE(readEntry(*reader_, movie, clip)) << movie;
        }
        const int maxEnemies = std::stoi(resultOf(state, "getMaxAutoGenerateEnemyCount", type));
        EXPECT_EQ(type, LUA_TNUMBER);
        const int interval = std::stoi(resultOf(state, "getEnemyAutoGenerateTurnCount", type));
        EXPECT_EQ(type, LUA_TNUMBER);
        if (maxEnemies > 0) {
            EXPECT_GT(interval, 0);
        }
    }
}

// The patch archive is opened last and its copy of the mini-map strip is the one the game
// reads.
TEST_F(ContentArchiveTest, ThePatchArchivesMiniMapWins) {
    auto only = [](const char* archive) {
        auto reader = std::make_unique<OxPackedStreamReader>();
        OxArchiveOptions options;
        options.lowerCaseNames = 1;
        EXPECT_EQ(reader->openArchives({wide(std::string(ORVEX_RUN_DIR) + "/" + archive)}, options), 0u) << archive;
        return reader;
    };
    Bytes patched, original, read;
    auto patch = only("d900.bin");
    auto images = only("d100.bin");
    ASSERT_TRUE(readEntry(*patch, "Dungeon/MapChip/MiniMap.png", patched));
    ASSERT_TRUE(readEntry(*images, "Dungeon/MapChip/MiniMap.png", original));
    ASSERT_TRUE(readEntry(*reader_, "Dungeon/MapChip/MiniMap.png", read));
    EXPECT_NE(patched, original) << "the patch must be told apart from the original";
    EXPECT_EQ(read, patched);
    // So is its copy of the default story.
    Bytes patchedStory, originalStory, readStory;
    auto scripts = only("d000.bin");
    ASSERT_TRUE(readEntry(*patch, "Script/ADV/test.lua.lcd", patchedStory));
    ASSERT_TRUE(readEntry(*scripts, "Script/ADV/test.lua.lcd", originalStory));
    ASSERT_TRUE(readEntry(*reader_, "Script/ADV/test.lua.lcd", readStory));
    EXPECT_NE(patchedStory, originalStory);
    EXPECT_EQ(readStory, patchedStory);

    // Scrambled, and the strip is preloaded when the archive opens.
    std::ifstream file(std::string(ORVEX_RUN_DIR) + "/d900.bin", std::ios::binary);
    OxArchiveHeaderDisk headerDisk{};
    ASSERT_TRUE(file.read(reinterpret_cast<char*>(&headerDisk), sizeof headerDisk));
    const auto header = Orvex::FileArchiver::decodeHeader(headerDisk);
    ASSERT_EQ(header.flags & Orvex::FileArchiver::kArchiveFlagScrambled, 1u) << "d900.bin is not scrambled";
    ASSERT_EQ(header.entryCount, 2u);  // the strip first, then the story
    OxArchiveRecordDisk recordDisk{};
    ASSERT_TRUE(file.read(reinterpret_cast<char*>(&recordDisk), sizeof recordDisk));
    Orvex::FileArchiver::scrambleBytes(reinterpret_cast<uint8_t*>(&recordDisk), sizeof recordDisk,
                                       Orvex::FileArchiver::kArchiveOpenerKey);
    const auto record = Orvex::FileArchiver::decodeRecord(recordDisk);
    EXPECT_EQ(record.nameString(), u"dungeon\\mapchip\\minimap.png");
    EXPECT_EQ(record.flags & Orvex::FileArchiver::kEntryFlagPreload, 1u);
}

// The loading screen must let go (a script that keeps the screen stalls the floor for good),
// and draws inside the screen.
TEST_F(ContentArchiveTest, LoadingScreenHoldsBrieflyThenLetsGo) {
    lua_State* state = loadChunk("Script/Dungeon/Loading.lua.lcd", true);
    ASSERT_NE(state, nullptr);
    ASSERT_TRUE(run(
        state,
        "fills = {}\n"
        "Graphics = { SpriteDraw = { drawFill = function(l, t, r, b) fills[#fills + 1] = { l, t, r, b } end } }\n"
        "Game = { Setting = { Result = { setLastFloorNumber = function() end, setLastFloorName = function() end } } }\n"
        "initialize('Dungeon/DEMO10/00/00/002.lua', 'Dungeon/DEMO10/00/00/', 'Dungeon/DEMO10/00/00/', 2)\n"
        "assert(update(0.2) == true, 'the screen is let go at once')\n"
        "draw()\n"
        "assert(update(0.4) == false, 'the screen is held too long')\n"
        "assert(update(0.1) == false)\n"
        "assert(#fills > 20, 'nothing drawn')\n"
        "for _, f in ipairs(fills) do\n"
        "  assert(f[1] >= 0 and f[2] >= 0 and f[3] <= 800 and f[4] <= 600 and f[1] < f[3] and f[2] < f[4],\n"
        "         'a square outside the screen')\n"
        "end\n"));
}

// Every floor reached records its dungeon and floor for the result, once, from the game
// thread's update (the floor worker runs initialize before the scene's hand-over records are
// cleared), so a defeat, a give-up or the turn limit names where the dive ended.
TEST_F(ContentArchiveTest, LoadingScreenRecordsWhereTheDiveIsForTheResult) {
    struct Case {
        const char* directory;
        int floor;
        const char* name;
    };
    const Case cases[] = {
        {"Dungeon/DEMO10/00/00/", 2, "デモダンジョン"},
        {"Dungeon/R99/00/00/", 1, "試練のダンジョン"},
        {"dungeon\\r99\\00\\00\\", 2, "試練のダンジョン"},  // as an archive path may be spelt
        {"Dungeon/DEBUG/00/00/", 4, "DEBUG"},               // no name of its own: its folder
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.directory);
        lua_State* state = loadChunk("Script/Dungeon/Loading.lua.lcd", true);
        ASSERT_NE(state, nullptr);
        const std::string call =
            std::string("initialize('x.lua', [[") + c.directory + "]], '', " + std::to_string(c.floor) + ")\n";
        ASSERT_TRUE(run(state,
                        "calls = 0\n"
                        "Game = { Setting = { Result = {\n"
                        "  setLastFloorNumber = function(n) calls = calls + 1 number = n end,\n"
                        "  setLastFloorName = function(s) calls = calls + 1 name = s end } } }\n"));
        ASSERT_TRUE(run(state, call.c_str()));
        EXPECT_TRUE(run(state, "assert(calls == 0, 'recorded from the floor worker')"));
        ASSERT_TRUE(run(state, "update(0.1) update(0.1)"));
        EXPECT_TRUE(run(state, ("assert(calls == 2, 'recorded ' .. calls .. ' times')\n"
                                "assert(number == " +
                                std::to_string(c.floor) +
                                ", tostring(number))\n"
                                "assert(name == '" +
                                c.name + "', tostring(name))\n")
                                   .c_str()));
    }
}

// The gauges read the player: texts for floor, level, life and money; the life bar in the
// low-life colour row and as long as the share of life left; the fullness bar likewise.
TEST_F(ContentArchiveTest, PlayerGaugesShowThePlayersState) {
    lua_State* state = loadChunk("Script/HUD/HERO/PlayerGauge.lua.lcd", true);
    ASSERT_NE(state, nullptr);
    ASSERT_TRUE(run(
        state,
        "texts, draws = {}, {}\n"
        "local hero = {}\n"
        "local values = { Level = 2, Life = 3, MaxLife = 20, HungerPoint = 50, MaxHungerPoint = 100 }\n"
        "Actor = { Status = setmetatable({}, { __index = function(_, k)\n"
        "  return function(actor) assert(actor == hero, 'not the player') return values[k:sub(4)] end end }) }\n"
        "Game = { Data = { getPlayerMoney = function() return 120 end } }\n"
        "Dungeon = { getFloorNumber = function() return 1 end,\n"
        "            Font = { drawText = function(text, x, y) texts[#texts + 1] = text end } }\n"
        "Lua = { isNull = function(v) return v == nil end }\n"
        "Graphics = { createTextureFromFile = function(path) assert(path == 'HUD/gauge.png') return 'gauge' end,\n"
        "             SpriteDraw = { draw = function(t, l, tp, r, b, sl, st, sr, sb) draws[#draws + 1] = { r - l, st, "
        "sr - sl } end } }\n"
        "setPlayer(hero)\n"
        "assert(update(0.016) == true)\n"
        "draw()\n"
        "local all = table.concat(texts, '|')\n"
        "assert(texts[1]:find('^1F') and all:find('Lv2') and all:find('HP 3/20') and all:find('120円'), all)\n"
        "-- frame, life, frame, fullness: width drawn, source row top, source width\n"
        "assert(#draws == 4, 'draw calls: ' .. #draws)\n"
        "assert(draws[2][2] == 32, 'low life must use the low-life row')\n"
        "assert(draws[2][1] == math.floor(256 * 3 / 20) and draws[2][3] == draws[2][1], 'life bar ' .. draws[2][1])\n"
        "assert(draws[4][2] == 48 and draws[4][1] == 128, 'fullness bar ' .. draws[4][1])\n"));
}

// The game follows up only hits whose damage is above zero, and a fixed hurt is a damage below
// zero: the fight library queues the follow-up itself (the number, a death and its reward), for
// a hurt only.
TEST_F(ContentArchiveTest, AFixedHurtIsFollowedUpLikeABlow) {
    lua_State* state = loadChunk("Script/Lib/Battle.lua.lcd", true);
    ASSERT_NE(state, nullptr);
    ASSERT_TRUE(
        run(state,
            "queued = {}\n"
            "local outcome = {}\n"
            "DamageCalculate = { DamageParam = { setLogMessage = function() end },\n"
            "  setFixedDamageParam = function(target, value) outcome = { isHit = value ~= 0, fDamage = value } end,\n"
            "  execute = function() end, getDamageResult = function() return outcome end }\n"
            "Actor = { Action = { pushAction = function(actor, path) queued[#queued + 1] = path end } }\n"
            "local enemy = {}\n"
            "assert(Battle.fixed(Battle.SOURCE_ACTOR, {}, enemy, -15, 'fire').fDamage == -15)\n"
            "assert(#queued == 1 and queued[1] == 'Script/Lib/Game/Action/Action/CallOnDamageAction.lua')\n"
            "Battle.fixed(Battle.SOURCE_ACTOR, {}, enemy, 20, 'heal')\n"
            "Battle.fixed(Battle.SOURCE_ITEM, {}, enemy, 0, 'nothing')\n"
            "assert(#queued == 1, 'a heal or a miss is not followed up')\n"));
}

// Experience raises the level at 10, 30, 60...; every level reached, by experience or by the
// card, brings 4 life (healed too) and 1 attack, and the card's level brings the experience up
// to the level's total.
TEST_F(ContentArchiveTest, TheTravellerGrowsWithEveryLevel) {
    lua_State* state = loadChunk("Script/Lib/Growth.lua.lcd", true);
    ASSERT_NE(state, nullptr);
    ASSERT_TRUE(
        run(state,
            "lines = {}\n"
            "hero = { Level = 1, MaxLife = 15, Life = 10, Attack = 6, EXP = 0 }\n"
            "Actor = { getName = function() return '旅人' end, Status = setmetatable({}, { __index = function(_, k)\n"
            "  local field = k:sub(4)\n"
            "  local ceiling = field == 'Level' and 99 or math.huge\n"
            "  if k:sub(1, 3) == 'set' then return function(actor, v) actor[field] = math.min(v, ceiling) end end\n"
            "  return function(actor) return actor[field] end end }) }\n"
            "Dungeon = { addLogMessage = function(text) lines[#lines + 1] = text end }\n"));
    EXPECT_TRUE(
        run(state,
            "Growth.gainExperience(hero, 9)\n"
            "assert(hero.Level == 1 and #lines == 0, 'level ' .. hero.Level)\n"
            "Growth.gainExperience(hero, 25)\n"
            "assert(hero.Level == 3, 'two totals passed: level ' .. hero.Level)\n"
            "assert(hero.MaxLife == 23 and hero.Life == 18 and hero.Attack == 8, hero.MaxLife .. ' ' .. hero.Life)\n"
            "assert(#lines == 1 and lines[1]:find('レベル<1:COLOR>3</COLOR>になった'), lines[1])\n"
            "hero.Level = 4\n"
            "Growth.levelReached(hero, 3)\n"
            "assert(hero.EXP == 60 and hero.MaxLife == 27 and hero.Attack == 9, 'card: ' .. hero.EXP)\n"
            "hero.Level, hero.EXP = 99, 1000000\n"
            "Growth.gainExperience(hero, 5)\n"
            "assert(hero.Level == 99 and hero.MaxLife == 27 and #lines == 1, 'no level past the ceiling')\n"));
}

}  // namespace
}  // namespace ContentTest
