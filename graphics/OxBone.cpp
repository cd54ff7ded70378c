#include "graphics/OxBone.h"

#include <utility>

namespace Orvex::Graphics {

// The children are let go of one after another, first to last, so that a long row of them does
// not nest a release per child.
OxBone::~OxBone() {
    for (OxRefPtr<OxBone> child = std::move(firstChild_); child != nullptr;) {
        OxRefPtr<OxBone> next = std::move(child->next_);
        child = std::move(next);
    }
}

IOrvexBone* OxBone::addSibling() { return parent_ != nullptr ? parent_->addChild() : nullptr; }

IOrvexBone* OxBone::addChild() {
    auto child = OxRefPtr<OxBone>::adopt(new OxBone(this));
    OxBone* const added = child.get();
    added->previous_ = lastChild_;
    (lastChild_ != nullptr ? lastChild_->next_ : firstChild_) = std::move(child);
    lastChild_ = added;
    return added;
}

// A bone that stands for no frame reads as the identity.
void OxBone::getTransform(float out[12]) const {
    const Platform::Gpu::Matrix m = transform_ != nullptr ? *transform_ : Platform::Gpu::Matrix::identity();
    for (int j = 0; j < 3; ++j) {
        for (int i = 0; i < 3; ++i) {
            out[3 * j + i] = m.m[i][j];
        }
        out[9 + j] = m.m[3][j];
    }
}

}  // namespace Orvex::Graphics
