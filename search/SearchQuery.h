#pragma once
// A search box text as query words, each with its whole-word and required flags.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CSearchQuery {
 public:
  CSearchQuery() = default;
  // `fullWords`: unmarked words match only whole words; `allWords`: unmarked words are required;
  // `yoAsYe`: е and ё count as one letter in the search, its ranking and its highlighting.
  CSearchQuery(std::string_view text, bool fullWords, bool allWords, bool yoAsYe = false);

  void AddWord(std::string_view token, bool fullWords, bool allWords);
  // A word as it stands in a query already made (upper-cased, markers removed), with its flags.
  void AddParsedWord(std::string word, bool isWhole, bool isRequired);
  // A query made again from what it holds: its text and its е/ё setting, then AddParsedWord for its words.
  static CSearchQuery Kept(std::string keptText, bool foldYo) {
    CSearchQuery query;
    query.text = std::move(keptText);
    query.yoAsYe = foldYo;
    return query;
  }

  int32_t WordCount() const { return static_cast<int32_t>(words.size()); }
  const std::string& Word(int32_t i) const { return words[i]; }
  bool WholeWord(int32_t i) const { return wholeWord[i]; }
  bool Required(int32_t i) const { return required[i]; }
  void SetWholeWord(int32_t i, bool value) { wholeWord[i] = value; }
  const std::string& Text() const { return text; }
  bool YoAsYe() const { return yoAsYe; }

  bool operator==(const CSearchQuery&) const = default;

 private:
  std::vector<std::string> words;  // upper-cased, markers removed
  std::vector<bool> wholeWord;
  std::vector<bool> required;
  std::string text;  // trimmed, otherwise as typed
  bool yoAsYe = false;
};
