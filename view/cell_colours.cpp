#include "view/cell_colours.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <cstring>
#include <initializer_list>

#include "model/grid.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define HEATPLATE_X86_VECTORS 1
#endif

namespace heatplate {
namespace {

// Adding and taking away 1.5 * 2^52 rounds any value of magnitude below 2^51
// to a whole number, halves to the even neighbour, in the default rounding
// mode; unlike nearbyint it is two additions that run on several cells at a
// time.
constexpr double kRoundToEven = 6755399441055744.0;

double round_to_even(double v) {
    return (v + kRoundToEven) - kRoundToEven;
}

double cell_mean(const double* left, const double* right, int j) {
    return (((right[j] + right[j - 1]) + left[j - 1]) + left[j]) / 4;
}

Colour colour_of(std::int16_t index, const Colour* palette) {
    return index > 0 ? palette[index] : kNoColour;
}

// The index of a cell whose mean lies in [Tmin, Tmax]: 255 times the
// quotient, rounded halves to even. Within the range it lies in 0..255,
// except that a zero Trange makes it 0/0: such a cell sits at Tmin, and a
// cell at Tmin is never painted, so it gets index 0. The bounds also keep a
// state with inconsistent Tmin, Tmax and Trange within the palette.
std::int16_t exact_index(double Tcell, double Tmin, double Trange) {
    double v = 255 * ((Tcell - Tmin) / Trange);
    v = v >= 0 ? v : 0.0;
    v = v <= 255 ? v : 255.0;
    return static_cast<std::int16_t>(static_cast<std::int32_t>(round_to_even(v)));
}

// Marks a column that the quick way leaves to the exact way.
constexpr std::int16_t kRedo = -2;

// One field's cells for the quick ways.
struct QuickJob {
    const double* T;  // node column i starts at T + i * NodeArray::kExtent
    int Nx, Ny;
    double Tmin, Tmax, Trange, factor;
    const Colour* palette;
    bool line;  // the palette lies on a line: colour = line_base + index * line_step
    std::int32_t line_base, line_step;
    Colour* out;         // Nx * Ny colours
    std::int16_t* last;  // per column: the index of cell Ny, or kRedo

