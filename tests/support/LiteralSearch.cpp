#include "tests/support/LiteralSearch.h"

#include <algorithm>

#include "pages/SearchPage.h"
#include "search/Search.h"
#include "text/Cp1251.h"
#include "text/WordRules.h"

namespace {

// With the setting on, any of е, Е, ё and Ё stands for any other.
bool SameLetter(char a, char b, bool yoAsYe) {
  constexpr std::string_view kYe = "еЕёЁ"_cp;
  if (yoAsYe && kYe.find(a) != std::string_view::npos && kYe.find(b) != std::string_view::npos) return true;
  return FoldLetter(static_cast<unsigned char>(a)) == FoldLetter(static_cast<unsigned char>(b));
}

bool Occurs(std::string_view word, std::string_view text, std::size_t p, bool wholeWord, bool yoAsYe) {
  if (p > 0 && IsWordLetter(static_cast<unsigned char>(text[p - 1]))) return false;
  if (p + word.size() > text.size()) return false;
  for (std::size_t k = 0; k < word.size(); ++k)
    if (!SameLetter(text[p + k], word[k], yoAsYe)) return false;
  return !wholeWord || p + word.size() == text.size() ||
         !IsWordLetter(static_cast<unsigned char>(text[p + word.size()]));
}

int32_t LiteralFindWord(std::string_view word, std::string_view text, bool yoAsYe) {
  if (word.size() > text.size()) return -1;
  for (std::size_t p = 0; p + word.size() <= text.size(); ++p)
    if (Occurs(word, text, p, false, yoAsYe)) return static_cast<int32_t>(p);
  return -1;
}

}  // namespace

int32_t LiteralScoreWord(std::string_view word, std::string_view text, bool wholeWord, bool yoAsYe) {
  const int64_t w = static_cast<int64_t>(word.size());
  const int64_t t = static_cast<int64_t>(text.size());
  if (w > t) return 0;
  int64_t s = 0;
  int64_t c = 0;
  int64_t n = 0;
  for (int64_t p = 0; p <= t - w; ++p) {
    if (p > 0 && IsWordLetter(static_cast<unsigned char>(text[p - 1]))) continue;
    n = n + 1;
    if (Occurs(word, text, static_cast<std::size_t>(p), wholeWord, yoAsYe)) {
      s += n < 10 ? 100 - 10 * n : 1;
      c += 1;
    }
  }
  if (c > 0 && s > INT64_MAX / 10000 / c) return INT32_MAX;
  return static_cast<int32_t>(std::min<int64_t>(s * c * 10000 / (n + 1), INT32_MAX));
}

CResultPage LiteralSearch(const CDictionary& dictionary, const CSearchQuery& query) {
  CResultPage page = NewSearchPage(query);
  const int32_t n = query.WordCount();
  std::vector<std::pair<int64_t, int32_t>> hits;  // (score, position)
  int32_t strictCount = 0;
  for (int32_t position = 0; position < dictionary.ArticleCount(); ++position) {
    const CArticle& article = dictionary.ArticleAt(position);
    int64_t score = 0;
    int32_t matched = 0;
    std::vector<bool> found(static_cast<std::size_t>(n), false);
    for (int32_t i = 0; i < n; ++i) {
      for (const auto field : {CDictionary::CSearchedField::Definition,
                               CDictionary::CSearchedField::Translation, CDictionary::CSearchedField::Term}) {
        const int32_t s = LiteralScoreWord(query.Word(i), CDictionary::FieldText(article, field),
                                           query.WholeWord(i), query.YoAsYe());
        if (s > 0) {
          score += int64_t{s} * CDictionary::FieldWeight(field);
          found[i] = true;
        }
      }
      if (found[i]) ++matched;
    }
    for (int32_t i = 0; i < n; ++i)
      if (query.Required(i) && !found[i]) {
        score = 0;
        break;
      }
    if (matched == n && score > 0) {
      score += kStrictBonus;
      ++strictCount;
    }
    if (score > 0) hits.emplace_back(std::min(score, kMaxScore), position);
  }
  std::stable_sort(hits.begin(), hits.end(), [&](const auto& a, const auto& b) {
    if (a.first != b.first) return a.first > b.first;
    return dictionary.ArticleAt(a.second).translation < dictionary.ArticleAt(b.second).translation;
  });
  for (const auto& hit : hits) page.articleIds.push_back(dictionary.ArticleAt(hit.second).id);
  page.strictCount = strictCount;
  return page;
}

std::vector<CVariant> LiteralLookupVariants(const CDictionary& dictionary, std::string_view input,
                                            bool yoAsYe) {
  std::vector<CVariant> list;
  if (input.empty()) return list;
  const int32_t w = static_cast<int32_t>(input.size());
  for (const CArticle& article : dictionary.Articles()) {
    int32_t best = 0;
    int32_t matchPos = 0;
    CHeadword matchedField = CHeadword::Term;
    const std::pair<std::string_view, CHeadword> headwords[] = {{article.translation, CHeadword::Translation},
                                                                {article.term, CHeadword::Term}};
    for (const auto& [headword, field] : headwords) {
      const int32_t p = LiteralFindWord(input, headword, yoAsYe);
      if (p < 0) continue;
      if (static_cast<int32_t>(headword.size()) == w && 100 - p > best) {
        best = 100 - p;
        matchPos = p;
        matchedField = field;
      } else if (w >= 2 && 50 - p > best) {
        best = 50 - p;
        matchPos = p;
        matchedField = field;
      }
    }
    if (best <= 0) continue;
    std::string text(matchedField == CHeadword::Translation ? article.translation : article.term);
    const std::string_view other =
        matchedField == CHeadword::Translation ? article.term : article.translation;
    if (!other.empty()) text += " (" + std::string(other) + ")";
    list.emplace_back(text, article.id, best, matchPos, matchedField);
  }
  std::stable_sort(list.begin(), list.end(), [](const CVariant& a, const CVariant& b) {
    return a.score != b.score ? a.score > b.score : a.text < b.text;
  });
  return list;
}
