#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/Carro.h"
#include "dictionary/Messages.h"
#include "dictionary/TsvSource.h"
#include "dictionary/Variant.h"
#include "pages/PageBuilders.h"
#include "pages/PageRenderer.h"
#include "search/Search.h"
#include "tests/support/TestData.h"
#include "text/Cp1251.h"

namespace {

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class Carro : public testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directories(folder / "bin"); }

  // Runs carro with no data file anywhere but where the test puts one.
  int Run(const std::vector<std::string>& args) {
    out.str("");
    err.str("");
    const CCarroContext context{folder / "bin", [this](const char* name) -> const char* {
                                  if (std::string_view(name) == "XDG_DATA_DIRS") return dataDirs.c_str();
                                  if (std::string_view(name) == "XDG_DATA_HOME" && !dataHome.empty())
                                    return dataHome.c_str();
                                  return nullptr;
                                }};
    return RunCarro(args, out, err, context);
  }

  std::string Dct(const std::vector<char>& bytes, const std::string& name = "carro.dct") {
    WriteFile(folder / name, {bytes.data(), bytes.size()});
    return (folder / name).string();
  }

  CTemporaryFolder temporary;
  std::filesystem::path folder = temporary.path;
  std::string dataDirs = (folder / "nowhere").string();
  std::string dataHome;
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(Carro, InfoPrintsTheMetadataAndCountsInRussian) {
  CArticle german = Brake();
  german.language = 5;
  const std::string dct = Dct(FileBytes({Brake(), Brake(), german}));
  ASSERT_EQ(Run({"info", "--dict", dct}), 0) << err.str();
  EXPECT_EQ(out.str(),
            "Файл словаря: " + dct +
                "\nСведения 1: info one\nСведения 2: info two\nВерсия данных словаря: 2026-12\n"
                "Требуемая версия программы: 1.0\nКоличество статей: 3\nТерминов на английском языке: 2\n"
                "Терминов на немецком языке: 1\n");
  EXPECT_EQ(err.str(), "");
}

TEST_F(Carro, RawOutputIsWindows1251WithCrLf) {
  ASSERT_EQ(Run({"query", "--raw", "ёж"}), 0);
  EXPECT_EQ(out.str(), std::string("ЁЖ"_cp) + "\twhole\toptional\r\n");
}

TEST_F(Carro, FindsTheDataFileBesideTheExecutableOrInTheDataFolders) {
  Dct(FileBytes({Brake()}), "bin/carro.dct");
  ASSERT_EQ(Run({"info"}), 0) << err.str();
  EXPECT_NE(out.str().find("bin/carro.dct"), std::string::npos);

  std::filesystem::remove(folder / "bin/carro.dct");
  std::filesystem::create_directories(folder / "share" / kAppDataSubfolder);
  dataDirs = (folder / "share").string();
  Dct(FileBytes({Brake(), Brake()}), "share/" + std::string(kAppDataSubfolder) + "/carro.dct");
  ASSERT_EQ(Run({"info"}), 0) << err.str();
  EXPECT_NE(out.str().find("Количество статей: 2"), std::string::npos);
}

TEST_F(Carro, AMissingDataFileNamesWhereItWasLookedFor) {
  EXPECT_EQ(Run({"info"}), 2);
  EXPECT_NE(err.str().find("не найден"), std::string::npos) << err.str();
  EXPECT_NE(err.str().find((folder / "bin").string()), std::string::npos) << err.str();
  EXPECT_EQ(out.str(), "");
}

TEST_F(Carro, UnusableDataFilesEndWithCodeTwoAndTheWindowsMessage) {
  EXPECT_EQ(Run({"info", "--dict", Dct({'x', 'y'})}), 2);
  EXPECT_EQ(err.str(), "carro: " + cp1251::ToUtf8(TooShortMessage((folder / "carro.dct").string())) + "\n");

  EXPECT_EQ(Run({"info", "--dict", Dct(FileBytes({Brake()}, TestInfo("2.0")))}), 2);
  EXPECT_NE(err.str().find("требуется программа версии не ниже 2.0.\n"), std::string::npos) << err.str();
  EXPECT_NE(err.str().find(std::string(kMakerEmail)), std::string::npos);
}

