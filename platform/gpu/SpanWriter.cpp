#include "platform/gpu/SpanWriter.h"

#include <cstdlib>
#include <cstring>

#include "platform/gpu/RasterMath.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ORVEX_GPU_X86 1
#endif

namespace Platform::Gpu {
namespace Raster {
namespace {

bool alphaPasses(uint32_t func, uint32_t alpha, uint32_t ref) {
    switch (func) {
        case kCmpNever:
            return false;
        case kCmpLess:
            return alpha < ref;
        case kCmpEqual:
            return alpha == ref;
        case kCmpLessEqual:
            return alpha <= ref;
        case kCmpGreater:
            return alpha > ref;
        case kCmpNotEqual:
            return alpha != ref;
        case kCmpGreaterEqual:
            return alpha >= ref;
        default:
            return true;
    }
}

uint32_t blendFactor(uint32_t factor, uint32_t srcAlpha) {
    switch (factor) {
        case kBlendZero:
            return 0;
        case kBlendSrcAlpha:
            return srcAlpha;
        case kBlendInvSrcAlpha:
            return 255 - srcAlpha;
        default:
            return 255;
    }
}

uint32_t blendChannel(uint32_t s, uint32_t d, uint32_t sf, uint32_t df) {
    const uint32_t x = s * sf + d * df;
    return x >= 255u * 255u ? 255u : div255(x);
}

// Two channels at once in the 16-bit lanes of a word (bits 0-7 and 16-23); every step stays
// below 65536 per lane, so the results equal the per-channel formulas exactly.
inline uint32_t div255Lanes(uint32_t x) {
    x += 0x00800080u;
    return ((x + ((x >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
}

inline uint32_t blendOver(uint32_t sp, uint32_t dp) {
    const uint32_t sa = sp >> 24;
    const uint32_t ia = 255 - sa;
    const uint32_t rb = div255Lanes((sp & 0x00FF00FFu) * sa + (dp & 0x00FF00FFu) * ia);
    const uint32_t ag = div255Lanes(((sp >> 8) & 0x00FF00FFu) * sa + ((dp >> 8) & 0x00FF00FFu) * ia);
    return rb | ag << 8;
}

// round((s * sa + d * 255) / 255) = round(s * sa / 255) + d, saturated.
inline uint32_t blendAdditive(uint32_t sp, uint32_t dp) {
    const uint32_t sa = sp >> 24;
    uint32_t rb = div255Lanes((sp & 0x00FF00FFu) * sa) + (dp & 0x00FF00FFu);
    uint32_t ag = div255Lanes(((sp >> 8) & 0x00FF00FFu) * sa) + ((dp >> 8) & 0x00FF00FFu);
    rb = (rb | (((rb >> 8) & 0x00010001u) * 0xFFu)) & 0x00FF00FFu;
    ag = (ag | (((ag >> 8) & 0x00010001u) * 0xFFu)) & 0x00FF00FFu;
    return rb | ag << 8;
}

// One row pixel by pixel: the reference formulas, written as branch-free loops that the
// compiler can vectorise. Inlined into each writer, so it is built for each instruction set.
template <BlendKind kKind, TestKind kTest>
__attribute__((always_inline)) inline void plainRow(const SpanContext& c, const uint32_t* __restrict src,
                                                    uint32_t srcOr, uint32_t* __restrict dst, int32_t n) {
    const uint32_t keepMask = c.keepMask;
    for (int32_t i = 0; i < n; ++i) {
        const uint32_t sp = src[i] | srcOr;
        const uint32_t old = dst[i];
        const uint32_t dp = old | keepMask;
        uint32_t out;
        if constexpr (kKind == BlendKind::Copy) {
            out = sp;
        } else if constexpr (kKind == BlendKind::Over) {
            out = blendOver(sp, dp);
        } else if constexpr (kKind == BlendKind::Additive) {
            out = blendAdditive(sp, dp);
        } else {
            const uint32_t sa = sp >> 24;
            const uint32_t sf = blendFactor(c.srcBlend, sa);
            const uint32_t df = blendFactor(c.destBlend, sa);
            out = blendChannel(channel(sp, 0), channel(dp, 0), sf, df) |
                  blendChannel(channel(sp, 8), channel(dp, 8), sf, df) << 8 |
                  blendChannel(channel(sp, 16), channel(dp, 16), sf, df) << 16 |
                  blendChannel(sp >> 24, channel(dp, 24), sf, df) << 24;
        }
        bool pass = true;
        if constexpr (kTest == TestKind::GreaterEqual) {
            pass = (sp >> 24) >= c.ref;
        } else if constexpr (kTest == TestKind::Generic) {
            pass = alphaPasses(c.alphaFunc, sp >> 24, c.ref);
        }
        dst[i] = pass ? (out | keepMask) : old;
    }
}

template <BlendKind kKind, TestKind kTest>
void writePlain(const SpanContext& c, const uint32_t* src, size_t srcStride, uint32_t srcOr, uint32_t* dst,
                size_t dstStride, int32_t n, int32_t rows) {
    for (int32_t r = 0; r < rows; ++r, src += srcStride, dst += dstStride) {
        plainRow<kKind, kTest>(c, src, srcOr, dst, n);
    }
}

#ifdef ORVEX_GPU_X86
// The same loops built for AVX2, for the kinds the hand-written writers do not serve.
template <BlendKind kKind, TestKind kTest>
__attribute__((target("avx2"))) void writePlainAvx2(const SpanContext& c, const uint32_t* src, size_t srcStride,
                                                    uint32_t srcOr, uint32_t* dst, size_t dstStride, int32_t n,
                                                    int32_t rows) {
    for (int32_t r = 0; r < rows; ++r, src += srcStride, dst += dstStride) {
        plainRow<kKind, kTest>(c, src, srcOr, dst, n);
    }
}

// Eight pixels at a time in 16-bit lanes: every product and sum stays below 65536, and the
// rounding is the same div255 as the per-pixel formulas, so the results are identical. A block is
// looked at before the target is read: wholly transparent blocks (when they leave the target as it
// was), wholly opaque ones under OVER (whose formula reduces to the source, and 255 passes every
// reference) and blocks that wholly fail the alpha test need no blending.
#define ORVEX_AVX2_INLINE __attribute__((target("avx2"), always_inline)) inline

// ((x + 128) * 257) >> 16, the same integer as div255 (for y = x + 128 < 65536, (257 y) >> 16
// and (y + (y >> 8)) >> 8 agree).
ORVEX_AVX2_INLINE __m256i div255Avx2(__m256i x) {
    return _mm256_mulhi_epu16(_mm256_add_epi16(x, _mm256_set1_epi16(128)), _mm256_set1_epi16(257));
}

// Four pixels widened to 16-bit lanes, blended with four destination pixels; a16 holds each
// pixel's alpha in its four lanes.
template <BlendKind kKind>
ORVEX_AVX2_INLINE __m256i blendWideAvx2(__m256i s16, __m256i d16, __m256i a16) {
    if constexpr (kKind == BlendKind::Over) {
        const __m256i ia = _mm256_xor_si256(a16, _mm256_set1_epi16(255));
        return div255Avx2(_mm256_add_epi16(_mm256_mullo_epi16(s16, a16), _mm256_mullo_epi16(d16, ia)));
    } else {
        return _mm256_add_epi16(div255Avx2(_mm256_mullo_epi16(s16, a16)), d16);  // saturated by the pack
    }
}

struct Avx2Constants {
    __m256i orBits, keep, alphaBits, refs;
    bool transparentKeeps;  // a transparent pixel leaves the target as it was
};

// One block of eight; the tail block (kTail) reads and writes only the lanes in `lanes`.
template <BlendKind kKind, bool kTest, bool kTail>
ORVEX_AVX2_INLINE void blockAvx2(const Avx2Constants& k, const uint32_t* src, uint32_t* dst, __m256i lanes) {
    const __m256i loaded = kTail ? _mm256_maskload_epi32(reinterpret_cast<const int*>(src), lanes)
                                 : _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src));
    const __m256i sp = _mm256_or_si256(loaded, k.orBits);
    __m256i store = lanes;  // the lanes written
    bool whole = !kTail;    // every lane written
    if constexpr (kKind != BlendKind::Copy) {
        const __m256i laneAlpha = _mm256_and_si256(lanes, k.alphaBits);
        if (k.transparentKeeps && _mm256_testz_si256(sp, laneAlpha)) {
            return;
        }
        if (kKind == BlendKind::Over && _mm256_testc_si256(sp, laneAlpha)) {
            const __m256i out = _mm256_or_si256(sp, k.keep);
            if constexpr (kTail) {
                _mm256_maskstore_epi32(reinterpret_cast<int*>(dst), lanes, out);
            } else {
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst), out);
            }
            return;
        }
    }
    if constexpr (kTest) {
        const __m256i sa = _mm256_srli_epi32(sp, 24);
        store = _mm256_and_si256(store, _mm256_cmpeq_epi32(_mm256_max_epu32(sa, k.refs), sa));
        if (_mm256_testz_si256(store, store)) {
            return;
        }
        whole = whole && _mm256_testc_si256(store, lanes);
    }
    __m256i out;
    if constexpr (kKind == BlendKind::Copy) {
        out = _mm256_or_si256(sp, k.keep);
    } else {
        const __m256i zero = _mm256_setzero_si256();
        const __m256i old = kTail ? _mm256_maskload_epi32(reinterpret_cast<const int*>(dst), lanes)
                                  : _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst));
        const __m256i dp = _mm256_or_si256(old, k.keep);
        // Each pixel's alpha byte spread over its four 16-bit lanes, for the low and the high two
        // pixels of each 128-bit lane (the order unpack works in), by a byte shuffle whose
        // indexes 0xFF give zeros.
        const __m256i alphaLo =
            _mm256_setr_epi32(int32_t(0xFF03FF03u), int32_t(0xFF03FF03u), int32_t(0xFF07FF07u), int32_t(0xFF07FF07u),
                              int32_t(0xFF03FF03u), int32_t(0xFF03FF03u), int32_t(0xFF07FF07u), int32_t(0xFF07FF07u));
        const __m256i alphaHi =
            _mm256_setr_epi32(int32_t(0xFF0BFF0Bu), int32_t(0xFF0BFF0Bu), int32_t(0xFF0FFF0Fu), int32_t(0xFF0FFF0Fu),
                              int32_t(0xFF0BFF0Bu), int32_t(0xFF0BFF0Bu), int32_t(0xFF0FFF0Fu), int32_t(0xFF0FFF0Fu));
        const __m256i lo = blendWideAvx2<kKind>(_mm256_unpacklo_epi8(sp, zero), _mm256_unpacklo_epi8(dp, zero),
                                                _mm256_shuffle_epi8(sp, alphaLo));
        const __m256i hi = blendWideAvx2<kKind>(_mm256_unpackhi_epi8(sp, zero), _mm256_unpackhi_epi8(dp, zero),
                                                _mm256_shuffle_epi8(sp, alphaHi));
        out = _mm256_or_si256(_mm256_packus_epi16(lo, hi), k.keep);
    }
    if (whole) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst), out);
    } else {
        _mm256_maskstore_epi32(reinterpret_cast<int*>(dst), store, out);
    }
}

