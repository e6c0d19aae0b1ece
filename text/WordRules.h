#pragma once
// The word matching rules shared by the variants lookup, the search and the highlighting.
// IsWordLetter and FoldLetter sit in the innermost loop of every scan: plain byte comparisons.

#include <array>
#include <cstdint>
#include <string_view>

constexpr bool IsWordLetter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 0xC0 || c == 0xA8 || c == 0xB8;
}

// Folds Latin and Russian case (ё included); Е and Ё stay different letters.
constexpr unsigned char FoldLetter(unsigned char c) {
  if (c >= 0xE0 || (c >= 0x61 && c <= 0x7A)) return static_cast<unsigned char>(c - 0x20);
  return c == 0xB8 ? 0xA8 : c;
}

// The same, with е and ё taken as one letter where `yoAsYe` asks for it: Ё, ё, Е and е all fold to Е.
constexpr unsigned char FoldLetter(unsigned char c, bool yoAsYe) {
  const unsigned char folded = FoldLetter(c);
  return yoAsYe && folded == 0xA8 ? 0xC5 : folded;
}

// The two rules as tables, for loops over every byte of a text: kFoldedLetters[yoAsYe][c].
inline constexpr std::array<bool, 256> kWordLetters = [] {
  std::array<bool, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = IsWordLetter(static_cast<unsigned char>(c));
  return table;
}();
inline constexpr std::array<std::array<unsigned char, 256>, 2> kFoldedLetters = [] {
  std::array<std::array<unsigned char, 256>, 2> tables{};
  for (int c = 0; c < 256; ++c)
    for (const bool yoAsYe : {false, true})
      tables[yoAsYe][c] = FoldLetter(static_cast<unsigned char>(c), yoAsYe);
  return tables;
}();

constexpr bool IsWordStart(std::string_view text, std::size_t pos) {
  return pos == 0 || !IsWordLetter(static_cast<unsigned char>(text[pos - 1]));
}

// Whether `word` occurs in `text` at `pos` (a word start is not checked here).
constexpr bool MatchesAt(std::string_view word, std::string_view text, std::size_t pos, bool wholeWord,
                         bool yoAsYe = false) {
  if (pos + word.size() > text.size()) return false;
  for (std::size_t k = 0; k < word.size(); ++k)
    if (FoldLetter(static_cast<unsigned char>(text[pos + k]), yoAsYe) !=
        FoldLetter(static_cast<unsigned char>(word[k]), yoAsYe))
      return false;
  const std::size_t end = pos + word.size();
  return !wholeWord || end == text.size() || !IsWordLetter(static_cast<unsigned char>(text[end]));
}
