#pragma once
// A page of the result view as a small value: what to show, never its HTML. Pages are
// rendered afresh every time they are shown, saved or printed.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/Article.h"
#include "search/SearchQuery.h"

// What a page shows: articles, or the about page.
enum class CPageKind : int32_t { Ordinary = 0, About = 1 };

class CResultPage {
 public:
  CResultPage() = default;
  // The page of one article: its id, labelled with its title, without a header.
  explicit CResultPage(const CArticle& article);

  void SetLabel(std::string_view text) { label = text; }
  void SetHeading(std::string_view text) { heading = text; }
  void SetQuery(const CSearchQuery& newQuery) { query = newQuery; }

  bool operator==(const CResultPage&) const = default;

  std::vector<int32_t> articleIds;  // in display order, resolved through the id index
  std::string label;                // plain text: status bar, bookmark, file name
  std::string heading;              // HTML: header table and title
  int32_t strictCount = -1;         // strict matches at the front; -1: no such distinction
  CSearchQuery query;               // its words are highlighted
  bool showHeader = true;
  CPageKind pageKind = CPageKind::Ordinary;
  std::vector<std::string> suggestions;  // a search that found nothing: texts that would find something
};
