#include "formats/Csv.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/ExternalTool.h"
#include "tests/support/TestData.h"

namespace {

const std::string kFixtures = std::string(CARRO_FORMAT_FIXTURES) + "/csv/";

CGlossary Read(const std::string& text, const CImportOptions& options = {}) {
  return ReadCsv(text, "g.csv", options);
}

std::string Utf8(const std::string& cp1251Text) {
  return cp1251::ToUtf8(cp1251Text);
}

std::string Message(const std::string& text, const CImportOptions& options = {}) {
  try {
    Read(text, options);
  } catch (const CFormatError& error) {
    return Utf8(error.what());
  }
  return "(read)";
}

TEST(Csv, SpreadsheetFileWithHeaderQuotesAndLineBreaks) {
  const CGlossary glossary =
      ReadCsv(ReadSourceFile(kFixtures + "glossary-utf8.csv"), "glossary-utf8.csv", {});
  ASSERT_EQ(glossary.articles.size(), 3u);
  const CGlossaryArticle& brake = glossary.articles[0];
  EXPECT_EQ(brake.id, 1);
  EXPECT_EQ(brake.term, "brake");
  EXPECT_EQ(Utf8(brake.translation), "тормоз");
  EXPECT_EQ(brake.language, 2);
  EXPECT_EQ(Utf8(brake.definition), "Устройство для замедления; ставится на каждое колесо");
  EXPECT_EQ(Utf8(brake.transcription), "брейк");
  EXPECT_EQ(Utf8(brake.seeAlso), "тормозной диск");
  const CGlossaryArticle& plug = glossary.articles[1];
  EXPECT_EQ(plug.term, "spark plug");
  EXPECT_EQ(Utf8(plug.definition), "Зажигает смесь.<br>Меняют по регламенту: &quot;через 30 000 км&quot;");
  EXPECT_EQ(plug.seeAlso, "");
  EXPECT_EQ(glossary.articles[2].id, 3);
  EXPECT_EQ(glossary.articles[2].synonymGroup, 0);
}

TEST(Csv, Windows1251TabSeparatedGermanGlossary) {
  const CGlossary glossary =
      ReadCsv(ReadSourceFile(kFixtures + "german-cp1251.tsv"), "german-cp1251.tsv", {});
  ASSERT_EQ(glossary.articles.size(), 2u);
  EXPECT_EQ(glossary.articles[0].term, "Zuendkerze");
  EXPECT_EQ(Utf8(glossary.articles[0].translation), "свеча зажигания");
  EXPECT_EQ(glossary.articles[0].language, 5);
  EXPECT_EQ(glossary.articles[1].definition, "");
}

TEST(Csv, ColumnsFromTheHeaderTheOptionOrTheirUsualOrder) {
  struct CCase {
    const char* text;
    const char* columns;
    const char* term;
    const char* translation;
    int32_t language;
  };
  const CCase cases[] = {
      {"brake,тормоз\n", "", "brake", "тормоз", 2},
      {"brake,тормоз,Останавливает\n", "", "brake", "тормоз", 2},
      {"тормоз;brake\n", "ru,en", "brake", "тормоз", 2},
      {"1;тормоз;x;brake\n", "-,ru,,en", "brake", "тормоз", 2},
      {"Zündkerze\tсвеча\n", "de,ru", "Zuendkerze", "свеча", 5},
      {"RU,Term,Язык\nсцепление,Kupplung,Deutsch\n", "", "Kupplung", "сцепление", 5},
      {"ru,term\nсцепление,clutch\n", "", "clutch", "сцепление", 2},
      {"x,ru,EN\n1,A & <B>,a&b\n", "", "a&b", "A & <B>", 2},
  };
  for (const CCase& c : cases) {
    CImportOptions options;
    options.columns = c.columns;
    const CGlossary glossary = Read(c.text, options);
    ASSERT_EQ(glossary.articles.size(), 1u) << c.text;
    EXPECT_EQ(glossary.articles[0].term, c.term) << c.text;
    EXPECT_EQ(Utf8(glossary.articles[0].translation), c.translation) << c.text;
    EXPECT_EQ(glossary.articles[0].language, c.language) << c.text;
  }
  CImportOptions german;
  german.language = 5;
  EXPECT_EQ(Read("Bremse,тормоз\n", german).articles[0].language, 5);
}

TEST(Csv, EachForeignTermOfARowIsAnArticleAndGroupsAndIdsAreKept) {
  const CGlossary glossary = Read(
      "id,en,de,ru,synonym group\n"
      "7,brake,Bremse,тормоз,\n"
      "9,spark plug,,свеча зажигания,9\n"
      ",sparking plug,,свеча зажигания,9\n"
      ",ignition plug,,свеча зажигания,plug\n"
      ",plug,,свеча,plug\n");
  ASSERT_EQ(glossary.articles.size(), 6u);
  const std::pair<int32_t, int32_t> idsAndGroups[] = {{7, 0}, {10, 0}, {9, 9}, {11, 9}, {12, 12}, {13, 12}};
  for (std::size_t n = 0; n < 6; ++n) {
    EXPECT_EQ(glossary.articles[n].id, idsAndGroups[n].first) << n;
    EXPECT_EQ(glossary.articles[n].synonymGroup, idsAndGroups[n].second) << n;
  }
  EXPECT_EQ(glossary.articles[1].term, "Bremse");
  EXPECT_EQ(glossary.articles[1].language, 5);
}

TEST(Csv, BadInputNamesTheFileAndTheLine) {
  const std::pair<const char*, const char*> cases[] = {
      {"en,ru\nbrake,тормоз,лишнее\n", "g.csv, строка 2: неверное число полей (ожидалось 2)"},
      {"en,ru,definition\nbrake,тормоз\n", "g.csv, строка 2: неверное число полей (ожидалось 3)"},
      {"en,ru\nbrake,\"тормоз\nclutch,сцепление\n", "g.csv, строка 2: кавычка поля не закрыта"},
      {"en,definition\nbrake,тормоз\n", "g.csv, строка 1: нет столбца русского термина"},
      {"ru,definition\nтормоз,x\n", "g.csv, строка 1: нет столбца английского или немецкого термина"},
      {"en,ru\n\nbrake,тор→моз\n", "g.csv, строка 3: символ U+2192 нельзя записать в Windows-1251 (знак 4)"},
      {"en,ru\nbrake,\n", "g.csv, строка 2: нет русского термина"},
      {"id,en,ru\n1,a,б\n1,b,в\n", "g.csv, строка 3: неверный или повторный id"},
      {"en,ru\n\"a\nb\",x\nc,\n", "g.csv, строка 4: нет русского термина"},
  };
  for (const auto& [text, message] : cases) EXPECT_EQ(Message(text), message) << text;
  CImportOptions columns;
  columns.columns = "en,ru,colour";
  EXPECT_EQ(Message("a,b,c\n", columns), "--columns: неизвестный столбец «colour»");
}

TEST(Csv, KeepGoingSkipsBadRowsWithACount) {
  CImportOptions options;
  options.keepGoing = true;
  const CGlossary glossary = Read("en,ru\nbrake,тормоз,x\nclutch,сцепление\n,вал\ny,\nz\n", options);
  ASSERT_EQ(glossary.articles.size(), 1u);
  EXPECT_EQ(glossary.articles[0].term, "clutch");
  EXPECT_EQ(glossary.articles[0].id, 1);
  std::map<std::string, int32_t> skipped;
  for (const auto& [reason, count] : glossary.skipped) skipped[Utf8(reason)] = count;
  EXPECT_EQ(skipped, (std::map<std::string, int32_t>{{"неверное число полей (ожидалось 2)", 2},
                                                     {"нет иностранного термина", 1},
                                                     {"нет русского термина", 1}}));
}

CDictionary SmallDictionary() {
  CArticle plug = Brake();
  plug.id = 2;
  plug.term = "spark plug";
  plug.translation = "свеча, зажигания"_cp;
  plug.definition = "Первая строка<br>\"вторая\" &amp; <b>третья</b>"_cp;
  plug.synonymGroup = 2;
  plug.extraText = "";
  CArticle sparking = plug;
  sparking.id = 5;
  sparking.term = "sparking plug";
  sparking.seeAlso = "";
  sparking.transcription = "";
  CArticle german = Brake();
  german.id = 6;
  german.term = "Bremse";
  german.language = 5;
  german.definition = "";
  german.extraText = "";
  return Loaded(FileBytes({Brake(), plug, sparking, german}));
}

TEST(Csv, AnExportReadBackGivesTheSameArticles) {
  const CDictionary dictionary = SmallDictionary();
  const std::vector<CExportFile> files = ExportCsv(dictionary, "out.csv");
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].path, "out.csv");
  const CGlossary back = ReadCsv(files[0].bytes, "out.csv", {});
  ASSERT_EQ(back.articles.size(), dictionary.Articles().size());
  for (std::size_t n = 0; n < back.articles.size(); ++n) {
    const CArticle& article = dictionary.Articles()[n];
    const CGlossaryArticle& read = back.articles[n];
    EXPECT_EQ(read.id, article.id);
    EXPECT_EQ(read.term, article.term);
    EXPECT_EQ(read.translation, article.translation);
    EXPECT_EQ(read.language, article.language);
    EXPECT_EQ(read.synonymGroup, article.synonymGroup);
    EXPECT_EQ(read.transcription, article.transcription);
    EXPECT_EQ(read.seeAlso, article.seeAlso);
  }
  // The definition keeps its text and lines; bold and italic have no place in a spreadsheet.
  EXPECT_EQ(Utf8(back.articles[0].definition), "Устройство для замедления.");
  EXPECT_EQ(Utf8(back.articles[1].definition), "Первая строка<br>&quot;вторая&quot; &amp; третья");
}

TEST(Csv, PyGlossaryReadsTheExport) {
  REQUIRE_TOOL("pyglossary");
  CTemporaryFolder folder;
  const std::string csv = (folder.path / "carro.csv").string();
  const std::string tab = (folder.path / "carro.txt").string();
  std::ofstream(csv, std::ios::binary) << ExportCsv(SmallDictionary(), csv)[0].bytes;
  const auto result =
      external_tool::Run("HOME='" + folder.path.string() + "' pyglossary '" + csv + "' '" + tab +
                         "' --read-format=Csv --write-format=Tabfile --no-progress-bar 2>&1");
  ASSERT_EQ(result.exitCode, 0) << result.output;
  std::ifstream in(tab, std::ios::binary);
  const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // Its reader takes the first column as the word, the second as its definition, the third as
  // alternative words.
  EXPECT_NE(written.find("\nbrake|en\tтормоз\n"), std::string::npos) << written;
  EXPECT_NE(written.find("\nspark plug|en\tсвеча, зажигания\n"), std::string::npos) << written;
  EXPECT_NE(written.find("\nBremse|de\tтормоз\n"), std::string::npos) << written;
}

}  // namespace
