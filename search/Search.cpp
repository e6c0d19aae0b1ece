#include "search/Search.h"

#include <algorithm>
#include <array>
#include <limits>
#include <map>
#include <optional>

#include "dictionary/DataReader.h"
#include "dictionary/Dictionary.h"
#include "search/CandidateScan.h"
#include "search/SearchQuery.h"
#include "text/Cp1251.h"
#include "text/WordRules.h"

namespace {

int64_t Clamped(int64_t score) {
  return std::min(score, kMaxScore);
}

// The bytes that fold to the same letter as `c`, as one set: the bits in which they differ from it
// are masked. A byte that is no letter takes its case partner too, so that plain words stay on the
// faster comparison; the exact check turns the stray ones away.
CByteSet FoldedSet(unsigned char c, bool yoAsYe) {
  const unsigned char folded = FoldLetter(c, yoAsYe);
  unsigned char differ = 0;
  for (int other = 0; other < 256; ++other)
    if (FoldLetter(static_cast<unsigned char>(other), yoAsYe) == folded)
      differ |= static_cast<unsigned char>(other ^ c);
  if (differ == 0) differ = 0x20;
  return {differ, static_cast<unsigned char>(c | differ)};
}

CWordFilter FilterOf(std::string_view word, bool yoAsYe) {
  CWordFilter filter{};
  for (std::size_t k = 0; k < 3; ++k)
    filter.sets[k] = k < word.size() ? FoldedSet(static_cast<unsigned char>(word[k]), yoAsYe) : kAnyByte;
  return filter;
}

CScanPath& ChosenPath() {
  static CScanPath path = ProcessorRuns(CScanPath::Widest) ? CScanPath::Widest
                          : ProcessorRuns(CScanPath::Wide) ? CScanPath::Wide
                                                           : CScanPath::Portable;
  return path;
}

template <class CVisit>
void ScanChosen(const char* base, std::size_t p, std::size_t end, const std::vector<CWordFilter>& filters,
                bool wordStartsOnly, CVisit& visit) {
  const CCandidateVisit call = [](void* context, std::size_t at) {
    return (*static_cast<CVisit*>(context))(at);
  };
#if CARRO_WIDE_SCAN
  if (ChosenPath() == CScanPath::Widest)
    return ScanCandidatesWidest(base, p, end, filters.data(), filters.size(), wordStartsOnly, call, &visit);
  if (ChosenPath() == CScanPath::Wide)
    return ScanCandidatesWide(base, p, end, filters.data(), filters.size(), wordStartsOnly, call, &visit);
#endif
  ScanCandidatesPortable(base, p, end, filters.data(), filters.size(), wordStartsOnly, call, &visit);
}

}  // namespace

bool ProcessorRuns(CScanPath path) {
  if (path == CScanPath::Portable) return true;
#if CARRO_WIDE_SCAN
  if (path == CScanPath::Widest)
    return __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi");
  return __builtin_cpu_supports("avx2");
#else
  return false;
#endif
}

bool UseScanPath(CScanPath path) {
  if (!ProcessorRuns(path)) return false;
  ChosenPath() = path;
  return true;
}

CScanPath ScanPathInUse() {
  return ChosenPath();
}

