#include "suggest/Suggester.h"

#include <gtest/gtest.h>

#include <fstream>

#include "pages/ResultPage.h"
#include "search/SearchQuery.h"
#include "tests/support/TestData.h"
#include "text/Cp1251.h"

namespace {

CArticle Headwords(int32_t id, std::string_view term, std::string_view translation, int32_t language = 2) {
  return {.id = id, .language = language, .term = term, .translation = translation, .definition = "."};
}

const CDictionary& Fixture() {
  static const CDictionary dictionary = Loaded(FileBytes({
      Headwords(1, "brake", "тормоз"_cp),
      Headwords(2, "brake pad", "тормозная колодка"_cp),
      Headwords(3, "suspension", "подвеска"_cp),
      Headwords(4, "Zuendkerze", "свеча зажигания"_cp, 5),
      Headwords(5, "steel wheel", "колёсный диск"_cp),
      Headwords(6, "lift", "подъёмник"_cp),
      Headwords(7, "shock absorber", "амортизатор"_cp),
      Headwords(8, "Kuehler", "радиатор"_cp, 5),
      Headwords(9, "Gang", "передача"_cp, 5),
      Headwords(10, "black box", "черный ящик"_cp),
      Headwords(11, "battery", "аккумуляторная батарея"_cp),
      Headwords(12, "brake fluid", "тормозная жидкость"_cp),
  }));
  return dictionary;
}

std::string Shown(const std::vector<std::string>& suggestions) {
  std::string shown;
  for (const std::string& s : suggestions) shown += cp1251::ToUtf8(s) + "; ";
  return shown;
}

// Every suggestion finds something, whatever the search settings.
void ExpectEachFinds(const std::vector<std::string>& suggestions, bool yoAsYe) {
  for (const std::string& suggestion : suggestions)
    for (const bool fullWords : {false, true})
      for (const bool allWords : {false, true})
        EXPECT_FALSE(
            Fixture().Search(CSearchQuery(suggestion, fullWords, allWords, yoAsYe)).articleIds.empty())
            << cp1251::ToUtf8(suggestion) << " full " << fullWords << " all " << allWords;
}

struct CCase {
  std::string_view typed;  // UTF-8, as typed
  std::string_view first;  // the best suggestion; empty: none at all
  bool yoAsYe = false;
};

void PrintTo(const CCase& c, std::ostream* out) {
  *out << c.typed << (c.yoAsYe ? " (е = ё)" : "");
}

void Check(CSuggester& suggester, const CCase& c) {
  const auto suggestions = suggester.For(cp1251::FromTypedText(c.typed), c.yoAsYe);
  if (c.first.empty()) {
    EXPECT_TRUE(suggestions.empty()) << Shown(suggestions);
    return;
  }
  ASSERT_FALSE(suggestions.empty());
  EXPECT_EQ(cp1251::ToUtf8(suggestions.front()), c.first) << Shown(suggestions);
  EXPECT_LE(suggestions.size(), CSuggester::kMaxSuggestions);
  ExpectEachFinds(suggestions, c.yoAsYe);
}

// Without any Hunspell dictionary: е and ё, and slips.
class SuggestionsWithoutForms : public testing::TestWithParam<CCase> {};

TEST_P(SuggestionsWithoutForms, OfferTheBestFirst) {
  CTemporaryFolder noDictionaries;
  CSuggester suggester(Fixture(), CWordForms({noDictionaries.path}));
  Check(suggester, GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    YoAndYe, SuggestionsWithoutForms,
    testing::Values(CCase{"подъемник", "подъёмник"}, CCase{"ПОДЪЕМНИК", "подъёмник"},
                    CCase{"колесный диск", "колёсный диск"}, CCase{"чёрный ящик", "черный ящик"},
                    // With the setting on, the search finds these itself: nothing new to offer.
                    CCase{"подъемник", "", true}, CCase{"чёрный ящик", "", true}));

INSTANTIATE_TEST_SUITE_P(Slips, SuggestionsWithoutForms,
                         testing::Values(CCase{"тармоз", "тормоз"}, CCase{"supension", "suspension"},
                                         CCase{"suspesnion", "suspension"},  // a transposition is one edit
                                         CCase{"suspansien", "suspension"},  // two edits above five letters
                                         CCase{"sasponsien", ""},            // three are too many
                                         CCase{"lfit", "lift"},
                                         CCase{"lxxt", ""},  // five letters or fewer: one edit
                                         CCase{"ab", ""}, CCase{"Zundkerze", "Zuendkerze"},
                                         CCase{"Kuehlr", "Kuehler"}));

INSTANTIATE_TEST_SUITE_P(
    Phrases, SuggestionsWithoutForms,
    testing::Values(CCase{"тормозная колодкп", "тормозная колодка"},
                    CCase{"колодка тармозная", "колодка тормозная"},  // the typed order is kept
                    CCase{"brake pud", "brake pad"}, CCase{"колесный дтск", "колёсный диск"},
                    // Words that no one headword holds together.
                    CCase{"подвеска радиатор", ""}, CCase{"тармоз xqzw", ""}));

INSTANTIATE_TEST_SUITE_P(BadInput, SuggestionsWithoutForms,
                         testing::Values(CCase{"", ""}, CCase{"+ * ! - , . \" '", ""},
                                         CCase{"\x01тармоз", ""}, CCase{"тармоз\t", ""},
                                         CCase{"日本語のテキスト", ""}, CCase{"????", ""},
                                         CCase{"тармоз тармоз тармоз тармоз тармоз тармоз тармоз", ""},
                                         CCase{"supensionsupensionsupensionsupensionsupension", ""}));

TEST(SuggesterTest, AHugeTextGetsNothing) {
  CSuggester suggester(Fixture());
  std::string huge;
  while (huge.size() < 20000) huge += "тармоз "_cp;
  EXPECT_TRUE(suggester.For(huge, false).empty());
}

// The installed Hunspell dictionaries, one language at a time.
struct CFormsCase {
  std::string_view language;
  CCase expected;
};

class SuggestionsWithForms : public testing::TestWithParam<CFormsCase> {};

TEST_P(SuggestionsWithForms, BringWordsToTheirDictionaryForms) {
  // Loading the dictionaries takes a while: one suggester for every case.
  static CSuggester suggester(Fixture());
  static const std::vector<std::string> languages = CWordForms().Languages();
  if (std::find(languages.begin(), languages.end(), GetParam().language) == languages.end())
    GTEST_SKIP() << "no Hunspell dictionary " << GetParam().language;
  Check(suggester, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Languages, SuggestionsWithForms,
                         testing::Values(CFormsCase{"ru_RU", {"амортизаторы", "амортизатор"}},
                                         CFormsCase{"ru_RU", {"тормозами", "тормоз"}},
                                         CFormsCase{"ru_RU", {"тормозные колодки", "тормозная колодка"}},
                                         CFormsCase{"ru_RU", {"тормозной колодка", "тормозная колодка"}},
                                         CFormsCase{"ru_RU", {"колесные диски", "колёсный диск"}},
                                         CFormsCase{"en_US", {"batteries", "battery"}},
                                         CFormsCase{"en_US", {"lifts", "lift"}},
                                         CFormsCase{"de_DE", {"Gängen", "Gang"}},
                                         CFormsCase{"de_DE", {"Kühlers", "Kuehler"}}));

// A form too far from its word for a slip is reached through the forms alone.
TEST(SuggesterTest, FormsComeFromTheDictionariesFound) {
  CTemporaryFolder folder;
  std::ofstream(folder.path / "en_US.aff") << "SET UTF-8\nSFX Y Y 1\nSFX Y y ies [^aeiou]y\n";
  std::ofstream(folder.path / "en_US.dic") << "1\nbattery/Y\n";
  CSuggester withForms(Fixture(), CWordForms({folder.path}));
  EXPECT_EQ(withForms.For("batteries", false), std::vector<std::string>{"battery"});
  CSuggester without(Fixture(), CWordForms({folder.path / "none"}));
  EXPECT_TRUE(without.For("batteries", false).empty());
}

TEST(SuggesterTest, OffersAtMostTenTheCommonestFirst) {
  std::vector<std::string> words;
  for (const char letter : std::string_view("abcdefghijklmnop"))
    words.push_back(std::string("sens") + letter + "r");
  std::vector<CArticle> articles;
  for (std::size_t n = 0; n < words.size(); ++n)
    articles.push_back(Headwords(static_cast<int32_t>(n + 1), words[n], "датчик"_cp));
  articles.push_back(Headwords(100, "sensjr pack", "блок"_cp));  // "sensjr" stands in two headwords
  const CDictionary dictionary = Loaded(FileBytes(articles));
  CTemporaryFolder noDictionaries;
  CSuggester suggester(dictionary, CWordForms({noDictionaries.path}));
  const auto suggestions = suggester.For("sensxr", false);
  ASSERT_EQ(suggestions.size(), CSuggester::kMaxSuggestions);
  EXPECT_EQ(suggestions.front(), "sensjr");
}

// A shared dictionary may hold anything in its headwords.
TEST(SuggesterTest, OutsizedHeadwordsAreLeftOutOfTheVocabulary) {
  const std::string giant(100000, '\xff');
  std::string manyWords;
  for (int n = 0; n < 20000; ++n) manyWords += "tormoz ";
  const CDictionary dictionary =
      Loaded(FileBytes({Headwords(1, manyWords, giant), Headwords(2, "brake", "тормоз"_cp)}));
  CTemporaryFolder noDictionaries;
  CSuggester suggester(dictionary, CWordForms({noDictionaries.path}));
  EXPECT_EQ(suggester.For("тармоз"_cp, false), std::vector<std::string>{std::string("тормоз"_cp)});
  EXPECT_TRUE(suggester.For(std::string(39, '\xff') + "\xfe", false).empty());
  EXPECT_EQ(suggester.For("tormaz", false), std::vector<std::string>{"tormoz"});
}

}  // namespace
