#include "pages/SearchPage.h"

#include "dictionary/Dictionary.h"
#include "text/Cp1251.h"
#include "text/Html.h"

CResultPage NewSearchPage(const CSearchQuery& query) {
  CResultPage page;
  page.SetLabel(query.Text());
  page.SetHeading(std::string("Поиск: &laquo;"_cp) + EscapeHtml(query.Text()) + "&raquo;");
  page.SetQuery(query);
  return page;
}

CResultPage CDictionary::Search(const CSearchQuery& query) const {
  CResultPage page = NewSearchPage(query);
  const std::vector<CSearchHit> hits = RankArticles(query, page.strictCount);
  page.articleIds.reserve(hits.size());
  for (const CSearchHit& hit : hits) page.articleIds.push_back(articles[hit.position].id);
  return page;
}
