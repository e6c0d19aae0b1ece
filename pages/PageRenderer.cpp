#include "pages/PageRenderer.h"

#include <algorithm>
#include <initializer_list>
#include <string>

#include "dictionary/DataFileLocation.h"
#include "dictionary/Messages.h"
#include "pages/Links.h"
#include "search/Highlight.h"
#include "text/Cp1251.h"
#include "text/Html.h"

namespace {

constexpr std::string_view kBodyStart =
    "<body border=0 topmargin=5 leftmargin=5 marginwidth=5 marginheight=5>";
constexpr std::string_view kDocumentEnd = "</body></html>";

void AppendLines(CHtmlLines& lines, std::initializer_list<std::string_view> texts) {
  for (const std::string_view text : texts) lines.emplace_back(text);
}

// Shared by the pages of articles and the about page, which has no title.
void WriteDocumentStart(CHtmlLines& lines) {
  AppendLines(lines,
              {"<html>", "<head>",
               "<META HTTP-EQUIV='Content-Type' CONTENT='text/html; charset=windows-1251'>", "</head>"});
}

std::string_view LanguageTag(int32_t language) {
  switch (language) {
    case LanguageCode(CLanguage::English):
      return "англ."_cp;
    case LanguageCode(CLanguage::German):
      return "нем."_cp;
    default:
      return {};
  }
}

void WriteHeaderTable(CHtmlLines& lines, std::string_view heading, int32_t total, int32_t shown) {
  lines.emplace_back("<table border=0 cellspacing=0 cellpadding=0 width=100%><tr>");
  lines.push_back(
      std::string("<td><font size=+1 color=#000088><b>").append(heading).append("</b></font></td>"));
  std::string count = std::string("<td align=right><font size=-1 color=#888888>Найдено вариантов: "_cp) +
                      std::to_string(total);
  if (shown < total) count.append(", показаны первые "_cp).append(std::to_string(shown));
  lines.push_back(std::move(count));
  AppendLines(lines, {"</font></div></td>", "</tr></table>", "<hr>"});
}

std::string SuggestionsLine(const std::vector<std::string>& suggestions, bool forExport) {
  std::string line = std::string("<br>").append(kSuggestionsIntro);
  for (std::size_t n = 0; n < suggestions.size(); ++n) {
    if (n > 0) line.append(", ");
    if (!forExport)
      line.append("<a href='").append(SearchSuggestionLink(static_cast<int32_t>(n))).append("'>");
    line.append(EscapeHtml(suggestions[n]));
    if (!forExport) line.append("</a>");
  }
  return line;
}

void AppendSynonym(std::string& line, const CArticle& member, bool forExport) {
  if (!forExport) line.append("<a href='").append(ArticleLink(member.id)).append("'>");
  line.append(member.translation);
  if (!member.term.empty()) line.append(" (").append(member.term).append(")");
  if (!forExport) line.append("</a>");
}

}  // namespace

void RenderPage(const CDictionary& dictionary, const CResultPage& page, CHtmlLines& lines, bool forExport,
                const CRenderOptions& options) {
  if (page.pageKind == CPageKind::About) {
    RenderAboutPage(dictionary, lines);
    return;
  }
  const auto total = static_cast<int32_t>(page.articleIds.size());
  const int32_t shown = std::min(total, options.maxResultDisplayCount);
  if (page.showHeader) {
    WritePageHead(lines, page.heading);
    WriteHeaderTable(lines, page.heading, total, shown);
  } else {
    WritePageHead(lines, {});
  }
  if (page.strictCount == 0) lines.emplace_back("Строгие совпадения не найдены..."_cp);
  if (total == 0 && !page.suggestions.empty()) lines.push_back(SuggestionsLine(page.suggestions, forExport));
  for (int32_t i = 0; i < shown; ++i) {
    if (i == page.strictCount)
      lines.emplace_back("<hr><font color=#008800><b>Нестрогие совпадения:</b></font><hr><br>"_cp);
    RenderArticleById(dictionary, lines, page.articleIds[i], forExport);
  }
  WritePageFoot(lines, forExport);
  if (!forExport && options.highlight) {
    if (options.beforeHighlighting) options.beforeHighlighting();
    HighlightWords(lines, page.query);
  }
}

void WritePageHead(CHtmlLines& lines, std::string_view headingText) {
  WriteDocumentStart(lines);
  lines.emplace_back("<title>");
  if (!headingText.empty()) lines.push_back(std::string(headingText).append(" - "));
  AppendLines(lines, {kProgramTitle, "</title>", kBodyStart});
}

void WritePageFoot(CHtmlLines& lines, bool forExport) {
  if (forExport) AppendLines(lines, {"<p><font size=-1 color=#080808>", kExportCredit, "</font></p>"});
  lines.emplace_back(kDocumentEnd);
}

