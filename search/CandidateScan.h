#pragma once
// The search's pass over the file: every position whose first three bytes may begin one of the
// query words, handed on for the exact check. One loop (CandidateScanBody.h) compiled twice: for
// 16-byte vectors anywhere and, on x86, for AVX2's 32-byte ones; on processors with AVX-512 VBMI a
// lookup of 64 bytes at a time answers for every word at once.

#include <cstddef>
#include <cstdint>

// Byte values as one comparison: `b` is in the set when (b | mask) == target. The cases of a letter
// differ in one bit, so most sets are exact; a wider one only lets more positions on to the check.
struct CByteSet {
  unsigned char mask;
  unsigned char target;
};
inline constexpr CByteSet kAnyByte = {0xFF, 0xFF};

// The sets of a word's first three bytes; a shorter word takes any byte after its end.
struct CWordFilter {
  CByteSet sets[3];
};
inline constexpr std::size_t kMaxScanFilters = 8;

// Answers where the scan goes on from a candidate at `p` (past it).
using CCandidateVisit = std::size_t (*)(void* context, std::size_t p);

// Calls `visit` for each p in [p, end) where the sets of one of `filters` (at most kMaxScanFilters)
// hold bytes p, p+1 and p+2, in order; a set past `end` holds only where it takes any byte.
// `wordStartsOnly`: only where the byte before p (which must exist) is no word letter. The caller
// checks each candidate: the widest path also hands on a few that the sets do not hold.
void ScanCandidatesPortable(const char* base, std::size_t p, std::size_t end, const CWordFilter* filters,
                            std::size_t filterCount, bool wordStartsOnly, CCandidateVisit visit,
                            void* context);
#if defined(__x86_64__) || defined(__i386__)
#define CARRO_WIDE_SCAN 1
// The same in AVX2 instructions: only where the processor has them.
void ScanCandidatesWide(const char* base, std::size_t p, std::size_t end, const CWordFilter* filters,
                        std::size_t filterCount, bool wordStartsOnly, CCandidateVisit visit, void* context);
// In AVX-512 BW and VBMI instructions: only where the processor has both.
void ScanCandidatesWidest(const char* base, std::size_t p, std::size_t end, const CWordFilter* filters,
                          std::size_t filterCount, bool wordStartsOnly, CCandidateVisit visit, void* context);
#endif
