#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "search/Highlight.h"
#include "search/SearchQuery.h"
#include "tests/support/LiteralHighlight.h"
#include "text/Cp1251.h"

namespace {

using CHighlighter = void (*)(std::vector<std::string>&, const CSearchQuery&);

constexpr std::pair<std::string_view, CHighlighter> kHighlighters[] = {
    {"HighlightWords", &HighlightWords}, {"LiteralHighlightWords", &LiteralHighlightWords}};

std::vector<std::string> Strings(const std::vector<std::string_view>& views) {
  return {views.begin(), views.end()};
}

std::string Show(const std::vector<std::string>& lines) {
  std::string shown;
  for (const std::string& line : lines) shown += cp1251::ToUtf8(line) + " |";
  return shown;
}

struct CHighlightCase {
  std::vector<std::string_view> lines;
  std::string_view query;
  bool fullWords;
  std::vector<std::string_view> highlighted;
};

void PrintTo(const CHighlightCase& c, std::ostream* out) {
  *out << "query '" << cp1251::ToUtf8(c.query) << "' on " << Show(Strings(c.lines));
}

class Highlight : public testing::TestWithParam<CHighlightCase> {};

TEST_P(Highlight, WrapsOccurrencesOutsideTags) {
  const CHighlightCase& c = GetParam();
  const CSearchQuery query(c.query, c.fullWords, false);
  for (const auto& [name, highlight] : kHighlighters) {
    std::vector<std::string> lines = Strings(c.lines);
    highlight(lines, query);
    EXPECT_EQ(lines, Strings(c.highlighted)) << name << ": " << Show(lines);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Basic, Highlight,
    testing::Values(
        CHighlightCase{{"<b>двигатель</b> и двигатели"_cp},
                       "двиг"_cp,
                       false,
                       {"<b><font color=red>двиг</font>атель</b> и <font color=red>двиг</font>атели"_cp}},
        CHighlightCase{{"Масло и масла"_cp}, "масло"_cp, true, {"<font color=red>Масло</font> и масла"_cp}},
        CHighlightCase{{"<a href=article://12>article 12</a>"},
                       "article",
                       true,
                       {"<a href=article://12><font color=red>article</font> 12</a>"}},
        CHighlightCase{{"AAA"}, "A", false, {"AAA"}},
        CHighlightCase{{"AAA"},
                       "A*",
                       false,
                       {"<font color=red>A</font><font color=red>A</font><font color=red>A</font>"}},
        CHighlightCase{{"<h1>&laquo;Масло&raquo;</h1>"_cp, "laquo и масло"_cp},
                       "laquo",
                       true,
                       {"<h1>&<font color=red>laquo</font>;Масло&raquo;</h1>"_cp,
                        "<font color=red>laquo</font> и масло"_cp}},
        CHighlightCase{{"масло"_cp},
                       "масло масло"_cp,
                       false,
                       {"<font color=red><font color=red>масло</font></font>"_cp}},
        CHighlightCase{
            {"масло"_cp}, "масло масло"_cp, true, {"<font color=red><font color=red>масло</font></font>"_cp}},
        CHighlightCase{
            {"масло"_cp}, "масло мас*"_cp, false, {"<font color=red><font color=red>мас</font>ло</font>"_cp}},
        CHighlightCase{
            {"масло"_cp}, "масло мас*"_cp, true, {"<font color=red><font color=red>мас</font>ло</font>"_cp}},
        CHighlightCase{{"a < b масло"_cp}, "масло"_cp, false, {"a < b масло"_cp}}));

INSTANTIATE_TEST_SUITE_P(
    Nasty, Highlight,
    testing::Values(
        // Each pass runs over the previous one's output: the earlier prefix breaks the later word.
        CHighlightCase{{"масло"_cp}, "мас* масло"_cp, false, {"<font color=red>мас</font>ло"_cp}},
        // Later passes do not find the words of inserted tags.
        CHighlightCase{{"масло"_cp}, "масло font color red"_cp, false, {"<font color=red>масло</font>"_cp}},
        // After an inserted "</font>" comes a word start, even for a whole word inside "AA".
        CHighlightCase{{"AAAA AAA"},
                       "AA*",
                       false,
                       {"<font color=red>AA</font><font color=red>AA</font> "
                        "<font color=red>AA</font>A"}},
        CHighlightCase{{"AA"},
                       "A* A",
                       false,
                       {"<font color=red><font color=red>A</font></font>"
                        "<font color=red><font color=red>A</font></font>"}},
        CHighlightCase{{"&laquo;масло&raquo; &amp;amp"_cp},
                       "масло amp"_cp,
                       true,
                       {"&laquo;<font color=red>масло</font>&raquo; &<font color=red>amp</font>;"
                        "<font color=red>amp</font>"_cp}},
        CHighlightCase{
            {"a < b масло > масло"_cp}, "масло"_cp, false, {"a < b масло > <font color=red>масло</font>"_cp}},
        // The look-back for a bracket crosses line breaks, both ways.
        CHighlightCase{{"a <b"_cp, "масло>"_cp, "масло"_cp},
                       "масло"_cp,
                       false,
                       {"a <b"_cp, "масло>"_cp, "<font color=red>масло</font>"_cp}},
        CHighlightCase{{"<b"_cp, "class=x>масло class"_cp},
                       "масло class"_cp,
                       false,
                       {"<b"_cp, "class=x><font color=red>масло</font> <font color=red>class</font>"_cp}},
        // The whole-word test sees only the byte after the word, a tag's '<' included.
        CHighlightCase{{"<b>oil</b>oils<i>oil", "oil<b>s</b> boil engine-oil 2oil"},
                       "oil",
                       true,
                       {"<b><font color=red>oil</font></b>oils<i><font color=red>oil</font>",
                        "<font color=red>oil</font><b>s</b> boil engine-<font color=red>oil</font> "
                        "2<font color=red>oil</font>"}},
        // ... and so does it straight after an inserted tag.
        CHighlightCase{{"-oil-oils"}, "-oil", true, {"<font color=red>-oil</font>-oils"}},
        CHighlightCase{{"Ёжик и ежи"_cp}, "ёж*"_cp, false, {"<font color=red>Ёж</font>ик и ежи"_cp}},
        CHighlightCase{{"масло"_cp, "масло"_cp},
                       "масло"_cp,
                       true,
                       {"<font color=red>масло</font>"_cp, "<font color=red>масло</font>"_cp}},
        // A typed word may hold a line break; its font element then spans two lines.
        CHighlightCase{{"a x", "y b"}, "x\r\ny", false, {"a <font color=red>x", "y</font> b"}},
        CHighlightCase{{"a\nb", "c\rd", "e\r\nf", "g\n\rh", "i\r", ""},
                       "z",
                       false,
                       {"a", "b", "c", "d", "e", "f", "g", "", "h", "i", "", ""}},
        CHighlightCase{{}, "масло"_cp, false, {}},
        CHighlightCase{{"a\nb масло"_cp}, "  ", false, {"a\nb масло"_cp}},
        CHighlightCase{{"масло"_cp}, "*", false, {"масло"_cp}},
        CHighlightCase{{"масло"_cp}, "* масло +*"_cp, false, {"<font color=red>масло</font>"_cp}},
        CHighlightCase{{"a\nb"}, "*", false, {"a", "b"}},
        // A typed bracket must not cut a tag in two, nor wrap a lone one.
        CHighlightCase{
            {"<b>масло</b> a >масло"_cp}, "<b </b >масло b>*"_cp, false, {"<b>масло</b> a >масло"_cp}},
        CHighlightCase{
            {"<b>масло</b>"_cp}, "<b масло"_cp, false, {"<b><font color=red>масло</font></b>"_cp}}));

// Random small pages and queries: copying must give what inserting gives.
TEST(Highlight, AgreesWithTheInsertingVersionOnRandomPages) {
  const std::vector<std::string_view> tags = {
      "<b>", "</b>", "<a href=article://12>", "</a>", "<font color=red>", "</font>", "&laquo;", "&raquo;",
      "<",   ">"};
  const std::vector<std::string_view> text = {"a",    "A",    "b",    "B",    "ab", "ё"_cp, "Ё"_cp,
                                              "е"_cp, "Е"_cp, "ж"_cp, "Ж"_cp, "1",  " ",    " ",
                                              "-",    "-",    "\r\n", "\n",   "\r"};
  const std::vector<std::string_view> queryWords = {
      "a", "A",  "ab", "b",  "ba", "aba",   "ё"_cp, "ёж"_cp, "Е"_cp, "ж"_cp, "1",
      "-", "-a", "<",  "b>", ">",  "laquo", "href", "font",  "red",  "\r\n", "*"};
  std::mt19937 random(20240611);
  const auto pick = [&random](const std::vector<std::string_view>& pieces) {
    return pieces[random() % pieces.size()];
  };
  for (int round = 0; round < 500; ++round) {
    std::vector<std::string> page(random() % 5);
    for (std::string& line : page)
      for (auto n = random() % 20; n > 0; --n) line += random() % 3 == 0 ? pick(tags) : pick(text);
    std::string typed;
    for (auto n = random() % 5; n > 0; --n) {
      if (random() % 4 == 0) typed += '+';
      for (auto parts = 1 + random() % 2; parts > 0; --parts) typed += pick(queryWords);
      if (random() % 3 == 0) typed += '*';
      typed += ' ';
    }
    const CSearchQuery query(typed, random() % 2 == 0, false, random() % 2 == 0);

    std::vector<std::string> copied = page;
    HighlightWords(copied, query);
    std::vector<std::string> literal = page;
    LiteralHighlightWords(literal, query);
    ASSERT_EQ(copied, literal) << "round " << round << ", query '" << cp1251::ToUtf8(typed) << "', page "
                               << Show(page);
  }
}

std::string Repeated(std::string_view word, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) (text += word) += ' ';
  return text;
}

// Beyond a dozen words (a pasted text), each place is wrapped once, with the longest word found there.
TEST(Highlight, LongQueriesWrapEachPlaceOnce) {
  const std::string filler = Repeated("zz", kExactHighlightWords);
  const struct {
    std::string query;
    bool fullWords;
    std::string_view page;
    std::string_view highlighted;
  } cases[] = {
      {Repeated("масло"_cp, 800), false, "масло и <b>МАСЛО</b>"_cp,
       "<font color=red>масло</font> и <b><font color=red>МАСЛО</font></b>"_cp},
      {filler + "br* brake", false, "brake br bra brakes",
       "<font color=red>brake</font> <font color=red>br</font> "
       "<font color=red>br</font>a <font color=red>brake</font>s"},
      {filler + "br brake", true, "brake br bra brakes",
       "<font color=red>brake</font> <font color=red>br</font> bra brakes"},
      {filler + "br brake*", true, "brakes bra", "<font color=red>brake</font>s bra"},
      {filler + "a <b> font", false, "<font color=x>a</font>",
       "<font color=x><font color=red>a</font></font>"},
      {filler + std::string("ё* е*"_cp), false, "Ёж еж"_cp,
       "<font color=red>Ё</font>ж <font color=red>е</font>ж"_cp},
  };
  for (const auto& c : cases) {
    std::vector<std::string> lines = {std::string(c.page)};
    HighlightWords(lines, CSearchQuery(c.query, c.fullWords, false));
    EXPECT_EQ(lines, std::vector<std::string>{std::string(c.highlighted)})
        << cp1251::ToUtf8(c.query.substr(filler.size()));
  }
}

// Whatever the page and the long query: no wrap inside another, and the page itself unchanged.
TEST(Highlight, LongQueriesNeverNestAndKeepThePage) {
  const std::vector<std::string_view> pieces = {"a",   "ab",   "b", "abc",  " ",    " ",
                                                "<b>", "</b>", "-", "ё"_cp, "Ё"_cp, "1"};
  std::mt19937 random(20261210);
  const auto pick = [&random, &pieces] { return pieces[random() % pieces.size()]; };
  for (int round = 0; round < 300; ++round) {
    std::string page;
    for (auto n = random() % 60; n > 0; --n) page += pick();
    std::string typed;
    for (auto n = kExactHighlightWords + 1 + random() % 30; n > 0; --n)
      (typed += pick()) += random() % 3 ? " " : "* ";
    const CSearchQuery query(typed, random() % 2 == 0, false);
    if (query.WordCount() <= kExactHighlightWords) continue;  // lone markers make no word
    std::vector<std::string> lines = {page};
    HighlightWords(lines, query);
    ASSERT_EQ(lines.size(), 1u);
    std::string unwrapped = lines[0];
    for (const std::string_view tag : {kHighlightOpen, kHighlightClose}) {
      for (std::size_t at; (at = unwrapped.find(tag)) != std::string::npos;) unwrapped.erase(at, tag.size());
    }
    EXPECT_EQ(unwrapped, page) << "round " << round;
    EXPECT_EQ(lines[0].find(std::string(kHighlightOpen) + std::string(kHighlightOpen)), std::string::npos)
        << cp1251::ToUtf8(typed) << " on " << cp1251::ToUtf8(page) << " -> " << cp1251::ToUtf8(lines[0]);
    std::size_t depth = 0;
    for (std::size_t at = 0; at < lines[0].size(); ++at) {
      if (lines[0].compare(at, kHighlightOpen.size(), kHighlightOpen) == 0) {
        ASSERT_EQ(++depth, 1u) << lines[0];
      }
      if (lines[0].compare(at, kHighlightClose.size(), kHighlightClose) == 0 && depth > 0) --depth;
    }
  }
}

}  // namespace