// One colour over rows of the target: the test is passed or failed once, and the source's part
// of the blend (s * a + 128 per channel for OVER, the rounded s * a for additive) is worked out
// once, leaving per block the target's part: div255(s * a + d * (255 - a)) as
// ((s * a + 128 + d * (255 - a)) * 257) >> 16, or d + round(s * a / 255) saturated.
struct ConstantAvx2 {
    __m256i keep, zero, scale, sourcePart, inverseAlpha, sourceAdd, opaque;
    bool wholeSource;  // OVER with an opaque colour: the colour itself
};

template <BlendKind kKind>
ORVEX_AVX2_INLINE __m256i blendConstantAvx2(const ConstantAvx2& k, __m256i d) {
    if (kKind == BlendKind::Over && k.wholeSource) {
        return k.opaque;
    }
    const __m256i dp = _mm256_or_si256(d, k.keep);
    if constexpr (kKind == BlendKind::Over) {
        const __m256i lo = _mm256_mulhi_epu16(
            _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(dp, k.zero), k.inverseAlpha), k.sourcePart),
            k.scale);
        const __m256i hi = _mm256_mulhi_epu16(
            _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(dp, k.zero), k.inverseAlpha), k.sourcePart),
            k.scale);
        return _mm256_or_si256(_mm256_packus_epi16(lo, hi), k.keep);
    } else {
        return _mm256_or_si256(_mm256_adds_epu8(dp, k.sourceAdd), k.keep);
    }
}

