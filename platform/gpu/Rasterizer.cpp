#include "platform/gpu/Rasterizer.h"

#include <algorithm>
#include <cmath>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ORVEX_GPU_AVX2_SPANS 1
#endif

namespace Platform::Gpu {
namespace {

constexpr double kCoordinateLimit = 1 << 20;  // pixels; farther vertices drop the triangle
constexpr uint32_t kWhite = 0xFFFFFFFFu;

int64_t floorDiv(int64_t a, int64_t b) {  // b > 0
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}
int64_t ceilDiv(int64_t a, int64_t b) {  // b > 0
    return -floorDiv(-a, b);
}
// floor(v + 0.5) without a library call: truncation, one down for negative fractions.
inline int64_t roundToInt(double v) {
    const double x = v + 0.5;
    const int64_t t = static_cast<int64_t>(x);
    return double(t) > x ? int64_t(uint64_t(t) - 1) : t;
}
inline uint32_t wrapIndex(int64_t i, uint32_t n) {
    if (i >= 0 && i < int64_t(n)) {
        return uint32_t(i);
    }
    int64_t r = i % int64_t(n);
    return uint32_t(r < 0 ? r + n : r);
}

// An attribute as a linear function of the pixel centre.
struct Plane {
    double dx = 0;
    double dy = 0;
    double c = 0;
};

Plane makePlane(const double* x, const double* y, const double* a, double det) {
    Plane p;
    p.dx = ((a[1] - a[0]) * (y[2] - y[0]) - (a[2] - a[0]) * (y[1] - y[0])) / det;
    p.dy = ((a[2] - a[0]) * (x[1] - x[0]) - (a[1] - a[0]) * (x[2] - x[0])) / det;
    p.c = a[0] - p.dx * x[0] - p.dy * y[0];
    return p;
}

uint32_t channel(uint32_t v, int shift) { return (v >> shift) & 0xFFu; }

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

// Stage 0: colour and alpha from the texel and the diffuse colour.
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

enum class BlendKind { Copy, Over, Additive, Generic };
enum class TestKind { None, GreaterEqual, Generic };

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
    if (!s.alphaTest || s.alphaFunc == kCmpAlways) {
        return TestKind::None;
    }
    return s.alphaFunc == kCmpGreaterEqual ? TestKind::GreaterEqual : TestKind::Generic;
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

// Alpha test, blend and store of one span of shaded source pixels, written per blend and test
// kind as branch-free loops that the compiler can vectorise.
template <BlendKind kKind, TestKind kTest>
void writeSpan(const PipelineState& s, const uint32_t* __restrict src, uint32_t srcOr, uint32_t* __restrict dst,
               int32_t n, bool destAlpha) {
    const uint32_t ref = s.alphaRef & 0xFFu;
    const uint32_t keepMask = destAlpha ? 0u : 0xFF000000u;
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
            const uint32_t sf = blendFactor(s.srcBlend, sa);
            const uint32_t df = blendFactor(s.destBlend, sa);
            out = blendChannel(channel(sp, 0), channel(dp, 0), sf, df) |
                  blendChannel(channel(sp, 8), channel(dp, 8), sf, df) << 8 |
                  blendChannel(channel(sp, 16), channel(dp, 16), sf, df) << 16 |
                  blendChannel(sp >> 24, channel(dp, 24), sf, df) << 24;
        }
        bool pass = true;
        if constexpr (kTest == TestKind::GreaterEqual) {
            pass = (sp >> 24) >= ref;
        } else if constexpr (kTest == TestKind::Generic) {
            pass = alphaPasses(s.alphaFunc, sp >> 24, ref);
        }
        dst[i] = pass ? (out | keepMask) : old;
    }
}

template <BlendKind kKind>
void writeSpanTested(const PipelineState& s, const uint32_t* src, uint32_t srcOr, uint32_t* dst, int32_t n,
                     bool destAlpha) {
    switch (testKind(s)) {
        case TestKind::None:
            writeSpan<kKind, TestKind::None>(s, src, srcOr, dst, n, destAlpha);
            break;
        case TestKind::GreaterEqual:
            writeSpan<kKind, TestKind::GreaterEqual>(s, src, srcOr, dst, n, destAlpha);
            break;
        case TestKind::Generic:
            writeSpan<kKind, TestKind::Generic>(s, src, srcOr, dst, n, destAlpha);
            break;
    }
}

// Built twice, for the baseline instruction set and for AVX2, and chosen when the program loads;
// both versions compute the same integers. (One compiler refuses flatten on multiversioned code.)
#if defined(__clang__)
#define ORVEX_SPAN_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define ORVEX_SPAN_CLONES __attribute__((target_clones("avx2", "default"), flatten))
#endif
ORVEX_SPAN_CLONES void writeSpanFor(const PipelineState& s, const uint32_t* src, uint32_t srcOr, uint32_t* dst,
                                    int32_t n, bool destAlpha) {
    switch (blendKind(s)) {
        case BlendKind::Copy:
            writeSpanTested<BlendKind::Copy>(s, src, srcOr, dst, n, destAlpha);
            break;
        case BlendKind::Over:
            writeSpanTested<BlendKind::Over>(s, src, srcOr, dst, n, destAlpha);
            break;
        case BlendKind::Additive:
            writeSpanTested<BlendKind::Additive>(s, src, srcOr, dst, n, destAlpha);
            break;
        case BlendKind::Generic:
            writeSpanTested<BlendKind::Generic>(s, src, srcOr, dst, n, destAlpha);
            break;
    }
}

