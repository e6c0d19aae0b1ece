#include "formats/Glossary.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unordered_map>

#include "text/Html.h"

namespace {

// Language names as sources write them, lower case (Latin) or as written (Cyrillic, UTF-8).
bool Names(std::string_view name, std::initializer_list<std::string_view> names) {
  const std::string lower = AsciiLower(name);
  return std::any_of(names.begin(), names.end(), [&](std::string_view known) { return lower == known; });
}

// "en-US", "de_DE" and "en-GB" name their language by the part before the region.
std::string_view WithoutRegion(std::string_view name) {
  const std::size_t cut = name.find_first_of("-_");
  return cut == std::string_view::npos ? name : name.substr(0, cut);
}

}  // namespace

std::string DecodeEntity(std::string_view text, std::size_t& pos) {
  std::size_t end = text.substr(pos, 12).find(';');  // bounded: a text of '&' stays linear
  if (end == std::string_view::npos || end > 10 || end == 0) return {};
  end += pos;
  const std::string_view name = text.substr(pos, end - pos);
  static constexpr std::array<std::pair<std::string_view, char32_t>, 20> kNamed = {{
      {"amp", '&'},       {"lt", '<'},       {"gt", '>'},      {"quot", '"'},     {"apos", '\''},
      {"nbsp", 0xA0},     {"laquo", 0xAB},   {"raquo", 0xBB},  {"mdash", 0x2014}, {"ndash", 0x2013},
      {"hellip", 0x2026}, {"copy", 0xA9},    {"reg", 0xAE},    {"deg", 0xB0},     {"middot", 0xB7},
      {"bull", 0x2022},   {"trade", 0x2122}, {"euro", 0x20AC}, {"sect", 0xA7},    {"shy", 0xAD},
  }};
  char32_t c = 0;
  for (const auto& [known, value] : kNamed)
    if (name == known) c = value;
  if (c == 0 && name.size() > 1 && name[0] == '#') {
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 7 ||
        digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") != std::string_view::npos)
      return {};
    for (const char d : digits)
      c = c * (hex ? 16 : 10) + static_cast<char32_t>(d <= '9' ? d - '0' : (d | 0x20) - 'a' + 10);
    if (c == 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return {};
  }
  if (c == 0) return {};
  pos = end + 1;
  std::string utf8;
  cp1251::AppendUtf8(utf8, c);
  return utf8;
}

std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

std::string LinePlace(std::string_view file, uint64_t line) {
  return cp1251::FromUtf8Lossy(file) + std::string(", строка "_cp) + std::to_string(line);
}

std::string OffsetPlace(std::string_view file, uint64_t offset) {
  return cp1251::FromUtf8Lossy(file) + std::string(", смещение "_cp) + std::to_string(offset);
}

std::string SourceText(std::string_view utf8, std::string_view place, const CImportOptions& options) {
  std::string text;
  const std::size_t bad = cp1251::FromUtf8(utf8, text, options.how);
  if (bad == std::string_view::npos || options.how.lossy) return text;
  std::size_t pos = bad;
  const char32_t c = cp1251::DecodeUtf8(utf8, pos);
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
  throw CFormatError(
      std::string(place) +
      (c == cp1251::kInvalid
           ? std::string(": неверная последовательность UTF-8"_cp)
           : std::string(": символ "_cp) + code + std::string(" нельзя записать в Windows-1251"_cp)) +
      std::string(" (знак "_cp) + std::to_string(cp1251::CharactersBefore(utf8, bad) + 1) + ")");
}

std::string TranscriptionText(std::string_view utf8, std::string_view place, const CImportOptions& options,
                              CGlossary& glossary) {
  try {
    return SourceText(utf8, place, options);
  } catch (const CFormatError&) {
    ++glossary.transcriptionsLeftOut;
    return {};
  }
}

void LeaveSharedDefinitionsToHeads(CGlossary& glossary) {
  std::unordered_map<int32_t, std::size_t> positions;
  positions.reserve(glossary.articles.size());
  for (std::size_t n = 0; n < glossary.articles.size(); ++n)
    positions.try_emplace(glossary.articles[n].id, n);
  for (CGlossaryArticle& article : glossary.articles) {
    if (article.synonymGroup <= 0 || article.synonymGroup == article.id) continue;
    const auto head = positions.find(article.synonymGroup);
    if (head != positions.end() && glossary.articles[head->second].definition == article.definition)
      article.definition.clear();
  }
}

void SkipOrFail(CGlossary& glossary, const CImportOptions& options, std::string_view place,
                std::string_view reason) {
  if (!options.keepGoing) throw CFormatError(std::string(place) + ": " + std::string(reason));
  ++glossary.skipped[std::string(reason)];
}

int32_t LanguageFromName(std::string_view name) {
  const std::string_view language = WithoutRegion(name);
  if (Names(language, {"en", "eng", "english", "1033", "2057", "англ", "английский"}))
    return LanguageCode(CLanguage::English);
  if (Names(language, {"de", "deu", "ger", "german", "deutsch", "1031", "нем", "немецкий"}))
    return LanguageCode(CLanguage::German);
  return 0;
}

bool IsRussianName(std::string_view name) {
  return Names(WithoutRegion(name), {"ru", "rus", "russian", "1049", "рус", "русский"});
}

std::string ReadSourceFile(const std::string& path, std::size_t maxBytes) {
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  const std::string name = cp1251::FromUtf8Lossy(path);
  if (error || !std::filesystem::exists(status))
    throw CFormatError(std::string("Не удалось открыть файл "_cp) + name);
  if (!std::filesystem::is_regular_file(status))
    throw CFormatError(name + std::string(" не является обычным файлом"_cp));
  if (std::filesystem::file_size(path, error) > maxBytes || error)
    throw CFormatError(name + std::string(": файл слишком велик"_cp));
  std::ifstream in(path, std::ios::binary);
  std::string bytes;
  bytes.resize(static_cast<std::size_t>(std::filesystem::file_size(path, error)));
  if (!in || !in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())))
    throw CFormatError(std::string("Не удалось прочитать файл "_cp) + name);
  return bytes;
}

