#pragma once
// A node of a geometry's frame tree: a non-bone frame of the loaded hierarchy and its first
// mesh container. A frame owns its children, one reference each, held along the row: the first
// child's by the frame, each later one's by the sibling before it.
#include <string>

#include "graphics/OxDXFrame.h"
#include "graphics/OxRefCounted.h"
#include "graphics/include/IOrvexGeometry.h"
#include "graphics/include/OxRefPtr.h"

namespace Orvex::Graphics {

class OxFrame final : public OxRefCounted<IOrvexFrame> {
public:
    OxFrame(IOrvexGeometry* geometry, OxFrame* parent) : geometry_(geometry), parent_(parent) {}

    IOrvexGeometry* getGeometry() override { return geometry_; }
    void setName(const std::u16string& name) override { name_ = name; }
    const std::u16string& getName() const override { return name_; }
    IOrvexFrame* getParent() override { return parent_; }
    IOrvexFrame* addSibling() override;
    IOrvexFrame* addChild() override;
    IOrvexFrame* getFirstChild() override { return firstChild_.get(); }
    IOrvexFrame* getLastChild() override { return lastChild_; }
    IOrvexFrame* getPreviousSibling() override { return previous_; }
    IOrvexFrame* getNextSibling() override { return next_.get(); }
    Platform::Gpux::XMeshContainer* getMeshContainer() override { return meshContainer_; }

    OxFrame* child() const { return firstChild_.get(); }
    OxFrame* next() const { return next_.get(); }
    // Makes this frame stand for a frame of the hierarchy.
    void standFor(OxDXFrame* frame);

private:
    ~OxFrame() override;

    IOrvexGeometry* geometry_;  // not retained
    std::u16string name_;
    OxFrame* parent_;
    OxFrame* previous_ = nullptr;
    OxRefPtr<OxFrame> next_;
    OxRefPtr<OxFrame> firstChild_;
    OxFrame* lastChild_ = nullptr;
    OxDXFrame* frame_ = nullptr;
    Platform::Gpux::XMeshContainer* meshContainer_ = nullptr;
};

}  // namespace Orvex::Graphics
