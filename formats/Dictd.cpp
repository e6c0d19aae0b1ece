#include "formats/Dictd.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <unordered_map>

#include "formats/Dictzip.h"

namespace {

constexpr std::string_view kDigits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::string_view kIndent = "   ";
constexpr std::string_view kSeeAlso = "См. также:";  // UTF-8, as the texts of the database
constexpr std::string_view kUtf8Entry = "00-database-utf8";
constexpr std::string_view kShortEntry = "00-database-short";
constexpr std::string_view kInfoEntry = "00-database-info";
constexpr std::string_view kLayoutEntry = "00-database-carro";
// Far past any file: a longer number stops growing there instead of overflowing.
constexpr uint64_t kNumberCeiling = uint64_t{1} << 50;
// Far past any article or database entry.
constexpr std::size_t kMaxEntryBytes = std::size_t{16} << 20;

// ---- base 64 numbers and texts

void AppendNumber(std::string& out, uint64_t value) {
  char digits[12];
  int count = 0;
  do {
    digits[count++] = kDigits[value & 63];
    value >>= 6;
  } while (value != 0);
  while (count > 0) out += digits[--count];
}

bool ReadNumber(std::string_view text, uint64_t& value) {
  if (text.empty()) return false;
  value = 0;
  for (const char c : text) {
    int digit = -1;
    if (c >= 'A' && c <= 'Z') digit = c - 'A';
    if (c >= 'a' && c <= 'z') digit = c - 'a' + 26;
    if (c >= '0' && c <= '9') digit = c - '0' + 52;
    if (c == '+') digit = 62;
    if (c == '/') digit = 63;
    if (digit < 0) return false;
    if (value < kNumberCeiling) value = value * 64 + static_cast<uint64_t>(digit);
  }
  return true;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool ValidUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();)
    if (cp1251::DecodeUtf8(text, pos) == cp1251::kInvalid) return false;
  return true;
}

// The server looks a word up by its letters, digits and blanks, lower case (as the C library of a
// UTF-8 locale classes them), and finds it in the index by comparing bytes: the keys are written in
// that form. Latin, Greek and Cyrillic are classed here; the data's code page has no other letters.
bool IsLetterOrDigit(char32_t c) {
  if (c < 0x80) return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  return c == 0xB5 || c == 0xAA || c == 0xBA || (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7) ||
         (c >= 0x386 && c <= 0x3FF && c != 0x387) || (c >= 0x400 && c <= 0x481) || (c >= 0x48A && c <= 0x52F);
}

bool IsSpace(char32_t c) {
  return c == ' ' || (c >= 9 && c <= 13) || c == 0x1680 || (c >= 0x2000 && c <= 0x2006) ||
         (c >= 0x2008 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x205F || c == 0x3000;
}

char32_t LowerCase(char32_t c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x410 && c <= 0x42F))
    return c + 0x20;
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 0x20;
  if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177) || (c >= 0x460 && c <= 0x481) ||
      (c >= 0x48A && c <= 0x4BF) || (c >= 0x4D0 && c <= 0x52F))
    return c | 1;
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E) || (c >= 0x4C1 && c <= 0x4CE))
    return (c & 1) != 0 ? c + 1 : c;
  return c;
}

std::string SearchKey(std::string_view utf8) {
  std::string key;
  key.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const char32_t c = cp1251::DecodeUtf8(utf8, pos);
    if (IsSpace(c))
      key += ' ';
    else if (c != cp1251::kInvalid && IsLetterOrDigit(c))
      cp1251::AppendUtf8(key, LowerCase(c));
  }
  return key;
}

// Whether a line of a text spells a headword: the same, or the same when looked up.
bool SpellsHeadword(std::string_view line, std::string_view headword) {
  if (line == headword) return true;
  const std::string key = SearchKey(line);
  return !key.empty() && key == SearchKey(headword);
}

enum class CScript { None, Russian, Other };

// The first letter decides: Cyrillic is Russian.
CScript ScriptOf(std::string_view utf8) {
  for (std::size_t pos = 0; pos < utf8.size();) {
    const char32_t c = cp1251::DecodeUtf8(utf8, pos);
    if (c >= 0x400 && c <= 0x52F) return CScript::Russian;
    if (c != cp1251::kInvalid && IsLetterOrDigit(c) && !(c >= '0' && c <= '9')) return CScript::Other;
  }
  return CScript::None;
}

