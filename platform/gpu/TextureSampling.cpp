#include "platform/gpu/TextureSampling.h"

#include <algorithm>
#include <cmath>

#include "platform/gpu/RasterMath.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ORVEX_GPU_X86 1
#endif

namespace Platform::Gpu::Raster {
namespace {

uint32_t applyOp(uint32_t op, uint32_t a1, uint32_t a2) {
    switch (op) {
        case kOpSelectArg2:
            return a2;
        case kOpModulate:
            return div255(a1 * a2);
        case kOpAdd:
            return std::min<uint32_t>(255, a1 + a2);
        default:
            return a1;
    }
}

uint32_t pickArg(uint32_t arg, uint32_t texel, uint32_t diffuse) { return arg == kArgTexture ? texel : diffuse; }

// Texel columns of two texel rows blended with the row weight fy: four words per column, each
// channel's c0 * (256 - fy) + c1 * fy (at most 65280), in the channels' byte order.
void blendColumnsScalar(const uint32_t* row0, const uint32_t* row1, uint32_t fill, uint32_t fy, int32_t count,
                        uint32_t* out) {
    for (int32_t k = 0; k < count; ++k) {
        const uint32_t c0 = row0[k] | fill;
        const uint32_t c1 = row1[k] | fill;
        for (int ch = 0; ch < 4; ++ch) {
            out[4 * k + ch] = channel(c0, 8 * ch) * (256 - fy) + channel(c1, 8 * ch) * fy;
        }
    }
}

// Two blended columns weighed with fx and rounded: (sum of c * wx * wy + 32768) >> 16 per channel,
// the integers of the four-texel formula summed in another order, so the sample is the same.
inline uint32_t sampleColumns(const uint32_t* c, uint32_t fx) {
    uint32_t out = 0;
    for (int ch = 0; ch < 4; ++ch) {
        out |= ((c[ch] * (256 - fx) + c[4 + ch] * fx + 32768) >> 16) << (8 * ch);
    }
    return out;
}

#ifdef ORVEX_GPU_X86
// Four texels at a time: the byte pairs (c0, c1) of each channel times (256 - fy, fy), summed.
__attribute__((target("avx2"))) void blendColumnsAvx2(const uint32_t* row0, const uint32_t* row1, uint32_t fill,
                                                      uint32_t fy, int32_t count, uint32_t* out) {
    const __m128i fills = _mm_set1_epi32(int32_t(fill));
    const __m256i weights = _mm256_set1_epi32(int32_t(fy << 16 | (256 - fy)));
    int32_t k = 0;
    for (; k + 4 <= count; k += 4) {
        const __m128i c0 = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row0 + k)), fills);
        const __m128i c1 = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row1 + k)), fills);
        const __m256i lo = _mm256_madd_epi16(_mm256_cvtepu8_epi16(_mm_unpacklo_epi8(c0, c1)), weights);
        const __m256i hi = _mm256_madd_epi16(_mm256_cvtepu8_epi16(_mm_unpackhi_epi8(c0, c1)), weights);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 4 * k), lo);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 4 * k + 8), hi);
    }
    blendColumnsScalar(row0 + k, row1 + k, fill, fy, count - k, out + 4 * k);
}

#define ORVEX_AVX2_INLINE __attribute__((target("avx2"), always_inline)) inline
// floor(rowU + dx * x + 0.5) for the four pixels from x on (x + 3 is exact in a double).
ORVEX_AVX2_INLINE __m128i texelPositions(__m256d rowU, __m256d dx, int64_t x) {
    const __m256d px = _mm256_add_pd(_mm256_set1_pd(double(x)), _mm256_set_pd(3, 2, 1, 0));
    const __m256d u = _mm256_add_pd(_mm256_add_pd(rowU, _mm256_mul_pd(dx, px)), _mm256_set1_pd(0.5));
    return _mm256_cvtpd_epi32(_mm256_floor_pd(u));
}

