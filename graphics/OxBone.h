#pragma once
// A node of a geometry's bone tree: a bone frame of the loaded hierarchy, read through the
// frame's combined transform so that it follows every update. A bone owns its children, one
// reference each, held along the row: the first child's by the bone, each later one's by the
// sibling before it.
#include <string>

#include "graphics/OxRefCounted.h"
#include "graphics/include/IOrvexGeometry.h"
#include "graphics/include/OxRefPtr.h"
#include "platform/gpu/GpuTypes.h"

namespace Orvex::Graphics {

class OxBone final : public OxRefCounted<IOrvexBone> {
public:
    explicit OxBone(OxBone* parent = nullptr) : parent_(parent) {}

    void setName(const std::u16string& name) override { name_ = name; }
    const std::u16string& getName() const override { return name_; }
    IOrvexBone* getParent() override { return parent_; }
    IOrvexBone* addSibling() override;
    IOrvexBone* addChild() override;
    void getTransform(float out4x3[12]) const override;
    IOrvexBone* getFirstChild() override { return firstChild_.get(); }
    IOrvexBone* getNextSibling() override { return next_.get(); }

    OxBone* parent() const { return parent_; }
    OxBone* child() const { return firstChild_.get(); }
    OxBone* next() const { return next_.get(); }
    void bind(const Platform::Gpu::Matrix* combined) { transform_ = combined; }

private:
    ~OxBone() override;

    std::u16string name_;
    OxBone* parent_;
    OxBone* previous_ = nullptr;
    OxRefPtr<OxBone> next_;
    OxRefPtr<OxBone> firstChild_;
    OxBone* lastChild_ = nullptr;
    const Platform::Gpu::Matrix* transform_ = nullptr;
};

}  // namespace Orvex::Graphics
