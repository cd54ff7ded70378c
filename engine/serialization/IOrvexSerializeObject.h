#pragma once
// Base of every class that saves and restores itself through the byte serializer.

namespace Orvex::Serialization {

class OxSerializer;

class IOrvexSerializeObject {
public:
    virtual ~IOrvexSerializeObject() = default;
    // Reads or writes the object according to the serializer's direction. A reading object
    // returns false when the stream is damaged (the serializer's read-failed flag is set or a
    // check value does not match).
    virtual bool serialize(OxSerializer& serializer) = 0;
};

}  // namespace Orvex::Serialization
