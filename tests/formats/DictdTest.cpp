#include "formats/Dictd.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <thread>

#include "formats/Dictzip.h"
#include "tests/support/ExternalTool.h"
#include "tests/support/TestData.h"

namespace {

namespace fs = std::filesystem;

const std::string kFixtures = std::string(CARRO_FORMAT_FIXTURES) + "/dictd/";

void WriteFile(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string FileText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Utf8(std::string_view cp1251Text) {
  return cp1251::ToUtf8(cp1251Text);
}

const CGlossaryArticle* Find(const CGlossary& glossary, std::string_view termUtf8) {
  for (const CGlossaryArticle& article : glossary.articles)
    if (Utf8(article.term) == termUtf8) return &article;
  return nullptr;
}

// The articles written into a folder, with the two files' paths.
struct CExported {
  CTemporaryFolder folder;
  fs::path index;
  fs::path dict;
};

void Export(CExported& out, const std::vector<CArticle>& articles, const CDictionaryInfo& info = TestInfo()) {
  const CDictionary dictionary = Loaded(FileBytes(articles, info));
  const std::vector<CExportFile> files = ExportDictd(dictionary, (out.folder.path / "carro").string());
  ASSERT_EQ(files.size(), 2u);
  out.index = files[0].path;
  out.dict = files[1].path;
  for (const CExportFile& file : files) WriteFile(file.path, file.bytes);
}

TEST(Dictd, ReadsAHandWrittenDatabase) {
  const CGlossary glossary = ReadDictdFile(kFixtures + "motor.index", {});
  EXPECT_EQ(Utf8(glossary.info.infoText1), "Motor trade terms (test)");
  EXPECT_EQ(Utf8(glossary.info.infoText2),
            "A few motor-trade terms, written by hand for the tests.\nNot for use on the road.");
  // The Russian headword тормоз only finds brake's text; the database's own entries are no articles.
  std::vector<std::string> terms;
  for (const CGlossaryArticle& article : glossary.articles) terms.push_back(Utf8(article.term));
  EXPECT_EQ(terms, (std::vector<std::string>{"brake", "spark plug", "sparking plug", "camshaft",
                                             "anti-roll bar", "ABS", "clutch"}));
  for (std::size_t i = 0; i < glossary.articles.size(); ++i) {
    EXPECT_EQ(glossary.articles[i].id, static_cast<int32_t>(i) + 1);
    EXPECT_EQ(glossary.articles[i].language, 2);
  }

  const CGlossaryArticle* brake = Find(glossary, "brake");
  ASSERT_NE(brake, nullptr);
  EXPECT_EQ(Utf8(brake->translation), "тормоз");
  EXPECT_EQ(Utf8(brake->transcription), "breik");
  EXPECT_EQ(Utf8(brake->definition), "A device that slows or stops a vehicle.");
  EXPECT_EQ(Utf8(brake->seeAlso), "тормозной диск");
  EXPECT_EQ(brake->synonymGroup, 0);

  // Two headwords of one text: two articles in one group.
  const CGlossaryArticle* spark = Find(glossary, "spark plug");
  const CGlossaryArticle* sparking = Find(glossary, "sparking plug");
  ASSERT_TRUE(spark && sparking);
  EXPECT_EQ(spark->synonymGroup, spark->id);
  EXPECT_EQ(sparking->synonymGroup, spark->id);
  EXPECT_EQ(Utf8(sparking->translation), "свеча зажигания");
  EXPECT_EQ(Utf8(sparking->definition), "Ignites the fuel-air mixture in the cylinder.");

  // The first equivalent is the translation; the line of all of them stays in the definition.
  const CGlossaryArticle* camshaft = Find(glossary, "camshaft");
  ASSERT_NE(camshaft, nullptr);
  EXPECT_EQ(Utf8(camshaft->translation), "распределительный вал");
  EXPECT_EQ(Utf8(camshaft->definition),
            "распределительный вал; распредвал<br>A shaft with cams that opens and closes the valves.");
  // An index of folded keys only: the text's first line gives the spelling.
  ASSERT_NE(Find(glossary, "anti-roll bar"), nullptr);
  EXPECT_EQ(Utf8(Find(glossary, "clutch")->definition),
            "Connects the engine to the gearbox &amp; lets it slip.");

  CImportOptions german;
  german.language = 5;
  EXPECT_EQ(ReadDictdFile(kFixtures + "motor.index", german).articles[0].language, 5);
}

TEST(Dictd, ReadsDictzipDataAndNamesAMissingDataFile) {
  CTemporaryFolder folder;
  fs::copy_file(kFixtures + "motor.index", folder.path / "motor.index");
  try {
    ReadDictdFile((folder.path / "motor.index").string(), {});
    FAIL();
  } catch (const CFormatError& error) {
    EXPECT_NE(std::string(error.what()).find((folder.path / "motor.dict.dz").string()), std::string::npos)
        << error.what();
  }
  fs::copy_file(kFixtures + "motor.dict.dz", folder.path / "motor.dict.dz");
  const CGlossary packed = ReadDictdFile((folder.path / "motor.index").string(), {});
  const CGlossary plain = ReadDictdFile(kFixtures + "motor.index", {});
  ASSERT_EQ(packed.articles.size(), plain.articles.size());
  for (std::size_t i = 0; i < plain.articles.size(); ++i) {
    EXPECT_EQ(packed.articles[i].term, plain.articles[i].term);
    EXPECT_EQ(packed.articles[i].definition, plain.articles[i].definition);
  }
  EXPECT_EQ(packed.info.infoText1, plain.info.infoText1);
}

TEST(Dictd, ExportLayout) {
  CExported out;
  Export(out, {Brake()});
  EXPECT_EQ(out.index.filename(), "carro.index");
  EXPECT_EQ(out.dict.filename(), "carro.dict");
  EXPECT_EQ(FileText(out.dict),
            "00-database-utf8\n"
            "00-database-short\n   info one\n"
            "00-database-info\n   info two\n"
            "00-database-carro\n   1\n"
            "brake [брейк]\n"
            "   тормоз\n"
            "   Устройство для замедления.\n"
            "   См. также: тормозной диск\n");
  // Keys as the server folds a word looked up, the headword as written after them where it differs.
  EXPECT_EQ(FileText(out.index),
            "00-database-utf8\tA\tR\n"
            "00databasecarro\tBM\tX\t00-database-carro\n"
            "00databaseinfo\tv\td\t00-database-info\n"
            "00databaseshort\tR\te\t00-database-short\n"
            "brake\tBj\tCJ\n"
            "тормоз\tBj\tCJ\n");
  EXPECT_EQ(ExportDictd(Loaded(FileBytes({Brake()})), "/x/y.index")[1].path, "/x/y.dict");
}

TEST(Dictd, IndexKeysAreFoldedAndSortedAsTheServerCompares) {
  CExported out;
  Export(out,
         {ArticleOf(1, "Spark Plug", "свеча зажигания"_cp, 2, ""),
          ArticleOf(2, "ABS", "Антиблокировочная система"_cp, 2, ""),
          ArticleOf(3, "anti-roll bar", "стабилизатор"_cp, 2, ""),
          ArticleOf(4, "tank capacity", "Ёмкость бака; объём"_cp, 2, ""),
          ArticleOf(5, "4WD", "полный привод"_cp, 2, ""), ArticleOf(6, "Zuendkerze", "свеча"_cp, 5, "")});
  std::vector<std::string> keys;
  std::map<std::string, std::string> written;  // key -> the fourth column
  std::istringstream lines(FileText(out.index));
  for (std::string line; std::getline(lines, line);) {
    const std::size_t tab = line.find('\t');
    keys.push_back(line.substr(0, tab));
    const std::size_t fourth = line.find('\t', line.find('\t', tab + 1) + 1);
    written[keys.back()] = fourth == std::string::npos ? keys.back() : line.substr(fourth + 1);
  }
  EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end())) << FileText(out.index);
  const std::pair<const char*, const char*> expected[] = {
      {"spark plug", "Spark Plug"},
      {"abs", "ABS"},
      {"antiroll bar", "anti-roll bar"},
      {"антиблокировочная система", "Антиблокировочная система"},
      {"ёмкость бака", "Ёмкость бака"},
      {"объём", "объём"},
      {"4wd", "4WD"},
      {"zuendkerze", "Zuendkerze"},
      {"свеча", "свеча"}};
  for (const auto& [key, headword] : expected) EXPECT_EQ(written[key], headword) << key;
}