template <BlendKind kKind, bool kTest>
__attribute__((target("avx2"))) void writeConstantAvx2(const SpanContext& c, uint32_t sp, uint32_t* dst,
                                                       size_t dstStride, int32_t n, int32_t rows) {
    const uint32_t alpha = sp >> 24;
    if ((kTest && alpha < c.ref) || (alpha == 0 && c.keepMask == 0)) {
        return;  // every pixel fails the test, or leaves the target as it was
    }
    ConstantAvx2 k;
    k.keep = _mm256_set1_epi32(int32_t(c.keepMask));
    k.zero = _mm256_setzero_si256();
    k.scale = _mm256_set1_epi16(257);
    const __m256i s16 = _mm256_unpacklo_epi8(_mm256_set1_epi32(int32_t(sp)), k.zero);
    const __m256i half = _mm256_set1_epi16(128);
    k.sourcePart = _mm256_add_epi16(_mm256_mullo_epi16(s16, _mm256_set1_epi16(int16_t(alpha))), half);
    k.inverseAlpha = _mm256_set1_epi16(int16_t(255 - alpha));
    const __m256i sourceBytes = _mm256_packus_epi16(_mm256_mulhi_epu16(k.sourcePart, k.scale), k.zero);
    k.sourceAdd = _mm256_unpacklo_epi64(sourceBytes, sourceBytes);
    k.opaque = _mm256_or_si256(_mm256_set1_epi32(int32_t(sp)), k.keep);
    k.wholeSource = alpha == 255;
    const int32_t whole = n & ~7;
    const __m256i tail = _mm256_cmpgt_epi32(_mm256_set1_epi32(n - whole), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    for (int32_t r = 0; r < rows; ++r, dst += dstStride) {
        for (int32_t i = 0; i < whole; i += 8) {
            auto* at = reinterpret_cast<__m256i*>(dst + i);
            _mm256_storeu_si256(at, blendConstantAvx2<kKind>(k, _mm256_loadu_si256(at)));
        }
        if (whole < n) {
            int* at = reinterpret_cast<int*>(dst + whole);
            _mm256_maskstore_epi32(at, tail, blendConstantAvx2<kKind>(k, _mm256_maskload_epi32(at, tail)));
        }
    }
}

template <BlendKind kKind, bool kTest>
__attribute__((target("avx2"))) void writeAvx2(const SpanContext& c, const uint32_t* src, size_t srcStride,
                                               uint32_t srcOr, uint32_t* dst, size_t dstStride, int32_t n,
                                               int32_t rows) {
    if constexpr (kKind != BlendKind::Copy) {
        if (c.constantSource && n > 0) {
            return writeConstantAvx2<kKind, kTest>(c, src[0] | srcOr, dst, dstStride, n, rows);
        }
    }
    if constexpr (kTest) {
        if ((srcOr >> 24) == 0xFFu) {  // opaque sources (X8 textures) pass every reference
            return writeAvx2<kKind, false>(c, src, srcStride, srcOr, dst, dstStride, n, rows);
        }
    }
    Avx2Constants k;
    k.orBits = _mm256_set1_epi32(int32_t(srcOr));
    k.keep = _mm256_set1_epi32(int32_t(c.keepMask));
    k.alphaBits = _mm256_set1_epi32(int32_t(0xFF000000u));
    k.refs = _mm256_set1_epi32(int32_t(c.ref));
    k.transparentKeeps = c.keepMask == 0 || (kTest && c.ref > 0);
    const __m256i all = _mm256_set1_epi32(-1);
    const int32_t whole = n & ~7;
    const __m256i tail = _mm256_cmpgt_epi32(_mm256_set1_epi32(n - whole), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    for (int32_t r = 0; r < rows; ++r, src += srcStride, dst += dstStride) {
        for (int32_t i = 0; i < whole; i += 8) {
            blockAvx2<kKind, kTest, false>(k, src + i, dst + i, all);
        }
        if (whole < n) {
            blockAvx2<kKind, kTest, true>(k, src + whole, dst + whole, tail);
        }
    }
}

#define ORVEX_AVX512 __attribute__((target("avx512f,avx512bw,avx512vl")))

// Sixteen pixels at a time and the last few under a lane mask, in 16-bit lanes: per channel
// s * a + d * (255 - a) (OVER) or s * a (additive, plus d and saturated by the pack), rounded as
// ((x + 128) * 257) >> 16, which is the same integer as div255 (for y = x + 128 < 65536,
// (257 y) >> 16 and (y + (y >> 8)) >> 8 agree). The alpha test (alpha >= ref) becomes the store
// mask. Blocks that are wholly transparent or (for OVER) wholly opaque take the shortcut their
// formula reduces to, as in the eight-pixel writer.
template <BlendKind kKind>
ORVEX_AVX512 inline __m512i blendHalfAvx512(__m512i s16, __m512i d16, __m512i a16) {
    const __m512i x = _mm512_mullo_epi16(s16, a16);
    const __m512i half = _mm512_set1_epi16(128);
    const __m512i scale = _mm512_set1_epi16(257);
    if constexpr (kKind == BlendKind::Over) {
        const __m512i ia = _mm512_xor_si512(a16, _mm512_set1_epi16(255));
        return _mm512_mulhi_epu16(_mm512_add_epi16(_mm512_add_epi16(x, _mm512_mullo_epi16(d16, ia)), half), scale);
    } else {
        return _mm512_add_epi16(_mm512_mulhi_epu16(_mm512_add_epi16(x, half), scale), d16);
    }
}

template <BlendKind kKind, bool kTest>
ORVEX_AVX512 inline void blockAvx512(const uint32_t* src, uint32_t* dst, __mmask16 lanes, __m512i orBits, __m512i keep,
                                     __m512i refs, bool transparentKeeps) {
    const __m512i sp = _mm512_or_si512(_mm512_maskz_loadu_epi32(lanes, src), orBits);
    const __m512i alphaBits = _mm512_set1_epi32(int32_t(0xFF000000u));
    __m512i out;
    if constexpr (kKind == BlendKind::Copy) {
        out = _mm512_or_si512(sp, keep);
    } else {
        if (transparentKeeps && _mm512_mask_test_epi32_mask(lanes, sp, alphaBits) == 0) {
            return;
        }
        if (kKind == BlendKind::Over && _mm512_mask_cmpge_epu32_mask(lanes, sp, alphaBits) == lanes) {
            _mm512_mask_storeu_epi32(dst, lanes, _mm512_or_si512(sp, keep));  // 255 passes every test
            return;
        }
        // The alpha byte of each pixel spread over its four 16-bit channel lanes, for the low and
        // the high two pixels of every 128-bit lane (the order unpack works in): byte indexes 3
        // and 7, then 11 and 15, each followed by a zeroing index.
        const __m512i alphaLo =
            _mm512_set4_epi32(int32_t(0xFF07FF07u), int32_t(0xFF07FF07u), int32_t(0xFF03FF03u), int32_t(0xFF03FF03u));
        const __m512i alphaHi =
            _mm512_set4_epi32(int32_t(0xFF0FFF0Fu), int32_t(0xFF0FFF0Fu), int32_t(0xFF0BFF0Bu), int32_t(0xFF0BFF0Bu));
        const __m512i zero = _mm512_setzero_si512();
        const __m512i dp = _mm512_or_si512(_mm512_maskz_loadu_epi32(lanes, dst), keep);
        const __m512i lo = blendHalfAvx512<kKind>(_mm512_unpacklo_epi8(sp, zero), _mm512_unpacklo_epi8(dp, zero),
                                                  _mm512_shuffle_epi8(sp, alphaLo));
        const __m512i hi = blendHalfAvx512<kKind>(_mm512_unpackhi_epi8(sp, zero), _mm512_unpackhi_epi8(dp, zero),
                                                  _mm512_shuffle_epi8(sp, alphaHi));
        out = _mm512_or_si512(_mm512_packus_epi16(lo, hi), keep);
    }
    if constexpr (kTest) {
        lanes = _mm512_mask_cmpge_epu32_mask(lanes, sp, refs);
    }
    _mm512_mask_storeu_epi32(dst, lanes, out);
}

template <BlendKind kKind, bool kTest>
ORVEX_AVX512 void writeAvx512(const SpanContext& c, const uint32_t* src, size_t srcStride, uint32_t srcOr,
                              uint32_t* dst, size_t dstStride, int32_t n, int32_t rows) {
    // Rows of up to eight pixels (small sprites, glyphs) are one eight-pixel block: cheaper than a
    // sixteen-lane block under a mask, and the same integers.
    if (n <= 8) {
        return writeAvx2<kKind, kTest>(c, src, srcStride, srcOr, dst, dstStride, n, rows);
    }
    if constexpr (kTest) {
        if ((srcOr >> 24) == 0xFFu) {  // opaque sources (X8 textures) pass every reference
            return writeAvx512<kKind, false>(c, src, srcStride, srcOr, dst, dstStride, n, rows);
        }
    }
    const __m512i orBits = _mm512_set1_epi32(int32_t(srcOr));
    const __m512i keep = _mm512_set1_epi32(int32_t(c.keepMask));
    const __m512i refs = _mm512_set1_epi32(int32_t(c.ref << 24));  // alpha >= ref as whole words
    const bool transparentKeeps = c.keepMask == 0 || (kTest && c.ref > 0);
    const int32_t whole = n & ~15;
    const __mmask16 tail = __mmask16((1u << (n - whole)) - 1);
    for (int32_t r = 0; r < rows; ++r, src += srcStride, dst += dstStride) {
        for (int32_t i = 0; i < whole; i += 16) {
            blockAvx512<kKind, kTest>(src + i, dst + i, 0xFFFF, orBits, keep, refs, transparentKeeps);
        }
        if (tail != 0) {
            blockAvx512<kKind, kTest>(src + whole, dst + whole, tail, orBits, keep, refs, transparentKeeps);
        }
    }
}
#endif

template <template <BlendKind, TestKind> class Table>
SpanWrite pick(BlendKind kind, TestKind test) {
    static constexpr SpanWrite kWriters[4][3] = {
        {Table<BlendKind::Copy, TestKind::None>::kWrite, Table<BlendKind::Copy, TestKind::GreaterEqual>::kWrite,
         Table<BlendKind::Copy, TestKind::Generic>::kWrite},
        {Table<BlendKind::Over, TestKind::None>::kWrite, Table<BlendKind::Over, TestKind::GreaterEqual>::kWrite,
         Table<BlendKind::Over, TestKind::Generic>::kWrite},
        {Table<BlendKind::Additive, TestKind::None>::kWrite, Table<BlendKind::Additive, TestKind::GreaterEqual>::kWrite,
         Table<BlendKind::Additive, TestKind::Generic>::kWrite},
        {Table<BlendKind::Generic, TestKind::None>::kWrite, Table<BlendKind::Generic, TestKind::GreaterEqual>::kWrite,
         Table<BlendKind::Generic, TestKind::Generic>::kWrite}};
    return kWriters[int(kind)][int(test)];
}

template <BlendKind kKind, TestKind kTest>
struct PlainWriters {
    static constexpr SpanWrite kWrite = writePlain<kKind, kTest>;
};

#ifdef ORVEX_GPU_X86
// The hand-written writers serve the blend kinds but the generic one and the tests but the generic
// one; the rest take the plain loops built for the same instruction set.
constexpr bool handWritten(BlendKind kind, TestKind test) {
    return kind != BlendKind::Generic && test != TestKind::Generic;
}

// The wide writer of one instruction set for a blend and test kind.
template <BlendKind kKind, TestKind kTest, SpanWriter kWidth>
struct WideWriters {
    static constexpr SpanWrite kWrite = [] {
        if constexpr (!handWritten(kKind, kTest)) {
            return writePlainAvx2<kKind, kTest>;
        } else if constexpr (kWidth == SpanWriter::Avx512) {
            return writeAvx512<kKind, kTest == TestKind::GreaterEqual>;
        } else {
            return writeAvx2<kKind, kTest == TestKind::GreaterEqual>;
        }
    }();
};
template <BlendKind kKind, TestKind kTest>
using Avx2Writers = WideWriters<kKind, kTest, SpanWriter::Avx2>;
template <BlendKind kKind, TestKind kTest>
using Avx512Writers = WideWriters<kKind, kTest, SpanWriter::Avx512>;
#endif

}  // namespace

BlendKind blendKind(const PipelineState& s) {
    if (!s.alphaBlend || (s.srcBlend == kBlendOne && s.destBlend == kBlendZero)) {
        return BlendKind::Copy;
    }
    if (s.srcBlend == kBlendSrcAlpha && s.destBlend == kBlendInvSrcAlpha) {
        return BlendKind::Over;
    }
    if (s.srcBlend == kBlendSrcAlpha && s.destBlend == kBlendOne) {
        return BlendKind::Additive;
    }
    return BlendKind::Generic;
}

TestKind testKind(const PipelineState& s) {
    if (!s.alphaTest || s.alphaFunc == kCmpAlways || (s.alphaFunc == kCmpGreaterEqual && (s.alphaRef & 0xFFu) == 0)) {
        return TestKind::None;
    }
    return s.alphaFunc == kCmpGreaterEqual ? TestKind::GreaterEqual : TestKind::Generic;
}

SpanContext::SpanContext(const PipelineState& s)
    : keepMask(s.target != nullptr && s.target->hasAlpha() ? 0u : 0xFF000000u),
      ref(s.alphaRef & 0xFFu),
      alphaFunc(s.alphaFunc),
      srcBlend(s.srcBlend),
      destBlend(s.destBlend) {}

SpanWrite chooseSpanWrite(BlendKind kind, TestKind test, SpanWriter widest) {
#ifdef ORVEX_GPU_X86
    switch (widest) {
        case SpanWriter::Avx512:
            return pick<Avx512Writers>(kind, test);
        case SpanWriter::Avx2:
            return pick<Avx2Writers>(kind, test);
        case SpanWriter::Plain:
            break;
    }
#else
    (void)widest;
#endif
    return pick<PlainWriters>(kind, test);
}

}  // namespace Raster

SpanWriter processorSpanWriter() {
#ifdef ORVEX_GPU_X86
    static const SpanWriter kWidest = [] {
        __builtin_cpu_init();
        if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
            __builtin_cpu_supports("avx512vl")) {
            return SpanWriter::Avx512;
        }
        return __builtin_cpu_supports("avx2") ? SpanWriter::Avx2 : SpanWriter::Plain;
    }();
    return kWidest;
#else
    return SpanWriter::Plain;
#endif
}

SpanWriter defaultSpanWriter() {
    const SpanWriter widest = processorSpanWriter();
    const char* named = std::getenv("ORVEX_GPU_SPAN_WRITER");
    if (named == nullptr) {
        return widest;
    }
    for (SpanWriter w : {SpanWriter::Plain, SpanWriter::Avx2, SpanWriter::Avx512}) {
        if (std::strcmp(named, spanWriterName(w)) == 0) {
            return w < widest ? w : widest;
        }
    }
    return widest;
}

const char* spanWriterName(SpanWriter writer) {
    switch (writer) {
        case SpanWriter::Avx512:
            return "avx512";
        case SpanWriter::Avx2:
            return "avx2";
        case SpanWriter::Plain:
            break;
    }
    return "plain";
}

}  // namespace Platform::Gpu
