#pragma once
// Access to a geometry's bones: the root bone (standing for no frame) and the bones below it.
#include "graphics/OxBone.h"
#include "graphics/OxDXObject.h"
#include "graphics/OxRefCounted.h"
#include "graphics/OxSkeleton.h"
#include "graphics/OxSkin.h"
#include "graphics/include/OxRefPtr.h"

namespace Orvex::Graphics {

class OxSkinController final : public OxRefCounted<IOrvexSkinController> {
public:
    // The owner is not retained; it may be null (a controller of no hierarchy).
    explicit OxSkinController(OxHierarchyHolder* owner);

    IOrvexSkin* getSkin() override { return skin_.get(); }
    IOrvexSkeleton* getSkeleton() override { return skeleton_.get(); }
    // The largest bone count of the hierarchy's meshes.
    uint32_t getBoneCount() override;
    IOrvexBone* findBone(uint32_t index) override;

    void setRootBone(OxBone* bone);  // retained
    OxBone* rootBone() const { return root_.get(); }

private:
    ~OxSkinController() override = default;

    OxHierarchyHolder* owner_;
    OxRefPtr<OxSkin> skin_;
    OxRefPtr<OxSkeleton> skeleton_;
    OxRefPtr<OxBone> root_;
};

}  // namespace Orvex::Graphics
