#pragma once
// The attach operation every module shares, and the per-class map from Lua state to module
// object through which a C function finds its module.
#include <vector>

#include <lua.hpp>

#include "engine/system/OxNeverDestroyed.h"
#include "engine/system/binary_search_map.h"
#include "engine/thread/OxCriticalSection.h"
#include "game/services/IScriptCommand.h"

namespace Fenwarrow {

// The global through which coroutines of an attached state find it.
inline constexpr const char* kThisLuaStateName = "_this_lua_State";

template <typename T>
class CScriptCommandBase : public IScriptCommand {
public:
    using StateMap = Orvex::System::binary_search_map<lua_State*, T*>;

    bool attach(lua_State* L) override {
        Orvex::Thread::OxCriticalLock lock(getLock());
        attachedObject_ = static_cast<T*>(this);
        getStateMap().insertOrAssign(L, attachedObject_);
        attachedStates_.push_back(L);
        lua_pushstring(L, kThisLuaStateName);
        lua_pushlightuserdata(L, L);
        lua_settable(L, LUA_GLOBALSINDEX);
        return true;
    }

    // The module object attached to L or, for a coroutine of an attached state, to the state
    // named by "_this_lua_State"; null when there is none.
    static T* fromState(lua_State* L) {
        // Read before taking the lock: a Lua error here must not leave the lock held.
        lua_getfield(L, LUA_GLOBALSINDEX, kThisLuaStateName);
        auto* named = static_cast<lua_State*>(lua_touserdata(L, -1));
        lua_pop(L, 1);
        Orvex::Thread::OxCriticalLock lock(getLock());
        T* const* found = getStateMap().find(L);
        if ((found == nullptr || *found == nullptr) && named != nullptr) {
            found = getStateMap().find(named);
        }
        return found != nullptr ? *found : nullptr;
    }

    ~CScriptCommandBase() override {
        // States and coroutines are made and closed all the time, and a new one may get the
        // address of a closed one: a destroyed module must leave no entry behind that such a
        // state could find. An entry that another module object of the class took over since
        // stays. The derived part is gone here: compare with the pointer kept at attach
        // instead of converting this one.
        if (attachedStates_.empty()) {
            return;
        }
        Orvex::Thread::OxCriticalLock lock(getLock());
        for (lua_State* state : attachedStates_) {
            T** found = getStateMap().find(state);
            if (found != nullptr && *found == attachedObject_) {
                getStateMap().erase(state);
            }
        }
    }

protected:
    CScriptCommandBase() = default;

    // Never destroyed: a script thread may still look its module up while the process ends.
    static Orvex::Thread::OxCriticalSection& getLock() {
        static Orvex::System::OxNeverDestroyed<Orvex::Thread::OxCriticalSection> lock;
        return lock.get();
    }
    static StateMap& getStateMap() {
        static Orvex::System::OxNeverDestroyed<StateMap> map;
        return map.get();
    }

private:
    // Every state this object was attached to (one for a module a single host owns).
    std::vector<lua_State*> attachedStates_;
    T* attachedObject_ = nullptr;
};

}  // namespace Fenwarrow