TEST_F(Carro, DamagedRecordsAreReportedOnceAndTheCommandGoesOn) {
  std::vector<char> bytes = FileBytes({Brake(), Brake()});
  bytes.resize(bytes.size() - 3);
  ASSERT_EQ(Run({"info", "--dict", Dct(bytes)}), 0);
  EXPECT_EQ(err.str(), "carro: Ошибка загрузки словаря\n");
  EXPECT_NE(out.str().find("Количество статей: 1\n"), std::string::npos);
}

TEST_F(Carro, BundledSourceBuildsAndDumpsBackUnchanged) {
  const std::string source = ReadFile(CARRO_BUNDLED_TSV);
  const std::string dct = (folder / "bundled.dct").string();
  ASSERT_EQ(Run({"build", CARRO_BUNDLED_TSV, dct}), 0) << err.str();
  ASSERT_EQ(Run({"dump", dct}), 0) << err.str();
  EXPECT_EQ(out.str(), source);

  WriteFile(folder / "again.tsv", out.str());
  ASSERT_EQ(Run({"build", (folder / "again.tsv").string(), (folder / "again.dct").string()}), 0);
  EXPECT_EQ(ReadFile(folder / "again.dct"), ReadFile(dct));
}

TEST_F(Carro, BuildOptionsReplaceTheSourceMetadata) {
  WriteFile(folder / "s.tsv", "# dataVersion: old\n" + TsvHeader() + "\n1\tbrake\tтормоз\t2\t\t0\t\t\t\n");
  const std::string dct = (folder / "s.dct").string();
  ASSERT_EQ(Run({"build", (folder / "s.tsv").string(), dct, "--data-version", "2026-12-09", "--info1",
                 "Словарь", "--required-version", "1.0"}),
            0)
      << err.str();
  ASSERT_EQ(Run({"info", "--dict", dct}), 0);
  EXPECT_NE(out.str().find("Версия данных словаря: 2026-12-09\n"), std::string::npos);
  EXPECT_NE(out.str().find("Сведения 1: Словарь\n"), std::string::npos);
}

TEST_F(Carro, ABadSourceNamesTheLineAndKeepsTheOldFile) {
  const std::string dct = Dct(FileBytes({Brake()}), "keep.dct");
  const std::string before = ReadFile(dct);
  WriteFile(folder / "bad.tsv", TsvHeader() + "\n1\tStoß\tудар\t5\t\t0\t\t\t\n");
  EXPECT_EQ(Run({"build", (folder / "bad.tsv").string(), dct}), 1);
  EXPECT_NE(err.str().find("bad.tsv, строка 2, столбец term: символ 4 (U+00DF)"), std::string::npos)
      << err.str();
  EXPECT_EQ(ReadFile(dct), before);
  EXPECT_FALSE(std::filesystem::exists(dct + ".tmp"));

  ASSERT_EQ(Run({"build", (folder / "bad.tsv").string(), dct, "--lossy"}), 0) << err.str();
  ASSERT_EQ(Run({"dump", dct}), 0);
  EXPECT_NE(out.str().find("\tSto?\t"), std::string::npos);
  ASSERT_EQ(Run({"build", (folder / "bad.tsv").string(), dct, "--transliterate"}), 0) << err.str();
  ASSERT_EQ(Run({"dump", dct}), 0);
  EXPECT_NE(out.str().find("\tStoss\t"), std::string::npos);
}

