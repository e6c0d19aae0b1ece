#include "pages/KeptPages.h"

#include <algorithm>
#include <optional>

#include "text/Cp1251.h"
#include "text/Integer.h"

namespace {

constexpr std::string_view kHeader = "carrolex pages 1";

void AppendEscaped(std::string& out, std::string_view cp1251Text) {
  for (const char c : cp1251::ToUtf8(cp1251Text)) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
}

void AppendLine(std::string& out, std::string_view tag, std::string_view cp1251Text) {
  out.append(tag).append("\t");
  AppendEscaped(out, cp1251Text);
  out += '\n';
}

void AppendPage(std::string& out, std::string_view list, const CResultPage& page) {
  out.append("page\t").append(list).append("\t");
  out.append(std::to_string(static_cast<int32_t>(page.pageKind))).append("\t");
  out.append(std::to_string(page.strictCount)).append("\t");
  out.append(page.showHeader ? "1\t" : "0\t").append(page.query.YoAsYe() ? "1\n" : "0\n");
  out += "ids\t";
  for (std::size_t n = 0; n < page.articleIds.size(); ++n)
    out.append(n == 0 ? "" : " ").append(std::to_string(page.articleIds[n]));
  out += '\n';
  AppendLine(out, "label", page.label);
  AppendLine(out, "heading", page.heading);
  AppendLine(out, "query", page.query.Text());
  for (int32_t n = 0; n < page.query.WordCount(); ++n) {
    out.append("word\t")
        .append(page.query.WholeWord(n) ? "1" : "0")
        .append(page.query.Required(n) ? "1\t" : "0\t");
    AppendEscaped(out, page.query.Word(n));
    out += '\n';
  }
  for (const std::string& suggestion : page.suggestions) AppendLine(out, "suggestion", suggestion);
  out += "end\n";
}

class CKeptReader {
 public:
  explicit CKeptReader(std::string_view file) : rest(file) {}

  CKeptPages Read() {
    if (!NextLine() || line != kHeader) {
      number = 1;
      Fail("это не файл закладок и истории программы");
    }
    CKeptPages pages;
    std::optional<int32_t> position;
    while (NextLine()) {
      const auto fields = Fields();
      if (fields[0] == "position" && fields.size() == 2 && !position) {
        position = ParseInt32(fields[1]);
        if (!position) Fail("неверная позиция в истории");
      } else if (fields[0] == "page" && fields.size() == 6 &&
                 (fields[1] == "history" || fields[1] == "bookmark")) {
        (fields[1] == "history" ? pages.history : pages.bookmarks).push_back(ReadPage(fields));
      } else {
        Fail("неизвестная строка");
      }
    }
    if (!position) Fail("нет позиции в истории");
    if (*position < -1 || *position >= static_cast<int64_t>(pages.history.size()) ||
        (*position == -1) != pages.history.empty())
      Fail("позиция вне истории");
    pages.position = *position;
    return pages;
  }

 private:
  [[noreturn]] void Fail(std::string_view reason) const {
    throw CKeptPagesError(std::string("строка "_cp) + std::to_string(number) + ": " +
                          cp1251::FromUtf8Lossy(reason));
  }

  bool NextLine() {
    if (rest.empty()) return false;
    const std::size_t end = rest.find('\n');
    if (end == std::string_view::npos) Fail("файл обрывается посреди строки");
    line = rest.substr(0, end);
    rest.remove_prefix(end + 1);
    ++number;
    return true;
  }

  std::vector<std::string_view> Fields() const {
    std::vector<std::string_view> fields;
    std::string_view text = line;
    for (;;) {
      const std::size_t tab = text.find('\t');
      fields.push_back(text.substr(0, tab));
      if (tab == std::string_view::npos) return fields;
      text.remove_prefix(tab + 1);
    }
  }

