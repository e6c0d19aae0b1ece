#pragma once
// The left panes: the variants of the typed text and the bookmarks.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/Variant.h"
#include "pages/PageRenderer.h"
#include "pages/ResultPage.h"

// The search box text as the variants lookup takes it: one leading "+" and one trailing "*" removed.
std::string VariantsInput(std::string_view searchBoxText);

// `inputLength`: the length of VariantsInput, which the matched part of each entry has.
CHtmlLines VariantsPaneLines(const std::vector<CVariant>& variants, int32_t inputLength,
                             int32_t maxVariantDisplayCount);

CHtmlLines BookmarksPaneLines(const std::vector<CResultPage>& bookmarks);
