#include "htmlview/HtmlLite.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPrinter>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QToolTip>
#include <algorithm>
#include <string_view>

#include "htmlview/PageMarkup.h"
#include "htmlview/PageResources.h"
#include "pages/DisplayLimits.h"
#include "text/Cp1251.h"

using namespace Qt::StringLiterals;

namespace {

constexpr std::string_view kArticleEnd = "<br><br>";
constexpr qsizetype kMaxToolTipLength = 500;

// A result page lists its articles one a line, each ending in "<br><br>". As given, the whole list
// is one paragraph, which Qt lays out whole before it can paint any of it, and again at every change
// of width. From the second article of a run on, each article gets a block of its own, and the one
// before it keeps one "<br>" to end its block with the empty line: the page looks the same, and Qt
// lays out only the blocks in sight before painting.
std::string PreparedPage(const std::vector<std::string>& lines) {
  std::string page;
  bool afterArticle = false;
  for (std::string_view line : lines) {
    if (!page.empty()) page.push_back('\n');
    const bool article = line.ends_with(kArticleEnd);
    if (article) line.remove_suffix(kArticleEnd.size() / 2);
    if (article && afterArticle) {
      page.append("<div>").append(line).append("</div>");
    } else {
      page.append(line);
    }
    afterArticle = article;
  }
  return page;
}

// The page as Qt should read it; the screen shows at most kMaxShownPageBytes of it.
QString PageHtml(const std::vector<std::string>& lines, bool whole) {
  std::string page = PreparedPage(lines);
  if (!whole) page = ShownPart(page);
  return QString::fromStdString(WithBreaksInLongRuns(cp1251::ToUtf8(BrowserReadableMarkup(page))));
}

}  // namespace

ThtmlLite::CSettings ThtmlLite::ResultView() {
  return {};
}

ThtmlLite::CSettings ThtmlLite::VariantsPane() {
  return {.selectable = false,
          .plainLinks = true,
          .alwaysShowVerticalScrollBar = true,
          .marginHeight = 0,
          .marginWidth = 2};
}

ThtmlLite::CSettings ThtmlLite::BookmarksPane() {
  return {.plainLinks = true, .alwaysShowVerticalScrollBar = true, .marginHeight = 0, .marginWidth = 0};
}

ThtmlLite::ThtmlLite(const CSettings& viewSettings, QWidget* parent)
    : QTextBrowser(parent), settings(viewSettings) {
  setOpenLinks(false);
  setOpenExternalLinks(false);
  setSearchPaths({QCoreApplication::applicationDirPath()});
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setLineWidth(1);
  QPalette colours = palette();
  colours.setColor(QPalette::Base, Qt::white);
  colours.setColor(QPalette::Text, Qt::black);
  setPalette(colours);
  setFont(QFont(u"Arial"_s, kFontSizeLimits.standard));
  document()->setDefaultStyleSheet(
      u"pre, tt, code { font-family: 'Courier New'; }"_s +
      (settings.plainLinks ? u" a { color: black; text-decoration: none; }"_s : QString()));
  setTextInteractionFlags(settings.selectable ? Qt::TextBrowserInteraction
                                              : Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  if (settings.alwaysShowVerticalScrollBar) setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  connect(this, &QTextBrowser::anchorClicked, this, &ThtmlLite::ReportLink);
}

void ThtmlLite::LoadStrings(const std::vector<std::string>& lines) {
  setHtml(PageHtml(lines, false));
  QTextFrameFormat margins = document()->rootFrame()->frameFormat();
  margins.setTopMargin(settings.marginHeight);
  margins.setBottomMargin(settings.marginHeight);
  margins.setLeftMargin(settings.marginWidth);
  margins.setRightMargin(settings.marginWidth);
  document()->rootFrame()->setFrameFormat(margins);
  tableFit.Measure(*document(), this);
  FitTables();
}

void ThtmlLite::FitTables() {
  tableFit.Apply(viewport()->width() - settings.marginWidth * 2);
}

void ThtmlLite::resizeEvent(QResizeEvent* event) {
  QTextBrowser::resizeEvent(event);
  FitTables();
}

void ThtmlLite::PrintStrings(const std::vector<std::string>& lines, QPrinter& printer) const {
  CPageDocument page(searchPaths());
  page.setDefaultFont(font());
  page.setDefaultStyleSheet(document()->defaultStyleSheet());
  page.setHtml(PageHtml(lines, true));
  CTableFit fit;
  fit.Measure(page, const_cast<ThtmlLite*>(this));
  // The page is laid out at the screen's resolution, as wide as the paper's printable part.
  const qreal paperWidth = printer.pageLayout().paintRect(QPageLayout::Inch).width() * logicalDpiX();
  fit.Apply(paperWidth - 2 * page.documentMargin());
  page.print(&printer);
}

void ThtmlLite::SetFontSize(int size) {
  QFont base = font();
  // A settings file may hold any number; the dialog offers at most kFontSizeLimits.maximum.
  base.setPointSize(std::clamp(size, kMinShownFontSize, kFontSizeLimits.maximum));
  setFont(base);
}

void ThtmlLite::SelectAll() {
  if (settings.selectable) selectAll();
}

void ThtmlLite::CopyToClipboard() {
  if (textCursor().hasSelection()) QApplication::clipboard()->setText(SelectedText());
}

void ThtmlLite::keyPressEvent(QKeyEvent* event) {
  emit KeyDown(event->key(), event->modifiers().testFlag(Qt::ControlModifier));
  // Qt selects all on its select-all keys even where text is not selectable.
  if (!settings.selectable && event->matches(QKeySequence::SelectAll)) return;
  QTextBrowser::keyPressEvent(event);
}

// The base class reports a click through a QUrl, which rewrites hrefs such as "article://12";
// the href under the released button is the one the page wrote.
void ThtmlLite::mouseReleaseEvent(QMouseEvent* event) {
  releasedOnHref = event->button() == Qt::LeftButton ? anchorAt(event->position().toPoint()) : QString();
  QTextBrowser::mouseReleaseEvent(event);
  releasedOnHref.clear();
}

QVariant ThtmlLite::loadResource(int type, const QUrl& name) {
  return ProgramResource(type, name, searchPaths());
}

// A link's title from a dictionary text shows as the text it is: as rich text it could name images.
bool ThtmlLite::viewportEvent(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QTextBrowser::viewportEvent(event);
  const auto* help = static_cast<QHelpEvent*>(event);
  const QString tip = cursorForPosition(help->pos()).charFormat().toolTip().left(kMaxToolTipLength);
  if (tip.isEmpty())
    QToolTip::hideText();
  else
    QToolTip::showText(help->globalPos(), u"<qt>"_s + tip.toHtmlEscaped() + u"</qt>"_s, viewport());
  return true;
}

// Every copy, by key or by dragging, is the plain text that CopyToClipboard gives.
QMimeData* ThtmlLite::createMimeDataFromSelection() const {
  auto* copied = new QMimeData;
  copied->setText(SelectedText());
  return copied;
}

// A link activated from the keyboard has no release position; the cursor then selects it.
void ThtmlLite::ReportLink() {
  const QString href = releasedOnHref.isEmpty() ? textCursor().charFormat().anchorHref() : releasedOnHref;
  bool handled = false;
  emit HotSpotClick(href, handled);
}

QString ThtmlLite::SelectedText() const {
  return textCursor()
      .selection()
      .toPlainText()
      .remove(QChar::ObjectReplacementCharacter)
      .remove(QString::fromUtf8(kInsertedBreak.data(), kInsertedBreak.size()));
}
