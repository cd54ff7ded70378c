#pragma once
// The integer half of the 3-D wide shaders, eight pixels a group in 32-bit lanes: depth
// comparison, stage 0, texture sampling and the stores of depths and pixels. The AVX2 and the
// AVX-512 shaders share it (an AVX-512 caller inlines these AVX2 steps), so that both give the
// per-pixel path's integers; only their double arithmetic differs in width.
#include <cstdint>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#include "platform/gpu/Span3D.h"

namespace Platform::Gpu::Raster::Lanes {

#define ORVEX_AVX2_INLINE __attribute__((target("avx2"), always_inline)) inline

ORVEX_AVX2_INLINE __m256i join(__m128i low, __m128i high) { return _mm256_set_m128i(high, low); }

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

// A texture with power-of-two sides as the wide samplers read it.
ORVEX_AVX2_INLINE WideTexture wideTexture(const PixelImage& texture) {
    WideTexture wide{};
    wide.texels = texture.texels.data();
    wide.widthMask = _mm256_set1_epi32(int32_t(texture.width - 1));
    wide.heightMask = _mm256_set1_epi32(int32_t(texture.height - 1));
    wide.widthShift = _mm_cvtsi32_si128(__builtin_ctz(texture.width));
    wide.fill = _mm256_set1_epi32(texture.hasAlpha() ? 0 : int32_t(0xFF000000u));
    return wide;
}

// Eight queued pixels from the i-th: their positions (lanes past the end repeat the first pixel,
// so that every lane reads inside the buffers), how many there are and whether they are one run.
struct Group {
    int32_t i = 0, count = 0;
    int validBits = 0;
    __m256i valid, px, py;
    bool run = false;
};

ORVEX_AVX2_INLINE Group loadGroup(const int32_t* xs, const int32_t* ys, int32_t i, int32_t n) {
    Group g;
    g.i = i;
    g.count = n - i < 8 ? n - i : 8;
    g.validBits = (1 << g.count) - 1;
    g.valid = _mm256_cmpgt_epi32(_mm256_set1_epi32(g.count), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    if (g.count == 8) {
        g.px = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(xs + i));
        g.py = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(ys + i));
        g.run = ys[i + 7] == ys[i] && xs[i + 7] - xs[i] == 7;  // the queue runs left to right a row
        return g;
    }
    alignas(32) int32_t tailX[8], tailY[8];
    for (int32_t k = 0; k < 8; ++k) {
        tailX[k] = xs[i + (k < g.count ? k : 0)];
        tailY[k] = ys[i + (k < g.count ? k : 0)];
    }
    g.px = _mm256_load_si256(reinterpret_cast<const __m256i*>(tailX));
    g.py = _mm256_load_si256(reinterpret_cast<const __m256i*>(tailY));
    return g;
}

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

// The places of a group's pixels in the depth buffer and the words stored there. Gathered before
// the new depths are worked out, so that the load overlaps that arithmetic.
ORVEX_AVX2_INLINE __m256i storedDepths(const Group& g, const uint16_t* depth, uint32_t depthWidth, __m256i* index) {
    *index = _mm256_add_epi32(_mm256_mullo_epi32(g.py, _mm256_set1_epi32(int32_t(depthWidth))), g.px);
    // Four bytes from each pixel's depth word: the buffer has a spare word at its end.
    return _mm256_and_si256(_mm256_i32gather_epi32(reinterpret_cast<const int*>(depth), *index, 2),
                            _mm256_set1_epi32(0xFFFF));
}

// The lanes of ok that pass the depth test of newDepth against the stored words.
ORVEX_AVX2_INLINE __m256i testDepths(const Shade3D& shade, __m256i newDepth, __m256i stored, __m256i ok) {
    return shade.depthTest ? _mm256_and_si256(ok, compareMask(shade.depthFunc, newDepth, stored)) : ok;
}

// The rest of a group whose colours are `out` (okBits != 0): the alpha test, then the pixels into
// the target or src and the depths of the passing ones; returns the lanes that pass.
ORVEX_AVX2_INLINE int finishGroup(const Shade3D& shade, const Group& g, uint16_t* depth, __m256i index,
                                  __m256i newDepth, __m256i ok, int okBits, __m256i out, uint32_t* src) {
    const PipelineState& s = *shade.state;
    if (s.alphaTest) {
        const __m256i alphaRef = _mm256_set1_epi32(int32_t(s.alphaRef & 0xFF));
        ok = _mm256_and_si256(ok, compareMask(s.alphaFunc, _mm256_srli_epi32(out, 24), alphaRef));
        okBits = _mm256_movemask_ps(_mm256_castsi256_ps(ok));
    }
    const int32_t passing = okBits == g.validBits ? g.count : 0;
    if (shade.store) {
        storePixels(shade, g.px, g.py, ok, g.run, passing, out);
    } else {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(src + g.i), out);
    }
    if (depth != nullptr && shade.depthWrite && okBits != 0) {
        storeDepths(depth, index, newDepth, ok, g.run, passing);
    }
    return okBits;
}

// One flag a pixel of the group for the writers that blend: whether it passed.
ORVEX_AVX2_INLINE void markPassing(const Shade3D& shade, const Group& g, int okBits, uint8_t* pass) {
    for (int32_t k = 0; !shade.store && k < g.count; ++k) {
        pass[g.i + k] = uint8_t((okBits >> k) & 1);
    }
}

}  // namespace Platform::Gpu::Raster::Lanes

#endif
