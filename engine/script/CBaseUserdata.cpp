#include "engine/script/CBaseUserdata.h"

#include "engine/script/LuaObjectBinding.h"

namespace Orvex::Script {

void CBaseUserdata::push(lua_State* L) {
    std::unique_ptr<IUserdata> object = create();
    if (auto* based = dynamic_cast<CBaseUserdata*>(object.get())) {
        based->setId(takeNextObjectId());
    }
    pushObject(L, object.release());
}

std::unique_ptr<IUserdata> CBaseUserdata::create() const { return std::make_unique<CBaseUserdata>(); }

std::unique_ptr<IUserdata> CBaseUserdata::clone() const { return std::make_unique<CBaseUserdata>(id_); }

}  // namespace Orvex::Script
