#pragma once
// A script object with named members stored on the native side, read and written through
// `_GetObjectValue` and `_SetObjectValue`.
#include <map>
#include <memory>
#include <string>

#include "engine/script/CBaseUserdata.h"
#include "engine/script/CLuaClassDataUnit.h"

namespace Orvex::Script {

class CLuaClassBase : public CBaseUserdata {
public:
    // A name may map to no unit (set to nil or to a value that is not stored).
    using Members = std::map<std::string, std::unique_ptr<CLuaClassDataUnit>>;

    CLuaClassBase() = default;
    explicit CLuaClassBase(uint32_t objectId) : CBaseUserdata(objectId) {}

    std::unique_ptr<IUserdata> create() const override;
    // The clone starts with no members.
    std::unique_ptr<IUserdata> clone() const override;
    const char* getClassName() const override { return "LuaClassBase"; }

    Members& members() { return members_; }
    const Members& members() const { return members_; }

private:
    Members members_;
};

}  // namespace Orvex::Script
