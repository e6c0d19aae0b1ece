#include <gtest/gtest.h>

#include <algorithm>

#include "dictionary/Messages.h"
#include "pages/PageBuilders.h"
#include "pages/PageRenderer.h"
#include "search/Highlight.h"
#include "tests/support/PagesTestData.h"

namespace {

void Append(CHtmlLines& lines, const CHtmlLines& more) {
  lines.insert(lines.end(), more.begin(), more.end());
}

CHtmlLines Head(std::string_view heading) {
  CHtmlLines lines =
      Lines({"<html>", "<head>", "<META HTTP-EQUIV='Content-Type' CONTENT='text/html; charset=windows-1251'>",
             "</head>", "<title>"});
  if (!heading.empty()) lines.push_back(std::string(heading) + " - ");
  Append(lines, Lines({"ТЕЛМО Карролексия"_cp, "</title>",
                       "<body border=0 topmargin=5 leftmargin=5 marginwidth=5 marginheight=5>"}));
  return lines;
}

CHtmlLines Render(const CDictionary& dictionary, const CResultPage& page, bool forExport,
                  const CRenderOptions& options = {}) {
  CHtmlLines lines;
  RenderPage(dictionary, page, lines, forExport, options);
  return lines;
}

// Result pages over two one-line articles: 's' stands for the strict one, 'l' for the loose
// one, 'N' for the no-strict-matches line and '|' for the separator.
struct CResultCase {
  std::string_view name;
  int32_t strictIds;
  int32_t looseIds;
  int32_t strictCount;
  int32_t limit;
  std::string_view countCell;
  std::string body;
};

class ResultPage : public testing::TestWithParam<CResultCase> {};

TEST_P(ResultPage, ShowsCountsSeparatorAndArticles) {
  const CResultCase& c = GetParam();
  const CDictionary dictionary = Loaded(FileBytes({{.id = 1, .term = "strict"}, {.id = 2, .term = "loose"}}));
  CResultPage page;
  page.SetHeading("Поиск: &laquo;brake&raquo;"_cp);
  page.articleIds.assign(c.strictIds, 1);
  page.articleIds.insert(page.articleIds.end(), c.looseIds, 2);
  page.strictCount = c.strictCount;

  CHtmlLines expected = Head(page.heading);
  Append(expected,
         Lines({"<table border=0 cellspacing=0 cellpadding=0 width=100%><tr>",
                "<td><font size=+1 color=#000088><b>Поиск: &laquo;brake&raquo;</b></font></td>"_cp,
                std::string("<td align=right><font size=-1 color=#888888>") + std::string(c.countCell),
                "</font></div></td>", "</tr></table>", "<hr>"}));
  for (const char part : c.body) {
    switch (part) {
      case 's':
        expected.emplace_back("<font size=+1><b>strict</b></font><br><br>");
        break;
      case 'l':
        expected.emplace_back("<font size=+1><b>loose</b></font><br><br>");
        break;
      case 'N':
        expected.emplace_back("Строгие совпадения не найдены..."_cp);
        break;
      case '|':
        expected.emplace_back("<hr><font color=#008800><b>Нестрогие совпадения:</b></font><hr><br>"_cp);
    }
  }
  expected.emplace_back("</body></html>");

  CRenderOptions options;
  options.maxResultDisplayCount = c.limit;
  EXPECT_EQ(Render(dictionary, page, false, options), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResultPage,
    testing::Values(CResultCase{"LimitCutsTheList", 450, 0, 450, 300,
                                "Найдено вариантов: 450, показаны первые 300"_cp, std::string(300, 's')},
                    CResultCase{"AllWithinTheLimit", 120, 0, 120, 300, "Найдено вариантов: 120"_cp,
                                std::string(120, 's')},
                    CResultCase{"StrictThenNonStrict", 3, 5, 3, 300, "Найдено вариантов: 8"_cp, "sss|lllll"},
                    CResultCase{"NoStrictMatches", 0, 4, 0, 300, "Найдено вариантов: 4"_cp, "N|llll"},
                    CResultCase{"NoMatchesAtAll", 0, 0, 0, 300, "Найдено вариантов: 0"_cp, "N"},
                    CResultCase{"LimitBeforeTheNonStrict", 12, 8, 12, 10,
                                "Найдено вариантов: 20, показаны первые 10"_cp, std::string(10, 's')},
                    CResultCase{"LimitAtTheFirstNonStrict", 10, 5, 10, 10,
                                "Найдено вариантов: 15, показаны первые 10"_cp, std::string(10, 's')},
                    CResultCase{"NoStrictDistinction", 0, 3, -1, 300, "Найдено вариантов: 3"_cp, "lll"}),
    [](const auto& test) { return std::string(test.param.name); });

constexpr std::string_view kSynonymsAsLinks =
    "<font size=+1><b>дисковый механизм</font></b> <font color=#999999><i>[нем.]</i></font> "
    "<br>Узел.<br>Тормоз с <b>диском</b>.<br><font color=#006600>Синонимы: </font>"
    "<br>&nbsp;&nbsp;&nbsp;- <a href='article://11'> (disk brake)</a>"
    "<br>&nbsp;&nbsp;&nbsp;- <a href='article://10'>дисковый тормоз (disc brake)</a>"
    "<br>См. также: суппорт<br><br>"_cp;
constexpr std::string_view kSynonymsAsText =
    "<font size=+1><b>дисковый механизм</font></b> <font color=#999999><i>[нем.]</i></font> "
    "<br>Узел.<br>Тормоз с <b>диском</b>.<br><font color=#006600>Синонимы: </font>"
    "<br>&nbsp;&nbsp;&nbsp;-  (disk brake)<br>&nbsp;&nbsp;&nbsp;- дисковый тормоз (disc brake)"
    "<br>См. также: суппорт<br><br>"_cp;

TEST(ArticlePageLines, InViewModeIsTheHeadTheArticleAndTheEnd) {
  CHtmlLines expected = Head("");
  Append(expected, {std::string(kSynonymsAsLinks), "</body></html>"});
  EXPECT_EQ(Render(SynonymStore(), *ArticlePage(SynonymStore(), 12), false), expected);
}

TEST(ArticlePageLines, InExportModeEndsWithTheCreditAndHasNoLinks) {
  CHtmlLines expected = Head("");
  Append(expected, {std::string(kSynonymsAsText), "<p><font size=-1 color=#080808>",
                    std::string(kExportCredit), "</font></p>", "</body></html>"});
  EXPECT_EQ(Render(SynonymStore(), *ArticlePage(SynonymStore(), 12), true), expected);
}

TEST(ArticlePageLines, EmptyStoreRendersNoArticleLine) {
  CResultPage page;
  page.articleIds = {1};
  page.showHeader = false;
  CHtmlLines expected = Head("");
  expected.emplace_back("</body></html>");
  EXPECT_EQ(Render(EmptyStore(), page, false), expected);
}

bool HasHighlight(const CHtmlLines& lines) {
  return std::ranges::any_of(
      lines, [](const std::string& line) { return line.find(kHighlightOpen) != std::string::npos; });
}

struct CHighlightCase {
  std::string_view name;
  bool forExport;
  bool highlight;
  bool highlighted;
};

class Highlighting : public testing::TestWithParam<CHighlightCase> {};

TEST_P(Highlighting, HappensOnlyInViewModeWhenSwitchedOn) {
  CResultPage page(SynonymStore().ArticleAt(0));
  page.SetQuery(CSearchQuery("brake", false, false));
  int announced = 0;
  const CHtmlLines lines =
      Render(SynonymStore(), page, GetParam().forExport,
             {.highlight = GetParam().highlight, .beforeHighlighting = [&] { ++announced; }});
  EXPECT_EQ(HasHighlight(lines), GetParam().highlighted);
  EXPECT_EQ(announced, GetParam().highlighted ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, Highlighting,
                         testing::Values(CHighlightCase{"ViewSwitchedOn", false, true, true},
                                         CHighlightCase{"ViewSwitchedOff", false, false, false},
                                         CHighlightCase{"ExportSwitchedOn", true, true, false}),
                         [](const auto& test) { return std::string(test.param.name); });

CHtmlLines AboutLines(std::string_view articles, std::string_view english, std::string_view german) {
  const auto link = [](std::string_view address) {
    return "<a href=" + std::string(address) + ">" + std::string(address) + "</a>";
  };
  return Lines(
      {"<html>",
       "<head>",
       "<META HTTP-EQUIV='Content-Type' CONTENT='text/html; charset=windows-1251'>",
       "</head>",
       "<body border=0 topmargin=5 leftmargin=5 marginwidth=5 marginheight=5>",
       "<table border=0 cellspacing=0 cellpadding=3><tr><td><img src=help/telmo.gif></td>",
       "<td><h2>ТЕЛМО Карролексия</h2>"_cp,
       "<h3>TELMO Carro Lexiconia</h3></td></tr>",
       "<tr><td colspan=2>",
       "<p>Версия программы: "_cp,
       "1.0",
       "<br>",
       "Версия данных словаря: "_cp,
       "2026-12",
       "<br>",
       "Количество статей: "_cp,
       std::string(articles),
       "<br>",
       "Терминов на английском языке: "_cp,
       std::string(english),
       "<br>",
       "Терминов на немецком языке: "_cp,
       std::string(german),
       "</p>",
       "<hr>",
       "<p>WWW: " + link(kMakerSite) + "<br>",
       "E-mail: <a href=mailto:" + std::string(kMakerEmail) + ">" + std::string(kMakerEmail) + "</a><br>",
       std::string("Интернет-версия словаря: "_cp) + link(kMakerOnlineDictionary) + "</p>",
       "<hr>",
       std::string("<p>Подготовка данных: "_cp) + std::string(kCreditData) + "<br>",
       std::string("Программирование: "_cp) + std::string(kCreditProgramming) + "</p>",
       std::string(kLegalNotice),
       "</td></tr></table>",
       "",
       "</body></html>"});
}

TEST(AboutPageLines, CountsArticlesByLanguageTheSameInBothModes) {
  std::vector<CArticle> articles(500);
  for (int32_t i = 0; i < 500; ++i) articles[i] = {.id = i + 1, .language = i < 300 ? 2 : i < 450 ? 5 : 0};
  const CDictionary dictionary = Loaded(FileBytes(articles));
  int announced = 0;
  const CRenderOptions options{.beforeHighlighting = [&] { ++announced; }};
  const CHtmlLines expected = AboutLines("500", "300", "150");
  ASSERT_EQ(expected.size(), 35u);
  EXPECT_EQ(Render(dictionary, AboutPage(), false, options), expected);
  EXPECT_EQ(Render(dictionary, AboutPage(), true, options), expected);
  EXPECT_EQ(announced, 0);
}

// A search that found nothing: what it may have meant, one line after the no-strict-matches line.
TEST(SuggestionsLine, FollowsTheEmptyResultAsLinksOrAsText) {
  const CDictionary dictionary = Loaded(FileBytes({{.id = 1, .term = "brake"}}));
  CResultPage page;
  page.strictCount = 0;
  page.suggestions = {std::string("тормоз"_cp), "a<b>&'"};
  const CRenderOptions plain{.highlight = false};
  const auto lineAfterNotFound = [&](bool forExport) {
    const CHtmlLines lines = Render(dictionary, page, forExport, plain);
    const auto notFound = std::find(lines.begin(), lines.end(), "Строгие совпадения не найдены..."_cp);
    return notFound + 1 < lines.end() ? notFound[1] : std::string();
  };
  EXPECT_EQ(lineAfterNotFound(false),
            "<br>Возможно, вы искали: <a href='search://0'>тормоз</a>, "
            "<a href='search://1'>a&lt;b&gt;&amp;&#39;</a>"_cp);
  EXPECT_EQ(lineAfterNotFound(true), "<br>Возможно, вы искали: тормоз, a&lt;b&gt;&amp;&#39;"_cp);

  // A page that found something is drawn as it always was.
  CResultPage found = page;
  found.articleIds = {1};
  CResultPage withoutSuggestions = found;
  withoutSuggestions.suggestions.clear();
  for (const bool forExport : {false, true})
    EXPECT_EQ(Render(dictionary, found, forExport), Render(dictionary, withoutSuggestions, forExport));
}

TEST(SuggestionsLine, HighlightingLeavesTheLinksWhole) {
  const CDictionary dictionary = Loaded(FileBytes({}));
  CResultPage page;
  page.strictCount = 0;
  page.SetQuery(CSearchQuery("search href", false, false));
  page.suggestions = {"searches"};
  const CHtmlLines lines = Render(dictionary, page, false);
  EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                         [](const std::string& line) {
                           return line.find("<a href='search://0'>") != std::string::npos;
                         }),
            lines.end());
}

}  // namespace
