#include "text/WordRules.h"

#include <gtest/gtest.h>

#include "text/Cp1251.h"

namespace {

// The letters of words are the Latin and the Russian alphabet, as Unicode names them.
bool IsLatinOrRussianLetter(char32_t c) {
  return (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') || (c >= U'А' && c <= U'я') || c == U'Ё' ||
         c == U'ё';
}

TEST(WordRules, LettersAreLatinAndRussianOnly) {
  for (int byte = 0; byte < 256; ++byte) {
    const auto c = static_cast<unsigned char>(byte);
    EXPECT_EQ(IsWordLetter(c), IsLatinOrRussianLetter(cp1251::ToUnicode(c))) << byte;
  }
  // Ukrainian and Belarusian letters, digits and signs end a word.
  for (const char32_t other : {U'і', U'ї', U'є', U'ў', U'ґ', U'0', U'-', U' ', U'\''})
    EXPECT_FALSE(IsWordLetter(static_cast<unsigned char>(cp1251::FromUnicode(other)))) << int(other);
}

TEST(WordRules, FoldingJoinsCasePairsButKeepsЁApart) {
  EXPECT_EQ(FoldLetter('a'), 'A');
  EXPECT_EQ(FoldLetter('Z'), 'Z');
  EXPECT_EQ(FoldLetter(0xFF), 0xDF);              // я
  EXPECT_EQ(FoldLetter(0xE0), 0xC0);              // а
  EXPECT_EQ(FoldLetter(0xB8), 0xA8);              // ё
  EXPECT_NE(FoldLetter(0xA8), FoldLetter(0xC5));  // Ё, Е
  EXPECT_EQ(FoldLetter(0xB3), 0xB3);              // і stays
  EXPECT_EQ(FoldLetter('1'), '1');
}

}  // namespace
