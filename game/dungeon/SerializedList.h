#pragma once
// Reading a counted list of objects that restore themselves: the count, checked against the
// bytes left, then each new object in turn.
#include <cstdint>
#include <memory>

#include "engine/serialization/OxSerializer.h"

namespace Fenwarrow::Dungeon {

// Appends each object to the list (anything with push_back of a shared_ptr<T>); false at the
// first object that fails or when the count cannot be held by the bytes left.
template <typename T, typename List>
bool readSerializedList(Orvex::Serialization::OxSerializer& serializer, uint32_t minObjectBytes, List& list) {
    uint32_t count = 0;
    if (!serializer.readCount(count, minObjectBytes)) {
        return false;
    }
    for (uint32_t i = 0; i < count; ++i) {
        auto object = std::make_shared<T>();
        if (!object->serialize(serializer)) {
            return false;
        }
        list.push_back(std::move(object));
    }
    return true;
}

}  // namespace Fenwarrow::Dungeon
