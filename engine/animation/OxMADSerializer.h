#pragma once
// Placeholder type of the sprite-animation library: saving goes through OxMADObject::serialize.
namespace Orvex::MossbellLib {

class OxMADSerializer {
public:
    OxMADSerializer() = default;
    OxMADSerializer(const OxMADSerializer&) = delete;
    OxMADSerializer& operator=(const OxMADSerializer&) = delete;
    virtual ~OxMADSerializer() = default;
};

}  // namespace Orvex::MossbellLib
