#include "graphics/OxGeometry.h"

#include <utility>
#include <vector>

#include "engine/system/OxStringConvert.h"

namespace Orvex::Graphics {

namespace {

bool anyBone(const Platform::Gpux::XFrame* f) {
    for (; f != nullptr; f = f->sibling) {
        if (static_cast<const OxDXFrame*>(f)->isBone != 0 || anyBone(f->firstChild)) {
            return true;
        }
    }
    return false;
}

OxDXFrame* sibling(const OxDXFrame* f) { return static_cast<OxDXFrame*>(f->sibling); }
OxDXFrame* child(const OxDXFrame* f) { return static_cast<OxDXFrame*>(f->firstChild); }

// Fills `bone` from f, and a new bone beside it from each later bone frame of f's sibling chain;
// then each of those frames' first child fills a new child of its bone. Sibling chains are walked
// in a loop, so that only nesting (which the reader bounds) deepens the recursion.
void fillBone(OxBone* bone, OxDXFrame* f) {
    std::vector<std::pair<OxBone*, OxDXFrame*>> chain;
    for (;;) {
        if (f->isBone != 0) {
            bone->setName(System::widen(f->name));
            bone->bind(&f->combined);
        }
        chain.emplace_back(bone, f);
        OxDXFrame* next = sibling(f);
        while (next != nullptr && next->isBone == 0) {
            next = sibling(next);
        }
        if (next == nullptr) {
            break;
        }
        bone = static_cast<OxBone*>(bone->parent()->addChild());
        f = next;
    }
    for (const auto& [b, frame] : chain) {
        if (child(frame) != nullptr) {
            fillBone(static_cast<OxBone*>(b->addChild()), child(frame));
        }
    }
}

// The frame tree's filling: the same walk with the test reversed.
void fillFrame(OxFrame* frame, OxDXFrame* f) {
    std::vector<std::pair<OxFrame*, OxDXFrame*>> chain;
    for (;;) {
        if (f->isBone == 0) {
            frame->standFor(f);
        }
        chain.emplace_back(frame, f);
        OxDXFrame* next = sibling(f);
        while (next != nullptr && next->isBone != 0) {
            next = sibling(next);
        }
        if (next == nullptr) {
            break;
        }
        frame = static_cast<OxFrame*>(frame->addSibling());
        f = next;
    }
    for (const auto& [o, dx] : chain) {
        if (child(dx) != nullptr) {
            fillFrame(static_cast<OxFrame*>(o->addChild()), child(dx));
        }
    }
}

}  // namespace

OxGeometry::OxGeometry(IOrvexGraphics* graphics)
    : graphics_(OxRefPtr<IOrvexGraphics>::share(graphics)),
      library_(OxRefPtr<OxMaterialLibrary>::adopt(new OxMaterialLibrary())),
      motion_(OxRefPtr<OxMotionController>::adopt(new OxMotionController(this))),
      skin_(OxRefPtr<OxSkinController>::adopt(new OxSkinController(this))),
      root_(OxRefPtr<OxFrame>::adopt(new OxFrame(this, nullptr))) {}

OxGeometry::~OxGeometry() {
    hierarchy_.reset();
    root_.reset();
    skin_.reset();
    motion_.reset();
    library_.reset();
    graphics_.reset();
}

bool OxGeometry::attach(std::shared_ptr<OxDXObject> hierarchy) {
    hierarchy_ = std::move(hierarchy);
    OxDXFrame* top = hierarchy_->root();
    auto rootBone = OxRefPtr<OxBone>::adopt(new OxBone());
    skin_->setRootBone(rootBone.get());
    // Bones: from the root when it has siblings, else from its first child. A model without any
    // bone frame has an empty bone tree (it is a static model, not a broken one).
    OxDXFrame* start = top != nullptr && top->sibling != nullptr ? top : (top != nullptr ? child(top) : nullptr);
    if (start != nullptr && anyBone(top)) {
        auto* first = static_cast<OxBone*>(rootBone->addChild());
        OxDXFrame* f = start;
        while (f != nullptr && f->isBone == 0) {
            f = sibling(f);
        }
        if (f == nullptr) {
            return false;
        }
        fillBone(first, f);
    }
    // Frames: from the root, or its first child when the root has no siblings but a child.
    OxDXFrame* frameStart = top;
    if (top != nullptr && top->sibling == nullptr && top->firstChild != nullptr) {
        frameStart = child(top);
    }
    auto* first = static_cast<OxFrame*>(root_->addChild());
    OxDXFrame* f = frameStart;
    while (f != nullptr && f->isBone != 0) {
        f = sibling(f);
    }
    if (f != nullptr) {
        fillFrame(first, f);
    }
    for (const Platform::Gpu::Material* source : hierarchy_->materials()) {
        auto material = OxRefPtr<OxMaterial>::adopt(new OxMaterial(graphics_.get(), source));
        const OxColor4 diffuse = {source->diffuse.r, source->diffuse.g, source->diffuse.b, source->diffuse.a};
        material->getEffect()->setAmbientColor(diffuse);
        material->getEffect()->setDiffuseColor(diffuse);
        library_->add(std::move(material));
    }
    return true;
}

void OxGeometry::update(float elapsed) {
    if (hierarchy_ != nullptr) {
        hierarchy_->update(elapsed);
    }
}

IOrvexDefaultMaterialEffect* OxGeometry::getMaterialEffect(uint32_t index) {
    OxMaterial* material = library_->material(index);
    return material != nullptr ? material->getEffect() : nullptr;
}

}  // namespace Orvex::Graphics
