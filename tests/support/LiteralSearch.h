#pragma once
// The ranking rules as plain loops over every byte of every article: slow and obviously right.

#include <string_view>
#include <vector>

#include "dictionary/Dictionary.h"
#include "dictionary/Variant.h"
#include "pages/ResultPage.h"

int32_t LiteralScoreWord(std::string_view word, std::string_view text, bool wholeWord, bool yoAsYe = false);
CResultPage LiteralSearch(const CDictionary& dictionary, const CSearchQuery& query);
std::vector<CVariant> LiteralLookupVariants(const CDictionary& dictionary, std::string_view input,
                                            bool yoAsYe = false);
