#pragma once
// Upper-casing of Windows-1251 text, as the query words need it: every lower-case letter of
// the code page becomes its capital, Latin, Russian and the other Cyrillic letters alike.

#include <array>
#include <string>
#include <string_view>

inline constexpr std::array<unsigned char, 256> kUpperCp1251 = [] {
  std::array<unsigned char, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = static_cast<unsigned char>(c);
  for (int c = 'a'; c <= 'z'; ++c) table[c] = static_cast<unsigned char>(c - 0x20);
  for (int c = 0xE0; c <= 0xFF; ++c) table[c] = static_cast<unsigned char>(c - 0x20);
  // lower, upper: ё і ї є ў ґ ђ ѓ љ њ ќ ћ џ ј ѕ
  constexpr unsigned char kPairs[][2] = {{0xB8, 0xA8}, {0xB3, 0xB2}, {0xBF, 0xAF}, {0xBA, 0xAA},
                                         {0xA2, 0xA1}, {0xB4, 0xA5}, {0x90, 0x80}, {0x83, 0x81},
                                         {0x9A, 0x8A}, {0x9C, 0x8C}, {0x9D, 0x8D}, {0x9E, 0x8E},
                                         {0x9F, 0x8F}, {0xBC, 0xA3}, {0xBE, 0xBD}};
  for (const auto& pair : kPairs) table[pair[0]] = pair[1];
  return table;
}();

inline std::string ToUpperCp1251(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(kUpperCp1251[static_cast<unsigned char>(c)]);
  return upper;
}
