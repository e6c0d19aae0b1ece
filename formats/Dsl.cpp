#include "formats/Dsl.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <numeric>
#include <optional>
#include <tuple>
#include <unordered_map>

#include "formats/Dictzip.h"
#include "text/Html.h"

namespace {

constexpr std::size_t kMaxTagDepth = 32;
// A large synonym group lists at most this many cards in each of its cards' synonym lines; every card
// still names the first, so the group holds together while the file grows linearly.
constexpr std::size_t kMaxListedSynonyms = 32;
// UTF-8, as the decoded text is.
constexpr std::string_view kSeeAlsoLabel = "См. также: ";
constexpr std::string_view kSynonymsLabel = "Синонимы: ";

// ---------------------------------------------------------------------------------------------------
// Text helpers

bool IsBlankChar(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlankChar(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlankChar(text.back())) text.remove_suffix(1);
  return text;
}

bool IsBlank(std::string_view text) {
  return std::all_of(text.begin(), text.end(), IsBlankChar);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

[[noreturn]] void FailAtOffset(std::string_view file, uint64_t offset, std::string_view reason) {
  throw CFormatError(OffsetPlace(file, offset) + ": " + std::string(reason));
}

// ---------------------------------------------------------------------------------------------------
// Encodings

std::string Utf16Text(std::string_view bytes, std::size_t start, bool bigEndian, std::string_view file) {
  if ((bytes.size() - start) % 2 != 0) FailAtOffset(file, bytes.size() - 1, "нечётная длина файла UTF-16"_cp);
  auto unit = [&](std::size_t at) {
    const auto first = static_cast<unsigned char>(bytes[at]);
    const auto second = static_cast<unsigned char>(bytes[at + 1]);
    return bigEndian ? static_cast<char32_t>(first << 8 | second)
                     : static_cast<char32_t>(second << 8 | first);
  };
  std::string text;
  text.reserve(bytes.size() - start);
  for (std::size_t at = start; at < bytes.size(); at += 2) {
    char32_t c = unit(at);
    if (c >= 0xD800 && c <= 0xDBFF) {
      const char32_t low = at + 2 < bytes.size() ? unit(at + 2) : 0;
      if (low < 0xDC00 || low > 0xDFFF) FailAtOffset(file, at, "непарный суррогат UTF-16"_cp);
      c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
      at += 2;
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      FailAtOffset(file, at, "непарный суррогат UTF-16"_cp);
    } else if (c == 0) {
      FailAtOffset(file, at, "нулевой символ"_cp);
    }
    cp1251::AppendUtf8(text, c);
  }
  return text;
}

// Windows-1252 where it differs from Latin-1.
constexpr std::array<char16_t, 32> kCp1252Controls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::string SingleByteText(std::string_view bytes, bool cp1252, std::string_view file) {
  std::string text;
  text.reserve(bytes.size() * 2);
  for (std::size_t at = 0; at < bytes.size(); ++at) {
    const auto byte = static_cast<unsigned char>(bytes[at]);
    if (byte == 0) FailAtOffset(file, at, "нулевой символ"_cp);
    if (!cp1252)
      cp1251::AppendUtf8(text, cp1251::ToUnicode(byte));
    else
      cp1251::AppendUtf8(text, byte >= 0x80 && byte < 0xA0 ? kCp1252Controls[byte - 0x80] : byte);
  }
  return text;
}

// The offset of the first byte that is not well-formed UTF-8 (a zero byte counts), or npos.
std::size_t FirstBadUtf8(std::string_view text, std::size_t start) {
  for (std::size_t pos = start; pos < text.size();) {
    const std::size_t at = pos;
    if (text[pos] == '\0' || cp1251::DecodeUtf8(text, pos) == cp1251::kInvalid) return at;
  }
  return std::string_view::npos;
}

// "#NAME  "value"" -> {NAME, value}; quotes around the value are dropped.
std::pair<std::string_view, std::string_view> HeaderOfLine(std::string_view line) {
  line = Trimmed(line.substr(1));
  std::size_t cut = 0;
  while (cut < line.size() && !IsBlankChar(line[cut])) ++cut;
  const std::string_view name = line.substr(0, cut);
  std::string_view value = Trimmed(line.substr(cut));
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
    value = value.substr(1, value.size() - 2);
  return {name, value};
}

// The value of a header among the "#" lines that open the file.
std::string_view HeaderValue(std::string_view text, std::string_view name) {
  for (std::size_t pos = 0; pos < text.size();) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (IsBlank(line)) continue;
    if (line[0] != '#') break;
    const auto [header, value] = HeaderOfLine(line);
    if (EqualsIgnoringCase(header, name)) return value;
  }
  return {};
}

bool NamesOne(std::string_view value, std::initializer_list<std::string_view> names) {
  return std::any_of(names.begin(), names.end(),
                     [&](std::string_view name) { return EqualsIgnoringCase(value, name); });
}

// The file as UTF-8: a byte-order mark decides; without one, zero high bytes mean UTF-16, and an 8-bit
// file is UTF-8 unless #SOURCE_CODE_PAGE names Windows-1251 or it is not UTF-8 at all.
std::string DecodedText(std::string_view bytes, std::string_view file) {
  auto byteAt = [&](std::size_t at) {
    return at < bytes.size() ? static_cast<unsigned char>(bytes[at]) : -1;
  };
  if (byteAt(0) == 0xFF && byteAt(1) == 0xFE) return Utf16Text(bytes, 2, false, file);
  if (byteAt(0) == 0xFE && byteAt(1) == 0xFF) return Utf16Text(bytes, 2, true, file);
  const bool utf8Mark = byteAt(0) == 0xEF && byteAt(1) == 0xBB && byteAt(2) == 0xBF;
  if (!utf8Mark && bytes.size() >= 2) {
    if (byteAt(0) != 0 && byteAt(1) == 0) return Utf16Text(bytes, 0, false, file);
    if (byteAt(0) == 0 && byteAt(1) != 0) return Utf16Text(bytes, 0, true, file);
  }
  const std::size_t start = utf8Mark ? 3 : 0;
  const std::string_view codePage = HeaderValue(bytes.substr(start), "SOURCE_CODE_PAGE");
  const bool cp1251 = NamesOne(codePage, {"Cyrillic", "Russian", "1251", "Windows-1251", "cp1251"});
  if (cp1251 && !utf8Mark) return SingleByteText(bytes, false, file);
  const std::size_t bad = FirstBadUtf8(bytes, start);
  if (bad == std::string_view::npos) return std::string(bytes.substr(start));
  if (bytes[bad] == '\0') FailAtOffset(file, bad, "нулевой символ"_cp);
  if (!utf8Mark) {
    if (NamesOne(codePage, {"Latin", "Western", "1252", "Windows-1252", "cp1252"}))
      return SingleByteText(bytes, true, file);
    if (!codePage.empty())
      FailAtOffset(file, bad,
                   std::string("неверная последовательность UTF-8, а кодовая страница \""_cp) +
                       cp1251::FromUtf8Lossy(codePage) + std::string("\" не поддерживается"_cp));
    // An 8-bit file with Russian in it and no code page named can only be Windows-1251.
    if (IsRussianName(HeaderValue(bytes, "INDEX_LANGUAGE")) ||
        IsRussianName(HeaderValue(bytes, "CONTENTS_LANGUAGE")))
      return SingleByteText(bytes, false, file);
  }
  FailAtOffset(file, bad, "неверная последовательность UTF-8"_cp);
}

// {{comments}} removed, their line feeds kept so that lines keep their numbers.
std::string WithoutComments(std::string text, std::string_view file) {
  if (text.find("{{") == std::string::npos) return text;
  std::string out;
  out.reserve(text.size());
  uint64_t line = 1;
  for (std::size_t pos = 0; pos < text.size();) {
    const char c = text[pos];
    if (c == '\\' && pos + 1 < text.size() && text[pos + 1] != '\n') {
      out += c;
      out += text[pos + 1];
      pos += 2;
      continue;
    }
    if (c == '{' && pos + 1 < text.size() && text[pos + 1] == '{') {
      const std::size_t end = text.find("}}", pos + 2);
      if (end == std::string::npos)
        throw CFormatError(LinePlace(file, line) + std::string(": незакрытый комментарий {{"_cp));
      for (std::size_t at = pos; at < end; ++at)
        if (text[at] == '\n') {
          out += '\n';
          ++line;
        }
      pos = end + 2;
      continue;
    }
    if (c == '\n') ++line;
    out += c;
    ++pos;
  }
  return out;
}

// ---------------------------------------------------------------------------------------------------
// Reading

// Text with \x escapes resolved.
std::string Unescaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size(); ++pos) {
    if (text[pos] == '\\' && pos + 1 < text.size()) ++pos;
    out += text[pos];
  }
  return out;
}

