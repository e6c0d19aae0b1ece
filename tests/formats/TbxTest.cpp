#include "formats/Tbx.h"

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <array>
#include <fstream>
#include <map>
#include <string>

#include "tests/support/ExternalTool.h"
#include "tests/support/TestData.h"

namespace {

std::string Fixture(const std::string& name) {
  return ReadSourceFile(std::string(CARRO_FORMAT_FIXTURES) + "/tbx/" + name);
}

// Entries inside a minimal file; the first entry starts on line 3.
std::string Tbx(const std::string& entries, const std::string& doctype = "") {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + doctype +
         "\n<martif type=\"TBX-Basic\"><text><body>\n" + entries + "\n</body></text></martif>\n";
}

std::string Pair(const std::string& english, const std::string& russian) {
  return "<termEntry><langSet xml:lang=\"en\"><tig><term>" + english +
         "</term></tig></langSet><langSet xml:lang=\"ru\"><tig><term>" + russian +
         "</term></tig></langSet></termEntry>";
}

// What() in UTF-8, or "no error".
std::string ErrorOf(const std::string& text, const CImportOptions& options = {}) {
  try {
    ReadTbx(text, "bad.tbx", options);
  } catch (const CFormatError& error) {
    return cp1251::ToUtf8(error.what());
  }
  return "no error";
}

CImportOptions KeepGoing() {
  CImportOptions options;
  options.keepGoing = true;
  return options;
}

struct CExpected {
  const char* term;
  const char* translation;
  int32_t language;
  const char* definition;
  int32_t synonymGroup;
  const char* seeAlso;
  const char* transcription;
};

void ExpectArticles(const CGlossary& glossary, const std::vector<CExpected>& expected) {
  ASSERT_EQ(glossary.articles.size(), expected.size());
  for (std::size_t n = 0; n < expected.size(); ++n) {
    const CGlossaryArticle& article = glossary.articles[n];
    SCOPED_TRACE(expected[n].term);
    EXPECT_EQ(article.id, static_cast<int32_t>(n + 1));
    EXPECT_EQ(cp1251::ToUtf8(article.term), expected[n].term);
    EXPECT_EQ(cp1251::ToUtf8(article.translation), expected[n].translation);
    EXPECT_EQ(article.language, expected[n].language);
    EXPECT_EQ(cp1251::ToUtf8(article.definition), expected[n].definition);
    EXPECT_EQ(article.synonymGroup, expected[n].synonymGroup);
    EXPECT_EQ(cp1251::ToUtf8(article.seeAlso), expected[n].seeAlso);
    EXPECT_EQ(cp1251::ToUtf8(article.transcription), expected[n].transcription);
    EXPECT_EQ(article.extraText, "");
  }
}

TEST(TbxRead, EachEnglishOrGermanTermPairsWithTheFirstRussianTerm) {
  const CGlossary glossary = ReadTbx(Fixture("basic.tbx"), "basic.tbx", {});
  const char* spark = "Поджигает <b>рабочую смесь</b> &amp; <i>искрой</i><br>Меняют через 30 000 км";
  ExpectArticles(
      glossary,
      {
          {"spark plug", "свеча зажигания", 2, spark, 1, "катушка зажигания", "спак плаг"},
          {"sparking plug", "свеча зажигания", 2, (std::string(spark) + "<br>British usage").c_str(), 1,
           "катушка зажигания", ""},
          {"Zuendkerze", "свеча зажигания", 5, "Zuendet das Gemisch im Zylinder", 0, "", "цюндкерце"},
          {"brake", "тормоз", 2, "Slows the vehicle &lt;by friction&gt;", 0,
           "тормозная колодка, тормозной диск", ""},
          {"Bremse", "тормоз", 5, "", 0, "тормозная колодка", ""},
          {"clutch", "сцепление", 2, "Разъединяет двигатель<br>и коробку передач", 0, "", ""},
      });
  // The French-only entry is not a fault, only counted.
  ASSERT_EQ(glossary.skipped.size(), 1u);
  EXPECT_EQ(cp1251::ToUtf8(glossary.skipped.begin()->first), "нет термина на английском или немецком языке");
  EXPECT_EQ(glossary.skipped.begin()->second, 1);
}

TEST(TbxRead, TheNewerRootInternalEntitiesAndDeclaredEncodings) {
  const std::string newer =
      "<?xml version=\"1.0\"?>\n<tbx type=\"TBX-Basic\" style=\"dca\" xml:lang=\"en\" "
      "xmlns=\"urn:iso:std:iso:30042:ed-2\"><tbxHeader/><text><body>\n"
      "<conceptEntry id=\"c1\"><langSec xml:lang=\"en\"><termSec><term>camshaft</term>"
      "<termNote type=\"pronunciation\">кэмшафт</termNote></termSec><termSec><term>cam shaft</term></termSec>"
      "</langSec><langSec xml:lang=\"ru\"><descripGrp><descrip type=\"definition\">Открывает "
      "клапаны</descrip>"
      "</descripGrp><termSec><term>распределительный вал</term></termSec></langSec></conceptEntry>\n"
      "</body></text></tbx>";
  ExpectArticles(ReadTbx(newer, "v3.tbx", {}),
                 {{"camshaft", "распределительный вал", 2, "Открывает клапаны", 1, "", "кэмшафт"},
                  {"cam shaft", "распределительный вал", 2, "Открывает клапаны", 1, "", ""}});

  const std::string entities = Tbx(
      "<termEntry><langSet xml:lang=\"en\"><tig><term>&maker; gearbox</term></tig></langSet><langSet "
      "xml:lang=\"ru\"><descrip type=\"definition\">&note;</descrip><tig><term>коробка</term></tig></langSet>"
      "</termEntry>",
      "<!DOCTYPE martif [<!ENTITY maker \"Carro &amp; Co\"><!ENTITY note \"<hi "
      "type='bold'>&maker;</hi>\">]>");
  ExpectArticles(ReadTbx(entities, "e.tbx", {}),
                 {{"Carro & Co gearbox", "коробка", 2, "<b>Carro &amp; Co</b>", 0, "", ""}});

  const std::string windows1251 = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<martif><text><body>" +
                                  Pair("brake", std::string("тормоз"_cp)) + "</body></text></martif>";
  ExpectArticles(ReadTbx(windows1251, "w.tbx", {}), {{"brake", "тормоз", 2, "", 0, "", ""}});
}

TEST(TbxRead, LanguageOptionAndTextsWindows1251Lacks) {
  CImportOptions german;
  german.language = 5;
  EXPECT_EQ(ReadTbx(Tbx(Pair("brake", "тормоз")), "t.tbx", german).articles.at(0).language, 5);

  const std::string arrow = Tbx(Pair("brake", "тормоз") + "\n" + Pair("a→b", "стрелка"));
  EXPECT_EQ(ErrorOf(arrow), "bad.tbx, строка 4: символ U+2192 нельзя записать в Windows-1251 (знак 2)");
  CImportOptions lossy;
  lossy.how.lossy = true;
  EXPECT_EQ(ReadTbx(arrow, "t.tbx", lossy).articles.at(1).term, "a?b");
  const CGlossary kept = ReadTbx(arrow, "t.tbx", KeepGoing());
  ASSERT_EQ(kept.articles.size(), 1u);
  EXPECT_EQ(kept.skipped.at(std::string("текст, которого нет в Windows-1251"_cp)), 1);
}

TEST(TbxRead, EntriesWithoutAPairFailOrAreCounted) {
  const std::string noRussian = Tbx(Pair("brake", "тормоз") +
                                    "\n<termEntry><langSet xml:lang=\"en\"><tig><term>clutch</term></tig>"
                                    "</langSet></termEntry>");
  EXPECT_EQ(ErrorOf(noRussian), "bad.tbx, строка 4: нет русского термина");
  const CGlossary kept = ReadTbx(noRussian, "t.tbx", KeepGoing());
  EXPECT_EQ(kept.articles.size(), 1u);
  EXPECT_EQ(kept.skipped.at(std::string("нет русского термина"_cp)), 1);

  // A hostile entry with very many terms gives the first thousand.
  std::string many = "<termEntry><langSet xml:lang=\"en\">";
  for (int n = 0; n < 1005; ++n) many += "<tig><term>t" + std::to_string(n) + "</term></tig>";
  many += "</langSet><langSet xml:lang=\"ru\"><tig><term>т</term></tig></langSet></termEntry>";
  EXPECT_NE(ErrorOf(Tbx(many)).find("строка 3: больше 1000 терминов одного понятия"), std::string::npos);
  const CGlossary bounded = ReadTbx(Tbx(many), "t.tbx", KeepGoing());
  EXPECT_EQ(bounded.articles.size(), 1000u);
  EXPECT_EQ(bounded.articles.back().synonymGroup, 1);
  EXPECT_EQ(bounded.skipped.at(std::string("больше 1000 терминов одного понятия"_cp)), 5);
}

std::string Laughs() {
  std::string entities = "<!ENTITY lol0 \"lol\">";
  for (int n = 1; n < 10; ++n) {
    entities += "<!ENTITY lol" + std::to_string(n) + " \"";
    for (int k = 0; k < 10; ++k) entities += "&lol" + std::to_string(n - 1) + ";";
    entities += "\">";
  }
  return Tbx(Pair("&lol9;", "смех"), "<!DOCTYPE martif [" + entities + "]>");
}

// Three thousand lines of good entries.
std::string Far() {
  std::string lines;
  for (int n = 0; n < 3000; ++n) lines += Pair("brake", "тормоз") + "\n";
  return lines;
}

// Below libxml2's own bound, 100 MB from a file of 40 KB.
std::string Amplified() {
  std::string refs;
  for (int n = 0; n < 10000; ++n) refs += "&a;";
  return Tbx(Pair(refs, "много"), "<!DOCTYPE martif [<!ENTITY a \"" + std::string(10000, 'x') + "\">]>");
}

TEST(TbxRead, BadInputNamesFileLineAndReason) {
  const struct {
    const char* what;
    std::string text;
    const char* message;  // after "bad.tbx, "
  } cases[] = {
      {"tags crossed", Tbx("<termEntry><langSet xml:lang=\"en\">\n<tig><term>x</tig></langSet></termEntry>"),
       "строка 4: неверный XML: Opening and ending tag mismatch: term line 4 and tig"},
      {"cut", Tbx(Pair("brake", "тормоз")).substr(0, 120), "строка 3: неверный XML"},
      {"tags crossed far down",
       Tbx(Far() + "<termEntry><langSet xml:lang=\"en\"></tig></langSet></termEntry>"),
       "строка 3003: неверный XML: Opening and ending tag mismatch: langSet line 3003 and tig"},
      {"not XML", "\n\nbrake;тормоз\n", "строка 3: это не XML: текст начинается не со знака <"},
      {"empty", "  \n", "строка 1: файл пуст"},
      {"wrong root", "<?xml version=\"1.0\"?>\n<html><body/></html>",
       "строка 2: корневой элемент <html>, а в файле TBX это <martif> или <tbx>"},
      {"empty body", Tbx(""), "строка 5: нет ни одного понятия (<termEntry> или <conceptEntry>)"},
      {"only French",
       Tbx("<termEntry><langSet xml:lang=\"fr\"><tig><term>frein</term></tig></langSet></termEntry>"),
       "строка 5: ни в одном понятии нет термина на английском или немецком языке"},
      {"billion laughs", Laughs(), "строка 3: сущности XML раскрываются в слишком длинный текст"},
      {"amplified entity", Amplified(), "строка 3: файл даёт текста во много раз больше своего размера"},
  };
  for (const auto& bad : cases) {
    const std::string error = ErrorOf(bad.text);
    EXPECT_EQ(error.find(std::string("bad.tbx, ") + bad.message), 0u) << bad.what << ": " << error;
  }
}

// The names of the files opened in a folder while the object lives.
class CFolderOpens {
 public:
  explicit CFolderOpens(const std::filesystem::path& folder) : watch(inotify_init1(IN_NONBLOCK)) {
    inotify_add_watch(watch, folder.c_str(), IN_OPEN | IN_ACCESS);
  }
  ~CFolderOpens() { close(watch); }
  CFolderOpens(const CFolderOpens&) = delete;
  CFolderOpens& operator=(const CFolderOpens&) = delete;

