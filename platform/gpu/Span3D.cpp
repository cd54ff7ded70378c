#include "platform/gpu/Span3D.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
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

#define ORVEX_AVX2_INLINE __attribute__((target("avx2"), always_inline)) inline

// v > 0 ? v : 0, then v < 1 ? v : 1 (a NaN becomes 0), as the per-pixel clamp.
ORVEX_AVX2_INLINE __m256d clampUnit(__m256d v) {
    return _mm256_min_pd(_mm256_max_pd(v, _mm256_setzero_pd()), _mm256_set1_pd(1.0));
}

// trunc(clampUnit(v) * scale + 0.5) of four values.
ORVEX_AVX2_INLINE __m128i unitToInt(__m256d v, double scale) {
    return _mm256_cvttpd_epi32(_mm256_add_pd(_mm256_mul_pd(clampUnit(v), _mm256_set1_pd(scale)), _mm256_set1_pd(0.5)));
}

ORVEX_AVX2_INLINE __m256i join(__m128i low, __m128i high) { return _mm256_set_m128i(high, low); }

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

// All ones in the lanes where `func` holds for (a, b); the values are at most 16 bits.
ORVEX_AVX2_INLINE __m256i compareMask(uint32_t func, __m256i a, __m256i b) {
    const __m256i ones = _mm256_set1_epi32(-1);
    switch (func) {
        case kCmpNever:
            return _mm256_setzero_si256();
        case kCmpLess:
            return _mm256_cmpgt_epi32(b, a);
        case kCmpEqual:
            return _mm256_cmpeq_epi32(a, b);
        case kCmpLessEqual:
            return _mm256_xor_si256(_mm256_cmpgt_epi32(a, b), ones);
        case kCmpGreater:
            return _mm256_cmpgt_epi32(a, b);
        case kCmpNotEqual:
            return _mm256_xor_si256(_mm256_cmpeq_epi32(a, b), ones);
        case kCmpGreaterEqual:
            return _mm256_xor_si256(_mm256_cmpgt_epi32(b, a), ones);
        default:
            return ones;
    }
}

// div255(a * b) of 16-bit lanes holding bytes.
ORVEX_AVX2_INLINE __m256i modulateLanes(__m256i a, __m256i b) {
    const __m256i p = _mm256_add_epi16(_mm256_mullo_epi16(a, b), _mm256_set1_epi16(128));
    return _mm256_srli_epi16(_mm256_add_epi16(p, _mm256_srli_epi16(p, 8)), 8);
}

ORVEX_AVX2_INLINE __m256i modulateBytes(__m256i a, __m256i b) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i low = modulateLanes(_mm256_unpacklo_epi8(a, zero), _mm256_unpacklo_epi8(b, zero));
    const __m256i high = modulateLanes(_mm256_unpackhi_epi8(a, zero), _mm256_unpackhi_epi8(b, zero));
    return _mm256_packus_epi16(low, high);
}

// A stage operation on every byte, as applyOp on one channel.
ORVEX_AVX2_INLINE __m256i applyOp(uint32_t op, __m256i a1, __m256i a2) {
    switch (op) {
        case kOpSelectArg2:
            return a2;
        case kOpModulate:
            return modulateBytes(a1, a2);
        case kOpAdd:
            return _mm256_adds_epu8(a1, a2);
        default:
            return a1;
    }
}

ORVEX_AVX2_INLINE __m256i pickArg(uint32_t arg, __m256i texel, __m256i diffuse) {
    return arg == kArgTexture ? texel : diffuse;
}

ORVEX_AVX2_INLINE __m256i combine8(const PipelineState& s, __m256i texel, __m256i diffuse) {
    if (s.colorOp == kOpDisable) {
        return diffuse;
    }
    const __m256i rgb = applyOp(s.colorOp, pickArg(s.colorArg1, texel, diffuse), pickArg(s.colorArg2, texel, diffuse));
    __m256i alpha = diffuse;
    if (s.alphaOp != kOpDisable) {
        alpha = applyOp(s.alphaOp, pickArg(s.alphaArg1, texel, diffuse), pickArg(s.alphaArg2, texel, diffuse));
    }
    return _mm256_or_si256(_mm256_and_si256(rgb, _mm256_set1_epi32(0x00FFFFFF)),
                           _mm256_and_si256(alpha, _mm256_set1_epi32(int32_t(0xFF000000u))));
}

