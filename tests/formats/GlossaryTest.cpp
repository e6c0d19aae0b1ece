#include "formats/Glossary.h"

#include <gtest/gtest.h>

#include "formats/Dictzip.h"

namespace {

TEST(Glossary, SourceTextTransliteratesAndNamesWhatItCannotWrite) {
  EXPECT_EQ(SourceText("Zündkerze", "f.csv, строка 2", {}), "Zuendkerze");
  try {
    SourceText("a→b", LinePlace("f.csv", 2), {});
    FAIL();
  } catch (const CFormatError& error) {
    EXPECT_EQ(cp1251::ToUtf8(error.what()),
              "f.csv, строка 2: символ U+2192 нельзя записать в Windows-1251 (знак 2)");
  }
  CImportOptions lossy;
  lossy.how.lossy = true;
  EXPECT_EQ(SourceText("a→b", "", lossy), "a?b");
}

TEST(Glossary, LanguageNames) {
  for (const char* name : {"en", "EN-us", "English", "eng", "1033", "англ"})
    EXPECT_EQ(LanguageFromName(name), 2) << name;
  for (const char* name : {"de", "de_DE", "German", "Deutsch", "ger", "1031"})
    EXPECT_EQ(LanguageFromName(name), 5) << name;
  for (const char* name : {"ru", "fr", "", "english2"}) EXPECT_EQ(LanguageFromName(name), 0) << name;
  EXPECT_TRUE(IsRussianName("ru-RU"));
  EXPECT_TRUE(IsRussianName("Russian"));
  EXPECT_FALSE(IsRussianName("en"));
}

TEST(Glossary, MarkupRunsKeepBoldItalicAndBreaksOnly) {
  const std::vector<CMarkupRun> runs = MarkupRuns(std::string(
      "<b>Тормоз</b> &amp; <i>диск</i><br><font color=red>x &#8594;</font><br><br><img src=a>"_cp));
  ASSERT_EQ(runs.size(), 5u);
  EXPECT_EQ(runs[0].text, "Тормоз");
  EXPECT_TRUE(runs[0].bold);
  EXPECT_EQ(runs[1].text, " & ");
  EXPECT_TRUE(runs[2].italic);
  EXPECT_TRUE(runs[3].lineBreak);
  EXPECT_EQ(runs[4].text, "x →");
  EXPECT_EQ(PlainText("a<br>b &lt;c&gt; &bogus; <"), "a\nb <c> &bogus; <");
}

TEST(Glossary, SkipOrFailCountsOnlyWhenAskedTo) {
  CGlossary glossary;
  EXPECT_THROW(SkipOrFail(glossary, {}, "f", "плохо"), CFormatError);
  CImportOptions keepGoing;
  keepGoing.keepGoing = true;
  SkipOrFail(glossary, keepGoing, "f", "плохо");
  SkipOrFail(glossary, keepGoing, "f", "плохо");
  EXPECT_EQ(glossary.skipped["плохо"], 2);
}

TEST(Dictzip, DamagedAndOversizedDataAreRefused) {
  // gzip of "hello\n"
  const std::string gz(
      "\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03\xcb\x48\xcd\xc9\xc9\xe7\x02\x00\x20\x30\x3a\x36\x06\x00\x00"
      "\x00",
      26);
  EXPECT_EQ(Inflate(gz, "a.dz", 100), "hello\n");
  EXPECT_EQ(Inflate(gz + gz, "a.dz", 100), "hello\nhello\n");
  EXPECT_THROW(Inflate(gz, "a.dz", 3), CFormatError);
  EXPECT_THROW(Inflate(gz.substr(0, 15), "a.dz", 100), CFormatError);
  EXPECT_THROW(Inflate("not gzip at all", "a.dz", 100), CFormatError);
}

}  // namespace

namespace {

// A synonym's page shows its head's definition after its own: a copy of it would show twice.
TEST(Glossary, MembersLeaveTheirHeadsDefinitionToTheHead) {
  CGlossary glossary;
  const auto add = [&](int32_t id, int32_t group, std::string definition) {
    CGlossaryArticle article;
    article.id = id;
    article.synonymGroup = group;
    article.definition = std::move(definition);
    glossary.articles.push_back(article);
  };
  add(1, 1, "shared");
  add(2, 1, "shared");
  add(3, 1, "its own");
  add(4, 0, "shared");
  add(5, 9, "shared");  // a head that is not there
  LeaveSharedDefinitionsToHeads(glossary);
  const std::vector<std::string> definitions = {"shared", "", "its own", "shared", "shared"};
  for (std::size_t n = 0; n < definitions.size(); ++n)
    EXPECT_EQ(glossary.articles[n].definition, definitions[n]) << n;
}

}  // namespace