#ifdef ORVEX_GPU_AVX2_SPANS
// Eight pixels at a time in 16-bit lanes: every product and sum stays below 65536, and the
// rounding is the same div255 as the per-pixel formulas, so the results are identical. Blocks
// that are wholly transparent or (for OVER) wholly opaque take the shortcut their formula reduces
// to: the target as it was, or the source itself (255 passes every reference).
#define ORVEX_AVX2_INLINE __attribute__((target("avx2"), always_inline)) inline

ORVEX_AVX2_INLINE __m256i div255Avx2(__m256i x) {
    x = _mm256_add_epi16(x, _mm256_set1_epi16(128));
    return _mm256_srli_epi16(_mm256_add_epi16(x, _mm256_srli_epi16(x, 8)), 8);
}

// Four pixels widened to 16-bit lanes, blended with four destination pixels.
template <BlendKind kKind>
ORVEX_AVX2_INLINE __m256i blendWideAvx2(__m256i s16, __m256i d16) {
    const __m256i a = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(s16, 0xFF), 0xFF);
    if constexpr (kKind == BlendKind::Over) {
        const __m256i ia = _mm256_sub_epi16(_mm256_set1_epi16(255), a);
        return div255Avx2(_mm256_add_epi16(_mm256_mullo_epi16(s16, a), _mm256_mullo_epi16(d16, ia)));
    } else {
        return _mm256_add_epi16(div255Avx2(_mm256_mullo_epi16(s16, a)), d16);  // saturated by the pack
    }
}

template <BlendKind kKind, bool kTest>
__attribute__((target("avx2"))) int32_t writeBlocksAvx2(const uint32_t* src, uint32_t srcOr, uint32_t* dst, int32_t n,
                                                        uint32_t keepMask, uint32_t ref) {
    const __m256i orBits = _mm256_set1_epi32(int32_t(srcOr));
    const __m256i keep = _mm256_set1_epi32(int32_t(keepMask));
    const __m256i alphaBits = _mm256_set1_epi32(int32_t(0xFF000000u));
    const __m256i zero = _mm256_setzero_si256();
    const __m256i refs = _mm256_set1_epi32(int32_t(ref));
    // A transparent pixel leaves the target as it was unless the X8 top byte must be restored.
    const bool transparentKeeps = keepMask == 0 || (kTest && ref > 0);
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        auto* at = reinterpret_cast<__m256i*>(dst + i);
        const __m256i sp = _mm256_or_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i)), orBits);
        const __m256i old = _mm256_loadu_si256(at);
        __m256i out;
        if constexpr (kKind == BlendKind::Copy) {
            out = _mm256_or_si256(sp, keep);
        } else {
            const __m256i alpha = _mm256_and_si256(sp, alphaBits);
            if (transparentKeeps && _mm256_testz_si256(alpha, alpha)) {
                continue;
            }
            if (kKind == BlendKind::Over && _mm256_movemask_epi8(_mm256_cmpeq_epi32(alpha, alphaBits)) == -1) {
                out = _mm256_or_si256(sp, keep);
            } else {
                const __m256i dp = _mm256_or_si256(old, keep);
                const __m256i lo = blendWideAvx2<kKind>(_mm256_unpacklo_epi8(sp, zero), _mm256_unpacklo_epi8(dp, zero));
                const __m256i hi = blendWideAvx2<kKind>(_mm256_unpackhi_epi8(sp, zero), _mm256_unpackhi_epi8(dp, zero));
                out = _mm256_or_si256(_mm256_packus_epi16(lo, hi), keep);
            }
        }
        if constexpr (kTest) {
            const __m256i sa = _mm256_srli_epi32(sp, 24);
            out = _mm256_blendv_epi8(old, out, _mm256_cmpeq_epi32(_mm256_max_epu32(sa, refs), sa));
        }
        _mm256_storeu_si256(at, out);
    }
    // The last few pixels one by one, with the same formulas.
    for (; i < n; ++i) {
        const uint32_t sp = src[i] | srcOr;
        const uint32_t old = dst[i];
        uint32_t out = sp;
        if constexpr (kKind == BlendKind::Over) {
            out = blendOver(sp, old | keepMask);
        } else if constexpr (kKind == BlendKind::Additive) {
            out = blendAdditive(sp, old | keepMask);
        }
        if (!kTest || (sp >> 24) >= ref) {
            dst[i] = out | keepMask;
        }
    }
    return n;
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
ORVEX_AVX512 int32_t writeBlocksAvx512(const uint32_t* src, uint32_t srcOr, uint32_t* dst, int32_t n, uint32_t keepMask,
                                       uint32_t ref) {
    const __m512i orBits = _mm512_set1_epi32(int32_t(srcOr));
    const __m512i keep = _mm512_set1_epi32(int32_t(keepMask));
    const __m512i refs = _mm512_set1_epi32(int32_t(ref << 24));  // alpha >= ref as whole words
    // A transparent pixel leaves the target as it was unless the X8 top byte must be restored.
    const bool transparentKeeps = keepMask == 0 || (kTest && ref > 0);
    int32_t i = 0;
    for (; i + 16 <= n; i += 16) {
        blockAvx512<kKind, kTest>(src + i, dst + i, 0xFFFF, orBits, keep, refs, transparentKeeps);
    }
    if (i < n) {
        blockAvx512<kKind, kTest>(src + i, dst + i, __mmask16((1u << (n - i)) - 1), orBits, keep, refs,
                                  transparentKeeps);
    }
    return n;
}

