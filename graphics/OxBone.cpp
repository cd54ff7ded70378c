#include "graphics/OxBone.h"

namespace Orvex::Graphics {

OxBone::~OxBone() {
    for (OxBone* child = firstChild_; child != nullptr;) {
        OxBone* next = child->next_;
        child->release();
        child = next;
    }
}

IOrvexBone* OxBone::addSibling() { return parent_ != nullptr ? parent_->addChild() : nullptr; }

IOrvexBone* OxBone::addChild() {
    auto* child = new OxBone(this);
    child->previous_ = lastChild_;
    (lastChild_ != nullptr ? lastChild_->next_ : firstChild_) = child;
    lastChild_ = child;
    return child;
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
