#include "suggest/WordForms.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/TestData.h"
#include "text/Cp1251.h"

namespace {

void WriteFile(const std::filesystem::path& path, std::string_view text) {
  std::ofstream(path, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
}

// A dictionary of our own making: plural -s for English, so the tests need nothing installed.
void WriteEnglish(const std::filesystem::path& folder, std::string_view encoding = "UTF-8") {
  WriteFile(folder / "en_US.aff", std::string("SET ").append(encoding).append("\nSFX S Y 1\nSFX S 0 s .\n"));
  WriteFile(folder / "en_US.dic", "2\nbrake/S\nwheel/S\n");
}

TEST(WordFormsTest, FindsTheFormsInTheFirstFolderThatHoldsTheLanguage) {
  CTemporaryFolder first, second;
  WriteEnglish(second.path);
  CWordForms forms({first.path / "missing", first.path, second.path});
  EXPECT_EQ(forms.Languages(), std::vector<std::string>{"en_US"});
  EXPECT_EQ(forms.Stems("brakes"), std::vector<std::string>{"brake"});
  EXPECT_EQ(forms.Stems("wheel"), std::vector<std::string>{"wheel"});
  EXPECT_TRUE(forms.Stems("tyres").empty());
}

TEST(WordFormsTest, WithoutDictionariesEveryWordHasNoForms) {
  CTemporaryFolder empty;
  CWordForms forms({empty.path});
  EXPECT_TRUE(forms.Languages().empty());
  EXPECT_TRUE(forms.Stems("brakes").empty());
}

// Our words go to Hunspell in UTF-8; a dictionary in another code page would read them wrongly.
TEST(WordFormsTest, ADictionaryInAnotherEncodingIsLeftAlone) {
  CTemporaryFolder folder;
  WriteEnglish(folder.path, "ISO8859-1");
  CWordForms forms({folder.path});
  EXPECT_TRUE(forms.Languages().empty());
  EXPECT_TRUE(forms.Stems("brakes").empty());
}

TEST(WordFormsTest, OddWordsGiveNoForms) {
  CTemporaryFolder folder;
  WriteEnglish(folder.path);
  CWordForms forms({folder.path});
  for (const std::string& word : {std::string(), std::string(5000, 'a') + "s", std::string("brake\x01s"),
                                  std::string("\xff\xfe\x98s", 4)})
    EXPECT_TRUE(forms.Stems(word).empty()) << word.size();
}

// The installed German dictionary knows "Kühler"; the data and the box write it "Kuehler".
TEST(WordFormsTest, GermanFormsComeAndGoWithTheUmlautsWrittenOut) {
  CWordForms forms;
  const auto languages = forms.Languages();
  if (std::find(languages.begin(), languages.end(), "de_DE") == languages.end())
    GTEST_SKIP() << "hunspell-de-de is not installed";
  const auto stems = forms.Stems("Kuehlers");
  EXPECT_NE(std::find(stems.begin(), stems.end(), "Kuehler"), stems.end());
  const auto gears = forms.Stems("Gaengen");
  EXPECT_NE(std::find(gears.begin(), gears.end(), "Gang"), gears.end());
}

}  // namespace
