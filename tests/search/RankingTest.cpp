#include <gtest/gtest.h>

#include <random>

#include "search/Search.h"
#include "tests/support/LiteralSearch.h"
#include "tests/support/ScanPaths.h"
#include "tests/support/TestData.h"

namespace {

struct CScoreCase {
  std::string_view word;
  std::string text;
  bool wholeWord;
  int32_t score;
};

class ScoreWord : public testing::TestWithParam<CScoreCase> {};

TEST_P(ScoreWord, RanksEarlyOccurrencesInShortTexts) {
  const CScoreCase& c = GetParam();
  EXPECT_EQ(CDictionary::ScoreWord(c.word, c.text, c.wholeWord), c.score);
  EXPECT_EQ(LiteralScoreWord(c.word, c.text, c.wholeWord), c.score);
}

std::string Repeated(std::string_view piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += (i ? " " : "") + std::string(piece);
  return text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScoreWord,
    testing::Values(CScoreCase{"ENGINE", "ENGINE", true, 450000},
                    CScoreCase{"ENGINE", "engine oil", true, 450000},
                    CScoreCase{"OIL", "ENGINE OIL", true, 266666},
                    CScoreCase{"OIL", "OIL, OIL", true, 800000}, CScoreCase{"OIL", "OILS", true, 0},
                    CScoreCase{"ДВИГ"_cp, std::string("двигатель внутреннего сгорания"_cp), false, 225000},
                    CScoreCase{"ДВИГ"_cp, std::string("двигатель внутреннего сгорания"_cp), true, 0},
                    CScoreCase{"A", Repeated("a", 12), true, 4181538}, CScoreCase{"", "", false, 450000},
                    CScoreCase{"ENGINE", std::string("Машина."_cp), true, 0},
                    CScoreCase{"OILS", "OIL", false, 0},
                    // The product leaves the 32-bit range, the quotient does not.
                    CScoreCase{"", Repeated("a", 400), false, 8389027},
                    // So many occurrences that the quotient leaves it too: clamped.
                    CScoreCase{"A", Repeated("a", 250000), true, INT32_MAX}));

CArticle Article(int32_t id, std::string_view term, std::string_view translation,
                 std::string_view definition) {
  return {.id = id, .language = 2, .term = term, .translation = translation, .definition = definition};
}

struct CSearchCase {
  const char* name;
  std::string_view text;
  bool allWords;
  std::vector<int32_t> ids;
  int32_t strictCount;
};

const std::vector<CArticle> kArticles = {
    Article(1, "ENGINE OIL", "моторное масло"_cp, "Масло для смазки двигателя."_cp),
    Article(2, "ENGINE", "двигатель"_cp, "Машина."_cp),
    Article(3, "PUMP", "насос"_cp, "Engine pump for двигатель масло."_cp),
};

class Search : public testing::TestWithParam<CSearchCase> {};

TEST_P(Search, FindsAndRanksArticles) {
  const CSearchCase& c = GetParam();
  const CDictionary dictionary = Loaded(FileBytes(kArticles));
  const CSearchQuery query(c.text, false, c.allWords);
  const CResultPage page = dictionary.Search(query);
  EXPECT_EQ(page.articleIds, c.ids);
  EXPECT_EQ(page.strictCount, c.strictCount);
  EXPECT_EQ(page, LiteralSearch(dictionary, query));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Search,
    testing::Values(CSearchCase{"AnyWord", "engine масло"_cp, false, {1, 3, 2}, 2},
                    CSearchCase{"AllWordsMode", "engine масло"_cp, true, {1, 3}, 2},
                    CSearchCase{"RequiredWord", "+масло engine"_cp, false, {1, 3}, 2},
                    CSearchCase{"NonStrictAboveStrict", "engine двигатель масло"_cp, false, {2, 1, 3}, 1},
                    CSearchCase{"EveryArticle", "*", false, {1, 3, 2}, 3},
                    CSearchCase{"NoWords", "  ", false, {}, 0}, CSearchCase{"LonePlus", "+", true, {}, 0},
                    CSearchCase{"Nothing", "тормоз"_cp, false, {}, 0}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(Search, ScoresOfThePublishedExamples) {
  const CDictionary dictionary = Loaded(FileBytes(kArticles));
  // Each article's score, as the ranking gives it.
  const auto score = [&](std::string_view text, int32_t position) {
    int32_t strictCount = 0;
    for (const CDictionary::CSearchHit& hit :
         dictionary.RankArticles(CSearchQuery(text, false, false), strictCount))
      if (hit.position == position) return int64_t{hit.score};
    return int64_t{0};
  };
  EXPECT_EQ(score("engine масло"_cp, 0), 21846660);
  EXPECT_EQ(score("engine масло"_cp, 1), 9000000);
  EXPECT_EQ(score("engine двигатель масло"_cp, 1), 13500000);
  EXPECT_EQ(score("engine двигатель масло"_cp, 2), 10353333);
}

TEST(Search, EqualScoresGoByTranslationThenStoreOrder) {
  const CDictionary dictionary =
      Loaded(FileBytes({Article(1, "x", "насос"_cp, "oil"), Article(2, "x", "масло моторное"_cp, "oil"),
                        Article(3, "x", "масло"_cp, "oil"), Article(4, "y", "масло"_cp, "oil")}));
  EXPECT_EQ(dictionary.Search(CSearchQuery("oil", false, false)).articleIds,
            (std::vector<int32_t>{3, 4, 2, 1}));
}

TEST(Search, ThePageCarriesTheQueryAndAnEscapedHeading) {
  const CDictionary dictionary = Loaded(FileBytes(kArticles));
  const CSearchQuery query("  a<b & engine ", false, false);
  const CResultPage page = dictionary.Search(query);
  EXPECT_EQ(page.label, "a<b & engine");
  EXPECT_EQ(page.heading, "Поиск: &laquo;a&lt;b &amp; engine&raquo;"_cp);
  EXPECT_EQ(page.query, query);
  EXPECT_TRUE(page.showHeader);
  EXPECT_EQ(page.pageKind, CPageKind::Ordinary);
}

// Random articles and queries: the fast search must rank exactly as the literal loops do, on each
// path of its scan that the processor runs.
class SearchOnPath : public testing::TestWithParam<CScanPath> {
 protected:
  void SetUp() override {
    if (!UseScanPath(GetParam())) GTEST_SKIP() << "the processor lacks this path";
  }
  void TearDown() override { UseScanPath(chosen); }
  const CScanPath chosen = ScanPathInUse();
};

TEST_P(SearchOnPath, AgreesWithTheLiteralRulesOnRandomData) {
  ASSERT_EQ(ScanPathInUse(), GetParam());
  std::mt19937 random(20261209);
  const std::vector<std::string_view> pieces = {
      "oil", "OIL", "oils", "pump", "p", "a", "-", "2", " ", " ", ", ", "<b>", "масло"_cp, "МАСЛО"_cp,
      "мас"_cp, "ёж"_cp, "ЁЖ"_cp, "еж"_cp, "двигатель"_cp, "ДВИГ"_cp, "oil-pump", "2oil", "і"_cp, "\t",
      // "мас" with the top bit of each byte cleared: the widest path's lookup lets it through to the check.
      "l`q"};
  const auto text = [&](int maxPieces) { return RandomText(random, pieces, maxPieces); };
  std::vector<std::string> storage;
  storage.reserve(3000);
  std::vector<CArticle> articles;
  for (int32_t id = 1; id <= 1000; ++id) {
    storage.push_back(text(3));
    storage.push_back(text(3));
    storage.push_back(text(40));
    articles.push_back(
        Article(id % 700, storage[storage.size() - 3], storage[storage.size() - 2], storage.back()));
  }
  const CDictionary dictionary = Loaded(FileBytes(articles));
  const std::vector<std::string> markers = {"", "", "+", "*", "+*"};
  for (int round = 0; round < 300; ++round) {
    std::string typed;
    // Now and then a long query, its words repeated as in a pasted text.
    for (int n = std::uniform_int_distribution(1, round % 10 == 0 ? 30 : 3)(random); n > 0; --n) {
      const std::string& marker =
          markers[std::uniform_int_distribution<std::size_t>(0, markers.size() - 1)(random)];
      std::string word(pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(random)]);
      if (marker.starts_with('+')) word = "+" + word;
      if (marker.ends_with('*')) word += "*";
      typed += word + " ";
    }
    const CSearchQuery query(typed, random() % 2, random() % 2, random() % 2);
    ASSERT_EQ(dictionary.Search(query), LiteralSearch(dictionary, query))
        << cp1251::ToUtf8(typed) << (query.YoAsYe() ? ", е and ё as one" : "");
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, SearchOnPath, EveryScanPath(), ScanPathName);

}  // namespace
