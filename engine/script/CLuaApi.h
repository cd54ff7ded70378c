#pragma once
// One Lua state (or a thread of another state) for a script host, with its cache of named chunks.
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>

#include <lua.hpp>

#include "engine/script/CLuaChunkBuffer.h"
#include "engine/script/CLuaHeap.h"

namespace Orvex::Script {

class CLuaApi {
public:
    // Returned by doChunk when no chunk of the name is cached.
    static constexpr int kNoChunk = 255;
    // Returned by the call operations when the arguments or results would not fit the native
    // stack limit of the Lua library, and when the string count does not match `n`.
    static constexpr int kStackShort = -1;

    CLuaApi(uint8_t* area, uint32_t capacity);
    ~CLuaApi();
    CLuaApi(const CLuaApi&) = delete;
    CLuaApi& operator=(const CLuaApi&) = delete;

    bool createState();
    // Leaves the new thread on the parent's stack, where the caller anchors it.
    bool createThread(lua_State* parent);
    void close();

    void registerFunction(const char* name, lua_CFunction fn);
    void unregisterFunction(const char* name);

    // Protected runs: 0 success, 1 failure with Lua's message left on the stack.
    int doString(const char* text);
    int doFile(const char* path);

    // Unprotected run: a load or run error ends in the panic handler unless a protected call is
    // active lower on the same state. Returns the load status.
    int runBuffer(const uint8_t* bytes, size_t size, const char* chunkName);
    int doChunk(const char* name);

    // Calls the global `name` with `n` string arguments, unprotected. Returns 0.
    int callFunctionArgs(const char* name, int n, int nresults, const char* const* strings);

    template <typename... Strings>
    int callFunction(const char* name, int n, const Strings&... strings) {
        const char* list[] = {cString(strings)..., nullptr};
        if (n != static_cast<int>(sizeof...(Strings))) {
            return kStackShort;
        }
        return callFunctionArgs(name, n, 0, list);
    }

    // The first result as an integer (the results stay on the stack); 1 when nresults is below 1.
    template <typename... Strings>
    int32_t callFunctionForInteger(const char* name, int n, int nresults, const Strings&... strings) {
        const char* list[] = {cString(strings)..., nullptr};
        if (n != static_cast<int>(sizeof...(Strings))) {
            return kStackShort;
        }
        const int status = callFunctionArgs(name, n, nresults, list);
        if (status != 0) {
            return status;
        }
        if (nresults < 1) {
            return 1;
        }
        return static_cast<int32_t>(lua_tointeger(state_, -nresults));
    }

    lua_State* getState() const { return state_; }
    bool isThread() const { return isThread_; }
    CLuaChunkBuffer& getChunks() { return *chunks_; }

    // The handler every state of this wrapper panics into; public so that tests can reach it.
    static int panicHandler(lua_State* L);
    // After a failed load of `chunkName` on `L`: makes sure the message on top names the chunk.
    // Some load errors (memory, a damaged precompiled header) do not, and the user must learn
    // which entry is broken.
    static void nameLoadError(lua_State* L, const char* chunkName);

private:
    static const char* cString(const char* s) { return s; }
    static const char* cString(const std::string& s) { return s.c_str(); }
    int callLoaded(int status, const char* chunkName);

    lua_State* state_ = nullptr;
    bool isThread_ = false;
    std::unique_ptr<CLuaChunkBuffer> chunks_;
    // The memory of the state this object created (none for a thread).
    std::unique_ptr<CLuaHeap> heap_;
};

}  // namespace Orvex::Script