  // The next line, which must be `tag` and one text; the text in Windows-1251.
  std::string Text(std::string_view tag) {
    if (!NextLine() || !line.starts_with(tag) || line.size() == tag.size() || line[tag.size()] != '\t')
      Fail(std::string("нет строки ") + std::string(tag));
    return Unescaped(line.substr(tag.size() + 1));
  }

  std::string Unescaped(std::string_view text) const {
    std::string utf8;
    utf8.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
      if (text[pos] == '\t') Fail("лишнее поле");
      if (text[pos] != '\\') {
        utf8 += text[pos];
        continue;
      }
      if (++pos == text.size()) Fail("неверная экранировка");
      const char escaped = text[pos];
      if (escaped == '\\' || escaped == 't' || escaped == 'n' || escaped == 'r')
        utf8 += escaped == 't' ? '\t' : escaped == 'n' ? '\n' : escaped == 'r' ? '\r' : '\\';
      else
        Fail("неверная экранировка");
    }
    std::string text1251;
    if (cp1251::FromUtf8(utf8, text1251) != std::string_view::npos)
      Fail("текст не в UTF-8 или не для Windows-1251");
    return text1251;
  }

  static std::optional<bool> Flag(std::string_view text) {
    if (text == "0" || text == "1") return text == "1";
    return std::nullopt;
  }

  CResultPage ReadPage(const std::vector<std::string_view>& fields) {
    CResultPage page;
    const auto kind = ParseInt32(fields[2]);
    const auto strict = ParseInt32(fields[3]);
    const auto header = Flag(fields[4]);
    const auto yo = Flag(fields[5]);
    if (!kind || (*kind != 0 && *kind != 1) || !strict || *strict < -1 || !header || !yo)
      Fail("неверные поля страницы");
    page.pageKind = static_cast<CPageKind>(*kind);
    page.strictCount = *strict;
    page.showHeader = *header;
    if (!NextLine() || !line.starts_with("ids\t")) Fail("нет строки ids");
    for (std::string_view ids = line.substr(4); !ids.empty();) {
      const std::size_t space = ids.find(' ');
      const auto id = ParseInt32(ids.substr(0, space));
      if (!id) Fail("неверный id");
      page.articleIds.push_back(*id);
      ids.remove_prefix(space == std::string_view::npos ? ids.size() : space + 1);
    }
    page.label = Text("label");
    page.heading = Text("heading");
    page.query = CSearchQuery::Kept(Text("query"), *yo);
    while (NextLine() && line != "end") {
      if (line.starts_with("word\t") && line.size() > 8 && line[7] == '\t') {
        const auto whole = Flag(line.substr(5, 1));
        const auto required = Flag(line.substr(6, 1));
        if (!whole || !required) Fail("неверные флаги слова");
        page.query.AddParsedWord(Unescaped(line.substr(8)), *whole, *required);
      } else if (line.starts_with("suggestion\t")) {
        page.suggestions.push_back(Unescaped(line.substr(11)));
      } else {
        Fail("неизвестная строка страницы");
      }
    }
    if (line != "end") Fail("страница не закончена");
    return page;
  }

  std::string_view rest;
  std::string_view line;
  uint64_t number = 0;
};

}  // namespace

std::string KeptPagesText(const CKeptPages& pages) {
  const std::size_t dropped =
      pages.history.size() > kMaxKeptHistory ? pages.history.size() - kMaxKeptHistory : 0;
  const int32_t position =
      std::max<int32_t>(pages.position - static_cast<int32_t>(dropped), pages.history.empty() ? -1 : 0);
  std::string out(kHeader);
  out.append("\nposition\t").append(std::to_string(position)).append("\n");
  for (std::size_t n = dropped; n < pages.history.size(); ++n) AppendPage(out, "history", pages.history[n]);
  for (const CResultPage& page : pages.bookmarks) AppendPage(out, "bookmark", page);
  return out;
}

CKeptPages ReadKeptPages(std::string_view text) {
  if (text.size() > kMaxKeptPagesBytes) throw CKeptPagesError(std::string("файл слишком велик"_cp));
  return CKeptReader(text).Read();
}
