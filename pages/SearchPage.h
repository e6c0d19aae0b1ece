#pragma once
// The search command's page: the ranked search of the dictionary as a result page.

#include "pages/ResultPage.h"
#include "search/SearchQuery.h"

// A search result page for `query` before its articles are added: label, heading and query.
CResultPage NewSearchPage(const CSearchQuery& query);