  std::string Seen() {
    std::string seen;
    std::array<char, 4096> buffer{};
    for (ssize_t size; (size = read(watch, buffer.data(), buffer.size())) > 0;)
      for (ssize_t at = 0; at < size;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
        seen += (event->len ? std::string(event->name) : std::string(".")) + " ";
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    return seen;
  }

 private:
  int watch;
};

TEST(TbxRead, ExternalEntitiesAndDtdsAreNeverLoaded) {
  const CTemporaryFolder folder;
  const std::string secret = (folder.path / "secret.txt").string();
  const std::string dtd = (folder.path / "outside.dtd").string();
  std::ofstream(secret) << "root:x:0:0 SECRET-MARKER";
  std::ofstream(dtd) << "<!ENTITY leak \"DTD-MARKER\">";
  CFolderOpens opens(folder.path);
  const struct {
    const char* what;
    std::string text;
  } cases[] = {
      {"general entity", Tbx(Pair("brake &xxe;", "тормоз"),
                             "<!DOCTYPE martif [<!ENTITY xxe SYSTEM \"file://" + secret + "\">]>")},
      {"parameter entity", Tbx(Pair("brake", "тормоз"),
                               "<!DOCTYPE martif [<!ENTITY % pe SYSTEM \"file://" + secret + "\"> %pe;]>")},
      {"outside DTD", Tbx(Pair("brake &leak;", "тормоз"), "<!DOCTYPE martif SYSTEM \"file://" + dtd + "\">")},
      {"entity in an attribute", Tbx("<termEntry id=\"&xxe;\">" + Pair("brake", "тормоз").substr(11),
                                     "<!DOCTYPE martif [<!ENTITY xxe SYSTEM \"" + secret + "\">]>")},
  };
  for (const auto& hostile : cases) {
    try {
      const CGlossary glossary = ReadTbx(hostile.text, "x.tbx", {});
      ASSERT_EQ(glossary.articles.size(), 1u) << hostile.what;
      EXPECT_EQ(glossary.articles[0].term.substr(0, 5), "brake") << hostile.what;
      EXPECT_EQ(glossary.articles[0].term.find("MARKER"), std::string::npos) << hostile.what;
    } catch (const CFormatError& error) {
      EXPECT_EQ(std::string(error.what()).find("MARKER"), std::string::npos) << hostile.what;
    }
  }
  EXPECT_EQ(opens.Seen(), "");
}

// --- export ---

std::vector<CArticle> SampleArticles() {
  return {
      {.id = 10,
       .language = 2,
       .synonymGroup = 10,
       .term = "spark plug",
       .translation = "свеча зажигания"_cp,
       .definition = "<b>Поджигает</b> смесь &amp; <i>искрой</i><br>вторая строка"_cp,
       .extraText = "свечи"_cp,
       .seeAlso = "катушка зажигания"_cp,
       .transcription = "спак плаг"_cp},
      {.id = 11,
       .language = 2,
       .synonymGroup = 10,
       .term = "sparking plug",
       .translation = "свеча зажигания"_cp,
       .definition = "<b>Поджигает</b> смесь &amp; <i>искрой</i><br>вторая строка"_cp,
       .extraText = "",
       .seeAlso = "катушка зажигания"_cp,
       .transcription = ""},
      {.id = 12,
       .language = 5,
       .synonymGroup = 0,
       .term = "Zuendkerze",
       .translation = "свеча"_cp,
       .definition = "&lt;Teil&gt; &amp; &quot;Kerze&quot; <b><i>fett und kursiv</i></b>",
       .extraText = "",
       .seeAlso = "",
       .transcription = "цюндкерце"_cp},
      {.id = 13,
       .language = 2,
       .synonymGroup = 13,
       .term = "brake",
       .translation = "тормоз"_cp,
       .definition = "Замедляет"_cp,
       .extraText = "",
       .seeAlso = "тормозной диск"_cp,
       .transcription = ""},
      {.id = 14,
       .language = 5,
       .synonymGroup = 13,
       .term = "Bremse",
       .translation = "тормоз"_cp,
       .definition = "Останавливает"_cp,
       .extraText = "",
       .seeAlso = "",
       .transcription = ""},
      {.id = 15,
       .language = 2,
       .synonymGroup = 13,
       .term = "brake shoe",
       .translation = "тормоз"_cp,
       .definition = "Прижимается <i>к барабану</i>"_cp,
       .extraText = "",
       .seeAlso = "барабан"_cp,
       .transcription = ""},
      {.id = 16,
       .language = 2,
       .synonymGroup = 0,
       .term = "clutch",
       .translation = "",
       .definition = "",
       .extraText = "",
       .seeAlso = "",
       .transcription = ""},
      {.id = 17,
       .language = 2,
       .synonymGroup = 17,
       .term = "camshaft",
       .translation = "распредвал"_cp,
       .definition = "",
       .extraText = "",
       .seeAlso = "",
       .transcription = ""},
      {.id = 18,
       .language = 2,
       .synonymGroup = 17,
       .term = "cam shaft",
       .translation = "распределительный вал"_cp,
       .definition = "",
       .extraText = "",
       .seeAlso = "",
       .transcription = ""},
  };
}

TEST(TbxExport, RoundTripKeepsTheFieldsAndTheGroupsOfOneTranslation) {
  const CDictionary dictionary = Loaded(FileBytes(SampleArticles()));
  const std::vector<CExportFile> files = ExportTbx(dictionary, "out.tbx");
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].path, "out.tbx");
  const CGlossary back = ReadTbx(files[0].bytes, "out.tbx", {});
  // An entry holds a group's members by language, so a German member follows the English ones.
  std::map<std::string, const CGlossaryArticle*> byTerm;
  for (const CGlossaryArticle& article : back.articles) byTerm[article.term] = &article;
  ASSERT_EQ(byTerm.size(), dictionary.Articles().size());
  for (const CArticle& sent : dictionary.Articles()) {
    SCOPED_TRACE(sent.term);
    ASSERT_TRUE(byTerm.count(std::string(sent.term)));
    const CGlossaryArticle& article = *byTerm[std::string(sent.term)];
    EXPECT_EQ(article.translation, sent.translation);
    EXPECT_EQ(article.language, sent.language);
    EXPECT_EQ(cp1251::ToUtf8(article.definition), cp1251::ToUtf8(sent.definition));
    EXPECT_EQ(article.seeAlso, sent.seeAlso);
    EXPECT_EQ(article.transcription, sent.transcription);
  }
  const auto group = [&](const char* term) { return byTerm.at(term)->synonymGroup; };
  const auto id = [&](const char* term) { return byTerm.at(term)->id; };
  EXPECT_EQ(group("spark plug"), id("spark plug"));
  EXPECT_EQ(group("sparking plug"), id("spark plug"));
  EXPECT_EQ(group("Zuendkerze"), 0);
  // The members of one translation share an entry; its synonyms are those of one language, so the
  // German member stands alone.
  EXPECT_EQ(group("brake"), id("brake"));
  EXPECT_EQ(group("brake shoe"), id("brake"));
  EXPECT_EQ(group("Bremse"), 0);
  EXPECT_EQ(group("clutch"), 0);
  // Members with different translations are entries of their own: that group is not kept.
  EXPECT_EQ(group("camshaft"), 0);
  EXPECT_EQ(group("cam shaft"), 0);
}

