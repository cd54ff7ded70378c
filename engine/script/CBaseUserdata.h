#pragma once
// The base of the script-creatable classes: an object id and no methods.
#include <cstdint>

#include "engine/script/IUserdata.h"

namespace Orvex::Script {

class CBaseUserdata : public IUserdata {
public:
    CBaseUserdata() = default;
    explicit CBaseUserdata(uint32_t objectId) : id_(objectId) {}

    void push(lua_State* L) override;
    std::unique_ptr<IUserdata> create() const override;
    std::unique_ptr<IUserdata> clone() const override;
    const char* getClassName() const override { return "BaseUserdata"; }

    uint32_t getId() const { return id_; }
    void setId(uint32_t objectId) { id_ = objectId; }

private:
    uint32_t id_ = 0;
};

}  // namespace Orvex::Script
