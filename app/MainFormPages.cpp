// Pages in the result view: searching, links, history, bookmarks and the panes.
#include <QDesktopServices>
#include <QStatusBar>
#include <QUrl>

#include "app/MainForm.h"
#include "app/Modal.h"
#include "app/QtText.h"
#include "htmlview/HtmlLite.h"
#include "pages/Links.h"
#include "pages/PageBuilders.h"
#include "pages/PageRenderer.h"
#include "pages/Panes.h"

namespace {

// Links inside dictionary texts may name anything; only web and mail leave the program.
bool OpensOutside(const QUrl& url) {
  const QString scheme = url.scheme().toLower();
  return scheme == u"http" || scheme == u"https" || scheme == u"ftp" || scheme == u"mailto";
}

}  // namespace

void TMainForm::RunSearch() {
  SetStatus(QString::fromUtf8("Поиск..."));
  const QString typed = SearchComboBox->currentText();
  const CSearchQuery query(ToCp1251(typed), prefs.SearchFullWords, prefs.SearchExact, prefs.FoldYo);
  {
    // The list keeps the queries of this run, newest first; the box keeps its text.
    const QSignalBlocker quiet(SearchComboBox);
    SearchComboBox->insertItem(0, typed);
    SearchComboBox->setCurrentIndex(0);
    SearchComboBox->setEditText(typed);
  }
  CResultPage page = dictionary->Search(query);
  if (suggester) OfferSuggestions(page, *suggester);
  ShowPage(page, true);
  SetStatus(QString());
}

void TMainForm::RefreshVariantsPane() {
  PageControl->setCurrentWidget(VariantsTabSheet);
  const std::string input = VariantsInput(ToCp1251(SearchComboBox->currentText()));
  dictionary->LookupVariants(input, variants, prefs.FoldYo);
  paneSuggestions.clear();
  if (suggester && PaneWantsSuggestions(input, variants.size()))
    paneSuggestions = suggester->For(input, prefs.FoldYo);
  VariantsBrowser->LoadStrings(VariantsPaneLines(variants, static_cast<int32_t>(input.size()),
                                                 prefs.MaxVariantDisplayCount, paneSuggestions));
}

bool TMainForm::HandleLink(const QString& url) {
  const std::string href = ToCp1251(url);
  switch (const CLink link = ParseLink(href); link.kind) {
    case CLink::CKind::Article:
      OpenArticle(link.number);
      break;
    case CLink::CKind::Variant:
      OpenVariant(link.number);
      break;
    case CLink::CKind::AllVariants:
      ShowAllVariants();
      break;
    case CLink::CKind::Bookmark:
      // A number that names no bookmark can only come from a link made outside the program.
      if (link.number >= 0 && link.number < static_cast<int32_t>(bookmarks.size()))
        ShowPage(bookmarks[link.number], true);
      break;
    case CLink::CKind::SearchSuggestion:
      if (link.number >= 0 && link.number < static_cast<int32_t>(currentPage.suggestions.size())) {
        SearchComboBox->setEditText(FromCp1251(currentPage.suggestions[link.number]));
        RunSearch();
      }
      break;
    case CLink::CKind::TypeSuggestion:
      // The pane follows the new text at its next tick, as after typing.
      if (link.number >= 0 && link.number < static_cast<int32_t>(paneSuggestions.size())) {
        SearchComboBox->setEditText(FromCp1251(paneSuggestions[link.number]));
        SearchComboBox->setFocus();
      }
      break;
    case CLink::CKind::NotANumber:
      ShowMessage(this, QString::fromUtf8("'%1' is not a valid integer value").arg(FromCp1251(link.rest)));
      break;
    case CLink::CKind::Outside:
      if (const QUrl outside(url); OpensOutside(outside)) QDesktopServices::openUrl(outside);
      break;
  }
  return true;
}

void TMainForm::OpenArticle(int32_t id) {
  if (const auto page = ArticlePage(*dictionary, id)) ShowPage(*page, true);
}

void TMainForm::OpenVariant(int32_t n) {
  if (n < 0 || n >= static_cast<int32_t>(variants.size())) return;
  ShowPage(VariantPage(variants[n], ToCp1251(SearchComboBox->currentText()), prefs.FoldYo), true);
}

void TMainForm::ShowAllVariants() {
  ShowPage(AllVariantsPage(variants, ToCp1251(SearchComboBox->currentText()), prefs.MaxVariantDisplayCount,
                           prefs.FoldYo),
           true);
}

void TMainForm::AddBookmark() {
  if (currentPage.label.empty()) return;
  bookmarks.push_back(currentPage);
  BookmarksBrowser->LoadStrings(BookmarksPaneLines(bookmarks));
  SaveKeptPages();
}

void TMainForm::RemoveBookmark(int32_t n) {
  if (n < 0 || n >= static_cast<int32_t>(bookmarks.size())) return;
  bookmarks.erase(bookmarks.begin() + n);
  BookmarksBrowser->LoadStrings(BookmarksPaneLines(bookmarks));
  SaveKeptPages();
}

void TMainForm::ShowAboutPage() {
  ShowPage(AboutPage(), true);
}

void TMainForm::ShowPage(const CResultPage& shown, bool addToHistory) {
  // `shown` may be the current page or a history entry, both of which change below.
  const CResultPage page = shown;  // NOLINT(performance-unnecessary-copy-initialization)
  CHtmlLines lines;
  const CRenderOptions options{
      .maxResultDisplayCount = prefs.MaxResultDisplayCount,
      .highlight = HighlightCheckBox->isChecked(),
      .beforeHighlighting = [this] { SetStatus(QString::fromUtf8("Подсветка найденных слов...")); }};
  RenderPage(*dictionary, page, lines, false, options);
  SetStatus(QString::fromUtf8("Вывод результатов поиска..."));
  ResultBrowser->LoadStrings(lines);
  EnablePageCommands(true);
  currentPage = page;
  if (addToHistory) PushHistory();
  SetStatus(FromCp1251(currentPage.label));
}

void TMainForm::PushHistory() {
  ++historyIndex;
  history.resize(static_cast<std::size_t>(historyIndex));
  history.push_back(currentPage);
  UpdateHistoryButtons();
  SaveKeptPages();
}

void TMainForm::GoBack() {
  if (historyIndex <= 0) return;
  --historyIndex;
  ShowPage(history[historyIndex], false);
  UpdateHistoryButtons();
  SaveKeptPages();
}

void TMainForm::GoForward() {
  if (historyIndex >= static_cast<int32_t>(history.size()) - 1) return;
  ++historyIndex;
  ShowPage(history[historyIndex], false);
  UpdateHistoryButtons();
  SaveKeptPages();
}

void TMainForm::UpdateHistoryButtons() {
  const bool back = historyIndex > 0;
  const bool forward = historyIndex < static_cast<int32_t>(history.size()) - 1;
  BackSpeedButton->setEnabled(back);
  BackItem->setEnabled(back);
  ForwardSpeedButton->setEnabled(forward);
  ForwardItem->setEnabled(forward);
}

void TMainForm::RefreshCurrentPage() {
  if (!currentPage.label.empty()) ShowPage(currentPage, false);
}