// A texture with power-of-two sides, as the wide sampler reads it.
struct WideTexture {
    const uint32_t* texels;
    __m256i widthMask, heightMask;
    __m128i widthShift;
    __m256i fill;  // or-ed into every texel: opaque for formats without alpha
};

ORVEX_AVX2_INLINE __m256i gatherTexels(const WideTexture& t, __m256i x, __m256i y) {
    const __m256i index = _mm256_add_epi32(_mm256_sll_epi32(y, t.widthShift), x);
    return _mm256_or_si256(_mm256_i32gather_epi32(reinterpret_cast<const int*>(t.texels), index, 4), t.fill);
}

// The texels at index and index + 1 of eight pixels (the second never past its row's end).
ORVEX_AVX2_INLINE void gatherPairs(const WideTexture& t, __m256i index, __m256i* first, __m256i* second) {
    const auto* words = reinterpret_cast<const long long*>(t.texels);
    const __m256 low = _mm256_castsi256_ps(_mm256_i32gather_epi64(words, _mm256_castsi256_si128(index), 4));
    const __m256 high = _mm256_castsi256_ps(_mm256_i32gather_epi64(words, _mm256_extracti128_si256(index, 1), 4));
    // Even words are the first texels, odd ones the second, in lane order 0 1 4 5 2 3 6 7 until
    // the 64-bit quarters are put back in order.
    const __m256i even = _mm256_castps_si256(_mm256_shuffle_ps(low, high, _MM_SHUFFLE(2, 0, 2, 0)));
    const __m256i odd = _mm256_castps_si256(_mm256_shuffle_ps(low, high, _MM_SHUFFLE(3, 1, 3, 1)));
    *first = _mm256_or_si256(_mm256_permute4x64_epi64(even, _MM_SHUFFLE(3, 1, 2, 0)), t.fill);
    *second = _mm256_or_si256(_mm256_permute4x64_epi64(odd, _MM_SHUFFLE(3, 1, 2, 0)), t.fill);
}

ORVEX_AVX2_INLINE __m256i samplePoint8(const WideTexture& t, __m256i tu, __m256i tv) {
    const __m256i half = _mm256_set1_epi32(128);
    const __m256i x = _mm256_and_si256(_mm256_srai_epi32(_mm256_add_epi32(tu, half), 8), t.widthMask);
    const __m256i y = _mm256_and_si256(_mm256_srai_epi32(_mm256_add_epi32(tv, half), 8), t.heightMask);
    return gatherTexels(t, x, y);
}

// (top * (256 - fy) + bottom * fy + 32768) >> 16 of 32-bit lanes.
ORVEX_AVX2_INLINE __m256i blendRows(__m256i top, __m256i bottom, __m256i wy0, __m256i wy1) {
    const __m256i sum = _mm256_add_epi32(_mm256_mullo_epi32(top, wy0), _mm256_mullo_epi32(bottom, wy1));
    return _mm256_srli_epi32(_mm256_add_epi32(sum, _mm256_set1_epi32(32768)), 16);
}

