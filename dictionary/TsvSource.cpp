#include "dictionary/TsvSource.h"

#include <array>
#include <cstdio>
#include <variant>

#include "dictionary/DataFileWriter.h"
#include "text/Cp1251.h"
#include "text/Integer.h"

namespace {

constexpr std::size_t kFieldCount = kArticleFields.size();

class CSourceReader {
 public:
  CSourceReader(std::string_view name, cp1251::CConversion conversion) : sourceName(name), how(conversion) {}

  [[noreturn]] void Fail(std::string_view problem) const {
    std::string place =
        cp1251::FromUtf8Lossy(sourceName) + std::string(", строка "_cp) + std::to_string(lineNumber);
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
    const std::size_t bad = cp1251::FromUtf8(utf8, text, how);
    if (bad != std::string_view::npos && !how.lossy) {
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
    if (!value)
      Fail(std::string("ожидалось целое число, а не «"_cp) + cp1251::FromUtf8Lossy(field) +
           std::string("»"_cp));
    return *value;
  }

 private:
  std::string_view sourceName;
  cp1251::CConversion how;
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

CParsedSource ParseTsvSource(std::string_view tsv, std::string_view sourceName, cp1251::CConversion how) {
  CParsedSource source;
  CSourceReader reader(sourceName, how);
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
      if (line == TsvHeader()) {
        headerSeen = true;
        continue;
      }
      if (!line.starts_with('#'))
        reader.Fail(std::string("ожидались строки «# имя: значение» и заголовок "_cp) +
                    cp1251::FromUtf8Lossy(TsvHeader()));
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

    std::array<std::string, kFieldCount> texts;  // the article's texts point into these
    CArticle article;
    for (std::size_t i = 0; i < kFieldCount; ++i) {
      reader.InColumn(kArticleFields[i].name);
      std::visit(
          [&](auto CArticle::*member) {
            if constexpr (kIsNumberField<decltype(member)>) {
              article.*member = reader.Number(fields[i]);
            } else {
              texts[i] = reader.Text(fields[i]);
              article.*member = texts[i];
            }
          },
          kArticleFields[i].member);
    }
    AppendRecord(source.records, article);
    ++source.articleCount;
  }
  if (!headerSeen) {
    reader.StartLine(lineNumber + 1);
    reader.Fail(std::string("нет строки заголовка "_cp) + cp1251::FromUtf8Lossy(TsvHeader()));
  }
  return source;
}

std::string DumpTsvSource(const CDictionary& dictionary) {
  std::string tsv;
  const auto texts = dictionary.Info().Texts();
  for (std::size_t i = 0; i < texts.size(); ++i)
    tsv.append("# ").append(CDictionaryInfo::kNames[i]).append(": ").append(Escape(*texts[i])).append("\n");
  tsv.append(TsvHeader()).append("\n");
  for (const CArticle& article : dictionary.Articles()) {
    for (const CArticleField& field : kArticleFields) {
      if (&field != &kArticleFields.front()) tsv.append("\t");
      std::visit(
          [&](auto CArticle::*member) {
            if constexpr (kIsNumberField<decltype(member)>)
              tsv.append(std::to_string(article.*member));
            else
              tsv.append(Escape(article.*member));
          },
          field.member);
    }
    tsv.append("\n");
  }
  return tsv;
}

const std::string& TsvHeader() {
  static const std::string header = [] {
    std::string names;
    for (const CArticleField& field : kArticleFields) (names += names.empty() ? "" : "\t") += field.name;
    return names;
  }();
  return header;
}
