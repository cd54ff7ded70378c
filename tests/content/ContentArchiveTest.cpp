// Checks the built sample data as the game reads it: the seven archives open with the game's
// options, every entry the start-up and the first scenes open is there under its stored
// lower-case name, and the entries are what their readers expect (chunks that load, fonts
// with their pages and glyphs, decodable textures of the right size, canonical WAV headers).
#include "tests/content/ContentArchiveFixture.h"

namespace ContentTest {
namespace {

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
// conditions show and doze, or stay awake; the shopkeeper's talk script is in the archives.
TEST_F(ContentArchiveTest, ActorFoldersSetUpANamedActorWithEveryMotion) {
    Bytes look;
    Bytes marks;
    Bytes enemyAI;
    ASSERT_TRUE(readEntry(*reader_, "Script/Lib/ActorLook.lua.lcd", look));
    ASSERT_TRUE(readEntry(*reader_, "Script/Lib/ConditionLook.lua.lcd", marks));
    ASSERT_TRUE(readEntry(*reader_, "Script/Lib/EnemyAI.lua.lcd", enemyAI));
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
        ASSERT_EQ(luaL_loadbuffer(setup, reinterpret_cast<const char*>(enemyAI.data()), enemyAI.size(), "EnemyAI"), 0);
        lua_setglobal(setup, "loadEnemyAI");
        ASSERT_TRUE(run(
            setup,
            "local libraries = { ['Script.Lib.ActorLook'] = loadActorLook,\n"
            "  ['Script.Lib.ConditionLook'] = loadConditionLook, ['Script.Lib.EnemyAI'] = loadEnemyAI }\n"
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
            "Actor = { Status = setmetatable({ getDirection = function() return 4 end,\n"
            "  setCategory = function(a, bit, on) if bit == 13 then wakeful = on end end },\n"
            "  { __index = function(_, k) return function(a, v) set[k] = v end end }) }\n"
            "function Actor.getBasicAnimation(a) return body end\n"
            "function Actor.getConditionAnimation(a) return marks end\n"
            "function Actor.setName(a, n) name = n end\n"
            "function Actor.setActorID(a, i) id = i end\n"
            "function Actor.setActionEventScriptFileName(a, path) talk = path end\n"
            "Actor.Condition = { addCondition = function(a, type)\n"
            "  added, posed, quietly = type, ranges[body] ~= nil and ranges[body].Sleep, wakeful end }\n"));
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
            // Each dozes in its room, its sleeping pose already built, the condition switched
            // on without a sleep roll of its own; but the guard, which chases and stays awake.
            EXPECT_TRUE(run(setup,
                            "local dozes = added == 11 and posed and quietly and not wakeful\n"
                            "assert(dozes or (added == nil and wakeful), 'neither dozes nor stays awake')\n"));
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
    EXPECT_EQ(fontSize, 24);
    EXPECT_EQ(lineHeight, 30);
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

}  // namespace
}  // namespace ContentTest
