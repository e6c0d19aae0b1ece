#include <gtest/gtest.h>

#include "dictionary/DataFileWriter.h"
#include "dictionary/TsvSource.h"
#include "text/Cp1251.h"

namespace {

const std::string kMetadata =
    "# infoText1: Словарь\n"
    "# infoText2: проверка\n"
    "# dataVersion: 2026-12\n"
    "# requiredVersion: 1.0\n";
const std::string kHeader = TsvHeader() + "\n";

CDictionary Build(const std::string& tsv, bool lossy = false) {
  const CParsedSource source = ParseTsvSource(tsv, "test.tsv", {.lossy = lossy});
  const std::string bytes = DataFileBytes(source.info, source.records);
  CDictionary dictionary;
  dictionary.LoadBytes({bytes.begin(), bytes.end()}, "test.dct");
  return dictionary;
}

TEST(TsvSource, ReadsMetadataFieldsAndEscapes) {
  const CDictionary dictionary =
      Build(kMetadata + kHeader +
            "7\tbrake\tтормоз\t2\tСтрока\\nвторая\\tтаб \\\\ «ё»\t-4\tx\tсм.\tбрейк\n"
            "8\t\t\t5\t\t0\t\t\t\n");
  ASSERT_EQ(dictionary.ArticleCount(), 2);
  const CArticle& a = dictionary.ArticleAt(0);
  EXPECT_EQ(a.id, 7);
  EXPECT_EQ(a.translation, "тормоз"_cp);
  EXPECT_EQ(a.definition, "Строка\nвторая\tтаб \\ «ё»"_cp);
  EXPECT_EQ(a.synonymGroup, -4);
  EXPECT_EQ(a.transcription, "брейк"_cp);
  EXPECT_EQ(dictionary.ArticleAt(1).language, 5);
  EXPECT_TRUE(dictionary.ArticleAt(1).term.empty());
  EXPECT_EQ(dictionary.Info().infoText1, "Словарь"_cp);
  EXPECT_EQ(dictionary.Info().requiredVersion, "1.0");
}

TEST(TsvSource, DumpOfABuildGivesTheSourceBackAndTheSameBytes) {
  const std::string source = kMetadata + kHeader +
                             "1\tgear\\\\box\tкоробка\\r\\nпередач\t2\t<b>ё</b>\\t№\t1\t\t\t'гиэбокс\n"
                             "-2\tGetriebe\tкоробка передач\t5\t\t1\tтрансмиссия\tсм. КПП\t\n";
  const CDictionary dictionary = Build(source);
  EXPECT_EQ(DumpTsvSource(dictionary), source);

  const CParsedSource first = ParseTsvSource(source, "a.tsv");
  const CParsedSource second = ParseTsvSource(DumpTsvSource(dictionary), "b.tsv");
  EXPECT_EQ(DataFileBytes(first.info, first.records), DataFileBytes(second.info, second.records));
  EXPECT_EQ(first.articleCount, 2);
}

TEST(TsvSource, CommentsBlankLinesAndCrLfAreAccepted) {
  const CDictionary dictionary = Build("# a comment about the data\r\n\r\n# dataVersion:v2\r\n" +
                                       TsvHeader() + "\r\n1\ta\tб\t2\t\t0\t\t\t\r\n\r\n");
  ASSERT_EQ(dictionary.ArticleCount(), 1);
  EXPECT_EQ(dictionary.Info().dataVersion, "v2");
  EXPECT_EQ(dictionary.ArticleAt(0).transcription, "");
}

TEST(TsvSource, LossyReplacesCharactersTheCodePageLacks) {
  const CDictionary dictionary = Build(kHeader + "1\tStoßdämpfer\tамортизатор\t5\tʃ\t0\t\t\t\n", true);
  EXPECT_EQ(dictionary.ArticleAt(0).term, "Sto?d?mpfer");
  EXPECT_EQ(dictionary.ArticleAt(0).definition, "?");
}

struct CErrorCase {
  const char* name;
  std::string source;
  std::vector<std::string> mentions;  // UTF-8 pieces of the message
};

class TsvSourceErrors : public testing::TestWithParam<CErrorCase> {};

TEST_P(TsvSourceErrors, NameTheLineAndColumn) {
  try {
    ParseTsvSource(GetParam().source, "test.tsv");
    FAIL() << "accepted";
  } catch (const CSourceError& error) {
    const std::string message = cp1251::ToUtf8(error.what());
    EXPECT_TRUE(message.starts_with("test.tsv, строка ")) << message;
    for (const std::string& piece : GetParam().mentions)
      EXPECT_NE(message.find(piece), std::string::npos) << message << " lacks " << piece;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TsvSourceErrors,
    testing::Values(
        CErrorCase{"TooFewColumns", kMetadata + kHeader + "1\ta\tб\t2\n", {"строка 6", "столбцов 4"}},
        CErrorCase{"TooManyColumns", kHeader + "1\ta\tб\t2\t\t0\t\t\t\t\n", {"строка 2", "столбцов 10"}},
        CErrorCase{"IdNotANumber",
                   kHeader + "1\ta\tб\t2\t\t0\t\t\t\nx1\ta\tб\t2\t\t0\t\t\t\n",
                   {"строка 3", "столбец id", "«x1»"}},
        CErrorCase{
            "LanguageNotANumber", kHeader + "1\ta\tб\t2.5\t\t0\t\t\t\n", {"строка 2", "столбец language"}},
        CErrorCase{
            "GroupOutOfRange", kHeader + "1\ta\tб\t2\t\t99999999999\t\t\t\n", {"столбец synonymGroup"}},
        CErrorCase{"CharacterNotInTheCodePage",
                   kHeader + "1\ta\tб\t2\t\t0\t\t\tbr\xCA\x83k\n",
                   {"строка 2", "столбец transcription", "символ 3 (U+0283)", "Windows-1251"}},
        CErrorCase{"InvalidUtf8",
                   kHeader + "1\ta\t\xD0\t2\t\t0\t\t\t\n",
                   {"столбец translation", "символ 1", "UTF-8"}},
        CErrorCase{"UnknownEscape", kHeader + "1\ta\\x\tб\t2\t\t0\t\t\t\n", {"столбец term", "символе 2"}},
        CErrorCase{"MetadataNotInTheCodePage", "# infoText1: ☺\n" + kHeader, {"строка 1"}},
        CErrorCase{"NoHeader", kMetadata, {"строка 5", "нет строки заголовка"}},
        CErrorCase{"TextBeforeTheHeader", "hello\n" + kHeader, {"строка 1"}}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
