// The 3-D wide shader with its double arithmetic on eight lanes at once (AVX-512): the steps and
// the operations of the AVX2 shader in Span3D.cpp, each of its pairs of four-lane double
// operations made one, so that every pixel comes out the same; the integer steps are shared.
#include <cstdint>

#include "platform/gpu/Span3D.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#include "platform/gpu/Span3DLanes.h"
#define ORVEX_GPU_X86 1
#endif

namespace Platform::Gpu::Raster {

#ifdef ORVEX_GPU_X86
namespace {

using namespace Lanes;

#define ORVEX_AVX512 __attribute__((target("avx512f,avx512bw,avx512vl")))
#define ORVEX_AVX512_INLINE ORVEX_AVX512 __attribute__((always_inline)) inline

// The conversions, the rounding and min and max go through their zero-masked forms with every lane kept: the
// same instructions, without the undefined source operand the plain forms pass, which this
// compiler warns about.
constexpr __mmask8 kAll = 0xFF;

// v > 0 ? v : 0, then v < 1 ? v : 1 (a NaN becomes 0), as the per-pixel clamp.
ORVEX_AVX512_INLINE __m512d clampUnit(__m512d v) {
    return _mm512_maskz_min_pd(kAll, _mm512_maskz_max_pd(kAll, v, _mm512_setzero_pd()), _mm512_set1_pd(1.0));
}

// trunc(clampUnit(v) * scale + 0.5) of eight values.
ORVEX_AVX512_INLINE __m256i unitToInt(__m512d v, double scale) {
    return _mm512_maskz_cvttpd_epi32(
        kAll, _mm512_add_pd(_mm512_mul_pd(clampUnit(v), _mm512_set1_pd(scale)), _mm512_set1_pd(0.5)));
}

// The planes with each value in all eight lanes, set once a call.
struct WidePlanes {
    __m512d dx[kPlaneValues], dy[kPlaneValues], c[kPlaneValues];
};

// (dy * y + c) + dx * x for eight pixels.
ORVEX_AVX512_INLINE __m512d planeAt(const WidePlanes& planes, int k, __m512d x, __m512d y) {
    const __m512d rowBase = _mm512_add_pd(_mm512_mul_pd(planes.dy[k], y), planes.c[k]);
    return _mm512_add_pd(rowBase, _mm512_mul_pd(planes.dx[k], x));
}

// The pixel positions of a texture coordinate: floor(c * size * 256 - 128 + 0.5) of eight
// pixels, and whether each lies within +-2^30.
ORVEX_AVX512_INLINE __m256i texelPositions(__m512d c, double size, int* inRange) {
    __m512d x = _mm512_mul_pd(_mm512_mul_pd(c, _mm512_set1_pd(size)), _mm512_set1_pd(256.0));
    x = _mm512_add_pd(_mm512_sub_pd(x, _mm512_set1_pd(128.0)), _mm512_set1_pd(0.5));
    *inRange = int(_mm512_cmp_pd_mask(_mm512_abs_pd(x), _mm512_set1_pd(double(1 << 30)), _CMP_LT_OQ));
    return _mm512_maskz_cvtpd_epi32(kAll,
                                    _mm512_maskz_roundscale_pd(kAll, x, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC));
}

// The byte round(clamp(plane k / q) * 255) of eight pixels, as the per-pixel path rounds it.
ORVEX_AVX512_INLINE __m256i channelBytes(const WidePlanes& planes, int k, __m512d x, __m512d y, __m512d w) {
    return unitToInt(_mm512_mul_pd(planeAt(planes, k, x, y), w), 255.0);
}

}  // namespace

ORVEX_AVX512 int32_t shadePixels3DAvx512(const Shade3D& shade, const Planes3D& planes, const int32_t* xs,
                                         const int32_t* ys, int32_t n, uint16_t* depth, uint32_t depthWidth,
                                         uint32_t* src, uint8_t* pass) {
    const PipelineState& s = *shade.state;
    const PixelImage* texture = shade.textured ? s.texture : nullptr;
    const WideTexture wide = texture != nullptr ? wideTexture(*texture) : WideTexture{};
    WidePlanes wp;
    for (int k = 0; k < kPlaneValues; ++k) {
        wp.dx[k] = _mm512_set1_pd(planes.dx[k]);
        wp.dy[k] = _mm512_set1_pd(planes.dy[k]);
        wp.c[k] = _mm512_set1_pd(planes.c[k]);
    }
    const __m256i white = _mm256_set1_epi32(-1);
    for (int32_t i = 0; i < n; i += 8) {
        const Group g = loadGroup(xs, ys, i, n);
        const __m512d x = _mm512_maskz_cvtepi32_pd(kAll, g.px), y = _mm512_maskz_cvtepi32_pd(kAll, g.py);
        const __m512d w = _mm512_div_pd(_mm512_set1_pd(1.0), planeAt(wp, 1, x, y));
        // Texel positions first: a group that leaves their range goes to the per-pixel path whole,
        // before any of its depths is stored.
        __m256i tu = _mm256_setzero_si256(), tv = _mm256_setzero_si256();
        if (texture != nullptr) {
            int uBits = 0, vBits = 0;
            tu = texelPositions(_mm512_mul_pd(planeAt(wp, 9, x, y), w), double(texture->width), &uBits);
            tv = texelPositions(_mm512_mul_pd(planeAt(wp, 10, x, y), w), double(texture->height), &vBits);
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
            newDepth = unitToInt(planeAt(wp, 0, x, y), 65535.0);
            ok = testDepths(shade, newDepth, stored, ok);
        }
        int okBits = _mm256_movemask_ps(_mm256_castsi256_ps(ok));
        if (okBits != 0) {
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
int32_t shadePixels3DAvx512(const Shade3D&, const Planes3D&, const int32_t*, const int32_t*, int32_t, uint16_t*,
                            uint32_t, uint32_t*, uint8_t*) {
    return 0;
}
#endif

}  // namespace Platform::Gpu::Raster