std::string MarkupOfText(std::string_view cp1251Text) {
  std::string markup = EscapeHtml(cp1251Text);
  std::string out;
  out.reserve(markup.size());
  for (const char c : markup) {
    if (c == '\n')
      out += "<br>";
    else if (c != '\r')
      out += c;
  }
  return out;
}

std::vector<CMarkupRun> MarkupRuns(std::string_view html) {
  std::vector<CMarkupRun> runs;
  int bold = 0;
  int italic = 0;
  auto text = [&]() -> std::string& {
    if (runs.empty() || runs.back().lineBreak || runs.back().bold != (bold > 0) ||
        runs.back().italic != (italic > 0))
      runs.push_back({.text = {}, .bold = bold > 0, .italic = italic > 0});
    return runs.back().text;
  };
  // Once no '>' follows, none follows any later '<' either: searching again would be quadratic.
  bool noTagEnd = false;
  for (std::size_t pos = 0; pos < html.size();) {
    const char c = html[pos];
    if (c == '<') {
      const std::size_t end = noTagEnd ? std::string_view::npos : html.find('>', pos);
      if (end == std::string_view::npos) {
        noTagEnd = true;
        text() += '<';
        ++pos;
        continue;
      }
      std::string tag = AsciiLower(html.substr(pos + 1, end - pos - 1));
      pos = end + 1;
      const bool closing = !tag.empty() && tag[0] == '/';
      if (closing) tag.erase(0, 1);
      tag = tag.substr(0, tag.find_first_of(" \t\r\n/"));
      if (tag == "b" || tag == "strong") {
        bold = std::max(0, bold + (closing ? -1 : 1));
      } else if (tag == "i" || tag == "em") {
        italic = std::max(0, italic + (closing ? -1 : 1));
      } else if (tag == "br" || tag == "p" || tag == "div" || tag == "li" || tag == "tr") {
        if (!runs.empty() && !runs.back().lineBreak) runs.push_back({.text = {}, .lineBreak = true});
      }
    } else if (c == '&') {
      std::size_t next = pos + 1;
      const std::string decoded = DecodeEntity(html, next);
      text() += decoded.empty() ? std::string("&") : decoded;
      pos = decoded.empty() ? pos + 1 : next;
    } else {
      const std::size_t end = html.find_first_of("<&", pos);
      const std::string_view plain =
          html.substr(pos, end == std::string_view::npos ? html.size() - pos : end - pos);
      text() += cp1251::ToUtf8(plain);
      pos += plain.size();
    }
  }
  while (!runs.empty() && runs.back().lineBreak) runs.pop_back();
  return runs;
}

std::string PlainText(std::string_view html) {
  std::string text;
  for (const CMarkupRun& run : MarkupRuns(html)) text += run.lineBreak ? std::string("\n") : run.text;
  return text;
}
