#pragma once
// An empty holder the skin controller hands out.
#include "graphics/OxRefCounted.h"
#include "graphics/include/IOrvexGeometry.h"

namespace Orvex::Graphics {

class OxSkeleton final : public OxRefCounted<IOrvexSkeleton> {
private:
    ~OxSkeleton() override = default;
};

}  // namespace Orvex::Graphics