std::vector<CArticle> RoundTripArticles(std::vector<std::string>& texts) {
  std::vector<CArticle> articles = {
      Brake(),
      ArticleOf(2, "spark plug", "свеча зажигания"_cp, 2, "Поджигает смесь.<br><b>Зазор</b> 0,8 мм."_cp, 2),
      ArticleOf(3, "sparking plug", "свеча"_cp, 2, "", 2, "свеча накаливания"_cp),
      ArticleOf(4, "anti-roll bar", "стабилизатор"_cp, 2, "Bar &amp; link: &lt;front&gt; &gt; rear"_cp),
      ArticleOf(5, "Zuendkerze", "свеча зажигания"_cp, 5, "Zuendet das Gemisch."),
      // No translation: the Russian first line stays the definition's; its own "См. также" line too.
      ArticleOf(6, "ABS", "", 2, "Антиблокировочная система.<br>См. также: тормоз"_cp),
      ArticleOf(7, "camshaft", "распределительный вал, распредвал"_cp, 2, ""),
      ArticleOf(8, "brake [US]", "тормоз"_cp, 2, "", 0, "", "брейк"_cp),
  };
  // Enough text that offsets take several digits.
  texts.reserve(1000);  // the articles view these texts
  for (int32_t id = 9; id < 300; ++id) {
    texts.push_back("part " + std::to_string(id));
    texts.push_back(std::string("деталь номер "_cp) + std::to_string(id));
    articles.push_back(ArticleOf(id, texts[texts.size() - 2], texts.back(), 2, "Text<br>more text"));
  }
  return articles;
}

