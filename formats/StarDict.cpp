#include "formats/StarDict.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <numeric>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "formats/Dictzip.h"
#include "text/Html.h"

namespace {

constexpr std::string_view kMagic = "StarDict's dict ifo file";
// The format allows 255 bytes; real files are sometimes longer, but never by this much.
constexpr std::size_t kMaxReadWordBytes = 1024;
constexpr std::size_t kMaxWrittenWordBytes = 255;
// What an article costs beyond its texts, against the bound on articles a source may make.
constexpr std::size_t kArticleCost = 256;
// The blocks of our own body layout, in their order.
enum CBlock : std::size_t { kTranslation, kTranscription, kDefinition, kSynonyms, kSeeAlso };
constexpr std::array<std::string_view, 5> kBlocks = {"translation", "transcription", "definition", "synonyms",
                                                     "see-also"};
// Each member of a synonym group lists at most this many others (the head first), which links them all.
constexpr std::size_t kMaxListedSynonyms = 64;
constexpr std::string_view kGermanMark = " data-lang=\"de\"";
// A word that this many entries share is too common to tell which of them a link means.
constexpr std::size_t kMaxSameWord = 16;

std::string Cp(std::string_view cp1251) {
  return std::string(cp1251);
}

std::string WithoutIfo(std::string_view file) {
  std::string base(file);
  if (base.size() >= 4 && base.compare(base.size() - 4, 4, ".ifo") == 0) base.resize(base.size() - 4);
  return base;
}

uint64_t BigEndian(std::string_view bytes, std::size_t pos, std::size_t width) {
  uint64_t value = 0;
  for (std::size_t k = 0; k < width; ++k) value = (value << 8) | static_cast<unsigned char>(bytes[pos + k]);
  return value;
}

void AppendBigEndian(std::string& out, uint64_t value, std::size_t width) {
  for (std::size_t k = width; k > 0; --k) out += static_cast<char>((value >> (8 * (k - 1))) & 0xFF);
}

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\xA0';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return text;
}

// Windows-1251 letters: Cyrillic ones and Latin ones.
void CountLetters(std::string_view text, std::size_t& cyrillic, std::size_t& latin) {
  cyrillic = latin = 0;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0xC0 || byte == 0xA8 || byte == 0xB8)
      ++cyrillic;
    else if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z'))
      ++latin;
  }
}

bool IsRussian(std::string_view text) {
  std::size_t cyrillic = 0, latin = 0;
  CountLetters(text, cyrillic, latin);
  return cyrillic > 0 && latin == 0;
}

bool IsForeign(std::string_view text) {
  std::size_t cyrillic = 0, latin = 0;
  CountLetters(text, cyrillic, latin);
  return latin > 0 && cyrillic == 0;
}

// g_ascii_strcasecmp, then strcmp for words equal but for case: the order StarDict looks words up in.
int AsciiCaseCompare(std::string_view a, std::string_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t k = 0; k < common; ++k) {
    auto x = static_cast<unsigned char>(a[k]);
    auto y = static_cast<unsigned char>(b[k]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

bool StarDictLess(std::string_view a, std::string_view b) {
  const int folded = AsciiCaseCompare(a, b);
  return folded != 0 ? folded < 0 : a.compare(b) < 0;
}

// ---------------------------------------------------------------------------------------------
// Reading bodies. Text fields are converted to Windows-1251 first (tags and entities are ASCII and
// come through unchanged), then read as runs of bold/italic text and line breaks.

class CRunBuilder {
 public:
  explicit CRunBuilder(std::vector<CMarkupRun>& out) : runs(out) {}

  void Text(std::string_view text, bool bold, bool italic) {
    if (text.empty()) return;
    if (runs.empty() || runs.back().lineBreak || runs.back().bold != bold || runs.back().italic != italic)
      runs.push_back({.text = {}, .bold = bold, .italic = italic});
    runs.back().text += text;
  }
  void Break() { runs.push_back({.text = {}, .lineBreak = true}); }
  // A block's edge: one break, never at the start.
  void BlockBreak() {
    if (!runs.empty() && !runs.back().lineBreak) Break();
  }

 private:
  std::vector<CMarkupRun>& runs;
};

// Plain text: every line feed is a line break.
void ReadPlain(std::string_view text, CRunBuilder& out) {
  for (std::size_t pos = 0; pos <= text.size();) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    out.Text(line, false, false);
    if (end == text.size()) break;
    out.Break();
    pos = end + 1;
  }
}

enum class CMarkupKind { Html, Pango, Xdxf, Xml };

struct CMarkupExtras {
  std::string transcription;         // XDXF <tr>
  std::vector<std::string> seeAlso;  // XDXF <kref>
};

// Markup text: bold and italic kept, block tags as line breaks, other tags dropped. HTML takes line
// feeds as spaces, the others as line breaks.
void ReadMarkup(std::string_view text, CMarkupKind kind, std::string_view place,
                const CImportOptions& options, CRunBuilder& out, CMarkupExtras& extras) {
  int bold = 0, italic = 0, dropped = 0;
  std::string* capture = nullptr;  // the text of <tr> or <kref> while inside it
  std::string transcription, reference;
  auto emit = [&](std::string_view piece) {
    if (dropped > 0) return;
    if (capture) *capture += piece;
    if (capture != &transcription) out.Text(piece, bold > 0, italic > 0);
  };
  auto count = [](int& depth, bool closing) {
    depth = closing ? std::max(0, depth - 1) : std::min(depth + 1, 64);
  };
  bool unclosed = false;  // no '>' after this point: every '<' left is text
  for (std::size_t pos = 0; pos < text.size();) {
    const char c = text[pos];
    if (c == '<') {
      if (text.compare(pos, 4, "<!--") == 0) {
        const std::size_t end = text.find("-->", pos + 4);
        pos = end == std::string_view::npos ? text.size() : end + 3;
        continue;
      }
      const std::size_t end = unclosed ? std::string_view::npos : text.find('>', pos);
      if (end == std::string_view::npos) {
        unclosed = true;
        emit("<");
        ++pos;
        continue;
      }
      std::string_view inner = text.substr(pos + 1, end - pos - 1);
      pos = end + 1;
      const bool closing = !inner.empty() && inner.front() == '/';
      if (closing) inner.remove_prefix(1);
      const bool empty = !inner.empty() && inner.back() == '/';
      const std::string tag = AsciiLower(inner.substr(0, inner.find_first_of(" \t\r\n/")));
      if (tag == "b" || tag == "strong") {
        if (!empty) count(bold, closing);
      } else if (tag == "i" || tag == "em") {
        if (!empty) count(italic, closing);
      } else if (tag == "br") {
        if (!closing && dropped == 0) out.Break();
      } else if ((kind == CMarkupKind::Xdxf && tag == "k") ||
                 (kind == CMarkupKind::Html && (tag == "script" || tag == "style"))) {
        if (!empty) count(dropped, closing);  // the headword again, or no text at all
      } else if (kind == CMarkupKind::Xdxf && (tag == "tr" || tag == "kref")) {
        std::string& target = tag == "tr" ? transcription : reference;
        if (!closing && !empty) {
          target.clear();
          capture = &target;
        } else if (closing && capture == &target) {
          capture = nullptr;
          const std::string_view captured = Trim(target);
          if (tag == "kref" && !captured.empty()) extras.seeAlso.emplace_back(captured);
          if (tag == "tr" && !captured.empty() && extras.transcription.empty())
            extras.transcription = std::string(captured);
        }
      } else if (tag == "p" || tag == "div" || tag == "li" || tag == "tr" || tag == "dd" || tag == "dt" ||
                 tag == "blockquote" || tag == "table" || tag == "ul" || tag == "ol" ||
                 (tag.size() == 2 && tag[0] == 'h' && tag[1] >= '1' && tag[1] <= '6')) {
        if (dropped == 0) out.BlockBreak();
      }
    } else if (c == '&') {
      std::size_t next = pos + 1;
      const std::string utf8 = DecodeEntity(text, next);
      if (utf8.empty()) {
        emit("&");
        ++pos;
      } else {
        emit(SourceText(utf8, place, options));
        pos = next;
      }
    } else if (c == '\n' || c == '\r') {
      if (c == '\n') {
        if (kind == CMarkupKind::Html)
          emit(" ");
        else if (dropped == 0 && !capture)
          out.Break();
      }
      ++pos;
    } else {
      std::size_t end = text.find_first_of("<&\r\n", pos);
      if (end == std::string_view::npos) end = text.size();
      emit(text.substr(pos, end - pos));
      pos = end;
    }
  }
}

// Plain text with entities decoded (the blocks of our own layout).
std::string DecodedText(std::string_view text, std::string_view place, const CImportOptions& options) {
  std::string decoded;
  decoded.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    if (text[pos] == '&') {
      std::size_t next = pos + 1;
      const std::string utf8 = DecodeEntity(text, next);
      if (!utf8.empty()) {
        decoded += SourceText(utf8, place, options);
        pos = next;
        continue;
      }
    }
    decoded += text[pos++];
  }
  return decoded;
}

