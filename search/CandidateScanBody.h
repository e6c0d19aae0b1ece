#pragma once
// The scan's loop for the vector width of the one file that includes it. Everything here has
// internal linkage and no library template is used, so that code compiled for AVX2 in the wide
// file can never be linked in place of another file's.

#include <algorithm>
#include <cstring>
#if defined(__SSE2__)
#include <immintrin.h>
#endif

#include "search/CandidateScan.h"
#include "text/WordRules.h"

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
uint64_t LaneBits(typename CVectors<kWidth>::CLanes lanes) {
#if defined(__AVX512BW__)
  if constexpr (kWidth == 64) return _mm512_movepi8_mask(__builtin_bit_cast(__m512i, lanes));
#endif
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
  uint64_t bits = 0;
  for (int lane = 0; lane < kWidth; ++lane) bits |= static_cast<uint64_t>(lanes[lane] & 1) << lane;
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

// The lanes of a block, shifted by 0, 1 and 2 bytes, where one of the filters holds, as bits.
// `kCasePairs`: every set is the two cases of a letter, compared on bytes folded once for all filters.
template <int kWidth, bool kCasePairs, std::size_t kFilters>
uint64_t HitBits(const typename CVectors<kWidth>::CBytes (&at)[3], const CVectors<kWidth>* filters) {
  typename CVectors<kWidth>::CLanes hits{};
  for (std::size_t n = 0; n < kFilters; ++n) {
    const CVectors<kWidth>& filter = filters[n];
    if constexpr (kCasePairs)
      hits |= (at[0] == filter.target[0]) & (at[1] == filter.target[1]) & (at[2] == filter.target[2]);
    else
      hits |= ((at[0] | filter.mask[0]) == filter.target[0]) &
              ((at[1] | filter.mask[1]) == filter.target[1]) & ((at[2] | filter.mask[2]) == filter.target[2]);
  }
  return LaneBits<kWidth>(hits);
}

// The scan looks at 64 bytes a step, whatever the width of its vectors: one bit a byte.
inline constexpr std::size_t kStep = 64;
// Steps a call of CollectHits looks at, at most: one bit apiece says which of them hold a hit.
inline constexpr std::size_t kBatchSteps = 64;

// The bytes of the step at `at` whose byte before is a word letter (IsWordLetter), as bits.
template <int kWidth>
uint64_t AfterLetterBits(const char* at) {
  uint64_t bits = 0;
  for (std::size_t part = 0; part < kStep; part += kWidth) {
    const typename CVectors<kWidth>::CBytes before = Load<kWidth>(at + part - 1);
    bits |= LaneBits<kWidth>(((before | 0x20) - 'a' < 26) | (before >= 0xC0) | (before == 0xA8) |
                             (before == 0xB8))
            << part;
  }
  return bits;
}

// The candidate bits of `steps` steps from p on, each in `bits`; the bytes up to
// p + steps × kStep + kWidth are read. Every step is stored in its own place, so that no branch and
// no store address depends on the text. Kept apart from the calls to `visit`, so that its vectors
// stay in registers: the count of filters is fixed for each instance.
template <int kWidth, bool kCasePairs, std::size_t kFilters>
[[gnu::noinline]] void CollectHits(const char* base, std::size_t p, std::size_t steps,
                                   const CVectors<kWidth>* filters, uint64_t* bits) {
  using CBytes = typename CVectors<kWidth>::CBytes;
  const auto folded = [](CBytes bytes) { return kCasePairs ? bytes | 0x20 : bytes; };
  // A copy the compiler keeps in registers: read through the pointer, every comparison loaded its
  // operand again.
  CVectors<kWidth> kept[kFilters];
  for (std::size_t n = 0; n < kFilters; ++n) kept[n] = filters[n];
  CBytes low = folded(Load<kWidth>(base + p));
  for (std::size_t step = 0; step < steps; ++step) {
    uint64_t stepBits = 0;
    for (std::size_t part = 0; part < kStep; part += kWidth, p += kWidth) {
      const CBytes high = folded(Load<kWidth>(base + p + kWidth));
      CBytes at[3] = {low, {}, {}};
      ShiftedIn<kWidth>(low, high, base + p, at[1], at[2]);
      low = high;
      stepBits |= HitBits<kWidth, kCasePairs, kFilters>(at, kept) << part;
    }
    bits[step] = stepBits;
  }
}

// Hands each candidate of the steps from p on to `visit`, while whole steps remain: `collect(p,
// steps, bits)` stores their candidate bits, as CollectHits does.
template <int kWidth, class CCollect>
void ScanSteps(const char* base, std::size_t& p, std::size_t end, bool wordStartsOnly, CCollect collect,
               CCandidateVisit visit, void* context) {
  uint64_t bits[kBatchSteps];
  // Candidates before it were passed over by `visit`: a batch may hold some that it skipped.
  std::size_t onFrom = p;
  while (p + kStep + kWidth <= end) {
    const std::size_t steps = std::min(kBatchSteps, (end - p - kWidth) / kStep);
    collect(p, steps, bits);
    // Which steps hold a hit, found apart from the scan's loop, which it would lengthen.
    uint64_t held = 0;
    for (std::size_t step = 0; step < steps; ++step) held |= static_cast<uint64_t>(bits[step] != 0) << step;
    for (; held != 0; held &= held - 1) {
      const auto step = static_cast<std::size_t>(__builtin_ctzll(held));
      const std::size_t at = p + step * kStep;
      uint64_t lanes = bits[step];
      // Few steps hold a hit, so the bytes before are looked at only in those.
      if (wordStartsOnly) lanes &= ~AfterLetterBits<kWidth>(base + at);
      for (; lanes != 0; lanes &= lanes - 1) {
        const std::size_t candidate = at + static_cast<std::size_t>(__builtin_ctzll(lanes));
        if (candidate >= onFrom) onFrom = visit(context, candidate);
      }
    }
    p = std::max(p + steps * kStep, onFrom);
  }
}

template <int kWidth, bool kCasePairs>
void ScanBlocks(const char* base, std::size_t& p, std::size_t end, const CWordFilter* filters,
                std::size_t filterCount, bool wordStartsOnly, CCandidateVisit visit, void* context) {
  using CBytes = typename CVectors<kWidth>::CBytes;
  CVectors<kWidth> vectors[kMaxScanFilters];
  for (std::size_t n = 0; n < filterCount; ++n)
    for (int k = 0; k < 3; ++k) {
      vectors[n].mask[k] = CBytes{} + filters[n].sets[k].mask;
      vectors[n].target[k] = CBytes{} + filters[n].sets[k].target;
    }
  using CCollectHits = void (*)(const char*, std::size_t, std::size_t, const CVectors<kWidth>*, uint64_t*);
  constexpr CCollectHits kByCount[kMaxScanFilters] = {
      CollectHits<kWidth, kCasePairs, 1>, CollectHits<kWidth, kCasePairs, 2>,
      CollectHits<kWidth, kCasePairs, 3>, CollectHits<kWidth, kCasePairs, 4>,
      CollectHits<kWidth, kCasePairs, 5>, CollectHits<kWidth, kCasePairs, 6>,
      CollectHits<kWidth, kCasePairs, 7>, CollectHits<kWidth, kCasePairs, 8>};
  static_assert(kMaxScanFilters == 8);
  const CCollectHits collect = kByCount[filterCount - 1];
  ScanSteps<kWidth>(
      base, p, end, wordStartsOnly,
      [&](std::size_t from, std::size_t steps, uint64_t* bits) { collect(base, from, steps, vectors, bits); },
      visit, context);
}

// The positions from p to the end one at a time, as the sets say.
void ScanTail(const char* base, std::size_t p, std::size_t end, const CWordFilter* filters,
              std::size_t filterCount, bool wordStartsOnly, CCandidateVisit visit, void* context) {
  const auto fits = [&](std::size_t at) {
    if (wordStartsOnly && IsWordLetter(static_cast<unsigned char>(base[at - 1]))) return false;
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

#if defined(__AVX512VBMI__)
// For each of a word's first three places, a table of the 128 values of a byte's low seven bits:
// bit n says that filter n's set holds a byte with those bits. One lookup per place answers for
// every filter at once; a byte that differs from a letter in its top bit only (Latin for Cyrillic)
// lets a position on to the exact check, which is rare.
struct CPlaceTables {
  alignas(64) unsigned char place[3][128];
};

CPlaceTables TablesOf(const CWordFilter* filters, std::size_t filterCount) {
  CPlaceTables tables{};
  for (std::size_t n = 0; n < filterCount; ++n)
    for (int k = 0; k < 3; ++k)
      for (int b = 0; b < 256; ++b)
        if (Holds(filters[n].sets[k], static_cast<unsigned char>(b)))
          tables.place[k][b & 0x7F] |= static_cast<unsigned char>(1U << n);
  return tables;
}

[[gnu::noinline]] void CollectLookedUpHits(const char* base, std::size_t p, std::size_t steps,
                                           const CPlaceTables& tables, uint64_t* bits) {
  __m512i low[3];
  __m512i high[3];
  for (int k = 0; k < 3; ++k) {
    low[k] = _mm512_load_si512(tables.place[k]);
    high[k] = _mm512_load_si512(tables.place[k] + 64);
  }
  for (std::size_t step = 0; step < steps; ++step, p += kStep) {
    __m512i found[3];
    for (int k = 0; k < 3; ++k)
      found[k] = _mm512_permutex2var_epi8(low[k], _mm512_loadu_si512(base + p + k), high[k]);
    const __m512i all = _mm512_ternarylogic_epi64(found[0], found[1], found[2], 0x80);  // a & b & c
    bits[step] = _mm512_test_epi8_mask(all, all);
  }
}

void ScanByLookup(const char* base, std::size_t p, std::size_t end, const CWordFilter* filters,
                  std::size_t filterCount, bool wordStartsOnly, CCandidateVisit visit, void* context) {
  const CPlaceTables tables = TablesOf(filters, filterCount);
  ScanSteps<64>(
      base, p, end, wordStartsOnly,
      [&](std::size_t from, std::size_t steps, uint64_t* bits) {
        CollectLookedUpHits(base, from, steps, tables, bits);
      },
      visit, context);
  ScanTail(base, p, end, filters, filterCount, wordStartsOnly, visit, context);
}
#endif

template <int kWidth>
void Scan(const char* base, std::size_t p, std::size_t end, const CWordFilter* filters,
          std::size_t filterCount, bool wordStartsOnly, CCandidateVisit visit, void* context) {
  bool casePairs = true;
  for (std::size_t n = 0; n < filterCount; ++n)
    for (const CByteSet set : filters[n].sets) casePairs = casePairs && set.mask == 0x20;
  if (casePairs)
    ScanBlocks<kWidth, true>(base, p, end, filters, filterCount, wordStartsOnly, visit, context);
  else
    ScanBlocks<kWidth, false>(base, p, end, filters, filterCount, wordStartsOnly, visit, context);
  ScanTail(base, p, end, filters, filterCount, wordStartsOnly, visit, context);
}

}  // namespace