bool IsRussian(std::string_view utf8) {
  return ScriptOf(utf8) == CScript::Russian;
}

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  for (std::size_t pos = 0; pos < text.size();) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    pos = end + 1;
  }
  return lines;
}

void TrimBlankLines(std::vector<std::string_view>& lines) {
  while (!lines.empty() && Trim(lines.back()).empty()) lines.pop_back();
  std::size_t first = 0;
  while (first < lines.size() && Trim(lines[first]).empty()) ++first;
  lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(first));
}

std::string Joined(const std::vector<std::string_view>& lines, std::size_t from) {
  std::string text;
  for (std::size_t i = from; i < lines.size(); ++i) {
    if (i > from) text += '\n';
    text += lines[i];
  }
  return text;
}

// ---- reading

struct CIndexLine {
  std::string_view headword;
  uint64_t offset = 0;
  uint64_t length = 0;
  uint64_t number = 0;
};

// One text of the .dict with every headword that points at it.
struct CEntry {
  std::vector<std::string_view> headwords;
  std::string_view text;
  uint64_t line = 0;
};

// An article's fields as the text holds them, UTF-8.
struct CFields {
  std::string term;
  std::string translation;
  std::string transcription;
  std::string definition;
  std::string seeAlso;
};

std::vector<CIndexLine> ReadIndex(std::string_view index, std::size_t dictSize, std::string_view file,
                                  const CImportOptions& options, CGlossary& glossary) {
  std::vector<CIndexLine> lines;
  uint64_t number = 0;
  for (std::size_t pos = 0; pos < index.size();) {
    std::size_t end = index.find('\n', pos);
    if (end == std::string_view::npos) end = index.size();
    std::string_view line = index.substr(pos, end - pos);
    pos = end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (Trim(line).empty()) continue;
    auto bad = [&](std::string_view reason) {
      SkipOrFail(glossary, options, LinePlace(file, number), reason);
    };
    const std::size_t tab1 = line.find('\t');
    if (tab1 == std::string_view::npos) {
      bad("нет табуляции после заголовка"_cp);
      continue;
    }
    const std::size_t tab2 = line.find('\t', tab1 + 1);
    if (tab2 == std::string_view::npos) {
      bad("нет длины статьи"_cp);
      continue;
    }
    const std::size_t tab3 = line.find('\t', tab2 + 1);
    const std::string_view key = line.substr(0, tab1);
    // A fourth column, where there is one, holds the headword as written; more columns are ignored.
    std::string_view written = tab3 == std::string_view::npos ? std::string_view{} : line.substr(tab3 + 1);
    written = written.substr(0, written.find('\t'));
    CIndexLine entry;
    entry.number = number;
    entry.headword = Trim(written.empty() ? key : written);
    if (!ReadNumber(line.substr(tab1 + 1, tab2 - tab1 - 1), entry.offset)) {
      bad("неверное число base64 в смещении статьи"_cp);
      continue;
    }
    if (!ReadNumber(
            line.substr(tab2 + 1, tab3 == std::string_view::npos ? std::string_view::npos : tab3 - tab2 - 1),
            entry.length)) {
      bad("неверное число base64 в длине статьи"_cp);
      continue;
    }
    if (entry.offset > dictSize || entry.length > dictSize - entry.offset) {
      bad("статья за концом файла .dict"_cp);
      continue;
    }
    if (entry.headword.empty()) {
      bad("пустой заголовок"_cp);
      continue;
    }
    if (!ValidUtf8(entry.headword)) {
      bad("неверная последовательность UTF-8 в заголовке"_cp);
      continue;
    }
    lines.push_back(entry);
  }
  return lines;
}

// Index lines pointing at the same text make one entry; entries in the order of the .dict.
std::vector<CEntry> Entries(std::vector<CIndexLine>& lines, std::string_view dict) {
  std::sort(lines.begin(), lines.end(), [](const CIndexLine& a, const CIndexLine& b) {
    if (a.offset != b.offset) return a.offset < b.offset;
    if (a.length != b.length) return a.length < b.length;
    return a.number < b.number;
  });
  std::vector<CEntry> entries;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i == 0 || lines[i].offset != lines[i - 1].offset || lines[i].length != lines[i - 1].length)
      entries.push_back(
          {.headwords = {}, .text = dict.substr(lines[i].offset, lines[i].length), .line = lines[i].number});
    std::vector<std::string_view>& headwords = entries.back().headwords;
    if (std::find(headwords.begin(), headwords.end(), lines[i].headword) == headwords.end())
      headwords.push_back(lines[i].headword);
  }
  return entries;
}