// The headword as shown: escapes resolved, {unsorted parts} kept without their braces and tags.
std::string VisibleHeadword(std::string_view line) {
  std::string out;
  int braces = 0;
  std::size_t close = line.find(']');
  for (std::size_t pos = 0; pos < line.size(); ++pos) {
    const char c = line[pos];
    if (c == '\\' && pos + 1 < line.size()) {
      out += line[++pos];
    } else if (c == '{') {
      ++braces;
    } else if (c == '}') {
      braces = std::max(0, braces - 1);
    } else if (c == '[' && braces > 0) {
      if (close != std::string_view::npos && close < pos) close = line.find(']', pos);
      if (close == std::string_view::npos)
        out += c;
      else
        pos = close;
    } else {
      out += c;
    }
  }
  return std::string(Trimmed(out));
}

// A line the writer makes: LABEL[ref]x[/ref], [ref]y[/ref] in an optional [mN]…[/m]; the texts of its
// refs are appended to `items`.
bool ReadLabelledRefs(std::string_view line, std::string_view label, std::vector<std::string>& items) {
  if (line.starts_with("[m")) {
    const std::size_t end = line.find(']');
    if (end == std::string_view::npos || end > 3) return false;
    line.remove_prefix(end + 1);
  }
  if (line.ends_with("[/m]"))
    line.remove_suffix(4);
  else if (line.size() >= 5 && line.ends_with("]") && line.substr(line.size() - 5, 3) == "[/m")
    line.remove_suffix(5);
  if (!line.starts_with(label)) return false;
  line.remove_prefix(label.size());
  std::vector<std::string> found;
  while (true) {
    if (!line.starts_with("[ref]")) return false;
    line.remove_prefix(5);
    const std::size_t end = line.find("[/ref]");
    if (end == std::string_view::npos) return false;
    const std::string_view text = line.substr(0, end);
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
      if (text[pos] == '\\')
        ++pos;
      else if (text[pos] == '[' || text[pos] == ']' || text[pos] == '~' ||
               (text[pos] == '<' && pos + 1 < text.size() && text[pos + 1] == '<'))
        return false;
    }
    found.push_back(Unescaped(text));
    line.remove_prefix(end + 6);
    if (line.empty()) break;
    if (!line.starts_with(", ")) return false;
    line.remove_prefix(2);
  }
  for (std::string& item : found) items.push_back(std::move(item));
  return true;
}

