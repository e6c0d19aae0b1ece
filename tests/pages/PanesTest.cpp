#include <gtest/gtest.h>

#include "pages/Panes.h"
#include "tests/support/PagesTestData.h"

namespace {

struct CInputCase {
  std::string_view typed;
  std::string_view input;
};

class VariantsInputCleanUp : public testing::TestWithParam<CInputCase> {};

TEST_P(VariantsInputCleanUp, DropsOneLeadingPlusAndOneTrailingStar) {
  EXPECT_EQ(VariantsInput(GetParam().typed), GetParam().input);
}

INSTANTIATE_TEST_SUITE_P(Cases, VariantsInputCleanUp,
                         testing::Values(CInputCase{"+brake*", "brake"}, CInputCase{"++brake**", "+brake*"},
                                         CInputCase{" +brake* ", " +brake* "}, CInputCase{"+", ""},
                                         CInputCase{"*", ""}, CInputCase{"+*", ""}, CInputCase{"", ""},
                                         CInputCase{"тор"_cp, "тор"_cp}));

constexpr std::string_view kPaneStart[] = {
    "<html>", "<body border=0 topmargin=0 leftmargin=0 marginwidth=0 marginheight=0>"};

struct CPaneCase {
  std::string_view name;
  int32_t matches;
  int32_t inputLength;
  int32_t limit;
  int32_t rows;
  std::string_view countLine;  // empty: none
};

class VariantsPane : public testing::TestWithParam<CPaneCase> {};

TEST_P(VariantsPane, ListsTheFirstMatchesAndCountsThemAll) {
  const CPaneCase& c = GetParam();
  std::vector<CVariant> variants;
  variants.reserve(static_cast<std::size_t>(c.matches));
  for (int32_t i = 0; i < c.matches; ++i)
    variants.emplace_back("brake " + std::to_string(i), i + 1, 50, 0, CHeadword::Term);

  CHtmlLines expected(std::begin(kPaneStart), std::end(kPaneStart));
  expected.reserve(static_cast<std::size_t>(c.rows) + 6);
  if (c.matches > 0)
    expected.emplace_back(
        "<div align=right><font size=-1><a href=variant://all>Показать все &raquo;</a></font></div><hr>"_cp);
  expected.emplace_back("<table cellspacing=0 cellpadding=2 border=0>");
  for (int32_t i = 0; i < c.rows; ++i) {
    const std::string n = std::to_string(i);
    expected.push_back("<tr><td><a href=variant://" + n + "><b>br</b>ake " + n + "</a></td></tr>");
  }
  expected.emplace_back("</table>");
  if (!c.countLine.empty()) expected.emplace_back(c.countLine);
  expected.emplace_back("</body></html>");

  EXPECT_EQ(VariantsPaneLines(variants, c.inputLength, c.limit), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VariantsPane,
    testing::Values(
        CPaneCase{
            "MoreThanTheLimit", 250, 2, 100, 100,
            "<hr><font size=-1 color=#888888>Найдено вариантов: 250,<br>показаны первые 100.</font>"_cp},
        CPaneCase{"ExactlyTheLimit", 100, 2, 100, 100,
                  "<hr><font size=-1 color=#888888>Найдено вариантов: 100.</font>"_cp},
        CPaneCase{"NoMatches", 0, 3, 100, 0,
                  "<hr><font size=-1 color=#888888>Найдено вариантов: 0.</font>"_cp},
        CPaneCase{"EmptySearchBox", 0, 0, 100, 0, ""}),
    [](const auto& test) { return std::string(test.param.name); });

struct CRowCase {
  std::string_view name;
  std::string_view text;
  int32_t matchPos;
  int32_t inputLength;
  std::string_view row;
};

class VariantRow : public testing::TestWithParam<CRowCase> {};

TEST_P(VariantRow, ShowsTheMatchedPartInBold) {
  const CRowCase& c = GetParam();
  const CHtmlLines lines = VariantsPaneLines(
      {CVariant(std::string(c.text), 1, 45, c.matchPos, CHeadword::Term)}, c.inputLength, 100);
  ASSERT_GT(lines.size(), 4u);
  EXPECT_EQ(lines[4], c.row);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VariantRow,
    testing::Values(
        CRowCase{"InsideTheText", "disc brake (дисковый тормоз)"_cp, 5, 2,
                 "<tr><td><a href=variant://0>disc <b>br</b>ake (дисковый тормоз)</a></td></tr>"_cp},
        CRowCase{"WholeRussianHeadword", "тормоз (brake)"_cp, 0, 6,
                 "<tr><td><a href=variant://0><b>тормоз</b> (brake)</a></td></tr>"_cp},
        CRowCase{"MatchLongerThanTheRest", "ab", 1, 5, "<tr><td><a href=variant://0>a<b>b</b></a></td></tr>"},
        CRowCase{"MatchBeyondTheText", "ab", 7, 2, "<tr><td><a href=variant://0>ab<b></b></a></td></tr>"}),
    [](const auto& test) { return std::string(test.param.name); });

struct CBookmarksCase {
  std::string_view name;
  std::vector<std::string_view> labels;  // oldest first
  CHtmlLines lines;
};

class BookmarksPane : public testing::TestWithParam<CBookmarksCase> {};

TEST_P(BookmarksPane, ListsTheNewestFirstWithItsPosition) {
  std::vector<CResultPage> bookmarks;
  for (const std::string_view label : GetParam().labels) {
    bookmarks.emplace_back();
    bookmarks.back().SetLabel(label);
  }
  EXPECT_EQ(BookmarksPaneLines(bookmarks), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BookmarksPane,
    testing::Values(
        CBookmarksCase{
            "NewestFirst",
            {"A", "B", "C"},
            {"<html>", "<body border=0 topmargin=0 leftmargin=0 marginwidth=0 marginheight=0>",
             "<table cellspacing=0 cellpadding=2 border=0>", "<tr><td><a href=bookmark://2>C</a></td></tr>",
             "<tr><td><a href=bookmark://1>B</a></td></tr>", "<tr><td><a href=bookmark://0>A</a></td></tr>",
             "</table></body></html>"}},
        CBookmarksCase{
            "TypedMarkupIsEscaped",
            {"a<b", "Поиск & замена"_cp},
            Lines({"<html>", "<body border=0 topmargin=0 leftmargin=0 marginwidth=0 marginheight=0>",
                   "<table cellspacing=0 cellpadding=2 border=0>",
                   "<tr><td><a href=bookmark://1>Поиск &amp; замена</a></td></tr>"_cp,
                   "<tr><td><a href=bookmark://0>a&lt;b</a></td></tr>", "</table></body></html>"})}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(VariantsPaneSuggestions, FollowTheCountEachALinkThatTypesIt) {
  const CHtmlLines lines = VariantsPaneLines({}, 6, 100, {std::string("тормоз"_cp), "<i>"});
  const CHtmlLines tail(lines.end() - 7, lines.end() - 1);
  EXPECT_EQ(tail, (CHtmlLines{std::string("<hr><font size=-1 color=#888888>Найдено вариантов: 0.</font>"_cp),
                              std::string("<br><font size=-1>Возможно, вы искали: </font>"_cp),
                              "<table cellspacing=0 cellpadding=2 border=0>",
                              std::string("<tr><td><a href=type://0>тормоз</a></td></tr>"_cp),
                              "<tr><td><a href=type://1>&lt;i&gt;</a></td></tr>", "</table>"}))
      << "then the end of the pane";
  EXPECT_EQ(lines.back(), "</body></html>");
}

TEST(VariantsPaneSuggestions, AreAskedForOnlyWhenThreeLettersFindNoEntry) {
  const std::tuple<std::string_view, std::size_t, bool> cases[] = {
      {"тор"_cp, 0, true}, {"тор"_cp, 1, false}, {"то"_cp, 0, false}, {"т-о-р"_cp, 0, true},
      {"12345", 0, false}, {"+*!?", 0, false},   {"", 0, false}};
  for (const auto& [input, found, wanted] : cases)
    EXPECT_EQ(PaneWantsSuggestions(input, found), wanted) << cp1251::ToUtf8(input) << " " << found;
}

}  // namespace
