#include "htmlview/PageMarkup.h"

#include <gtest/gtest.h>

#include <string>

#include "text/Cp1251.h"

namespace {

std::string Repeated(std::string_view text, int times) {
  std::string repeated;
  for (int i = 0; i < times; ++i) repeated += text;
  return repeated;
}

TEST(PageMarkupTest, UnquotedValuesAreQuotedAsABrowserReadsThem) {
  const std::pair<const char*, const char*> cases[] = {
      {"<a href=article://2=x>t</a>", "<a href=\"article://2=x\">t</a>"},
      {"<a href=https://example.com/>t</a>", "<a href=\"https://example.com/\">t</a>"},
      {"<a href='x y' title=\"a>b\">t</a>", "<a href='x y' title=\"a>b\">t</a>"},
      {"<a href=a\"b>t</a>", "<a href=\"a&quot;b\">t</a>"},
      {"<font size=+1 color=#999999>t</font>", "<font size=\"+1\" color=\"#999999\">t</font>"},
      {"a < b, c<1, <br/> <hr >", "a < b, c<1, <br/> <hr >"},
      {"x<link rel=stylesheet href=a.css>y<LINK/>z", "xyz"},
      {"<a href", "<a href"},
  };
  for (const auto& [written, read] : cases) EXPECT_EQ(BrowserReadableMarkup(written), read) << written;
}

TEST(PageMarkupTest, TagsNestedTooDeepGoButTheirTextStays) {
  const int deep = kMaxMarkupDepth + 100;
  const std::string balanced = Repeated("<b>", deep) + "x" + Repeated("</b>", deep) + "<i>after</i>";
  EXPECT_TRUE(BrowserReadableMarkup(balanced) ==
              Repeated("<b>", kMaxMarkupDepth) + "x" + Repeated("</b>", kMaxMarkupDepth) + "<i>after</i>");
  // Empty elements open nothing: a page of line breaks keeps them all.
  const std::string breaks =
      Repeated("<div>", kMaxMarkupDepth - 1) + Repeated("<br><img src=\"a\"><hr/>", 1000);
  EXPECT_TRUE(BrowserReadableMarkup(breaks) == breaks);
  EXPECT_TRUE(BrowserReadableMarkup(Repeated("<p>", 20000) + "y") == Repeated("<p>", kMaxMarkupDepth) + "y");
}

TEST(PageMarkupTest, TheShownPartEndsOutsideTagsAndEntitiesWithANote) {
  const std::string note(std::string_view("остаток опущен"_cp));
  EXPECT_EQ(ShownPart("short", 10), "short");
  const std::pair<const char*, const char*> cases[] = {
      {"abcdefgh<b>ij", "abcdefgh<b>"},  // cut right after a tag
      {"abcdefg<font>", "abcdefg"},      // inside a tag
      {"abcdef&laquo;x", "abcdef"},      // inside an entity
      {"abc&amp;defghijk", "abc&amp;def"},
  };
  for (const auto& [page, kept] : cases) {
    const std::string shown = ShownPart(page, 11);
    EXPECT_TRUE(shown.starts_with(kept)) << page << " -> " << shown;
    EXPECT_NE(shown.find(note), std::string::npos) << page;
    EXPECT_EQ(shown.find(std::string(page).substr(std::string(kept).size())), std::string::npos) << page;
  }
}

TEST(PageMarkupTest, LongRunsGetBreaksOutsideTagsEntitiesAndLetters) {
  const std::string run = Repeated("ж", kMaxUnbrokenRun * 2 + 10);  // two bytes a letter in UTF-8
  const std::string broken = WithBreaksInLongRuns("<a href=\"" + run + "\">" + run + "</a>");
  EXPECT_EQ(broken, "<a href=\"" + run + "\">" + Repeated("ж", kMaxUnbrokenRun) +
                        std::string(kInsertedBreak) + Repeated("ж", kMaxUnbrokenRun) +
                        std::string(kInsertedBreak) + Repeated("ж", 10) + "</a>");
  const std::string entities = Repeated("&nbsp;", kMaxUnbrokenRun + 1);
  EXPECT_EQ(WithBreaksInLongRuns(entities),
            Repeated("&nbsp;", kMaxUnbrokenRun) + std::string(kInsertedBreak) + "&nbsp;");
  const std::string words = Repeated(Repeated("a", kMaxUnbrokenRun) + " ", 3);
  EXPECT_EQ(WithBreaksInLongRuns(words), words);
}

}  // namespace