TEST(TbxExport, XmlToolsReadTheExport) {
  REQUIRE_TOOL("xmllint");
  REQUIRE_TOOL("python3");
  std::vector<CArticle> articles = SampleArticles();
  articles.push_back({.id = 19,
                      .language = 2,
                      .synonymGroup = 0,
                      .term = "oil\x01 filter",
                      .translation = "масляный\nфильтр"_cp,
                      .definition = "line\ncontinued\x1f]]>",
                      .extraText = "",
                      .seeAlso = "",
                      .transcription = ""});
  const CDictionary dictionary = Loaded(FileBytes(articles));
  const CTemporaryFolder folder;
  const std::string path = (folder.path / "out.tbx").string();
  const std::vector<CExportFile> files = ExportTbx(dictionary, path);
  std::ofstream(path, std::ios::binary) << files.at(0).bytes;

  EXPECT_EQ(external_tool::Run("xmllint --noout '" + path + "' 2>&1").exitCode, 0);
  const external_tool::CResult python = external_tool::Run(
      "python3 -c 'import sys, xml.etree.ElementTree as E\n"
      "body = E.parse(sys.argv[1]).getroot().find(\"text/body\")\n"
      "entries = body.findall(\"termEntry\")\n"
      "first = [t.text for t in entries[0].findall(\"langSet/tig/term\")]\n"
      "lang = entries[0].find(\"langSet\").get(\"{http://www.w3.org/XML/1998/namespace}lang\")\n"
      "print(len(entries), lang, \"|\".join(first), entries[-1].find(\"langSet/tig/term\").text)' '" +
      path + "'");
  EXPECT_EQ(python.exitCode, 0);
  // The two spark plugs share an entry, the brakes of one translation another.
  EXPECT_EQ(python.output, "7 en spark plug|sparking plug|свеча зажигания oil filter\n");

  const CGlossary back = ReadTbx(files[0].bytes, "out.tbx", {});
  EXPECT_EQ(back.articles.back().term, "oil filter");
  EXPECT_EQ(back.articles.back().translation, "масляный\nфильтр"_cp);
  EXPECT_EQ(back.articles.back().definition, "line continued]]&gt;");
}

}  // namespace