// Eight pixels at a time. The texel position of pixel i is floor(rowU + dx * (left + i) + 0.5)
// computed with the same double operations as the general path (a product, then sums; no fused
// multiply-add), so each pixel takes the same texels and weights; then per channel
// c0 * 256 + (c1 - c0) * fx, which is c0 * (256 - fx) + c1 * fx. Positions must stay within
// +-2^30 texel/256.
__attribute__((target("avx2"))) int32_t sampleColumnsAvx2(const uint32_t* columns, int64_t kMin, double rowU, double dx,
                                                          int64_t left, int32_t n, uint32_t* out) {
    const __m256d dxs = _mm256_set1_pd(dx);
    const __m256d rows = _mm256_set1_pd(rowU);
    const __m256i low = _mm256_set1_epi32(0xFF);
    const __m256i bias = _mm256_set1_epi32(32768);
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    const __m256i kMins = _mm256_set1_epi32(int32_t(kMin));
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i tu =
            _mm256_set_m128i(texelPositions(rows, dxs, left + i + 4), texelPositions(rows, dxs, left + i));
        const __m256i fx = _mm256_and_si256(tu, low);
        alignas(32) int32_t index[8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(index),
                           _mm256_slli_epi32(_mm256_sub_epi32(_mm256_srai_epi32(tu, 8), kMins), 2));
        __m256i pairs[4];
        for (int p = 0; p < 4; ++p) {
            const uint32_t* a = columns + index[2 * p];
            const uint32_t* b = columns + index[2 * p + 1];
            const __m256i c0 =
                _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(b), reinterpret_cast<const __m128i*>(a));
            const __m256i c1 =
                _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(b + 4), reinterpret_cast<const __m128i*>(a + 4));
            const __m256i w = _mm256_permutevar8x32_epi32(
                fx, _mm256_setr_epi32(2 * p, 2 * p, 2 * p, 2 * p, 2 * p + 1, 2 * p + 1, 2 * p + 1, 2 * p + 1));
            const __m256i sum =
                _mm256_add_epi32(_mm256_slli_epi32(c0, 8), _mm256_mullo_epi32(_mm256_sub_epi32(c1, c0), w));
            pairs[p] = _mm256_srli_epi32(_mm256_add_epi32(sum, bias), 16);
        }
        const __m256i words =
            _mm256_packus_epi16(_mm256_packus_epi32(pairs[0], pairs[1]), _mm256_packus_epi32(pairs[2], pairs[3]));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_permutevar8x32_epi32(words, order));
    }
    return i;
}
#endif

}  // namespace

uint32_t combine(const PipelineState& s, uint32_t texel, uint32_t diffuse) {
    if (s.colorOp == kOpDisable) {
        return diffuse;
    }
    const uint32_t c1 = pickArg(s.colorArg1, texel, diffuse);
    const uint32_t c2 = pickArg(s.colorArg2, texel, diffuse);
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        out |= applyOp(s.colorOp, channel(c1, shift), channel(c2, shift)) << shift;
    }
    uint32_t alpha = channel(diffuse, 24);
    if (s.alphaOp != kOpDisable) {
        alpha = applyOp(s.alphaOp, channel(pickArg(s.alphaArg1, texel, diffuse), 24),
                        channel(pickArg(s.alphaArg2, texel, diffuse), 24));
    }
    return out | (alpha << 24);
}

bool usesTexture(const PipelineState& s) {
    if (s.colorOp == kOpDisable) {
        return false;
    }
    return s.colorArg1 == kArgTexture || s.colorArg2 == kArgTexture ||
           (s.alphaOp != kOpDisable && (s.alphaArg1 == kArgTexture || s.alphaArg2 == kArgTexture));
}

uint32_t samplePoint(const PixelImage& t, int64_t tu, int64_t tv) {
    return t.read(wrapIndex((tu + 128) >> 8, t.width), wrapIndex((tv + 128) >> 8, t.height));
}

