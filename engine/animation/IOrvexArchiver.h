#pragma once
// Base of the sprite-animation records that belong to a script-built list (chips, frames,
// textures). Those lists are rebuilt by their owner's script rather than saved, so the records
// write nothing of their own.
namespace Orvex::Serialization {
class OxSerializer;
}

namespace Orvex::MossbellLib {

class IOrvexArchiver {
public:
    virtual ~IOrvexArchiver() = default;
    virtual void serialize(Serialization::OxSerializer& /*serializer*/) {}
};

}  // namespace Orvex::MossbellLib
