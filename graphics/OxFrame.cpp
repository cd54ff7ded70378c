#include "graphics/OxFrame.h"

#include <utility>

#include "engine/system/OxStringConvert.h"

namespace Orvex::Graphics {

// The children are let go of one after another, first to last, so that a long row of them does
// not nest a release per child.
OxFrame::~OxFrame() {
    for (OxRefPtr<OxFrame> child = std::move(firstChild_); child != nullptr;) {
        OxRefPtr<OxFrame> next = std::move(child->next_);
        child = std::move(next);
    }
}

IOrvexFrame* OxFrame::addSibling() { return parent_ != nullptr ? parent_->addChild() : nullptr; }

IOrvexFrame* OxFrame::addChild() {
    auto child = OxRefPtr<OxFrame>::adopt(new OxFrame(geometry_, this));
    OxFrame* const added = child.get();
    added->previous_ = lastChild_;
    (lastChild_ != nullptr ? lastChild_->next_ : firstChild_) = std::move(child);
    lastChild_ = added;
    return added;
}

void OxFrame::standFor(OxDXFrame* frame) {
    frame_ = frame;
    name_ = System::widen(frame->name);
    meshContainer_ = frame->meshContainer;
}

}  // namespace Orvex::Graphics