uint32_t sampleLinear(const PixelImage& t, int64_t tu, int64_t tv) {
    const uint32_t fx = uint32_t(tu & 0xFF);
    const uint32_t fy = uint32_t(tv & 0xFF);
    const uint32_t x0 = wrapIndex(tu >> 8, t.width);
    const uint32_t y0 = wrapIndex(tv >> 8, t.height);
    if (fx == 0 && fy == 0) {
        return t.read(x0, y0);
    }
    const uint32_t x1 = x0 + 1 == t.width ? 0 : x0 + 1;
    const uint32_t y1 = y0 + 1 == t.height ? 0 : y0 + 1;
    const uint32_t c00 = t.read(x0, y0), c10 = t.read(x1, y0), c01 = t.read(x0, y1), c11 = t.read(x1, y1);
    uint32_t out = 0;
    for (int shift = 0; shift <= 24; shift += 8) {
        const uint32_t top = channel(c00, shift) * (256 - fx) + channel(c10, shift) * fx;
        const uint32_t bottom = channel(c01, shift) * (256 - fx) + channel(c11, shift) * fx;
        out |= ((top * (256 - fy) + bottom * fy + 32768) >> 16) << shift;
    }
    return out;
}

bool sampleRow(const PixelImage& tex, double rowU, double rowV, double dx, int64_t left, int32_t n, bool wide,
               std::vector<uint32_t>& columnStore, uint32_t* out) {
    // The texel position is monotonic along the span, so its ends bound every pixel's.
    const double first = rowU + dx * double(left);
    const double last = rowU + dx * double(left + n - 1);
    constexpr double kLimit = double(int64_t(1) << 30) - 1.0;
    if (!(std::fabs(first) < kLimit && std::fabs(last) < kLimit && std::fabs(rowV) < kLimit)) {
        return false;
    }
    const int64_t kMin = std::min(roundToInt(first), roundToInt(last)) >> 8;
    const int64_t kMax = (std::max(roundToInt(first), roundToInt(last)) >> 8) + 1;
    const int64_t count = kMax - kMin + 1;
    if (count > 2 * int64_t(n) + 16) {
        return false;  // a much reduced texture: most columns would go unused
    }
    const int64_t tv = roundToInt(rowV);
    const uint32_t fy = uint32_t(tv & 0xFF);
    const uint32_t y0 = wrapIndex(tv >> 8, tex.height);
    const uint32_t y1 = y0 + 1 == tex.height ? 0 : y0 + 1;
    const uint32_t* row0 = tex.row(y0);
    const uint32_t* row1 = tex.row(y1);
    const uint32_t fill = tex.hasAlpha() ? 0u : 0xFF000000u;
#ifndef ORVEX_GPU_X86
    wide = false;
#endif

    // Each column of the range blended once (an enlarged texture reuses them across pixels), in
    // runs that wrap at the texture's right edge.
    if (columnStore.size() < size_t(4 * count)) {
        columnStore.resize(size_t(4 * count));
    }
    uint32_t* columns = columnStore.data();
    uint32_t x = wrapIndex(kMin, tex.width);
    for (int64_t k = 0; k < count;) {
        const int32_t run = int32_t(std::min<int64_t>(count - k, tex.width - x));
#ifdef ORVEX_GPU_X86
        if (wide) {
            blendColumnsAvx2(row0 + x, row1 + x, fill, fy, run, columns + 4 * k);
        } else
#endif
        {
            blendColumnsScalar(row0 + x, row1 + x, fill, fy, run, columns + 4 * k);
        }
        k += run;
        x = 0;
    }
    int32_t i = 0;
#ifdef ORVEX_GPU_X86
    if (wide) {
        i = sampleColumnsAvx2(columns, kMin, rowU, dx, left, n, out);
    }
#endif
    for (; i < n; ++i) {
        const int64_t tu = roundToInt(rowU + dx * double(left + i));
        out[i] = sampleColumns(columns + 4 * ((tu >> 8) - kMin), uint32_t(tu & 0xFF));
    }
    return true;
}

}  // namespace Platform::Gpu::Raster
