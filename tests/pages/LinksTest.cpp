#include "pages/Links.h"

#include <gtest/gtest.h>

namespace {

using CKind = CLink::CKind;

TEST(Links, WrittenLinksReadBack) {
  EXPECT_EQ(ParseLink(ArticleLink(12)), (CLink{.kind = CKind::Article, .number = 12}));
  EXPECT_EQ(ParseLink(VariantLink(0)), (CLink{.kind = CKind::Variant, .number = 0}));
  EXPECT_EQ(ParseLink(BookmarkLink(3)), (CLink{.kind = CKind::Bookmark, .number = 3}));
  EXPECT_EQ(ParseLink(kAllVariantsLink), (CLink{.kind = CKind::AllVariants}));
  EXPECT_EQ(ParseLink(SearchSuggestionLink(2)), (CLink{.kind = CKind::SearchSuggestion, .number = 2}));
  EXPECT_EQ(ParseLink(TypeSuggestionLink(9)), (CLink{.kind = CKind::TypeSuggestion, .number = 9}));
}

TEST(Links, TheRestAfterASchemeIsAWholeNumberOrSaysWhatItIs) {
  const std::pair<std::string_view, CLink> cases[] = {
      {"article://+7", {.kind = CKind::Article, .number = 7}},
      {"article://-1", {.kind = CKind::Article, .number = -1}},
      {"article://+-5", {.kind = CKind::Article, .number = -5}},
      {"article://2147483647", {.kind = CKind::Article, .number = 2147483647}},
      {"article://2147483648", {.kind = CKind::NotANumber, .rest = "2147483648"}},
      {"article://12x", {.kind = CKind::NotANumber, .rest = "12x"}},
      {"article://2=x", {.kind = CKind::NotANumber, .rest = "2=x"}},
      {"article://", {.kind = CKind::NotANumber, .rest = ""}},
      {"article:// 1", {.kind = CKind::NotANumber, .rest = " 1"}},
      {"variant://all ", {.kind = CKind::NotANumber, .rest = "all "}},
      {"variant://ALL", {.kind = CKind::NotANumber, .rest = "ALL"}},
      {"bookmark://<h1>", {.kind = CKind::NotANumber, .rest = "<h1>"}},
      {"search://тормоз", {.kind = CKind::NotANumber, .rest = "тормоз"}},
      {"type://1 OR 1", {.kind = CKind::NotANumber, .rest = "1 OR 1"}},
      {"ARTICLE://4", {.kind = CKind::Outside}},
      {"article:/4", {.kind = CKind::Outside}},
      {"https://example.org/?q=brake", {.kind = CKind::Outside}},
      {"", {.kind = CKind::Outside}},
  };
  for (const auto& [url, link] : cases) EXPECT_EQ(ParseLink(url), link) << url;
}

}  // namespace