bool hasAvx2() {
    static const bool supported = __builtin_cpu_supports("avx2");
    return supported;
}
bool hasAvx512() {
    static const bool supported =
        __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl");
    return supported;
}
#endif

// A wide writer of whole spans (alpha test, blend and store) for one blend and test kind; returns
// the number of pixels it wrote, from the first on.
using BlockWriter = int32_t (*)(const uint32_t* src, uint32_t srcOr, uint32_t* dst, int32_t n, uint32_t keepMask,
                                uint32_t ref);

// The widest writer this processor runs for the common blend and test kinds; null for the others
// (and when wide spans are off), which take writeSpanFor.
BlockWriter blockWriterFor(BlendKind kind, TestKind test, int wideLevel) {
#ifdef ORVEX_GPU_AVX2_SPANS
    if (kind == BlendKind::Generic || test == TestKind::Generic) {
        return nullptr;
    }
    const int k = kind == BlendKind::Copy ? 0 : kind == BlendKind::Over ? 1 : 2;
    const int t = test == TestKind::None ? 0 : 1;
    if (wideLevel >= 2 && hasAvx512()) {
        static constexpr BlockWriter writers[3][2] = {
            {writeBlocksAvx512<BlendKind::Copy, false>, writeBlocksAvx512<BlendKind::Copy, true>},
            {writeBlocksAvx512<BlendKind::Over, false>, writeBlocksAvx512<BlendKind::Over, true>},
            {writeBlocksAvx512<BlendKind::Additive, false>, writeBlocksAvx512<BlendKind::Additive, true>}};
        return writers[k][t];
    }
    if (wideLevel >= 1 && hasAvx2()) {
        static constexpr BlockWriter writers[3][2] = {
            {writeBlocksAvx2<BlendKind::Copy, false>, writeBlocksAvx2<BlendKind::Copy, true>},
            {writeBlocksAvx2<BlendKind::Over, false>, writeBlocksAvx2<BlendKind::Over, true>},
            {writeBlocksAvx2<BlendKind::Additive, false>, writeBlocksAvx2<BlendKind::Additive, true>}};
        return writers[k][t];
    }
#else
    (void)kind;
    (void)test;
    (void)wideLevel;
#endif
    return nullptr;
}

// The span writer of the fast paths: the wide writer where there is one, everything else through
// writeSpanFor.
inline void writeSpanFast(const PipelineState& s, BlockWriter writer, const uint32_t* src, uint32_t srcOr,
                          uint32_t* dst, int32_t n, bool destAlpha) {
    const int32_t done =
        writer != nullptr ? writer(src, srcOr, dst, n, destAlpha ? 0u : 0xFF000000u, s.alphaRef & 0xFFu) : 0;
    if (done < n) {
        writeSpanFor(s, src + done, srcOr, dst + done, n - done, destAlpha);
    }
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

bool usesTexture(const PipelineState& s) {
    if (s.colorOp == kOpDisable) {
        return false;
    }
    return s.colorArg1 == kArgTexture || s.colorArg2 == kArgTexture ||
           (s.alphaOp != kOpDisable && (s.alphaArg1 == kArgTexture || s.alphaArg2 == kArgTexture));
}

}  // namespace

void Rasterizer::fill(PixelImage& target, const IntRect& rect, uint32_t argb) {
    const uint32_t value = target.hasAlpha() ? argb : (argb | 0xFF000000u);
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
        std::fill(target.row(uint32_t(y)) + rect.left, target.row(uint32_t(y)) + rect.right, value);
    }
}