// "00-database-short", and "00databaseshort" as older writers spell it.
std::string DatabaseEntryName(std::string_view headword) {
  if (!headword.starts_with("00-database-") && !headword.starts_with("00database")) return {};
  std::string name;
  for (const char c : headword)
    if (c != '-') name += c;
  return name;
}

// The name of the database entry among the headwords, or empty for an article.
std::string DatabaseEntryOf(const CEntry& entry) {
  for (const std::string_view headword : entry.headwords) {
    std::string name = DatabaseEntryName(headword);
    if (!name.empty()) return name;
  }
  return {};
}

// The text of a database entry without its headword line and indentation.
std::string DatabaseText(const CEntry& entry, std::string_view name) {
  std::vector<std::string_view> lines = Lines(entry.text);
  TrimBlankLines(lines);
  if (!lines.empty() && DatabaseEntryName(Trim(lines[0])) == name) lines.erase(lines.begin());
  for (std::string_view& line : lines) line = Trim(line);
  TrimBlankLines(lines);
  return Joined(lines, 0);
}

// Our own layout: sections each opening with a line at the margin "term [transcription]", then
// the translation, the definition and "См. также: ..." indented.
std::vector<CFields> ReadSections(const CEntry& entry) {
  const std::vector<std::string_view> lines = Lines(entry.text);
  std::vector<CFields> sections;
  for (std::size_t i = 0; i < lines.size();) {
    const std::string_view head = Trim(lines[i]);
    if (head.empty() || IsBlank(lines[i].front())) {
      ++i;
      continue;
    }
    CFields fields;
    std::size_t split = std::string_view::npos;
    if (std::find(entry.headwords.begin(), entry.headwords.end(), head) == entry.headwords.end() &&
        head.ends_with(']')) {
      for (const std::string_view headword : entry.headwords)
        if (head.size() > headword.size() + 2 && head.starts_with(headword) &&
            head.substr(headword.size(), 2) == " [" &&
            (split == std::string_view::npos || headword.size() > split))
          split = headword.size();
      if (split == std::string_view::npos) split = head.front() == '[' ? 0 : head.rfind(" [");
    }
    if (split == std::string_view::npos) {
      fields.term = head;
    } else {
      const std::size_t open = split + (split == 0 && head.front() == '[' ? 1 : 2);
      fields.term = head.substr(0, split);
      fields.transcription = head.substr(open, head.size() - 1 - open);
    }
    std::vector<std::string_view> body;
    for (++i; i < lines.size() && (lines[i].empty() || IsBlank(lines[i].front())); ++i) {
      std::string_view line = lines[i];
      for (int k = 0; k < 3 && !line.empty() && line.front() == ' '; ++k) line.remove_prefix(1);
      body.push_back(line);
    }
    while (!body.empty() && Trim(body.back()).empty()) body.pop_back();
    if (!body.empty()) fields.translation = body.front();
    if (body.size() > 1 && body.back().starts_with(kSeeAlso)) {
      fields.seeAlso = Trim(body.back().substr(kSeeAlso.size()));
      body.pop_back();
    }
    fields.definition = Joined(body, 1);
    sections.push_back(std::move(fields));
  }
  return sections;
}

std::string FirstEquivalent(std::string_view line) {
  return std::string(Trim(line.substr(0, line.find_first_of(",;"))));
}

