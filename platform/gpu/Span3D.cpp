#include "platform/gpu/Span3D.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#include "platform/gpu/Span3DLanes.h"
#define ORVEX_GPU_X86 1
#endif

namespace Platform::Gpu::Raster {

namespace {
bool powerOfTwo(uint32_t v) { return v != 0 && (v & (v - 1)) == 0; }
}  // namespace

bool wideShadeSupported(const PipelineState& state, bool textured) {
#ifdef ORVEX_GPU_X86
    if (!textured) {
        return true;
    }
    const PixelImage& t = *state.texture;
    return powerOfTwo(t.width) && powerOfTwo(t.height) && uint64_t(t.width) * t.height <= (uint64_t(1) << 30);
#else
    (void)state;
    (void)textured;
    return false;
#endif
}

#ifdef ORVEX_GPU_X86
namespace {

using namespace Lanes;

// v > 0 ? v : 0, then v < 1 ? v : 1 (a NaN becomes 0), as the per-pixel clamp.
ORVEX_AVX2_INLINE __m256d clampUnit(__m256d v) {
    return _mm256_min_pd(_mm256_max_pd(v, _mm256_setzero_pd()), _mm256_set1_pd(1.0));
}

// trunc(clampUnit(v) * scale + 0.5) of four values.
ORVEX_AVX2_INLINE __m128i unitToInt(__m256d v, double scale) {
    return _mm256_cvttpd_epi32(_mm256_add_pd(_mm256_mul_pd(clampUnit(v), _mm256_set1_pd(scale)), _mm256_set1_pd(0.5)));
}

// The planes with each value in all four lanes, set once a call, so that the arithmetic reads
// them from memory instead of broadcasting them again for every group.
struct WidePlanes {
    __m256d dx[kPlaneValues], dy[kPlaneValues], c[kPlaneValues];
};

// (dy * y + c) + dx * x for four pixels.
ORVEX_AVX2_INLINE __m256d planeAt(const WidePlanes& planes, int k, __m256d x, __m256d y) {
    const __m256d rowBase = _mm256_add_pd(_mm256_mul_pd(planes.dy[k], y), planes.c[k]);
    return _mm256_add_pd(rowBase, _mm256_mul_pd(planes.dx[k], x));
}

// The pixel positions of a texture coordinate: floor(c * size * 256 - 128 + 0.5) of eight
// pixels, and whether each lies within +-2^30.
ORVEX_AVX2_INLINE __m256i texelPositions(__m256d c0, __m256d c1, double size, int* inRange) {
    const __m256d limit = _mm256_set1_pd(double(1 << 30));
    const __m256d sign = _mm256_set1_pd(-0.0);
    __m128i out[2];
    const __m256d cs[2] = {c0, c1};
    int bits = 0;
    for (int h = 0; h < 2; ++h) {
        __m256d x = _mm256_mul_pd(_mm256_mul_pd(cs[h], _mm256_set1_pd(size)), _mm256_set1_pd(256.0));
        x = _mm256_add_pd(_mm256_sub_pd(x, _mm256_set1_pd(128.0)), _mm256_set1_pd(0.5));
        bits |= _mm256_movemask_pd(_mm256_cmp_pd(_mm256_andnot_pd(sign, x), limit, _CMP_LT_OQ)) << (4 * h);
        out[h] = _mm256_cvtpd_epi32(_mm256_floor_pd(x));
    }
    *inRange = bits;
    return join(out[0], out[1]);
}

// The byte round(clamp(plane k / q) * 255) of eight pixels, as the per-pixel path rounds it.
ORVEX_AVX2_INLINE __m256i channelBytes(const WidePlanes& planes, int k, const __m256d* x, const __m256d* y,
                                       const __m256d* w) {
    return join(unitToInt(_mm256_mul_pd(planeAt(planes, k, x[0], y[0]), w[0]), 255.0),
                unitToInt(_mm256_mul_pd(planeAt(planes, k, x[1], y[1]), w[1]), 255.0));
}

}  // namespace

__attribute__((target("avx2"))) int32_t shadePixels3DAvx2(const Shade3D& shade, const Planes3D& planes,
                                                          const int32_t* xs, const int32_t* ys, int32_t n,
                                                          uint16_t* depth, uint32_t depthWidth, uint32_t* src,
                                                          uint8_t* pass) {
    const PipelineState& s = *shade.state;
    const PixelImage* texture = shade.textured ? s.texture : nullptr;
    const WideTexture wide = texture != nullptr ? wideTexture(*texture) : WideTexture{};
    WidePlanes wp;
    for (int k = 0; k < kPlaneValues; ++k) {
        wp.dx[k] = _mm256_set1_pd(planes.dx[k]);
        wp.dy[k] = _mm256_set1_pd(planes.dy[k]);
        wp.c[k] = _mm256_set1_pd(planes.c[k]);
    }
    const __m256i white = _mm256_set1_epi32(-1);
    for (int32_t i = 0; i < n; i += 8) {
        const Group g = loadGroup(xs, ys, i, n);
        const __m256d x[2] = {_mm256_cvtepi32_pd(_mm256_castsi256_si128(g.px)),
                              _mm256_cvtepi32_pd(_mm256_extracti128_si256(g.px, 1))};
        const __m256d y[2] = {_mm256_cvtepi32_pd(_mm256_castsi256_si128(g.py)),
                              _mm256_cvtepi32_pd(_mm256_extracti128_si256(g.py, 1))};
        __m256d w[2];
        for (int h = 0; h < 2; ++h) {
            w[h] = _mm256_div_pd(_mm256_set1_pd(1.0), planeAt(wp, 1, x[h], y[h]));
        }
        // Texel positions first: a group that leaves their range goes to the per-pixel path whole,
        // before any of its depths is stored.
        __m256i tu = _mm256_setzero_si256(), tv = _mm256_setzero_si256();
        if (texture != nullptr) {
            int uBits = 0, vBits = 0;
            tu = texelPositions(_mm256_mul_pd(planeAt(wp, 9, x[0], y[0]), w[0]),
                                _mm256_mul_pd(planeAt(wp, 9, x[1], y[1]), w[1]), double(texture->width), &uBits);
            tv = texelPositions(_mm256_mul_pd(planeAt(wp, 10, x[0], y[0]), w[0]),
                                _mm256_mul_pd(planeAt(wp, 10, x[1], y[1]), w[1]), double(texture->height), &vBits);
            if ((uBits & vBits & g.validBits) != g.validBits) {
                return i;
            }
            tu = _mm256_and_si256(tu, g.valid);
            tv = _mm256_and_si256(tv, g.valid);
        }
        __m256i ok = g.valid;
        __m256i index = _mm256_setzero_si256(), newDepth = _mm256_setzero_si256();
        if (depth != nullptr) {
            const __m256i stored = storedDepths(g, depth, depthWidth, &index);
            newDepth =
                join(unitToInt(planeAt(wp, 0, x[0], y[0]), 65535.0), unitToInt(planeAt(wp, 0, x[1], y[1]), 65535.0));
            ok = testDepths(shade, newDepth, stored, ok);
        }
        int okBits = _mm256_movemask_ps(_mm256_castsi256_ps(ok));
        if (okBits != 0) {
            // The texels first, which ends the texel positions' lives; then each channel joins the
            // word as soon as it is made. Both keep few registers live.
            __m256i texel = white;
            if (texture != nullptr) {
                texel = shade.linear ? sampleLinear8(wide, tu, tv) : samplePoint8(wide, tu, tv);
            }
            __m256i diffuse = _mm256_slli_epi32(channelBytes(wp, 5, x, y, w), 24);
            diffuse = _mm256_or_si256(diffuse, _mm256_slli_epi32(channelBytes(wp, 2, x, y, w), 16));
            diffuse = _mm256_or_si256(diffuse, _mm256_slli_epi32(channelBytes(wp, 3, x, y, w), 8));
            diffuse = _mm256_or_si256(diffuse, channelBytes(wp, 4, x, y, w));
            __m256i out = combine8(s, texel, diffuse);
            if (shade.specular) {
                __m256i highlight = _mm256_slli_epi32(channelBytes(wp, 6, x, y, w), 16);
                highlight = _mm256_or_si256(highlight, _mm256_slli_epi32(channelBytes(wp, 7, x, y, w), 8));
                highlight = _mm256_or_si256(highlight, channelBytes(wp, 8, x, y, w));
                out = _mm256_adds_epu8(out, highlight);
            }
            okBits = finishGroup(shade, g, depth, index, newDepth, ok, okBits, out, src);
        }
        markPassing(shade, g, okBits, pass);
    }
    return n;
}
#else
int32_t shadePixels3DAvx2(const Shade3D&, const Planes3D&, const int32_t*, const int32_t*, int32_t, uint16_t*, uint32_t,
                          uint32_t*, uint8_t*) {
    return 0;
}
#endif

}  // namespace Platform::Gpu::Raster
