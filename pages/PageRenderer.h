#pragma once
// The HTML lines of every page: view mode for the result view, export mode for files, the
// printer and the browser.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/Dictionary.h"
#include "pages/DisplayLimits.h"
#include "pages/ResultPage.h"
#include "text/Cp1251.h"

using CHtmlLines = std::vector<std::string>;

// Before the suggestions of a search page and of the variants pane.
inline constexpr std::string_view kSuggestionsIntro = "Возможно, вы искали: "_cp;

// What rendering reads from the window at the moment of rendering.
struct CRenderOptions {
  int32_t maxResultDisplayCount = kResultCountLimits.standard;
  bool highlight = true;                       // view mode only
  std::function<void()> beforeHighlighting{};  // the window shows "Подсветка найденных слов..."
};

void RenderPage(const CDictionary& dictionary, const CResultPage& page, CHtmlLines& lines, bool forExport,
                const CRenderOptions& options);
void WritePageHead(CHtmlLines& lines, std::string_view headingText);
void WritePageFoot(CHtmlLines& lines, bool forExport);
void RenderArticleById(const CDictionary& dictionary, CHtmlLines& lines, int32_t id, bool forExport);
void RenderArticle(const CDictionary& dictionary, CHtmlLines& lines, int32_t position, bool forExport);
void RenderAboutPage(const CDictionary& dictionary, CHtmlLines& lines);

// A page as a file holds it: every line followed by CR LF, and nothing else.
std::string PageFileBytes(const CHtmlLines& lines);
