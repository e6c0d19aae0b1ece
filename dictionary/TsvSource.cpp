#include "dictionary/TsvSource.h"

#include <array>
#include <cstdio>

#include "dictionary/DataFileWriter.h"
#include "text/Cp1251.h"
#include "text/Integer.h"

namespace {

constexpr std::size_t kFieldCount = 9;
constexpr std::array<std::string_view, kFieldCount> kFieldNames = {
    "id",           "term",      "translation", "language",     "definition",
    "synonymGroup", "extraText", "seeAlso",     "transcription"};

std::string Cp(std::string_view utf8) {
  std::string text;
  cp1251::FromUtf8(utf8, text, true);
  return text;
}

class CSourceReader {
 public:
  CSourceReader(std::string_view sourceName, bool lossy) : sourceName(sourceName), lossy(lossy) {}

  [[noreturn]] void Fail(std::string_view problem) const {
    std::string place = Cp(sourceName) + std::string(", строка "_cp) + std::to_string(lineNumber);
    if (!column.empty()) place += std::string(", столбец "_cp) + std::string(column);
    throw CSourceError(place + ": " + std::string(problem));
  }

  void StartLine(std::size_t number) {
    lineNumber = number;
    column = {};
  }
  void InColumn(std::string_view name) { column = name; }

  // Unescapes a field and converts it to Windows-1251.
  std::string Text(std::string_view field) const {
    std::string utf8;
    utf8.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
      if (field[i] != '\\') {
        utf8 += field[i];
        continue;
      }
      const std::size_t backslash = i;
      const char escaped = i + 1 < field.size() ? field[++i] : '\0';
      switch (escaped) {
        case 't':
          utf8 += '\t';
          break;
        case 'n':
          utf8 += '\n';
          break;
        case 'r':
          utf8 += '\r';
          break;
        case '\\':
          utf8 += '\\';
          break;
        default:
          Fail(std::string("неизвестная последовательность после \\ в символе "_cp) +
               std::to_string(cp1251::CharactersBefore(field, backslash) + 1));
      }
    }
    std::string text;
    const std::size_t bad = cp1251::FromUtf8(utf8, text, lossy);
    if (bad != std::string_view::npos && !lossy) {
      std::size_t end = bad;
      const char32_t c = cp1251::DecodeUtf8(utf8, end);
      char code[16] = "";
      if (c != cp1251::kInvalid) std::snprintf(code, sizeof code, " (U+%04X)", static_cast<unsigned>(c));
      Fail(std::string("символ "_cp) + std::to_string(cp1251::CharactersBefore(utf8, bad) + 1) + code +
           (c == cp1251::kInvalid
                ? std::string(" не является UTF-8"_cp)
                : std::string(" отсутствует в кодировке Windows-1251 (--lossy заменяет его на ?)"_cp)));
    }
    return text;
  }

  int32_t Number(std::string_view field) const {
    const auto value = ParseInt32(field);
    if (!value) Fail(std::string("ожидалось целое число, а не «"_cp) + Cp(field) + std::string("»"_cp));
    return *value;
  }

 private:
  std::string_view sourceName;
  bool lossy;
  std::size_t lineNumber = 0;
  std::string_view column;
};

std::string Escape(std::string_view cp1251Text) {
  std::string escaped;
  for (const char c : cp1251::ToUtf8(cp1251Text)) {
    switch (c) {
      case '\t':
        escaped += "\\t";
        break;
      case '\n':
        escaped += "\\n";
        break;
      case '\r':
        escaped += "\\r";
        break;
      case '\\':
        escaped += "\\\\";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

}  // namespace

CParsedSource ParseTsvSource(std::string_view tsv, std::string_view sourceName, bool lossy) {
  CParsedSource source;
  CSourceReader reader(sourceName, lossy);
  bool headerSeen = false;
  std::size_t lineNumber = 0;
  for (std::size_t pos = 0; pos < tsv.size();) {
    const std::size_t end = std::min(tsv.find('\n', pos), tsv.size());
    std::string_view line = tsv.substr(pos, end - pos);
    pos = end + 1;
    reader.StartLine(++lineNumber);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.empty()) continue;

    if (!headerSeen) {
      if (line == kTsvHeader) {
        headerSeen = true;
        continue;
      }
      if (!line.starts_with('#'))
        reader.Fail(std::string("ожидались строки «# имя: значение» и заголовок "_cp) + Cp(kTsvHeader));
      // "# name: value" sets a metadata text; other lines starting with "#" are comments.
      for (std::size_t i = 0; i < CDictionaryInfo::kNames.size(); ++i) {
        const std::string prefix = "# " + std::string(CDictionaryInfo::kNames[i]) + ":";
        if (!line.starts_with(prefix)) continue;
        std::string_view value = line.substr(prefix.size());
        if (value.starts_with(' ')) value.remove_prefix(1);
        *source.info.Texts()[i] = reader.Text(value);
      }
      continue;
    }

    std::array<std::string_view, kFieldCount> fields;
    std::size_t count = 0;
    for (std::size_t start = 0;; ++count) {
      const std::size_t tab = line.find('\t', start);
      if (count < kFieldCount) fields[count] = line.substr(start, tab - start);
      if (tab == std::string_view::npos) break;
      start = tab + 1;
    }
    if (++count != kFieldCount)
      reader.Fail(std::string("столбцов "_cp) + std::to_string(count) + std::string(", а нужно 9"_cp));

    std::array<std::string, kFieldCount> texts;
    std::array<int32_t, kFieldCount> numbers{};
    for (std::size_t i = 0; i < kFieldCount; ++i) {
      reader.InColumn(kFieldNames[i]);
      const bool numeric = i == 0 || i == 3 || i == 5;
      if (numeric)
        numbers[i] = reader.Number(fields[i]);
      else
        texts[i] = reader.Text(fields[i]);
    }
    CArticle article;
    article.id = numbers[0];
    article.term = texts[1];
    article.translation = texts[2];
    article.language = numbers[3];
    article.definition = texts[4];
    article.synonymGroup = numbers[5];
    article.extraText = texts[6];
    article.seeAlso = texts[7];
    article.transcription = texts[8];
    AppendRecord(source.records, article);
    ++source.articleCount;
  }
  if (!headerSeen) {
    reader.StartLine(lineNumber + 1);
    reader.Fail(std::string("нет строки заголовка "_cp) + Cp(kTsvHeader));
  }
  return source;
}

std::string DumpTsvSource(const CDictionary& dictionary) {
  std::string tsv;
  const auto texts = dictionary.Info().Texts();
  for (std::size_t i = 0; i < texts.size(); ++i)
    tsv.append("# ").append(CDictionaryInfo::kNames[i]).append(": ").append(Escape(*texts[i])).append("\n");
  tsv.append(kTsvHeader).append("\n");
  for (const CArticle& a : dictionary.Articles()) {
    tsv.append(std::to_string(a.id)).append("\t").append(Escape(a.term)).append("\t");
    tsv.append(Escape(a.translation)).append("\t").append(std::to_string(a.language)).append("\t");
    tsv.append(Escape(a.definition)).append("\t").append(std::to_string(a.synonymGroup)).append("\t");
    tsv.append(Escape(a.extraText)).append("\t").append(Escape(a.seeAlso)).append("\t");
    tsv.append(Escape(a.transcription)).append("\n");
  }
  return tsv;
}