void RenderArticleById(const CDictionary& dictionary, CHtmlLines& lines, int32_t id, bool forExport) {
  const int32_t position = dictionary.PositionOf(id);
  if (position >= 0) RenderArticle(dictionary, lines, position, forExport);
}

void RenderArticle(const CDictionary& dictionary, CHtmlLines& lines, int32_t position, bool forExport) {
  const CArticle& article = dictionary.ArticleAt(position);
  const bool inGroup = article.synonymGroup > 0;
  const CArticle* head = inGroup && article.synonymGroup != article.id
                             ? &dictionary.ArticleAt(dictionary.PositionOf(article.synonymGroup))
                             : nullptr;
  const std::vector<int32_t> members =
      inGroup ? dictionary.SynonymGroupMembers(article.synonymGroup) : std::vector<int32_t>{};
  const std::string_view seeAlso = article.seeAlso.empty() && head ? head->seeAlso : article.seeAlso;
  const std::string_view tag = LanguageTag(article.language);

  std::string line;
  line.reserve(256 + article.term.size() + article.translation.size() + article.transcription.size() +
               article.definition.size() + (head ? head->definition.size() : 0) + seeAlso.size() +
               members.size() * 96);
  if (!article.term.empty()) line.append("<font size=+1><b>").append(article.term).append("</b></font>");
  if (!article.translation.empty()) {
    if (!article.term.empty()) line.append(" - ");
    line.append("<font size=+1><b>").append(article.translation).append("</font></b>");
  }
  if (!tag.empty()) line.append(" <font color=#999999><i>[").append(tag).append("]</i></font> ");
  if (!article.transcription.empty())
    line.append(" <font color=#999999><i>/").append(article.transcription).append("/</i></font> ");
  if (!article.definition.empty()) line.append("<br>").append(article.definition);
  if (head) line.append("<br>").append(head->definition);
  // The article is always among its group's members, so only the others are listed.
  bool first = true;
  for (const int32_t memberId : members) {
    if (memberId == article.id) continue;
    line.append(first ? "<br><font color=#006600>Синонимы: </font><br>&nbsp;&nbsp;&nbsp;- "_cp
                      : std::string_view("<br>&nbsp;&nbsp;&nbsp;- "));
    first = false;
    AppendSynonym(line, dictionary.ArticleAt(dictionary.PositionOf(memberId)), forExport);
  }
  if (!seeAlso.empty()) line.append("<br>").append("См. также: "_cp).append(seeAlso);
  line.append("<br><br>");
  lines.push_back(std::move(line));
}

void RenderAboutPage(const CDictionary& dictionary, CHtmlLines& lines) {
  const auto link = [](std::string_view before, std::string_view scheme, std::string_view address,
                       std::string_view after) {
    return std::string(before)
        .append("<a href=")
        .append(scheme)
        .append(address)
        .append(">")
        .append(address)
        .append("</a>")
        .append(after);
  };
  WriteDocumentStart(lines);
  AppendLines(lines, {kBodyStart});
  lines.push_back(std::string("<table border=0 cellspacing=0 cellpadding=3><tr><td><img src=")
                      .append(kLogoFile)
                      .append("></td>"));
  lines.push_back(std::string("<td><h2>").append(kProgramTitle).append("</h2>"));
  lines.push_back(std::string("<h3>").append(kProductName).append("</h3></td></tr>"));
  AppendLines(
      lines, {"<tr><td colspan=2>", "<p>Версия программы: "_cp, kProgramVersion, "<br>",
              "Версия данных словаря: "_cp, dictionary.Info().dataVersion, "<br>", "Количество статей: "_cp});
  lines.push_back(std::to_string(dictionary.ArticleCount()));
  AppendLines(lines, {"<br>", "Терминов на английском языке: "_cp});
  lines.push_back(std::to_string(dictionary.CountTermsByLanguage(LanguageCode(CLanguage::English))));
  AppendLines(lines, {"<br>", "Терминов на немецком языке: "_cp});
  lines.push_back(std::to_string(dictionary.CountTermsByLanguage(LanguageCode(CLanguage::German))));
  AppendLines(lines, {"</p>", "<hr>"});
  lines.push_back(link("<p>WWW: ", "", kMakerSite, "<br>"));
  lines.push_back(link("E-mail: ", "mailto:", kMakerEmail, "<br>"));
  lines.push_back(link("Интернет-версия словаря: "_cp, "", kMakerOnlineDictionary, "</p>"));
  lines.emplace_back("<hr>");
  lines.push_back(std::string("<p>Подготовка данных: "_cp).append(kCreditData).append("<br>"));
  lines.push_back(std::string("Программирование: "_cp).append(kCreditProgramming).append("</p>"));
  AppendLines(lines, {kLegalNotice, "</td></tr></table>", "", kDocumentEnd});
}

std::string PageFileBytes(const CHtmlLines& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes.append(line).append("\r\n");
  return bytes;
}
