#include "suggest/Suggester.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <tuple>

#include "text/WordRules.h"

namespace {

// A Windows-1251 letter as the keys compare it when е and ё count as one.
constexpr unsigned char YoFolded(unsigned char folded) {
  return folded == 0xA8 ? 0xC5 : folded;
}

int CompareYoFolded(std::string_view a, std::string_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t k = 0; k < common; ++k) {
    const unsigned char x = YoFolded(static_cast<unsigned char>(a[k]));
    const unsigned char y = YoFolded(static_cast<unsigned char>(b[k]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

std::string Folded(std::string_view word) {
  std::string key(word);
  for (char& c : key) c = static_cast<char>(FoldLetter(static_cast<unsigned char>(c)));
  return key;
}

uint64_t LetterBins(std::string_view key) {
  uint64_t bins = 0;
  for (const char c : key) {
    const unsigned char letter = YoFolded(static_cast<unsigned char>(c));
    const unsigned bin = letter >= 0xC0                   ? letter - 0xC0
                         : letter >= 'A' && letter <= 'Z' ? 32 + (letter - 'A')
                                                          : 58;
    bins |= uint64_t{1} << bin;
  }
  return bins;
}

// The runs of word letters in `text`, as the matching rules see words.
template <class TVisit>
void ForEachWord(std::string_view text, TVisit&& visit) {
  for (std::size_t pos = 0; pos < text.size();) {
    if (!IsWordLetter(static_cast<unsigned char>(text[pos]))) {
      ++pos;
      continue;
    }
    std::size_t end = pos;
    while (end < text.size() && IsWordLetter(static_cast<unsigned char>(text[end]))) ++end;
    visit(text.substr(pos, end - pos));
    pos = end;
  }
}

// Edits from `a` to `b` (keys), a transposition of neighbours counting as one, or `limit` + 1 when
// there are more than `limit`.
int TypingDistance(std::string_view a, std::string_view b, int limit) {
  constexpr std::size_t kLongest = CSuggester::kMaxWordBytes + 3;
  if (a.size() >= kLongest || b.size() >= kLongest) return limit + 1;
  int before[kLongest];
  int previous[kLongest];
  int current[kLongest];
  for (std::size_t j = 0; j <= b.size(); ++j) previous[j] = static_cast<int>(j);
  for (std::size_t i = 1; i <= a.size(); ++i) {
    current[0] = static_cast<int>(i);
    int rowBest = current[0];
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const bool same =
          YoFolded(static_cast<unsigned char>(a[i - 1])) == YoFolded(static_cast<unsigned char>(b[j - 1]));
      int cost = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (same ? 0 : 1)});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        cost = std::min(cost, before[j - 2] + 1);
      current[j] = cost;
      rowBest = std::min(rowBest, cost);
    }
    if (rowBest > limit) return limit + 1;
    std::memcpy(before, previous, sizeof(int) * (b.size() + 1));
    std::memcpy(previous, current, sizeof(int) * (b.size() + 1));
  }
  return std::min(previous[b.size()], limit + 1);
}

// How far a candidate is from what was typed, for ranking phrases: the order of the single-word list.
int Distance(int kind, int cost) {
  return kind == 0 ? 0 : kind == 1 ? 1 : kind == 2 ? 2 + cost : 3 + 2 * cost;
}

constexpr std::size_t kCandidatesPerWord = 30;
// Forms are looked for among the words that begin as the form does; a narrower beginning when too many do.
constexpr std::size_t kMaxFormNeighbours = 300;
constexpr std::size_t kFormPrefix = 4;
constexpr std::size_t kMaxSuggestionBytes = 200;

}  // namespace

CSuggester::CSuggester(const CDictionary& source, CWordForms wordForms)
    : dictionary(source), forms(std::move(wordForms)) {}

std::string_view CSuggester::Key(const CEntry& entry) const {
  return std::string_view(keys).substr(entry.keyOffset, entry.keyLength);
}

