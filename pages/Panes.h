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

// `inputLength`: the length of VariantsInput, which the matched part of each entry has. `suggestions`
// follow the count, each a link that types it into the search box.
CHtmlLines VariantsPaneLines(const std::vector<CVariant>& variants, int32_t inputLength,
                             int32_t maxVariantDisplayCount,
                             const std::vector<std::string>& suggestions = {});

// Whether the pane suggests something for VariantsInput `input`: it found no entry, and three letters
// are enough to guess from.
bool PaneWantsSuggestions(std::string_view input, std::size_t variantCount);

CHtmlLines BookmarksPaneLines(const std::vector<CResultPage>& bookmarks);