// The bilinear formula of sampleLinear: each row's pair of texels weighed with fx (two channels
// at once in the 16-bit halves of a word, at most 65280 each), then the rows with fy.
ORVEX_AVX2_INLINE __m256i sampleLinear8(const WideTexture& t, __m256i tu, __m256i tv) {
    const __m256i byte = _mm256_set1_epi32(0xFF);
    const __m256i fx = _mm256_and_si256(tu, byte);
    const __m256i fy = _mm256_and_si256(tv, byte);
    const __m256i x0 = _mm256_and_si256(_mm256_srai_epi32(tu, 8), t.widthMask);
    const __m256i y0 = _mm256_and_si256(_mm256_srai_epi32(tv, 8), t.heightMask);
    const __m256i one = _mm256_set1_epi32(1);
    const __m256i x1 = _mm256_and_si256(_mm256_add_epi32(x0, one), t.widthMask);
    const __m256i y1 = _mm256_and_si256(_mm256_add_epi32(y0, one), t.heightMask);
    __m256i c00, c10, c01, c11;
    if (_mm256_testz_si256(_mm256_cmpeq_epi32(x0, t.widthMask), _mm256_set1_epi32(-1)) != 0) {
        // No column wraps: each row's two texels are neighbours, read as one 64-bit word.
        gatherPairs(t, _mm256_add_epi32(_mm256_sll_epi32(y0, t.widthShift), x0), &c00, &c10);
        gatherPairs(t, _mm256_add_epi32(_mm256_sll_epi32(y1, t.widthShift), x0), &c01, &c11);
    } else {
        c00 = gatherTexels(t, x0, y0);
        c10 = gatherTexels(t, x1, y0);
        c01 = gatherTexels(t, x0, y1);
        c11 = gatherTexels(t, x1, y1);
    }
    const __m256i full = _mm256_set1_epi32(256);
    const __m256i wx1 = _mm256_or_si256(fx, _mm256_slli_epi32(fx, 16));
    const __m256i fx0 = _mm256_sub_epi32(full, fx);
    const __m256i wx0 = _mm256_or_si256(fx0, _mm256_slli_epi32(fx0, 16));
    const __m256i pairs = _mm256_set1_epi32(0x00FF00FF);
    const __m256i topRB = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(c00, pairs), wx0),
                                           _mm256_mullo_epi16(_mm256_and_si256(c10, pairs), wx1));
    const __m256i topAG = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(_mm256_srli_epi32(c00, 8), pairs), wx0),
                                           _mm256_mullo_epi16(_mm256_and_si256(_mm256_srli_epi32(c10, 8), pairs), wx1));
    const __m256i bottomRB = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(c01, pairs), wx0),
                                              _mm256_mullo_epi16(_mm256_and_si256(c11, pairs), wx1));
    const __m256i bottomAG =
        _mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(_mm256_srli_epi32(c01, 8), pairs), wx0),
                         _mm256_mullo_epi16(_mm256_and_si256(_mm256_srli_epi32(c11, 8), pairs), wx1));
    const __m256i wy0 = _mm256_sub_epi32(full, fy);
    const __m256i lowHalf = _mm256_set1_epi32(0xFFFF);
    const __m256i b = blendRows(_mm256_and_si256(topRB, lowHalf), _mm256_and_si256(bottomRB, lowHalf), wy0, fy);
    const __m256i r = blendRows(_mm256_srli_epi32(topRB, 16), _mm256_srli_epi32(bottomRB, 16), wy0, fy);
    const __m256i g = blendRows(_mm256_and_si256(topAG, lowHalf), _mm256_and_si256(bottomAG, lowHalf), wy0, fy);
    const __m256i a = blendRows(_mm256_srli_epi32(topAG, 16), _mm256_srli_epi32(bottomAG, 16), wy0, fy);
    return _mm256_or_si256(_mm256_or_si256(b, _mm256_slli_epi32(g, 8)),
                           _mm256_or_si256(_mm256_slli_epi32(r, 16), _mm256_slli_epi32(a, 24)));
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

// Whether eight queued pixels are neighbours on one row (the queue runs left to right a row).
ORVEX_AVX2_INLINE bool inOneRun(const int32_t* xs, const int32_t* ys) { return ys[7] == ys[0] && xs[7] - xs[0] == 7; }

