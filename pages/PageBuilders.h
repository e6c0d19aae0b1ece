#pragma once
// The pages that links and commands open.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "dictionary/Dictionary.h"
#include "dictionary/Variant.h"
#include "pages/ResultPage.h"
#include "search/SearchQuery.h"
#include "suggest/Suggester.h"

// The typed words as variant pages highlight them: all required, the first one a word start.
// `yoAsYe`: е and ё count as one letter, as the lookup that listed the variants counted them.
CSearchQuery VariantsQuery(std::string_view searchBoxText, bool yoAsYe = false);

// The article with `id` (an unknown id leads to the first article); nothing in an empty store.
std::optional<CResultPage> ArticlePage(const CDictionary& dictionary, int32_t id);
CResultPage VariantPage(const CVariant& variant, std::string_view searchBoxText, bool yoAsYe = false);
CResultPage AllVariantsPage(const std::vector<CVariant>& variants, std::string_view searchBoxText,
                            int32_t maxVariantDisplayCount, bool yoAsYe = false);
CResultPage AboutPage();

// A search page that found nothing gets what the user may have meant instead.
void OfferSuggestions(CResultPage& page, CSuggester& suggester);