TEST_F(Carro, AGlossaryMergedIntoADictionaryKeepsEveryIdOfTheFirstSource) {
  CArticle clutch = Brake();
  clutch.id = 40;
  const std::string dct = Dct(FileBytes({Brake(), clutch}), "base.dct");
  WriteFile(folder / "mine.csv",
            "\xEF\xBB\xBF"
            "en;ru;definition\r\nwheel hub;ступица;\"Узел, на котором\r\nвращается колесо\"\r\n"
            "Zündkerze;;\r\nbrake pad;тормозная колодка;\r\n");
  const std::string merged = (folder / "merged.dct").string();
  ASSERT_EQ(Run({"build", dct, (folder / "mine.csv").string(), merged, "--keep-going"}), 0) << err.str();
  EXPECT_NE(out.str().find("base.dct: статей 2, пропущено 0\n"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("mine.csv: статей 2, пропущено 1 ("), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("Записано статей: 4 -> " + merged), std::string::npos) << out.str();

  ASSERT_EQ(Run({"dump", merged}), 0);
  const std::string dump = out.str();
  ASSERT_EQ(Run({"dump", dct}), 0);
  ASSERT_EQ(dump.substr(0, out.str().size()), out.str()) << "the first source's articles stay as they were";
  EXPECT_NE(dump.find("\n41\twheel hub\tступица\t"), std::string::npos) << dump;
  EXPECT_NE(dump.find("\n42\tbrake pad\tтормозная колодка\t"), std::string::npos) << dump;
  EXPECT_NE(dump.find("Узел, на котором<br>вращается колесо"), std::string::npos) << dump;
}

TEST_F(Carro, ASourceThatCannotBeReadWritesNothing) {
  const std::string out_dct = (folder / "out.dct").string();
  WriteFile(folder / "bad.csv", "en,ru\nbrake,\"тормоз\nclutch,сцепление\n");
  EXPECT_EQ(Run({"build", (folder / "bad.csv").string(), out_dct}), 1);
  EXPECT_NE(err.str().find("bad.csv, строка 2"), std::string::npos) << err.str();
  EXPECT_FALSE(std::filesystem::exists(out_dct));
  EXPECT_FALSE(std::filesystem::exists(out_dct + ".tmp"));

  WriteFile(folder / "list.txt", "en,ru\nbrake,тормоз\n");
  EXPECT_EQ(Run({"build", (folder / "list.txt").string(), out_dct}), 1);
  EXPECT_NE(err.str().find("--format"), std::string::npos) << err.str();
  ASSERT_EQ(Run({"build", "--format", "csv", (folder / "list.txt").string(), out_dct}), 0) << err.str();
  EXPECT_EQ(Run({"build", "--format", "xls", (folder / "list.txt").string(), out_dct}), 1);
}

TEST_F(Carro, EveryExportBuildsBackIntoTheSameHeadwords) {
  CArticle german = Brake();
  german.id = 2;
  german.term = "Zuendkerze";
  german.translation = "свеча зажигания"_cp;
  german.language = 5;
  const std::string dct = Dct(FileBytes({Brake(), german}), "small.dct");
  for (const auto& [format, name] : std::vector<std::pair<std::string, std::string>>{{"csv", "x.csv"},
                                                                                     {"dsl", "x.dsl"},
                                                                                     {"tbx", "x.tbx"},
                                                                                     {"stardict", "x.ifo"},
                                                                                     {"dictd", "x.index"}}) {
    SCOPED_TRACE(format);
    const std::string exported = (folder / format / name).string();
    std::filesystem::create_directories(folder / format);
    ASSERT_EQ(Run({"export", dct, "--format", format, exported}), 0) << err.str();
    EXPECT_NE(out.str().find("Статей: 2"), std::string::npos) << out.str();
    const std::string back = (folder / format / "back.dct").string();
    // DSL holds one language per file: the German articles go to a second one.
    std::vector<std::string> build = {"build", exported};
    if (format == "dsl") build.push_back((folder / format / "x.de.dsl").string());
    build.push_back(back);
    ASSERT_EQ(Run(build), 0) << err.str();
    ASSERT_EQ(Run({"search", "--dict", back, "Zuendkerze"}), 0) << err.str();
    EXPECT_NE(out.str().find("Zuendkerze"), std::string::npos) << out.str();
    ASSERT_EQ(Run({"search", "--dict", back, "тормоз"}), 0) << err.str();
    EXPECT_EQ(out.str().substr(0, 9), "found: 1,") << out.str();
  }
  EXPECT_EQ(Run({"export", dct, "--format", "dct", (folder / "y.dct").string()}), 1);
  EXPECT_EQ(Run({"export", dct, (folder / "y.csv").string()}), 1);
}

TEST_F(Carro, TheUsersOwnDataFileComesFirst) {
  Dct(FileBytes({Brake()}), "bin/carro.dct");
  dataHome = (folder / "home").string();
  std::filesystem::create_directories(folder / "home" / kAppDataSubfolder);
  ASSERT_EQ(Run({"info"}), 0) << err.str();
  EXPECT_NE(out.str().find("Количество статей: 1\n"), std::string::npos);
  Dct(FileBytes({Brake(), Brake()}), "home/" + std::string(kAppDataSubfolder) + "/carro.dct");
  ASSERT_EQ(Run({"info"}), 0) << err.str();
  EXPECT_NE(out.str().find("Количество статей: 2\n"), std::string::npos);
}

TEST_F(Carro, FoldYoTakesЕAndЁAsOneLetter) {
  CArticle wheel = Brake();
  wheel.translation = "колёсный диск"_cp;
  const std::string dct = Dct(FileBytes({wheel}));
  ASSERT_EQ(Run({"search", "--dict", dct, "колесный"}), 0) << err.str();
  EXPECT_EQ(out.str().substr(0, out.str().find('\n')), "found: 0, strict: 0");
  ASSERT_EQ(Run({"search", "--dict", dct, "--fold-yo", "колесный"}), 0) << err.str();
  EXPECT_EQ(out.str().substr(0, out.str().find('\n')), "found: 1, strict: 1");
  ASSERT_EQ(Run({"variants", "--dict", dct, "--fold-yo", "колесн"}), 0) << err.str();
  EXPECT_NE(out.str().find("колёсный диск"), std::string::npos) << out.str();
  ASSERT_EQ(Run({"search", "--dict", dct, "--fold-yo", "--page", "колесный"}), 0) << err.str();
  EXPECT_NE(out.str().find("<font color=red>колёсный</font>"), std::string::npos);
}

// Typed words are written as the data writes the letters Windows-1251 lacks.
TEST_F(Carro, GermanLettersAreTypedAsTheDataWritesThem) {
  CArticle plug = Brake();
  plug.term = "Zuendkerze";
  plug.language = 5;
  const std::string dct = Dct(FileBytes({plug}));
  ASSERT_EQ(Run({"search", "--dict", dct, "Zündkerze"}), 0) << err.str();
  EXPECT_EQ(out.str().substr(0, out.str().find('\n')), "found: 1, strict: 1");
  ASSERT_EQ(Run({"query", "ZÜNDKERZE Stoß"}), 0);
  EXPECT_EQ(out.str(), "ZUENDKERZE\tprefix\toptional\nSTOSS\tprefix\toptional\n");
}

TEST_F(Carro, QueryPrintsOneLinePerWord) {
  ASSERT_EQ(Run({"query", "--full-words", "+масло", "фильтр*", "ос"}), 0);
  EXPECT_EQ(out.str(), "МАСЛО\twhole\trequired\nФИЛЬТР\tprefix\toptional\nОС\twhole\toptional\n");
  ASSERT_EQ(Run({"query", "--all-words", "ось", "ос"}), 0);
  EXPECT_EQ(out.str(), "ОСЬ\tprefix\trequired\nОС\twhole\trequired\n");
  ASSERT_EQ(Run({"query", "--", "--масло"}), 0);
  EXPECT_EQ(out.str(), "--МАСЛО\tprefix\toptional\n");
}

struct CUsageCase {
  std::vector<std::string> args;
  int code;
  const char* mentions;
};

class CarroUsage : public Carro, public testing::WithParamInterface<CUsageCase> {};

TEST_P(CarroUsage, ExplainsItself) {
  EXPECT_EQ(Run(GetParam().args), GetParam().code);
  const std::string& shown = GetParam().code == 0 ? out.str() : err.str();
  EXPECT_NE(shown.find(GetParam().mentions), std::string::npos) << shown;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CarroUsage,
    testing::Values(
        CUsageCase{{}, 1, "Команды:"}, CUsageCase{{"--help"}, 0, "carro build"},
        CUsageCase{{"build", "--help"}, 0, "--lossy"}, CUsageCase{{"query", "--help"}, 0, "whole|prefix"},
        CUsageCase{{"frobnicate"}, 1, "неизвестная команда «frobnicate»"},
        CUsageCase{{"info", "--bogus"}, 1, "--bogus"}, CUsageCase{{"info", "--dict"}, 1, "нужно значение"},
        CUsageCase{{"build", "only-one.tsv"}, 1, "usage: carro build"},
        CUsageCase{{"query"}, 1, "usage: carro query"},
        CUsageCase{{"query", "Stoß 日"}, 1, "символ 6 отсутствует в кодировке Windows-1251"},
        CUsageCase{
            {"build", "/nonexistent/x.tsv", "/tmp/x.dct"}, 1, "Не удалось открыть файл /nonexistent/x.tsv"},
        CUsageCase{{"dump", "/nonexistent/x.dct"}, 2, "Не удалось открыть"},
        CUsageCase{{"suggest"}, 1, "usage: carro suggest"},
        CUsageCase{{"suggest", "--help"}, 0, "лучшее первым"}));

}  // namespace

