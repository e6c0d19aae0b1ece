#include <algorithm>

#include "dictionary/Dictionary.h"
#include "dictionary/Variant.h"
#include "text/WordRules.h"

namespace {

// Scores of a headword match: the whole headword, or a word start before this position.
constexpr int32_t kWholeHeadword = 100;
constexpr int32_t kWordStartLimit = 50;

// Е and Ё share their bits, so that one signature serves lookups with the setting on and off.
uint64_t PairBit(unsigned char first, unsigned char second) {
  const uint32_t pair = static_cast<uint32_t>(FoldLetter(first, true)) << 8 | FoldLetter(second, true);
  return uint64_t{1} << ((pair * 0x9E3779B1u) >> 26);
}

struct CMatch {
  int32_t score = 0;
  int32_t position = 0;
  CHeadword field = CHeadword::Term;
};

// Keeps the better of the earlier match and one of `input` in `headword`; the earlier wins ties.
void Consider(std::string_view input, std::string_view headword, CHeadword field, bool yoAsYe, CMatch& best) {
  const int32_t p = CDictionary::FindWord(input, headword, 0, false, yoAsYe);
  if (p < 0) return;
  int32_t score = 0;
  if (headword.size() == input.size())
    score = kWholeHeadword - p;
  else if (input.size() >= 2)
    score = kWordStartLimit - p;
  if (score > best.score) best = {score, p, field};
}

}  // namespace

uint64_t CDictionary::HeadwordSignature(const CArticle& article) {
  uint64_t signature = 0;
  for (const std::string_view headword : {article.term, article.translation}) {
    const std::size_t end = std::min<std::size_t>(headword.size(), kWordStartLimit + 1);
    for (std::size_t p = 0; p + 1 < end; ++p)
      if (IsWordStart(headword, p))
        signature |=
            PairBit(static_cast<unsigned char>(headword[p]), static_cast<unsigned char>(headword[p + 1]));
  }
  return signature;
}

void CDictionary::LookupVariants(std::string_view input, std::vector<CVariant>& list, bool yoAsYe) const {
  list.clear();
  if (input.empty()) return;
  // A one-byte input lists only one-byte headwords; a longer one needs its first two bytes at
  // an early word start of a headword.
  const uint64_t needed =
      input.size() >= 2 ? PairBit(static_cast<unsigned char>(input[0]), static_cast<unsigned char>(input[1]))
                        : 0;
  for (int32_t position = 0; position < ArticleCount(); ++position) {
    const CArticle& article = articles[position];
    if (needed ? !(headwordSignatures[position] & needed)
               : article.term.size() != 1 && article.translation.size() != 1)
      continue;
    CMatch best;
    Consider(input, article.translation, CHeadword::Translation, yoAsYe, best);
    Consider(input, article.term, CHeadword::Term, yoAsYe, best);
    if (best.score <= 0) continue;
    const bool onTerm = best.field == CHeadword::Term;
    std::string text(onTerm ? article.term : article.translation);
    const std::string_view other = onTerm ? article.translation : article.term;
    if (!other.empty()) text.append(" (").append(other).append(")");
    list.emplace_back(std::move(text), article.id, best.score, best.position, best.field);
  }
  // Equal entries keep store order, so that a lookup always lists the same way.
  std::stable_sort(list.begin(), list.end(), [](const CVariant& a, const CVariant& b) {
    return a.score != b.score ? a.score > b.score : a.text < b.text;
  });
}
