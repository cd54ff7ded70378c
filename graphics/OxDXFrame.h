#pragma once
// A frame of a loaded hierarchy, with the transform combined from the root and the mark the
// load sets on every frame a skin names as a bone.
#include <cstdint>

#include "platform/gpux/XFile.h"

namespace Orvex::Graphics {

struct OxDXFrame : Platform::Gpux::XFrame {
    Platform::Gpu::Matrix combined = Platform::Gpu::Matrix::identity();
    uint8_t isBone = 0;
};

}  // namespace Orvex::Graphics
