#include <gtest/gtest.h>

#include <iconv.h>

#include <clocale>
#include <cwctype>

#include "text/CaseTable.h"
#include "text/Cp1251.h"

namespace {

// iconv's reading of one byte, or nothing where it has none.
std::optional<std::string> IconvToUtf8(unsigned char byte) {
  iconv_t converter = iconv_open("UTF-8", "CP1251");
  char in[1] = {static_cast<char>(byte)};
  char out[8] = {};
  char* inPointer = in;
  char* outPointer = out;
  std::size_t inLeft = 1;
  std::size_t outLeft = sizeof out;
  const std::size_t result = iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft);
  iconv_close(converter);
  if (result == static_cast<std::size_t>(-1)) return std::nullopt;
  return std::string(out, sizeof out - outLeft);
}

TEST(Cp1251, EveryByteDecodesAsIconvDecodesIt) {
  int compared = 0;
  for (int byte = 0; byte < 256; ++byte) {
    const std::string ours = cp1251::ToUtf8(std::string(1, static_cast<char>(byte)));
    const auto reference = IconvToUtf8(static_cast<unsigned char>(byte));
    if (!reference) {
      // The one unassigned byte keeps a code point of its own, as on Windows.
      EXPECT_EQ(byte, 0x98);
      EXPECT_EQ(ours, "\xC2\x98");
      continue;
    }
    EXPECT_EQ(ours, *reference) << "byte " << byte;
    ++compared;
  }
  EXPECT_EQ(compared, 255);
}

TEST(Cp1251, EveryByteSurvivesARoundTrip) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
  std::string back;
  EXPECT_EQ(cp1251::FromUtf8(cp1251::ToUtf8(all), back), std::string_view::npos);
  EXPECT_EQ(back, all);
}

TEST(Cp1251, ReportsWhereTheFirstMissingCharacterIs) {
  std::string out;
  EXPECT_EQ(cp1251::FromUtf8("ab\xCA\x83z\xCA\x83", out), 2u);
  EXPECT_EQ(cp1251::FromUtf8("ab\xCA\x83z\xCA\x83", out, {.lossy = true}), 2u);
  EXPECT_EQ(out, "ab?z?");
  EXPECT_EQ(cp1251::FromUtf8("ok\xC3", out, {.lossy = true}), 2u);  // cut sequence
  EXPECT_EQ(out, "ok?");
  EXPECT_EQ(cp1251::FromUtf8("\xE0\x80\x80", out), 0u);  // overlong
  EXPECT_EQ(cp1251::FromUtf8("\xED\xA0\x80", out), 0u);  // surrogate
  EXPECT_EQ(cp1251::CharactersBefore("ёж\xCA\x83", 4), 2u);
}

TEST(Cp1251, LiteralsAreConvertedAtCompileTime) {
  static_assert("Ёж №1"_cp ==
                "\xA8\xE6 \xB9"
                "1");
  EXPECT_EQ("«Тормоз»"_cp, "\xAB\xD2\xEE\xF0\xEC\xEE\xE7\xBB");
}

TEST(CaseTable, UpperCasesEveryLetterAsUnicodeDoes) {
  ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
  for (int byte = 0; byte < 256; ++byte) {
    const auto upper = static_cast<char32_t>(std::towupper(static_cast<wint_t>(cp1251::ToUnicode(byte))));
    const int expected = cp1251::FromUnicode(upper);
    EXPECT_EQ(kUpperCp1251[byte], expected < 0 ? byte : expected) << "byte " << byte;
  }
  std::setlocale(LC_CTYPE, "C");
  EXPECT_EQ(ToUpperCp1251("ёж, їжак, ґанок, џ, ѕ: brake"_cp), "ЁЖ, ЇЖАК, ҐАНОК, Џ, Ѕ: BRAKE"_cp);
}

}  // namespace