enum class CTag {
  Bold,
  Italic,
  Translation,
  Transcription,
  Ref,
  Media,
  Label,  // labels, comments, examples, secondary text: shown, but no translation is taken from them
  Other,  // shown as text
};

std::optional<CTag> TagOfName(std::string_view name) {
  static const std::unordered_map<std::string_view, CTag> kTags = {
      {"b", CTag::Bold},     {"i", CTag::Italic},   {"trn", CTag::Translation}, {"t", CTag::Transcription},
      {"ref", CTag::Ref},    {"s", CTag::Media},    {"video", CTag::Media},     {"p", CTag::Label},
      {"com", CTag::Label},  {"ex", CTag::Label},   {"*", CTag::Label},         {"u", CTag::Other},
      {"c", CTag::Other},    {"!trs", CTag::Other}, {"lang", CTag::Other},      {"sup", CTag::Other},
      {"sub", CTag::Other},  {"url", CTag::Other},  {"'", CTag::Other},         {"preview", CTag::Other},
      {"trn1", CTag::Other},
  };
  const auto it = kTags.find(name);
  return it == kTags.end() ? std::nullopt : std::optional<CTag>(it->second);
}

bool IsMarginName(std::string_view name) {
  return name == "m" || (name.size() == 2 && name[0] == 'm' && name[1] >= '0' && name[1] <= '9');
}

// A fault of one card: the line and the reason.
struct CCardError {
  uint64_t line;
  std::string reason;
};

// One shown line of a card body.
struct CBodyLine {
  std::string markup;  // page markup, UTF-8
  std::string plain;   // text a translation may be taken from
  bool hasText = false;
  bool labelText = false;       // text inside labels, comments, examples
  bool textOutsideTrn = false;  // text other than the first [trn]'s
  bool holdsTrn = false;        // the first [trn] opens and closes on this line
  int balance = 0;              // <b>/<i> opened minus closed
  bool closesEarlier = false;   // closes a tag of an earlier line
  bool Balanced() const { return balance == 0 && !closesEarlier; }
};

struct COpenTag {
  CTag tag;
  std::string name;
  uint64_t line;
};

// The body of one card as it is read.
class CCardBody {
 public:
  void Reset(std::string_view headword) {
    tilde = headword;
    lines.clear();
    open.clear();
    haveTrn = capturingTrn = false;
    trn.clear();
    transcription.clear();
    seeAlso.clear();
    synonyms.clear();
    inTranscription = inMedia = inRef = inLabel = 0;
  }