TEST(Dictd, RoundTripGivesBackWhatPlainTextHolds) {
  std::vector<std::string> texts;
  const std::vector<CArticle> articles = RoundTripArticles(texts);
  const CDictionaryInfo info{std::string("Термины"_cp), std::string("Первая строка\nвторая строка"_cp),
                             "2026-12", "1.0"};
  CExported out;
  Export(out, articles, info);
  const CGlossary back = ReadDictdFile(out.index.string(), {});
  EXPECT_EQ(back.info.infoText1, info.infoText1);
  EXPECT_EQ(back.info.infoText2, info.infoText2);
  ASSERT_EQ(back.articles.size(), articles.size());
  for (std::size_t i = 0; i < articles.size(); ++i) {
    const CArticle& original = articles[i];
    const CGlossaryArticle& article = back.articles[i];
    EXPECT_EQ(Utf8(article.term), Utf8(original.term)) << i;
    EXPECT_EQ(Utf8(article.translation), Utf8(original.translation)) << i;
    EXPECT_EQ(Utf8(article.transcription), Utf8(original.transcription)) << i;
    EXPECT_EQ(Utf8(article.seeAlso), Utf8(original.seeAlso)) << i;
    EXPECT_EQ(PlainText(article.definition), PlainText(original.definition)) << i;
    EXPECT_EQ(article.language, 2) << i;  // plain text holds no language
    EXPECT_EQ(article.synonymGroup, i == 1 || i == 2 ? 2 : 0) << i;
  }
  EXPECT_EQ(back.articles[3].definition, articles[3].definition);  // escaped again as it was
  CImportOptions german;
  german.language = 5;
  EXPECT_EQ(ReadDictdFile(out.index.string(), german).articles[4].language, 5);
}

