#pragma once
// The geometry exporter: in this library it holds its graphics object and exports nothing.
#include "graphics/include/IOrvex3DTypes.h"
#include "graphics/include/IOrvexRefCountObject.h"

namespace Orvex::Graphics {

class IOrvexGraphics;

class IOrvexGeometryExporter : public System::IOrvexRefCountObject {
public:
    virtual IOrvexGraphics* getGraphics() = 0;  // borrowed

protected:
    virtual ~IOrvexGeometryExporter() = default;
};

}  // namespace Orvex::Graphics