  void Line(std::string_view text, uint64_t number) {
    text = Trimmed(text);
    if (text.empty()) return;
    if (ReadLabelledRefs(text, kSynonymsLabel, synonyms) || ReadLabelledRefs(text, kSeeAlsoLabel, seeAlso))
      return;
    if (text[0] == '@') text = Trimmed(text.substr(1));  // a sub-entry's mark; its text stays in the body
    NewLine();
    std::string pending;
    std::size_t close = text.find(']');
    std::size_t refEnd = text.find(">>");
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
      const char c = text[pos];
      if (c == '\\' && pos + 1 < text.size()) {
        pending += text[++pos];
      } else if (c == '~') {
        pending += tilde;
      } else if (c == '[') {
        if (close != std::string_view::npos && close < pos) close = text.find(']', pos);
        if (close == std::string_view::npos || !Tag(text.substr(pos + 1, close - pos - 1), number, pending)) {
          pending += c;
        } else {
          pos = close;
        }
      } else if (c == '<' && pos + 1 < text.size() && text[pos + 1] == '<') {
        if (refEnd != std::string_view::npos && refEnd < pos + 2) refEnd = text.find(">>", pos + 2);
        if (refEnd == std::string_view::npos) {
          pending += c;
        } else {
          Emit(pending);
          pending = Unescaped(text.substr(pos + 2, refEnd - pos - 2));
          Emit(pending);
          seeAlso.push_back(pending);
          pending.clear();
          pos = refEnd + 1;
        }
      } else {
        pending += c;
      }
    }
    Emit(pending);
  }

  void End() {
    if (!open.empty())
      throw CCardError{open.back().line, std::string("незакрытый тег ["_cp) + open.back().name + "]"};
  }

  // The translation (the first [trn], else the first phrase of the first line) and the definition
  // without a line that holds only that translation.
  void Finish(std::string& translation, std::string& definition) {
    std::size_t dropped = lines.size();
    if (haveTrn) {
      translation = std::string(Trimmed(trn));
      for (std::size_t n = 0; n < lines.size(); ++n)
        if (lines[n].holdsTrn && !lines[n].textOutsideTrn && lines[n].Balanced()) dropped = n;
    } else {
      translation.clear();
      for (std::size_t n = 0; n < lines.size(); ++n) {
        if (IsBlank(lines[n].plain)) continue;
        translation = FirstPhrase(lines[n].plain);
        if (!lines[n].labelText && translation == Trimmed(lines[n].plain) && lines[n].Balanced()) dropped = n;
        break;
      }
    }
    definition.clear();
    std::string carried;  // tags of lines without text, kept for the balance of the rest
    bool first = true;
    for (std::size_t n = 0; n < lines.size(); ++n) {
      if (n == dropped) continue;
      if (!lines[n].hasText) {
        if (!lines[n].Balanced()) carried += lines[n].markup;
        continue;
      }
      if (!first) definition += "<br>";
      first = false;
      definition += carried;
      carried.clear();
      definition += lines[n].markup;
    }
    definition += carried;
  }

  std::vector<std::string> transcription;
  std::vector<std::string> seeAlso;
  std::vector<std::string> synonyms;

 private:
  // "1) тормоз, торможение" -> "тормоз".
  static std::string FirstPhrase(std::string_view text) {
    text = Trimmed(text);
    std::size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
    if (digits > 0 && digits < text.size() && (text[digits] == ')' || text[digits] == '.'))
      text = Trimmed(text.substr(digits + 1));
    return std::string(Trimmed(text.substr(0, text.find_first_of(",;("))));
  }

  void NewLine() {
    // A line that shows nothing and holds no translation is taken over by the next.
    if (lines.empty() || !lines.back().markup.empty() || lines.back().holdsTrn) lines.emplace_back();
  }

  void Emit(std::string_view text) {
    if (text.empty() || inMedia > 0) return;
    if (inTranscription > 0) {
      transcription.back() += text;
      return;
    }
    if (inRef > 0) seeAlso.back() += text;
    CBodyLine& line = lines.back();
    const bool blank = IsBlank(text);
    if (capturingTrn)
      trn += text;
    else if (!blank)
      line.textOutsideTrn = true;
    if (inLabel > 0)
      line.labelText = line.labelText || !blank;
    else
      line.plain += text;
    AppendEscapedHtml(line.markup, text);
    line.hasText = true;
  }

  // Handles the tag `inside` the brackets; false when it is no tag we know (the text stays as written).
  bool Tag(std::string_view inside, uint64_t number, std::string& pending) {
    const bool closing = inside.starts_with('/');
    if (closing) inside.remove_prefix(1);
    const std::string_view name = inside.substr(0, inside.find_first_of(" \t"));
    if (IsMarginName(name)) {
      Emit(pending);
      pending.clear();
      if (!closing) NewLine();
      return true;
    }
    const std::optional<CTag> tag = TagOfName(name);
    if (!tag) return false;
    Emit(pending);
    pending.clear();
    CBodyLine& line = lines.back();
    if (!closing) {
      if (open.size() >= kMaxTagDepth)
        throw CCardError{number, std::string("слишком глубокая вложенность тегов"_cp)};
      open.push_back({*tag, std::string(name), number});
      switch (*tag) {
        case CTag::Bold:
          line.markup += "<b>";
          ++line.balance;
          break;
        case CTag::Italic:
          line.markup += "<i>";
          ++line.balance;
          break;
        case CTag::Translation:
          if (!haveTrn && !capturingTrn) {
            capturingTrn = true;
            trnDepth = open.size();
            trnLine = lines.size();
          }
          break;
        case CTag::Transcription:
          if (inTranscription++ == 0) transcription.emplace_back();
          break;
        case CTag::Ref:
          if (inRef++ == 0) seeAlso.emplace_back();
          break;
        case CTag::Media:
          ++inMedia;
          break;
        case CTag::Label:
          ++inLabel;
          break;
        case CTag::Other:
          break;
      }
      return true;
    }
    if (open.empty())
      throw CCardError{number, std::string("закрывающий тег [/"_cp) + std::string(name) +
                                   std::string("] без открывающего"_cp)};
    if (open.back().name != name)
      throw CCardError{open.back().line, std::string("незакрытый тег ["_cp) + open.back().name +
                                             std::string("] перед [/"_cp) + std::string(name) + "]"};
    switch (*tag) {
      case CTag::Bold:
      case CTag::Italic:
        line.markup += *tag == CTag::Bold ? "</b>" : "</i>";
        if (--line.balance < 0) {
          line.closesEarlier = true;
          line.balance = 0;
        }
        break;
      case CTag::Translation:
        if (capturingTrn && trnDepth == open.size()) {
          capturingTrn = false;
          haveTrn = true;
          if (trnLine == lines.size()) line.holdsTrn = true;
        }
        break;
      case CTag::Transcription:
        if (--inTranscription == 0 && transcription.back().empty()) transcription.pop_back();
        break;
      case CTag::Ref:
        --inRef;
        break;
      case CTag::Media:
        --inMedia;
        break;
      case CTag::Label:
        --inLabel;
        break;
      case CTag::Other:
        break;
    }
    open.pop_back();
    return true;
  }

  std::string_view tilde;
  std::vector<CBodyLine> lines;
  std::vector<COpenTag> open;
  bool haveTrn = false;
  bool capturingTrn = false;
  std::size_t trnDepth = 0;
  std::size_t trnLine = 0;
  std::string trn;
  int inTranscription = 0;
  int inMedia = 0;
  int inRef = 0;
  int inLabel = 0;
};

