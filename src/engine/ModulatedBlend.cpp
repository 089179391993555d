#include "engine/ModulatedBlend.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#define ALWAYS_INLINE inline __attribute__((always_inline))
#endif
// Processors with AVX2 blend eight pixels at a time, chosen when the program runs.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define VELKARO_AVX2 1
#define AVX2_FUNCTION __attribute__((target("avx2")))
#endif

namespace {
// t div 255 for 0 <= t <= 255 * 255, without a division; the sum stays below 2^16, so it also
// holds in 16-bit lanes.
constexpr uint32_t Div255(uint32_t t) {
    return (t + 1 + (t >> 8)) >> 8;
}

#if defined(__SSE2__)
// Lanes hold two pixels widened to 16 bits: B, G, R, A, B, G, R, A.
// As (t + 1) * 257 div 2^16 (see Div255x16 below).
ALWAYS_INLINE __m128i Div255x8(__m128i t) {
    return _mm_mulhi_epu16(_mm_add_epi16(t, _mm_set1_epi16(1)), _mm_set1_epi16(257));
}

ALWAYS_INLINE __m128i AlphaInEveryLane(__m128i v) {
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, _MM_SHUFFLE(3, 3, 3, 3)),
                               _MM_SHUFFLE(3, 3, 3, 3));
}

ALWAYS_INLINE __m128i PreparePair(__m128i s, __m128i modulation) {
    // c' per colour lane and a' in the alpha lane.
    const __m128i c = Div255x8(_mm_mullo_epi16(s, modulation));
    // Colour lanes are premultiplied by a'; the alpha lane is multiplied by 255, which keeps a'.
    const __m128i colour = _mm_set_epi16(0, -1, -1, -1, 0, -1, -1, -1);
    const __m128i alphaOne = _mm_set_epi16(255, 0, 0, 0, 255, 0, 0, 0);
    const __m128i factor = _mm_or_si128(_mm_and_si128(AlphaInEveryLane(c), colour), alphaOne);
    return Div255x8(_mm_mullo_epi16(c, factor));
}

ALWAYS_INLINE __m128i BlendPair(__m128i p, __m128i d) {
    const __m128i inverse = _mm_sub_epi16(_mm_set1_epi16(255), AlphaInEveryLane(p));
    return _mm_add_epi16(p, Div255x8(_mm_mullo_epi16(inverse, d)));
}
#endif

#if defined(VELKARO_AVX2)
// The same sums as above on four pixels widened to 16 bits: two in each 128-bit half.
// t div 255 = (t + 1) * 257 div 2^16 for t up to 255 * 255: with t = 255k + r (r < 255) the
// product is 2^16 k + 257 (r + 1) - k, and 0 < 257 (r + 1) - k < 2^16 for k <= 255.
AVX2_FUNCTION inline __m256i Div255x16(__m256i t) {
    return _mm256_mulhi_epu16(_mm256_add_epi16(t, _mm256_set1_epi16(1)), _mm256_set1_epi16(257));
}

AVX2_FUNCTION inline __m256i AlphaInEveryLane4(__m256i v) {
    return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(v, _MM_SHUFFLE(3, 3, 3, 3)),
                                  _MM_SHUFFLE(3, 3, 3, 3));
}

AVX2_FUNCTION inline __m256i PrepareQuad(__m256i s, __m256i modulation) {
    const __m256i c = Div255x16(_mm256_mullo_epi16(s, modulation));
    const __m256i colour =
        _mm256_set_epi16(0, -1, -1, -1, 0, -1, -1, -1, 0, -1, -1, -1, 0, -1, -1, -1);
    const __m256i alphaOne =
        _mm256_set_epi16(255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0);
    const __m256i factor =
        _mm256_or_si256(_mm256_and_si256(AlphaInEveryLane4(c), colour), alphaOne);
    return Div255x16(_mm256_mullo_epi16(c, factor));
}

AVX2_FUNCTION inline __m256i BlendQuad(__m256i p, __m256i d) {
    const __m256i inverse = _mm256_sub_epi16(_mm256_set1_epi16(255), AlphaInEveryLane4(p));
    return _mm256_add_epi16(p, Div255x16(_mm256_mullo_epi16(inverse, d)));
}

