#include "engine/script/CUserdataRegistry.h"

#include "engine/script/CBaseUserdata.h"
#include "engine/script/CFileManager.h"
#include "engine/script/CLuaClassBase.h"
#include "engine/script/LuaObjectBinding.h"

namespace Orvex::Script {

namespace {

// _CreateObject (class name): the new object's table; an unknown name comes back unchanged and a
// non-string argument gives nothing.
int createObject(lua_State* L) {
    if (lua_type(L, 1) != LUA_TSTRING) {
        return 0;
    }
    CUserdataRegistry* registry = CUserdataRegistry::current();
    IUserdata* prototype = registry != nullptr ? registry->findPrototype(lua_tostring(L, 1)) : nullptr;
    if (prototype == nullptr) {
        lua_pushvalue(L, 1);
        return 1;
    }
    prototype->push(L);
    return 1;
}

}  // namespace

CUserdataRegistry::CUserdataRegistry(lua_State* L) : luaState_(L) {}

void CUserdataRegistry::addPrototype(std::unique_ptr<IUserdata> prototype) {
    const std::string name = prototype->getClassName();
    if (name == "LuaClassBase") {
        installObjectValueFunctions(luaState_);
    }
    prototypes_[name] = std::move(prototype);
}

IUserdata* CUserdataRegistry::findPrototype(const std::string& className) const {
    auto found = prototypes_.find(className);
    return found != prototypes_.end() ? found->second.get() : nullptr;
}

std::unique_ptr<CUserdataRegistry>& CUserdataRegistry::slot() {
    // The file table must outlive a factory still installed at exit, whose file prototype closes
    // the files: statics die in the reverse order of their construction.
    CFileManager::openFiles();
    static std::unique_ptr<CUserdataRegistry> installed;
    return installed;
}

CUserdataRegistry* CUserdataRegistry::current() { return slot().get(); }

void installObjectFactory(lua_State* L) {
    CUserdataRegistry::slot().reset();
    auto registry = std::make_unique<CUserdataRegistry>(L);
    registry->addPrototype(std::make_unique<CBaseUserdata>());
    registry->addPrototype(std::make_unique<CFileManager>(true));
    registry->addPrototype(std::make_unique<CLuaClassBase>());
    CUserdataRegistry::slot() = std::move(registry);
    resetNextObjectId();
    lua_pushcfunction(L, &createObject);
    lua_setfield(L, LUA_GLOBALSINDEX, "_CreateObject");
}

void removeObjectFactory(lua_State* L) {
    CUserdataRegistry::slot().reset();
    resetNextObjectId();
    lua_pushnil(L);
    lua_setfield(L, LUA_GLOBALSINDEX, "_CreateObject");
}

}  // namespace Orvex::Script