std::string Joined(const std::vector<std::string>& items) {
  std::string joined;
  for (const std::string& item : items) {
    if (!joined.empty() || &item != &items.front()) joined += ", ";
    joined += item;
  }
  return joined;
}

class CDslReader {
 public:
  CDslReader(std::string_view fileName, const CImportOptions& importOptions)
      : file(fileName), options(importOptions) {}

  CGlossary Read(std::string_view text) {
    bool inHeaders = true;
    bool blankSinceHeadword = false;
    bool strayBody = false;
    uint64_t number = 0;
    for (std::size_t pos = 0; pos <= text.size();) {
      std::size_t end = text.find('\n', pos);
      if (end == std::string_view::npos) end = text.size();
      std::string_view line = text.substr(pos, end - pos);
      pos = end + 1;
      ++number;
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      if (IsBlank(line)) {
        blankSinceHeadword = true;
        if (end == text.size()) break;
        continue;
      }
      if (inHeaders && line[0] == '#') {
        Header(line);
      } else if (!IsBlankChar(line[0])) {
        inHeaders = false;
        strayBody = false;
        if (!headwords.empty() && (!body.empty() || blankSinceHeadword)) FinishCard(false);
        if (headwords.empty()) cardLine = number;
        headwords.push_back(line);
      } else if (headwords.empty()) {
        inHeaders = false;
        if (!strayBody)
          SkipOrFail(glossary, options, LinePlace(file, number), "строка карточки до первого заголовка"_cp);
        strayBody = true;
      } else {
        body.emplace_back(line, number);
      }
      blankSinceHeadword = false;
      if (end == text.size()) break;
    }
    if (!headwords.empty()) FinishCard(true);
    Groups();
    return std::move(glossary);
  }

 private:
  void Header(std::string_view line) {
    const auto [name, value] = HeaderOfLine(line);
    if (EqualsIgnoringCase(name, "INDEX_LANGUAGE")) indexLanguage = value;
    if (EqualsIgnoringCase(name, "CONTENTS_LANGUAGE")) contentsLanguage = value;
  }

  int32_t Language() const {
    if (options.language != 0) return options.language;
    const std::string_view foreign = IsRussianName(indexLanguage) ? contentsLanguage : indexLanguage;
    if (foreign.empty()) return LanguageCode(CLanguage::English);
    return LanguageFromName(foreign);
  }

