#pragma once
// Placeholder type of the sprite-animation library: drawing goes through OxMADObject::draw.
namespace Orvex::MossbellLib {

class OxMADRenderer {
public:
    OxMADRenderer() = default;
    OxMADRenderer(const OxMADRenderer&) = delete;
    OxMADRenderer& operator=(const OxMADRenderer&) = delete;
    virtual ~OxMADRenderer() = default;
};

}  // namespace Orvex::MossbellLib