// Any other database: every headword an article with the one text.
std::vector<CFields> ReadText(const CEntry& entry) {
  std::vector<std::string_view> lines = Lines(entry.text);
  TrimBlankLines(lines);
  // The first line repeats a headword, perhaps with its transcription: it gives the spelling.
  std::vector<std::string> spellings(entry.headwords.begin(), entry.headwords.end());
  std::string transcription;
  if (!lines.empty()) {
    const std::string_view first = Trim(lines[0]);
    std::string_view spelling = first;
    std::string_view sound;
    const char close = first.empty() ? '\0' : first.back();
    const std::size_t open = close == ']'   ? first.rfind(" [")
                             : close == '/' ? first.rfind(" /")
                                            : std::string_view::npos;
    bool matched = false;
    for (std::size_t pass = 0; pass < 2 && !matched; ++pass) {
      if (pass == 1) {
        if (open == std::string_view::npos) break;
        spelling = Trim(first.substr(0, open));
        sound = Trim(first.substr(open + 2, first.size() - open - 3));
      }
      for (std::size_t h = 0; h < entry.headwords.size(); ++h)
        if (SpellsHeadword(spelling, entry.headwords[h])) {
          spellings[h] = spelling;
          matched = true;
        }
    }
    if (matched) {
      transcription = sound;
      lines.erase(lines.begin());
    }
  }
  for (std::string_view& line : lines) line = Trim(line);
  TrimBlankLines(lines);

  CFields common;
  common.transcription = transcription;
  if (!lines.empty() && lines.back().starts_with(kSeeAlso)) {
    common.seeAlso = Trim(lines.back().substr(kSeeAlso.size()));
    lines.pop_back();
  }
  // A headword in Russian beside foreign ones only finds the same text from the Russian side.
  const bool allRussian = std::all_of(entry.headwords.begin(), entry.headwords.end(), IsRussian);
  std::string equivalent;
  std::size_t from = 0;
  const CScript script = lines.empty() ? CScript::None : ScriptOf(lines[0]);
  if (script != CScript::None && (script == CScript::Russian) != allRussian) {
    equivalent = FirstEquivalent(lines[0]);
    // A line of several equivalents stays in the definition, the others would be lost.
    if (equivalent == lines[0]) from = 1;
  }
  common.definition = Joined(lines, from);

  std::vector<CFields> articles;
  for (std::size_t h = 0; h < entry.headwords.size(); ++h) {
    if (!allRussian && IsRussian(entry.headwords[h])) continue;
    CFields fields = common;
    if (allRussian && !equivalent.empty()) {
      fields.term = equivalent;
      fields.translation = spellings[h];
    } else {
      fields.term = spellings[h];
      fields.translation = equivalent;
    }
    articles.push_back(std::move(fields));
  }
  return articles;
}

// ---- writing

// A field on one line, UTF-8.
std::string OneLine(std::string_view cp1251Text) {
  std::string line = cp1251::ToUtf8(cp1251Text);
  for (char& c : line)
    if (c == '\n' || c == '\r' || c == '\t') c = ' ';
  return std::string(Trim(line));
}

struct CHeadword {
  std::string key;
  std::string written;
  uint64_t offset = 0;
  uint64_t length = 0;
};

void AddHeadword(std::vector<CHeadword>& headwords, std::size_t entryStart, std::string_view written) {
  if (written.empty()) return;
  for (std::size_t i = entryStart; i < headwords.size(); ++i)
    if (headwords[i].written == written) return;
  headwords.push_back({.key = SearchKey(written), .written = std::string(written), .offset = 0, .length = 0});
}

void AppendIndented(std::string& out, std::string_view text) {
  for (const std::string_view line : Lines(text)) {
    if (!line.empty()) {
      out += kIndent;
      out += line;
    }
    out += '\n';
  }
}

// One article's section; its headwords (term and Russian equivalents) go to `headwords`.
void AppendSection(std::string& dict, const CArticle& article, std::vector<CHeadword>& headwords,
                   std::size_t entryStart) {
  const std::string term = OneLine(article.term);
  const std::string translation = OneLine(article.translation);
  const std::string transcription = OneLine(article.transcription);
  const std::string seeAlso = OneLine(article.seeAlso);
  std::string definition = PlainText(article.definition);
  std::erase(definition, '\r');
  while (!definition.empty() && (definition.back() == '\n' || IsBlank(definition.back())))
    definition.pop_back();

  dict += term;
  if (term.empty() || !transcription.empty()) {
    if (!term.empty()) dict += ' ';
    dict += '[';
    dict += transcription;
    dict += ']';
  }
  dict += '\n';
  if (!translation.empty() || !definition.empty() || !seeAlso.empty()) {
    if (!translation.empty()) {
      dict += kIndent;
      dict += translation;
    }
    dict += '\n';
  }
  AppendIndented(dict, definition);
  const std::size_t lastLine = definition.rfind('\n');
  const std::string_view last =
      std::string_view(definition).substr(lastLine == std::string::npos ? 0 : lastLine + 1);
  if (!seeAlso.empty() || Trim(last).starts_with(kSeeAlso)) {
    // An empty see-also keeps a definition's own last line "См. также: ..." in the definition.
    dict += kIndent;
    dict += kSeeAlso;
    if (!seeAlso.empty()) {
      dict += ' ';
      dict += seeAlso;
    }
    dict += '\n';
  }

  AddHeadword(headwords, entryStart, term);
  for (std::size_t pos = 0; pos <= translation.size();) {
    std::size_t end = translation.find_first_of(",;", pos);
    if (end == std::string::npos) end = translation.size();
    AddHeadword(headwords, entryStart, Trim(std::string_view(translation).substr(pos, end - pos)));
    pos = end + 1;
  }
}

