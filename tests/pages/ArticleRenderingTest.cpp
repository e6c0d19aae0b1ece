#include <gtest/gtest.h>

#include "pages/PageRenderer.h"
#include "tests/support/PagesTestData.h"

namespace {

struct CArticleCase {
  std::string_view name;
  int32_t id;
  bool forExport;
  std::string_view line;
};

class ArticleLine : public testing::TestWithParam<CArticleCase> {};

TEST_P(ArticleLine, IsOneLineOfTheArticleAndItsGroup) {
  CHtmlLines lines;
  RenderArticleById(SynonymStore(), lines, GetParam().id, GetParam().forExport);
  EXPECT_EQ(lines, CHtmlLines{std::string(GetParam().line)});
}

constexpr std::string_view kBrakeLine =
    "<font size=+1><b>brake</b></font> - <font size=+1><b>тормоз</font></b>"
    " <font color=#999999><i>[англ.]</i></font>  <font color=#999999><i>/брейк/</i></font> "
    "<br>Устройство для <i>замедления</i>.<br>См. также: тормозной диск<br><br>"_cp;

INSTANTIATE_TEST_SUITE_P(
    Cases, ArticleLine,
    testing::Values(
        CArticleCase{"AllOwnFieldsWithMarkupUnchanged", 1, false, kBrakeLine},
        CArticleCase{"TermOnlyWithHeadDefinitionAndInheritedSeeAlso", 11, false,
                     "<font size=+1><b>disk brake</b></font> <font color=#999999><i>[англ.]</i></font> "
                     "<br>Тормоз с <b>диском</b>.<br><font color=#006600>Синонимы: </font>"
                     "<br>&nbsp;&nbsp;&nbsp;- <a href='article://10'>дисковый тормоз (disc brake)</a>"
                     "<br>&nbsp;&nbsp;&nbsp;- <a href='article://12'>дисковый механизм</a>"
                     "<br>См. также: колодка<br><br>"_cp},
        CArticleCase{"TranslationOnlyWithSynonymsInStoreOrder", 12, false,
                     "<font size=+1><b>дисковый механизм</font></b> <font color=#999999><i>[нем.]</i></font> "
                     "<br>Узел.<br>Тормоз с <b>диском</b>.<br><font color=#006600>Синонимы: </font>"
                     "<br>&nbsp;&nbsp;&nbsp;- <a href='article://11'> (disk brake)</a>"
                     "<br>&nbsp;&nbsp;&nbsp;- <a href='article://10'>дисковый тормоз (disc brake)</a>"
                     "<br>См. также: суппорт<br><br>"_cp},
        CArticleCase{
            "SynonymsAsPlainTextForExport", 12, true,
            "<font size=+1><b>дисковый механизм</font></b> <font color=#999999><i>[нем.]</i></font> "
            "<br>Узел.<br>Тормоз с <b>диском</b>.<br><font color=#006600>Синонимы: </font>"
            "<br>&nbsp;&nbsp;&nbsp;-  (disk brake)<br>&nbsp;&nbsp;&nbsp;- дисковый тормоз (disc brake)"
            "<br>См. также: суппорт<br><br>"_cp},
        CArticleCase{"GroupHeadShowsNoHeadDefinition", 10, false,
                     "<font size=+1><b>disc brake</b></font> - <font size=+1><b>дисковый тормоз</font></b>"
                     " <font color=#999999><i>[англ.]</i></font> <br>Тормоз с <b>диском</b>."
                     "<br><font color=#006600>Синонимы: </font>"
                     "<br>&nbsp;&nbsp;&nbsp;- <a href='article://11'> (disk brake)</a>"
                     "<br>&nbsp;&nbsp;&nbsp;- <a href='article://12'>дисковый механизм</a>"
                     "<br>См. также: колодка<br><br>"_cp},
        CArticleCase{"EmptyHeadDefinitionStillBreaksAndOtherLanguageHasNoTag", 21, false,
                     "<font size=+1><b>drum brake</b></font><br>Старый тип.<br>"
                     "<br><font color=#006600>Синонимы: </font>"
                     "<br>&nbsp;&nbsp;&nbsp;- <a href='article://20'>барабан (drum)</a><br><br>"_cp},
        CArticleCase{"GroupOfOneListsNoSynonyms", 30, false,
                     "<font size=+1><b>pad</b></font> <font color=#999999><i>/пэд/</i></font> <br><br>"_cp},
        CArticleCase{"UnknownIdShowsTheFirstArticle", 999, false, kBrakeLine}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