std::string CSuggester::Spelling(const CEntry& entry) const {
  const uint32_t place = places[entry.firstPlace];
  const CArticle& article = dictionary.ArticleAt(static_cast<int32_t>(place / 2));
  const std::string_view text = place % 2 == 0 ? article.translation : article.term;
  const std::string_view key = Key(entry);
  const int32_t at = CDictionary::FindWord(key, text, 0, true);
  return std::string(at < 0 ? key : text.substr(static_cast<std::size_t>(at), key.size()));
}

void CSuggester::BuildVocabulary() {
  built = true;
  struct COccurrence {
    uint32_t keyOffset;
    uint32_t keyLength;
    uint32_t place;
  };
  std::vector<COccurrence> occurrences;
  std::string folded;
  const int32_t count = dictionary.ArticleCount();
  for (int32_t position = 0; position < count; ++position) {
    const CArticle& article = dictionary.ArticleAt(position);
    for (uint32_t field = 0; field < 2; ++field) {
      ForEachWord(field == 0 ? article.translation : article.term, [&](std::string_view word) {
        if (word.size() > kMaxWordBytes) return;
        occurrences.push_back({static_cast<uint32_t>(folded.size()), static_cast<uint32_t>(word.size()),
                               static_cast<uint32_t>(position) * 2 + field});
        for (const char c : word)
          folded.push_back(static_cast<char>(FoldLetter(static_cast<unsigned char>(c))));
      });
    }
  }
  const auto keyOf = [&](const COccurrence& o) {
    return std::string_view(folded).substr(o.keyOffset, o.keyLength);
  };
  std::sort(occurrences.begin(), occurrences.end(), [&](const COccurrence& a, const COccurrence& b) {
    const int yo = CompareYoFolded(keyOf(a), keyOf(b));
    if (yo != 0) return yo < 0;
    return std::tuple(keyOf(a), a.place) < std::tuple(keyOf(b), b.place);
  });
  for (std::size_t i = 0; i < occurrences.size();) {
    const std::string_view key = keyOf(occurrences[i]);
    CEntry entry{static_cast<uint32_t>(keys.size()), static_cast<uint32_t>(key.size()),
                 static_cast<uint32_t>(places.size()), 0, LetterBins(key)};
    keys.append(key);
    for (; i < occurrences.size() && keyOf(occurrences[i]) == key; ++i)
      if (places.size() == entry.firstPlace || places.back() != occurrences[i].place)
        places.push_back(occurrences[i].place);
    entry.placeCount = static_cast<uint32_t>(places.size()) - entry.firstPlace;
    entries.push_back(entry);
  }
  keys.shrink_to_fit();
  entries.shrink_to_fit();
  places.shrink_to_fit();
}

const std::vector<std::string>& CSuggester::StemKeysOf(uint32_t entry) {
  auto found = stemKeys.find(entry);
  if (found != stemKeys.end()) return found->second;
  std::vector<std::string> stems = forms.Stems(Spelling(entries[entry]));
  for (std::string& stem : stems) stem = Folded(stem);
  return stemKeys.emplace(entry, std::move(stems)).first->second;
}

