#pragma once
// Windows-1251, the code page of every text in the core. Conversion to and from Unicode
// happens only at the edges (views, command line, TSV source); this codec serves them all.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace cp1251 {

// Unicode of the bytes 0x80..0xFF. 0x98 is unassigned; it maps to U+0098 as Windows does,
// so that every byte survives a round trip through Unicode.
inline constexpr std::array<char16_t, 128> kHighHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // F8
};

inline constexpr char32_t kInvalid = 0xFFFFFFFF;

constexpr char32_t ToUnicode(unsigned char byte) {
  return byte < 0x80 ? byte : kHighHalf[byte - 0x80];
}

// The byte for a code point, or -1 when the code page lacks it.
constexpr int FromUnicode(char32_t c) {
  if (c < 0x80) return static_cast<int>(c);
  if (c >= 0x0410 && c <= 0x044F) return static_cast<int>(c - 0x0410 + 0xC0);
  for (std::size_t i = 0; i < 0x40; ++i)
    if (kHighHalf[i] == c) return static_cast<int>(0x80 + i);
  return -1;
}

// Decodes one UTF-8 sequence at `pos` and moves past it; kInvalid (after one byte) for a
// malformed, overlong or surrogate sequence.
constexpr char32_t DecodeUtf8(std::string_view s, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(s[pos++]);
  if (lead < 0x80) return lead;
  int extra = lead >= 0xF0 && lead <= 0xF4 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 && lead < 0xE0 ? 1 : -1;
  if (extra < 0 || pos + extra > s.size()) return kInvalid;
  char32_t c = lead & (0x3F >> extra);
  for (int k = 0; k < extra; ++k) {
    const auto next = static_cast<unsigned char>(s[pos + k]);
    if ((next & 0xC0) != 0x80) return kInvalid;
    c = (c << 6) | (next & 0x3F);
  }
  constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
  if (c < kMin[extra] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return kInvalid;
  pos += extra;
  return c;
}

// The UTF-8 sequence of a code point, appended to `out`.
void AppendUtf8(std::string& out, char32_t c);

std::string ToUtf8(std::string_view text);

// What becomes of a character the code page lacks.
struct CConversion {
  bool transliterate = false;  // the letters Transliterated gives, where it gives any
  bool lossy = false;          // "?" for what is left, instead of stopping there
};

// Converts UTF-8 to Windows-1251 into `out`. Returns the offset in `utf8` of the first
// character the code page lacks and `how` does not write otherwise (or of a malformed
// sequence), or npos when all converted. With `how.lossy` the conversion goes on after it.
std::size_t FromUtf8(std::string_view utf8, std::string& out, CConversion how = {});
// The same as a value, with "?" for each character the code page lacks.
std::string FromUtf8Lossy(std::string_view utf8);
// Typed text (the search box, carro's words): transliterated where the table knows the letter, "?"
// for the rest.
std::string FromTypedText(std::string_view utf8);

// Number of characters in `utf8` before byte offset `offset`; for 1-based columns in messages.
std::size_t CharactersBefore(std::string_view utf8, std::size_t offset);

// The Windows-1251 bytes of a UTF-8 literal, computed by the compiler.
template <char... Utf8>
struct CLiteral {
  static constexpr char kUtf8[] = {Utf8..., '\0'};
  static constexpr std::string_view Source() { return {kUtf8, sizeof...(Utf8)}; }
  static constexpr std::size_t Size() {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < Source().size(); ++count) DecodeUtf8(Source(), pos);
    return count;
  }
  static constexpr std::array<char, Size() + 1> Convert() {
    std::array<char, Size() + 1> bytes{};
    std::size_t pos = 0;
    for (std::size_t i = 0; pos < Source().size(); ++i) {
      const int byte = FromUnicode(DecodeUtf8(Source(), pos));
      if (byte < 0) throw "character not in Windows-1251";  // fails the compilation
      bytes[i] = static_cast<char>(byte);
    }
    return bytes;
  }
  static constexpr auto kBytes = Convert();
};

}  // namespace cp1251

// "Текст"_cp: a UTF-8 source literal as Windows-1251 bytes, converted at compile time. The
// string literal operator template is a GNU extension that GCC and Clang share; Clang 14 crashes
// on the standard form with a class-type template parameter.
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wgnu-string-literal-operator-template"
#endif
template <typename Char, Char... Utf8>
constexpr std::string_view operator""_cp() {
  using Literal = cp1251::CLiteral<Utf8...>;
  return {Literal::kBytes.data(), Literal::kBytes.size() - 1};
}
#if defined(__clang__)
#pragma clang diagnostic pop
#endif