void AppendDatabaseEntry(std::string& dict, std::vector<CHeadword>& headwords, std::string_view name,
                         std::string_view utf8Text, bool literalKey) {
  const uint64_t offset = dict.size();
  dict += name;
  dict += '\n';
  AppendIndented(dict, utf8Text);
  // The server finds its flags (00-database-utf8) by the name as written, the others by the key.
  headwords.push_back({.key = literalKey ? std::string(name) : SearchKey(name),
                       .written = std::string(name),
                       .offset = offset,
                       .length = dict.size() - offset});
}

// Runs a conversion of an entry's texts; with keepGoing a character the code page lacks skips the entry.
template <class TConvert>
bool Converted(CGlossary& glossary, const CImportOptions& options, TConvert convert) {
  try {
    convert();
    return true;
  } catch (const CFormatError&) {
    if (!options.keepGoing) throw;
    ++glossary.skipped[std::string("символ, которого нет в Windows-1251"_cp)];
    return false;
  }
}

// The articles of one entry, one synonym group when there are several.
void AppendArticles(CGlossary& glossary, const std::vector<CFields>& articles, std::string_view place,
                    const CImportOptions& options, int32_t language) {
  const int32_t first = static_cast<int32_t>(glossary.articles.size()) + 1;
  for (const CFields& fields : articles) {
    CGlossaryArticle article;
    article.id = static_cast<int32_t>(glossary.articles.size()) + 1;
    article.term = SourceText(fields.term, place, options);
    article.translation = SourceText(fields.translation, place, options);
    article.language = language;
    article.definition = MarkupOfText(SourceText(fields.definition, place, options));
    article.synonymGroup = articles.size() > 1 ? first : 0;
    article.seeAlso = SourceText(fields.seeAlso, place, options);
    article.transcription = SourceText(fields.transcription, place, options);
    glossary.articles.push_back(std::move(article));
  }
}

}  // namespace

CGlossary ReadDictd(std::string_view index, std::string_view dict, std::string_view file,
                    const CImportOptions& options) {
  CGlossary glossary;
  std::vector<CIndexLine> lines = ReadIndex(index, dict.size(), file, options, glossary);
  std::vector<CEntry> entries = Entries(lines, dict);
  bool ourLayout = false;
  for (const CEntry& entry : entries)
    for (const std::string_view headword : entry.headwords)
      if (DatabaseEntryName(headword) == DatabaseEntryName(kLayoutEntry)) ourLayout = true;

  const int32_t language = options.language != 0 ? options.language : LanguageCode(CLanguage::English);
  bool haveShort = false;
  bool haveInfo = false;
  // Index lines may point at the same bytes again and again: the texts they give stay bounded.
  const uint64_t budget = 16 * static_cast<uint64_t>(dict.size()) + (uint64_t{1} << 26);
  uint64_t given = 0;
  for (const CEntry& entry : entries) {
    const std::string place = LinePlace(file, entry.line);
    if (entry.text.size() > kMaxEntryBytes) {
      SkipOrFail(glossary, options, place, "статья длиннее 16 МБ"_cp);
      continue;
    }
    if (!ValidUtf8(entry.text)) {
      SkipOrFail(glossary, options, place, "неверная последовательность UTF-8 в статье"_cp);
      continue;
    }
    const std::string name = DatabaseEntryOf(entry);
    if (!name.empty()) {
      const bool isShort = name == DatabaseEntryName(kShortEntry);
      if ((isShort && !haveShort) || (name == DatabaseEntryName(kInfoEntry) && !haveInfo)) {
        std::string& text = isShort ? glossary.info.infoText1 : glossary.info.infoText2;
        (isShort ? haveShort : haveInfo) = Converted(
            glossary, options, [&] { text = SourceText(DatabaseText(entry, name), place, options); });
      }
      continue;
    }
    std::vector<CFields> articles;
    if (ourLayout) articles = ReadSections(entry);
    // Sections share out the text; any other text goes to each of its headwords.
    given += entry.text.size() * (articles.empty() ? entry.headwords.size() : 1);
    if (given > budget)
      throw CFormatError(place + std::string(": строки указателя слишком часто указывают на одни и те же "
                                             "байты файла .dict"_cp));
    if (articles.empty()) articles = ReadText(entry);
    const std::size_t before = glossary.articles.size();
    if (!Converted(glossary, options, [&] { AppendArticles(glossary, articles, place, options, language); }))
      glossary.articles.resize(before);
  }
  return glossary;
}

