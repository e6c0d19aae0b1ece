#include "formats/Csv.h"

#include <algorithm>
#include <array>
#include <limits>
#include <map>
#include <optional>
#include <unordered_set>

#include "text/CaseTable.h"
#include "text/Integer.h"

namespace {

enum class CColumn {
  English,
  German,
  Russian,
  Term,
  Language,
  Definition,
  Transcription,
  SeeAlso,
  Id,
  Group,
  Other
};

// Column names as people write them, upper-cased Windows-1251 so that case never matters.
const std::vector<std::pair<std::string, CColumn>>& ColumnNames() {
  static const std::vector<std::pair<std::string, CColumn>> names = [] {
    const std::initializer_list<std::pair<std::string_view, CColumn>> utf8 = {
        {"EN", CColumn::English},
        {"ENG", CColumn::English},
        {"ENGLISH", CColumn::English},
        {"АНГЛ", CColumn::English},
        {"АНГЛИЙСКИЙ", CColumn::English},
        {"DE", CColumn::German},
        {"DEU", CColumn::German},
        {"GERMAN", CColumn::German},
        {"DEUTSCH", CColumn::German},
        {"НЕМ", CColumn::German},
        {"НЕМЕЦКИЙ", CColumn::German},
        {"RU", CColumn::Russian},
        {"RUS", CColumn::Russian},
        {"RUSSIAN", CColumn::Russian},
        {"РУС", CColumn::Russian},
        {"РУССКИЙ", CColumn::Russian},
        {"TERM", CColumn::Term},
        {"ТЕРМИН", CColumn::Term},
        {"LANGUAGE", CColumn::Language},
        {"ЯЗЫК", CColumn::Language},
        {"DEFINITION", CColumn::Definition},
        {"ОПИСАНИЕ", CColumn::Definition},
        {"ОПРЕДЕЛЕНИЕ", CColumn::Definition},
        {"ТОЛКОВАНИЕ", CColumn::Definition},
        {"TRANSCRIPTION", CColumn::Transcription},
        {"ТРАНСКРИПЦИЯ", CColumn::Transcription},
        {"SEE ALSO", CColumn::SeeAlso},
        {"СМ. ТАКЖЕ", CColumn::SeeAlso},
        {"ID", CColumn::Id},
        {"SYNONYM GROUP", CColumn::Group},
        {"GROUP", CColumn::Group},
        {"ГРУППА", CColumn::Group},
        {"ГРУППА СИНОНИМОВ", CColumn::Group},
    };
    std::vector<std::pair<std::string, CColumn>> cp1251;
    for (const auto& [name, column] : utf8) cp1251.emplace_back(cp1251::FromUtf8Lossy(name), column);
    return cp1251;
  }();
  return names;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::optional<CColumn> ColumnNamed(std::string_view utf8) {
  const std::string name = ToUpperCp1251(cp1251::FromUtf8Lossy(Trimmed(utf8)));
  for (const auto& [known, column] : ColumnNames())
    if (name == known) return column;
  return std::nullopt;
}

bool IsUtf8(std::string_view bytes) {
  for (std::size_t pos = 0; pos < bytes.size();) {
    if (static_cast<unsigned char>(bytes[pos]) < 0x80) {
      ++pos;
      continue;
    }
    if (cp1251::DecodeUtf8(bytes, pos) == cp1251::kInvalid) return false;
  }
  return true;
}

// The delimiter is the one of tab, semicolon and comma that the first line holds most of.
char DelimiterOf(std::string_view text) {
  std::array<std::pair<char, int>, 3> counts = {{{'\t', 0}, {';', 0}, {',', 0}}};
  bool quoted = false;
  for (const char c : text) {
    if (c == '"') quoted = !quoted;
    if (!quoted && (c == '\n' || c == '\r')) break;
    if (quoted) continue;
    for (auto& [delimiter, count] : counts)
      if (c == delimiter) ++count;
  }
  const auto most = std::max_element(counts.begin(), counts.end(),
                                     [](const auto& a, const auto& b) { return a.second < b.second; });
  return most->first;
}

struct CRecord {
  uint64_t line = 0;  // where it starts
  std::vector<std::string> fields;
};

// Spreadsheet records: quoted fields may hold delimiters, doubled quotes and line breaks.
class CRecordReader {
 public:
  CRecordReader(std::string_view source, char separator, std::string_view fileName)
      : text(source), delimiter(separator), file(fileName) {}

  bool Next(CRecord& record) {
    if (pos >= text.size()) return false;
    record.line = line;
    record.fields.clear();
    record.fields.emplace_back();
    while (pos < text.size()) {
      const char c = text[pos];
      if (c == '"' && record.fields.back().empty() && !fieldQuoted) {
        ReadQuoted(record.fields.back(), record.line);
        fieldQuoted = true;
        continue;
      }
      ++pos;
      if (c == delimiter) {
        record.fields.emplace_back();
        fieldQuoted = false;
      } else if (c == '\n' || c == '\r') {
        if (c == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
        ++line;
        break;
      } else {
        record.fields.back() += c;
      }
    }
    fieldQuoted = false;
    return true;
  }

 private:
  void ReadQuoted(std::string& field, uint64_t recordLine) {
    ++pos;
    for (;;) {
      const std::size_t quote = text.find('"', pos);
      if (quote == std::string_view::npos)
        throw CFormatError(LinePlace(file, recordLine) + std::string(": кавычка поля не закрыта"_cp));
      const std::string_view part = text.substr(pos, quote - pos);
      line += static_cast<uint64_t>(std::count(part.begin(), part.end(), '\n'));
      field.append(part);
      pos = quote + 1;
      if (pos < text.size() && text[pos] == '"') {
        field += '"';
        ++pos;
      } else {
        return;
      }
    }
  }

  std::string_view text;
  char delimiter;
  std::string_view file;
  std::size_t pos = 0;
  uint64_t line = 1;
  bool fieldQuoted = false;
};

bool IsBlank(const CRecord& record) {
  return std::all_of(record.fields.begin(), record.fields.end(),
                     [](const std::string& field) { return Trimmed(field).empty(); });
}

std::vector<CColumn> ColumnsOfOption(std::string_view names) {
  std::vector<CColumn> columns;
  while (true) {
    const std::size_t comma = names.find(',');
    const std::string_view name = names.substr(0, comma);
    const auto column = ColumnNamed(name);
    // "-" or nothing: a column to leave out.
    if (!column && !Trimmed(name).empty() && Trimmed(name) != "-")
      throw CFormatError(std::string("--columns: неизвестный столбец «"_cp) + cp1251::FromUtf8Lossy(name) +
                         std::string("»"_cp));
    columns.push_back(column.value_or(CColumn::Other));
    if (comma == std::string_view::npos) return columns;
    names.remove_prefix(comma + 1);
  }
}

std::optional<std::vector<CColumn>> HeaderColumns(const CRecord& record) {
  std::vector<CColumn> columns;
  bool named = false;
  for (const std::string& field : record.fields) {
    const auto column = ColumnNamed(field);
    named = named || column.has_value();
    columns.push_back(column.value_or(CColumn::Other));
  }
  if (!named) return std::nullopt;
  return columns;
}

bool Has(const std::vector<CColumn>& columns, CColumn column) {
  return std::find(columns.begin(), columns.end(), column) != columns.end();
}

// Articles of a source whose ids and synonym groups are settled once every row is read.
class CCsvGlossary {
 public:
  CCsvGlossary(std::string_view fileName, const CImportOptions& how, std::vector<CColumn> layout)
      : file(fileName), options(how), columns(std::move(layout)) {}

  void AddRow(const CRecord& record) {
    const std::string place = LinePlace(file, record.line);
    if (record.fields.size() != columns.size()) {
      SkipOrFail(glossary, options, place,
                 std::string("неверное число полей (ожидалось "_cp) + std::to_string(columns.size()) + ")");
      return;
    }
    std::string russian, definition, transcription, seeAlso, groupKey;
    int32_t id = 0;
    int32_t termLanguage = 0;
    std::vector<std::pair<std::string_view, int32_t>> foreign;
    for (std::size_t n = 0; n < columns.size(); ++n) {
      const std::string_view cell = Trimmed(record.fields[n]);
      switch (columns[n]) {
        case CColumn::English:
          foreign.emplace_back(cell, LanguageCode(CLanguage::English));
          break;
        case CColumn::German:
          foreign.emplace_back(cell, LanguageCode(CLanguage::German));
          break;
        case CColumn::Term:
          foreign.emplace_back(cell, 0);
          break;
        case CColumn::Russian:
          if (russian.empty()) russian = SourceText(cell, place, options);
          break;
        case CColumn::Language:
          termLanguage = LanguageFromName(cell);
          break;
        case CColumn::Definition:
          definition = MarkupOfText(SourceText(record.fields[n], place, options));
          break;
        case CColumn::Transcription:
          transcription = SourceText(cell, place, options);
          break;
        case CColumn::SeeAlso:
          seeAlso = SourceText(cell, place, options);
          break;
        case CColumn::Id:
          if (!cell.empty()) {
            const auto number = ParseInt32(cell);
            if (!number || *number <= 0 || !givenIds.insert(*number).second) {
              SkipOrFail(glossary, options, place, std::string("неверный или повторный id"_cp));
              return;
            }
            id = *number;
          }
          break;
        case CColumn::Group:
          groupKey = cell;
          break;
        case CColumn::Other:
          break;
      }
    }
    std::erase_if(foreign, [](const auto& term) { return term.first.empty(); });
    if (foreign.empty())
      return SkipOrFail(glossary, options, place, std::string("нет иностранного термина"_cp));
    if (russian.empty()) return SkipOrFail(glossary, options, place, std::string("нет русского термина"_cp));
    for (const auto& [term, language] : foreign) {
      CGlossaryArticle article;
      article.id = id;
      id = 0;  // a row's further terms get ids of their own
      article.term = SourceText(term, place, options);
      article.translation = russian;
      article.language = language != 0           ? language
                         : termLanguage != 0     ? termLanguage
                         : options.language != 0 ? options.language
                                                 : LanguageCode(CLanguage::English);
      article.definition = definition;
      article.transcription = transcription;
      article.seeAlso = seeAlso;
      if (!groupKey.empty()) groupKeys.emplace_back(glossary.articles.size(), groupKey);
      glossary.articles.push_back(std::move(article));
    }
  }

  CGlossary Finish() {
    int32_t next = givenIds.empty() ? 0 : *std::max_element(givenIds.begin(), givenIds.end());
    for (CGlossaryArticle& article : glossary.articles) {
      if (article.id != 0) continue;
      if (next == std::numeric_limits<int32_t>::max())
        throw CFormatError(cp1251::FromUtf8Lossy(file) + std::string(": слишком много статей"_cp));
      article.id = ++next;
    }
    // A group is named by its head's id where the key is one, else by its first member.
    std::map<std::string, int32_t> heads;
    for (const auto& [index, key] : groupKeys) {
      const auto number = ParseInt32(key);
      const int32_t head = number && givenIds.contains(*number) ? *number : glossary.articles[index].id;
      glossary.articles[index].synonymGroup = heads.try_emplace(key, head).first->second;
    }
    return std::move(glossary);
  }

 private:
  std::string_view file;
  const CImportOptions& options;
  std::vector<CColumn> columns;
  CGlossary glossary;
  std::unordered_set<int32_t> givenIds;
  std::vector<std::pair<std::size_t, std::string>> groupKeys;
};

// A field as spreadsheets read it back: quoted when it holds a delimiter, a quote, a line break or
// spaces at its ends.
void AppendField(std::string& out, std::string_view utf8) {
  const bool quoted = utf8.find_first_of(",\"\r\n") != std::string_view::npos ||
                      (!utf8.empty() && (utf8.front() == ' ' || utf8.back() == ' '));
  if (!quoted) {
    out.append(utf8);
    return;
  }
  out += '"';
  for (const char c : utf8) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

}  // namespace

CGlossary ReadCsv(std::string_view bytes, std::string_view file, const CImportOptions& options) {
  std::string converted;
  if (bytes.starts_with("\xEF\xBB\xBF")) {
    bytes.remove_prefix(3);
  } else if (!IsUtf8(bytes)) {
    converted = cp1251::ToUtf8(bytes);  // not UTF-8, so the spreadsheet saved it in Windows-1251
    bytes = converted;
  }
  CRecordReader reader(bytes, DelimiterOf(bytes), file);
  CRecord record;
  while (reader.Next(record) && IsBlank(record)) {
  }
  if (IsBlank(record)) return {};
  const auto header = HeaderColumns(record);
  std::vector<CColumn> columns = !options.columns.empty() ? ColumnsOfOption(options.columns)
                                 : header                 ? *header
                                          : std::vector<CColumn>{CColumn::Term, CColumn::Russian};
  if (!header && options.columns.empty() && record.fields.size() > 2) {
    columns.push_back(CColumn::Definition);
    columns.resize(record.fields.size(), CColumn::Other);
  }
  const std::string where = header ? LinePlace(file, record.line) : cp1251::FromUtf8Lossy(file);
  if (!Has(columns, CColumn::Russian))
    throw CFormatError(where + std::string(": нет столбца русского термина"_cp));
  if (!Has(columns, CColumn::English) && !Has(columns, CColumn::German) && !Has(columns, CColumn::Term))
    throw CFormatError(where + std::string(": нет столбца английского или немецкого термина"_cp));
  CCsvGlossary glossary(file, options, std::move(columns));
  if (!header) glossary.AddRow(record);
  while (reader.Next(record))
    if (!IsBlank(record)) glossary.AddRow(record);
  return glossary.Finish();
}

std::vector<CExportFile> ExportCsv(const CDictionary& dictionary, const std::string& outPath) {
  std::string out = "\xEF\xBB\xBFterm,ru,language,transcription,definition,see also,id,synonym group\r\n";
  out.reserve(dictionary.Articles().size() * 256);
  for (const CArticle& article : dictionary.Articles()) {
    AppendField(out, cp1251::ToUtf8(article.term));
    out += ',';
    AppendField(out, cp1251::ToUtf8(article.translation));
    out += article.language == LanguageCode(CLanguage::English)  ? ",en,"
           : article.language == LanguageCode(CLanguage::German) ? ",de,"
                                                                 : ",,";
    AppendField(out, cp1251::ToUtf8(article.transcription));
    out += ',';
    AppendField(out, PlainText(article.definition));
    out += ',';
    AppendField(out, cp1251::ToUtf8(article.seeAlso));
    out += ',';
    out += std::to_string(article.id);
    out += ',';
    if (article.synonymGroup > 0) out += std::to_string(article.synonymGroup);
    out += "\r\n";
  }
  return {{.path = outPath, .bytes = std::move(out)}};
}
