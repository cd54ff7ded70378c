#pragma once
// A static mesh: a holder of a loaded hierarchy that the renderer's drawMesh draws. Nothing in
// this library loads one into it.
#include <memory>

#include "graphics/OxDXObject.h"
#include "graphics/OxRefCounted.h"
#include "graphics/include/IOrvexGraphics.h"
#include "graphics/include/IOrvexMesh.h"
#include "graphics/include/OxRefPtr.h"

namespace Orvex::Graphics {

class OxStaticMesh final : public OxRefCounted<IOrvexStaticMesh>, public OxHierarchyHolder {
public:
    explicit OxStaticMesh(IOrvexGraphics* graphics) : graphics_(OxRefPtr<IOrvexGraphics>::share(graphics)) {}

    IOrvexGraphics* getGraphics() override { return graphics_.get(); }
    uint32_t getMeshType() override { return 1; }
    uint32_t reserved5() override { return 4; }
    OxDXObject* hierarchy() override { return hierarchy_.get(); }

private:
    ~OxStaticMesh() override = default;

    OxRefPtr<IOrvexGraphics> graphics_;
    std::shared_ptr<OxDXObject> hierarchy_;
};

}  // namespace Orvex::Graphics
