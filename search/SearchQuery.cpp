#include "search/SearchQuery.h"

#include <algorithm>

#include "text/CaseTable.h"

CSearchQuery::CSearchQuery(std::string_view typed, bool fullWords, bool allWords, bool foldYo)
    : yoAsYe(foldYo) {
  const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
  while (!typed.empty() && isBlank(typed.front())) typed.remove_prefix(1);
  while (!typed.empty() && isBlank(typed.back())) typed.remove_suffix(1);
  text = typed;
  // Only the space separates words: tabs, commas and hyphens stay inside their token.
  for (std::size_t pos = 0; pos < typed.size();) {
    const std::size_t end = std::min(typed.find(' ', pos), typed.size());
    if (end > pos) AddWord(typed.substr(pos, end - pos), fullWords, allWords);
    pos = end + 1;
  }
}

void CSearchQuery::AddWord(std::string_view token, bool fullWords, bool allWords) {
  bool isRequired = allWords;
  if (token.starts_with('+')) {
    token.remove_prefix(1);
    isRequired = true;
    // A lone "+" marks nothing: it would otherwise become an empty word that finds everything.
    if (token.empty()) return;
  }
  bool isWhole = fullWords || token.size() <= 2;
  if (token.ends_with('*')) {
    token.remove_suffix(1);
    isWhole = false;
  }
  words.push_back(ToUpperCp1251(token));
  wholeWord.push_back(isWhole);
  required.push_back(isRequired);
}

void CSearchQuery::AddParsedWord(std::string word, bool isWhole, bool isRequired) {
  words.push_back(std::move(word));
  wholeWord.push_back(isWhole);
  required.push_back(isRequired);
}