CGlossary ReadDictdFile(const std::string& indexPath, const CImportOptions& options) {
  const std::string index = ReadSourceFile(indexPath);
  const std::string base =
      indexPath.ends_with(".index") ? indexPath.substr(0, indexPath.size() - 6) : indexPath;
  const std::string plain = base + ".dict";
  const std::string packed = base + ".dict.dz";
  std::error_code error;
  std::string dict;
  if (std::filesystem::exists(plain, error))
    dict = ReadSourceFile(plain);
  else if (std::filesystem::exists(packed, error))
    dict = Inflate(ReadSourceFile(packed), packed, kMaxSourceBytes);
  else
    throw CFormatError(cp1251::FromUtf8Lossy(indexPath) + std::string(": нет файла статей "_cp) +
                       cp1251::FromUtf8Lossy(plain) + std::string(" или "_cp) +
                       cp1251::FromUtf8Lossy(packed));
  return ReadDictd(index, dict, indexPath, options);
}

std::vector<CExportFile> ExportDictd(const CDictionary& dictionary, const std::string& outIndexPath) {
  const std::string indexPath = outIndexPath.ends_with(".index") ? outIndexPath : outIndexPath + ".index";
  const std::string dictPath = indexPath.substr(0, indexPath.size() - 6) + ".dict";
  const std::vector<CArticle>& articles = dictionary.Articles();

  std::size_t size = 0;
  for (const CArticle& article : articles)
    size += article.term.size() + article.translation.size() + article.definition.size() +
            article.seeAlso.size() + article.transcription.size() + 64;
  std::string dict;
  dict.reserve(size * 2);
  std::vector<CHeadword> headwords;
  headwords.reserve(articles.size() * 3 + 4);

  const CDictionaryInfo& info = dictionary.Info();
  AppendDatabaseEntry(dict, headwords, kUtf8Entry, {}, true);
  AppendDatabaseEntry(dict, headwords, kShortEntry,
                      info.infoText1.empty() ? std::string("Carro") : cp1251::ToUtf8(info.infoText1), false);
  if (!info.infoText2.empty())
    AppendDatabaseEntry(dict, headwords, kInfoEntry, cp1251::ToUtf8(info.infoText2), false);
  AppendDatabaseEntry(dict, headwords, kLayoutEntry, "1", false);

  // A synonym group is one text, its members' sections one after another, found by each headword.
  std::unordered_map<int32_t, std::vector<std::size_t>> groups;
  for (std::size_t i = 0; i < articles.size(); ++i)
    if (articles[i].synonymGroup > 0) groups[articles[i].synonymGroup].push_back(i);
  std::vector<bool> written(articles.size(), false);
  for (std::size_t i = 0; i < articles.size(); ++i) {
    if (written[i]) continue;
    std::vector<std::size_t> single{i};
    const auto group = articles[i].synonymGroup > 0 ? groups.find(articles[i].synonymGroup) : groups.end();
    const std::vector<std::size_t>& members = group != groups.end() ? group->second : single;
    const std::size_t offset = dict.size();
    const std::size_t entryStart = headwords.size();
    for (const std::size_t member : members) {
      if (member != members.front()) dict += '\n';
      AppendSection(dict, articles[member], headwords, entryStart);
      written[member] = true;
    }
    // An article without a term or a translation has nothing to be found by.
    if (headwords.size() == entryStart) {
      dict.resize(offset);
      continue;
    }
    for (std::size_t h = entryStart; h < headwords.size(); ++h) {
      headwords[h].offset = offset;
      headwords[h].length = dict.size() - offset;
    }
  }

  std::sort(headwords.begin(), headwords.end(), [](const CHeadword& a, const CHeadword& b) {
    if (const int order = a.key.compare(b.key); order != 0) return order < 0;
    if (const int order = a.written.compare(b.written); order != 0) return order < 0;
    return a.offset < b.offset;
  });
  std::string index;
  index.reserve(headwords.size() * 40);
  for (const CHeadword& headword : headwords) {
    index += headword.key;
    index += '\t';
    AppendNumber(index, headword.offset);
    index += '\t';
    AppendNumber(index, headword.length);
    if (headword.written != headword.key) {
      index += '\t';
      index += headword.written;
    }
    index += '\n';
  }
  return {{.path = indexPath, .bytes = std::move(index)}, {.path = dictPath, .bytes = std::move(dict)}};
}
