#pragma once
// Marks the words of a page's query in red in the page's HTML lines, outside tags.

#include <string>
#include <vector>

#include "search/SearchQuery.h"

inline constexpr std::string_view kHighlightOpen = "<font color=red>";
inline constexpr std::string_view kHighlightClose = "</font>";

void HighlightWords(std::vector<std::string>& lines, const CSearchQuery& query);
