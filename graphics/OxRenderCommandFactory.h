#pragma once
// The renderer's command factory: reference counting only.
#include "graphics/OxRefCounted.h"
#include "graphics/include/IOrvexRenderer.h"

namespace Orvex::Graphics {

class OxRenderCommandFactory : public OxRefCounted<IOrvexRenderCommandFactory> {};

}  // namespace Orvex::Graphics
