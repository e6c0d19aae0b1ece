#include <gtest/gtest.h>

#include "dictionary/Article.h"
#include "text/Cp1251.h"

namespace {

struct CTitleCase {
  std::string_view term;
  std::string_view translation;
  std::string_view title;
};

class ArticleTitle : public testing::TestWithParam<CTitleCase> {};

TEST_P(ArticleTitle, CombinesTheTwoHeadwords) {
  const CArticle article{.term = GetParam().term, .translation = GetParam().translation};
  EXPECT_EQ(article.Title(), GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(Cases, ArticleTitle,
                         testing::Values(CTitleCase{"brake", "тормоз"_cp, "тормоз (brake)"_cp},
                                         CTitleCase{"", "тормоз"_cp, "тормоз"_cp},
                                         CTitleCase{"brake", "", "brake"},
                                         CTitleCase{"", "", "- Без заголовка -"_cp}));

}  // namespace
