#include "search/Highlight.h"

#include <algorithm>
#include <string_view>

#include "search/WordMatch.h"

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

// One word's pass, giving what inserting the tags occurrence by occurrence would give, but
// copying the text once: an insertion would move the whole rest of the page.
std::string WrapOccurrences(std::string_view text, std::string_view word, bool wholeWord) {
  std::string out;
  out.reserve(text.size());
  // Whether the nearest '<' or '>' before the position, inserted tags included, is '<'. A wrap
  // leaves it false: it ends with the '>' of "</font>" and the word holds no bracket.
  bool inTag = false;
  // The byte before the position is the '>' of an inserted "</font>": a word start, whatever
  // `text` has there.
  bool afterWrap = false;
  for (std::size_t p = 0; p < text.size();) {
    if (!inTag && (afterWrap || IsWordStart(text, p)) && MatchesAt(word, text, p, wholeWord)) {
      ((out += kHighlightOpen) += text.substr(p, word.size())) += kHighlightClose;
      p += word.size();
      afterWrap = true;
      continue;
    }
    if (text[p] == '<' || text[p] == '>') inTag = text[p] == '<';
    out += text[p++];
    afterWrap = false;
  }
  return out;
}

}  // namespace

void HighlightWords(std::vector<std::string>& lines, const CSearchQuery& query) {
  if (query.WordCount() == 0) return;
  std::string text = JoinLines(lines);
  for (int32_t i = 0; i < query.WordCount(); ++i) {
    const std::string& word = query.Word(i);
    // An empty word would match again right after its own tags, for ever. A word with a bracket
    // would wrap part of a tag; only a bracket folds to a bracket, so every occurrence holds one.
    if (word.empty() || word.find_first_of("<>") != std::string::npos) continue;
    text = WrapOccurrences(text, word, query.WholeWord(i));
  }
  lines = SplitLines(text);
}
