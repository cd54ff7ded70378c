#pragma once
// Turns a text .x model and its ".ocs" material script into a geometry.
#include <string>

#include "graphics/include/IOrvexGeometry.h"

namespace Orvex::Graphics {

class IOrvexGeometryImporter : public System::IOrvexRefCountObject {
public:
    virtual IOrvexGraphics* getGraphics() = 0;  // borrowed
    // 0 with the script applied; 1 when the script could not be read or parsed (the geometry is
    // still handed out); 0x80000001 for a null `out`; 0x80000008 when the model does not load.
    virtual int32_t import(const std::u16string* path, IOrvexGeometry** out) = 0;

protected:
    virtual ~IOrvexGeometryImporter() = default;
};

}  // namespace Orvex::Graphics