    const double* column(int i) const {
        return T + static_cast<std::ptrdiff_t>(i) * NodeArray::kExtent;
    }
    Colour* out_column(int i) const { return out + static_cast<std::ptrdiff_t>(i - 1) * Ny; }
};

#if defined(HEATPLATE_X86_VECTORS)

// The quick ways divide by nothing: the division by Trange, by far the
// slowest step, becomes a product with 255 / Trange. That estimate and the
// exact 255 * (d / Trange) each lie within two units in the last place of
// the true value, which is at most 255, so they differ by less than 2e-13
// and round to the same whole number unless they lie that close to a half.
// A column with an estimate within 1e-9 of a half, or with a cell outside
// [Tmin, Tmax], is left to the exact way; the rest, nearly always all of
// them, take several cells at a time without a branch. (x * 0.25 is the same
// number as x / 4.)
constexpr double kNearHalf = 0.5 - 1e-9;

// Colours from indices kept in a buffer, once the column has passed: for a
// palette that is not a line, and for the baseline's two-wide way.
template <typename Index>
void look_up(const QuickJob& job, const Index* indices, Colour* out) {
    for (int k = 0; k < job.Ny; ++k) {
        out[k] = colour_of(static_cast<std::int16_t>(indices[k]), job.palette);
    }
}

std::int16_t column_two_wide(const QuickJob& job, int i) {
    const double* left = job.column(i - 1);
    const double* right = job.column(i);
    const __m128d tmin = _mm_set1_pd(job.Tmin);
    const __m128d tmax = _mm_set1_pd(job.Tmax);
    const __m128d factor = _mm_set1_pd(job.factor);
    const __m128d quarter = _mm_set1_pd(0.25);
    const __m128d magic = _mm_set1_pd(kRoundToEven);
    const __m128d near_half = _mm_set1_pd(kNearHalf);
    const __m128d magnitude = _mm_castsi128_pd(_mm_set1_epi64x(0x7FFFFFFFFFFFFFFF));
    __m128d all_inside = _mm_castsi128_pd(_mm_set1_epi32(-1));
    __m128d any_near_half = _mm_setzero_pd();
    std::int16_t indices[kMaxIntervals];
    int j = 1;
    for (; j + 1 <= job.Ny; j += 2) {
        __m128d sum = _mm_add_pd(_mm_loadu_pd(right + j), _mm_loadu_pd(right + j - 1));
        sum = _mm_add_pd(sum, _mm_loadu_pd(left + j - 1));
        sum = _mm_add_pd(sum, _mm_loadu_pd(left + j));
        const __m128d Tcell = _mm_mul_pd(sum, quarter);
        all_inside = _mm_and_pd(all_inside,
                                _mm_and_pd(_mm_cmpge_pd(Tcell, tmin), _mm_cmple_pd(Tcell, tmax)));
        const __m128d v = _mm_mul_pd(_mm_sub_pd(Tcell, tmin), factor);
        const __m128d rounded = _mm_sub_pd(_mm_add_pd(v, magic), magic);
        const __m128d off = _mm_and_pd(_mm_sub_pd(v, rounded), magnitude);
        any_near_half = _mm_or_pd(any_near_half, _mm_cmpgt_pd(off, near_half));
        // Out-of-range lanes convert to a defined garbage value; their column
        // is redone anyway.
        const __m128i index = _mm_cvttpd_epi32(rounded);
        const std::int32_t two = _mm_cvtsi128_si32(_mm_packs_epi32(index, index));
        std::memcpy(indices + (j - 1), &two, sizeof two);
    }
    if (_mm_movemask_pd(all_inside) != 3 || _mm_movemask_pd(any_near_half) != 0) {
        return kRedo;
    }
    if (j == job.Ny) {
        const double Tcell = cell_mean(left, right, j);
        if (!(Tcell >= job.Tmin && Tcell <= job.Tmax)) {
            return kRedo;
        }
        indices[j - 1] = exact_index(Tcell, job.Tmin, job.Trange);
    }
    look_up(job, indices, job.out_column(i));
    return indices[job.Ny - 1];
}

void cells_two_wide(const QuickJob& job) {
    for (int i = 1; i <= job.Nx; ++i) {
        job.last[i - 1] = column_two_wide(job, i);
    }
}

// Four cells at a time. The last group of four overlaps the one before, so
// a column needs at least four cells. For a palette on a line the indices
// never leave the registers: their colours are a product and a sum away.
__attribute__((target("avx2"), always_inline)) inline std::int16_t column_four_wide(
    const QuickJob& job, int i) {
    const double* left = job.column(i - 1);
    const double* right = job.column(i);
    Colour* out = job.out_column(i);
    const int Ny = job.Ny;
    const __m256d tmin = _mm256_set1_pd(job.Tmin);
    const __m256d factor = _mm256_set1_pd(job.factor);
    const __m256d quarter = _mm256_set1_pd(0.25);
    const __m256d magic = _mm256_set1_pd(kRoundToEven);
    const __m256d near_half = _mm256_set1_pd(kNearHalf);
    const __m256d magnitude = _mm256_castsi256_pd(_mm256_set1_epi64x(0x7FFFFFFFFFFFFFFF));
    const __m128i base = _mm_set1_epi32(job.line_base);
    const __m128i step = _mm_set1_epi32(job.line_step);
    const __m128i zero = _mm_setzero_si128();
    // The lowest and highest mean decide whether every cell lies on the
    // scale. A mean that is not a number or infinite makes the distance of
    // its estimate to the nearest whole number not a number, which counts as
    // near a half.
    __m256d lowest = _mm256_set1_pd(HUGE_VAL);
    __m256d highest = _mm256_set1_pd(-HUGE_VAL);
    __m256d doubtful = _mm256_setzero_pd();
    __m128i index = zero;
    std::int32_t indices[kMaxIntervals];
    for (int j = 1; j <= Ny; j += 4) {
        const int at = std::min(j, Ny - 3);
        __m256d sum = _mm256_add_pd(_mm256_loadu_pd(right + at), _mm256_loadu_pd(right + at - 1));
        sum = _mm256_add_pd(sum, _mm256_loadu_pd(left + at - 1));
        sum = _mm256_add_pd(sum, _mm256_loadu_pd(left + at));
        const __m256d Tcell = _mm256_mul_pd(sum, quarter);
        lowest = _mm256_min_pd(lowest, Tcell);
        highest = _mm256_max_pd(highest, Tcell);
        const __m256d v = _mm256_mul_pd(_mm256_sub_pd(Tcell, tmin), factor);
        const __m256d rounded = _mm256_sub_pd(_mm256_add_pd(v, magic), magic);
        const __m256d off = _mm256_and_pd(_mm256_sub_pd(v, rounded), magnitude);
        doubtful = _mm256_or_pd(doubtful, _mm256_cmp_pd(off, near_half, _CMP_NLE_UQ));
        index = _mm256_cvttpd_epi32(rounded);
        if (job.line) {
            const __m128i colour = _mm_add_epi32(base, _mm_mullo_epi32(index, step));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at - 1),
                             _mm_or_si128(colour, _mm_cmpeq_epi32(index, zero)));
        } else {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(indices + at - 1), index);
        }
    }
    const __m256d inside =
        _mm256_and_pd(_mm256_cmp_pd(lowest, tmin, _CMP_GE_OQ),
                      _mm256_cmp_pd(highest, _mm256_set1_pd(job.Tmax), _CMP_LE_OQ));
    if (_mm256_movemask_pd(inside) != 0xF || _mm256_movemask_pd(doubtful) != 0) {
        return kRedo;
    }
    if (!job.line) {
        look_up(job, indices, out);
    }
    return static_cast<std::int16_t>(_mm_extract_epi32(index, 3));
}

