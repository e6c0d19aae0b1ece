#pragma once
// The ranking constants of the article search, and the choice of its scan.

#include <cstdint>
#include <limits>

inline constexpr int64_t kStrictBonus = 10000000;
inline constexpr int64_t kMaxScore = std::numeric_limits<int32_t>::max();

// The search's pass over the file: 64-byte lookups where the processor has them (AVX-512 BW and
// VBMI), else 32-byte comparisons (AVX2), else 16-byte ones. All give the same results.
enum class CScanPath { Portable, Wide, Widest };
bool ProcessorRuns(CScanPath path);
// The widest path the processor runs is used unless another is asked for; asking for one the
// processor lacks changes nothing and answers false.
bool UseScanPath(CScanPath path);
CScanPath ScanPathInUse();
