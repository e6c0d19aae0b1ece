#pragma once
// What a user may have meant when a search found nothing: the text with е and ё exchanged, its words
// in their dictionary forms (and the headwords that hold those forms), and headwords a slip of the
// keyboard away. Every suggestion is made of words that stand together in one headword, so it finds
// something whatever the search settings.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "dictionary/Dictionary.h"
#include "suggest/WordForms.h"

class CSuggester {
 public:
  static constexpr std::size_t kMaxSuggestions = 10;
  // Longer texts, texts of more words and longer words get no suggestions: nobody types them by hand.
  static constexpr std::size_t kMaxTypedBytes = 200;
  static constexpr std::size_t kMaxTypedWords = 6;
  static constexpr std::size_t kMaxWordBytes = 40;

  // `dictionary` must outlive the suggester. Nothing is read or loaded before the first question.
  explicit CSuggester(const CDictionary& dictionary, CWordForms forms = CWordForms());

  // Up to kMaxSuggestions texts (Windows-1251), best first, for `typed`, which found nothing.
  // `yoAsYe`: the setting that takes е and ё as one letter is on, so exchanging them finds nothing new.
  std::vector<std::string> For(std::string_view typed, bool yoAsYe);

  // What the suggestions keep besides the dictionary, for the memory benchmark.
  std::size_t HeldBytes() const;

 private:
  // A word of the headwords, spelt one way (case folded, е and ё apart), and where it stands: places
  // are position × 2 + 0 for the translation, 1 for the term, in order.
  struct CEntry {
    uint32_t keyOffset;
    uint32_t keyLength;
    uint32_t firstPlace;
    uint32_t placeCount;
    uint64_t letterBins;  // a bit for each letter it holds: a cheap bound on the typing distance
  };
  // An entry that may stand for a typed word: the word itself, the word with е and ё exchanged, one of
  // its forms, or a slip `cost` edits away.
  enum class CKind : int8_t { Same, Yo, Form, Slip };
  struct CCandidate {
    uint32_t entry;
    CKind kind;
    int8_t cost;
  };

  void BuildVocabulary();
  std::string_view Key(const CEntry& entry) const;
  std::string Spelling(const CEntry& entry) const;
  std::vector<CCandidate> CandidatesFor(std::string_view word, bool yoAsYe);
  void AddForms(std::string_view word, std::vector<CCandidate>& found);
  void AddSlips(std::string_view key, std::vector<CCandidate>& found) const;
  const std::vector<std::string>& StemKeysOf(uint32_t entry);
  std::vector<std::string> PhrasesFor(const std::vector<std::vector<CCandidate>>& perWord) const;

  const CDictionary& dictionary;
  CWordForms forms;
  bool built = false;
  std::string keys;
  std::vector<CEntry> entries;  // sorted by key with е and ё as one, then by key
  std::vector<uint32_t> places;
  std::unordered_map<uint32_t, std::vector<std::string>> stemKeys;  // filled as forms are asked for
};
