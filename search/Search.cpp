#include "search/Search.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <map>

#include "dictionary/Dictionary.h"
#include "search/SearchQuery.h"
#include "text/Cp1251.h"
#include "text/WordRules.h"

namespace {

static_assert(std::endian::native == std::endian::little, "the candidate scan reads bytes in memory order");

// Sixteen bytes at a time; GCC and Clang both compile these to plain vector instructions.
using CBytes = unsigned char __attribute__((vector_size(16)));
using CLanes = signed char __attribute__((vector_size(16)));

CBytes Load16(const char* from) {
  CBytes bytes;
  std::memcpy(&bytes, from, sizeof bytes);
  return bytes;
}

// The bytes that fold to the same letter as `c`: a letter's two cases, or `c` alone; with е and ё
// as one letter, the four bytes of Е, е, Ё and ё. `Width` bytes are compared, repeats filling up.
template <int Width>
struct CByteClass {
  std::array<unsigned char, Width> bytes{};
  std::array<CBytes, Width> lanes{};

  CByteClass(unsigned char c, bool yoAsYe) {
    const unsigned char folded = FoldLetter(c, yoAsYe);
    bytes.fill(folded);
    int found = 1;
    for (int other = 0; other < 256 && found < Width; ++other)
      if (other != folded && FoldLetter(static_cast<unsigned char>(other), yoAsYe) == folded)
        bytes[found++] = static_cast<unsigned char>(other);
    for (int i = 0; i < Width; ++i) lanes[i] = CBytes{} + bytes[i];
  }
  bool Has(unsigned char c) const { return std::find(bytes.begin(), bytes.end(), c) != bytes.end(); }
  // Comparing byte vectors gives lanes of all ones or zeros.
  CLanes In(CBytes v) const {
    CLanes in = v == lanes[0];
    for (int i = 1; i < Width; ++i) in |= v == lanes[i];
    return in;
  }
};

bool FoldsToYe(char c) {
  return FoldLetter(static_cast<unsigned char>(c), true) == FoldLetter(static_cast<unsigned char>(0xE5));
}

CLanes NotLetter(CBytes v) {
  const CBytes lowered = (v | 0x20) - 'a';  // wraps below 'a': one comparison finds the Latin letters
  const CLanes latin = lowered < 26;
  return ~(latin | (v >= 0xC0) | ((v | 0x10) == 0xB8));
}

bool AnyLane(CLanes lanes) {
  uint64_t halves[2];
  std::memcpy(halves, &lanes, sizeof halves);
  return (halves[0] | halves[1]) != 0;
}

int FirstLane(CLanes lanes) {
  uint64_t halves[2];
  std::memcpy(halves, &lanes, sizeof halves);
  return halves[0] ? std::countr_zero(halves[0]) / 8 : 8 + std::countr_zero(halves[1]) / 8;
}

int64_t Clamped(int64_t score) {
  return std::min(score, kMaxScore);
}

// Hands each position in [p, end) that follows a non-letter and starts with bytes of the
// `leading` classes to `candidateAt`, which says where to go on.
template <std::size_t N, class CClass, class CCandidate>
void ScanWordStarts(const char* base, std::size_t p, std::size_t end, const std::array<CClass, N>& leading,
                    CCandidate&& candidateAt) {
  const auto hitsAt = [&](std::size_t at) {
    CLanes hits = NotLetter(Load16(base + at - 1));
    for (std::size_t k = 0; k < N; ++k) hits &= leading[k].In(Load16(base + at + k));
    return hits;
  };
  // Two blocks a round, one branch: real word starts of the leading bytes are rare.
  while (p + 2 * sizeof(CBytes) + N <= end) {
    const CLanes low = hitsAt(p);
    const CLanes high = hitsAt(p + sizeof(CBytes));
    if (!AnyLane(low | high)) {
      p += 2 * sizeof(CBytes);
      continue;
    }
    p = candidateAt(AnyLane(low) ? p + FirstLane(low) : p + sizeof(CBytes) + FirstLane(high));
  }
  const auto fitsAt = [&](std::size_t at) {
    for (std::size_t k = 0; k < N; ++k)
      if (at + k >= end || !leading[k].Has(static_cast<unsigned char>(base[at + k]))) return false;
    return !IsWordLetter(static_cast<unsigned char>(base[at - 1]));
  };
  while (p < end) p = fitsAt(p) ? candidateAt(p) : p + 1;
}

}  // namespace

int32_t CDictionary::ScoreWord(std::string_view word, std::string_view text, bool wholeWord, bool yoAsYe) {
  if (word.size() > text.size()) return 0;
  int64_t weights = 0;
  int64_t occurrences = 0;
  int64_t wordStarts = 0;
  const std::size_t last = text.size() - word.size();
  for (std::size_t p = 0; p <= last; ++p) {
    if (!IsWordStart(text, p)) continue;
    ++wordStarts;
    if (!MatchesAt(word, text, p, wholeWord, yoAsYe)) continue;
    weights += wordStarts < 10 ? 100 - 10 * wordStarts : 1;
    ++occurrences;
  }
  // Beyond this the quotient exceeds the 32-bit range whatever the divisor.
  if (occurrences && weights > std::numeric_limits<int64_t>::max() / 10000 / occurrences)
    return static_cast<int32_t>(kMaxScore);
  return static_cast<int32_t>(Clamped(weights * occurrences * 10000 / (wordStarts + 1)));
}

