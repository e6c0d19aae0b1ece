#include "pages/KeptPages.h"

#include <gtest/gtest.h>

#include "pages/PageBuilders.h"
#include "text/Cp1251.h"

namespace {

CResultPage SearchPage() {
  CResultPage page;
  page.articleIds = {3, 1, 999};
  // Every byte of the code page comes back, 0x98 (no letter) among them.
  page.label = std::string("Поиск: тормоз\tдиск\n\\ «»"_cp) + '\x98';
  page.heading = "Поиск: &laquo;тормоз&raquo;"_cp;
  page.strictCount = 2;
  page.query = CSearchQuery("+тормоз диск* ab", true, false, true);
  page.query.SetWholeWord(1, true);
  page.suggestions = {std::string("тормозной"_cp), std::string("диск"_cp)};
  return page;
}

CKeptPages Pages() {
  CResultPage about = AboutPage();
  CResultPage article;
  article.articleIds = {7};
  article.label = "clutch";
  article.showHeader = false;
  return {.history = {about, SearchPage(), article}, .position = 1, .bookmarks = {article, SearchPage()}};
}

TEST(KeptPages, EveryPartOfAPageComesBack) {
  const CKeptPages pages = Pages();
  const CKeptPages read = ReadKeptPages(KeptPagesText(pages));
  EXPECT_EQ(read.history, pages.history);
  EXPECT_EQ(read.position, 1);
  EXPECT_EQ(read.bookmarks, pages.bookmarks);
  EXPECT_TRUE(read.history[1].query.YoAsYe());
  EXPECT_EQ(ReadKeptPages(KeptPagesText({})).history.size(), 0u);
}

TEST(KeptPages, OnlyTheNewestHistoryIsKeptAndThePositionMovesWithIt) {
  CKeptPages pages;
  for (int32_t n = 0; n < 600; ++n) {
    CResultPage page;
    page.articleIds = {n};
    pages.history.push_back(page);
  }
  for (const auto& [position, kept] : {std::pair{599, 499}, std::pair{150, 50}, std::pair{20, 0}}) {
    pages.position = position;
    const CKeptPages read = ReadKeptPages(KeptPagesText(pages));
    ASSERT_EQ(read.history.size(), kMaxKeptHistory);
    EXPECT_EQ(read.history.front().articleIds, std::vector<int32_t>{100});
    EXPECT_EQ(read.position, kept);
  }
}

TEST(KeptPages, ADamagedOrForeignFileIsRefusedWithItsLine) {
  const std::string good = KeptPagesText(Pages());
  const std::string cut = good.substr(0, good.size() / 2);
  const std::pair<std::string, const char*> cases[] = {
      {"", "строка 1: это не файл закладок и истории программы"},
      {"[General]\nFoldYo=0\n", "строка 1: это не файл закладок и истории программы"},
      {cut, "строка"},
      {good.substr(0, good.size() - 1), "файл обрывается посреди строки"},
      {"carrolex pages 1\n", "нет позиции в истории"},
      {"carrolex pages 1\nposition\t0\n", "строка 2: позиция вне истории"},
      {"carrolex pages 1\nposition\tx\n", "строка 2: неверная позиция в истории"},
      {"carrolex pages 1\nposition\t-1\nrm -rf\n", "строка 3: неизвестная строка"},
      {"carrolex pages 1\nposition\t-1\npage\tbookmark\t5\t-1\t1\t0\n", "строка 3: неверные поля страницы"},
      {"carrolex pages 1\nposition\t-1\npage\tbookmark\t0\t-1\t1\t0\nids\t1 x\n", "строка 4: неверный id"},
      {"carrolex pages 1\nposition\t-1\npage\tbookmark\t0\t-1\t1\t0\nids\t\nlabel\ta\\q\n",
       "строка 5: неверная экранировка"},
      {"carrolex pages 1\nposition\t-1\npage\tbookmark\t0\t-1\t1\t0\nids\t\nlabel\t\xff\n",
       "строка 5: текст не в UTF-8 или не для Windows-1251"},
      {"carrolex pages 1\nposition\t-1\npage\tbookmark\t0\t-1\t1\t0\nids\t\nlabel\ta\nheading\t\nquery\t\n",
       "страница не закончена"},
      {std::string(kMaxKeptPagesBytes + 1, '\n'), "файл слишком велик"},
  };
  for (const auto& [text, message] : cases) {
    SCOPED_TRACE(text.substr(0, 80));
    try {
      ReadKeptPages(text);
      ADD_FAILURE() << "read";
    } catch (const CKeptPagesError& error) {
      EXPECT_NE(cp1251::ToUtf8(error.what()).find(message), std::string::npos)
          << cp1251::ToUtf8(error.what());
    }
  }
}

}  // namespace
