#include "graphics/OxFrame.h"

#include "engine/system/OxStringConvert.h"

namespace Orvex::Graphics {

OxFrame::~OxFrame() {
    for (OxFrame* child = firstChild_; child != nullptr;) {
        OxFrame* next = child->next_;
        child->release();
        child = next;
    }
}

IOrvexFrame* OxFrame::addSibling() { return parent_ != nullptr ? parent_->addChild() : nullptr; }

IOrvexFrame* OxFrame::addChild() {
    auto* child = new OxFrame(geometry_, this);
    child->previous_ = lastChild_;
    (lastChild_ != nullptr ? lastChild_->next_ : firstChild_) = child;
    lastChild_ = child;
    return child;
}

void OxFrame::standFor(OxDXFrame* frame) {
    frame_ = frame;
    name_ = System::widen(frame->name);
    meshContainer_ = frame->meshContainer;
}

}  // namespace Orvex::Graphics
