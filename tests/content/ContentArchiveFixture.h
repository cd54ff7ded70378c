#pragma once
// The built sample data as the game reads it: the seven archives opened with the game's options,
// entries read whole, and a fixture with fresh Lua states for the chunks the tests load.
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

namespace ContentTest {

using Orvex::FileArchiver::OxArchiveHeaderDisk;
using Orvex::FileArchiver::OxArchiveOptions;
using Orvex::FileArchiver::OxArchiveRecordDisk;
using Orvex::FileArchiver::OxPackedStreamReader;
using Bytes = std::vector<uint8_t>;

inline const char* const kArchives[] = {"d000.bin", "d100.bin", "d200.bin", "d300.bin",
                                        "d400.bin", "d500.bin", "d900.bin"};

inline std::u16string wide(const std::string& text) {
    std::u16string out;
    EXPECT_TRUE(Orvex::System::toWideString(text, out)) << text;
    return out;
}

inline std::string lowerBackslashed(std::string name) {
    for (char& c : name) {
        if (c == '/') c = '\\';
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    return name;
}

inline std::unique_ptr<OxPackedStreamReader> openReader(bool lowerCaseNames) {
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
inline bool readEntry(OxPackedStreamReader& reader, const std::string& name, Bytes& out) {
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

inline uint32_t u32(const Bytes& b, size_t at) {
    return uint32_t(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24);
}
inline uint16_t u16(const Bytes& b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }

// What the start-up and the first scenes open, as their code names it.
inline const char* const kStartupEntries[] = {
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

inline const char* const kScripts[] = {
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

}  // namespace ContentTest
