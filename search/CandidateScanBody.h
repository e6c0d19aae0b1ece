#pragma once
// The scan's loop for the vector width of the one file that includes it. Everything here has
// internal linkage and no library template is used, so that code compiled for AVX2 in the wide
// file can never be linked in place of another file's.

#include <cstring>
#if defined(__SSE2__)
#include <immintrin.h>
#endif

#include "search/CandidateScan.h"

namespace {

template <int kWidth>
struct CVectors {
  typedef unsigned char CBytes __attribute__((vector_size(kWidth)));
  typedef signed char CLanes __attribute__((vector_size(kWidth)));
  CBytes mask[3];
  CBytes target[3];
};

template <int kWidth>
typename CVectors<kWidth>::CBytes Load(const char* from) {
  typename CVectors<kWidth>::CBytes bytes;
  std::memcpy(&bytes, from, sizeof bytes);
  return bytes;
}

// Bit k set for lane k.
template <int kWidth>
uint32_t LaneBits(typename CVectors<kWidth>::CLanes lanes) {
#if defined(__AVX2__)
  if constexpr (kWidth == 32) {
    return static_cast<uint32_t>(_mm256_movemask_epi8(__builtin_bit_cast(__m256i, lanes)));
  }
#endif
#if defined(__SSE2__)
  if constexpr (kWidth == 16) {
    return static_cast<uint32_t>(_mm_movemask_epi8(__builtin_bit_cast(__m128i, lanes)));
  }
#endif
  uint32_t bits = 0;
  for (int lane = 0; lane < kWidth; ++lane) bits |= static_cast<uint32_t>(lanes[lane] & 1) << lane;
  return bits;
}

// Bytes 1… and 2… of `low` followed by `high`: shifted out of two loads rather than loaded again
// at p + 1 and p + 2, as a load across a cache line costs twice.
template <int kWidth, class CBytes = typename CVectors<kWidth>::CBytes>
void ShiftedIn(CBytes low, CBytes high, const char* at, CBytes& byOne, CBytes& byTwo) {
#if defined(__AVX2__)
  if constexpr (kWidth == 32) {
    const auto lowBytes = __builtin_bit_cast(__m256i, low);
    const __m256i middle = _mm256_permute2x128_si256(lowBytes, __builtin_bit_cast(__m256i, high), 0x21);
    byOne = __builtin_bit_cast(CBytes, _mm256_alignr_epi8(middle, lowBytes, 1));
    byTwo = __builtin_bit_cast(CBytes, _mm256_alignr_epi8(middle, lowBytes, 2));
    return;
  }
#endif
#if defined(__SSE2__)
  if constexpr (kWidth == 16) {
    const auto lowBytes = __builtin_bit_cast(__m128i, low);
    const auto highBytes = __builtin_bit_cast(__m128i, high);
    byOne =
        __builtin_bit_cast(CBytes, _mm_or_si128(_mm_srli_si128(lowBytes, 1), _mm_slli_si128(highBytes, 15)));
    byTwo =
        __builtin_bit_cast(CBytes, _mm_or_si128(_mm_srli_si128(lowBytes, 2), _mm_slli_si128(highBytes, 14)));
    return;
  }
#endif
  byOne = Load<kWidth>(at + 1);
  byTwo = Load<kWidth>(at + 2);
}

bool Holds(CByteSet set, unsigned char b) {
  return (b | set.mask) == set.target;
}

bool IsCasePair(const CWordFilter& filter) {
  return filter.sets[0].mask == 0x20 && filter.sets[1].mask == 0x20 && filter.sets[2].mask == 0x20;
}

// The lane bits of the first block from p on that holds a candidate, with p at that block; 0 with p
// where whole blocks end. Kept apart from the calls to `visit`, so that its vectors stay in registers.
// `kCasePairs`: every set is the two cases of a letter, compared on bytes folded once for all filters.
// `kCasePairs`: every set is the two cases of a letter, compared on bytes folded once for all
// filters. The count of filters is fixed for each instance, so that their vectors stay in registers.
template <int kWidth, bool kCasePairs, std::size_t kFilters>
[[gnu::noinline]] uint32_t NextHits(const char* base, std::size_t& from, std::size_t end,
                                    const CVectors<kWidth>* filters) {
  using CBytes = typename CVectors<kWidth>::CBytes;
  using CLanes = typename CVectors<kWidth>::CLanes;
  std::size_t p = from;
  if (p + 2 * kWidth > end) return 0;
  const auto folded = [](CBytes bytes) { return kCasePairs ? bytes | 0x20 : bytes; };
  CBytes low = folded(Load<kWidth>(base + p));
  uint32_t bits = 0;
  for (; p + 2 * kWidth <= end; p += kWidth) {
    const CBytes high = folded(Load<kWidth>(base + p + kWidth));
    CBytes at[3] = {low, {}, {}};
    ShiftedIn<kWidth>(low, high, base + p, at[1], at[2]);
    low = high;
    CLanes hits{};
    for (std::size_t n = 0; n < kFilters; ++n) {
      const CVectors<kWidth>& filter = filters[n];
      if constexpr (kCasePairs)
        hits |= (at[0] == filter.target[0]) & (at[1] == filter.target[1]) & (at[2] == filter.target[2]);
      else
        hits |= ((at[0] | filter.mask[0]) == filter.target[0]) &
                ((at[1] | filter.mask[1]) == filter.target[1]) &
                ((at[2] | filter.mask[2]) == filter.target[2]);
    }
    bits = LaneBits<kWidth>(hits);
    if (bits != 0) break;
  }
  from = p;
  return bits;
}

template <int kWidth, bool kCasePairs>
void ScanBlocks(const char* base, std::size_t& p, std::size_t end, const CWordFilter* filters,
                std::size_t filterCount, CCandidateVisit visit, void* context) {
  using CBytes = typename CVectors<kWidth>::CBytes;
  CVectors<kWidth> vectors[kMaxScanFilters];
  for (std::size_t n = 0; n < filterCount; ++n)
    for (int k = 0; k < 3; ++k) {
      vectors[n].mask[k] = CBytes{} + filters[n].sets[k].mask;
      vectors[n].target[k] = CBytes{} + filters[n].sets[k].target;
    }
  using CNextHits = uint32_t (*)(const char*, std::size_t&, std::size_t, const CVectors<kWidth>*);
  constexpr CNextHits kByCount[kMaxScanFilters] = {
      NextHits<kWidth, kCasePairs, 1>, NextHits<kWidth, kCasePairs, 2>, NextHits<kWidth, kCasePairs, 3>,
      NextHits<kWidth, kCasePairs, 4>, NextHits<kWidth, kCasePairs, 5>, NextHits<kWidth, kCasePairs, 6>,
      NextHits<kWidth, kCasePairs, 7>, NextHits<kWidth, kCasePairs, 8>};
  static_assert(kMaxScanFilters == 8);
  const CNextHits nextHits = kByCount[filterCount - 1];
  for (uint32_t bits; (bits = nextHits(base, p, end, vectors)) != 0;) {
    std::size_t next = p + kWidth;
    for (; bits != 0; bits &= bits - 1) {
      const std::size_t candidate = p + static_cast<std::size_t>(__builtin_ctz(bits));
      const std::size_t onFrom = visit(context, candidate);
      if (onFrom > candidate + 1) {
        next = onFrom;
        break;
      }
    }
    p = next;
  }
}

template <int kWidth>
void Scan(const char* base, std::size_t p, std::size_t end, const CWordFilter* filters,
          std::size_t filterCount, CCandidateVisit visit, void* context) {
  bool casePairs = true;
  for (std::size_t n = 0; n < filterCount; ++n) casePairs = casePairs && IsCasePair(filters[n]);
  if (casePairs)
    ScanBlocks<kWidth, true>(base, p, end, filters, filterCount, visit, context);
  else
    ScanBlocks<kWidth, false>(base, p, end, filters, filterCount, visit, context);
  // The last bytes one at a time.
  const auto fits = [&](std::size_t at) {
    for (std::size_t n = 0; n < filterCount; ++n) {
      bool all = true;
      for (std::size_t k = 0; k < 3 && all; ++k)
        all = at + k < end ? Holds(filters[n].sets[k], static_cast<unsigned char>(base[at + k]))
                           : filters[n].sets[k].mask == kAnyByte.mask;
      if (all) return true;
    }
    return false;
  };
  while (p < end) p = fits(p) ? visit(context, p) : p + 1;
}

}  // namespace
