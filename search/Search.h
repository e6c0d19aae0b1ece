#pragma once
// The ranking constants of the article search.

#include <cstdint>
#include <limits>

inline constexpr int64_t kStrictBonus = 10000000;
inline constexpr int64_t kMaxScore = std::numeric_limits<int32_t>::max();
