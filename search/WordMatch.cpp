#include "text/WordRules.h"

#include "dictionary/Dictionary.h"

int32_t CDictionary::FindWord(std::string_view word, std::string_view text, int32_t start, bool wholeWord,
                              bool yoAsYe) {
  if (word.size() > text.size()) return -1;
  const std::size_t last = text.size() - word.size();
  // A start before the text searches from its beginning rather than reading before it.
  for (std::size_t p = start < 0 ? 0 : static_cast<std::size_t>(start); p <= last; ++p)
    if (IsWordStart(text, p) && MatchesAt(word, text, p, wholeWord, yoAsYe)) return static_cast<int32_t>(p);
  return -1;
}