__attribute__((target("avx2"))) void cells_four_wide(const QuickJob& job) {
    for (int i = 1; i <= job.Nx; ++i) {
        job.last[i - 1] = job.Ny >= 4 ? column_four_wide(job, i) : kRedo;
    }
}

// Eight cells at a time, as the four above, with the processor's own
// rounding: reduce gives v minus its nearest whole number (halves to even)
// and the conversion rounds the same way.
#define HEATPLATE_AVX512 "avx512f,avx512vl,avx512dq"

// A column eight cells at a time: the constants, and the running state. A
// mean that is not a number may drop out of the lowest and highest (min and
// max give the other operand), but its estimate's distance to a whole number
// is not a number either, which counts as doubtful.
struct EightWide {
    __m512d tmin, factor;
    __m256i line_base, line_step;
    __m512d lowest, highest;  // the lowest and highest mean so far
    __mmask8 doubtful;        // lanes with an estimate near a half, or not a number
    __m256i index;            // the indices of the latest group
};

template <bool kLine>
__attribute__((target(HEATPLATE_AVX512), always_inline)) inline void group_eight_wide(
    const double* left, const double* right, int at, Colour* out, std::int32_t* indices,
    EightWide& w) {
    __m512d sum = _mm512_add_pd(_mm512_loadu_pd(right + at), _mm512_loadu_pd(right + at - 1));
    sum = _mm512_add_pd(sum, _mm512_loadu_pd(left + at - 1));
    sum = _mm512_add_pd(sum, _mm512_loadu_pd(left + at));
    const __m512d Tcell = _mm512_mul_pd(sum, _mm512_set1_pd(0.25));
    w.lowest = _mm512_min_pd(w.lowest, Tcell);
    w.highest = _mm512_max_pd(w.highest, Tcell);
    const __m512d v = _mm512_mul_pd(_mm512_sub_pd(Tcell, w.tmin), w.factor);
    const __m512d off =
        _mm512_abs_pd(_mm512_reduce_pd(v, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC));
    w.doubtful |= _mm512_cmp_pd_mask(off, _mm512_set1_pd(kNearHalf), _CMP_NLE_UQ);
    w.index = _mm512_cvt_roundpd_epi32(v, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
    if constexpr (kLine) {
        // Index 0 keeps kNoColour (all ones).
        const __mmask8 painted = _mm256_test_epi32_mask(w.index, w.index);
        const __m256i colour =
            _mm256_mask_add_epi32(_mm256_set1_epi32(kNoColour), painted, w.line_base,
                                  _mm256_mullo_epi32(w.index, w.line_step));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + at - 1), colour);
    } else {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(indices + at - 1), w.index);
    }
}

template <bool kLine>
__attribute__((target(HEATPLATE_AVX512), always_inline)) inline std::int16_t column_eight_wide(
    const QuickJob& job, int i) {
    const double* left = job.column(i - 1);
    const double* right = job.column(i);
    Colour* out = job.out_column(i);
    const int Ny = job.Ny;
    EightWide w{_mm512_set1_pd(job.Tmin),
                _mm512_set1_pd(job.factor),
                _mm256_set1_epi32(job.line_base),
                _mm256_set1_epi32(job.line_step),
                _mm512_set1_pd(HUGE_VAL),
                _mm512_set1_pd(-HUGE_VAL),
                0,
                _mm256_setzero_si256()};
    std::int32_t indices[kMaxIntervals];
    // The last group overlaps the one before where the column does not
    // divide into eights.
    int j = 1;
    for (; j + 7 <= Ny; j += 8) {
        group_eight_wide<kLine>(left, right, j, out, indices, w);
    }
    if (j <= Ny) {
        group_eight_wide<kLine>(left, right, Ny - 7, out, indices, w);
    }
    const __mmask8 inside = _mm512_cmp_pd_mask(w.lowest, w.tmin, _CMP_GE_OQ) &
                            _mm512_cmp_pd_mask(w.highest, _mm512_set1_pd(job.Tmax), _CMP_LE_OQ);
    if (inside != 0xFF || w.doubtful != 0) {
        return kRedo;
    }
    if (!kLine) {
        look_up(job, indices, out);
    }
    return static_cast<std::int16_t>(_mm256_extract_epi32(w.index, 7));
}

