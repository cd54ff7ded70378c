#pragma once
// The game's Lua host: one state over a memory block the caller sizes, the script loaded from
// the archives, the command modules attached to it, and typed calls into the script.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <boost/noncopyable.hpp>
#include <lua.hpp>

#include "engine/script/CLuaApi.h"
#include "engine/script/CScriptValue.h"
#include "game/services/IScriptServices.h"

namespace Fenwarrow {

class IScriptCommand;
using Orvex::Script::CScriptValue;

class CScriptController : private boost::noncopyable {
public:
    static constexpr const char* kDefaultChunkName = "__main__";

    explicit CScriptController(IScriptServices& services);
    virtual ~CScriptController();

    // Reads `path` + ".lcd" from the archive reader and sets up a state of `blockSize` bytes of
    // chunk memory. False when a state exists already or anything fails (nothing is kept).
    bool loadScript(const std::u16string& path, uint32_t blockSize);
    // The same with the bytes of `path` + ".lcd" read before (by readScript).
    bool loadScriptBytes(const std::u16string& path, const Orvex::IO::StreamIO::ByteVector& bytes, uint32_t blockSize);
    // Reads `path` + ".lcd" from the services' archive reader; false, with a line on stderr,
    // when it is missing or cannot be read.
    static bool readScript(IScriptServices& services, const std::u16string& path,
                           Orvex::IO::StreamIO::ByteVector& bytes);
    bool setupState(const uint8_t* bytes, uint32_t size, uint32_t blockSize);
    bool attachCommand(std::shared_ptr<IScriptCommand> module);
    // Runs the main chunk, unprotected: a Lua error in it ends the process through the panic
    // handler. False (and the state closed) only when the chunk is not cached.
    bool runMain();

    // Calls the function found through a path of names ("Actor", "onTurn"). A missing name after
    // the first gives resultCount integer zeros; the call itself is unprotected. Results are read
    // top down (the last returned value first); nil, tables, functions and full userdata give no
    // entry.
    void callFunctionPath(std::vector<CScriptValue>& results, const std::vector<std::string>& path, int resultCount,
                          const std::vector<CScriptValue>& arguments);
    void callFunction(std::vector<CScriptValue>& results, const std::string& name, int resultCount,
                      const std::vector<CScriptValue>& arguments);
    void callFunctionWithArg(std::vector<CScriptValue>& results, const std::string& name, int resultCount,
                             const CScriptValue& argument);
    void callFunctionNoArgs(std::vector<CScriptValue>& results, const std::string& name, int resultCount);
    // No arguments, one result; `out` is left empty (nil) when the result has no value form.
    void callForValue(CScriptValue& out, const std::string& name);
    // No arguments, results dropped.
    void callVoid(const std::string& name);

    void close();

    bool hasState() const { return api_ != nullptr; }
    const std::shared_ptr<Orvex::Script::CLuaApi>& getLuaApi() const { return api_; }
    lua_State* getLuaState() const { return api_ != nullptr ? api_->getState() : nullptr; }
    IScriptServices& getServices() const { return services_; }
    const std::u16string& getScriptPath() const { return scriptPath_; }
    const std::string& getChunkName() const { return chunkName_; }
    const std::vector<std::shared_ptr<IScriptCommand>>& getModules() const { return modules_; }

private:
    void fillZeros(std::vector<CScriptValue>& results, int resultCount) const;

    IScriptServices& services_;
    std::shared_ptr<Orvex::Script::CLuaApi> api_;
    std::unique_ptr<uint8_t[]> memoryBlock_;
    std::vector<std::shared_ptr<IScriptCommand>> modules_;
    std::u16string scriptPath_;
    std::string chunkName_ = kDefaultChunkName;
};

}  // namespace Fenwarrow