void CSuggester::AddForms(std::string_view word, std::vector<CCandidate>& found) {
  std::vector<std::string> stems = forms.Stems(word);
  for (std::string& stem : stems) stem = Folded(stem);
  const auto yoLess = [](std::string_view a, std::string_view b) { return CompareYoFolded(a, b) < 0; };
  for (const std::string& stem : stems) {
    // The words that begin as the form does: its other forms are among them.
    std::string_view prefix = std::string_view(stem).substr(0, std::min(stem.size(), kFormPrefix));
    auto first = entries.begin();
    auto last = entries.end();
    for (;;) {
      first = std::partition_point(entries.begin(), entries.end(),
                                   [&](const CEntry& e) { return yoLess(Key(e), prefix); });
      last = std::partition_point(first, entries.end(), [&](const CEntry& e) {
        return CompareYoFolded(Key(e).substr(0, prefix.size()), prefix) == 0;
      });
      if (static_cast<std::size_t>(last - first) <= kMaxFormNeighbours || prefix.size() == stem.size()) break;
      prefix = std::string_view(stem).substr(0, prefix.size() + 1);
    }
    if (static_cast<std::size_t>(last - first) > kMaxFormNeighbours) last = first + kMaxFormNeighbours;
    for (auto it = first; it != last; ++it) {
      const auto index = static_cast<uint32_t>(it - entries.begin());
      if (CompareYoFolded(Key(*it), stem) == 0) {
        found.push_back({index, CKind::Form, 0});
        continue;
      }
      const auto& theirs = StemKeysOf(index);
      if (std::any_of(theirs.begin(), theirs.end(),
                      [&](const std::string& s) { return CompareYoFolded(s, stem) == 0; }))
        found.push_back({index, CKind::Form, 1});
    }
  }
}

void CSuggester::AddSlips(std::string_view key, std::vector<CCandidate>& found) const {
  const int limit = key.size() <= 5 ? 1 : 2;
  const uint64_t bins = LetterBins(key);
  for (uint32_t index = 0; index < entries.size(); ++index) {
    const CEntry& entry = entries[index];
    const auto lengthGap = static_cast<int>(entry.keyLength) - static_cast<int>(key.size());
    if (lengthGap > limit || -lengthGap > limit || entry.keyLength < 3) continue;
    if (std::popcount(entry.letterBins ^ bins) > 2 * limit) continue;
    const int distance = TypingDistance(key, Key(entry), limit);
    if (distance >= 1 && distance <= limit)
      found.push_back({index, CKind::Slip, static_cast<int8_t>(distance)});
  }
}

std::vector<CSuggester::CCandidate> CSuggester::CandidatesFor(std::string_view word, bool yoAsYe) {
  const std::string key = Folded(word);
  std::vector<CCandidate> found;
  const auto same = std::equal_range(entries.begin(), entries.end(), key, [&](const auto& a, const auto& b) {
    if constexpr (std::is_same_v<std::decay_t<decltype(a)>, CEntry>)
      return CompareYoFolded(Key(a), b) < 0;
    else
      return CompareYoFolded(a, Key(b)) < 0;
  });
  for (auto it = same.first; it != same.second; ++it)
    found.push_back({static_cast<uint32_t>(it - entries.begin()),
                     Key(*it) == key || yoAsYe ? CKind::Same : CKind::Yo, 0});
  // Two letters are a whole word to the search; their forms and slips would be other words.
  if (key.size() >= 3) {
    AddForms(word, found);
    AddSlips(key, found);
  }
  std::sort(found.begin(), found.end(), [&](const CCandidate& a, const CCandidate& b) {
    return std::tuple(a.kind, a.cost, -static_cast<int64_t>(entries[a.entry].placeCount), a.entry) <
           std::tuple(b.kind, b.cost, -static_cast<int64_t>(entries[b.entry].placeCount), b.entry);
  });
  // The first time an entry appears is its best.
  std::vector<CCandidate> best;
  for (const CCandidate& candidate : found) {
    if (best.size() == kCandidatesPerWord) break;
    if (std::none_of(best.begin(), best.end(),
                     [&](const CCandidate& b) { return b.entry == candidate.entry; }))
      best.push_back(candidate);
  }
  return best;
}