int32_t CDictionary::ScoreWord(std::string_view word, std::string_view text, bool wholeWord, bool yoAsYe) {
  if (word.size() > text.size()) return 0;
  const std::array<unsigned char, 256>& fold = kFoldedLetters[yoAsYe];
  const unsigned char first = word.empty() ? 0 : fold[static_cast<unsigned char>(word[0])];
  int64_t weights = 0;
  int64_t occurrences = 0;
  int64_t wordStarts = 0;
  const std::size_t last = text.size() - word.size();
  // Word starts are counted without a branch: in a long text a branch on each would be mistaken at
  // most of them. Only a start under the word's first letter is looked at further.
  const int anyFirst = word.empty() ? 1 : 0;
  int afterLetter = 0;
  for (std::size_t p = 0; p <= last; ++p) {
    const auto c = static_cast<unsigned char>(text[p]);
    const int start = afterLetter ^ 1;
    afterLetter = kWordLetters[c] ? 1 : 0;
    wordStarts += start;
    if ((start & (anyFirst | (fold[c] == first ? 1 : 0))) == 0 ||
        !MatchesAt(word, text, p, wholeWord, yoAsYe))
      continue;
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
  static_assert(kWordsPerScan <= kMaxScanFilters);
  std::vector<std::vector<CFieldRef>> fields(words.size());
  if (articles.empty()) return fields;
  std::vector<std::size_t> scanned;  // the words the scan looks for
  std::vector<CWordFilter> filters;
  for (std::size_t n = 0; n < words.size(); ++n) {
    if (!words[n].word.empty()) {
      scanned.push_back(n);
      filters.push_back(FilterOf(words[n].word, yoAsYe));
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
  int32_t position = 0;
  // The article that holds p, found from the last one by steps that double: candidates are sparse.
  const auto moveTo = [&](std::size_t p) {
    const auto startsBy = [&](int32_t at) { return at < ArticleCount() && articleStarts[at] <= p; };
    int32_t step = 1;
    for (; startsBy(position + step); step *= 2) position += step;
    for (step /= 2; step > 0; step /= 2)
      if (startsBy(position + step)) position += step;
  };
  const std::size_t end = offset(articles.back().transcription) + articles.back().transcription.size();
  // On where the first word still looked for may stand: past the field when every word was found in it.
  const auto onFrom = [&](std::size_t p) {
    std::size_t next = std::numeric_limits<std::size_t>::max();
    for (const std::size_t n : scanned) next = std::min(next, std::max(skipUntil[n], p + 1));
    return next;
  };
  const std::string_view file(base, end);
  auto candidateAt = [&](std::size_t p) -> std::size_t {
    // Most candidates stand inside a word. The byte before a text is the top byte of its count,
    // so a letter there ends the matter only where the four bytes are no count of a text that fits.
    if (IsWordLetter(static_cast<unsigned char>(base[p - 1]))) {
      const std::optional<int32_t> count = CDataReader({base, end}, p - 4).ReadInt32();
      if (!count || *count < 0 || static_cast<std::size_t>(*count) > end - p) return p + 1;
    }
    // A word that does not stand in the file's bytes here stands in no field here: most candidates
    // end before the far larger articles are read.
    if (std::none_of(scanned.begin(), scanned.end(), [&](std::size_t n) {
          return p >= skipUntil[n] && MatchesAt(words[n].word, file, p, false, yoAsYe);
        }))
      return onFrom(p);
    moveTo(p);
    const CArticle& article = articles[position];
    for (const CSearchedField field :
         {CSearchedField::Term, CSearchedField::Translation, CSearchedField::Definition}) {
      const std::string_view text = FieldText(article, field);
      if (p < offset(text) || p >= offset(text) + text.size()) continue;
      if (!IsWordStart(text, p - offset(text))) break;
      for (const std::size_t n : scanned)
        if (p >= skipUntil[n] &&
            MatchesAt(words[n].word, text, p - offset(text), words[n].wholeWord, yoAsYe)) {
          fields[n].push_back({position, field});
          skipUntil[n] = offset(text) + text.size();
        }
      break;
    }
    return onFrom(p);
  };
  // In a file shorter than 0x41000000 bytes no count that fits has a letter for its top byte, so
  // every word start follows a byte that is no letter, and the scan can ask for one.
  const bool wordStartsOnly = end < 0x41000000;
  ScanChosen(base, offset(articles.front().term), end, filters, wordStartsOnly, candidateAt);
  return fields;
}

std::vector<CDictionary::CSearchHit> CDictionary::RankArticles(const CSearchQuery& query,
                                                               int32_t& strictCount) const {
  const int32_t wordCount = query.WordCount();
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

  // What each query word gives each article, by article and within one in query order: only the
  // articles that hold a word are touched.
  struct CWordScore {
    int32_t position;
    int32_t word;
    int64_t score;
  };
  std::vector<CWordScore> given;
  int32_t requiredCount = 0;
  for (int32_t i = 0; i < wordCount; ++i) {
    requiredCount += query.Required(i);
    for (const CScoredField& found : looked.find({query.Word(i), query.WholeWord(i)})->second)
      given.push_back({found.position, i, int64_t{found.score} * FieldWeight(found.field)});
  }
  const auto byArticle = [](const CWordScore& a, const CWordScore& b) { return a.position < b.position; };
  if (!std::is_sorted(given.begin(), given.end(), byArticle))
    std::stable_sort(given.begin(), given.end(), byArticle);

  std::vector<CSearchHit> hits;
  strictCount = 0;
  for (std::size_t g = 0; g < given.size();) {
    const int32_t position = given[g].position;
    int64_t score = 0;
    int32_t wordsFound = 0;
    int32_t requiredFound = 0;
    for (int32_t lastWord = -1; g < given.size() && given[g].position == position; ++g) {
      score += given[g].score;
      if (given[g].word != lastWord) {
        lastWord = given[g].word;
        ++wordsFound;
        requiredFound += query.Required(lastWord);
      }
    }
    // A required word that the article lacks excludes it.
    if (requiredFound < requiredCount || score <= 0) continue;
    if (wordsFound == wordCount) {
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
