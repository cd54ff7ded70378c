// Checks the built sample data as the game reads it: the seven archives open with the game's
// options, every entry the start-up and the first scenes open is there under its stored
// lower-case name, and the entries are what their readers expect (chunks that load, fonts
// with their pages and glyphs, decodable textures of the right size, canonical WAV headers).
#include <gtest/gtest.h>
#include <lua.hpp>
#include <stb_image.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "engine/io/OxArchiveFormat.h"
#include "engine/io/OxPackedStreamReader.h"
#include "engine/system/OxStringConvert.h"

namespace {

using Orvex::FileArchiver::OxArchiveHeaderDisk;
using Orvex::FileArchiver::OxArchiveOptions;
using Orvex::FileArchiver::OxArchiveRecordDisk;
using Orvex::FileArchiver::OxPackedStreamReader;
using Bytes = std::vector<uint8_t>;

const char* const kArchives[] = {"d000.bin", "d100.bin", "d200.bin", "d300.bin", "d400.bin", "d500.bin", "d900.bin"};

std::u16string wide(const std::string& text) {
    std::u16string out;
    EXPECT_TRUE(Orvex::System::toWideString(text, out)) << text;
    return out;
}

std::string lowerBackslashed(std::string name) {
    for (char& c : name) {
        if (c == '/') c = '\\';
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    return name;
}

std::unique_ptr<OxPackedStreamReader> openReader(bool lowerCaseNames) {
    auto reader = std::make_unique<OxPackedStreamReader>();
    std::vector<std::u16string> paths;
    for (const char* archive : kArchives) paths.push_back(wide(std::string(ORVEX_RUN_DIR) + "/" + archive));
    OxArchiveOptions options;
    options.lowerCaseNames = lowerCaseNames ? 1 : 0;
    const uint32_t result = reader->openArchives(paths, options);
    EXPECT_EQ(result, 0u) << Orvex::System::narrow(reader->getLastError());
    return reader;
}

// The whole entry, or nothing (with a test failure naming it) when it does not open.
bool readEntry(OxPackedStreamReader& reader, const std::string& name, Bytes& out) {
    if (!reader.open(wide(name))) {
        ADD_FAILURE() << "entry missing: " << name;
        return false;
    }
    out.assign(reader.getSize(), 0);
    uint32_t got = 0;
    const bool ok = out.empty() || reader.read(out.data(), uint32_t(out.size()), &got);
    reader.close();
    EXPECT_TRUE(ok && got == out.size()) << "short read: " << name;
    return ok && got == out.size();
}

uint32_t u32(const Bytes& b, size_t at) {
    return uint32_t(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24);
}
uint16_t u16(const Bytes& b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }

// What the start-up and the first scenes open, as their code names it.
const char* const kStartupEntries[] = {
    "Font\\font_00\\font_00.fnt",
    "Font\\font_01\\font_01.fnt",
    "Common/Texture/GeneralWindow/Frame.png",
    "Common/Texture/GeneralWindow/Icon.png",
    "Common/Texture/Condition.dds",
    "Common/Texture/Illusion/Item.tga",
    "SE/SystemSE/se000.wav",
    "SE/SystemSE/se001.wav",
    "SE/SystemSE/se002.wav",
    "SE/SystemSE/se003.wav",
    "SE/SystemSE/se004.wav",
    "SE/Jingle/jg000.wav",
    "SE/Jingle/jg001.wav",
    "SE/Jingle/jg002.wav",
    "SE/Jingle/jg003.wav",
    "SE/Jingle/jg004.wav",
    "SE/jg000.wav",
    "SE/Action/hit.wav",
    "SE/Action/miss.wav",
    "SE/Action/step.wav",
    "BGM/bgm001.ogg",
    "BGM/bgm002.ogg",
    "BGM/bgm003.ogg",
    "BGM/bgm004.ogg",
    "BGM/bgm005.ogg",
    "BGM/bgm017.ogg",
    "BGM/test2.ogg",
    "Dungeon/DEMO10/00/00/001.lua.lcd",
    "Dungeon/DEMO10/00/00/Setup.lua.lcd",
    "Script/Dungeon/Loading.lua.lcd",
    "Script/HUD/HERO/PlayerGauge.lua.lcd",
    "Script/Item/ItemSetup.lua.lcd",
    "Actor/Player/HERO/setup.lua.lcd",
    "Actor/Player/HERO/actor.lua.lcd",
    "Movie/QuillmarkLogo.ogv",
    "Movie/Promotion.ogv",
};

const char* const kScripts[] = {
    "Script/Item/ItemSetup.lua.lcd",
    "Actor/Player/HERO/setup.lua.lcd",
    "Actor/Player/HERO/actor.lua.lcd",
    "Dungeon/DEMO10/00/00/Setup.lua.lcd",
    "Dungeon/DEMO10/00/00/001.lua.lcd",
    "Dungeon/DEMO10/00/00/002.lua.lcd",
    "Dungeon/DEMO10/00/00/003.lua.lcd",
    "Script/Dungeon/Loading.lua.lcd",
    "Script/Dungeon/Shop/Shop.lua.lcd",
    "Script/Dungeon/MonsterHouse/MonsterHouse.lua.lcd",
    "Script/HUD/HERO/PlayerGauge.lua.lcd",
    "Script/Lib/FloorGen.lua.lcd",
    "Script/Lib/EnemyAI.lua.lcd",
    "Script/Lib/ActorLook.lua.lcd",
    "Script/Lib/ConditionLook.lua.lcd",
    "Script/Actor/AI/AIMachine.lua.lcd",
    "Script/Lib/Game/Action/Action/EnemyLevelUPAction.lua.lcd",
    "Script/Lib/Game/Action/Action/CallOnDamageAction.lua.lcd",
    "Script/Lib/Game/Action/Action/ArrivalActorAction.lua.lcd",
    "Script/Lib/Game/Action/Action/BurnoutItemAction.lua.lcd",
    "Script/Lib/Game/Action/Action/DeadAction.lua.lcd",
    "Script/Action/Attack.lua.lcd",
    "Script/Action/Shoot.lua.lcd",
    "Actor/Enemy/SLIM/SLIM01/setup.lua.lcd",
    "Actor/Enemy/SLIM/SLIM01/actor.lua.lcd",
    "Actor/Enemy/SLIM/SLIM02/setup.lua.lcd",
    "Actor/Enemy/SLIM/SLIM02/actor.lua.lcd",
    "Actor/Enemy/MOBB/MOBB01/setup.lua.lcd",
    "Actor/Enemy/MOBB/MOBB01/actor.lua.lcd",
    "Actor/NonPlayer/VNDR/VNDR01/setup.lua.lcd",
    "Actor/NonPlayer/VNDR/VNDR01/actor.lua.lcd",
    "Actor/NonPlayer/VNDR/Event/Talk.lua.lcd",
    "Actor/NonPlayer/VNDR/Event/Robber.lua.lcd",
    "Actor/Enemy/GURD/GURD01/setup.lua.lcd",
    "Actor/Enemy/GURD/GURD01/actor.lua.lcd",
    "Dungeon/R99/00/00/Setup.lua.lcd",
    "Dungeon/R99/00/00/Room.lua.lcd",
    "Dungeon/R99/00/00/001.lua.lcd",
    "Dungeon/R99/00/00/002.lua.lcd",
    "Script/Item/Action/Stairs.lua.lcd",
    "Script/Item/Action/ExitDEMO10.lua.lcd",
    "Script/Item/Action/ExitR99.lua.lcd",
    "Script/Effect/Atom/caution.lua.lcd",
    "Script/Effect/Atom/meltdown.lua.lcd",
};

class ContentArchiveTest : public ::testing::Test {
protected:
    void SetUp() override { reader_ = openReader(true); }

    // A fresh Lua state with the chunk loaded (and run when asked), failing the test otherwise.
    lua_State* loadChunk(const std::string& name, bool run) {
        Bytes chunk;
        if (!readEntry(*reader_, name, chunk)) return nullptr;
        lua_State* state = luaL_newstate();
        luaL_openlibs(state);
        states_.push_back(state);
        if (luaL_loadbuffer(state, reinterpret_cast<const char*>(chunk.data()), chunk.size(), name.c_str()) != 0) {
            ADD_FAILURE() << name << ": " << lua_tostring(state, -1);
            return nullptr;
        }
        if (run && !call(state, 0, name)) return nullptr;
        return state;
    }

    static bool call(lua_State* state, int arguments, const std::string& what) {
        if (lua_pcall(state, arguments, 0, 0) != 0) {
            ADD_FAILURE() << what << ": " << lua_tostring(state, -1);
            lua_pop(state, 1);
            return false;
        }
        return true;
    }

    static bool run(lua_State* state, const char* code) {
        if (luaL_loadstring(state, code) != 0) {
            ADD_FAILURE() << lua_tostring(state, -1);
            lua_pop(state, 1);
            return false;
        }
        return call(state, 0, code);
    }

    void TearDown() override {
        for (lua_State* state : states_) lua_close(state);
    }

    std::unique_ptr<OxPackedStreamReader> reader_;
    std::vector<lua_State*> states_;
};

TEST_F(ContentArchiveTest, EveryStartupEntryIsStoredUnderItsLowerCaseName) {
    // Case folding on, the way the game opens its archives.
    for (const char* name : kStartupEntries) {
        Bytes data;
        if (readEntry(*reader_, name, data)) {
            EXPECT_FALSE(data.empty()) << name;
        }
    }
    // Without folding only the stored name matches: the packer wrote lower-case names.
    const auto exact = openReader(false);
    for (const char* name : kStartupEntries) {
        const std::string stored = lowerBackslashed(name);
        EXPECT_LE(wide(stored).size(), 64u) << stored;
        EXPECT_TRUE(exact->open(wide(stored))) << "not stored in lower case: " << stored;
        exact->close();
    }
}

TEST_F(ContentArchiveTest, EveryScriptChunkLoads) {
    for (const char* name : kScripts) EXPECT_NE(loadChunk(name, false), nullptr) << name;
}

TEST_F(ContentArchiveTest, ItemSetupRegistersUniqueKindsWithFolders) {
    lua_State* state = loadChunk("Script/Item/ItemSetup.lua.lcd", true);
    ASSERT_NE(state, nullptr);
    // Start-up runs this before the game data exist: Game.Data must stay untouched.
    ASSERT_TRUE(run(state,
                    "registered = {}\n"
                    "Game = { Data = setmetatable({}, { __index = function(_, k) error('Game.Data.' .. k) end }) }\n"
                    "function addItemInfo(factory, id, folder)\n"
                    "  assert(factory ~= nil, 'no factory')\n"
                    "  registered[#registered + 1] = { id = id, folder = folder }\n"
                    "end\n"
                    "setup(true)\n"));
    ASSERT_TRUE(run(
        state,
        "local seen = {}\n"
        "assert(#registered > 0, 'no item kind registered')\n"
        "for _, kind in ipairs(registered) do\n"
        "  assert(type(kind.id) == 'number' and kind.id % 1 == 0 and kind.id >= 0, 'bad id')\n"
        "  assert(not seen[kind.id], 'duplicate id ' .. kind.id)\n"
        "  seen[kind.id] = true\n"
        "  assert(type(kind.folder) == 'string' and kind.folder:match('^Item/.+/$'), 'bad folder for ' .. kind.id)\n"
        "end\n"
        "assert(seen[20], 'the worn-out amulet 20 must be a registered kind')\n"));
}

// Every script an item kind names is in the archives, and every kind the player can carry names
// the script that puts it down: the item menu offers "置く" for each of them.
TEST_F(ContentArchiveTest, ItemKindsNameScriptsThatExist) {
    lua_State* kinds = loadChunk("Script/Item/ItemSetup.lua.lcd", true);
    ASSERT_NE(kinds, nullptr);
    ASSERT_TRUE(run(kinds,
                    "folders = {}\n"
                    "function addItemInfo(_, id, folder) folders[#folders + 1] = folder end\n"
                    "setup(true)\n"
                    "folderList = table.concat(folders, '\\n')\n"));
    lua_getglobal(kinds, "folderList");
    const std::string folderList = lua_tostring(kinds, -1) != nullptr ? lua_tostring(kinds, -1) : "";
    std::istringstream folders(folderList);
    std::string folder;
    int checked = 0;
    while (std::getline(folders, folder)) {
        lua_State* state = loadChunk(folder + "setup.lua.lcd", false);
        ASSERT_NE(state, nullptr) << folder;
        // Everything the set-up calls is recorded; only the script names and the category count.
        ASSERT_TRUE(
            run(state,
                "local any\n"
                "any = setmetatable({}, { __index = function() return any end, __call = function() return any end })\n"
                "setmetatable(_G, { __index = function() return any end })\n"
                "scripts, category = {}, -1\n"
                "Item = setmetatable({ Status = any }, { __index = function(_, name)\n"
                "  return function(_, value)\n"
                "    if name == 'setItemType' then category = value end\n"
                "    if name:match('ScriptFileName$') then scripts[name] = value end\n"
                "  end\n"
                "end })\n"));
        ASSERT_TRUE(call(state, 0, folder.c_str())) << folder;
        ASSERT_TRUE(run(state,
                        "initialize(true)\n"
                        "local carried = category ~= 7 and category ~= 11 and category ~= 12\n"
                        "missingPut = carried and scripts.setItemPutScriptFileName == nil\n"
                        "local names = {}\n"
                        "for _, path in pairs(scripts) do names[#names + 1] = path end\n"
                        "scriptList = table.concat(names, '\\n')\n"));
        lua_getglobal(state, "missingPut");
        EXPECT_FALSE(lua_toboolean(state, -1)) << folder << " can be carried but names no put script";
        lua_getglobal(state, "scriptList");
        std::istringstream scripts(lua_tostring(state, -1) != nullptr ? lua_tostring(state, -1) : "");
        std::string script;
        while (std::getline(scripts, script)) {
            Bytes chunk;
            EXPECT_TRUE(readEntry(*reader_, script + ".lcd", chunk)) << folder << " names " << script;
        }
        ++checked;
    }
    EXPECT_GT(checked, 10);
}

TEST_F(ContentArchiveTest, PlayerSetupStaysOffFloorAndGameData) {
    lua_State* setup = loadChunk("Actor/Player/HERO/setup.lua.lcd", false);
    ASSERT_NE(setup, nullptr);
    // Modules the set-up may use record their calls; the floor modules and Game.Data fail.
    ASSERT_TRUE(run(
        setup,
        "calls = {}\n"
        "local function recorder(prefix)\n"
        "  return setmetatable({}, { __index = function(t, k)\n"
        "    local f = function(...) calls[prefix .. k] = { ... } end\n"
        "    rawset(t, k, f) return f end })\n"
        "end\n"
        "local forbidden = setmetatable({}, { __index = function(_, k) error('floor or game data used: ' .. k) end })\n"
        "Actor = recorder('Actor.') Actor.Status = recorder('Actor.Status.')\n"
        "MossbellLib = recorder('MossbellLib.') DamageCalculate = recorder('DamageCalculate.')\n"
        "Dungeon = forbidden Map = forbidden Game = { Data = forbidden }\n"
        "required = {}\n"
        "Lua = { require = function(name) required[name] = true end }\n"
        "ActorLook = { build = function(sprite, sheet) looks = (looks or 0) + 1 bodySheet = sheet end }\n"
        "ConditionLook = { build = function(sprite) marksBuilt = sprite end }\n"
        "function Actor.getConditionAnimation(a) return { of = a } end\n"
        "function Actor.Status.getDirection(a) return 4 end\n"));
    ASSERT_TRUE(call(setup, 0, "setup.lua main chunk"));
    ASSERT_TRUE(
        run(setup,
            "local player = {}\n"
            "setActor(player)\n"
            "setup()\n"
            "local id = calls['Actor.setActorID']\n"
            "assert(id and id[1] == player and id[2] == 1, 'the player must get actor ID 1')\n"
            "assert(calls['Actor.setName'] and calls['Actor.setName'][1] == player, 'the player needs a name')\n"
            "assert(required['Script.Lib.ConditionLook'] and marksBuilt and marksBuilt.of == player,\n"
            "  'the player needs its condition marks')\n"
            "assert(required['Script.Lib.ActorLook'] and looks == 1, 'the player needs its body')\n"
            "setupAnimation()\n"
            "assert(looks == 2, 'the player rebuilds its own look')\n"));
    lua_getglobal(setup, "bodySheet");
    Bytes sheet;
    EXPECT_TRUE(lua_tostring(setup, -1) != nullptr && readEntry(*reader_, lua_tostring(setup, -1), sheet));
    lua_pop(setup, 1);

    lua_State* actor = loadChunk("Actor/Player/HERO/actor.lua.lcd", false);
    ASSERT_NE(actor, nullptr);
    ASSERT_TRUE(run(actor, "Actor = { Status = {}, Event = {}, Command = {} }\n"));
    ASSERT_TRUE(call(actor, 0, "actor.lua main chunk"));
    ASSERT_TRUE(run(actor, "assert(type(Actor.initialize) == 'function') Actor.initialize({})\n"));
    // The attack and shoot keys each queue their action and end the player's turn.
    ASSERT_TRUE(run(actor,
                    "pushed, ended = {}, 0\n"
                    "Actor.Action = { pushAction = function(a, path) pushed[#pushed + 1] = path end }\n"
                    "function Actor.endTurn(a) ended = ended + 1 end\n"
                    "Actor.Command.doActorAttack(0)\n"
                    "Actor.Command.doActorShoot(0)\n"
                    "assert(pushed[1] == 'Script/Action/Attack.lua', 'attack: ' .. tostring(pushed[1]))\n"
                    "assert(pushed[2] == 'Script/Action/Shoot.lua', 'shoot: ' .. tostring(pushed[2]))\n"
                    "assert(ended == 2, 'each command ends the turn')\n"));
}

// The enemies' AI on stand-in modules: it attacks a neighbour, chases a player in sight around
// a blocked cell, wanders otherwise, and ends the turn on every path.
TEST_F(ContentArchiveTest, EnemyAIAttacksChasesOrWandersAndAlwaysEndsTheTurn) {
    lua_State* ai = loadChunk("Script/Lib/EnemyAI.lua.lcd", false);
    ASSERT_NE(ai, nullptr);
    ASSERT_TRUE(
        run(ai,
            "enemy, player = {}, {}\n"
            "pos = {}\n"
            "function reset(px, py, sight, blocked)\n"
            "  calls, pos[enemy], pos[player], inSight, closed = {}, {5, 5}, px and {px, py}, sight, blocked or {}\n"
            "end\n"
            "local function log(text) calls[#calls + 1] = text end\n"
            "Actor = { Status = {}, Action = {} }\n"
            "function Actor.getCellPoint(a) local p = pos[a] if p then return p[1], p[2] end end\n"
            "function Actor.isAlive(a) return true end\n"
            "function Actor.endTurn(a) assert(a == enemy) log('end') end\n"
            "function Actor.Status.setDirection(a, d) log('dir' .. d) end\n"
            "function Actor.Action.pushAction(a, path) log('push ' .. path) end\n"
            "function Actor.Action.doMove(a, dx, dy) log('move ' .. dx .. ',' .. dy) end\n"
            "Dungeon = {}\n"
            "function Dungeon.getPlayer() return pos[player] and player end\n"
            "function Dungeon.checkAttackPossible() return true end\n"
            "function Dungeon.checkActorInSight() return inSight end\n"
            "function Dungeon.isMovable(a, x, y, step) return step and not closed[x .. ',' .. y] end\n"
            "Lua = { Random = { getRange = function(lo, hi) return 2 end } }\n"));
    ASSERT_TRUE(call(ai, 0, "EnemyAI main chunk"));
    struct Case {
        const char* setup;
        const char* expected;
    } cases[] = {
        {"reset(6, 4, true)", "dir1 push Script/Action/Attack.lua end"},
        {"reset(8, 8, true)", "dir3 move 1,1 end"},
        {"reset(8, 8, true, { ['6,6'] = true })", "dir4 move 0,1 end"},
        {"reset(8, 8, false)", "dir2 move 1,0 end"},
        {"reset(nil)", "dir2 move 1,0 end"},
        {"reset(nil, nil, false, { ['5,4']=1, ['6,4']=1, ['6,5']=1, ['6,6']=1, ['5,6']=1, ['4,6']=1, ['4,5']=1, "
         "['4,4']=1 })",
         "end"},
    };
    for (const Case& c : cases) {
        const std::string code = std::string(c.setup) +
                                 "\nEnemyAI.takeTurn(enemy, 'Script/Action/Attack.lua')\n"
                                 "result = table.concat(calls, ' ')\n";
        ASSERT_TRUE(run(ai, code.c_str())) << c.setup;
        lua_getglobal(ai, "result");
        EXPECT_STREQ(lua_tostring(ai, -1), c.expected) << c.setup;
        lua_pop(ai, 1);
    }
}

// The berserk player's turn on stand-in modules: it strikes any neighbour (searching from a
// random direction), else steps somewhere it can, and does nothing without a cell or a way out.
TEST_F(ContentArchiveTest, BerserkMachineStrikesANeighbourOrStumbles) {
    lua_State* ai = loadChunk("Script/Actor/AI/AIMachine.lua.lcd", true);
    ASSERT_NE(ai, nullptr);
    ASSERT_TRUE(run(ai,
                    "player = {}\n"
                    "function reset(at, actors, blocked)\n"
                    "  calls, here, occupied, closed = {}, at, actors or {}, blocked or {}\n"
                    "end\n"
                    "local function log(text) calls[#calls + 1] = text end\n"
                    "Actor = { Status = {}, Action = {} }\n"
                    "function Actor.getCellPoint(a) if here then return here[1], here[2] end end\n"
                    "function Actor.isAlive(a) return true end\n"
                    "function Actor.Status.setDirection(a, d) assert(a == player) log('dir' .. d) end\n"
                    "function Actor.Action.pushAction(a, path) log('push ' .. path) end\n"
                    "function Actor.Action.doMove(a, dx, dy) log('move ' .. dx .. ',' .. dy) end\n"
                    "Dungeon = {}\n"
                    "function Dungeon.checkActorInCell(x, y) return occupied[x .. ',' .. y] end\n"
                    "function Dungeon.checkAttackPossible() return true end\n"
                    "function Dungeon.isMovable(a, x, y, step) return step and not closed[x .. ',' .. y] end\n"
                    "Lua = { Random = { getRange = function(lo, hi) return 2 end } }\n"));
    struct Case {
        const char* setup;
        const char* expected;
    } cases[] = {
        {"reset({5, 5}, { ['4,4'] = {} })", "dir7 push Script/Action/Attack.lua"},
        {"reset({5, 5}, { ['6,5'] = {}, ['4,4'] = {} })", "dir2 push Script/Action/Attack.lua"},
        {"reset({5, 5}, {}, { ['6,5'] = true })", "dir3 move 1,1"},
        {"reset(nil)", ""},
        {"reset({5, 5}, {}, { ['5,4']=1, ['6,4']=1, ['6,5']=1, ['6,6']=1, ['5,6']=1, ['4,6']=1, ['4,5']=1, "
         "['4,4']=1 })",
         ""},
    };
    for (const Case& c : cases) {
        const std::string code = std::string(c.setup) +
                                 "\nAI.Machine.execution(nil, player)\n"
                                 "result = table.concat(calls, ' ')\n";
        ASSERT_TRUE(run(ai, code.c_str())) << c.setup;
        lua_getglobal(ai, "result");
        EXPECT_STREQ(lua_tostring(ai, -1), c.expected) << c.setup;
        lua_pop(ai, 1);
    }
}

// The level-change flash, held by a Mobbly that turned back: prepared and updated without a
// start, it hops the actor once, comes back to rest, and stays finished however long it is
// updated afterwards.
TEST_F(ContentArchiveTest, LevelChangeFlashHopsOnceAndStaysFinished) {
    lua_State* flash = loadChunk("Script/Lib/Game/Action/Action/EnemyLevelUPAction.lua.lcd", false);
    ASSERT_NE(flash, nullptr);
    ASSERT_TRUE(run(flash,
                    "Game = {}\n"
                    "Actor = { setDrawOffset = function(a, x, y) assert(a == subject) offsetY = y end }\n"
                    "subject = {}\n"));
    ASSERT_TRUE(call(flash, 0, "flash main chunk"));
    ASSERT_TRUE(run(flash,
                    "Game.Action.initialize(subject)\n"
                    "assert(Game.Action.updateAction(0.2) == true, 'the hop runs')\n"
                    "assert(offsetY < 0, 'the actor is lifted')\n"
                    "assert(Game.Action.updateAction(0.3) == false, 'the hop ends')\n"
                    "assert(offsetY == 0, 'the actor is back on its cell')\n"
                    "offsetY = nil\n"
                    "for i = 1, 10 do assert(Game.Action.updateAction(0.1) == false) end\n"
                    "Game.Action.drawAction()\n"
                    "assert(offsetY == nil, 'a finished hop touches nothing')\n"
                    "Game.Action.initialize(nil)\n"
                    "assert(Game.Action.updateAction(0.1) == false, 'no actor, no hop')\n"));
}

// Each enemy and the shopkeeper sets itself up from its folder: a name, an ID of its own, and a
// body sprite with every motion the game plays; the enemies also get the condition marks the
// conditions show; the shopkeeper's talk script is in the archives.
TEST_F(ContentArchiveTest, ActorFoldersSetUpANamedActorWithEveryMotion) {
    Bytes look;
    Bytes marks;
    ASSERT_TRUE(readEntry(*reader_, "Script/Lib/ActorLook.lua.lcd", look));
    ASSERT_TRUE(readEntry(*reader_, "Script/Lib/ConditionLook.lua.lcd", marks));
    std::set<double> ids = {1};  // the player's
    for (const char* folder : {"Actor/Enemy/SLIM/SLIM01/", "Actor/Enemy/SLIM/SLIM02/", "Actor/Enemy/MOBB/MOBB01/",
                               "Actor/Enemy/GURD/GURD01/", "Actor/NonPlayer/VNDR/VNDR01/"}) {
        SCOPED_TRACE(folder);
        lua_State* setup = loadChunk(std::string(folder) + "setup.lua.lcd", false);
        ASSERT_NE(setup, nullptr);
        ASSERT_EQ(luaL_loadbuffer(setup, reinterpret_cast<const char*>(look.data()), look.size(), "ActorLook"), 0);
        lua_setglobal(setup, "loadActorLook");
        ASSERT_EQ(luaL_loadbuffer(setup, reinterpret_cast<const char*>(marks.data()), marks.size(), "ConditionLook"),
                  0);
        lua_setglobal(setup, "loadConditionLook");
        ASSERT_TRUE(run(
            setup,
            "local libraries = { ['Script.Lib.ActorLook'] = loadActorLook,\n"
            "  ['Script.Lib.ConditionLook'] = loadConditionLook }\n"
            "Lua = { require = function(name) assert(libraries[name], name)() end }\n"
            "ranges, set, textures = {}, {}, {}\n"
            "local count = 0\n"
            "local function nextIndex() count = count + 1 return count - 1 end\n"
            "MossbellLib = { ChipData = {}, addTexture = function(s, path) textures[s] = path end,\n"
            "  addChipData = nextIndex, addAnimationData = nextIndex, addPlayRangeData = nextIndex,\n"
            "  setPlayRangeName = function(s, range, name) ranges[s] = ranges[s] or {} ranges[s][name] = true end }\n"
            "setmetatable(MossbellLib, { __index = function() return function() end end })\n"
            "setmetatable(MossbellLib.ChipData, { __index = function() return function() end end })\n"
            "body, marks = {}, {}\n"
            "Actor = { Status = setmetatable({ getDirection = function() return 4 end },\n"
            "  { __index = function(_, k) return function(a, v) set[k] = v end end }) }\n"
            "function Actor.getBasicAnimation(a) return body end\n"
            "function Actor.getConditionAnimation(a) return marks end\n"
            "function Actor.setName(a, n) name = n end\n"
            "function Actor.setActorID(a, i) id = i end\n"
            "function Actor.setActionEventScriptFileName(a, path) talk = path end\n"));
        ASSERT_TRUE(call(setup, 0, "setup.lua main chunk"));
        ASSERT_TRUE(run(setup,
                        "setActor({}) setup()\n"
                        "assert(type(name) == 'string' and #name > 0, 'no name')\n"
                        "assert(set.setMaxLife and set.setLife, 'no life')\n"
                        "for d = 0, 7 do assert(ranges[body]['Walk_' .. d], 'no Walk_' .. d) end\n"
                        "assert(ranges[body].Sleep, 'no Sleep')\n"
                        "texture, markSheet = textures[body], textures[marks]\n"));
        if (std::string(folder).find("Enemy") != std::string::npos) {
            EXPECT_TRUE(run(setup,
                            "for _, mark in ipairs({ 'Confusion', 'Drunken', 'Blind', 'Trip', 'Unhinged' }) do\n"
                            "  assert(ranges[marks] and ranges[marks][mark], 'no condition mark ' .. mark)\n"
                            "end\n"));
            lua_getglobal(setup, "markSheet");
            Bytes sheet;
            EXPECT_TRUE(lua_tostring(setup, -1) != nullptr && readEntry(*reader_, lua_tostring(setup, -1), sheet));
            lua_pop(setup, 1);
        }
        lua_getglobal(setup, "id");
        EXPECT_TRUE(ids.insert(lua_tonumber(setup, -1)).second) << "the ID is taken";
        lua_getglobal(setup, "texture");
        Bytes sheet;
        EXPECT_TRUE(lua_tostring(setup, -1) != nullptr && readEntry(*reader_, lua_tostring(setup, -1), sheet));
        lua_getglobal(setup, "talk");
        Bytes talk;
        if (lua_tostring(setup, -1) != nullptr) {
            EXPECT_TRUE(readEntry(*reader_, std::string(lua_tostring(setup, -1)) + ".lcd", talk));
        }
        lua_pop(setup, 3);
    }
}

// Reads the binary font, checks its pages are in the same archive folder and that it has a
// glyph for every character the game's texts need.
void checkFont(OxPackedStreamReader& reader, const std::string& font, const std::u16string& needed) {
    SCOPED_TRACE(font);
    Bytes file;
    ASSERT_TRUE(readEntry(reader, "Font\\" + font + "\\" + font + ".fnt", file));
    ASSERT_GE(file.size(), 4u);
    ASSERT_EQ(0, std::memcmp(file.data(), "BMF\x03", 4));
    std::vector<std::string> pages;
    std::set<uint32_t> glyphs;
    uint16_t fontSize = 0, lineHeight = 0;
    size_t at = 4;
    while (at + 5 <= file.size()) {
        const uint8_t type = file[at];
        const uint32_t size = u32(file, at + 1);
        at += 5;
        if (size == 0) break;
        ASSERT_LE(at + size, file.size()) << "block " << int(type) << " runs past the end";
        if (type == 1) fontSize = u16(file, at);
        if (type == 2) lineHeight = u16(file, at);
        if (type == 3) {
            std::string names(reinterpret_cast<const char*>(&file[at]), size);
            std::istringstream split(names);
            for (std::string page; std::getline(split, page, '\0');) {
                if (!page.empty()) pages.push_back(page);
            }
        }
        if (type == 4) {
            ASSERT_EQ(size % 20, 0u);
            for (size_t r = at; r < at + size; r += 20) {
                EXPECT_EQ(file[r + 19], 15) << "glyph " << u32(file, r) << " has a channel other than 15";
                glyphs.insert(u32(file, r));
            }
        }
        ASSERT_GE(type, 1);
        ASSERT_LE(type, 5);
        at += size;
    }
    EXPECT_EQ(fontSize, 30);
    EXPECT_EQ(lineHeight, 40);
    ASSERT_FALSE(pages.empty());
    for (const std::string& page : pages) {
        Bytes png;
        EXPECT_TRUE(readEntry(reader, "Font\\" + font + "\\" + page, png));
    }
    std::u16string missing;
    for (char16_t unit : needed) {
        if (unit >= 0x20 && unit != u'\u21D2' && glyphs.count(unit) == 0) missing += unit;
    }
    EXPECT_TRUE(missing.empty()) << "no glyph for: " << Orvex::System::narrow(missing);
}

TEST_F(ContentArchiveTest, FontsHaveTheirPagesAndEveryNeededGlyph) {
    std::ifstream charset(std::string(ORVEX_CONTENT_DIR) + "/Font/charset.txt", std::ios::binary);
    ASSERT_TRUE(charset) << "Font/charset.txt";
    std::ostringstream text;
    text << charset.rdbuf();
    // The game's fixed texts, the default player name, and printable ASCII.
    std::string needed = text.str() + "名無しの旅人";
    for (char c = 0x20; c < 0x7F; ++c) needed += c;
    std::string lines;
    for (char c : needed) {
        if (c != '\n' && c != '\r') lines += c;
    }
    const std::u16string wanted = wide(lines);
    checkFont(*reader_, "font_00", wanted);
    checkFont(*reader_, "font_01", wanted);
}

// Every image the game and its scripts open, with the format its name promises and the size
// its layout needs (map cells of 80 pixels; actor frames of 112 x 120).
struct Image {
    const char* name;
    int width, height;
};
const Image kImages[] = {
    {"Common/Texture/GeneralWindow/Frame.png", 192, 192},
    {"Common/Texture/GeneralWindow/Icon.png", 256, 256},
    {"Common/Texture/Condition.dds", 256, 128},
    {"Common/Texture/Illusion/Item.tga", 80, 80},
    {"HUD/Arrow4.tga", 80, 136},
    {"HUD/Arrow8.tga", 80, 136},
    {"HUD/gauge.png", 256, 64},
    {"Dungeon/DarkPlane.dds", 1024, 1024},
    {"Dungeon/MapChip/MiniMap.png", 80, 10},
    {"Dungeon/DEMO10/00/00/title.png", 512, 512},
    {"Dungeon/R99/00/00/title.png", 512, 512},
    {"Dungeon/MapChip/ground.png", 320, 240},
    {"Dungeon/MapChip/wall_auto.png", 320, 320},
    {"Dungeon/MapChip/glow.png", 320, 80},
    {"Actor/Player/HERO/body.png", 1008, 480},
    {"Actor/Common/condition.png", 448, 320},
    {"Actor/Common/weapon.png", 1008, 480},
    {"Actor/Enemy/SLIM/slim.png", 1008, 480},
    {"Actor/Enemy/MOBB/mobb.png", 1008, 480},
    {"Actor/Enemy/GURD/gurd.png", 1008, 480},
    {"Actor/NonPlayer/VNDR/vndr.png", 1008, 480},
    {"Item/Texture/items.png", 320, 320},
    {"Item/Hollow/Hollow.tga", 128, 128},
    {"Menu/Title/title.png", 800, 600},
    {"Menu/Result/meltdown_back.png", 512, 512},
    {"WorldMap/map.png", 800, 600},
    {"ADV/bg.png", 800, 600},
    {"ADV/face.png", 256, 256},
};

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST_F(ContentArchiveTest, EveryImageHasItsFormatAndLayoutSize) {
    for (const Image& image : kImages) {
        SCOPED_TRACE(image.name);
        const std::string name = image.name;
        Bytes data;
        if (!readEntry(*reader_, name, data)) continue;
        if (endsWith(name, ".dds")) {
            // Uncompressed A8R8G8B8: 32 bits with the alpha, red, green and blue masks.
            ASSERT_GE(data.size(), 128u);
            EXPECT_EQ(0, std::memcmp(data.data(), "DDS ", 4));
            EXPECT_EQ(u32(data, 4), 124u);
            EXPECT_EQ(int(u32(data, 12)), image.height);
            EXPECT_EQ(int(u32(data, 16)), image.width);
            EXPECT_EQ(u32(data, 88), 32u);
            EXPECT_EQ(u32(data, 80) & 0x41u, 0x41u);
            EXPECT_EQ(u32(data, 92), 0x00FF0000u);
            EXPECT_EQ(u32(data, 104), 0xFF000000u);
            EXPECT_EQ(data.size(), 128u + size_t(image.width) * image.height * 4);
            continue;
        }
        const bool png = data.size() > 8 && std::memcmp(data.data(), "\x89PNG", 4) == 0;
        EXPECT_EQ(png, endsWith(name, ".png")) << "the contents do not match the extension";
        if (endsWith(name, ".tga")) {
            ASSERT_GT(data.size(), 18u);
            EXPECT_EQ(data[2], 2) << "uncompressed true-colour TGA";
            EXPECT_EQ(data[16], 32) << "32 bits with alpha";
        }
        int w = 0, h = 0, components = 0;
        stbi_uc* pixels = stbi_load_from_memory(data.data(), int(data.size()), &w, &h, &components, 4);
        EXPECT_NE(pixels, nullptr) << stbi_failure_reason();
        stbi_image_free(pixels);
        EXPECT_EQ(w, image.width);
        EXPECT_EQ(h, image.height);
        EXPECT_EQ(components, 4) << "needs an alpha channel";
    }
}

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

TEST_F(ContentArchiveTest, SoundEffectsHaveTheCanonicalWaveHeader) {
    for (const char* name : kStartupEntries) {
        const std::string entry = name;
        if (entry.rfind("SE/", 0) != 0) continue;
        SCOPED_TRACE(entry);
        Bytes wav;
        if (!readEntry(*reader_, entry, wav)) continue;
        ASSERT_GT(wav.size(), 44u);
        EXPECT_EQ(0, std::memcmp(wav.data(), "RIFF", 4));
        EXPECT_EQ(0, std::memcmp(wav.data() + 8, "WAVEfmt ", 8));
        EXPECT_EQ(u32(wav, 16), 16u);
        EXPECT_EQ(u16(wav, 20), 1);  // PCM
        const uint16_t channels = u16(wav, 22), bits = u16(wav, 34);
        EXPECT_EQ(bits, 16);
        EXPECT_EQ(u16(wav, 32), channels * bits / 8);
        EXPECT_EQ(u32(wav, 28), u32(wav, 24) * channels * bits / 8);
        EXPECT_EQ(u32(wav, 40), wav.size() - 44);
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
        "assert(all:find('B1F') and all:find('Lv2') and all:find('HP 3/20') and all:find('120G'), all)\n"
        "-- frame, life, frame, fullness: width drawn, source row top, source width\n"
        "assert(#draws == 4, 'draw calls: ' .. #draws)\n"
        "assert(draws[2][2] == 32, 'low life must use the low-life row')\n"
        "assert(draws[2][1] == math.floor(256 * 3 / 20) and draws[2][3] == draws[2][1], 'life bar ' .. draws[2][1])\n"
        "assert(draws[4][2] == 48 and draws[4][1] == 128, 'fullness bar ' .. draws[4][1])\n"));
}

}  // namespace
