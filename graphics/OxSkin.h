#pragma once
// An empty holder the skin controller hands out.
#include "graphics/OxRefCounted.h"
#include "graphics/include/IOrvexGeometry.h"

namespace Orvex::Graphics {

class OxSkin final : public OxRefCounted<IOrvexSkin> {
private:
    ~OxSkin() override = default;
};

}  // namespace Orvex::Graphics
