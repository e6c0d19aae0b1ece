#include "formats/Dsl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <random>

#include "tests/support/ExternalTool.h"
#include "tests/support/TestData.h"

namespace {

const std::string kFixtures = std::string(CARRO_FORMAT_FIXTURES) + "/dsl/";

// UTF-8 text as UTF-16 code units, little- or big-endian, without a byte-order mark.
std::string Utf16(std::string_view utf8, bool bigEndian = false) {
  std::string bytes;
  for (std::size_t pos = 0; pos < utf8.size();) {
    const char32_t c = cp1251::DecodeUtf8(utf8, pos);
    const char low = static_cast<char>(c & 0xFF);
    const char high = static_cast<char>(c >> 8);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

// UTF-16LE bytes (after a byte-order mark) as UTF-8; enough for the writer's text.
std::string Utf8OfUtf16(std::string_view bytes) {
  std::string text;
  for (std::size_t at = 2; at + 1 < bytes.size(); at += 2) {
    const auto c = static_cast<char32_t>(static_cast<unsigned char>(bytes[at]) |
                                         static_cast<unsigned char>(bytes[at + 1]) << 8);
    if (c < 0x80) {
      text += static_cast<char>(c);
    } else if (c < 0x800) {
      text += static_cast<char>(0xC0 | (c >> 6));
      text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      text += static_cast<char>(0xE0 | (c >> 12));
      text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      text += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return text;
}

// An article's fields in UTF-8, for comparing with literals.
struct CFields {
  std::string term, translation, definition, seeAlso, transcription;
  int32_t language;
  bool operator==(const CFields&) const = default;
};

std::ostream& operator<<(std::ostream& out, const CFields& f) {
  return out << "{" << f.term << " | " << f.translation << " | " << f.definition << " | " << f.seeAlso
             << " | " << f.transcription << " | " << f.language << "}";
}

CFields FieldsOf(const CGlossaryArticle& a) {
  return {cp1251::ToUtf8(a.term),    cp1251::ToUtf8(a.translation),   cp1251::ToUtf8(a.definition),
          cp1251::ToUtf8(a.seeAlso), cp1251::ToUtf8(a.transcription), a.language};
}

std::vector<CFields> AllFields(const CGlossary& glossary) {
  std::vector<CFields> fields;
  for (const CGlossaryArticle& article : glossary.articles) fields.push_back(FieldsOf(article));
  return fields;
}

std::vector<int32_t> Groups(const CGlossary& glossary) {
  std::vector<int32_t> groups;
  for (const CGlossaryArticle& article : glossary.articles) groups.push_back(article.synonymGroup);
  return groups;
}

CGlossary Read(std::string_view text, const CImportOptions& options = {}) {
  return ReadDsl(text, "t.dsl", options);
}

TEST(Dsl, ReadsUtf16CardsWithMarkupAlternativesAndEscapes) {
  const CGlossary glossary = ReadDslFile(kFixtures + "en-ru.dsl", {});
  const std::vector<CFields> expected = {
      {"brake", "тормоз",
       "n тормоз<br>Устройство для <i>замедления</i> и остановки <b>автомобиля</b>.<br>brake fluid — "
       "тормозная "
       "жидкость<br>См. brake disc и brake pad",
       "brake disc, brake pad", "брейк", 2},
      {"spark plug", "свеча зажигания", "Зазор между электродами 0,7[-]1,1 мм.", "", "", 2},
      {"sparking plug", "свеча зажигания", "Зазор между электродами 0,7[-]1,1 мм.", "", "", 2},
      {"tyres", "шина", "шина, покрышка<br>брит. ~ \\ @ {} # мягкая", "", "", 2},
      {"ABS [anti-lock]", "АБС", "АБС 2<br>https://example.org/abs подробно ABS", "", "", 2},
      {"clutch", "сцепление", "сцепление; муфта<br><b>Педаль</b> <i>сцепления</i>: clutch pedal",
       "clutch pedal", "", 2},
  };
  EXPECT_EQ(AllFields(glossary), expected);
  for (std::size_t n = 0; n < glossary.articles.size(); ++n)
    EXPECT_EQ(glossary.articles[n].id, static_cast<int32_t>(n + 1));
  EXPECT_EQ(Groups(glossary), (std::vector<int32_t>{0, 2, 2, 0, 0, 0}));
  EXPECT_TRUE(glossary.skipped.empty());
}

TEST(Dsl, DictzipFileReadsAsItsSource) {
  const CGlossary plain = ReadDslFile(kFixtures + "en-ru.dsl", {});
  const CGlossary packed = ReadDslFile(kFixtures + "en-ru.dsl.dz", {});
  EXPECT_EQ(AllFields(packed), AllFields(plain));
  EXPECT_EQ(Groups(packed), Groups(plain));
}

TEST(Dsl, ReadsWindows1251GermanAndRussianIndexedFiles) {
  const std::vector<CFields> german = {
      {"Bremse", "тормоз", "<i>die</i> vordere Bremse — передний тормоз", "", "", 5},
      {"Zuendkerze", "свеча зажигания", "", "", "", 5},
      {"Kupplung", "сцепление", "сцепление, муфта сцепления", "", "", 5},
      {"Nockenwelle", "распределительный вал", "распределительный вал (кулачковый)", "", "", 5},
  };
  EXPECT_EQ(AllFields(ReadDslFile(kFixtures + "de-ru.dsl", {})), german);

  const CGlossary russian = ReadDslFile(kFixtures + "ru-en.dsl", {});
  const std::vector<CFields> expected = {
      {"brake", "тормоз", "Узел, который <i>замедляет</i> колесо.", "", "", 2},
      {"clutch", "сцепление", "clutch, clutch assembly", "", "", 2},
      {"clutch", "муфта сцепления", "clutch, clutch assembly", "", "", 2},
      {"camshaft", "распредвал", "разг. camshaft; то же, что распределительный вал", "распределительный вал",
       "", 2},
  };
  EXPECT_EQ(AllFields(russian), expected);
  EXPECT_EQ(Groups(russian), (std::vector<int32_t>{0, 2, 2, 0}));
}

TEST(Dsl, EncodingsAreTakenFromTheMarkTheHeaderOrTheBytes) {
  const std::string card = "#INDEX_LANGUAGE \"German\"\r\nZündkerze\r\n\t[trn]свеча[/trn]\r\n";
  const std::string cp1251Card =
      "#SOURCE_CODE_PAGE \"Cyrillic\"\nBremse\n\t" + std::string("тормоз"_cp) + "\n";
  const struct {
    const char* name;
    std::string bytes;
    const char* term;
    const char* translation;
  } cases[] = {
      {"UTF-8", card, "Zuendkerze", "свеча"},
      {"UTF-8 with mark", "\xEF\xBB\xBF" + card, "Zuendkerze", "свеча"},
      {"UTF-16LE with mark", "\xFF\xFE" + Utf16(card), "Zuendkerze", "свеча"},
      {"UTF-16LE without mark", Utf16(card), "Zuendkerze", "свеча"},
      {"UTF-16BE with mark", "\xFE\xFF" + Utf16(card, true), "Zuendkerze", "свеча"},
      {"Windows-1251 named", cp1251Card, "Bremse", "тормоз"},
      {"Windows-1251 named Russian", "#SOURCE_CODE_PAGE \"Russian\"\nBremse\n\t" + std::string("тормоз"_cp),
       "Bremse", "тормоз"},
      {"Windows-1251 by its Russian contents",
       "#CONTENTS_LANGUAGE \"Russian\"\nBremse\n\t" + std::string("тормоз"_cp), "Bremse", "тормоз"},
      {"Windows-1252", "#SOURCE_CODE_PAGE \"Latin\"\nZ\xFCndkerze\n\tspark plug", "Zuendkerze", "spark plug"},
      // Valid UTF-8 stays UTF-8 under a Latin code page; only 1251 overrides it.
      {"UTF-8 under Latin", "#SOURCE_CODE_PAGE \"Latin\"\nZündkerze\n\tx", "Zuendkerze", "x"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const CGlossary glossary = Read(c.bytes);
    ASSERT_EQ(glossary.articles.size(), 1u);
    EXPECT_EQ(cp1251::ToUtf8(glossary.articles[0].term), c.term);
    EXPECT_EQ(cp1251::ToUtf8(glossary.articles[0].translation), c.translation);
  }
  EXPECT_EQ(Read(card).articles[0].language, 5);
  CImportOptions english;
  english.language = 2;
  EXPECT_EQ(Read(card, english).articles[0].language, 2);
  EXPECT_EQ(Read("brake\n\tx").articles[0].language, 2);  // no language named
}

TEST(Dsl, BadInputNamesFileAndPlace) {
  std::string deep;
  for (int n = 0; n < 40; ++n) deep += "[b]";
  const struct {
    std::string bytes;
    const char* place;
    const char* reason;
  } cases[] = {
      {"brake\n\t[b]тормоз\n", "bad.dsl, строка 2", "незакрытый тег [b]"},
      {"brake\n\t[b]x\n\t[i]y[/b]\n", "bad.dsl, строка 3", "незакрытый тег [i] перед [/b]"},
      {"brake\n\tx[/b]\n", "bad.dsl, строка 2", "закрывающий тег [/b] без открывающего"},
      {"brake\n\t" + deep, "bad.dsl, строка 2", "слишком глубокая вложенность тегов"},
      {"#NAME \"x\"\n\tтормоз\nbrake\n\tx\n", "bad.dsl, строка 2", "строка карточки до первого заголовка"},
      {"brake\n\nclutch\n\tx\n", "bad.dsl, строка 1", "заголовок без текста карточки"},
      {"brake\n\tx\n\nclutch\r\n", "bad.dsl, строка 4", "файл обрывается после заголовка"},
      {"brake\n\tx\n{}\n\ty\n", "bad.dsl, строка 3", "пустой заголовок"},
      {"brake\n\tx {{ comment\n\n", "bad.dsl, строка 2", "незакрытый комментарий {{"},
      {"#INDEX_LANGUAGE \"Russian\"\nтормоз\n\t[s]a.wav[/s]\n", "bad.dsl, строка 2",
       "нет иноязычного термина"},
      {"brake\n\t[t]breik[/t] тормоз→\n", "bad.dsl, строка 1",
       "символ U+2192 нельзя записать в Windows-1251"},
      {"\xFF\xFE" + Utf16("brake").substr(0, 7), "bad.dsl, смещение 8", "нечётная длина файла UTF-16"},
      {"\xFF\xFE" + Utf16("b") + std::string("\x00\xD8", 2) + Utf16("r"), "bad.dsl, смещение 4",
       "непарный суррогат UTF-16"},
      {"\xFF\xFE" + Utf16("b") + std::string("\x00\xDC", 2), "bad.dsl, смещение 4",
       "непарный суррогат UTF-16"},
      {"\xFF\xFE" + Utf16("b") + std::string(2, '\0'), "bad.dsl, смещение 4", "нулевой символ"},
      {"brake\n\t\xD1", "bad.dsl, смещение 7", "неверная последовательность UTF-8"},
      {"brake\n\t\xC3(", "bad.dsl, смещение 7", "неверная последовательность UTF-8"},
      {"#SOURCE_CODE_PAGE \"Greek\"\nbrake\n\t\xE1", "bad.dsl, смещение 33",
       "кодовая страница \"Greek\" не поддерживается"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    try {
      ReadDsl(c.bytes, "bad.dsl", {});
      ADD_FAILURE() << "no error";
    } catch (const CFormatError& error) {
      const std::string message = cp1251::ToUtf8(error.what());
      EXPECT_NE(message.find(c.place), std::string::npos) << message;
      EXPECT_NE(message.find(c.reason), std::string::npos) << message;
    }
  }
}

// Shared dictionaries write transcriptions in the phonetic alphabet, which Windows-1251 lacks.
TEST(Dsl, APhoneticTranscriptionIsLeftOutAndCountedButTheCardIsKept) {
  const std::string ipa = "brake\n\t[t]ˈbreɪk[/t] [trn]тормоз[/trn]\nclutch\n\t[t]klak[/t] сцепление\n";
  const CGlossary glossary = ReadDsl(ipa, "ipa.dsl", {});
  ASSERT_EQ(glossary.articles.size(), 2u);
  EXPECT_EQ(cp1251::ToUtf8(glossary.articles[0].translation), "тормоз");
  EXPECT_EQ(glossary.articles[0].transcription, "");
  EXPECT_EQ(glossary.articles[1].transcription, "klak");
  EXPECT_EQ(glossary.transcriptionsLeftOut, 1);
  EXPECT_TRUE(glossary.skipped.empty());
  CImportOptions lossy;
  lossy.how.lossy = true;
  EXPECT_EQ(ReadDsl(ipa, "ipa.dsl", lossy).articles[0].transcription, "?bre?k");
}

TEST(Dsl, KeepGoingSkipsBadCardsAndCountsThem) {
  CImportOptions options;
  options.keepGoing = true;
  const CGlossary glossary = Read(
      "\tстрока до заголовка\n\tещё одна\n"
      "brake\n\t[b]тормоз\n"
      "clutch\n\tсцепление\n"
      "gear\n\tшестерня[/i]\n"
      "camshaft\n\tраспредвал\n"
      "piston\n",
      options);
  ASSERT_EQ(glossary.articles.size(), 2u);
  EXPECT_EQ(glossary.articles[0].term, "clutch");
  EXPECT_EQ(glossary.articles[1].term, "camshaft");
  EXPECT_EQ(glossary.articles[1].id, 2);
  int skipped = 0;
  for (const auto& [reason, count] : glossary.skipped) skipped += count;
  EXPECT_EQ(skipped, 4);
  EXPECT_EQ(glossary.skipped.at(std::string("незакрытый тег [b]"_cp)), 1);
}

// The articles a dictionary of the round trip holds, as data-file records.
std::vector<CArticle> RoundTripArticles() {
  CArticle brake = Brake();
  brake.seeAlso = "тормозной диск, тормозные колодки"_cp;
  const std::string_view shoeDefinition = "<b>Колодка</b> барабанного тормоза<br>с <i>накладкой</i>"_cp;
  return {
      brake,
      ArticleOf(2, "brake shoe", "тормозная колодка"_cp, 2, shoeDefinition, 2),
      ArticleOf(3, "brake block", "тормозная колодка"_cp, 2, shoeDefinition, 2),
      ArticleOf(4, "brake pad", "тормозная колодка"_cp, 2, "Колодка <b>дискового <i>тормоза</i></b> и всё"_cp,
                2),
      ArticleOf(5, "A<B & C>D [x] ~{y}\\@ <<z>> (opt) #1", "давление < 2 бар & t > 90 [с] ~"_cp, 0,
                "p &lt; 2 &amp; t &gt; 90 &lt;&lt;z&gt;&gt; [a] {b} \\ ~ @ #"_cp, 0),
      ArticleOf(6, "Zuendkerze", "свеча зажигания"_cp, 5, "", 0),
      ArticleOf(7, "clutch", "", 2, "", 0),
  };
}

TEST(Dsl, RoundTripKeepsFieldsAndSynonymGroups) {
  const CDictionary dictionary = Loaded(FileBytes(RoundTripArticles()));
  CTemporaryFolder folder;
  const std::string out = (folder.path / "carro.dsl").string();
  const std::vector<CExportFile> files = ExportDsl(dictionary, out);
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].path, out);
  EXPECT_EQ(files[1].path, (folder.path / "carro.de.dsl").string());
  EXPECT_EQ(ExportDsl(dictionary, "x.txt")[1].path, "x.txt.de.dsl");

  const CGlossary english = ReadDsl(files[0].bytes, files[0].path, {});
  const CGlossary german = ReadDsl(files[1].bytes, files[1].path, {});
  std::map<std::string, const CGlossaryArticle*> byTerm;
  for (const CGlossary* glossary : {&english, &german})
    for (const CGlossaryArticle& article : glossary->articles) byTerm[article.term] = &article;
  ASSERT_EQ(byTerm.size(), dictionary.Articles().size());
  for (const CArticle& source : dictionary.Articles()) {
    SCOPED_TRACE(source.term);
    ASSERT_TRUE(byTerm.count(std::string(source.term)));
    const CGlossaryArticle& read = *byTerm[std::string(source.term)];
    EXPECT_EQ(read.translation, source.translation);
    EXPECT_EQ(read.language, source.language == 0 ? 2 : source.language);  // no language is written English
    EXPECT_EQ(read.definition, source.definition);
    EXPECT_EQ(read.transcription, source.transcription);
    EXPECT_EQ(read.seeAlso, source.seeAlso);
    EXPECT_EQ(read.synonymGroup != 0, source.synonymGroup != 0);
  }
  const int32_t group = byTerm["brake shoe"]->synonymGroup;
  EXPECT_EQ(byTerm["brake block"]->synonymGroup, group);
  EXPECT_EQ(byTerm["brake pad"]->synonymGroup, group);
  // Equal synonyms share a card; the different one links to it.
  const std::string text = Utf8OfUtf16(files[0].bytes);
  EXPECT_NE(text.find("brake shoe\r\nbrake block\r\n\t"), std::string::npos) << text;
  EXPECT_NE(text.find("\t[m1]Синонимы: [ref]brake shoe[/ref][/m]\r\n"), std::string::npos) << text;
}

// Texts full of what the markup and the writer's own lines use: every export reads back to the same
// texts, and a second round changes nothing.
TEST(Dsl, RandomTextsSurviveTheRoundTrip) {
  const std::vector<std::string_view> text = {
      "a",   " ",    "[",  "]",  "{",           "}",          "~",   "\\", "@",  "#",
      "(",   ")",    "<",  "<<", ">>",          "&",          ", ",  ";",  "\t", "т",
      "[b]", "[/m]", "{{", "}}", "См. также: ", "Синонимы: ", "1) ", "\"", "'"};
  const std::vector<std::string_view> html = {
      "a",   " ",    "[",   "]",    "~",    "\\", "@",  "&lt;", "&lt;&lt;",     "&gt;",       "&amp;",
      "<b>", "</b>", "<i>", "</i>", "<br>", "т",  ", ", "{{",   "[ref]x[/ref]", "См. также: "};
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    std::vector<std::string> texts;
    texts.reserve(30);
    std::vector<CArticle> articles;
    for (int n = 0; n < 6; ++n) {
      texts.push_back("t" + std::to_string(n) + cp1251::FromUtf8Lossy(RandomText(random, text, 4)) + "x");
      texts.push_back(n % 3 == 0 ? "" : cp1251::FromUtf8Lossy("ы" + RandomText(random, text, 4) + "ы"));
      texts.push_back(cp1251::FromUtf8Lossy(RandomText(random, html, 6)));
      texts.push_back(cp1251::FromUtf8Lossy(RandomText(random, text, 3)));
      texts.push_back(cp1251::FromUtf8Lossy(RandomText(random, text, 3)));
      const std::string* t = &texts[texts.size() - 5];
      articles.push_back({.id = n + 1,
                          .language = 2,
                          .synonymGroup = n % 2,
                          .term = t[0],
                          .translation = t[1],
                          .definition = t[2],
                          .extraText = {},
                          .seeAlso = t[3],
                          .transcription = t[4]});
    }
    const CDictionary dictionary = Loaded(FileBytes(articles));
    const CGlossary read = ReadDsl(ExportDsl(dictionary, "r.dsl")[0].bytes, "r.dsl", {});
    ASSERT_EQ(read.articles.size(), articles.size()) << round;
    std::vector<CArticle> again;
    for (const CArticle& source : dictionary.Articles()) {
      const auto it = std::find_if(read.articles.begin(), read.articles.end(),
                                   [&](const CGlossaryArticle& a) { return a.term == source.term; });
      ASSERT_NE(it, read.articles.end()) << cp1251::ToUtf8(source.term);
      SCOPED_TRACE(cp1251::ToUtf8(source.term));
      EXPECT_EQ(it->translation, source.translation);
      EXPECT_EQ(PlainText(it->definition), PlainText(source.definition)) << cp1251::ToUtf8(it->definition);
      EXPECT_EQ(it->seeAlso, source.seeAlso);
      EXPECT_EQ(it->transcription, source.transcription);
      EXPECT_EQ(it->synonymGroup != 0, source.synonymGroup != 0);
      again.push_back({.id = it->id,
                       .language = it->language,
                       .synonymGroup = it->synonymGroup,
                       .term = it->term,
                       .translation = it->translation,
                       .definition = it->definition,
                       .extraText = {},
                       .seeAlso = it->seeAlso,
                       .transcription = it->transcription});
    }
    const CGlossary second = ReadDsl(ExportDsl(Loaded(FileBytes(again)), "r.dsl")[0].bytes, "r.dsl", {});
    for (const CGlossaryArticle& article : second.articles) {
      const auto it = std::find_if(read.articles.begin(), read.articles.end(),
                                   [&](const CGlossaryArticle& a) { return a.term == article.term; });
      ASSERT_NE(it, read.articles.end());
      EXPECT_EQ(article.definition, it->definition);
    }
  }
}

TEST(Dsl, ExportWritesUtf16CardsInTheDslLayout) {
  const CDictionary dictionary = Loaded(FileBytes({Brake()}));
  const std::vector<CExportFile> files = ExportDsl(dictionary, "brake.dsl");
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].bytes.substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(Utf8OfUtf16(files[0].bytes),
            "#NAME \"info one\"\r\n#INDEX_LANGUAGE \"English\"\r\n#CONTENTS_LANGUAGE \"Russian\"\r\n\r\n"
            "brake\r\n"
            "\t[m0][t]брейк[/t][/m]\r\n"
            "\t[m1][trn]тормоз[/trn][/m]\r\n"
            "\t[m1]Устройство для [i]замедления[/i].[/m]\r\n"
            "\t[m1]См. также: [ref]тормозной диск[/ref][/m]\r\n\r\n");

  // Only German: the one file is German; an empty dictionary still gives its file.
  CArticle bremse = Brake();
  bremse.term = "Bremse";
  bremse.language = 5;
  const std::vector<CExportFile> germanOnly = ExportDsl(Loaded(FileBytes({bremse})), "de.dsl");
  ASSERT_EQ(germanOnly.size(), 1u);
  EXPECT_EQ(germanOnly[0].path, "de.dsl");
  EXPECT_NE(Utf8OfUtf16(germanOnly[0].bytes).find("#INDEX_LANGUAGE \"German\""), std::string::npos);
  EXPECT_EQ(ExportDsl(Loaded(FileBytes({})), "empty.dsl").size(), 1u);

  // A term that starts with a blank must not turn into a body line; the blank itself is lost.
  CArticle blankFirst = Brake();
  blankFirst.term = "\tbrake";
  const CGlossary read = ReadDsl(ExportDsl(Loaded(FileBytes({blankFirst})), "b.dsl")[0].bytes, "b.dsl", {});
  ASSERT_EQ(read.articles.size(), 1u);
  EXPECT_EQ(read.articles[0].term, "brake");
}

TEST(Dsl, LargeSynonymGroupStaysOneGroupWithBoundedLinks) {
  std::vector<std::string> terms;
  std::vector<std::string> definitions;
  for (int n = 0; n < 100; ++n) {
    terms.push_back("part " + std::to_string(n));
    definitions.push_back("d" + std::to_string(n));
  }
  std::vector<CArticle> articles;
  articles.reserve(100);
  for (int n = 0; n < 100; ++n)
    articles.push_back({.id = n + 1,
                        .language = 2,
                        .synonymGroup = 1,
                        .term = terms[n],
                        .translation = "деталь"_cp,
                        .definition = definitions[n],
                        .extraText = {},
                        .seeAlso = {},
                        .transcription = {}});
  const std::vector<CExportFile> files = ExportDsl(Loaded(FileBytes(articles)), "g.dsl");
  const std::string text = Utf8OfUtf16(files[0].bytes);
  std::size_t refs = 0;
  for (std::size_t pos = 0; (pos = text.find("[ref]", pos)) != std::string::npos; ++pos) ++refs;
  EXPECT_LE(refs, 100u * 32u);
  const CGlossary read = ReadDsl(files[0].bytes, "g.dsl", {});
  ASSERT_EQ(read.articles.size(), 100u);
  for (const CGlossaryArticle& article : read.articles) EXPECT_EQ(article.synonymGroup, 1) << article.term;
}

TEST(Dsl, PyglossaryReadsTheExport) {
  REQUIRE_TOOL("pyglossary");
  const CDictionary dictionary = Loaded(FileBytes(RoundTripArticles()));
  CTemporaryFolder folder;
  for (const CExportFile& file : ExportDsl(dictionary, (folder.path / "carro.dsl").string()))
    std::ofstream(file.path, std::ios::binary) << file.bytes;
  const std::string dir = folder.path.string();
  const external_tool::CResult result = external_tool::Run(
      "pyglossary --no-progress-bar --read-format=ABBYYLingvoDSL \"" + dir + "/carro.dsl\" \"" + dir +
      "/out.txt\" --write-format=Tabfile >/dev/null 2>&1 && cat \"" + dir + "/out.txt\"");
  ASSERT_EQ(result.exitCode, 0) << result.output;
  EXPECT_NE(result.output.find("brake\t"), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("тормоз"), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("brake shoe|brake block\t"), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("<b>Колодка</b>"), std::string::npos) << result.output;
  // Every tag understood: none is left over as text.
  EXPECT_EQ(result.output.find("[/m"), std::string::npos) << result.output;
  EXPECT_EQ(result.output.find("[trn"), std::string::npos) << result.output;
}

}  // namespace
