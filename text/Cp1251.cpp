#include "text/Cp1251.h"

#include "text/Transliteration.h"

namespace cp1251 {

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (const char ch : text) AppendUtf8(out, ToUnicode(static_cast<unsigned char>(ch)));
  return out;
}

std::size_t FromUtf8(std::string_view utf8, std::string& out, CConversion how) {
  out.clear();
  out.reserve(utf8.size());
  std::size_t firstBad = std::string_view::npos;
  for (std::size_t pos = 0; pos < utf8.size();) {
    const std::size_t start = pos;
    const char32_t c = DecodeUtf8(utf8, pos);
    const int byte = c == kInvalid ? -1 : FromUnicode(c);
    if (byte >= 0) {
      out += static_cast<char>(byte);
      continue;
    }
    if (const std::string_view letters = how.transliterate ? Transliterated(c) : std::string_view();
        !letters.empty()) {
      out += letters;
      continue;
    }
    if (firstBad == std::string_view::npos) firstBad = start;
    if (!how.lossy) return firstBad;
    out += '?';
  }
  return firstBad;
}

std::string FromUtf8Lossy(std::string_view utf8) {
  std::string text;
  FromUtf8(utf8, text, {.lossy = true});
  return text;
}

std::string FromTypedText(std::string_view utf8) {
  std::string text;
  FromUtf8(utf8, text, {.transliterate = true, .lossy = true});
  return text;
}

std::size_t CharactersBefore(std::string_view utf8, std::size_t offset) {
  std::size_t count = 0;
  for (std::size_t pos = 0; pos < offset && pos < utf8.size(); ++count) DecodeUtf8(utf8, pos);
  return count;
}

}  // namespace cp1251
