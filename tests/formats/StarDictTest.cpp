#include "formats/StarDict.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>

#include "../support/ExternalTool.h"
#include "../support/TestData.h"

namespace {

const std::string kFixtures = std::string(CARRO_FORMAT_FIXTURES) + "/stardict/";

std::string Be32(uint32_t value) {
  std::string bytes;
  for (int shift = 24; shift >= 0; shift -= 8) bytes += static_cast<char>((value >> shift) & 0xFF);
  return bytes;
}

std::string Entry(std::string_view word, uint32_t offset, uint32_t size) {
  return std::string(word) + '\0' + Be32(offset) + Be32(size);
}

std::string Ifo(std::size_t wordcount, std::size_t idxSize, std::string_view extra = "sametypesequence=m\n") {
  return "StarDict's dict ifo file\nversion=2.4.2\nbookname=Test\nwordcount=" + std::to_string(wordcount) +
         "\nidxfilesize=" + std::to_string(idxSize) + "\n" + std::string(extra);
}

std::string U(std::string_view cp1251Text) {
  return cp1251::ToUtf8(cp1251Text);
}

const CGlossaryArticle* Find(const CGlossary& glossary, std::string_view term, std::string_view translation) {
  for (const CGlossaryArticle& article : glossary.articles)
    if (U(article.term) == term && U(article.translation) == translation) return &article;
  return nullptr;
}

void WriteFiles(const std::vector<CExportFile>& files) {
  for (const CExportFile& file : files) std::ofstream(file.path, std::ios::binary) << file.bytes;
}

std::string Bytes(const std::vector<CExportFile>& files, std::string_view suffix) {
  for (const CExportFile& file : files)
    if (file.path.size() >= suffix.size() &&
        file.path.compare(file.path.size() - suffix.size(), suffix.size(), suffix) == 0)
      return file.bytes;
  return {};
}

// The words of an .idx (offsets 32-bit) or a .syn, in file order.
std::vector<std::string> Words(const std::string& bytes, std::size_t tail) {
  std::vector<std::string> words;
  for (std::size_t pos = 0; pos < bytes.size();) {
    const std::size_t nul = bytes.find('\0', pos);
    words.push_back(bytes.substr(pos, nul - pos));
    pos = nul + 1 + tail;
  }
  return words;
}

TEST(StarDict, ReadsTheHandMadeDictionary) {
  const CGlossary glossary = ReadStarDictFile(kFixtures + "motor.ifo", {});
  EXPECT_EQ(U(glossary.info.infoText1), "Моторный словарь");
  EXPECT_EQ(U(glossary.info.infoText2), "Несколько терминов автодела.\nСоставлено вручную.");
  ASSERT_EQ(glossary.articles.size(), 9u);  // seven .idx words, two more from the .syn

  // 't' and 'h' fields: the first line is the translation, the rest the definition.
  const CGlossaryArticle* brake = Find(glossary, "brake", "тормоз");
  ASSERT_TRUE(brake);
  EXPECT_EQ(brake->id, 1);
  EXPECT_EQ(brake->language, 2);
  EXPECT_EQ(U(brake->transcription), "брейк");
  EXPECT_EQ(U(brake->definition), "Устройство для <i>замедления</i> &amp; остановки автомобиля.");
  // A .syn word that is not the translation: an article of its own in the same group, same body.
  const CGlossaryArticle* brakes = Find(glossary, "brakes", "тормоз");
  ASSERT_TRUE(brakes);
  EXPECT_EQ(brakes->definition, brake->definition);
  EXPECT_EQ(brakes->synonymGroup, 1);
  EXPECT_EQ(brake->synonymGroup, 1);

  // Plain text: the translation is the part before ';', the line stays in the definition.
  const CGlossaryArticle* plug = Find(glossary, "spark plug", "свеча зажигания");
  ASSERT_TRUE(plug);
  EXPECT_EQ(U(plug->definition), "свеча зажигания; свеча<br>Деталь, поджигающая рабочую смесь в цилиндре.");
  const CGlossaryArticle* candle = Find(glossary, "spark plug", "свеча");  // a Russian .syn word
  ASSERT_TRUE(candle);
  EXPECT_EQ(candle->synonymGroup, plug->synonymGroup);
  EXPECT_NE(plug->synonymGroup, 0);

  // XDXF: <k> dropped, <tr> the transcription, <kref> a see-also; ü transliterated.
  const CGlossaryArticle* kerze = Find(glossary, "Zuendkerze", "свеча зажигания");
  ASSERT_TRUE(kerze);
  EXPECT_EQ(U(kerze->transcription), "цюндкерце");
  EXPECT_EQ(U(kerze->definition), "См. spark plug");
  EXPECT_EQ(U(kerze->seeAlso), "spark plug");

  // Pango markup: bold first line as the translation; italic kept.
  const CGlossaryArticle* clutch = Find(glossary, "clutch", "сцепление");
  ASSERT_TRUE(clutch);
  EXPECT_EQ(U(clutch->definition), "Узел между двигателем и <i>коробкой передач</i>.");
  EXPECT_EQ(clutch->synonymGroup, 0);

  // HTML with a picture field: the headword line dropped, paragraphs as lines, the picture skipped.
  const CGlossaryArticle* camshaft = Find(glossary, "camshaft", "распределительный вал");
  ASSERT_TRUE(camshaft);
  EXPECT_EQ(U(camshaft->definition), "Вал с кулачками, открывающий <b>клапаны</b>.");

  // Two words on one data block are synonyms.
  const CGlossaryArticle* tyre = Find(glossary, "tyre", "шина");
  const CGlossaryArticle* tire = Find(glossary, "tire", "шина");
  ASSERT_TRUE(tyre && tire);
  EXPECT_EQ(tyre->synonymGroup, tire->id);
  EXPECT_EQ(tire->synonymGroup, tire->id);
  EXPECT_EQ(U(tyre->definition), "Резиновая оболочка колеса.");
}

TEST(StarDict, ReadsDictzipAndGzippedIndexAsThePlainFiles) {
  const CGlossary plain = ReadStarDictFile(kFixtures + "motor.ifo", {});
  const CGlossary packed = ReadStarDictFile(kFixtures + "motor-dz.ifo", {});
  ASSERT_EQ(packed.articles.size(), plain.articles.size());
  for (std::size_t k = 0; k < plain.articles.size(); ++k) {
    const CGlossaryArticle& a = plain.articles[k];
    const CGlossaryArticle& b = packed.articles[k];
    EXPECT_EQ(
        std::tie(a.id, a.term, a.translation, a.definition, a.synonymGroup, a.transcription, a.seeAlso),
        std::tie(b.id, b.term, b.translation, b.definition, b.synonymGroup, b.transcription, b.seeAlso));
  }
}

TEST(StarDict, SameTypeSequenceSixtyFourBitOffsetsAndLanguageOption) {
  // "tm": a transcription with its NUL, then the text to the end of the entry.
  const std::string dict = std::string("клач") + '\0' + "сцепление\nУзел трансмиссии";
  const std::string idx =
      std::string("clutch\0", 7) + std::string(4, '\0') + Be32(0) + Be32(static_cast<uint32_t>(dict.size()));
  const std::string ifo = Ifo(1, idx.size(), "idxoffsetbits=64\nsametypesequence=tm\n");
  CImportOptions german;
  german.language = 5;
  const CGlossary glossary = ReadStarDict(ifo, idx, dict, "", "m.ifo", german);
  ASSERT_EQ(glossary.articles.size(), 1u);
  const CGlossaryArticle& clutch = glossary.articles[0];
  EXPECT_EQ(U(clutch.transcription), "клач");
  EXPECT_EQ(U(clutch.translation), "сцепление");
  EXPECT_EQ(U(clutch.definition), "Узел трансмиссии");
  EXPECT_EQ(clutch.language, 5);
}

TEST(StarDict, BadInputsAreNamedByFileAndPlace) {
  const std::string dict = "тормоз\nУстройство";   // 33 bytes of UTF-8
  const std::string good = Entry("brake", 0, 33);  // 14 bytes
  struct CCase {
    const char* name;
    std::string ifo, idx, syn, dict;
    std::vector<std::string> expected;
  };
  auto withIdx = [&](const std::string& idx) { return Ifo(2, idx.size()); };
  const std::vector<CCase> cases = {
      {"no magic line",
       "StarDict dictionary\nversion=2.4.2\n",
       good,
       "",
       dict,
       {"m.ifo, строка 1", "не словарь StarDict"}},
      {"unknown version",
       "StarDict's dict ifo file\nversion=9.9\nwordcount=1\nidxfilesize=14\n",
       good,
       "",
       dict,
       {"m.ifo, строка 2", "неизвестная версия 9.9"}},
      {"bad offset bits",
       Ifo(1, 14, "idxoffsetbits=48\n"),
       good,
       "",
       dict,
       {"m.ifo, строка 6", "idxoffsetbits"}},
      {"offset past .dict",
       withIdx(good + Entry("clutch", 34, 1)),
       good + Entry("clutch", 34, 1),
       "",
       dict,
       {"m.idx, смещение 14: статья за концом файла .dict"}},
      {"2 GB size",
       withIdx(good + Entry("clutch", 0, 0x80000000u)),
       good + Entry("clutch", 0, 0x80000000u),
       "",
       dict,
       {"m.idx, смещение 14: статья за концом файла .dict"}},
      {"word without NUL",
       withIdx(good + "clutch"),
       good + "clutch",
       "",
       dict,
       {"m.idx, смещение 14", "слово без завершающего нуля"}},
      {"cut offset",
       withIdx(good + std::string("clutch\0\0\0", 9)),
       good + std::string("clutch\0\0\0", 9),
       "",
       dict,
       {"m.idx, смещение 14", "запись обрезана"}},
      {"bad UTF-8 word",
       withIdx(good + Entry("cl\xC3utch", 0, 33)),
       good + Entry("cl\xC3utch", 0, 33),
       "",
       dict,
       {"m.idx, смещение 14", "неверная последовательность UTF-8"}},
      {"bad UTF-8 body",
       Ifo(1, 14),
       Entry("brake", 0, 13),
       "",
       "тормоз\xFF",
       {"m.dict, смещение 0", "неверная последовательность"}},
      {"wordcount mismatch",
       Ifo(3, 14),
       good,
       "",
       dict,
       {"m.ifo, строка 4", "wordcount=3", "в файле .idx 1"}},
      {"idxfilesize mismatch", Ifo(1, 99), good, "", dict, {"m.ifo, строка 5", "idxfilesize=99", "14 байт"}},
      {"syn index out of range",
       Ifo(1, 14),
       good,
       std::string("brakes\0", 7) + Be32(7),
       dict,
       {"m.syn, смещение 0", "номер слова 7 вне файла .idx"}},
      {"cut syn",
       Ifo(1, 14),
       good,
       std::string("brakes\0\0", 8),
       dict,
       {"m.syn, смещение 0", "запись обрезана"}},
      {"binary field past the entry",
       Ifo(1, 14, ""),
       Entry("brake", 0, 9),
       "",
       std::string("W\x80\0\0\0abcd", 9),
       {"m.dict, смещение 1", "размер поля (2147483648 байт) за концом статьи"}},
      {"unknown field type",
       Ifo(1, 14, ""),
       Entry("brake", 0, 3),
       "",
       std::string("m\0\x07", 3),
       {"m.dict, смещение 2", "неизвестный тип поля"}},
  };
  for (const CCase& test : cases) {
    try {
      ReadStarDict(test.ifo, test.idx, test.dict, test.syn, "m.ifo", {});
      ADD_FAILURE() << test.name << ": no error";
    } catch (const CFormatError& error) {
      const std::string message = U(error.what());
      for (const std::string& part : test.expected)
        EXPECT_NE(message.find(part), std::string::npos) << test.name << ": " << message;
    }
  }
}

TEST(StarDict, KeepGoingSkipsBadEntriesAndTrustsTheCounts) {
  const std::string dict = "тормоз\nУстройство";
  const std::string idx = Entry("brake", 0, 33) + Entry("clutch", 0, 0x80000000u) + Entry("cam\xFF", 0, 33) +
                          Entry("camshaft", 0, 33);
  const std::string syn = std::string("brakes\0", 7) + Be32(9) + std::string("cams\0", 5) + Be32(3);
  CImportOptions keepGoing;
  keepGoing.keepGoing = true;
  const CGlossary glossary = ReadStarDict(Ifo(99, 1), idx, dict, syn, "m.ifo", keepGoing);
  ASSERT_EQ(glossary.articles.size(), 3u);  // brake, camshaft, cams
  EXPECT_TRUE(Find(glossary, "cams", "тормоз"));
  EXPECT_EQ(glossary.skipped.at(std::string("статья за концом файла .dict"_cp)), 1);
  EXPECT_EQ(glossary.skipped.size(), 3u);  // the size, the word's UTF-8, the .syn number
}

TEST(StarDict, MissingDataFileIsNamed) {
  CTemporaryFolder folder;
  const std::string ifo = (folder.path / "lone.ifo").string();
  std::ofstream(ifo) << Ifo(1, 14);
  std::ofstream((folder.path / "lone.idx").string(), std::ios::binary) << Entry("brake", 0, 1);
  try {
    ReadStarDictFile(ifo, {});
    FAIL();
  } catch (const CFormatError& error) {
    EXPECT_NE(U(error.what()).find((folder.path / "lone.dict").string()), std::string::npos)
        << U(error.what());
  }
}

std::vector<CArticle> RoundTripArticles() {
  CArticle brake = Brake();
  brake.synonymGroup = 1;
  return {brake,
          {.id = 2,
           .language = 2,
           .synonymGroup = 1,
           .term = "brake pedal",
           .translation = "педаль тормоза"_cp,
           .definition = "<b>Педаль</b> привода <i>тормозов <b>ногой</b></i>.<br>Вторая строка."_cp,
           .extraText = {},
           .seeAlso = {},
           .transcription = {}},
          {.id = 3,
           .language = 5,
           .synonymGroup = 0,
           .term = "Kupplung",
           .translation = "сцепление"_cp,
           .definition = "Узел <b>трансмиссии</b>."_cp,
           .extraText = {},
           .seeAlso = "коробка передач, маховик"_cp,
           .transcription = "куплюнг"_cp},
          {.id = 4,
           .language = 2,
           .synonymGroup = 0,
           .term = "R&D <lab>",
           .translation = "НИОКР & <отдел>"_cp,
           .definition = "Текст с &amp; и &lt;тегом&gt; &quot;в кавычках&quot;."_cp,
           .extraText = {},
           .seeAlso = "a<b & c"_cp,
           .transcription = "[a]&b"_cp},
          {.id = 5,
           .language = 2,
           .synonymGroup = 0,
           .term = "gasket",
           .translation = {},
           .definition = {},
           .extraText = {},
           .seeAlso = {},
           .transcription = {}},
          {.id = 7,  // the same word outside the group
           .language = 2,
           .synonymGroup = 0,
           .term = "brake pedal",
           .translation = "тормозная педаль"_cp,
           .definition = "Другая статья."_cp,
           .extraText = {},
           .seeAlso = {},
           .transcription = {}},
          {.id = 6,
           .language = 5,
           .synonymGroup = 0,
           .term = {},
           .translation = "моторное масло"_cp,
           .definition = {},
           .extraText = {},
           .seeAlso = {},
           .transcription = {}}};
}

TEST(StarDict, RoundTripGivesBackEveryField) {
  const std::vector<CArticle> articles = RoundTripArticles();
  CDictionaryInfo info = TestInfo();
  info.infoText1 = "Моторный"_cp;
  info.infoText2 = "Строка\nвторая"_cp;
  const CDictionary dictionary = Loaded(FileBytes(articles, info));
  const std::vector<CExportFile> files = ExportStarDict(dictionary, "out/motor");
  ASSERT_EQ(files.size(), 4u);
  EXPECT_EQ(files[0].path, "out/motor.ifo");
  const CGlossary back = ReadStarDict(Bytes(files, ".ifo"), Bytes(files, ".idx"), Bytes(files, ".dict"),
                                      Bytes(files, ".syn"), "motor.ifo", {});
  EXPECT_EQ(back.info.infoText1, info.infoText1);
  EXPECT_EQ(back.info.infoText2, info.infoText2);
  ASSERT_EQ(back.articles.size(), articles.size());
  for (const CArticle& article : articles) {
    const CGlossaryArticle* read = Find(back, U(article.term), U(article.translation));
    ASSERT_TRUE(read) << U(article.term);
    EXPECT_EQ(read->language, article.language) << U(article.term);
    EXPECT_EQ(U(read->definition), U(article.definition)) << U(article.term);
    EXPECT_EQ(U(read->transcription), U(article.transcription)) << U(article.term);
    EXPECT_EQ(U(read->seeAlso), U(article.seeAlso)) << U(article.term);
  }
  const CGlossaryArticle* brake = Find(back, "brake", "тормоз");
  const CGlossaryArticle* pedal = Find(back, "brake pedal", "педаль тормоза");
  ASSERT_TRUE(brake && pedal);
  EXPECT_NE(brake->synonymGroup, 0);
  EXPECT_EQ(brake->synonymGroup, pedal->synonymGroup);
  for (const CGlossaryArticle& article : back.articles)
    if (&article != brake && &article != pedal) {
      EXPECT_EQ(article.synonymGroup, 0) << U(article.term);
    }
}

TEST(StarDict, ExportSortsAndCountsAsStarDictLooksUp) {
  std::vector<CArticle> articles;
  int32_t id = 0;
  for (const char* term : {"brake", "abs", "B", "Brake", "ABS", "a", "brake"})
    articles.push_back({.id = ++id,
                        .language = 2,
                        .synonymGroup = 0,
                        .term = term,
                        .translation = "т"_cp,
                        .definition = {},
                        .extraText = {},
                        .seeAlso = {},
                        .transcription = {}});
  articles.back().translation = "Я"_cp;
  const CDictionary dictionary = Loaded(FileBytes(articles, {"", "", "1", "1.0"}));
  const std::vector<CExportFile> files = ExportStarDict(dictionary, "x.ifo");
  const std::string idx = Bytes(files, ".idx");
  const std::string syn = Bytes(files, ".syn");
  EXPECT_EQ(Words(idx, 8), (std::vector<std::string>{"a", "ABS", "abs", "B", "Brake", "brake", "brake"}));
  EXPECT_EQ(Words(syn, 4), (std::vector<std::string>{"Я", "т", "т", "т", "т", "т", "т"}));
  const std::string ifo = Bytes(files, ".ifo");
  EXPECT_EQ(ifo.substr(0, 25), "StarDict's dict ifo file\n");
  EXPECT_NE(ifo.find("\nbookname=Carro\n"), std::string::npos) << ifo;
  EXPECT_NE(ifo.find("\nwordcount=7\n"), std::string::npos) << ifo;
  EXPECT_NE(ifo.find("\nsynwordcount=7\n"), std::string::npos) << ifo;
  EXPECT_NE(ifo.find("\nidxfilesize=" + std::to_string(idx.size()) + "\n"), std::string::npos) << ifo;
  EXPECT_NE(ifo.find("\nsametypesequence=h\n"), std::string::npos) << ifo;
  // The .syn numbers lead to the words' articles: "Я" to the second "brake".
  EXPECT_EQ(syn.substr(3, 4), Be32(6));
}

TEST(StarDict, SdcvFindsExportedArticlesByBothHeadwords) {
  REQUIRE_TOOL("sdcv");
  CTemporaryFolder folder;
  std::filesystem::create_directory(folder.path / "home");
  CDictionaryInfo info = TestInfo();
  info.infoText1 = "Carro test";
  WriteFiles(ExportStarDict(Loaded(FileBytes(RoundTripArticles(), info)), (folder.path / "motor").string()));
  const std::string sdcv = "HOME=\"" + (folder.path / "home").string() +
                           "\" sdcv -n -x -e -0 -1 --data-dir \"" + folder.path.string() +
                           "\" -u \"Carro test\" ";
  const external_tool::CResult brake = external_tool::Run(sdcv + "brake");
  EXPECT_EQ(brake.exitCode, 0);
  EXPECT_NE(brake.output.find("-->brake\n"), std::string::npos) << brake.output;
  EXPECT_NE(brake.output.find("тормоз"), std::string::npos) << brake.output;
  EXPECT_NE(brake.output.find("[брейк]"), std::string::npos) << brake.output;
  const external_tool::CResult russian = external_tool::Run(sdcv + "\"педаль тормоза\"");
  EXPECT_NE(russian.output.find("-->brake pedal"), std::string::npos) << russian.output;
  const external_tool::CResult german = external_tool::Run(sdcv + "Kupplung");
  EXPECT_NE(german.output.find("сцепление"), std::string::npos) << german.output;
}

TEST(StarDict, PyglossaryReadsTheExport) {
  REQUIRE_TOOL("pyglossary");
  CTemporaryFolder folder;
  WriteFiles(ExportStarDict(Loaded(FileBytes(RoundTripArticles())), (folder.path / "motor.ifo").string()));
  const std::string out = (folder.path / "out.txt").string();
  const external_tool::CResult result = external_tool::Run(
      "HOME=\"" + folder.path.string() + "\" pyglossary \"" + (folder.path / "motor.ifo").string() + "\" \"" +
      out + "\" --read-format=Stardict --write-format=Tabfile --no-progress-bar >/dev/null 2>&1");
  EXPECT_EQ(result.exitCode, 0);
  std::ifstream in(out);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("brake|"), std::string::npos) << text;  // with its .syn words
  EXPECT_NE(text.find("педаль тормоза"), std::string::npos) << text;
  EXPECT_NE(text.find("Kupplung"), std::string::npos) << text;
}

}  // namespace
