#include "graphics/OxGeometryExporter.h"

namespace Orvex::Graphics {

OxGeometryExporter::OxGeometryExporter(IOrvexGraphics* graphics)
    : graphics_(OxRefPtr<IOrvexGraphics>::share(graphics)) {}

}  // namespace Orvex::Graphics