// Stores the depths of the lanes in ok (a lane mask): eight neighbours at once when they are one
// run; the first `passing` lanes with plain stores when all the group's pixels pass (passing is
// its count, else 0); otherwise each lane keeps its word or takes the new one without a branch
// (the lanes past the end repeat the first pixel and keep, one after another, what it has just
// been given).
ORVEX_AVX2_INLINE void storeDepths(uint16_t* depth, __m256i index, __m256i value, __m256i ok, bool run,
                                   int32_t passing) {
    if (run) {
        uint16_t* at = depth + _mm256_cvtsi256_si32(index);
        // The words of lanes 0-3 and 4-7 side by side in the low half.
        const __m128i words = _mm256_castsi256_si128(_mm256_permute4x64_epi64(_mm256_packus_epi32(value, value), 0x08));
        const __m128i mask = _mm256_castsi256_si128(_mm256_permute4x64_epi64(_mm256_packs_epi32(ok, ok), 0x08));
        const __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(at), _mm_blendv_epi8(old, words, mask));
        return;
    }
    alignas(32) int32_t at[8], word[8], keep[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(at), index);
    if (passing > 0) {
        _mm256_store_si256(reinterpret_cast<__m256i*>(word), value);
        for (int32_t k = 0; k < passing; ++k) {
            depth[at[k]] = uint16_t(word[k]);
        }
        return;
    }
    _mm256_store_si256(reinterpret_cast<__m256i*>(word), _mm256_and_si256(value, ok));
    _mm256_store_si256(reinterpret_cast<__m256i*>(keep), _mm256_xor_si256(ok, _mm256_set1_epi32(-1)));
    for (int k = 0; k < 8; ++k) {
        uint16_t& slot = depth[at[k]];
        slot = uint16_t((slot & keep[k]) | word[k]);
    }
}

// Copies the passing pixels of a group (ok as a lane mask) into the target, as storeDepths does.
ORVEX_AVX2_INLINE void storePixels(const Shade3D& shade, __m256i px, __m256i py, __m256i ok, bool run, int32_t passing,
                                   __m256i out) {
    PixelImage& target = *shade.state->target;
    const __m256i pixels = _mm256_or_si256(out, _mm256_set1_epi32(int32_t(shade.keepMask)));
    if (run) {
        const auto x = uint32_t(_mm256_cvtsi256_si32(px)), y = uint32_t(_mm256_cvtsi256_si32(py));
        _mm256_maskstore_epi32(reinterpret_cast<int*>(target.row(y) + x), ok, pixels);
        return;
    }
    const __m256i index = _mm256_add_epi32(_mm256_mullo_epi32(py, _mm256_set1_epi32(int32_t(target.width))), px);
    alignas(32) int32_t at[8];
    alignas(32) uint32_t colour[8], keep[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(at), index);
    uint32_t* texels = target.texels.data();
    if (passing > 0) {
        _mm256_store_si256(reinterpret_cast<__m256i*>(colour), pixels);
        for (int32_t k = 0; k < passing; ++k) {
            texels[at[k]] = colour[k];
        }
        return;
    }
    _mm256_store_si256(reinterpret_cast<__m256i*>(colour), _mm256_and_si256(pixels, ok));
    _mm256_store_si256(reinterpret_cast<__m256i*>(keep), _mm256_xor_si256(ok, _mm256_set1_epi32(-1)));
    for (int k = 0; k < 8; ++k) {
        uint32_t& slot = texels[at[k]];
        slot = (slot & keep[k]) | colour[k];
    }
}

}  // namespace

