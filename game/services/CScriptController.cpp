#include "game/services/CScriptController.h"

#include <algorithm>

#include "engine/system/OxStringConvert.h"
#include "game/services/CLuaCommand.h"
#include "game/services/IScriptCommand.h"
#include "engine/system/OxSystemFacade.h"

namespace Fenwarrow {

CScriptController::CScriptController(IScriptServices& services) : services_(services) {}

CScriptController::~CScriptController() { close(); }

bool CScriptController::readScript(IScriptServices& services, const std::u16string& path,
                                   Orvex::IO::StreamIO::ByteVector& bytes) {
    const std::u16string full = path + u".lcd";
    Orvex::IO::StreamIO::IOrvexStreamReader& reader = services.getArchiveReader();
    if (!reader.open(full)) {
        Orvex::System::errorOutput(full + u": the script is not in the archives");
        return false;
    }
    const bool read = reader.readToVector(bytes, 0);
    reader.close();
    if (!read) {
        Orvex::System::errorOutput(full + u": the script cannot be read");
        return false;
    }
    return true;
}

bool CScriptController::loadScript(const std::u16string& path, uint32_t blockSize) {
    if (hasState()) {
        return false;
    }
    Orvex::IO::StreamIO::ByteVector bytes;
    if (!readScript(services_, path, bytes)) {
        close();
        return false;
    }
    return loadScriptBytes(path, bytes, blockSize);
}

bool CScriptController::loadScriptBytes(const std::u16string& path, const Orvex::IO::StreamIO::ByteVector& bytes,
                                        uint32_t blockSize) {
    if (hasState()) {
        return false;
    }
    std::string name;
    if (!Orvex::System::toMultiByteString(path, name)) {
        close();
        return false;
    }
    chunkName_ = name;
    if (!setupState(bytes.data(), static_cast<uint32_t>(bytes.size()), blockSize)) {
        close();
        return false;
    }
    scriptPath_ = path + u".lcd";
    return true;
}

bool CScriptController::setupState(const uint8_t* bytes, uint32_t size, uint32_t blockSize) {
    if (hasState()) {
        return false;
    }
    // The chunk cache writes before it reads: the block needs no clearing.
    memoryBlock_ = std::make_unique_for_overwrite<uint8_t[]>(blockSize);
    api_ = std::make_shared<Orvex::Script::CLuaApi>(memoryBlock_.get(), blockSize);
    if (!api_->createState()) {
        close();
        return false;
    }
    const char* name = chunkName_.empty() ? kDefaultChunkName : chunkName_.c_str();
    // A chunk the cache refuses (a name longer than its record holds) could never run.
    if (api_->getChunks().addChunk(name, bytes, size) == nullptr) {
        Orvex::System::debugOutput(u"Lua chunk not cached: " + Orvex::System::widen(name));
        close();
        return false;
    }
    if (!attachCommand(std::make_shared<ScriptCommand::CLuaCommand>(services_))) {
        close();
        return false;
    }
    return true;
}

bool CScriptController::attachCommand(std::shared_ptr<IScriptCommand> module) {
    lua_State* L = getLuaState();
    if (L == nullptr || module == nullptr) {
        return false;
    }
    if (!module->attach(L) || !module->registerFunctions(*this)) {
        return false;
    }
    modules_.push_back(std::move(module));
    return true;
}

bool CScriptController::runMain() {
    if (!hasState()) {
        return false;
    }
    const char* name = chunkName_.empty() ? kDefaultChunkName : chunkName_.c_str();
    if (api_->doChunk(name) != 0) {
        close();
        return false;
    }
    return true;
}

void CScriptController::close() {
    if (!hasState()) {
        return;
    }
    modules_.clear();
    api_->close();
    api_.reset();
    memoryBlock_.reset();
    scriptPath_.clear();
}

void CScriptController::fillZeros(std::vector<CScriptValue>& results, int resultCount) const {
    for (int i = 0; i < resultCount; ++i) {
        results.push_back(CScriptValue::fromInteger(0));
    }
}

void CScriptController::callFunctionPath(std::vector<CScriptValue>& results, const std::vector<std::string>& path,
                                         int resultCount, const std::vector<CScriptValue>& arguments) {
    results.clear();
    resultCount = std::max(resultCount, 0);
    lua_State* L = getLuaState();
    if (L == nullptr || path.empty()) {
        fillZeros(results, resultCount);
        return;
    }
    // Values a previous caller left behind are not this call's business.
    lua_settop(L, 0);
    const int slots = static_cast<int>(path.size() + arguments.size()) + resultCount + 1;
    if (!lua_checkstack(L, slots)) {
        Orvex::System::debugOutput(u"Lua stack short: " + Orvex::System::widen(path.front()));
        fillZeros(results, resultCount);
        return;
    }
    lua_getfield(L, LUA_GLOBALSINDEX, path.front().c_str());
    for (size_t i = 1; i < path.size(); ++i) {
        // Only tables are searched: indexing a number or a boolean would raise an error that
        // nothing catches, for what is only a missing name.
        if (lua_type(L, -1) != LUA_TTABLE) {
            lua_settop(L, 0);
            fillZeros(results, resultCount);
            return;
        }
        lua_getfield(L, -1, path[i].c_str());
        if (lua_isnil(L, -1)) {
            lua_settop(L, 0);
            fillZeros(results, resultCount);
            return;
        }
    }
    int pushed = 0;
    for (const CScriptValue& argument : arguments) {
        pushed += argument.push(L);
    }
    lua_call(L, pushed, resultCount);
    for (int i = 0; i < resultCount && lua_gettop(L) > 0; ++i) {
        CScriptValue value;
        if (CScriptValue::fromLua(L, -1, value)) {
            results.push_back(std::move(value));
        }
        lua_pop(L, 1);
    }
    lua_settop(L, 0);
}

void CScriptController::callFunction(std::vector<CScriptValue>& results, const std::string& name, int resultCount,
                                     const std::vector<CScriptValue>& arguments) {
    callFunctionPath(results, {name}, resultCount, arguments);
}

void CScriptController::callFunctionWithArg(std::vector<CScriptValue>& results, const std::string& name,
                                            int resultCount, const CScriptValue& argument) {
    callFunctionPath(results, {name}, resultCount, {argument});
}

void CScriptController::callFunctionNoArgs(std::vector<CScriptValue>& results, const std::string& name,
                                           int resultCount) {
    callFunctionPath(results, {name}, resultCount, {});
}

void CScriptController::callForValue(CScriptValue& out, const std::string& name) {
    out = CScriptValue();
    lua_State* L = getLuaState();
    if (L == nullptr) {
        return;
    }
    lua_settop(L, 0);
    lua_getfield(L, LUA_GLOBALSINDEX, name.c_str());
    lua_call(L, 0, 1);
    if (lua_gettop(L) > 0) {
        CScriptValue value;
        if (CScriptValue::fromLua(L, -1, value)) {
            out = std::move(value);
        }
    }
    lua_settop(L, 0);
}

void CScriptController::callVoid(const std::string& name) {
    std::vector<CScriptValue> results;
    callFunctionNoArgs(results, name, 0);
}

}  // namespace Fenwarrow