std::vector<CDictionary::CFieldRef> CDictionary::CandidateFields(std::string_view word, bool wholeWord,
                                                                 bool yoAsYe) const {
  std::vector<CFieldRef> fields;
  if (articles.empty()) return fields;
  if (word.empty()) {  // the empty word stands at every word start, even of an empty text
    fields.reserve(articles.size() * 3);
    for (int32_t position = 0; position < ArticleCount(); ++position)
      for (const CSearchedField field :
           {CSearchedField::Definition, CSearchedField::Translation, CSearchedField::Term})
        fields.push_back({position, field});
    return fields;
  }

  const char* base = bytes.data();
  const auto offset = [base](std::string_view text) { return static_cast<std::size_t>(text.data() - base); };
  // A possible occurrence at p: its first bytes fit and the byte before p is no letter. When
  // the word occurs there, its field is taken and the scan goes on past the field.
  int32_t position = 0;
  const auto candidateAt = [&](std::size_t p) -> std::size_t {
    while (position + 1 < ArticleCount() && p >= offset(articles[position + 1].term)) ++position;
    const CArticle& article = articles[position];
    for (const CSearchedField field :
         {CSearchedField::Term, CSearchedField::Translation, CSearchedField::Definition}) {
      const std::string_view text = FieldText(article, field);
      if (p < offset(text) || p >= offset(text) + text.size()) continue;
      if (!MatchesAt(word, text, p - offset(text), wholeWord, yoAsYe)) return p + 1;
      fields.push_back({position, field});
      return offset(text) + text.size();
    }
    return p + 1;
  };

  // Texts start after their 4-byte counts, whose last byte is 0 for any text under 16 MB: a
  // text's first byte is seen as a word start.
  std::size_t p = offset(articles.front().term);
  const std::size_t end = offset(articles.back().transcription) + articles.back().transcription.size();
  // The first two bytes filter (measured: a third costs more than it saves).
  const auto scan = [&]<int Width>() {
    const auto leading = [yoAsYe](char c) {
      return CByteClass<Width>(static_cast<unsigned char>(c), yoAsYe);
    };
    if (word.size() == 1)
      ScanWordStarts<1>(base, p, end, std::array{leading(word[0])}, candidateAt);
    else
      ScanWordStarts<2>(base, p, end, std::array{leading(word[0]), leading(word[1])}, candidateAt);
  };
  // Four bytes to a letter only where е and ё count as one and the word begins with one of them.
  if (yoAsYe && (FoldsToYe(word[0]) || (word.size() > 1 && FoldsToYe(word[1]))))
    scan.template operator()<4>();
  else
    scan.template operator()<2>();
  return fields;
}

std::vector<CDictionary::CSearchHit> CDictionary::RankArticles(const CSearchQuery& query,
                                                               int32_t& strictCount) const {
  const int32_t wordCount = query.WordCount();
  std::vector<int64_t> scores(articles.size(), 0);
  std::vector<int32_t> wordsFound(articles.size(), 0);
  std::vector<int32_t> lastWordFound(articles.size(), -1);
  std::vector<int32_t> requiredFound(articles.size(), 0);
  int32_t requiredCount = 0;

  // A word given again scores the same fields again: each distinct word is looked for once, so a
  // pasted text of repeated words costs what its distinct words cost.
  struct CScoredField {
    int32_t position;
    CSearchedField field;
    int32_t score;
  };
  std::map<std::pair<std::string_view, bool>, std::vector<CScoredField>> looked;
  for (int32_t i = 0; i < wordCount; ++i) {
    const std::string& word = query.Word(i);
    auto [entry, isNew] = looked.try_emplace({word, query.WholeWord(i)});
    if (isNew)
      for (const CFieldRef& ref : CandidateFields(word, query.WholeWord(i), query.YoAsYe()))
        if (const int32_t score = ScoreWord(word, FieldText(articles[ref.position], ref.field),
                                            query.WholeWord(i), query.YoAsYe());
            score > 0)
          entry->second.push_back({ref.position, ref.field, score});
    requiredCount += query.Required(i);
    for (const CScoredField& found : entry->second) {
      scores[found.position] += int64_t{found.score} * FieldWeight(found.field);
      if (lastWordFound[found.position] != i) {
        lastWordFound[found.position] = i;
        ++wordsFound[found.position];
        requiredFound[found.position] += query.Required(i);
      }
    }
  }

  std::vector<CSearchHit> hits;
  strictCount = 0;
  for (int32_t position = 0; position < ArticleCount(); ++position) {
    // A required word that the article lacks excludes it.
    int64_t score = requiredFound[position] < requiredCount ? 0 : scores[position];
    if (score <= 0) continue;
    if (wordsFound[position] == wordCount) {
      score += kStrictBonus;
      ++strictCount;
    }
    hits.push_back({static_cast<int32_t>(Clamped(score)), position});
  }
  // Equal scores go by translation, then by store order, so that a search always ranks the same.
  std::sort(hits.begin(), hits.end(), [this](const CSearchHit& a, const CSearchHit& b) {
    if (a.score != b.score) return a.score > b.score;
    const int order = articles[a.position].translation.compare(articles[b.position].translation);
    return order != 0 ? order < 0 : a.position < b.position;
  });
  return hits;
}
