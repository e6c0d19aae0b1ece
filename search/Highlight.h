#pragma once
// Marks the words of a page's query in red in the page's HTML lines, outside tags.

#include <cstdint>
#include <string>
#include <vector>

#include "search/SearchQuery.h"

inline constexpr std::string_view kHighlightOpen = "<font color=red>";
inline constexpr std::string_view kHighlightClose = "</font>";

// Up to this many query words, each word's pass wraps its occurrences, earlier wraps included. Beyond
// it, as in a pasted text, one pass wraps the longest word at each place once, so that the page grows
// by at most one wrap per word of the page.
inline constexpr int32_t kExactHighlightWords = 12;

void HighlightWords(std::vector<std::string>& lines, const CSearchQuery& query);