// Page markup of runs. Tags open in the order the runs need them and close only when a run no
// longer has them, so "<i>a <b>b</b></i>" and "<b>a<br>b</b>" come out as they went in.
void AppendMarkup(std::string& out, const std::vector<CMarkupRun>& runs) {
  std::array<char, 2> open{};
  std::size_t depth = 0;
  auto closeUnwanted = [&](bool bold, bool italic) {
    std::size_t keep = 0;
    while (keep < depth && (open[keep] == 'b' ? bold : italic)) ++keep;
    for (; depth > keep; --depth) out += open[depth - 1] == 'b' ? "</b>" : "</i>";
  };
  auto isOpen = [&](char tag) {
    return std::find(open.begin(), open.begin() + depth, tag) != open.begin() + depth;
  };
  std::size_t next = 0;  // the next run with text after a break
  for (std::size_t k = 0; k < runs.size(); ++k) {
    const CMarkupRun& run = runs[k];
    if (run.lineBreak) {
      next = std::max(next, k + 1);
      while (next < runs.size() && (runs[next].lineBreak || runs[next].text.empty())) ++next;
      if (next < runs.size())
        closeUnwanted(runs[next].bold, runs[next].italic);
      else
        closeUnwanted(false, false);
      out += "<br>";
      continue;
    }
    if (run.text.empty()) continue;
    closeUnwanted(run.bold, run.italic);
    if (run.bold && !isOpen('b')) {
      out += "<b>";
      open[depth++] = 'b';
    }
    if (run.italic && !isOpen('i')) {
      out += "<i>";
      open[depth++] = 'i';
    }
    out += EscapeHtml(run.text);
  }
  closeUnwanted(false, false);
}

// Runs without the breaks at either end.
std::vector<CMarkupRun> TrimmedRuns(std::vector<CMarkupRun> runs) {
  while (!runs.empty() && (runs.back().lineBreak || runs.back().text.empty())) runs.pop_back();
  std::size_t first = 0;
  while (first < runs.size() && (runs[first].lineBreak || runs[first].text.empty())) ++first;
  runs.erase(runs.begin(), runs.begin() + static_cast<std::ptrdiff_t>(first));
  return runs;
}

// ---------------------------------------------------------------------------------------------
// Our own body layout: only the blocks of kBlocks, in that order, each at most once.

struct COwnBody {
  std::string translation;
  std::string transcription;
  std::string seeAlso;
  std::vector<CMarkupRun> definition;
  std::vector<std::string> synonyms;  // the other members' words
  bool german = false;
};

// "Синонимы: <a href="bword://W">W</a>, ..." as the words W.
bool ReadSynonyms(std::string_view content, std::string_view place, const CImportOptions& options,
                  std::vector<std::string>& words) {
  const std::string_view prefix = "Синонимы: "_cp;
  constexpr std::string_view kLink = "<a href=\"";
  if (content.substr(0, prefix.size()) != prefix) return false;
  for (std::size_t pos = prefix.size();;) {
    if (content.compare(pos, kLink.size(), kLink) != 0) return false;
    const std::size_t text = content.find("\">", pos + kLink.size());
    if (text == std::string_view::npos) return false;
    const std::size_t end = content.find("</a>", text + 2);
    if (end == std::string_view::npos) return false;
    const std::string_view word = content.substr(text + 2, end - text - 2);
    if (word.find('<') != std::string_view::npos) return false;
    if (words.size() == kMaxListedSynonyms) return false;
    words.push_back(DecodedText(word, place, options));
    pos = end + 4;
    if (pos == content.size()) return true;
    if (content.compare(pos, 2, ", ") != 0) return false;
    pos += 2;
  }
}

