#include "pages/ResultPage.h"

CResultPage::CResultPage(const CArticle& article)
    : articleIds{article.id}, label(article.Title()), showHeader(false) {}
