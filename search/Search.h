#pragma once
// The ranking constants of the article search.

#include <cstdint>
#include <limits>

#include "pages/ResultPage.h"
#include "search/SearchQuery.h"

inline constexpr int64_t kStrictBonus = 10000000;
inline constexpr int64_t kMaxScore = std::numeric_limits<int32_t>::max();

// A search result page for `query` before its articles are added: label, heading and query.
CResultPage NewSearchPage(const CSearchQuery& query);
