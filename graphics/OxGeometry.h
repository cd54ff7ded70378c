#pragma once
// A model loaded from a .x file: its hierarchy, material library, frame tree, bone tree (through
// the skin controller) and motion controller.
#include <memory>

#include "graphics/OxDXObject.h"
#include "graphics/OxFrame.h"
#include "graphics/OxGSGeometryCommandSet.h"
#include "graphics/OxMaterialLibrary.h"
#include "graphics/OxMotionController.h"
#include "graphics/OxRefCounted.h"
#include "graphics/OxSkinController.h"
#include "graphics/include/IOrvexGeometry.h"
#include "graphics/include/IOrvexGraphics.h"

namespace Orvex::Graphics {

class OxGeometry final : public OxRefCounted<IOrvexGeometry>, public OxHierarchyHolder, public IOxMaterialEffectSource {
public:
    explicit OxGeometry(IOrvexGraphics* graphics);

    IOrvexGraphics* getGraphics() override { return graphics_.get(); }
    IOrvexMaterialLibrary* getMaterialLibrary() override { return library_.get(); }
    IOrvexMotionController* getMotionController() override { return motion_.get(); }
    IOrvexSkinController* getSkinController() override { return skin_.get(); }
    IOrvexFrame* getRootFrame() override { return root_.get(); }
    void update(float elapsed) override;

    OxDXObject* hierarchy() override { return hierarchy_.get(); }
    IOrvexDefaultMaterialEffect* getMaterialEffect(uint32_t index) override;
    OxMaterialLibrary* library() const { return library_.get(); }
    OxFrame* rootFrame() const { return root_.get(); }
    // Keeps the hierarchy and builds the bone tree, the frame tree and the material library
    // from it; false when the bone tree cannot be built.
    bool attach(std::shared_ptr<OxDXObject> hierarchy);

private:
    ~OxGeometry() override;

    OxRefPtr<IOrvexGraphics> graphics_;
    OxRefPtr<OxMaterialLibrary> library_;
    OxRefPtr<OxMotionController> motion_;
    OxRefPtr<OxSkinController> skin_;
    OxRefPtr<OxFrame> root_;
    std::shared_ptr<OxDXObject> hierarchy_;
};

}  // namespace Orvex::Graphics