namespace {

// The look-up commands on a small dictionary: brake, its German synonym, and an oil article.
class CarroLookups : public Carro {
 protected:
  void SetUp() override {
    Carro::SetUp();
    CArticle brake = Brake();
    brake.synonymGroup = 1;
    CArticle bremse = Brake();
    bremse.id = 2;
    bremse.term = "Bremse";
    bremse.language = 5;
    bremse.synonymGroup = 1;
    CArticle oil{
        .id = 3, .language = 2, .term = "oil", .translation = "масло"_cp, .definition = "Смазка."_cp};
    dct = Dct(FileBytes({brake, bremse, oil}));
  }

  std::vector<std::string> Lines(CDictionary& dictionary, const CResultPage& page, bool forExport,
                                 bool highlight) {
    if (dictionary.ArticleCount() == 0) dictionary.Load(dct);
    CHtmlLines lines;
    RenderPage(dictionary, page, lines, forExport, {.maxResultDisplayCount = 300, .highlight = highlight});
    return lines;
  }

  std::string Joined(const std::vector<std::string>& lines, std::string_view end) {
    std::string text;
    for (const std::string& line : lines) text += line + std::string(end);
    return text;
  }

  std::string dct;
};

TEST_F(CarroLookups, VariantsListTheRankedEntries) {
  ASSERT_EQ(Run({"variants", "--dict", dct, "тор"}), 0) << err.str();
  // "B" sorts before "b": texts compare as Windows-1251 bytes.
  EXPECT_EQ(out.str(), "50\t0\ttranslation\t2\tтормоз (Bremse)\n50\t0\ttranslation\t1\tтормоз (brake)\n");
  ASSERT_EQ(Run({"variants", "--dict", dct, "--max-variants", "1", "тор"}), 0);
  EXPECT_EQ(out.str(), "50\t0\ttranslation\t2\tтормоз (Bremse)\n");
}

TEST_F(CarroLookups, VariantsPaneAndPages) {
  ASSERT_EQ(Run({"variants", "--dict", dct, "--pane", "+тор*"}), 0) << err.str();
  EXPECT_NE(out.str().find("<tr><td><a href=variant://1><b>тор</b>моз (brake)</a></td></tr>\n"),
            std::string::npos)
      << out.str();
  EXPECT_NE(out.str().find("Найдено вариантов: 2.</font>"), std::string::npos);

  ASSERT_EQ(Run({"variants", "--dict", dct, "--page", "--entry", "1", "--raw", "тор"}), 0) << err.str();
  CDictionary dictionary;
  const auto lines = Lines(
      dictionary,
      VariantPage(CVariant(std::string("тормоз (brake)"_cp), 1, 50, 0, CHeadword::Translation), "тор"_cp),
      false, true);
  EXPECT_EQ(out.str(), Joined(lines, "\r\n"));

  EXPECT_EQ(Run({"variants", "--dict", dct, "--page", "--entry", "2", "тор"}), 1);
  EXPECT_NE(err.str().find("вариантов 2"), std::string::npos) << err.str();
}

TEST_F(CarroLookups, SearchListsScoresOrPrintsThePage) {
  ASSERT_EQ(Run({"search", "--dict", dct, "тормоз", "oil"}), 0) << err.str();
  EXPECT_TRUE(out.str().starts_with("found: 3, strict: 0\n")) << out.str();
  EXPECT_NE(out.str().find("\t3\tмасло (oil)\n"), std::string::npos) << out.str();

  CDictionary dictionary;
  dictionary.Load(dct);
  const CResultPage page = dictionary.Search(CSearchQuery("тормоз"_cp, false, false));
  ASSERT_EQ(Run({"search", "--dict", dct, "--page", "--export", "--raw", "тормоз"}), 0);
  EXPECT_EQ(out.str(), Joined(Lines(dictionary, page, true, false), "\r\n"));
  ASSERT_EQ(Run({"search", "--dict", dct, "--page", "тормоз"}), 0);
  EXPECT_NE(out.str().find("<font color=red>тормоз</font>"), std::string::npos);
  ASSERT_EQ(Run({"search", "--dict", dct, "--page", "--no-highlight", "тормоз"}), 0);
  EXPECT_EQ(out.str().find("<font color=red>"), std::string::npos);
}

// A look-up that finds nothing suggests what would; --no-suggestions gives the pages as they were.
TEST_F(CarroLookups, SuggestionsForWhatFoundNothing) {
  ASSERT_EQ(Run({"suggest", "--dict", dct, "тармоз"}), 0) << err.str();
  EXPECT_EQ(out.str(), "тормоз\n");
  ASSERT_EQ(Run({"suggest", "--dict", dct, "масло"}), 0) << err.str();
  EXPECT_EQ(out.str(), "") << "it finds itself";

  ASSERT_EQ(Run({"search", "--dict", dct, "--page", "тармоз"}), 0) << err.str();
  EXPECT_NE(out.str().find("<br>Возможно, вы искали: <a href='search://0'>тормоз</a>\n"), std::string::npos)
      << out.str();
  ASSERT_EQ(Run({"search", "--dict", dct, "--page", "--export", "тармоз"}), 0) << err.str();
  EXPECT_NE(out.str().find("<br>Возможно, вы искали: тормоз\n"), std::string::npos) << out.str();
  ASSERT_EQ(Run({"search", "--dict", dct, "--page", "--no-suggestions", "--raw", "тармоз"}), 0);
  CDictionary dictionary;
  const CResultPage empty = [&] {
    dictionary.Load(dct);
    return dictionary.Search(CSearchQuery("тармоз"_cp, false, false));
  }();
  EXPECT_EQ(out.str(), Joined(Lines(dictionary, empty, false, true), "\r\n"));

  ASSERT_EQ(Run({"variants", "--dict", dct, "--pane", "мвсло"}), 0) << err.str();
  EXPECT_NE(out.str().find("<tr><td><a href=type://0>масло</a></td></tr>"), std::string::npos) << out.str();
  ASSERT_EQ(Run({"variants", "--dict", dct, "--pane", "--no-suggestions", "мвсло"}), 0);
  EXPECT_EQ(out.str().find("type://"), std::string::npos);
}

TEST_F(CarroLookups, ArticleAndAboutPages) {
  ASSERT_EQ(Run({"article", "--dict", dct, "--export", "3"}), 0) << err.str();
  CDictionary dictionary;
  dictionary.Load(dct);
  const CResultPage page = *ArticlePage(dictionary, 3);
  EXPECT_EQ(out.str(), cp1251::ToUtf8(Joined(Lines(dictionary, page, true, false), "\n")));
  ASSERT_EQ(Run({"about", "--dict", dct}), 0);
  EXPECT_NE(out.str().find("Количество статей: \n3\n"), std::string::npos) << out.str();
  EXPECT_EQ(Run({"article", "--dict", dct, "x3"}), 1);
  EXPECT_NE(err.str().find("«x3» не целое число"), std::string::npos) << err.str();
  EXPECT_EQ(Run({"search", "--dict", dct, "--page", "--max-results", "many", "oil"}), 1);
  EXPECT_EQ(Run({"article", "--dict", Dct(FileBytes({}), "empty.dct"), "1"}), 2);
}

// A data file may hold terminal control sequences; the text output shows them escaped, the raw
// output keeps the bytes.
TEST_F(Carro, ControlCharactersReachTheTerminalEscaped) {
  CArticle hostile = Brake();
  hostile.term = "brake\x1b]0;owned\x07\x1b[2J\r\x98";
  const std::string dct = Dct(FileBytes({hostile}));
  ASSERT_EQ(Run({"search", "--dict", dct, "brake"}), 0) << err.str();
  EXPECT_NE(out.str().find("brake\\x1b]0;owned\\x07\\x1b[2J\\x0d\\x98"), std::string::npos) << out.str();
  EXPECT_EQ(out.str().find('\x1b'), std::string::npos);
  ASSERT_EQ(Run({"search", "--dict", dct, "--raw", "brake"}), 0);
  EXPECT_NE(out.str().find(std::string(hostile.term)), std::string::npos);

  ASSERT_EQ(Run({"search", "--page", "--dict", dct, "brake x\x1b[2J"}), 0);
  EXPECT_NE(out.str().find("x\\x1b[2J"), std::string::npos) << out.str();
  EXPECT_EQ(out.str().find('\x1b'), std::string::npos);
  EXPECT_EQ(Run({"\x1b[2J"}), 1);
  EXPECT_EQ(err.str().find('\x1b'), std::string::npos);
}

TEST_F(Carro, ADeviceOrAFolderAsTheDataFileIsRefusedAtOnce) {
  for (const std::string& named : {std::string("/dev/zero"), folder.string()}) {
    EXPECT_EQ(Run({"info", "--dict", named}), 2) << named;
    EXPECT_EQ(err.str(), "carro: " + cp1251::ToUtf8(NotAFileMessage(named)) + "\n");
  }
}

}  // namespace
