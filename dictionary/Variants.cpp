#include <algorithm>
#include <array>
#include <bit>

#include "dictionary/Dictionary.h"
#include "dictionary/Variant.h"
#include "text/WordRules.h"

namespace {

// Scores of a headword match: the whole headword, or a word start before this position.
constexpr int32_t kWholeHeadword = 100;
constexpr int32_t kWordStartLimit = 50;

// The two rows of the pair index that a pair of letters sets, chosen by a hash; Е and Ё share
// them, so that one index serves lookups with the setting on and off.
std::array<uint32_t, 2> PairRows(unsigned char first, unsigned char second) {
  const uint32_t pair =
      static_cast<uint32_t>(kFoldedLetters[true][first]) << 8 | kFoldedLetters[true][second];
  const uint32_t hash = pair * 0x9E3779B1u;
  return {hash >> 25, (hash >> 18) % CDictionary::kPairRows};
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

void CDictionary::IndexHeadwordPairs(int32_t position) {
  const std::size_t rowWords = PairRowWords();
  const CArticle& article = articles[position];
  for (const std::string_view headword : {article.term, article.translation}) {
    const std::size_t end = std::min<std::size_t>(headword.size(), kWordStartLimit + 1);
    uint64_t* const column = pairIndex.data() + position / 64;
    const uint64_t bit = uint64_t{1} << (position % 64);
    bool afterLetter = false;  // a word starts where no letter stands before it
    for (std::size_t p = 0; p + 1 < end; ++p) {
      const auto c = static_cast<unsigned char>(headword[p]);
      if (!afterLetter)
        for (const uint32_t row : PairRows(c, static_cast<unsigned char>(headword[p + 1])))
          column[row * rowWords] |= bit;
      afterLetter = kWordLetters[c];
    }
  }
}

void CDictionary::LookupVariants(std::string_view input, std::vector<CVariant>& list, bool yoAsYe) const {
  list.clear();
  if (input.empty()) return;
  // A one-byte input lists only one-byte headwords; a longer one needs its first two bytes at
  // an early word start of a headword.
  const auto consider = [&](int32_t position) {
    const CArticle& article = articles[position];
    CMatch best;
    Consider(input, article.translation, CHeadword::Translation, yoAsYe, best);
    Consider(input, article.term, CHeadword::Term, yoAsYe, best);
    if (best.score <= 0) return;
    const bool onTerm = best.field == CHeadword::Term;
    std::string text(onTerm ? article.term : article.translation);
    const std::string_view other = onTerm ? article.translation : article.term;
    if (!other.empty()) text.append(" (").append(other).append(")");
    list.emplace_back(std::move(text), article.id, best.score, best.position, best.field);
  };
  if (input.size() < 2) {
    for (const int32_t position : oneByteHeadwords) consider(position);
  } else {
    const std::size_t rowWords = PairRowWords();
    const std::array<uint32_t, 2> rows =
        PairRows(static_cast<unsigned char>(input[0]), static_cast<unsigned char>(input[1]));
    const uint64_t* first = pairIndex.data() + rows[0] * rowWords;
    const uint64_t* second = pairIndex.data() + rows[1] * rowWords;
    for (std::size_t word = 0; word < rowWords; ++word)
      for (uint64_t bits = first[word] & second[word]; bits != 0; bits &= bits - 1)
        consider(static_cast<int32_t>(word * 64 + static_cast<std::size_t>(std::countr_zero(bits))));
  }
  // Equal entries keep store order, so that a lookup always lists the same way.
  std::stable_sort(list.begin(), list.end(), [](const CVariant& a, const CVariant& b) {
    return a.score != b.score ? a.score > b.score : a.text < b.text;
  });
}
