#include "search/Search.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>
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

// The first two letters of a query word, as the scan filters word starts by them (measured: a third
// letter costs more than it saves).
template <int Width>
struct CWordStart {
  CByteClass<Width> first;
  CByteClass<Width> second;
  bool oneLetter;
};

// Hands each position in [p, end) that follows a non-letter and starts with the first letters of one
// of `starts` to `candidateAt`, which says where to go on.
template <int Width, class CCandidate>
void ScanWordStarts(const char* base, std::size_t p, std::size_t end,
                    const std::vector<CWordStart<Width>>& starts, CCandidate&& candidateAt) {
  const auto hitsAt = [&](std::size_t at) {
    const CBytes here = Load16(base + at);
    const CBytes next = Load16(base + at + 1);
    CLanes any{};
    for (const CWordStart<Width>& start : starts)
      any |= start.oneLetter ? start.first.In(here) : start.first.In(here) & start.second.In(next);
    return any & NotLetter(Load16(base + at - 1));
  };
  // Two blocks a round, one branch: real word starts of the leading bytes are rare.
  while (p + 2 * sizeof(CBytes) + 2 <= end) {
    const CLanes low = hitsAt(p);
    const CLanes high = hitsAt(p + sizeof(CBytes));
    if (!AnyLane(low | high)) {
      p += 2 * sizeof(CBytes);
      continue;
    }
    p = candidateAt(AnyLane(low) ? p + FirstLane(low) : p + sizeof(CBytes) + FirstLane(high));
  }
  const auto fitsAt = [&](std::size_t at) {
    if (IsWordLetter(static_cast<unsigned char>(base[at - 1]))) return false;
    return std::any_of(starts.begin(), starts.end(), [&](const CWordStart<Width>& start) {
      return start.first.Has(static_cast<unsigned char>(base[at])) &&
             (start.oneLetter ||
              (at + 1 < end && start.second.Has(static_cast<unsigned char>(base[at + 1]))));
    });
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

std::vector<std::vector<CDictionary::CFieldRef>> CDictionary::CandidateFields(
    const std::vector<CLookedWord>& words, bool yoAsYe) const {
  std::vector<std::vector<CFieldRef>> fields(words.size());
  if (articles.empty()) return fields;
  std::vector<std::size_t> scanned;  // the words the scan looks for
  for (std::size_t n = 0; n < words.size(); ++n) {
    if (!words[n].word.empty()) {
      scanned.push_back(n);
      continue;
    }
    // The empty word stands at every word start, even of an empty text.
    fields[n].reserve(articles.size() * 3);
    for (int32_t position = 0; position < ArticleCount(); ++position)
      for (const CSearchedField field :
           {CSearchedField::Definition, CSearchedField::Translation, CSearchedField::Term})
        fields[n].push_back({position, field});
  }
  if (scanned.empty()) return fields;

  const char* base = bytes.data();
  const auto offset = [base](std::string_view text) { return static_cast<std::size_t>(text.data() - base); };
  // A word found in a field is taken with that field and not looked for again before its end.
  std::vector<std::size_t> skipUntil(words.size(), 0);
  // A possible occurrence at p: its first bytes fit and the byte before p is no letter.
  int32_t position = 0;
  const auto candidateAt = [&](std::size_t p) -> std::size_t {
    while (position + 1 < ArticleCount() && p >= offset(articles[position + 1].term)) ++position;
    const CArticle& article = articles[position];
    for (const CSearchedField field :
         {CSearchedField::Term, CSearchedField::Translation, CSearchedField::Definition}) {
      const std::string_view text = FieldText(article, field);
      if (p < offset(text) || p >= offset(text) + text.size()) continue;
      for (const std::size_t n : scanned)
        if (p >= skipUntil[n] &&
            MatchesAt(words[n].word, text, p - offset(text), words[n].wholeWord, yoAsYe)) {
          fields[n].push_back({position, field});
          skipUntil[n] = offset(text) + text.size();
        }
      break;
    }
    // On where the first word still looked for may stand: past the field when every word was found in it.
    std::size_t next = std::numeric_limits<std::size_t>::max();
    for (const std::size_t n : scanned) next = std::min(next, std::max(skipUntil[n], p + 1));
    return next;
  };

  // Texts start after their 4-byte counts, whose last byte is 0 for any text under 16 MB: a
  // text's first byte is seen as a word start.
  const std::size_t p = offset(articles.front().term);
  const std::size_t end = offset(articles.back().transcription) + articles.back().transcription.size();
  const auto scan = [&]<int Width>() {
    std::vector<CWordStart<Width>> starts;
    for (const std::size_t n : scanned) {
      const std::string_view word = words[n].word;
      starts.push_back(
          {.first = CByteClass<Width>(static_cast<unsigned char>(word[0]), yoAsYe),
           .second = CByteClass<Width>(static_cast<unsigned char>(word[word.size() > 1]), yoAsYe),
           .oneLetter = word.size() == 1});
    }
    ScanWordStarts<Width>(base, p, end, starts, candidateAt);
  };
  // Four bytes to a letter only where е and ё count as one and a word begins with one of them.
  const bool yoLeads = yoAsYe && std::any_of(scanned.begin(), scanned.end(), [&](std::size_t n) {
                         const std::string_view word = words[n].word;
                         return FoldsToYe(word[0]) || (word.size() > 1 && FoldsToYe(word[1]));
                       });
  if (yoLeads)
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
  // The distinct words, a few to a scan of the file.
  std::vector<CLookedWord> batch;
  const auto lookUp = [&] {
    const std::vector<std::vector<CFieldRef>> found = CandidateFields(batch, query.YoAsYe());
    for (std::size_t n = 0; n < batch.size(); ++n) {
      std::vector<CScoredField>& scored = looked[{batch[n].word, batch[n].wholeWord}];
      for (const CFieldRef& ref : found[n])
        if (const int32_t score = ScoreWord(batch[n].word, FieldText(articles[ref.position], ref.field),
                                            batch[n].wholeWord, query.YoAsYe());
            score > 0)
          scored.push_back({ref.position, ref.field, score});
    }
    batch.clear();
  };
  for (int32_t i = 0; i < wordCount; ++i) {
    if (!looked.try_emplace({query.Word(i), query.WholeWord(i)}).second) continue;
    batch.push_back({query.Word(i), query.WholeWord(i)});
    if (batch.size() == kWordsPerScan) lookUp();
  }
  if (!batch.empty()) lookUp();
  for (int32_t i = 0; i < wordCount; ++i) {
    const auto entry = looked.find({query.Word(i), query.WholeWord(i)});
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