  void FinishCard(bool atEnd) {
    try {
      Card(atEnd);
    } catch (const CCardError& error) {
      SkipOrFail(glossary, options, LinePlace(file, error.line), error.reason);
    } catch (const CFormatError&) {
      // A text that Windows-1251 cannot hold; SourceText's message names the place.
      if (!options.keepGoing) throw;
      ++glossary.skipped[std::string("текст, которого нет в Windows-1251"_cp)];
    }
    headwords.clear();
    body.clear();
  }

  void Card(bool atEnd) {
    if (body.empty())
      throw CCardError{cardLine, atEnd ? std::string("файл обрывается после заголовка"_cp)
                                       : std::string("заголовок без текста карточки"_cp)};
    std::vector<std::string> visible;
    visible.reserve(headwords.size());
    for (std::size_t n = 0; n < headwords.size(); ++n) {
      visible.push_back(VisibleHeadword(headwords[n]));
      if (visible.back().empty()) throw CCardError{cardLine + n, std::string("пустой заголовок"_cp)};
    }
    cardBody.Reset(visible.front());
    for (const auto& [line, number] : body) cardBody.Line(line, number);
    cardBody.End();
    std::string equivalent;
    std::string definition;
    cardBody.Finish(equivalent, definition);
    const bool russianIndex = IsRussianName(indexLanguage);
    if (russianIndex && equivalent.empty())
      throw CCardError{cardLine, std::string("нет иноязычного термина"_cp)};

    const std::string place = LinePlace(file, cardLine);
    CGlossaryArticle shared;
    shared.language = Language();
    shared.definition = SourceText(definition, place, options);
    shared.seeAlso = SourceText(Joined(cardBody.seeAlso), place, options);
    shared.transcription = TranscriptionText(Joined(cardBody.transcription), place, options, glossary);
    (russianIndex ? shared.term : shared.translation) = SourceText(equivalent, place, options);
    std::vector<CGlossaryArticle> made;
    for (const std::string& headword : visible) {
      made.push_back(shared);
      (russianIndex ? made.back().translation : made.back().term) = SourceText(headword, place, options);
    }
    cards.push_back(
        {glossary.articles.size(), made.size(), std::move(visible), std::move(cardBody.synonyms)});
    for (CGlossaryArticle& article : made) {
      article.id = static_cast<int32_t>(glossary.articles.size() + 1);
      glossary.articles.push_back(std::move(article));
    }
  }

  // Cards are one synonym group with the cards their synonym lines name (the nearest card of that name,
  // one with a synonym line of its own first); a group of more than one article takes its first id.
  void Groups() {
    std::vector<std::size_t> parent(cards.size());
    std::iota(parent.begin(), parent.end(), std::size_t{0});
    auto root = [&](std::size_t card) {
      while (parent[card] != card) card = parent[card] = parent[parent[card]];
      return card;
    };
    std::unordered_map<std::string_view, std::vector<std::size_t>> linked;
    std::unordered_map<std::string_view, std::vector<std::size_t>> named;
    for (std::size_t n = 0; n < cards.size(); ++n)
      for (const std::string& name : cards[n].headwords) {
        (cards[n].synonyms.empty() ? named : linked)[name].push_back(n);
        if (!cards[n].synonyms.empty()) named[name].push_back(n);
      }
    auto nearest = [](const std::vector<std::size_t>& candidates,
                      std::size_t card) -> std::optional<std::size_t> {
      const auto after = std::upper_bound(candidates.begin(), candidates.end(), card);
      auto before = std::lower_bound(candidates.begin(), candidates.end(), card);
      std::optional<std::size_t> best;
      if (after != candidates.end()) best = *after;
      if (before != candidates.begin() && (!best || card - *(before - 1) < *best - card))
        best = *(before - 1);
      return best;
    };
    for (std::size_t n = 0; n < cards.size(); ++n)
      for (const std::string& name : cards[n].synonyms) {
        std::optional<std::size_t> other;
        if (const auto it = linked.find(name); it != linked.end()) other = nearest(it->second, n);
        if (!other)
          if (const auto it = named.find(name); it != named.end()) other = nearest(it->second, n);
        if (other) parent[root(*other)] = root(n);
      }
    std::vector<std::size_t> first(cards.size(), cards.size());
    std::vector<std::size_t> count(cards.size(), 0);
    for (std::size_t n = 0; n < cards.size(); ++n) {
      const std::size_t r = root(n);
      first[r] = std::min(first[r], n);
      count[r] += cards[n].articleCount;
    }
    for (std::size_t n = 0; n < cards.size(); ++n) {
      const std::size_t r = root(n);
      if (count[r] < 2) continue;
      const int32_t group = glossary.articles[cards[first[r]].firstArticle].id;
      for (std::size_t a = 0; a < cards[n].articleCount; ++a)
        glossary.articles[cards[n].firstArticle + a].synonymGroup = group;
    }
  }