const uint32_t* Rasterizer::combineTable(const PipelineState& s, uint32_t diffuse) {
    const uint32_t key[7] = {s.colorOp, s.colorArg1, s.colorArg2, s.alphaOp, s.alphaArg1, s.alphaArg2, diffuse};
    if (!tableValid_ || !std::equal(key, key + 7, tableKey_)) {
        // With a constant diffuse colour each output channel depends on its texel channel only.
        for (uint32_t k = 0; k < 4; ++k) {
            const uint32_t mask = 0xFFu << (8 * k);
            for (uint32_t x = 0; x < 256; ++x) {
                table_[k * 256 + x] = combine(s, x << (8 * k), diffuse) & mask;
            }
        }
        std::copy(key, key + 7, tableKey_);
        tableValid_ = true;
    }
    return table_;
}

// Everything one triangle needs to draw its rows, and the edge walker's position.
struct Rasterizer::Triangle {
    const PipelineState* s = nullptr;
    int64_t yMin = 0, yMax = 0;
    int64_t xMinFixed = 0, xMaxFixed = 0;
    // A sloped edge bounds x by floor(M / D) (M = B - bias, D = |dy| * 256, see setUp), stepped
    // row by row as a quotient and remainder: exactly the division, without dividing.
    struct Edge {
        bool bindsLeft;  // else it bounds the right end
        int64_t q, r, d, stepQ, stepR;
    } edges[3];
    int edgeCount = 0;
    int64_t nextRow = 0;  // the row the edges are at

    const PixelImage* tex = nullptr;
    Plane pu, pv;
    bool linear = false;
    bool constantColor = false;
    uint32_t flatColor = 0;
    Plane pc[4];
    bool direct = false;
    // On the direct path the texel position of (px, py) is (tuBase + 256 px, tvBase + 256 py) when
    // every sum of the planes is exact in a double, which holds for short binary fractions.
    bool exactTexel = false;
    int64_t tuBase = 0, tvBase = 0;
    bool identityCombine = false;
    // Bilinear spans whose texel row does not change along x, sampled through blended columns.
    bool rowSampled = false;
    const uint32_t* table = nullptr;
    uint32_t constantSource = 0;
    bool destAlpha = false;
    BlendKind kind = BlendKind::Copy;
    TestKind test = TestKind::None;
    BlockWriter writer = nullptr;  // the wide span writer of the fast paths, if any

    // The covered columns of row py (rows are visited in order); false when there are none.
    bool span(int64_t py, int64_t& left, int64_t& right) {
        left = xMinFixed;
        right = xMaxFixed;
        for (; nextRow <= py; ++nextRow) {
            const bool current = nextRow == py;
            for (int k = 0; k < edgeCount; ++k) {
                Edge& e = edges[k];
                if (current) {
                    if (e.bindsLeft) {
                        left = std::max(left, -e.q);
                    } else {
                        right = std::min(right, e.q);
                    }
                }
                e.q += e.stepQ;
                e.r += e.stepR;
                if (e.r >= e.d) {
                    e.r -= e.d;
                    ++e.q;
                }
            }
        }
        return py >= yMin && py <= yMax && left <= right;
    }

    uint32_t colorAt(double px, double py) const {
        uint32_t out = 0;
        for (int k = 0; k < 4; ++k) {
            const int64_t value = roundToInt(pc[k].c + pc[k].dx * px + pc[k].dy * py);
            out |= uint32_t(std::clamp<int64_t>(value, 0, 255)) << (8 * k);
        }
        return out;
    }
    uint32_t combineTexel(uint32_t texel, double px, double py) const {
        if (table != nullptr) {
            return table[texel & 0xFFu] | table[256 + ((texel >> 8) & 0xFFu)] | table[512 + ((texel >> 16) & 0xFFu)] |
                   table[768 + (texel >> 24)];
        }
        return combine(*s, texel, constantColor ? flatColor : colorAt(px, py));
    }
    // The texel-space position of pixel `left` of row py, in 1/256 texel.
    void texelAt(int64_t py, int64_t left, int64_t& tu, int64_t& tv) const {
        if (exactTexel) {
            tu = tuBase + 256 * left;
            tv = tvBase + 256 * py;
            return;
        }
        const double dpy = double(py);
        tu = roundToInt(pu.c + pu.dy * dpy + pu.dx * double(left));
        tv = roundToInt(pv.c + pv.dy * dpy + pv.dx * double(left));
    }
    // Whether the direct path serves a span starting at that texel position.
    bool directAt(int64_t tu, int64_t tv) const {
        return direct && (!linear || ((tu & 0xFF) == 0 && (tv & 0xFF) == 0));
    }
    // Two triangles whose pixels come out of the same formulas, so that a row's two adjacent
    // spans can be drawn as one.
    bool sameShading(const Triangle& o) const {
        if (!constantColor || !o.constantColor || flatColor != o.flatColor || tex != o.tex) {
            return false;
        }
        if (tex == nullptr) {
            return true;
        }
        auto same = [](const Plane& x, const Plane& y) { return x.dx == y.dx && x.dy == y.dy && x.c == y.c; };
        return direct && o.direct && linear == o.linear && same(pu, o.pu) && same(pv, o.pv);
    }
};

