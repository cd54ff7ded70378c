#pragma once
// The attach operation every module shares, and the per-class map from Lua state to module
// object through which a C function finds its module.
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
        attachedState_ = L;
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
        // A destroyed module must not be found again, by its state or by a later state that the
        // allocator places at the same address. The derived part is gone here: compare with the
        // pointer kept at attach instead of converting this one.
        if (attachedObject_ == nullptr) {
            return;
        }
        Orvex::Thread::OxCriticalLock lock(getLock());
        T** found = getStateMap().find(attachedState_);
        if (found != nullptr && *found == attachedObject_) {
            *found = nullptr;
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
    lua_State* attachedState_ = nullptr;
    T* attachedObject_ = nullptr;
};

}  // namespace Fenwarrow
