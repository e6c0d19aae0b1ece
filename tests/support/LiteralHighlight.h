#pragma once
// HighlightWords done the plain way: the page as one text, and per occurrence an insertion that
// moves the rest of it. Slow and obviously right; the yardstick for the real one.

#include <string>
#include <vector>

#include "search/SearchQuery.h"

void LiteralHighlightWords(std::vector<std::string>& lines, const CSearchQuery& query);