bool Rasterizer::setUp(const PipelineState& s, const RasterVertex& a, const RasterVertex& b, const RasterVertex& c,
                       Triangle& t) {
    if (s.target == nullptr || s.clip.left >= s.clip.right || s.clip.top >= s.clip.bottom) {
        return false;
    }
    t.s = &s;
    const RasterVertex* v[3] = {&a, &b, &c};
    int64_t X[3];
    int64_t Y[3];
    for (int i = 0; i < 3; ++i) {
        if (!std::isfinite(v[i]->x) || !std::isfinite(v[i]->y) || std::fabs(v[i]->x) > kCoordinateLimit ||
            std::fabs(v[i]->y) > kCoordinateLimit) {
            return false;
        }
        X[i] = roundToInt(v[i]->x * 256.0);
        Y[i] = roundToInt(v[i]->y * 256.0);
    }
    int64_t area = (X[1] - X[0]) * (Y[2] - Y[0]) - (X[2] - X[0]) * (Y[1] - Y[0]);
    if (area == 0) {
        return false;
    }
    // Positive area is clockwise on the screen (y points down).
    if ((s.cullMode == kCullClockwise && area > 0) || (s.cullMode == kCullCounterClockwise && area < 0)) {
        return false;
    }
    if (area < 0) {  // make the winding clockwise; vertex 0 (flat shading's colour) stays first
        std::swap(v[1], v[2]);
        std::swap(X[1], X[2]);
        std::swap(Y[1], Y[2]);
        area = -area;
    }

    t.yMin = std::max<int64_t>(ceilDiv(std::min({Y[0], Y[1], Y[2]}), 256), s.clip.top);
    t.yMax = std::min<int64_t>(floorDiv(std::max({Y[0], Y[1], Y[2]}), 256), s.clip.bottom - 1);
    t.xMinFixed = std::max<int64_t>(ceilDiv(std::min({X[0], X[1], X[2]}), 256), s.clip.left);
    t.xMaxFixed = std::min<int64_t>(floorDiv(std::max({X[0], X[1], X[2]}), 256), s.clip.right - 1);
    if (t.yMin > t.yMax || t.xMinFixed > t.xMaxFixed) {
        return false;
    }

    // Edge i -> j covers the centre (px, py) when B - A' * px >= bias, with
    // B = dx * (py * 256 - ys) + dy * xs and A' = dy * 256 (top-left rule in the bias). Vertical
    // and horizontal edges bound every row or every column alike and are resolved here.
    struct Sloped {
        int64_t dx, dy, xs, ys, bias;
    } sloped[3];
    int slopedCount = 0;
    for (int i = 0; i < 3; ++i) {
        const int j = (i + 1) % 3;
        const int64_t dx = X[j] - X[i];
        const int64_t dy = Y[j] - Y[i];
        const bool topLeft = (dy == 0 && dx > 0) || dy < 0;
        const int64_t bias = topLeft ? 0 : 1;
        if (dx == 0) {
            const int64_t A = -dy * 256;
            const int64_t B = dy * X[i];
            if (A > 0) {
                t.xMinFixed = std::max(t.xMinFixed, ceilDiv(bias - B, A));
            } else {
                t.xMaxFixed = std::min(t.xMaxFixed, floorDiv(B - bias, -A));
            }
        } else if (dy == 0) {
            // dx * (py * 256 - ys) >= bias: below a top edge, above a bottom edge.
            if (dx > 0) {
                t.yMin = std::max(t.yMin, ceilDiv(Y[i], 256));
            } else {
                t.yMax = std::min(t.yMax, floorDiv(Y[i] - 1, 256));
            }
        } else {
            sloped[slopedCount++] = Sloped{dx, dy, X[i], Y[i], bias};
        }
    }
    if (t.yMin > t.yMax || t.xMinFixed > t.xMaxFixed) {
        return false;
    }
    t.edgeCount = 0;
    t.nextRow = t.yMin;
    for (int k = 0; k < slopedCount; ++k) {
        const Sloped& e = sloped[k];
        Triangle::Edge& out = t.edges[t.edgeCount++];
        out.bindsLeft = e.dy < 0;
        out.d = (e.dy < 0 ? -e.dy : e.dy) * 256;
        const int64_t m = e.dx * (t.yMin * 256 - e.ys) + e.dy * e.xs - e.bias;
        out.q = floorDiv(m, out.d);
        out.r = m - out.q * out.d;
        out.stepQ = floorDiv(e.dx * 256, out.d);
        out.stepR = e.dx * 256 - out.stepQ * out.d;
    }

    // Attribute planes over the snapped positions.
    double xs[3], ys[3];
    for (int i = 0; i < 3; ++i) {
        xs[i] = double(X[i]) / 256.0;
        ys[i] = double(Y[i]) / 256.0;
    }
    const double det = double(area) / 65536.0;

    t.tex = (s.texture != nullptr && usesTexture(s)) ? s.texture : nullptr;
    t.linear = false;
    if (t.tex != nullptr) {
        double tu[3], tv[3];
        for (int i = 0; i < 3; ++i) {
            tu[i] = v[i]->u * t.tex->width * 256.0 - 128.0;
            tv[i] = v[i]->v * t.tex->height * 256.0 - 128.0;
        }
        t.pu = makePlane(xs, ys, tu, det);
        t.pv = makePlane(xs, ys, tv, det);
        const double texelsPerPixel = std::fabs(t.pu.dx * t.pv.dy - t.pu.dy * t.pv.dx) / 65536.0;
        const uint32_t filter = texelsPerPixel > 1.0 ? s.minFilter : s.magFilter;
        t.linear = filter == kFilterLinear || filter == kFilterAnisotropic;
    }

    t.constantColor = s.flatShading || (v[0]->color == v[1]->color && v[0]->color == v[2]->color);
    t.flatColor = s.flatShading ? a.color : v[0]->color;
    if (!t.constantColor) {
        for (int k = 0; k < 4; ++k) {
            double ch[3];
            for (int i = 0; i < 3; ++i) {
                ch[i] = double(channel(v[i]->color, 8 * k));
            }
            t.pc[k] = makePlane(xs, ys, ch, det);
        }
    }

    // The fast paths (all off when directEnabled_ is false): texels straight from the texture row
    // when texel centres land on pixel centres, a table for the stage with a constant diffuse
    // colour, and the wide span writer.
    t.direct = directEnabled_ && t.tex != nullptr && t.constantColor && t.pu.dx == 256.0 && t.pu.dy == 0.0 &&
               t.pv.dx == 0.0 && t.pv.dy == 256.0;
    // A multiple of 2^-20 below 2^30 plus 256 times a coordinate of the clip stays within the 53
    // bits of a double, so the sums in texelAt are exact and floor(c + 256 k + 0.5) is
    // floor(c + 0.5) + 256 k.
    auto shortFraction = [](double x) {
        const double scaled = x * 1048576.0;
        return std::fabs(x) < 1073741824.0 && double(int64_t(scaled)) == scaled;
    };
    t.exactTexel = t.direct && shortFraction(t.pu.c) && shortFraction(t.pv.c);
    if (t.exactTexel) {
        t.tuBase = roundToInt(t.pu.c);
        t.tvBase = roundToInt(t.pv.c);
    }
    t.identityCombine = t.constantColor && combine(s, 0x80402010u, t.flatColor) == 0x80402010u &&
                        combine(s, 0x10204080u, t.flatColor) == 0x10204080u;
    t.table = directEnabled_ && t.tex != nullptr && t.constantColor && !t.identityCombine ? combineTable(s, t.flatColor)
                                                                                          : nullptr;
    t.rowSampled = directEnabled_ && t.tex != nullptr && t.linear && t.constantColor && t.pv.dx == 0.0 &&
                   std::isfinite(t.pu.dx) && std::isfinite(t.pu.dy) && std::isfinite(t.pu.c) &&
                   std::isfinite(t.pv.dy) && std::isfinite(t.pv.c);
    t.constantSource = combine(s, kWhite, t.flatColor);
    t.destAlpha = s.target->hasAlpha();
    t.kind = blendKind(s);
    t.test = testKind(s);
    t.writer = directEnabled_ ? blockWriterFor(t.kind, t.test, wideLevel_) : nullptr;
    return true;
}

