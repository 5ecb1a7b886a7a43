#include "raster/cell_compare.h"

#include <initializer_list>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define HEATPLATE_X86_VECTORS 1
#endif

namespace heatplate {
namespace {

std::uint64_t differing_plain(const Colour* a, const Colour* b) {
    std::uint64_t bits = 0;
    for (std::size_t k = 0; k < kCompareBlock; ++k) {
        bits |= static_cast<std::uint64_t>(a[k] != b[k]) << k;
    }
    return bits;
}

#if defined(HEATPLATE_X86_VECTORS)

std::uint64_t differing_128(const Colour* a, const Colour* b) {
    std::uint64_t same = 0;
    for (std::size_t k = 0; k < kCompareBlock; k += 4) {
        const __m128i eq =
            _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a + k)),
                            _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + k)));
        same |= static_cast<std::uint64_t>(_mm_movemask_ps(_mm_castsi128_ps(eq))) << k;
    }
    return ~same;
}

__attribute__((target("avx2"))) std::uint64_t differing_256(const Colour* a, const Colour* b) {
    std::uint64_t same = 0;
    for (std::size_t k = 0; k < kCompareBlock; k += 8) {
        const __m256i eq =
            _mm256_cmpeq_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + k)),
                               _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + k)));
        same |= static_cast<std::uint64_t>(_mm256_movemask_ps(_mm256_castsi256_ps(eq))) << k;
    }
    return ~same;
}

__attribute__((target("avx512f"))) std::uint64_t differing_512(const Colour* a, const Colour* b) {
    std::uint64_t bits = 0;
    for (std::size_t k = 0; k < kCompareBlock; k += 16) {
        const __mmask16 differ =
            _mm512_cmpneq_epi32_mask(_mm512_loadu_si512(a + k), _mm512_loadu_si512(b + k));
        bits |= static_cast<std::uint64_t>(differ) << k;
    }
    return bits;
}

#endif

CompareWidth find_widest() {
    for (const CompareWidth width :
         {CompareWidth::Bits512, CompareWidth::Bits256, CompareWidth::Bits128}) {
        if (can_compare_with(width)) {
            return width;
        }
    }
    return CompareWidth::Plain;
}

const CompareWidth kWidest = find_widest();

}  // namespace

CompareWidth widest_compare() {
    return kWidest;
}

bool can_compare_with(CompareWidth width) {
    switch (width) {
        case CompareWidth::Plain:
            return true;
#if defined(HEATPLATE_X86_VECTORS)
        case CompareWidth::Bits128:
            return true;
        case CompareWidth::Bits256:
            return __builtin_cpu_supports("avx2");
        case CompareWidth::Bits512:
            return __builtin_cpu_supports("avx512f");
#else
        default:
            return false;
#endif
    }
    return false;
}

std::uint64_t differing_cells(const Colour* a, const Colour* b, CompareWidth width) {
    switch (width) {
#if defined(HEATPLATE_X86_VECTORS)
        case CompareWidth::Bits128:
            return differing_128(a, b);
        case CompareWidth::Bits256:
            return differing_256(a, b);
        case CompareWidth::Bits512:
            return differing_512(a, b);
#endif
        default:
            return differing_plain(a, b);
    }
}

}  // namespace heatplate
