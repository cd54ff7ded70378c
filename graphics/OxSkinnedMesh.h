#pragma once
// A skinned mesh: a holder of a loaded hierarchy with its own motion and skin controllers. Nothing
// in this library loads one into it.
#include <memory>

#include "graphics/OxDXObject.h"
#include "graphics/OxFrame.h"
#include "graphics/OxMotionController.h"
#include "graphics/OxRefCounted.h"
#include "graphics/OxSkinController.h"
#include "graphics/include/IOrvexGraphics.h"
#include "graphics/include/IOrvexMesh.h"
#include "graphics/include/OxRefPtr.h"

namespace Orvex::Graphics {

class OxSkinnedMesh final : public OxRefCounted<IOrvexSkinnedMesh>, public OxHierarchyHolder {
public:
    explicit OxSkinnedMesh(IOrvexGraphics* graphics);

    IOrvexGraphics* getGraphics() override { return graphics_.get(); }
    uint32_t getMeshType() override { return 2; }
    uint32_t reserved5() override { return 4; }
    IOrvexMotionController* getMotionController() override { return motion_.get(); }
    IOrvexSkinController* getSkinController() override { return skin_.get(); }
    uint32_t getCountField() override { return getRefCount(); }
    void update(float elapsed) override;
    OxDXObject* hierarchy() override { return hierarchy_.get(); }

private:
    ~OxSkinnedMesh() override = default;

    OxRefPtr<IOrvexGraphics> graphics_;
    OxRefPtr<OxMotionController> motion_;
    OxRefPtr<OxSkinController> skin_;
    OxRefPtr<OxFrame> root_;
    std::shared_ptr<OxDXObject> hierarchy_;
};

}  // namespace Orvex::Graphics