void Rasterizer::writeSpan(const Triangle& t, const uint32_t* src, uint32_t srcOr, uint32_t* dst, int32_t n) {
    if (directEnabled_) {
        writeSpanFast(*t.s, t.writer, src, srcOr, dst, n, t.destAlpha);
    } else {
        writeSpanFor(*t.s, src, srcOr, dst, n, t.destAlpha);
    }
}

uint32_t* Rasterizer::spanBuffer(size_t n) {
    if (span_.size() < n) {
        span_.resize(n);
    }
    spanConstantCount_ = 0;
    return span_.data();
}

namespace {

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

#ifdef ORVEX_GPU_AVX2_SPANS
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

bool Rasterizer::sampleRowSpan(const Triangle& t, int64_t py, int64_t left, int32_t n, uint32_t* out) {
    const PixelImage& tex = *t.tex;
    const double dpy = double(py);
    const double rowU = t.pu.c + t.pu.dy * dpy;
    const double rowV = t.pv.c + t.pv.dy * dpy;
    const double dx = t.pu.dx;
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
#ifdef ORVEX_GPU_AVX2_SPANS
    const bool wide = hasAvx2();
#endif

    // Each column of the range blended once (an enlarged texture reuses them across pixels), in
    // runs that wrap at the texture's right edge.
    if (columns_.size() < size_t(4 * count)) {
        columns_.resize(size_t(4 * count));
    }
    uint32_t* columns = columns_.data();
    uint32_t x = wrapIndex(kMin, tex.width);
    for (int64_t k = 0; k < count;) {
        const int32_t run = int32_t(std::min<int64_t>(count - k, tex.width - x));
#ifdef ORVEX_GPU_AVX2_SPANS
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
#ifdef ORVEX_GPU_AVX2_SPANS
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

void Rasterizer::drawSpan(const Triangle& t, int64_t py, int64_t left, int64_t right) {
    const PipelineState& s = *t.s;
    const int32_t n = int32_t(right - left + 1);
    uint32_t* dst = s.target->row(uint32_t(py)) + left;
    const double dpy = double(py);
    if (t.tex == nullptr && t.constantColor) {
        // The same colour span after span: fill the buffer only when it grows or changes.
        if (spanConstantCount_ < size_t(n) || spanConstant_ != t.constantSource) {
            uint32_t* fill = spanBuffer(size_t(n));
            std::fill(fill, fill + n, t.constantSource);
            spanConstant_ = t.constantSource;
            spanConstantCount_ = size_t(n);
        }
        writeSpan(t, span_.data(), 0, dst, n);
        return;
    }
    uint32_t* src = spanBuffer(size_t(n));
    if (t.tex == nullptr) {
        {
            for (int32_t i = 0; i < n; ++i) {
                src[i] = combine(s, kWhite, t.colorAt(double(left + i), dpy));
            }
        }
        writeSpan(t, src, 0, dst, n);
        return;
    }
    const PixelImage& tex = *t.tex;
    if (t.direct) {
        int64_t tu0, tv0;
        t.texelAt(py, left, tu0, tv0);
        if (t.directAt(tu0, tv0)) {
            // Texel centres land on pixel centres: the texels are the samples.
            const int64_t column = t.linear ? tu0 >> 8 : (tu0 + 128) >> 8;
            const uint32_t texRow = wrapIndex(t.linear ? tv0 >> 8 : (tv0 + 128) >> 8, tex.height);
            const uint32_t* texels = tex.row(texRow);
            const uint32_t alphaFill = tex.hasAlpha() ? 0u : 0xFF000000u;
            uint32_t x = wrapIndex(column, tex.width);
            int32_t i = 0;
            while (i < n) {
                const int32_t run = std::min<int32_t>(n - i, int32_t(tex.width - x));
                if (t.identityCombine) {
                    writeSpan(t, texels + x, alphaFill, dst + i, run);
                } else {
                    for (int32_t k = 0; k < run; ++k) {
                        src[i + k] = t.combineTexel(texels[x + k] | alphaFill, 0, 0);
                    }
                }
                i += run;
                x = 0;
            }
            if (!t.identityCombine) {
                writeSpan(t, src, 0, dst, n);
            }
            ++directSpans_;
            return;
        }
    }
    if (t.rowSampled && sampleRowSpan(t, py, left, n, src)) {
        if (!t.identityCombine) {
            for (int32_t i = 0; i < n; ++i) {
                src[i] = t.combineTexel(src[i], 0, 0);
            }
        }
        writeSpan(t, src, 0, dst, n);
        ++directSpans_;
        return;
    }
    const double rowU = t.pu.c + t.pu.dy * dpy;
    const double rowV = t.pv.c + t.pv.dy * dpy;
    for (int32_t i = 0; i < n; ++i) {
        const double px = double(left + i);
        const int64_t tu = roundToInt(rowU + t.pu.dx * px);
        const int64_t tv = roundToInt(rowV + t.pv.dx * px);
        const uint32_t texel = t.linear ? sampleLinear(tex, tu, tv) : samplePoint(tex, tu, tv);
        src[i] = t.combineTexel(texel, px, dpy);
    }
    writeSpan(t, src, 0, dst, n);
}

void Rasterizer::drawRectangle(const Triangle& t, int64_t left, int64_t right, int64_t top, int64_t bottom) {
    if (t.tex == nullptr || !t.identityCombine || t.writer == nullptr) {
        for (int64_t py = top; py <= bottom; ++py) {
            drawSpan(t, py, left, right);
        }
        return;
    }
    // Texel rows straight into the wide writer: the rectangle's first texel is worked out once,
    // then each row is the next texel row (wrapping) from the same column.
    const PixelImage& tex = *t.tex;
    const int64_t tu = t.tuBase + 256 * left;
    const int64_t tv = t.tvBase + 256 * top;
    const uint32_t column = wrapIndex(t.linear ? tu >> 8 : (tu + 128) >> 8, tex.width);
    uint32_t texRow = wrapIndex(t.linear ? tv >> 8 : (tv + 128) >> 8, tex.height);
    const uint32_t alphaFill = tex.hasAlpha() ? 0u : 0xFF000000u;
    const int32_t n = int32_t(right - left + 1);
    const bool wraps = int64_t(n) > int64_t(tex.width - column);
    const uint32_t keepMask = t.destAlpha ? 0u : 0xFF000000u;
    const uint32_t ref = t.s->alphaRef & 0xFFu;
    const size_t targetWidth = t.s->target->width;
    uint32_t* dst = t.s->target->row(uint32_t(top)) + left;
    for (int64_t py = top; py <= bottom; ++py, dst += targetWidth) {
        const uint32_t* texels = tex.row(texRow);
        if (!wraps) {
            // The wide writers write every pixel they are given.
            t.writer(texels + column, alphaFill, dst, n, keepMask, ref);
        } else {
            uint32_t x = column;
            for (int32_t i = 0; i < n;) {
                const int32_t run = std::min<int32_t>(n - i, int32_t(tex.width - x));
                writeSpanFast(*t.s, t.writer, texels + x, alphaFill, dst + i, run, t.destAlpha);
                i += run;
                x = 0;
            }
        }
        texRow = texRow + 1 == tex.height ? 0 : texRow + 1;
    }
    directSpans_ += uint64_t(bottom - top + 1);
}

void Rasterizer::drawRows(Triangle& t) {
    int64_t left, right;
    for (int64_t py = t.yMin; py <= t.yMax; ++py) {
        if (t.span(py, left, right)) {
            drawSpan(t, py, left, right);
        }
    }
}

void Rasterizer::drawTriangle(const PipelineState& s, const RasterVertex& a, const RasterVertex& b,
                              const RasterVertex& c) {
    Triangle t;
    if (setUp(s, a, b, c, t)) {
        drawRows(t);
    }
}

void Rasterizer::drawQuad(const PipelineState& s, const RasterVertex& a, const RasterVertex& b, const RasterVertex& c,
                          const RasterVertex& d) {
    Triangle first, second;
    const bool hasFirst = setUp(s, a, b, c, first);
    const bool hasSecond = setUp(s, a, c, d, second);
    if (!hasFirst || !hasSecond || !directEnabled_ || !first.sameShading(second)) {
        if (hasFirst) {
            drawRows(first);
        }
        if (hasSecond) {
            drawRows(second);
        }
        return;
    }
    // An axis-aligned rectangle whose pixels all take the same path (a constant colour, or texel
    // positions that are exact and, bilinear, on texel centres). Its diagonal gives each pixel
    // centre to exactly one of the two triangles (the edge functions of the diagonal in the two
    // are exact negatives, and the top-left rule counts the zero on one side only), so the
    // pixels drawn are the rectangle's own under the top-left rule: from the left and top sides
    // inclusive to the right and bottom sides exclusive, within the clip.
    if (first.tex == nullptr || (first.exactTexel && first.directAt(first.tuBase, first.tvBase))) {
        const RasterVertex* v[4] = {&a, &b, &c, &d};
        int64_t X[4], Y[4];
        for (int i = 0; i < 4; ++i) {
            X[i] = roundToInt(v[i]->x * 256.0);
            Y[i] = roundToInt(v[i]->y * 256.0);
        }
        const bool rectangle = (Y[0] == Y[1] && X[1] == X[2] && Y[2] == Y[3] && X[3] == X[0]) ||
                               (X[0] == X[1] && Y[1] == Y[2] && X[2] == X[3] && Y[3] == Y[0]);
        if (rectangle) {
            const int64_t left = std::max<int64_t>(ceilDiv(std::min(X[0], X[2]), 256), s.clip.left);
            const int64_t right = std::min<int64_t>(ceilDiv(std::max(X[0], X[2]), 256) - 1, s.clip.right - 1);
            const int64_t top = std::max<int64_t>(ceilDiv(std::min(Y[0], Y[2]), 256), s.clip.top);
            const int64_t bottom = std::min<int64_t>(ceilDiv(std::max(Y[0], Y[2]), 256) - 1, s.clip.bottom - 1);
            if (left <= right && top <= bottom) {
                drawRectangle(first, left, right, top, bottom);
            }
            return;
        }
    }
    // Row by row, the first triangle's span before the second's: pixels of different rows do not
    // interact, so this is the order of drawing one triangle after the other. Two spans that meet
    // and map to the same texels in the same way are one span.
    int64_t l1, r1, l2, r2;
    for (int64_t py = std::min(first.yMin, second.yMin); py <= std::max(first.yMax, second.yMax); ++py) {
        const bool in1 = first.span(py, l1, r1);
        const bool in2 = second.span(py, l2, r2);
        if (in1 && in2 && (r1 + 1 == l2 || r2 + 1 == l1)) {
            bool joined = first.tex == nullptr;
            if (!joined) {
                int64_t tu1, tv1, tu2, tv2;
                first.texelAt(py, l1, tu1, tv1);
                second.texelAt(py, l2, tu2, tv2);
                joined =
                    first.directAt(tu1, tv1) && second.directAt(tu2, tv2) && tv1 == tv2 && tu2 - tu1 == (l2 - l1) * 256;
            }
            if (joined) {
                drawSpan(first, py, std::min(l1, l2), std::max(r1, r2));
                continue;
            }
        }
        if (in1) {
            drawSpan(first, py, l1, r1);
        }
        if (in2) {
            drawSpan(second, py, l2, r2);
        }
    }
}

}  // namespace Platform::Gpu