__attribute__((target("avx2"))) int32_t shadePixels3DAvx2(const Shade3D& shade, const Planes3D& planes,
                                                          const int32_t* xs, const int32_t* ys, int32_t n,
                                                          uint16_t* depth, uint32_t depthWidth, uint32_t* src,
                                                          uint8_t* pass) {
    const PipelineState& s = *shade.state;
    const PixelImage* texture = shade.textured ? s.texture : nullptr;
    WideTexture wide{};
    if (texture != nullptr) {
        wide.texels = texture->texels.data();
        wide.widthMask = _mm256_set1_epi32(int32_t(texture->width - 1));
        wide.heightMask = _mm256_set1_epi32(int32_t(texture->height - 1));
        wide.widthShift = _mm_cvtsi32_si128(__builtin_ctz(texture->width));
        wide.fill = _mm256_set1_epi32(texture->hasAlpha() ? 0 : int32_t(0xFF000000u));
    }
    WidePlanes wp;
    for (int k = 0; k < kPlaneValues; ++k) {
        wp.dx[k] = _mm256_set1_pd(planes.dx[k]);
        wp.dy[k] = _mm256_set1_pd(planes.dy[k]);
        wp.c[k] = _mm256_set1_pd(planes.c[k]);
    }
    const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256i white = _mm256_set1_epi32(-1);
    const __m256i alphaRef = _mm256_set1_epi32(int32_t(s.alphaRef & 0xFF));
    const __m256i lowWord = _mm256_set1_epi32(0xFFFF);
    const __m256i width = _mm256_set1_epi32(int32_t(depthWidth));
    for (int32_t i = 0; i < n; i += 8) {
        const int32_t count = std::min<int32_t>(8, n - i);
        const int validBits = (1 << count) - 1;
        const __m256i valid = _mm256_cmpgt_epi32(_mm256_set1_epi32(count), lanes);
        // Lanes past the end repeat the first pixel, so every lane reads inside the buffers.
        __m256i px = _mm256_set1_epi32(xs[i]), py = _mm256_set1_epi32(ys[i]);
        if (count == 8) {
            px = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(xs + i));
            py = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(ys + i));
        } else {
            alignas(32) int32_t tailX[8], tailY[8];
            for (int32_t k = 0; k < 8; ++k) {
                tailX[k] = xs[i + (k < count ? k : 0)];
                tailY[k] = ys[i + (k < count ? k : 0)];
            }
            px = _mm256_load_si256(reinterpret_cast<const __m256i*>(tailX));
            py = _mm256_load_si256(reinterpret_cast<const __m256i*>(tailY));
        }
        const bool run = count == 8 && inOneRun(xs + i, ys + i);
        const __m256d x[2] = {_mm256_cvtepi32_pd(_mm256_castsi256_si128(px)),
                              _mm256_cvtepi32_pd(_mm256_extracti128_si256(px, 1))};
        const __m256d y[2] = {_mm256_cvtepi32_pd(_mm256_castsi256_si128(py)),
                              _mm256_cvtepi32_pd(_mm256_extracti128_si256(py, 1))};
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
            if ((uBits & vBits & validBits) != validBits) {
                return i;
            }
            tu = _mm256_and_si256(tu, valid);
            tv = _mm256_and_si256(tv, valid);
        }
        __m256i ok = valid;
        __m256i index = _mm256_setzero_si256(), storedDepth = _mm256_setzero_si256();
        __m256i newDepth = _mm256_setzero_si256();
        if (depth != nullptr) {
            // Four bytes from each pixel's depth word: the buffer has a spare word at its end.
            index = _mm256_add_epi32(_mm256_mullo_epi32(py, width), px);
            storedDepth =
                _mm256_and_si256(_mm256_i32gather_epi32(reinterpret_cast<const int*>(depth), index, 2), lowWord);
            newDepth =
                join(unitToInt(planeAt(wp, 0, x[0], y[0]), 65535.0), unitToInt(planeAt(wp, 0, x[1], y[1]), 65535.0));
            if (shade.depthTest) {
                ok = _mm256_and_si256(ok, compareMask(shade.depthFunc, newDepth, storedDepth));
            }
        }
        int okBits = _mm256_movemask_ps(_mm256_castsi256_ps(ok));
        int32_t passing = 0;
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
            if (s.alphaTest) {
                ok = _mm256_and_si256(ok, compareMask(s.alphaFunc, _mm256_srli_epi32(out, 24), alphaRef));
                okBits = _mm256_movemask_ps(_mm256_castsi256_ps(ok));
            }
            passing = okBits == validBits ? count : 0;
            if (shade.store) {
                storePixels(shade, px, py, ok, run, passing, out);
            } else {
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(src + i), out);
            }
        }
        if (depth != nullptr && shade.depthWrite && okBits != 0) {
            storeDepths(depth, index, newDepth, ok, run, passing);
        }
        for (int32_t k = 0; !shade.store && k < count; ++k) {
            pass[i + k] = uint8_t((okBits >> k) & 1);
        }
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
