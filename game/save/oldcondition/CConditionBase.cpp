#include "game/save/oldcondition/CConditionBase.h"

#include "engine/serialization/OxSerializer.h"

namespace Fenwarrow::Actor::OldCondition {

using Orvex::Serialization::OxSerializer;

bool CConditionBase::serialize(OxSerializer& serializer) { return serializeValue(serializer, mayAct_); }

bool CConditionBase::serializeValue(OxSerializer& serializer, int32_t& value) {
    if (serializer.isWriting()) {
        serializer.write32(value);
        return true;
    }
    return serializer.read32(value);
}

bool CConditionBase::serializeValue(OxSerializer& serializer, float& value) {
    if (serializer.isWriting()) {
        serializer.write32(value);
        return true;
    }
    return serializer.read32(value);
}

bool CConditionBase::serializeValue(OxSerializer& serializer, bool& value) {
    if (serializer.isWriting()) {
        serializer.writeByte(value ? 1 : 0);
        return true;
    }
    uint8_t byte = 0;
    const bool ok = serializer.readByte(byte);
    value = byte != 0;
    return ok;
}

}  // namespace Fenwarrow::Actor::OldCondition
