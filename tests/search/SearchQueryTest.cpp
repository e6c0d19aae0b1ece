#include <gtest/gtest.h>

#include "search/SearchQuery.h"
#include "text/Cp1251.h"

namespace {

struct CWord {
  std::string_view word;
  bool wholeWord;
  bool required;
  bool operator==(const CWord&) const = default;
};

struct CQueryCase {
  std::string_view typed;
  bool fullWords;
  bool allWords;
  std::vector<CWord> words;
  std::string_view text;
};

std::vector<CWord> WordsOf(const CSearchQuery& query) {
  std::vector<CWord> words;
  words.reserve(static_cast<std::size_t>(query.WordCount()));
  for (int32_t i = 0; i < query.WordCount(); ++i)
    words.push_back({query.Word(i), query.WholeWord(i), query.Required(i)});
  return words;
}

class SearchQuery : public testing::TestWithParam<CQueryCase> {};

TEST_P(SearchQuery, BuildsWordsAndFlags) {
  const CQueryCase& c = GetParam();
  const CSearchQuery query(c.typed, c.fullWords, c.allWords);
  EXPECT_EQ(WordsOf(query), c.words) << cp1251::ToUtf8(c.typed);
  EXPECT_EQ(query.Text(), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SearchQuery,
    testing::Values(
        CQueryCase{"двиг"_cp, false, false, {{"ДВИГ"_cp, false, false}}, "двиг"_cp},
        CQueryCase{"двиг"_cp, true, false, {{"ДВИГ"_cp, true, false}}, "двиг"_cp},
        CQueryCase{"ось ос ос*"_cp,
                   false,
                   true,
                   {{"ОСЬ"_cp, false, true}, {"ОС"_cp, true, true}, {"ОС"_cp, false, true}},
                   "ось ос ос*"_cp},
        CQueryCase{"+масло фильтр*"_cp,
                   true,
                   false,
                   {{"МАСЛО"_cp, true, true}, {"ФИЛЬТР"_cp, false, false}},
                   "+масло фильтр*"_cp},
        CQueryCase{"  engine   масло "_cp,
                   false,
                   false,
                   {{"ENGINE", false, false}, {"МАСЛО"_cp, false, false}},
                   "engine   масло"_cp},
        CQueryCase{"++масло масло** *масло"_cp,
                   false,
                   false,
                   {{"+МАСЛО"_cp, false, true}, {"МАСЛО*"_cp, false, false}, {"*МАСЛО"_cp, false, false}},
                   "++масло масло** *масло"_cp},
        CQueryCase{"a\tb,c-d ёж"_cp,
                   false,
                   false,
                   {{"A\tB,C-D", false, false}, {"ЁЖ"_cp, true, false}},
                   "a\tb,c-d ёж"_cp},
        CQueryCase{"* +*", true, false, {{"", false, false}, {"", false, true}}, "* +*"},
        CQueryCase{"+ масло +"_cp, false, false, {{"МАСЛО"_cp, false, false}}, "+ масло +"_cp},
        CQueryCase{" \t\r\n ", false, true, {}, ""}, CQueryCase{"", true, true, {}, ""}));

TEST(SearchQuery, FlagsCanBeChangedAndCopiesAreIndependent) {
  CSearchQuery query("тормоз диск"_cp, false, true);
  CSearchQuery copy = query;
  query.SetWholeWord(0, true);
  EXPECT_TRUE(query.WholeWord(0));
  EXPECT_FALSE(copy.WholeWord(0));
  const CSearchQuery& itself = copy;
  copy = itself;  // assigning a query to itself keeps it
  EXPECT_EQ(copy.Word(1), "ДИСК"_cp);
  EXPECT_EQ(CSearchQuery().WordCount(), 0);
  EXPECT_EQ(CSearchQuery().Text(), "");
}

}  // namespace