  struct CCard {
    std::size_t firstArticle;
    std::size_t articleCount;
    std::vector<std::string> headwords;  // as shown, UTF-8
    std::vector<std::string> synonyms;   // names of the synonym line
  };

  std::string_view file;
  const CImportOptions& options;
  CGlossary glossary;
  std::string_view indexLanguage;
  std::string_view contentsLanguage;
  uint64_t cardLine = 0;
  std::vector<std::string_view> headwords;
  std::vector<std::pair<std::string_view, uint64_t>> body;
  CCardBody cardBody;
  std::vector<CCard> cards;
};

// ---------------------------------------------------------------------------------------------------
// Writing

// Body text with the characters markup would take escaped; a line feed becomes a blank.
void AppendBodyText(std::string& out, std::string_view utf8) {
  char previous = 0;
  for (const char c : utf8) {
    if (c == '\n' || c == '\r') {
      out += ' ';
    } else {
      // A second '<' escaped keeps "<<" from opening a reference.
      if (c == '[' || c == ']' || c == '{' || c == '}' || c == '~' || c == '\\' || c == '@' ||
          (c == '<' && previous == '<'))
        out += '\\';
      out += c;
    }
    previous = c == '<' && previous == '<' ? 0 : c;
  }
}

void AppendHeadword(std::string& out, std::string_view utf8) {
  bool start = true;
  for (const char c : utf8) {
    if (c == '\n' || c == '\r') {
      out += ' ';
      continue;
    }
    if (c == '[' || c == ']' || c == '{' || c == '}' || c == '~' || c == '\\' || c == '@' || c == '#' ||
        c == '(' || c == ')' || (start && IsBlankChar(c)))
      out += '\\';
    out += c;
    start = false;
  }
}

void AppendRefs(std::string& out, std::string_view label, const std::vector<std::string>& items) {
  out += "\t[m1]";
  out += label;
  for (std::size_t n = 0; n < items.size(); ++n) {
    if (n > 0) out += ", ";
    out += "[ref]";
    AppendBodyText(out, items[n]);
    out += "[/ref]";
  }
  out += "[/m]\r\n";
}

// The definition's lines, [b] and [i] opened and closed as the runs change, all closed at a line's end.
void AppendDefinition(std::string& out, std::string_view html) {
  bool bold = false;
  bool italic = false;
  std::string line;
  auto flush = [&] {
    if (italic) line += "[/i]";
    if (bold) line += "[/b]";
    bold = italic = false;
    if (line.empty()) return;
    out += "\t[m1]";
    out += line;
    out += "[/m]\r\n";
    line.clear();
  };
  for (const CMarkupRun& run : MarkupRuns(html)) {
    if (run.lineBreak) {
      flush();
      continue;
    }
    if (italic && (!run.italic || bold != run.bold)) {
      line += "[/i]";
      italic = false;
    }
    if (bold != run.bold) {
      line += bold ? "[/b]" : "[b]";
      bold = run.bold;
    }
    if (run.italic && !italic) {
      line += "[i]";
      italic = true;
    }
    AppendBodyText(line, run.text);
  }
  flush();
}

std::vector<std::string> SeeAlsoItems(std::string_view seeAlso) {
  std::vector<std::string> items;
  const std::string text = cp1251::ToUtf8(seeAlso);
  for (std::size_t pos = 0;;) {
    const std::size_t cut = text.find(", ", pos);
    items.push_back(text.substr(pos, cut == std::string::npos ? std::string::npos : cut - pos));
    if (cut == std::string::npos) break;
    pos = cut + 2;
  }
  return items;
}

void AppendCard(std::string& out, const std::vector<const CArticle*>& members,
                const std::vector<std::string>& synonyms) {
  for (const CArticle* member : members) {
    AppendHeadword(out, cp1251::ToUtf8(member->term));
    out += "\r\n";
  }
  const CArticle& article = *members.front();
  if (!article.transcription.empty()) {
    out += "\t[m0][t]";
    AppendBodyText(out, cp1251::ToUtf8(article.transcription));
    out += "[/t][/m]\r\n";
  }
  out += "\t[m1][trn]";
  AppendBodyText(out, cp1251::ToUtf8(article.translation));
  out += "[/trn][/m]\r\n";
  AppendDefinition(out, article.definition);
  if (!article.seeAlso.empty()) AppendRefs(out, kSeeAlsoLabel, SeeAlsoItems(article.seeAlso));
  if (!synonyms.empty()) AppendRefs(out, kSynonymsLabel, synonyms);
  out += "\r\n";
}

// Members of a synonym group whose other fields are all equal share a card.
using CCardKey = std::tuple<std::string_view, int32_t, std::string_view, std::string_view, std::string_view,
                            std::string_view>;

CCardKey KeyOf(const CArticle& article) {
  return {article.translation, article.language, article.definition,
          article.extraText,   article.seeAlso,  article.transcription};
}

