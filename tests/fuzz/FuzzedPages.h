#pragma once
// Every kind of page a fuzzed data file gives: the about page, its articles' pages, a search for words
// of its texts, the variants pane and the page of all variants, in view and export mode, with suggestions.

#include <algorithm>
#include <functional>
#include <string>

#include "dictionary/Dictionary.h"
#include "pages/PageBuilders.h"
#include "pages/PageRenderer.h"
#include "pages/Panes.h"

inline void ForEachFuzzedPage(const CDictionary& dictionary,
                              const std::function<void(const CHtmlLines&)>& use) {
  const auto render = [&](const CResultPage& page) {
    for (const bool forExport : {false, true}) {
      CHtmlLines lines;
      RenderPage(dictionary, page, lines, forExport, {.maxResultDisplayCount = 10});
      use(lines);
    }
  };
  render(AboutPage());
  // No word forms: loading Hunspell for every input would leave no time for the rest.
  CSuggester suggester(dictionary, CWordForms({}));
  const int32_t shown = std::min(dictionary.ArticleCount(), int32_t{8});
  for (int32_t position = 0; position < shown; ++position) {
    const CArticle& article = dictionary.ArticleAt(position);
    if (const auto page = ArticlePage(dictionary, article.id)) render(*page);
    // The searches and variants a user would type on seeing the article: a start of its texts.
    const std::string typed(article.term.substr(0, 12));
    CResultPage search =
        dictionary.Search(CSearchQuery(std::string(article.translation.substr(0, 24)), false, false));
    OfferSuggestions(search, suggester);
    render(search);
    std::vector<CVariant> variants;
    const std::string input = VariantsInput(typed);
    dictionary.LookupVariants(input, variants);
    // A slip of the first letter, as the suggestions would mend it.
    const std::string slipped = input.empty() ? input : "q" + input.substr(1);
    use(VariantsPaneLines(variants, static_cast<int32_t>(input.size()), 10, suggester.For(slipped, false)));
    render(AllVariantsPage(variants, typed, 10));
    if (!variants.empty()) render(VariantPage(variants.front(), typed));
  }
}
