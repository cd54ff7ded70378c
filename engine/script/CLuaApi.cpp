#include "engine/script/CLuaApi.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/system/OxStringConvert.h"
#include "platform/kernel/DebugOutput.h"
#include "platform/kernel/ProcessEnd.h"

namespace Orvex::Script {

namespace {

constexpr size_t kPanicBufferSize = 1024;
// The standard libraries make 39 globals, the game's modules and a script's own functions the rest.
constexpr int kGlobalSlots = 64;

// Cuts `length` back so that the text does not end inside a UTF-8 sequence.
size_t trimToCharacter(const char* text, size_t length) {
    size_t end = length;
    while (end > 0 && (static_cast<unsigned char>(text[end - 1]) & 0xC0) == 0x80) {
        --end;
    }
    if (end > 0) {
        const auto lead = static_cast<unsigned char>(text[end - 1]);
        const size_t need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        if (length - (end - 1) >= need) {
            return length;
        }
        return end - 1;
    }
    return length;
}

}  // namespace

CLuaApi::CLuaApi(uint8_t* area, uint32_t capacity) : chunks_(std::make_unique<CLuaChunkBuffer>(area, capacity)) {}

CLuaApi::~CLuaApi() { close(); }

int CLuaApi::panicHandler(lua_State* L) {
    // An unprotected error ends the process with status 1 and its message. Lua would call exit()
    // when this returned, which runs static destructors under the other engine threads and can
    // hang or crash; the process ends here instead, on whatever thread raised the error.
    // Messages have no length limit, so they are cut to the buffer.
    char buffer[kPanicBufferSize];
    const char* message =
        lua_type(L, -1) == LUA_TSTRING || lua_type(L, -1) == LUA_TNUMBER ? lua_tostring(L, -1) : "(error object)";
    int written = std::snprintf(buffer, sizeof buffer, "%s", message);
    if (written >= static_cast<int>(sizeof buffer)) {
        buffer[trimToCharacter(buffer, sizeof buffer - 1)] = '\0';
    }
    std::fprintf(stderr, "Lua error: %s\n", buffer);
    std::fflush(stderr);
    Platform::Kernel::debugOutput(u"Lua error: " + System::widen(buffer));
    Platform::Kernel::endProcessNow(1);
}

bool CLuaApi::createState() {
    if (state_ != nullptr) {
        return false;
    }
    heap_ = std::make_unique<CLuaHeap>();
    state_ = lua_newstate(&CLuaHeap::allocate, heap_.get());
    if (state_ == nullptr) {
        heap_.reset();
        return false;
    }
    // The globals start at the size the standard libraries and the game's modules fill, instead of
    // being rebuilt at every power of two on the way; a state is made for every script run.
    lua_createtable(state_, 0, kGlobalSlots);
    lua_replace(state_, LUA_GLOBALSINDEX);
    luaL_openlibs(state_);
    lua_atpanic(state_, &CLuaApi::panicHandler);
    isThread_ = false;
    return true;
}

bool CLuaApi::createThread(lua_State* parent) {
    if (state_ != nullptr || parent == nullptr || !lua_checkstack(parent, 1)) {
        return false;
    }
    state_ = lua_newthread(parent);
    isThread_ = true;
    lua_atpanic(state_, &CLuaApi::panicHandler);
    return true;
}

void CLuaApi::close() {
    if (state_ != nullptr) {
        if (!isThread_) {
            lua_close(state_);
        }
        heap_.reset();
        state_ = nullptr;
        isThread_ = false;
    }
    chunks_->clear();
}

void CLuaApi::registerFunction(const char* name, lua_CFunction fn) {
    if (state_ == nullptr || name == nullptr || !lua_checkstack(state_, 1)) {
        return;
    }
    lua_pushcclosure(state_, fn, 0);
    lua_setfield(state_, LUA_GLOBALSINDEX, name);
}

void CLuaApi::unregisterFunction(const char* name) {
    if (state_ == nullptr || name == nullptr) {
        return;
    }
    lua_settop(state_, 0);
    lua_pushnil(state_);
    lua_setfield(state_, LUA_GLOBALSINDEX, name);
}

int CLuaApi::doString(const char* text) {
    if (state_ == nullptr || text == nullptr || !lua_checkstack(state_, 1)) {
        return 1;
    }
    if (luaL_loadstring(state_, text) != 0) {
        return 1;
    }
    return lua_pcall(state_, 0, LUA_MULTRET, 0) != 0 ? 1 : 0;
}

int CLuaApi::doFile(const char* path) {
    if (state_ == nullptr || path == nullptr || !lua_checkstack(state_, 1)) {
        return 1;
    }
    // Engine paths use backslashes; the OS wants slashes.
    std::string osPath(path);
    std::replace(osPath.begin(), osPath.end(), '\\', '/');
    if (luaL_loadfile(state_, osPath.c_str()) != 0) {
        return 1;
    }
    return lua_pcall(state_, 0, LUA_MULTRET, 0) != 0 ? 1 : 0;
}

void CLuaApi::nameLoadError(lua_State* L, const char* chunkName) {
    const char* message = lua_tostring(L, -1);
    if (message == nullptr || std::strstr(message, chunkName) == nullptr) {
        lua_pushfstring(L, "%s: %s", chunkName, message != nullptr ? message : "(error object)");
        lua_remove(L, -2);
    }
}

int CLuaApi::callLoaded(int status, const char* chunkName) {
    // A failed load leaves its message on the stack; raising it reports the chunk and the reason
    // through the panic handler (or to a protected caller lower on the stack).
    if (status != 0) {
        nameLoadError(state_, chunkName);
        lua_error(state_);
    }
    lua_call(state_, 0, LUA_MULTRET);
    return status;
}

int CLuaApi::runBuffer(const uint8_t* bytes, size_t size, const char* chunkName) {
    if (state_ == nullptr || !lua_checkstack(state_, 1)) {
        return kStackShort;
    }
    const char* name = chunkName != nullptr ? chunkName : "?";
    const int status = luaL_loadbuffer(state_, reinterpret_cast<const char*>(bytes), size, name);
    return callLoaded(status, name);
}

int CLuaApi::doChunk(const char* name) {
    CLuaChunk* first = chunks_->find(name);
    if (first == nullptr) {
        return kNoChunk;
    }
    if (state_ == nullptr || !lua_checkstack(state_, 1)) {
        return kStackShort;
    }
    int status = 0;
    {
        // The joined bytes are released before the chunk runs: an error there leaves this frame
        // without running destructors.
        std::vector<uint8_t> joined(first->data, first->data + first->size);
        for (CLuaChunk* r = first->next; r != nullptr; r = r->next) {
            if (std::strcmp(r->name, name) == 0) {
                joined.insert(joined.end(), r->data, r->data + r->size);
            }
        }
        status = luaL_loadbuffer(state_, reinterpret_cast<const char*>(joined.data()), joined.size(), name);
    }
    return callLoaded(status, name);
}

int CLuaApi::callFunctionArgs(const char* name, int n, int nresults, const char* const* strings) {
    if (state_ == nullptr || name == nullptr || n < 0 || (n > 0 && strings == nullptr)) {
        return kStackShort;
    }
    // The library allows a native caller a limited number of slots; refuse rather than overflow.
    const int slots = 1 + std::max(n, nresults);
    if (!lua_checkstack(state_, slots)) {
        Platform::Kernel::debugOutput(u"Lua stack short: " + System::widen(name));
        return kStackShort;
    }
    lua_getfield(state_, LUA_GLOBALSINDEX, name);
    for (int i = 0; i < n; ++i) {
        lua_pushstring(state_, strings[i]);
    }
    lua_call(state_, n, nresults);
    return 0;
}

}  // namespace Orvex::Script