void AppendGroup(std::string& out, const std::vector<const CArticle*>& members) {
  std::map<CCardKey, std::size_t> classOf;
  std::vector<std::vector<const CArticle*>> cardsOfGroup;
  for (const CArticle* member : members) {
    const auto [it, added] = classOf.try_emplace(KeyOf(*member), cardsOfGroup.size());
    if (added) cardsOfGroup.emplace_back();
    cardsOfGroup[it->second].push_back(member);
  }
  if (cardsOfGroup.size() == 1) {
    AppendCard(out, cardsOfGroup.front(), {});
    return;
  }
  const std::size_t listed = std::min(cardsOfGroup.size(), kMaxListedSynonyms);
  std::vector<std::string> names;
  names.reserve(listed);
  for (std::size_t n = 0; n < listed; ++n) names.push_back(cp1251::ToUtf8(cardsOfGroup[n].front()->term));
  std::vector<std::string> others;
  for (std::size_t n = 0; n < cardsOfGroup.size(); ++n) {
    others.clear();
    for (std::size_t k = 0; k < listed; ++k)
      if (k != n) others.push_back(names[k]);
    AppendCard(out, cardsOfGroup[n], others);
  }
}

std::string Utf16Bytes(std::string_view utf8) {
  std::string bytes;
  bytes.reserve(utf8.size() * 2 + 2);
  bytes += "\xFF\xFE";
  auto unit = [&](char32_t u) {
    bytes += static_cast<char>(u & 0xFF);
    bytes += static_cast<char>(u >> 8);
  };
  for (std::size_t pos = 0; pos < utf8.size();) {
    char32_t c = cp1251::DecodeUtf8(utf8, pos);
    if (c == cp1251::kInvalid) c = 0xFFFD;
    if (c >= 0x10000) {
      unit(0xD800 + ((c - 0x10000) >> 10));
      unit(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      unit(c);
    }
  }
  return bytes;
}

std::string DslFileBytes(const std::vector<const CArticle*>& articles, std::string_view name,
                         std::string_view language) {
  std::size_t size = 100;
  for (const CArticle* article : articles)
    size += article->term.size() + article->translation.size() + article->definition.size() +
            article->seeAlso.size() + article->transcription.size() + 60;
  std::string out;
  out.reserve(size);
  out += "#NAME \"";
  for (const char c : name) out += c == '"' ? '\'' : c == '\n' || c == '\r' ? ' ' : c;
  out += "\"\r\n#INDEX_LANGUAGE \"";
  out += language;
  out += "\"\r\n#CONTENTS_LANGUAGE \"Russian\"\r\n\r\n";

  std::unordered_map<int32_t, std::vector<const CArticle*>> groups;
  for (const CArticle* article : articles)
    if (article->synonymGroup > 0) groups[article->synonymGroup].push_back(article);
  for (const CArticle* article : articles) {
    if (article->synonymGroup <= 0) {
      AppendCard(out, {article}, {});
      continue;
    }
    const auto it = groups.find(article->synonymGroup);
    if (it == groups.end()) continue;  // written with its group's first member
    AppendGroup(out, it->second);
    groups.erase(it);
  }
  return Utf16Bytes(out);
}

std::string GermanPath(const std::string& outPath) {
  return outPath.ends_with(".dsl") ? outPath.substr(0, outPath.size() - 4) + ".de.dsl" : outPath + ".de.dsl";
}

}  // namespace

CGlossary ReadDsl(std::string_view bytes, std::string_view file, const CImportOptions& options) {
  const std::string text = WithoutComments(DecodedText(bytes, file), file);
  return CDslReader(file, options).Read(text);
}

CGlossary ReadDslFile(const std::string& path, const CImportOptions& options) {
  std::string bytes = ReadSourceFile(path);
  if (IsCompressedName(path)) bytes = Inflate(bytes, path, kMaxSourceBytes);
  return ReadDsl(bytes, path, options);
}

std::vector<CExportFile> ExportDsl(const CDictionary& dictionary, const std::string& outPath) {
  std::vector<const CArticle*> english;
  std::vector<const CArticle*> german;
  for (const CArticle& article : dictionary.Articles()) {
    if (IsBlank(article.term)) continue;
    (article.language == LanguageCode(CLanguage::German) ? german : english).push_back(&article);
  }
  const std::string& info = dictionary.Info().infoText1;
  const std::string name = info.empty() ? std::string("Carro") : cp1251::ToUtf8(info);
  std::vector<CExportFile> files;
  if (!english.empty() || german.empty()) files.push_back({outPath, DslFileBytes(english, name, "English")});
  if (!german.empty())
    files.push_back({english.empty() ? outPath : GermanPath(outPath), DslFileBytes(german, name, "German")});
  return files;
}
