#include <gtest/gtest.h>

#include <random>

#include "dictionary/Variant.h"
#include "tests/support/LiteralSearch.h"
#include "tests/support/TestData.h"

namespace {

CArticle Headwords(int32_t id, std::string_view term, std::string_view translation) {
  return {.id = id, .term = term, .translation = translation};
}

// The list the lookup gives, replacing whatever the list held.
std::vector<CVariant> Lookup(const CDictionary& dictionary, std::string_view input, bool yoAsYe = false) {
  std::vector<CVariant> list = {CVariant("stale", 0, 1, 0, CHeadword::Term)};
  dictionary.LookupVariants(input, list, yoAsYe);
  return list;
}

const std::string kFifty(49, 'x');

TEST(Variants, RanksWholeHeadwordsThenEarlyWordStarts) {
  const std::string late = kFifty + " brake";                // word start 50
  const std::string edge = std::string(48, 'x') + " brake";  // word start 49
  const CDictionary dictionary = Loaded(FileBytes(
      {Headwords(1, "brake", "тормоз"_cp), Headwords(2, "disc brake", "дисковый тормоз"_cp),
       Headwords(3, "abrasive", "абразив"_cp), Headwords(4, "brakes", "тормоза"_cp), Headwords(5, "b", ""),
       Headwords(6, late, ""), Headwords(7, edge, ""), Headwords(-2, "BR", "бр"_cp)}));

  const std::vector<CVariant> br = Lookup(dictionary, "br");
  std::vector<std::string> texts;
  texts.reserve(br.size());
  for (const CVariant& v : br) texts.push_back(v.text);
  EXPECT_EQ(texts, (std::vector<std::string>{std::string("BR (бр)"_cp), std::string("brake (тормоз)"_cp),
                                             std::string("brakes (тормоза)"_cp),
                                             std::string("disc brake (дисковый тормоз)"_cp), edge}));
  EXPECT_EQ(br[0], CVariant(std::string("BR (бр)"_cp), -2, 100, 0, CHeadword::Term));
  EXPECT_EQ(br[3], CVariant(std::string("disc brake (дисковый тормоз)"_cp), 2, 45, 5, CHeadword::Term));
  EXPECT_EQ(br[4].score, 1);

  EXPECT_EQ(Lookup(dictionary, "BRAKE")[0],
            CVariant(std::string("brake (тормоз)"_cp), 1, 100, 0, CHeadword::Term));
  const std::vector<CVariant> b = Lookup(dictionary, "b");
  ASSERT_EQ(b.size(), 1u);
  EXPECT_EQ(b[0].articleId, 5);
  EXPECT_TRUE(Lookup(dictionary, "").empty());
  EXPECT_TRUE(Lookup(dictionary, "zz").empty());
}

TEST(Variants, TheBetterHeadwordWinsAndTheTranslationWinsTies) {
  const CDictionary dictionary =
      Loaded(FileBytes({Headwords(1, "brake pads", "disc brake pad"), Headwords(2, "oil", "oil")}));
  EXPECT_EQ(Lookup(dictionary, "brake pad"),
            (std::vector<CVariant>{CVariant("brake pads (disc brake pad)", 1, 50, 0, CHeadword::Term)}));
  EXPECT_EQ(Lookup(dictionary, "oil")[0], CVariant("oil (oil)", 2, 100, 0, CHeadword::Translation));
}

TEST(Variants, AgreeWithTheLiteralRulesOnRandomData) {
  std::mt19937 random(912);
  const std::vector<std::string_view> pieces = {"br",        "BR",    "brake", "a",     " ", "-", "тор"_cp,
                                                "ТОРМОЗ"_cp, "ёж"_cp, "еж"_cp, "Ёж"_cp, "x", "2"};
  const auto text = [&](int maxPieces) { return RandomText(random, pieces, maxPieces); };
  std::vector<std::string> storage;
  storage.reserve(2000);
  std::vector<CArticle> articles;
  for (int32_t id = 1; id <= 1000; ++id) {
    storage.push_back(text(25));
    storage.push_back(text(4));
    articles.push_back(Headwords(id, storage[storage.size() - 2], storage.back()));
  }
  const CDictionary dictionary = Loaded(FileBytes(articles));
  for (int round = 0; round < 300; ++round) {
    const std::string input = text(3);
    const bool yoAsYe = round % 2 == 1;
    ASSERT_EQ(Lookup(dictionary, input, yoAsYe), LiteralLookupVariants(dictionary, input, yoAsYe))
        << cp1251::ToUtf8(input) << (yoAsYe ? ", е and ё as one" : "");
  }
}

}  // namespace
