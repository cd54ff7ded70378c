#pragma once
// An example class with two methods; not registered with the object factory.
#include "engine/script/CBaseUserdata.h"

namespace Orvex::Script {

class CSampleUserdata : public CBaseUserdata {
public:
    CSampleUserdata() = default;
    explicit CSampleUserdata(uint32_t objectId) : CBaseUserdata(objectId) {}

    void push(lua_State* L) override;
    std::unique_ptr<IUserdata> create() const override;
    std::unique_ptr<IUserdata> clone() const override;
    const char* getClassName() const override { return "SampleUserdata"; }

private:
    // printId (object): writes the object's id. printParam ([object,] a, b): writes "a b".
    static int printId(lua_State* L);
    static int printParam(lua_State* L);
};

}  // namespace Orvex::Script
