#include "graphics/OxSkinController.h"

namespace Orvex::Graphics {

namespace {

// The index-th bone of the subtree in pre-order (a bone, its children, then its next siblings).
OxBone* nth(OxBone* bone, uint32_t& index) {
    for (; bone != nullptr; bone = bone->next()) {
        if (index == 0) {
            return bone;
        }
        --index;
        if (OxBone* found = nth(bone->child(), index)) {
            return found;
        }
    }
    return nullptr;
}

}  // namespace

OxSkinController::OxSkinController(OxHierarchyHolder* owner)
    : owner_(owner),
      skin_(OxRefPtr<OxSkin>::adopt(new OxSkin())),
      skeleton_(OxRefPtr<OxSkeleton>::adopt(new OxSkeleton())) {}

uint32_t OxSkinController::getBoneCount() {
    OxDXObject* h = owner_ != nullptr ? owner_->hierarchy() : nullptr;
    return h != nullptr ? h->boneCapacity() : 0;
}

IOrvexBone* OxSkinController::findBone(uint32_t index) {
    return root_ != nullptr ? nth(root_->child(), index) : nullptr;
}

void OxSkinController::setRootBone(OxBone* bone) { root_ = OxRefPtr<OxBone>::share(bone); }

}  // namespace Orvex::Graphics
