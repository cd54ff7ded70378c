#pragma once
// The geometry exporter: it keeps its graphics object (retained) and exports nothing.
#include "graphics/OxRefCounted.h"
#include "graphics/include/IOrvexGeometryExporter.h"
#include "graphics/include/IOrvexGraphics.h"
#include "graphics/include/OxRefPtr.h"

namespace Orvex::Graphics {

class OxGeometryExporter final : public OxRefCounted<IOrvexGeometryExporter> {
public:
    explicit OxGeometryExporter(IOrvexGraphics* graphics);
    IOrvexGraphics* getGraphics() override { return graphics_.get(); }

private:
    ~OxGeometryExporter() override = default;

    OxRefPtr<IOrvexGraphics> graphics_;
};

}  // namespace Orvex::Graphics