TEST(Dictd, BadInputIsNamedByFileAndLine) {
  const std::string dict = "brake\n   тормоз\n";  // 22 bytes
  struct CCase {
    std::string index;
    std::string dict;
    int line;
    std::string reason;
  };
  std::string manyHeadwords;  // a hundred headwords for one megabyte
  for (int i = 0; i < 100; ++i) manyHeadwords += "brake" + std::to_string(i) + "\tA\tEAAA\n";
  const std::vector<CCase> cases = {
      {manyHeadwords, std::string(1 << 20, 'x'), 1, "слишком часто указывают на одни и те же байты"},
      {"brake\tA\tBAAAB\n", std::string((1 << 24) + 1, 'x'), 1, "статья длиннее 16 МБ"},
      {"brake\tA\tX\n", dict, 1, "статья за концом файла .dict"},
      {"brake\tA\tB\nclutch\tW\tB\n", dict, 2, "статья за концом файла .dict"},
      {"brake\tA\tCAAAAA\n", dict, 1, "статья за концом файла .dict"},  // 2 GB
      {"brake\t//////////////////////\tB\n", dict, 1, "статья за концом файла .dict"},
      {"brake\tA*\tB\n", dict, 1, "неверное число base64 в смещении"},
      {"brake\t\tB\n", dict, 1, "неверное число base64 в смещении"},
      {"brake\tA\tB-\tbrake\n", dict, 1, "неверное число base64 в длине"},
      {"\n00-database-utf8\tA\tB\nbrake\n", dict, 3, "нет табуляции"},
      {"brake\tA\tB\nclutch\tB", dict, 2, "нет длины статьи"},  // cut short
      {"br\xFF"
       "ake\tA\tB\n",
       dict, 1, "UTF-8"},
      {"brake\tA\tF\nclutch\tF\tC\n", "brake\xC3(\n", 2, "UTF-8"},
      {"\tA\tB\n", dict, 1, "пустой заголовок"},
      {"brake\tA\ta\n", "brake 中\n   тормоз\n   x\n", 1, "U+4E2D"},
  };
  for (const CCase& bad : cases) {
    try {
      ReadDictd(bad.index, bad.dict, "x.index", {});
      ADD_FAILURE() << bad.index;
    } catch (const CFormatError& error) {
      const std::string message = Utf8(error.what());
      EXPECT_NE(message.find("x.index, строка " + std::to_string(bad.line) + ": "), std::string::npos)
          << message;
      EXPECT_NE(message.find(bad.reason), std::string::npos) << message;
    }
  }
}

TEST(Dictd, KeepGoingSkipsBadEntriesAndKeepsTheRest) {
  CImportOptions keepGoing;
  keepGoing.keepGoing = true;
  const std::string dict = "brake\n   тормоз\nclutch\n   сцепление\n";
  const CGlossary glossary =
      ReadDictd("brake\tA\tW\nclutch\tW\tCAAAAA\nbad line\nclutch\tW\td\n", dict, "x.index", keepGoing);
  ASSERT_EQ(glossary.articles.size(), 2u);
  EXPECT_EQ(Utf8(glossary.articles[1].translation), "сцепление");
  EXPECT_EQ(glossary.skipped.at(std::string("статья за концом файла .dict"_cp)), 1);
  EXPECT_EQ(glossary.skipped.at(std::string("нет табуляции после заголовка"_cp)), 1);
}

// A DICT server of its own on a free loopback port, for the test's lifetime.
class CDictServer {
 public:
  CDictServer(const fs::path& where, const fs::path& index, const fs::path& dict) : folder(where) {
    port = FreePort();
    // The server drops to its own user: the folder and the files must be readable by others.
    fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
    WriteFile(folder / "dictd.conf", "access { allow * }\ndatabase carro { data \"" + dict.string() +
                                         "\" index \"" + index.string() + "\" }\n");
    WriteFile(folder / "dictd.log", "");
    fs::permissions(folder / "dictd.log", fs::perms::all & ~fs::perms::owner_exec & ~fs::perms::group_exec &
                                              ~fs::perms::others_exec);
    for (const fs::path& file : {index, dict, folder / "dictd.conf"})
      fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                fs::perms::others_read);
    external_tool::Run("dictd -c '" + (folder / "dictd.conf").string() + "' -p " + std::to_string(port) +
                       " --pid-file '" + (folder / "dictd.pid").string() + "' -L '" +
                       (folder / "dictd.log").string() + "' --listen-to 127.0.0.1 --locale C.UTF-8 2>&1");
    for (int attempt = 0; attempt < 50 && !ready; ++attempt) {
      ready = Look("-D").find("carro") != std::string::npos;
      if (!ready) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }
  ~CDictServer() {
    std::ifstream pidFile(folder / "dictd.pid");
    pid_t pid = 0;
    if (pidFile >> pid && pid > 0) kill(pid, SIGTERM);
  }
  CDictServer(const CDictServer&) = delete;
  CDictServer& operator=(const CDictServer&) = delete;

