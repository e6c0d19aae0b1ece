#include "tests/support/LiteralHighlight.h"

#include <string_view>

#include "dictionary/Dictionary.h"
#include "search/Highlight.h"

namespace {

bool InsideTag(std::string_view text, std::size_t occurrence, std::size_t length) {
  const std::string_view before = text.substr(0, occurrence);
  const std::size_t bracket = before.find_last_of("<>");
  if (bracket != std::string_view::npos && before[bracket] == '<') return true;
  // Wrapping a bracket would cut a real tag in two.
  return text.substr(occurrence, length).find_first_of("<>") != std::string_view::npos;
}

}  // namespace

void LiteralHighlightWords(std::vector<std::string>& lines, const CSearchQuery& query) {
  if (query.WordCount() == 0) return;
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";

  for (int32_t i = 0; i < query.WordCount(); ++i) {
    const std::string& word = query.Word(i);
    if (word.empty()) continue;  // it would match again right after its own tags, for ever
    const auto length = static_cast<int32_t>(word.size());
    int32_t position = 0;
    int32_t m;
    while ((m = CDictionary::FindWord(word, text, position, query.WholeWord(i), query.YoAsYe())) != -1) {
      if (InsideTag(text, m, length)) {
        position = m + 1;
        continue;
      }
      text.insert(m, kHighlightOpen);
      text.insert(m + kHighlightOpen.size() + length, kHighlightClose);
      position = m + static_cast<int32_t>(kHighlightOpen.size() + kHighlightClose.size()) + length;
    }
  }

  lines.clear();
  std::string line;
  for (std::size_t k = 0; k < text.size(); ++k) {
    if (text[k] != '\r' && text[k] != '\n') {
      line += text[k];
      continue;
    }
    lines.push_back(line);
    line.clear();
    if (text[k] == '\r' && k + 1 < text.size() && text[k + 1] == '\n') ++k;
  }
  if (!line.empty()) lines.push_back(line);
}
