#pragma once
// Loads a .x model into a geometry and applies the ".ocs" script beside it.
#include "graphics/OxRefCounted.h"
#include "graphics/include/IOrvexGeometryImporter.h"
#include "graphics/include/IOrvexGraphics.h"
#include "graphics/include/OxRefPtr.h"

namespace Orvex::Graphics {

class OxGeometryImporter final : public OxRefCounted<IOrvexGeometryImporter> {
public:
    explicit OxGeometryImporter(IOrvexGraphics* graphics) : graphics_(OxRefPtr<IOrvexGraphics>::share(graphics)) {}

    IOrvexGraphics* getGraphics() override { return graphics_.get(); }
    int32_t import(const std::u16string* path, IOrvexGeometry** out) override;

    // The script beside a model: its directory, "/", the file name without its last extension,
    // ".ocs".
    static std::u16string scriptPath(const std::u16string& modelPath);

private:
    ~OxGeometryImporter() override = default;

    OxRefPtr<IOrvexGraphics> graphics_;
};

}  // namespace Orvex::Graphics
