#include "pages/PageBuilders.h"

#include <algorithm>
#include <string>

#include "text/Cp1251.h"
#include "text/Html.h"

CSearchQuery VariantsQuery(std::string_view searchBoxText, bool yoAsYe) {
  CSearchQuery query(searchBoxText, false, true, yoAsYe);
  // The variants match the typed text from a word's start, so its first word may be unfinished.
  if (query.WordCount() > 0) query.SetWholeWord(0, false);
  return query;
}

std::optional<CResultPage> ArticlePage(const CDictionary& dictionary, int32_t id) {
  const int32_t position = dictionary.PositionOf(id);
  if (position < 0) return std::nullopt;
  return CResultPage(dictionary.ArticleAt(position));
}

CResultPage VariantPage(const CVariant& variant, std::string_view searchBoxText, bool yoAsYe) {
  CResultPage page;
  page.SetQuery(VariantsQuery(searchBoxText, yoAsYe));
  page.SetLabel(variant.text);
  page.showHeader = false;
  page.articleIds.push_back(variant.articleId);
  return page;
}

CResultPage AllVariantsPage(const std::vector<CVariant>& variants, std::string_view searchBoxText,
                            int32_t maxVariantDisplayCount, bool yoAsYe) {
  CResultPage page;
  page.SetQuery(VariantsQuery(searchBoxText, yoAsYe));
  page.SetLabel(std::string(searchBoxText) + "...");
  page.SetHeading(std::string("Варианты &laquo;"_cp) + EscapeHtml(searchBoxText) + "...&raquo;");
  const auto count = std::min(static_cast<int32_t>(variants.size()), maxVariantDisplayCount);
  for (int32_t i = 0; i < count; ++i) page.articleIds.push_back(variants[i].articleId);
  return page;
}

CResultPage AboutPage() {
  CResultPage page;
  page.pageKind = CPageKind::About;
  page.SetLabel("О программе"_cp);
  return page;
}

void OfferSuggestions(CResultPage& page, CSuggester& suggester) {
  if (page.articleIds.empty() && page.strictCount == 0)
    page.suggestions = suggester.For(page.query.Text(), page.query.YoAsYe());
}