std::vector<std::string> CSuggester::PhrasesFor(const std::vector<std::vector<CCandidate>>& perWord) const {
  // The headword fields that hold a candidate of every typed word, with the best such candidates.
  struct CPlaceChoice {
    uint32_t place;
    int distance;
    std::vector<uint32_t> chosen;  // per typed word, its candidate's entry
  };
  std::vector<CPlaceChoice> common;
  for (std::size_t w = 0; w < perWord.size(); ++w) {
    std::vector<std::tuple<uint32_t, int, uint32_t>> held;  // place, distance, entry
    for (const CCandidate& candidate : perWord[w]) {
      const CEntry& entry = entries[candidate.entry];
      const int distance = Distance(static_cast<int>(candidate.kind), candidate.cost);
      for (uint32_t k = 0; k < entry.placeCount; ++k)
        held.emplace_back(places[entry.firstPlace + k], distance, candidate.entry);
    }
    std::sort(held.begin(), held.end());
    std::vector<CPlaceChoice> next;
    auto previous = common.begin();
    for (std::size_t k = 0; k < held.size(); ++k) {
      const auto [place, distance, entry] = held[k];
      if (k > 0 && std::get<0>(held[k - 1]) == place) continue;
      if (w == 0) {
        next.push_back({place, distance, {entry}});
        continue;
      }
      while (previous != common.end() && previous->place < place) ++previous;
      if (previous == common.end() || previous->place != place) continue;
      CPlaceChoice choice = std::move(*previous);
      choice.distance += distance;
      choice.chosen.push_back(entry);
      next.push_back(std::move(choice));
    }
    common = std::move(next);
    if (common.empty()) return {};
  }
  std::stable_sort(common.begin(), common.end(),
                   [](const CPlaceChoice& a, const CPlaceChoice& b) { return a.distance < b.distance; });
  std::vector<std::string> phrases;
  for (const CPlaceChoice& choice : common) {
    if (choice.distance == 0) continue;  // the typed words themselves
    std::string phrase;
    for (const uint32_t entry : choice.chosen) {
      if (!phrase.empty()) phrase += ' ';
      phrase += Spelling(entries[entry]);
    }
    if (std::find(phrases.begin(), phrases.end(), phrase) == phrases.end())
      phrases.push_back(std::move(phrase));
    if (phrases.size() == kMaxSuggestions) break;
  }
  return phrases;
}

std::vector<std::string> CSuggester::For(std::string_view typed, bool yoAsYe) {
  if (typed.size() > kMaxTypedBytes) return {};
  if (std::any_of(typed.begin(), typed.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
    return {};
  std::vector<std::string_view> words;
  bool tooLong = false;
  ForEachWord(typed, [&](std::string_view word) {
    words.push_back(word);
    tooLong = tooLong || word.size() > kMaxWordBytes;
  });
  if (words.empty() || words.size() > kMaxTypedWords || tooLong) return {};
  if (!built) BuildVocabulary();

  std::vector<std::vector<CCandidate>> perWord;
  for (const std::string_view word : words) {
    perWord.push_back(CandidatesFor(word, yoAsYe));
    if (perWord.back().empty()) return {};
  }
  std::vector<std::string> suggestions;
  if (words.size() > 1) {
    suggestions = PhrasesFor(perWord);
  } else {
    for (const CCandidate& candidate : perWord.front()) {
      if (candidate.kind == CKind::Same) continue;
      std::string spelling = Spelling(entries[candidate.entry]);
      if (std::find(suggestions.begin(), suggestions.end(), spelling) == suggestions.end())
        suggestions.push_back(std::move(spelling));
      if (suggestions.size() == kMaxSuggestions) break;
    }
  }
  std::erase_if(suggestions, [](const std::string& s) { return s.size() > kMaxSuggestionBytes; });
  return suggestions;
}

std::size_t CSuggester::HeldBytes() const {
  std::size_t held =
      keys.capacity() + entries.capacity() * sizeof(CEntry) + places.capacity() * sizeof(uint32_t);
  // A map node holds the pair and two pointers.
  using CNode = decltype(stemKeys)::value_type;
  for (const auto& [entry, stems] : stemKeys) {
    held += sizeof(CNode) + 2 * sizeof(void*) + stems.capacity() * sizeof(std::string);
    for (const std::string& stem : stems) held += stem.capacity();
  }
  return held;
}
