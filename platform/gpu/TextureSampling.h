#pragma once
// Texture sampling and the stage-0 combiner of the rasterizer, on texel positions in 1/256 texel
// (see Rasterizer.h for the rounding rules).
#include <cstdint>
#include <vector>

#include "platform/gpu/PixelImage.h"

namespace Platform::Gpu::Raster {

uint32_t samplePoint(const PixelImage& t, int64_t tu, int64_t tv);
uint32_t sampleLinear(const PixelImage& t, int64_t tu, int64_t tv);

// Bilinear samples of the n pixels from `left` on of a span whose texel row is the same for every
// pixel (texel u = rowU + dx * x, texel v = rowV), with the same results as sampleLinear. The
// texel columns in range are blended once into `columns`. False (nothing written) when the
// positions are out of the range it handles or the texture is reduced too much to gain.
bool sampleRow(const PixelImage& tex, double rowU, double rowV, double dx, int64_t left, int32_t n, bool wide,
               std::vector<uint32_t>& columns, uint32_t* out);

}  // namespace Platform::Gpu::Raster
