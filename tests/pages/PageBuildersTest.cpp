#include <gtest/gtest.h>

#include <tuple>

#include "pages/PageBuilders.h"
#include "pages/PageRenderer.h"
#include "pages/Panes.h"
#include "tests/support/PagesTestData.h"
#include "text/Html.h"

namespace {

struct CQueryCase {
  std::string_view typed;
  std::vector<std::tuple<std::string_view, bool>> words;  // upper-cased word, whole word
};

class VariantsQueryWords : public testing::TestWithParam<CQueryCase> {};

TEST_P(VariantsQueryWords, AreAllRequiredWithTheFirstAsAWordStart) {
  const CSearchQuery query = VariantsQuery(GetParam().typed);
  ASSERT_EQ(query.WordCount(), static_cast<int32_t>(GetParam().words.size()));
  for (int32_t i = 0; i < query.WordCount(); ++i) {
    EXPECT_EQ(query.Word(i), std::get<0>(GetParam().words[i]));
    EXPECT_EQ(query.WholeWord(i), std::get<1>(GetParam().words[i]));
    EXPECT_TRUE(query.Required(i));
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, VariantsQueryWords,
                         testing::Values(CQueryCase{"тор"_cp, {{"ТОР"_cp, false}}},
                                         CQueryCase{"br ab", {{"BR", false}, {"AB", true}}},
                                         CQueryCase{"+disc brake*", {{"DISC", false}, {"BRAKE", false}}},
                                         CQueryCase{"", {}}));

std::vector<CVariant> NumberedVariants(int32_t count) {
  std::vector<CVariant> variants;
  variants.reserve(static_cast<std::size_t>(count));
  for (int32_t i = 0; i < count; ++i)
    variants.emplace_back("v" + std::to_string(i), 1000 - i, 50, 0, CHeadword::Term);
  return variants;
}

TEST(VariantPage, ShowsTheEntrysArticleWithoutHeader) {
  CResultPage expected;
  expected.articleIds = {12};
  expected.label = "дисковый механизм"_cp;
  expected.query = VariantsQuery("дис"_cp);
  expected.showHeader = false;
  EXPECT_EQ(
      VariantPage(CVariant(std::string("дисковый механизм"_cp), 12, 50, 0, CHeadword::Translation), "дис"_cp),
      expected);
}

TEST(AllVariantsPage, ListsUpToTheLimitInListOrder) {
  CResultPage expected;
  for (int32_t i = 0; i < 100; ++i) expected.articleIds.push_back(1000 - i);
  expected.label = "тор..."_cp;
  expected.heading = "Варианты &laquo;тор...&raquo;"_cp;
  expected.query = VariantsQuery("тор"_cp);
  EXPECT_EQ(AllVariantsPage(NumberedVariants(250), "тор"_cp, 100), expected);
}

class TypedMarkup : public testing::TestWithParam<std::string_view> {};

TEST_P(TypedMarkup, IsEscapedInTheHeadingTitleAndBookmark) {
  const std::string typed(GetParam());
  const std::string heading = std::string("Варианты &laquo;"_cp) + EscapeHtml(typed) + "...&raquo;";
  const CResultPage page = AllVariantsPage(NumberedVariants(1), typed, 100);
  EXPECT_EQ(page.label, typed + "...");
  EXPECT_EQ(page.heading, heading);

  CHtmlLines lines;
  CRenderOptions options;
  options.highlight = false;
  RenderPage(SynonymStore(), page, lines, false, options);
  ASSERT_GT(lines.size(), 10u);
  EXPECT_EQ(lines[5], heading + " - ");
  EXPECT_EQ(lines[10], "<td><font size=+1 color=#000088><b>" + heading + "</b></font></td>");
  EXPECT_EQ(BookmarksPaneLines({page})[3],
            "<tr><td><a href=bookmark://0>" + EscapeHtml(typed) + "...</a></td></tr>");
}

INSTANTIATE_TEST_SUITE_P(Cases, TypedMarkup, testing::Values("<b", "a<b"));

struct CArticlePageCase {
  int32_t id;
  int32_t shownId;
  std::string_view label;
};

class ArticlePageOf : public testing::TestWithParam<CArticlePageCase> {};

TEST_P(ArticlePageOf, ShowsOneArticleUnderItsTitle) {
  CResultPage expected;
  expected.articleIds = {GetParam().shownId};
  expected.label = GetParam().label;
  expected.showHeader = false;
  EXPECT_EQ(ArticlePage(SynonymStore(), GetParam().id), expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ArticlePageOf,
                         testing::Values(CArticlePageCase{12, 12, "дисковый механизм"_cp},
                                         CArticlePageCase{11, 11, "disk brake"},
                                         CArticlePageCase{999, 1, "тормоз (brake)"_cp}));

TEST(ArticlePage, EmptyStoreHasNoPage) {
  EXPECT_EQ(ArticlePage(EmptyStore(), 1), std::nullopt);
}

TEST(AboutPage, IsTheAboutKindLabelledForTheUser) {
  CResultPage expected;
  expected.label = "О программе"_cp;
  expected.pageKind = CPageKind::About;
  EXPECT_EQ(AboutPage(), expected);
}

}  // namespace
