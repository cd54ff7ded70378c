#include "graphics/OxGeometryExporter.h"

namespace Orvex::Graphics {

OxGeometryExporter::OxGeometryExporter(IOrvexGraphics* graphics) : graphics_(graphics) { graphics_->retain(); }

OxGeometryExporter::~OxGeometryExporter() { graphics_->release(); }

}  // namespace Orvex::Graphics