// Eight prepared pixels over eight of dst, as BlendPreparedRow does four.
AVX2_FUNCTION inline void BlendEight(__m256i p, uint32_t* dst, __m256i keep) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i alphaBits = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    const __m256i alpha = _mm256_and_si256(p, alphaBits);
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(alpha, zero)) == -1) return;
    auto* target = reinterpret_cast<__m256i*>(dst);
    const __m256i d = _mm256_loadu_si256(target);
    const __m256i alpha254 = _mm256_set1_epi32(static_cast<int>(0xFE000000u));
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(alpha, alpha254)) == -1) {
        const __m256i full = _mm256_cmpeq_epi8(d, _mm256_set1_epi8(-1));
        _mm256_storeu_si256(target, _mm256_and_si256(_mm256_sub_epi8(p, full), keep));
        return;
    }
    const __m256i lo = BlendQuad(_mm256_unpacklo_epi8(p, zero), _mm256_unpacklo_epi8(d, zero));
    const __m256i hi = BlendQuad(_mm256_unpackhi_epi8(p, zero), _mm256_unpackhi_epi8(d, zero));
    _mm256_storeu_si256(target, _mm256_and_si256(_mm256_packus_epi16(lo, hi), keep));
}

// The whole eights of count; returns how many pixels it did.
AVX2_FUNCTION int32_t BlendModulatedEights(const uint32_t* src, uint32_t* dst, int32_t count,
                                           uint32_t modulation, bool targetAlpha) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i m8 = _mm256_set1_epi32(static_cast<int>(modulation));
    const __m256i m = _mm256_unpacklo_epi8(m8, zero);
    const __m256i alphaBits = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    const __m256i keep = _mm256_set1_epi32(targetAlpha ? -1 : 0x00FFFFFF);
    int32_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        // Clear texels stay clear whatever the colour.
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_and_si256(s, alphaBits), zero)) == -1)
            continue;
        const __m256i lo = PrepareQuad(_mm256_unpacklo_epi8(s, zero), m);
        const __m256i hi = PrepareQuad(_mm256_unpackhi_epi8(s, zero), m);
        BlendEight(_mm256_packus_epi16(lo, hi), dst + i, keep);
    }
    return i;
}

AVX2_FUNCTION int32_t BlendPreparedEights(const uint32_t* prepared, uint32_t* dst, int32_t count,
                                          bool targetAlpha) {
    const __m256i keep = _mm256_set1_epi32(targetAlpha ? -1 : 0x00FFFFFF);
    int32_t i = 0;
    for (; i + 8 <= count; i += 8)
        BlendEight(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(prepared + i)), dst + i,
                   keep);
    return i;
}

bool HasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}
#endif
}  // namespace

uint32_t PrepareModulated(uint32_t texel, uint32_t modulation) {
    const uint32_t a = Div255((texel >> 24) * (modulation >> 24));
    uint32_t out = a << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t s = (texel >> shift) & 0xFFu, m = (modulation >> shift) & 0xFFu;
        out |= Div255(Div255(s * m) * a) << shift;
    }
    return out;
}

void PrepareModulatedRow(const uint32_t* src, uint32_t* out, int32_t count, uint32_t modulation) {
    int32_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i m8 = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(modulation)), zero);
    const __m128i m = _mm_unpacklo_epi64(m8, m8);
    for (; i + 4 <= count; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i lo = PreparePair(_mm_unpacklo_epi8(s, zero), m);
        const __m128i hi = PreparePair(_mm_unpackhi_epi8(s, zero), m);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(lo, hi));
    }
#endif
    for (; i < count; ++i) out[i] = PrepareModulated(src[i], modulation);
}

