#include "search/Highlight.h"

void HighlightWords(std::vector<std::string>&, const CSearchQuery&) {}
