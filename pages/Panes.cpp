#include "pages/Panes.h"

#include <algorithm>

#include "pages/Links.h"
#include "text/Cp1251.h"
#include "text/Html.h"
#include "text/WordRules.h"

namespace {

constexpr std::string_view kPaneBodyStart =
    "<body border=0 topmargin=0 leftmargin=0 marginwidth=0 marginheight=0>";
constexpr std::string_view kPaneTableStart = "<table cellspacing=0 cellpadding=2 border=0>";

// A variant's text with its matched part bold, kept inside the text whatever the numbers say.
std::string WithMatchInBold(const CVariant& variant, int32_t inputLength) {
  const auto size = static_cast<int32_t>(variant.text.size());
  const int32_t start = std::clamp(variant.matchPos, 0, size);
  const int32_t end = start + std::clamp(inputLength, 0, size - start);
  std::string text;
  text.reserve(variant.text.size() + 7);
  return text.append(variant.text, 0, start)
      .append("<b>")
      .append(variant.text, start, end - start)
      .append("</b>")
      .append(variant.text, end);
}

}  // namespace

std::string VariantsInput(std::string_view searchBoxText) {
  if (searchBoxText.starts_with('+')) searchBoxText.remove_prefix(1);
  if (searchBoxText.ends_with('*')) searchBoxText.remove_suffix(1);
  return std::string(searchBoxText);
}

bool PaneWantsSuggestions(std::string_view input, std::size_t variantCount) {
  const auto letters = std::count_if(input.begin(), input.end(),
                                     [](char c) { return IsWordLetter(static_cast<unsigned char>(c)); });
  return variantCount == 0 && letters >= 3;
}

CHtmlLines VariantsPaneLines(const std::vector<CVariant>& variants, int32_t inputLength,
                             int32_t maxVariantDisplayCount, const std::vector<std::string>& suggestions) {
  const auto count = static_cast<int32_t>(variants.size());
  const int32_t shown = std::min(count, maxVariantDisplayCount);
  CHtmlLines lines{"<html>", std::string(kPaneBodyStart)};
  if (count > 0)
    lines.push_back(std::string("<div align=right><font size=-1><a href=")
                        .append(kAllVariantsLink)
                        .append(">Показать все &raquo;</a></font></div><hr>"_cp));
  lines.emplace_back(kPaneTableStart);
  for (int32_t i = 0; i < shown; ++i) {
    lines.push_back(std::string("<tr><td><a href=")
                        .append(VariantLink(i))
                        .append(">")
                        .append(WithMatchInBold(variants[i], inputLength))
                        .append("</a></td></tr>"));
  }
  lines.emplace_back("</table>");
  if (inputLength > 0) {
    std::string countLine =
        std::string("<hr><font size=-1 color=#888888>Найдено вариантов: "_cp).append(std::to_string(count));
    if (maxVariantDisplayCount < count)
      countLine.append(",<br>показаны первые "_cp).append(std::to_string(maxVariantDisplayCount));
    lines.push_back(countLine.append(".</font>"));
  }
  if (!suggestions.empty()) {
    lines.push_back(std::string("<br><font size=-1>").append(kSuggestionsIntro).append("</font>"));
    lines.emplace_back(kPaneTableStart);
    for (std::size_t n = 0; n < suggestions.size(); ++n)
      lines.push_back(std::string("<tr><td><a href=")
                          .append(TypeSuggestionLink(static_cast<int32_t>(n)))
                          .append(">")
                          .append(EscapeHtml(suggestions[n]))
                          .append("</a></td></tr>"));
    lines.emplace_back("</table>");
  }
  lines.emplace_back("</body></html>");
  return lines;
}

CHtmlLines BookmarksPaneLines(const std::vector<CResultPage>& bookmarks) {
  CHtmlLines lines{"<html>", std::string(kPaneBodyStart), std::string(kPaneTableStart)};
  lines.reserve(bookmarks.size() + 4);
  for (auto n = static_cast<int32_t>(bookmarks.size()) - 1; n >= 0; --n) {
    lines.push_back(std::string("<tr><td><a href=")
                        .append(BookmarkLink(n))
                        .append(">")
                        .append(EscapeHtml(bookmarks[n].label))
                        .append("</a></td></tr>"));
  }
  lines.emplace_back("</table></body></html>");
  return lines;
}