void BlendPreparedRow(const uint32_t* prepared, uint32_t* dst, int32_t count, bool targetAlpha) {
    int32_t i = 0;
#if defined(VELKARO_AVX2)
    if (HasAvx2()) i = BlendPreparedEights(prepared, dst, count, targetAlpha);
#endif
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i alphaBits = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i alpha254 = _mm_set1_epi32(static_cast<int>(0xFE000000u));
    const __m128i keep = _mm_set1_epi32(targetAlpha ? -1 : 0x00FFFFFF);
    for (; i + 4 <= count; i += 4) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(prepared + i));
        // Four clear texels change nothing: common around turned pictures.
        const __m128i clear = _mm_cmpeq_epi32(_mm_and_si128(p, alphaBits), zero);
        if (_mm_movemask_epi8(clear) == 0xFFFF) continue;
        auto* target = reinterpret_cast<__m128i*>(dst + i);
        const __m128i d = _mm_loadu_si128(target);
        // Opaque texels under the usual tint have a' = 254, and then (255 - a') * d div 255 is
        // 1 where d is 255 and 0 elsewhere: a byte compare does it.
        const __m128i nearlyOpaque = _mm_cmpeq_epi32(_mm_and_si128(p, alphaBits), alpha254);
        if (_mm_movemask_epi8(nearlyOpaque) == 0xFFFF) {
            const __m128i full = _mm_cmpeq_epi8(d, _mm_set1_epi8(-1));
            _mm_storeu_si128(target, _mm_and_si128(_mm_sub_epi8(p, full), keep));
            continue;
        }
        const __m128i lo = BlendPair(_mm_unpacklo_epi8(p, zero), _mm_unpacklo_epi8(d, zero));
        const __m128i hi = BlendPair(_mm_unpackhi_epi8(p, zero), _mm_unpackhi_epi8(d, zero));
        _mm_storeu_si128(target, _mm_and_si128(_mm_packus_epi16(lo, hi), keep));
    }
#endif
    for (; i < count; ++i) {
        const uint32_t p = prepared[i], a = p >> 24;
        if (a == 0) continue;
        const uint32_t d = dst[i];
        uint32_t out = 0;
        for (int shift = 0; shift < 32; shift += 8)
            out |= (((p >> shift) & 0xFFu) + Div255((255 - a) * ((d >> shift) & 0xFFu))) << shift;
        dst[i] = targetAlpha ? out : out & 0x00FFFFFFu;
    }
}

void BlendModulatedRow(const uint32_t* src, uint32_t* dst, int32_t count, uint32_t modulation,
                       bool targetAlpha) {
    int32_t done = 0;
#if defined(VELKARO_AVX2)
    // Both steps in one pass, eight pixels at a time; the rest below.
    if (HasAvx2()) done = BlendModulatedEights(src, dst, count, modulation, targetAlpha);
#endif
    // In pieces that stay in the first-level cache.
    uint32_t prepared[256];
    while (done < count) {
        const int32_t n = std::min<int32_t>(count - done, 256);
        PrepareModulatedRow(src + done, prepared, n, modulation);
        BlendPreparedRow(prepared, dst + done, n, targetAlpha);
        done += n;
    }
}

uint32_t BlendModulatedPixel(uint32_t src, uint32_t dst, uint32_t modulation, bool targetAlpha) {
    const uint32_t a = Div255((src >> 24) * (modulation >> 24));
    const uint32_t inv = 255 - a;
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t s = (src >> shift) & 0xFFu, m = (modulation >> shift) & 0xFFu;
        const uint32_t d = (dst >> shift) & 0xFFu;
        out |= (Div255(Div255(s * m) * a) + Div255(inv * d)) << shift;
    }
    if (targetAlpha) out |= (a + Div255(inv * (dst >> 24))) << 24;
    return out;
}

const uint32_t* TPreparedTexels::For(const uint32_t* raw, size_t count, uint32_t color,
                                     int64_t frame) {
    LastUse = frame;
    const bool again = Seen && LastColor == color;
    Seen = true;
    LastColor = color;
    if (raw == nullptr) return nullptr;
    if (Valid && PreparedColor == color && Texels.size() == count) return Texels.data();
    if (!again) return nullptr;
    Texels.resize(count);
    PrepareModulatedRow(raw, Texels.data(), static_cast<int32_t>(count), color);
    PreparedColor = color;
    Valid = true;
    return Texels.data();
}

void TPreparedTexels::Clear() {
    Texels.clear();
    Texels.shrink_to_fit();
    Valid = Seen = false;
}
