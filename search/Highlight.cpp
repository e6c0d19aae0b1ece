#include "search/Highlight.h"

#include <algorithm>
#include <string_view>

#include "text/WordRules.h"

namespace {

std::string JoinLines(const std::vector<std::string>& lines) {
  std::size_t size = 0;
  for (const std::string& line : lines) size += line.size() + 2;
  std::string text;
  text.reserve(size);
  for (const std::string& line : lines) (text += line) += "\r\n";
  return text;
}

// A CR, an LF or the pair ends a line; the break at the end of the text adds no empty line.
std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t begin = 0;
  while (begin < text.size()) {
    const std::size_t end = std::min(text.find_first_of("\r\n", begin), text.size());
    lines.emplace_back(text.substr(begin, end - begin));
    begin = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
  }
  return lines;
}

// Copies `text`, wrapping what `lengthAt` finds at each word start outside tags (its length, 0 for
// nothing), in one pass: an insertion would move the whole rest of the page.
template <class CLengthAt>
std::string WrapAt(std::string_view text, CLengthAt lengthAt) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  // Whether the nearest '<' or '>' before the position, inserted tags included, is '<'. A wrap
  // leaves it false: it ends with the '>' of "</font>" and no query word holds a bracket.
  bool inTag = false;
  // The byte before the position is the '>' of an inserted "</font>": a word start, whatever
  // `text` has there.
  bool afterWrap = false;
  for (std::size_t p = 0; p < text.size();) {
    if (!inTag && (afterWrap || IsWordStart(text, p))) {
      if (const std::size_t length = lengthAt(p); length > 0) {
        ((out += kHighlightOpen) += text.substr(p, length)) += kHighlightClose;
        p += length;
        afterWrap = true;
        continue;
      }
    }
    if (text[p] == '<' || text[p] == '>') inTag = text[p] == '<';
    out += text[p++];
    afterWrap = false;
  }
  return out;
}

// One word's pass, giving what inserting the tags occurrence by occurrence would give.
std::string WrapOccurrences(std::string_view text, std::string_view word, bool wholeWord, bool yoAsYe) {
  return WrapAt(text,
                [&](std::size_t p) { return MatchesAt(word, text, p, wholeWord, yoAsYe) ? word.size() : 0; });
}

// A word as the single pass compares it: folded, and whole only where every use of it is whole.
struct CFoldedWord {
  std::string key;
  bool wholeWord;
};

// The single pass for long queries: at each word start outside tags, the longest query word found
// there is wrapped once. The query's words, sorted, are narrowed letter by letter to those the text
// goes on with, so each place costs a few binary searches however many words there are.
std::string WrapLongestOccurrences(std::string_view text, std::vector<CFoldedWord> words, bool yoAsYe) {
  std::sort(words.begin(), words.end(),
            [](const CFoldedWord& a, const CFoldedWord& b) { return a.key < b.key; });
  std::vector<CFoldedWord> keys;
  for (CFoldedWord& word : words) {
    if (!keys.empty() && keys.back().key == word.key)
      keys.back().wholeWord = keys.back().wholeWord && word.wholeWord;
    else
      keys.push_back(std::move(word));
  }
  const auto longestAt = [&](std::size_t p) -> std::size_t {
    std::size_t found = 0;
    std::size_t lo = 0;
    std::size_t hi = keys.size();
    for (std::size_t k = 0; lo < hi; ++k) {
      if (keys[lo].key.size() == k) {  // a key ends here; longer ones follow it
        const std::size_t end = p + k;
        if (!keys[lo].wholeWord || end == text.size() || !IsWordLetter(static_cast<unsigned char>(text[end])))
          found = k;
        ++lo;
      }
      if (p + k >= text.size()) break;
      // Bytes compare unsigned, as the sort by std::string did.
      const unsigned char c = FoldLetter(static_cast<unsigned char>(text[p + k]), yoAsYe);
      const auto byLetter = [k](const CFoldedWord& word, unsigned char letter) {
        return static_cast<unsigned char>(word.key[k]) < letter;
      };
      const auto byLetterAfter = [k](unsigned char letter, const CFoldedWord& word) {
        return letter < static_cast<unsigned char>(word.key[k]);
      };
      lo = static_cast<std::size_t>(std::lower_bound(keys.begin() + lo, keys.begin() + hi, c, byLetter) -
                                    keys.begin());
      hi = static_cast<std::size_t>(std::upper_bound(keys.begin() + lo, keys.begin() + hi, c, byLetterAfter) -
                                    keys.begin());
    }
    return found;
  };
  return WrapAt(text, longestAt);
}

// An empty word would match again right after its own tags, for ever. A word with a bracket would
// wrap part of a tag; only a bracket folds to a bracket, so every occurrence holds one.
bool Highlightable(std::string_view word) {
  return !word.empty() && word.find_first_of("<>") == std::string_view::npos;
}

}  // namespace

void HighlightWords(std::vector<std::string>& lines, const CSearchQuery& query) {
  if (query.WordCount() == 0) return;
  std::string text = JoinLines(lines);
  if (query.WordCount() > kExactHighlightWords) {
    std::vector<CFoldedWord> words;
    for (int32_t i = 0; i < query.WordCount(); ++i) {
      if (!Highlightable(query.Word(i))) continue;
      std::string key = query.Word(i);
      for (char& c : key) c = static_cast<char>(FoldLetter(static_cast<unsigned char>(c), query.YoAsYe()));
      words.push_back({std::move(key), query.WholeWord(i)});
    }
    lines = SplitLines(WrapLongestOccurrences(text, std::move(words), query.YoAsYe()));
    return;
  }
  for (int32_t i = 0; i < query.WordCount(); ++i) {
    const std::string& word = query.Word(i);
    if (!Highlightable(word)) continue;
    text = WrapOccurrences(text, word, query.WholeWord(i), query.YoAsYe());
  }
  lines = SplitLines(text);
}