__attribute__((target(HEATPLATE_AVX512))) void cells_eight_wide(const QuickJob& job) {
    for (int i = 1; i <= job.Nx; ++i) {
        if (job.Ny < 8) {
            job.last[i - 1] = kRedo;
        } else {
            job.last[i - 1] =
                job.line ? column_eight_wide<true>(job, i) : column_eight_wide<false>(job, i);
        }
    }
}

bool processor_has(ColourWay way) {
    switch (way) {
        case ColourWay::Exact:
        case ColourWay::TwoWide:
            return true;
        case ColourWay::FourWide:
            return __builtin_cpu_supports("avx2");
        case ColourWay::EightWide:
            return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
                   __builtin_cpu_supports("avx512dq");
    }
    return false;
}

void run_quick(ColourWay way, const QuickJob& job) {
    switch (way) {
        case ColourWay::Exact:
            break;
        case ColourWay::TwoWide:
            cells_two_wide(job);
            break;
        case ColourWay::FourWide:
            cells_four_wide(job);
            break;
        case ColourWay::EightWide:
            cells_eight_wide(job);
            break;
    }
}

#else

bool processor_has(ColourWay way) {
    return way == ColourWay::Exact;
}

void run_quick(ColourWay, const QuickJob&) {}

#endif

ColourWay widest_way() {
    for (const ColourWay way : {ColourWay::EightWide, ColourWay::FourWide, ColourWay::TwoWide}) {
        if (processor_has(way)) {
            return way;
        }
    }
    return ColourWay::Exact;
}

const ColourWay kFastestWay = widest_way();

}  // namespace

CellColourer::CellColourer(double Tmin, double Tmax, double Trange, const Colour* palette)
    : Tmin_(Tmin), Tmax_(Tmax), Trange_(Trange), palette_(palette) {
    // A zero or tiny range, whose quotient is no longer a finite positive
    // number, or one that is not a number itself, goes the exact way.
    const double factor = 255 / Trange;
    if (Trange > 0 && std::isfinite(Trange) && factor > 0 && std::isfinite(factor)) {
        factor_ = factor;
    }
    // In the wrapping arithmetic the vectors use: where that gives every
    // colour 1..255, it gives them right.
    const auto step =
        static_cast<std::uint32_t>(palette[2]) - static_cast<std::uint32_t>(palette[1]);
    const auto base = static_cast<std::uint32_t>(palette[1]) - step;
    std::uint32_t off_line = 0;
    for (std::uint32_t k = 1; k <= 255; ++k) {
        off_line |= static_cast<std::uint32_t>(palette[k]) ^ (base + k * step);
    }
    palette_is_line_ = off_line == 0;
    line_base_ = static_cast<std::int32_t>(base);
    line_step_ = static_cast<std::int32_t>(step);
}

ColourWay CellColourer::fastest_way() {
    return kFastestWay;
}

bool CellColourer::can_use(ColourWay way) {
    return processor_has(way);
}

std::int16_t CellColourer::column_exact(const double* left, const double* right, int Ny,
                                        Colour* out) const {
    std::int16_t last = kOutside;
    for (int j = 1; j <= Ny; ++j) {
        const double Tcell = cell_mean(left, right, j);
        if (Tcell >= Tmin_ && Tcell <= Tmax_) {
            last = exact_index(Tcell, Tmin_, Trange_);
            out[j - 1] = colour_of(last, palette_);
        } else {
            out[j - 1] = kNoColour;
        }
    }
    return last;
}

std::int16_t CellColourer::colour_cells(const NodeArray& T, int Nx, int Ny, std::span<Colour> out,
                                        ColourWay way) const {
    assert(Nx <= kMaxIntervals && Ny <= kMaxIntervals);
    assert(out.size() >= static_cast<std::size_t>(std::max(Nx, 0)) * std::max(Ny, 0));
    if (Nx < 1 || Ny < 1) {
        return kOutside;
    }
    std::array<std::int16_t, kMaxIntervals> last;
    last.fill(kRedo);
    if (way != ColourWay::Exact && factor_ > 0 && can_use(way)) {
        const QuickJob job{T.column(0), Nx,         Ny,
                           Tmin_,       Tmax_,      Trange_,
                           factor_,     palette_,   palette_is_line_,
                           line_base_,  line_step_, out.data(),
                           last.data()};
        run_quick(way, job);
    }
    std::int16_t last_cell = kOutside;
    for (int i = 1; i <= Nx; ++i) {
        std::int16_t index = last[static_cast<std::size_t>(i - 1)];
        if (index == kRedo) {
            index = column_exact(T.column(i - 1), T.column(i), Ny,
                                 out.data() + static_cast<std::size_t>(i - 1) * Ny);
        }
        if (index != kOutside) {
            last_cell = index;
        }
    }
    return last_cell;
}

}  // namespace heatplate