  // The output of the client with these arguments (fixed words of the test).
  std::string Look(const std::string& arguments) const {
    return external_tool::Run("dict -h 127.0.0.1 -p " + std::to_string(port) + " " + arguments + " 2>&1")
        .output;
  }
  std::string Log() const { return FileText(folder / "dictd.log"); }

  bool ready = false;

 private:
  static int FreePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
      port = ntohs(address.sin_port);
    close(fd);
    return port;
  }

  fs::path folder;
  int port = 0;
};

std::vector<CArticle> OracleArticles() {
  return {Brake(),
          ArticleOf(2, "ABS", "антиблокировочная система"_cp, 2, "Не даёт колёсам <b>блокироваться</b>."_cp),
          ArticleOf(3, "spark plug", "свеча зажигания"_cp, 2, "Поджигает смесь."_cp, 3),
          ArticleOf(4, "sparking plug", "свеча"_cp, 2, "", 3),
          ArticleOf(5, "anti-roll bar", "стабилизатор поперечной устойчивости"_cp, 2, ""),
          ArticleOf(6, "Zuendkerze", "свеча зажигания"_cp, 5, ""),
          ArticleOf(7, "camshaft", "распределительный вал, распредвал"_cp, 2, "")};
}

TEST(Dictd, TheServerFindsEveryHeadwordOfTheExport) {
  REQUIRE_TOOL("dictd");
  REQUIRE_TOOL("dict");
  CExported out;
  Export(out, OracleArticles(),
         CDictionaryInfo{std::string("Автотермины"_cp), std::string("Словарь для проверки"_cp), "1", "1.0"});
  const CDictServer server(out.folder.path, out.index, out.dict);
  ASSERT_TRUE(server.ready) << server.Log();
  EXPECT_NE(server.Look("-D").find("Автотермины"), std::string::npos);
  EXPECT_NE(server.Look("-i carro").find("Словарь для проверки"), std::string::npos);
  // Each word the way a user types it, and what its definition must show.
  const std::pair<const char*, const char*> lookups[] = {
      {"brake", "тормоз"},
      {"BRAKE", "Устройство для замедления."},
      {"ABS", "антиблокировочная система"},
      {"abs", "блокироваться"},
      {"'spark plug'", "Поджигает смесь."},
      {"'sparking plug'", "spark plug"},
      {"'anti-roll bar'", "стабилизатор"},
      {"zuendkerze", "свеча зажигания"},
      {"тормоз", "brake [брейк]"},
      {"ТОРМОЗ", "brake [брейк]"},
      {"'свеча зажигания'", "Zuendkerze"},
      {"распредвал", "camshaft"},
  };
  for (const auto& [word, shown] : lookups) {
    const std::string output = server.Look(std::string("-d carro ") + word);
    EXPECT_NE(output.find(shown), std::string::npos) << word << ":\n" << output;
  }
  EXPECT_NE(server.Look("-d carro clutch").find("No definitions"), std::string::npos);
}

TEST(Dictd, PyglossaryReadsTheExport) {
  REQUIRE_TOOL("pyglossary");
  CExported out;
  Export(out, OracleArticles());
  const fs::path tab = out.folder.path / "out.txt";
  external_tool::Run("pyglossary '" + out.index.string() + "' '" + tab.string() +
                     "' --read-format=DictOrg --write-format=Tabfile >/dev/null 2>&1");
  const std::string text = FileText(tab);
  EXPECT_NE(text.find("\nbrake\tbrake [брейк]<br />   тормоз<br />"), std::string::npos) << text;
  EXPECT_NE(text.find("\nраспредвал\tcamshaft<br />"), std::string::npos) << text;
}

}  // namespace
