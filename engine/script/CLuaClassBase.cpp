#include "engine/script/CLuaClassBase.h"

namespace Orvex::Script {

std::unique_ptr<IUserdata> CLuaClassBase::create() const { return std::make_unique<CLuaClassBase>(); }

std::unique_ptr<IUserdata> CLuaClassBase::clone() const { return std::make_unique<CLuaClassBase>(getId()); }

}  // namespace Orvex::Script