bool ReadOwnLayout(std::string_view body, std::string_view place, const CImportOptions& options,
                   COwnBody& own) {
  constexpr std::string_view kOpen = "<div class=\"";
  constexpr std::string_view kClose = "</div>";
  if (body.empty()) return false;
  std::size_t next = 0;
  for (std::size_t pos = 0; pos < body.size();) {
    if (body.compare(pos, kOpen.size(), kOpen) != 0) return false;
    pos += kOpen.size();
    const std::size_t quote = body.find('"', pos);
    if (quote == std::string_view::npos) return false;
    const std::string_view name = body.substr(pos, quote - pos);
    std::size_t block = next;
    while (block < kBlocks.size() && kBlocks[block] != name) ++block;
    if (block == kBlocks.size()) return false;
    next = block + 1;
    pos = quote + 1;
    if (body.compare(pos, kGermanMark.size(), kGermanMark) == 0) {
      own.german = true;
      pos += kGermanMark.size();
    }
    if (pos >= body.size() || body[pos] != '>') return false;
    ++pos;
    const std::size_t end = body.find(kClose, pos);
    if (end == std::string_view::npos) return false;
    std::string_view content = body.substr(pos, end - pos);
    pos = end + kClose.size();
    if (content.find("<div") != std::string_view::npos) return false;
    const bool tagless = content.find('<') == std::string_view::npos;
    if (block == kTranslation) {
      if (content.size() < 7 || content.substr(0, 3) != "<b>" || content.substr(content.size() - 4) != "</b>")
        return false;
      content = content.substr(3, content.size() - 7);
      if (content.find('<') != std::string_view::npos) return false;
      own.translation = DecodedText(content, place, options);
    } else if (block == kTranscription) {
      if (!tagless || content.size() < 2 || content.front() != '[' || content.back() != ']') return false;
      own.transcription = DecodedText(content.substr(1, content.size() - 2), place, options);
    } else if (block == kDefinition) {
      CRunBuilder runs(own.definition);
      CMarkupExtras unused;
      ReadMarkup(content, CMarkupKind::Html, place, options, runs, unused);
    } else if (block == kSynonyms) {
      if (!ReadSynonyms(content, place, options, own.synonyms)) return false;
    } else {
      const std::string_view prefix = "См. также: "_cp;
      if (!tagless || content.substr(0, prefix.size()) != prefix) return false;
      own.seeAlso = DecodedText(content.substr(prefix.size()), place, options);
    }
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// The .ifo.

struct CIfo {
  std::string bookname;
  std::string description;
  uint64_t wordcount = 0;
  std::optional<uint64_t> synwordcount;
  uint64_t idxfilesize = 0;
  std::size_t offsetBytes = 4;
  std::string sametypesequence;
  int32_t language = 0;  // from lang=
  std::size_t wordcountLine = 0, synwordcountLine = 0, idxfilesizeLine = 0;
};

CIfo ReadIfo(std::string_view ifo, std::string_view file, const CImportOptions& options) {
  CIfo info;
  if (ifo.substr(0, 3) == "\xEF\xBB\xBF") ifo.remove_prefix(3);
  std::size_t line = 0;
  bool haveVersion = false, haveWordcount = false, haveIdxfilesize = false;
  auto fail = [&](std::string_view reason) {
    throw CFormatError(LinePlace(file, line) + ": " + std::string(reason));
  };
  auto number = [&](std::string_view key, std::string_view value) {
    if (value.empty() || value.size() > 15 || value.find_first_not_of("0123456789") != std::string_view::npos)
      fail(Cp("не число в поле "_cp) + std::string(key) + "=" + cp1251::FromUtf8Lossy(value.substr(0, 40)));
    uint64_t result = 0;
    for (const char d : value) result = result * 10 + static_cast<uint64_t>(d - '0');
    return result;
  };
  for (std::size_t pos = 0; pos < ifo.size();) {
    ++line;
    std::size_t end = ifo.find('\n', pos);
    if (end == std::string_view::npos) end = ifo.size();
    std::string_view text = ifo.substr(pos, end - pos);
    pos = end + 1;
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    if (line == 1) {
      if (text != kMagic)
        fail(Cp("нет первой строки \"StarDict's dict ifo file\" — это не словарь StarDict"_cp));
      continue;
    }
    if (Trim(text).empty()) continue;
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) fail("строка без знака \"=\""_cp);
    const std::string_view key = text.substr(0, equals);
    const std::string_view value = text.substr(equals + 1);
    if (key == "version") {
      if (value != "2.4.2" && value != "3.0.0")
        fail(Cp("неизвестная версия "_cp) + cp1251::FromUtf8Lossy(value.substr(0, 40)) +
             Cp(" (знаю 2.4.2 и 3.0.0)"_cp));
      haveVersion = true;
    } else if (key == "bookname") {
      info.bookname = SourceText(value, LinePlace(file, line), options);
    } else if (key == "description") {
      const std::string description = SourceText(value, LinePlace(file, line), options);
      info.description.clear();
      for (std::size_t at = 0; at < description.size();) {
        const std::size_t br = std::min(description.find("<br>", at), description.size());
        info.description.append(description, at, br - at);
        if (br < description.size()) info.description += '\n';
        at = br + 4;
      }
    } else if (key == "wordcount") {
      info.wordcount = number(key, value);
      info.wordcountLine = line;
      haveWordcount = true;
    } else if (key == "synwordcount") {
      info.synwordcount = number(key, value);
      info.synwordcountLine = line;
    } else if (key == "idxfilesize") {
      info.idxfilesize = number(key, value);
      info.idxfilesizeLine = line;
      haveIdxfilesize = true;
    } else if (key == "idxoffsetbits") {
      if (value != "32" && value != "64") fail("idxoffsetbits может быть только 32 или 64"_cp);
      info.offsetBytes = value == "64" ? 8 : 4;
    } else if (key == "sametypesequence") {
      if (value.empty() || value.size() > 32 || !std::all_of(value.begin(), value.end(), [](char c) {
            return (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
          }))
        fail(Cp("sametypesequence должно состоять из латинских букв типов полей"_cp));
      info.sametypesequence = std::string(value);
    } else if (key == "lang") {
      info.language = LanguageFromName(value.substr(0, value.find('-')));
    }
  }
  line = 1;
  if (ifo.empty()) fail(Cp("пустой файл — это не словарь StarDict"_cp));
  if (!haveVersion) fail("нет поля version"_cp);
  if (!haveWordcount) fail("нет поля wordcount"_cp);
  if (!haveIdxfilesize) fail("нет поля idxfilesize"_cp);
  return info;
}

// ---------------------------------------------------------------------------------------------
// Entries.

struct CField {
  char type;
  std::string_view bytes;
  std::size_t offset;  // in the entry
};

bool IsUpper(char type) {
  return type >= 'A' && type <= 'Z';
}

// The typed fields of an entry; the reason and the place in the entry when it is damaged.
bool SplitFields(std::string_view data, std::string_view sequence, std::vector<CField>& fields,
                 std::string& reason, std::size_t& at) {
  fields.clear();
  std::size_t pos = 0;
  auto take = [&](char type, bool last) {
    at = pos;
    if (IsUpper(type)) {
      if (last) {
        fields.push_back({type, data.substr(pos), pos});
        pos = data.size();
        return true;
      }
      if (data.size() - pos < 4) {
        reason = Cp("поле обрезано: нет его размера"_cp);
        return false;
      }
      const uint64_t size = BigEndian(data, pos, 4);
      if (size > data.size() - pos - 4) {
        reason = Cp("размер поля ("_cp) + std::to_string(size) + Cp(" байт) за концом статьи"_cp);
        return false;
      }
      fields.push_back({type, data.substr(pos + 4, size), pos + 4});
      pos += 4 + size;
      return true;
    }
    std::size_t end = data.find('\0', pos);
    if (end == std::string_view::npos) {
      if (!last) {
        reason = Cp("поле без завершающего нуля"_cp);
        return false;
      }
      end = data.size();
    }
    fields.push_back({type, data.substr(pos, end - pos), pos});
    pos = std::min(data.size(), end + 1);
    return true;
  };
  if (!sequence.empty()) {
    for (std::size_t k = 0; k < sequence.size(); ++k) {
      at = pos;
      if (pos >= data.size() && k + 1 < sequence.size()) {
        reason = Cp("статья короче полей sametypesequence"_cp);
        return false;
      }
      if (!take(sequence[k], k + 1 == sequence.size())) return false;
    }
    return true;
  }
  while (pos < data.size()) {
    at = pos;
    const char type = data[pos];
    if ((type | 0x20) < 'a' || (type | 0x20) > 'z') {
      reason = Cp("неизвестный тип поля (байт "_cp) + std::to_string(static_cast<unsigned char>(type)) + ")";
      return false;
    }
    ++pos;
    if (!take(type, false)) {
      // the last text field may lack its terminator
      if (IsUpper(type)) return false;
      fields.push_back({type, data.substr(pos), pos});
      pos = data.size();
    }
  }
  return true;
}

struct CEntryText {
  std::vector<CMarkupRun> runs;
  std::string transcription;
  std::vector<std::string> seeAlso;
  bool own = false;
  COwnBody ownBody;
};

void ReadFields(const std::vector<CField>& fields, std::string_view dictName, uint64_t dataOffset,
                const CImportOptions& options, CEntryText& entry) {
  std::string single;  // the one HTML field, converted once
  if (fields.size() == 1 && fields[0].type == 'h') {
    const std::string place = OffsetPlace(dictName, dataOffset + fields[0].offset);
    single = SourceText(fields[0].bytes, place, options);
    if (ReadOwnLayout(single, place, options, entry.ownBody)) {
      entry.own = true;
      return;
    }
    entry.ownBody = {};
  }
  CRunBuilder out(entry.runs);
  for (const CField& field : fields) {
    const char type = field.type;
    if (IsUpper(type) || type == 'r') continue;
    const std::string place = OffsetPlace(dictName, dataOffset + field.offset);
    const bool converted = fields.size() == 1 && type == 'h';
    std::string fieldText;
    if (!converted) fieldText = SourceText(field.bytes, place, options);
    const std::string& text = converted ? single : fieldText;
    if (type == 't') {
      const std::string_view transcription = Trim(text);
      if (entry.transcription.empty()) entry.transcription = std::string(transcription);
      continue;
    }
    std::vector<CMarkupRun> fieldRuns;
    CRunBuilder fieldOut(fieldRuns);
    CMarkupExtras extras;
    if (type == 'h' || type == 'g' || type == 'x' || type == 'k') {
      const CMarkupKind kind = type == 'h'   ? CMarkupKind::Html
                               : type == 'g' ? CMarkupKind::Pango
                               : type == 'x' ? CMarkupKind::Xdxf
                                             : CMarkupKind::Xml;
      ReadMarkup(text, kind, place, options, fieldOut, extras);
    } else if (type == 'm' || type == 'l' || type == 'y' || type == 'w') {
      ReadPlain(text, fieldOut);
    } else {
      continue;  // a text type we do not know
    }
    if (entry.transcription.empty()) entry.transcription = std::move(extras.transcription);
    for (std::string& reference : extras.seeAlso) entry.seeAlso.push_back(std::move(reference));
    fieldRuns = TrimmedRuns(std::move(fieldRuns));
    if (fieldRuns.empty()) continue;
    if (!entry.runs.empty()) out.Break();
    entry.runs.insert(entry.runs.end(), fieldRuns.begin(), fieldRuns.end());
  }
}

// The lines of runs, each with spaces trimmed at its ends.
std::vector<std::vector<CMarkupRun>> Lines(std::vector<CMarkupRun> runs) {
  std::vector<std::vector<CMarkupRun>> lines(1);
  for (CMarkupRun& run : runs) {
    if (run.lineBreak)
      lines.emplace_back();
    else
      lines.back().push_back(std::move(run));
  }
  for (auto& line : lines) {
    std::size_t blank = 0;
    for (; blank < line.size(); ++blank) {
      std::string& text = line[blank].text;
      std::size_t spaces = 0;
      while (spaces < text.size() && IsSpace(text[spaces])) ++spaces;
      text.erase(0, spaces);
      if (!text.empty()) break;
    }
    line.erase(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(blank));
    while (!line.empty()) {
      std::string& text = line.back().text;
      while (!text.empty() && IsSpace(text.back())) text.pop_back();
      if (!text.empty()) break;
      line.pop_back();
    }
  }
  return lines;
}

std::string LineText(const std::vector<CMarkupRun>& line) {
  std::string text;
  for (const CMarkupRun& run : line) text += run.text;
  return text;
}

// Fills the article's fields from an entry's text; `word` is the .idx word in Windows-1251.
void FillArticle(CEntryText& entry, const std::string& word, int32_t defaultLanguage,
                 const CImportOptions& options, CGlossaryArticle& article) {
  article.language = defaultLanguage;
  if (entry.own) {
    COwnBody& own = entry.ownBody;
    article.translation = std::move(own.translation);
    article.term = IsRussian(word) && word == article.translation ? std::string() : word;
    article.transcription = std::move(own.transcription);
    article.seeAlso = std::move(own.seeAlso);
    AppendMarkup(article.definition, TrimmedRuns(std::move(own.definition)));
    if (own.german && options.language == 0) article.language = LanguageCode(CLanguage::German);
    return;
  }
  const bool reverse = IsRussian(word);
  (reverse ? article.translation : article.term) = word;
  article.transcription = std::move(entry.transcription);
  std::vector<std::vector<CMarkupRun>> lines = Lines(std::move(entry.runs));
  std::size_t first = 0;
  auto skipEmpty = [&] {
    while (first < lines.size() && lines[first].empty()) ++first;
  };
  skipEmpty();
  if (first < lines.size() && LineText(lines[first]) == word) {
    ++first;
    skipEmpty();
  }
  if (first < lines.size() && article.transcription.empty()) {
    const std::string text = LineText(lines[first]);
    if (text.size() > 2 && text.front() == '[' && text.back() == ']' && text.find(']') == text.size() - 1) {
      article.transcription = std::string(Trim(std::string_view(text).substr(1, text.size() - 2)));
      ++first;
      skipEmpty();
    }
  }
  if (first < lines.size()) {
    const std::string text = LineText(lines[first]);
    const std::string_view piece = Trim(std::string_view(text).substr(0, text.find_first_of(",;")));
    if (!piece.empty() && piece.size() <= 80 && (reverse ? IsForeign(piece) : IsRussian(piece))) {
      (reverse ? article.term : article.translation) = std::string(piece);
      if (piece.size() == text.size()) ++first;
    }
  }
  std::vector<CMarkupRun> rest;
  for (std::size_t k = first; k < lines.size(); ++k) {
    if (!rest.empty()) rest.push_back({.text = {}, .lineBreak = true});
    rest.insert(rest.end(), lines[k].begin(), lines[k].end());
  }
  AppendMarkup(article.definition, TrimmedRuns(std::move(rest)));
  for (std::size_t k = 0; k < entry.seeAlso.size(); ++k) {
    if (std::find(entry.seeAlso.begin(), entry.seeAlso.begin() + static_cast<std::ptrdiff_t>(k),
                  entry.seeAlso[k]) != entry.seeAlso.begin() + static_cast<std::ptrdiff_t>(k))
      continue;
    if (!article.seeAlso.empty()) article.seeAlso += ", ";
    article.seeAlso += entry.seeAlso[k];
  }
}

std::size_t Cost(const CGlossaryArticle& article) {
  return kArticleCost + article.term.size() + article.translation.size() + article.definition.size() +
         article.seeAlso.size() + article.transcription.size();
}

class CUnion {
 public:
  std::size_t Add() {
    parent.push_back(parent.size());
    return parent.size() - 1;
  }
  std::size_t Find(std::size_t x) {
    while (parent[x] != x) x = parent[x] = parent[parent[x]];
    return x;
  }
  // The smaller root stays, so that a group's root is its first article.
  void Join(std::size_t a, std::size_t b) {
    a = Find(a);
    b = Find(b);
    if (a != b) parent[std::max(a, b)] = std::min(a, b);
  }

 private:
  std::vector<std::size_t> parent;
};

std::string SynKey(std::string_view word, uint64_t entry) {
  std::string key(word);
  key += '\0';
  key += std::to_string(entry);
  return key;
}

// A word in Windows-1251, or false after SkipOrFail when it cannot be converted.
bool ConvertWord(std::string_view utf8, const std::string& place, const CImportOptions& options,
                 CGlossary& glossary, std::string& word) {
  try {
    word = SourceText(utf8, place, options);
    return true;
  } catch (const CFormatError&) {
    if (!options.keepGoing) throw;
    ++glossary.skipped[Cp("слово, которое нельзя записать в Windows-1251"_cp)];
    return false;
  }
}

// ---------------------------------------------------------------------------------------------
// Writing.

// A word as the .idx and .syn hold it: UTF-8 without NUL, at most 255 bytes, cut between characters.
std::string IndexWord(std::string_view cp1251Text) {
  std::string word = cp1251::ToUtf8(cp1251Text);
  word.erase(std::remove(word.begin(), word.end(), '\0'), word.end());
  if (word.size() > kMaxWrittenWordBytes) {
    std::size_t cut = kMaxWrittenWordBytes;
    while (cut > 0 && (static_cast<unsigned char>(word[cut]) & 0xC0) == 0x80) --cut;
    word.resize(cut);
  }
  return word;
}

void AppendEscaped(std::string& out, std::string_view cp1251Text) {
  out += EscapeHtml(cp1251::ToUtf8(cp1251Text));
}

// `synonyms`: the words of the other members of the article's synonym group, UTF-8.
void AppendBody(std::string& out, const CArticle& article, const std::vector<const std::string*>& synonyms) {
  const bool german = article.language == LanguageCode(CLanguage::German);
  bool first = true;
  auto open = [&](std::string_view block) {
    out += "<div class=\"";
    out += block;
    out += '"';
    if (first && german) out += kGermanMark;
    out += '>';
    first = false;
  };
  if (!article.translation.empty()) {
    open(kBlocks[kTranslation]);
    out += "<b>";
    AppendEscaped(out, article.translation);
    out += "</b></div>";
  }
  if (!article.transcription.empty()) {
    open(kBlocks[kTranscription]);
    out += '[';
    AppendEscaped(out, article.transcription);
    out += "]</div>";
  }
  std::vector<CMarkupRun> runs = MarkupRuns(article.definition);
  if (!runs.empty() || (german && first)) {
    open(kBlocks[kDefinition]);
    AppendMarkup(out, runs);
    out += "</div>";
  }
  if (!synonyms.empty()) {
    open(kBlocks[kSynonyms]);
    out += "Синонимы: ";
    for (std::size_t k = 0; k < synonyms.size(); ++k) {
      const std::string word = EscapeHtml(*synonyms[k]);
      if (k > 0) out += ", ";
      out += "<a href=\"bword://";
      out += word;
      out += "\">";
      out += word;
      out += "</a>";
    }
    out += "</div>";
  }
  if (!article.seeAlso.empty()) {
    open(kBlocks[kSeeAlso]);
    out += "См. также: ";
    AppendEscaped(out, article.seeAlso);
    out += "</div>";
  }
}

std::string IfoValue(std::string_view cp1251Text, bool lineBreaksAsBr) {
  std::string value = cp1251::ToUtf8(cp1251Text);
  std::string out;
  out.reserve(value.size());
  for (const char c : value) {
    if (c == '\n')
      out += lineBreaksAsBr ? "<br>" : " ";
    else if (c != '\r' && c != '\0')
      out += c;
  }
  return out;
}

}  // namespace

CGlossary ReadStarDict(std::string_view ifo, std::string_view idx, std::string_view dict,
                       std::string_view syn, std::string_view file, const CImportOptions& options) {
  const std::string base = WithoutIfo(file);
  const std::string idxName = base + ".idx", dictName = base + ".dict", synName = base + ".syn";
  const CIfo info = ReadIfo(ifo, file, options);
  if (info.idxfilesize != idx.size() && !options.keepGoing)
    throw CFormatError(LinePlace(file, info.idxfilesizeLine) +
                       ": idxfilesize=" + std::to_string(info.idxfilesize) + Cp(", а в файле .idx "_cp) +
                       std::to_string(idx.size()) + Cp(" байт"_cp));

  CGlossary glossary;
  glossary.info.infoText1 = info.bookname;
  glossary.info.infoText2 = info.description;
  const int32_t defaultLanguage = options.language != 0 ? options.language
                                  : info.language != 0  ? info.language
                                                        : LanguageCode(CLanguage::English);
  // Articles beyond their own data (shared data blocks, .syn words) are bounded by the sources' size.
  std::size_t budget = (std::size_t{64} << 20) + 4 * (ifo.size() + idx.size() + dict.size() + syn.size());
  std::vector<std::string> words;                  // per article: its .idx word
  std::vector<std::vector<std::string>> listedOf;  // per article: the synonyms its body lists
  std::vector<uint64_t> entryOfArticle;            // per article from the .idx: its entry
  std::vector<int64_t> articleOfEntry;             // per .idx entry: its article or -1
  struct CBlockHash {
    std::size_t operator()(const std::pair<uint64_t, uint64_t>& block) const {
      return std::hash<uint64_t>()(block.first * 0x9E3779B97F4A7C15ULL ^ block.second);
    }
  };
  std::unordered_map<std::pair<uint64_t, uint64_t>, std::size_t, CBlockHash> firstOfBlock;  // -> article
  CUnion groups;
  std::vector<CField> fields;

  const std::size_t entryTail = info.offsetBytes + 4;
  uint64_t entries = 0;
  for (std::size_t pos = 0; pos < idx.size();) {
    const std::size_t start = pos;
    const std::string place = OffsetPlace(idxName, start);
    const std::size_t nul = idx.find('\0', pos);
    if (nul == std::string_view::npos) {
      SkipOrFail(glossary, options, place, "слово без завершающего нуля: файл .idx обрезан"_cp);
      break;
    }
    if (idx.size() - nul - 1 < entryTail) {
      SkipOrFail(glossary, options, place, "запись обрезана: нет смещения и размера статьи"_cp);
      break;
    }
    const std::string_view rawWord = idx.substr(pos, nul - pos);
    const uint64_t offset = BigEndian(idx, nul + 1, info.offsetBytes);
    const uint64_t size = BigEndian(idx, nul + 1 + info.offsetBytes, 4);
    pos = nul + 1 + entryTail;
    ++entries;
    articleOfEntry.push_back(-1);
    if (rawWord.empty()) {
      SkipOrFail(glossary, options, place, "пустое слово"_cp);
      continue;
    }
    if (rawWord.size() > kMaxReadWordBytes) {
      SkipOrFail(glossary, options, place,
                 Cp("слово длиннее "_cp) + std::to_string(kMaxReadWordBytes) + Cp(" байт"_cp));
      continue;
    }
    if (offset > dict.size() || size > dict.size() - offset) {
      SkipOrFail(glossary, options, place, "статья за концом файла .dict"_cp);
      continue;
    }
    std::string word;
    if (!ConvertWord(rawWord, place, options, glossary, word)) continue;
    const std::string_view data = dict.substr(offset, size);
    const auto shared = firstOfBlock.find({offset, size});
    if (shared != firstOfBlock.end()) {
      const std::size_t cost = Cost(glossary.articles[shared->second]);
      if (cost > budget) {
        SkipOrFail(glossary, options, place, "слишком много записей на одни и те же данные"_cp);
        continue;
      }
      budget -= cost;
    }
    std::string reason;
    std::size_t at = 0;
    if (!SplitFields(data, info.sametypesequence, fields, reason, at)) {
      SkipOrFail(glossary, options, OffsetPlace(dictName, offset + at), reason);
      continue;
    }
    CGlossaryArticle article;
    std::vector<std::string> listed;
    try {
      CEntryText text;
      ReadFields(fields, dictName, offset, options, text);
      FillArticle(text, word, defaultLanguage, options, article);
      listed = std::move(text.ownBody.synonyms);
    } catch (const CFormatError&) {
      if (!options.keepGoing) throw;
      ++glossary.skipped[Cp("статья, которую нельзя записать в Windows-1251"_cp)];
      continue;
    }
    article.id = static_cast<int32_t>(glossary.articles.size() + 1);
    articleOfEntry.back() = static_cast<int64_t>(glossary.articles.size());
    entryOfArticle.push_back(entries - 1);
    words.push_back(std::move(word));
    listedOf.push_back(std::move(listed));
    glossary.articles.push_back(std::move(article));
    groups.Add();
    if (shared != firstOfBlock.end())
      groups.Join(shared->second, glossary.articles.size() - 1);
    else
      firstOfBlock.emplace(std::make_pair(offset, size), glossary.articles.size() - 1);
    if (glossary.articles.size() >= static_cast<std::size_t>(std::numeric_limits<int32_t>::max() / 2))
      throw CFormatError(place + Cp(": слишком много статей"_cp));
  }
  if (entries != info.wordcount && !options.keepGoing)
    throw CFormatError(LinePlace(file, info.wordcountLine) + ": wordcount=" + std::to_string(info.wordcount) +
                       Cp(", а в файле .idx "_cp) + std::to_string(entries) + Cp(" слов"_cp));

  std::unordered_map<std::string_view, std::vector<std::size_t>> byWord;
  for (std::size_t k = 0; k < words.size(); ++k) byWord[words[k]].push_back(k);
  // Our own bodies list their group's other words; where a word has several entries, the one
  // that lists this entry's word back is meant.
  for (std::size_t k = 0; k < listedOf.size(); ++k) {
    for (const std::string& listed : listedOf[k]) {
      const auto same = byWord.find(listed);
      if (same == byWord.end() || same->second.size() > kMaxSameWord) continue;
      std::vector<std::size_t> linked, others;
      for (const std::size_t other : same->second) {
        if (other == k) continue;
        others.push_back(other);
        if (std::find(listedOf[other].begin(), listedOf[other].end(), words[k]) != listedOf[other].end())
          linked.push_back(other);
      }
      if (linked.empty() && others.size() == 1) linked = others;
      for (const std::size_t other : linked) groups.Join(k, other);
    }
  }

  if (!syn.empty()) {
    struct CSyn {
      std::string word;
      uint64_t entry;
      std::size_t offset;
    };
    std::vector<CSyn> synonyms;
    std::unordered_set<std::string> leads;  // word + entry, to see which way a word leads
    uint64_t found = 0;
    for (std::size_t pos = 0; pos < syn.size();) {
      const std::size_t start = pos;
      const std::string place = OffsetPlace(synName, start);
      const std::size_t nul = syn.find('\0', pos);
      if (nul == std::string_view::npos) {
        SkipOrFail(glossary, options, place, "слово без завершающего нуля: файл .syn обрезан"_cp);
        break;
      }
      if (syn.size() - nul - 1 < 4) {
        SkipOrFail(glossary, options, place, "запись обрезана: нет номера слова в .idx"_cp);
        break;
      }
      const std::string_view rawWord = syn.substr(pos, nul - pos);
      const uint64_t entry = BigEndian(syn, nul + 1, 4);
      pos = nul + 5;
      ++found;
      if (rawWord.empty()) {
        SkipOrFail(glossary, options, place, "пустое слово"_cp);
        continue;
      }
      if (rawWord.size() > kMaxReadWordBytes) {
        SkipOrFail(glossary, options, place,
                   Cp("слово длиннее "_cp) + std::to_string(kMaxReadWordBytes) + Cp(" байт"_cp));
        continue;
      }
      if (entry >= entries) {
        SkipOrFail(glossary, options, place,
                   Cp("номер слова "_cp) + std::to_string(entry) + Cp(" вне файла .idx (в нём "_cp) +
                       std::to_string(entries) + Cp(" слов)"_cp));
        continue;
      }
      std::string word;
      if (!ConvertWord(rawWord, place, options, glossary, word)) continue;
      if (articleOfEntry[entry] < 0) continue;  // its entry was skipped
      leads.insert(SynKey(word, entry));
      synonyms.push_back({std::move(word), entry, start});
    }
    if (info.synwordcount && *info.synwordcount != found && !options.keepGoing)
      throw CFormatError(LinePlace(file, info.synwordcountLine) +
                         ": synwordcount=" + std::to_string(*info.synwordcount) + Cp(", а в файле .syn "_cp) +
                         std::to_string(found) + Cp(" слов"_cp));

    std::unordered_set<std::string> made;
    for (const CSyn& synonym : synonyms) {
      const auto target = static_cast<std::size_t>(articleOfEntry[synonym.entry]);
      CGlossaryArticle& head = glossary.articles[target];
      if (synonym.word == head.translation || synonym.word == words[target]) continue;
      const auto same = byWord.find(synonym.word);
      if (same != byWord.end() && same->second.size() > kMaxSameWord) continue;  // too many to tell
      if (same != byWord.end()) {
        std::vector<std::size_t> linked, others;
        for (const std::size_t other : same->second) {
          if (other == target) continue;
          others.push_back(other);
          if (leads.count(SynKey(words[target], entryOfArticle[other]))) linked.push_back(other);
        }
        if (linked.empty() && others.size() == 1) linked = others;
        for (const std::size_t other : linked) groups.Join(target, other);
        if (!others.empty()) continue;
      }
      const bool russian = IsRussian(synonym.word);
      if (russian && head.translation.empty()) {
        head.translation = synonym.word;
        continue;
      }
      if (!made.insert(SynKey(synonym.word, target)).second) continue;
      const std::size_t cost = Cost(head);
      if (cost > budget) {
        SkipOrFail(glossary, options, OffsetPlace(synName, synonym.offset),
                   "синонимов больше, чем может дать файл такого размера"_cp);
        continue;
      }
      budget -= cost;
      CGlossaryArticle article = head;
      (russian ? article.translation : article.term) = synonym.word;
      article.id = static_cast<int32_t>(glossary.articles.size() + 1);
      glossary.articles.push_back(std::move(article));
      groups.Join(target, groups.Add());
    }
  }

  std::vector<std::size_t> members(glossary.articles.size(), 0);
  for (std::size_t k = 0; k < glossary.articles.size(); ++k) ++members[groups.Find(k)];
  for (std::size_t k = 0; k < glossary.articles.size(); ++k) {
    const std::size_t root = groups.Find(k);
    glossary.articles[k].synonymGroup = members[root] > 1 ? glossary.articles[root].id : 0;
  }
  return glossary;
}

CGlossary ReadStarDictFile(const std::string& ifoPath, const CImportOptions& options) {
  const std::string ifo = ReadSourceFile(ifoPath);
  const std::string base = WithoutIfo(ifoPath);
  auto exists = [](const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
  };
  auto read = [&](const std::string& plain, const std::string& compressed) {
    if (exists(plain)) return ReadSourceFile(plain);
    if (exists(compressed)) return Inflate(ReadSourceFile(compressed), compressed, kMaxSourceBytes);
    throw CFormatError(Cp("Нет файла "_cp) + cp1251::FromUtf8Lossy(plain) + Cp(" (ни "_cp) +
                       cp1251::FromUtf8Lossy(compressed) + Cp(") рядом с "_cp) +
                       cp1251::FromUtf8Lossy(ifoPath));
  };
  const std::string idx = read(base + ".idx", base + ".idx.gz");
  const std::string dict = read(base + ".dict", base + ".dict.dz");
  const std::string syn = exists(base + ".syn") ? ReadSourceFile(base + ".syn") : std::string();
  return ReadStarDict(ifo, idx, dict, syn, ifoPath, options);
}

std::vector<CExportFile> ExportStarDict(const CDictionary& dictionary, const std::string& outIfoPath) {
  std::string ifoPath = outIfoPath;
  if (ifoPath.size() < 4 || ifoPath.compare(ifoPath.size() - 4, 4, ".ifo") != 0) ifoPath += ".ifo";
  const std::string base = WithoutIfo(ifoPath);
  const std::vector<CArticle>& articles = dictionary.Articles();

  struct CEntry {
    std::string word;
    uint64_t offset;
    uint64_t size;
  };
  std::vector<CEntry> entries;
  entries.reserve(articles.size());
  std::vector<int64_t> entryOfArticle(articles.size(), -1);
  std::unordered_map<int32_t, std::size_t> groupIndex;
  std::vector<std::vector<std::size_t>> groupMembers;  // the head first
  std::vector<int64_t> groupOf(articles.size(), -1);
  std::size_t estimate = 0;
  for (std::size_t k = 0; k < articles.size(); ++k) {
    const CArticle& article = articles[k];
    estimate += article.translation.size() + article.transcription.size() + article.definition.size() +
                article.seeAlso.size() + 200;
    std::string word = IndexWord(article.term.empty() ? article.translation : article.term);
    if (word.empty()) continue;  // nothing to look it up by
    entryOfArticle[k] = static_cast<int64_t>(entries.size());
    entries.push_back({std::move(word), 0, 0});
    if (article.synonymGroup > 0) {
      const auto [found, isNew] = groupIndex.try_emplace(article.synonymGroup, groupMembers.size());
      if (isNew) groupMembers.emplace_back();
      std::vector<std::size_t>& members = groupMembers[found->second];
      members.push_back(k);
      if (article.id == article.synonymGroup) std::swap(members.front(), members.back());
      groupOf[k] = static_cast<int64_t>(found->second);
    }
  }

  std::string dict;
  dict.reserve(estimate + estimate / 4);
  std::vector<const std::string*> synonymWords;
  for (std::size_t k = 0; k < articles.size(); ++k) {
    if (entryOfArticle[k] < 0) continue;
    CEntry& entry = entries[static_cast<std::size_t>(entryOfArticle[k])];
    synonymWords.clear();
    if (groupOf[k] >= 0)
      for (const std::size_t other : groupMembers[static_cast<std::size_t>(groupOf[k])])
        if (other != k && synonymWords.size() < kMaxListedSynonyms)
          synonymWords.push_back(&entries[static_cast<std::size_t>(entryOfArticle[other])].word);
    entry.offset = dict.size();
    AppendBody(dict, articles[k], synonymWords);
    entry.size = dict.size() - entry.offset;
  }

  std::vector<uint32_t> order(entries.size());
  std::iota(order.begin(), order.end(), 0u);
  std::stable_sort(order.begin(), order.end(),
                   [&](uint32_t a, uint32_t b) { return StarDictLess(entries[a].word, entries[b].word); });
  std::vector<uint32_t> positionOf(entries.size());
  for (uint32_t k = 0; k < order.size(); ++k) positionOf[order[k]] = k;

  const bool wide = dict.size() > std::numeric_limits<uint32_t>::max();
  std::string idx;
  idx.reserve(entries.size() * 24);
  for (const uint32_t k : order) {
    idx += entries[k].word;
    idx += '\0';
    AppendBigEndian(idx, entries[k].offset, wide ? 8 : 4);
    AppendBigEndian(idx, entries[k].size, 4);
  }

  // .syn: each translation leads to its article. A .syn word that is also an .idx word would hide
  // that entry from lookups, so those are left out.
  std::unordered_set<std::string_view> indexWords;
  indexWords.reserve(entries.size());
  for (const CEntry& entry : entries) indexWords.insert(entry.word);
  std::vector<std::pair<std::string, uint32_t>> synonyms;
  for (std::size_t k = 0; k < articles.size(); ++k) {
    if (articles[k].term.empty() || entryOfArticle[k] < 0) continue;
    std::string word = IndexWord(articles[k].translation);
    if (word.empty() || indexWords.count(word)) continue;
    synonyms.emplace_back(std::move(word), positionOf[static_cast<std::size_t>(entryOfArticle[k])]);
  }
  std::sort(synonyms.begin(), synonyms.end(), [](const auto& a, const auto& b) {
    if (a.first != b.first) return StarDictLess(a.first, b.first);
    return a.second < b.second;
  });
  synonyms.erase(std::unique(synonyms.begin(), synonyms.end()), synonyms.end());
  std::string synBytes;
  synBytes.reserve(synonyms.size() * 24);
  for (const auto& [word, position] : synonyms) {
    synBytes += word;
    synBytes += '\0';
    AppendBigEndian(synBytes, position, 4);
  }

  std::string ifo(kMagic);
  ifo += "\nversion=3.0.0\nbookname=";
  const std::string bookname = IfoValue(dictionary.Info().infoText1, false);
  ifo += bookname.empty() ? std::string("Carro") : bookname;
  ifo += "\nwordcount=" + std::to_string(entries.size());
  if (!synonyms.empty()) ifo += "\nsynwordcount=" + std::to_string(synonyms.size());
  ifo += "\nidxfilesize=" + std::to_string(idx.size());
  if (wide) ifo += "\nidxoffsetbits=64";
  ifo += "\nsametypesequence=h";
  const std::string description = IfoValue(dictionary.Info().infoText2, true);
  if (!description.empty()) ifo += "\ndescription=" + description;
  ifo += '\n';

  std::vector<CExportFile> files;
  files.push_back({ifoPath, std::move(ifo)});
  files.push_back({base + ".idx", std::move(idx)});
  files.push_back({base + ".dict", std::move(dict)});
  if (!synBytes.empty()) files.push_back({base + ".syn", std::move(synBytes)});
  return files;
}
