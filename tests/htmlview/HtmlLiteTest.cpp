#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QImage>
#include <QMimeData>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>
#include <QToolTip>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "dictionary/Dictionary.h"
#include "htmlview/HtmlLite.h"
#include "pages/PageRenderer.h"
#include "tests/support/FileOpens.h"
#include "tests/support/Watchdog.h"
#include "text/Cp1251.h"

// Failures show texts as texts.
void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace {

QString Utf8(const char* text) {
  return QString::fromUtf8(text);
}

// A folder holding the program's logo as `help/telmo.gif`, an image of `size` (read by its content).
void PutLogo(const QTemporaryDir& folder, QSize size) {
  QDir(folder.path()).mkpath("help");
  QImage logo(size, QImage::Format_RGB32);
  logo.fill(Qt::blue);
  ASSERT_TRUE(logo.save(folder.filePath("help/telmo.gif"), "PNG"));
}

// A view on screen, as the window shows it, with every link click it reports.
class CShownView {
 public:
  explicit CShownView(const ThtmlLite::CSettings& settings = ThtmlLite::ResultView()) : view(settings) {
    view.resize(500, 300);
    view.show();
    QObject::connect(&view, &ThtmlLite::HotSpotClick, [this](const QString& href, bool& handled) {
      clicks.push_back(href);
      handled = true;
    });
  }

  // The viewport point inside the first occurrence of `text`.
  QPoint PointIn(const QString& text) {
    QTextCursor found = view.document()->find(text);
    EXPECT_FALSE(found.isNull()) << text.toStdString();
    found.setPosition(found.selectionStart() + 1);
    return view.cursorRect(found).center();
  }

  void Click(const QString& text, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(view.viewport(), button, {}, PointIn(text));
  }

  ThtmlLite view;
  std::vector<QString> clicks;
};

TEST(HtmlLiteTest, WindowsCyrillicAndEntitiesReachTheDocument) {
  ThtmlLite view(ThtmlLite::ResultView());
  view.LoadStrings({"<html><body>", std::string("<b>Поиск:</b> &laquo;тормоз&raquo;&nbsp;ЁЖЯ ё &copy;"_cp),
                    "</body></html>"});
  EXPECT_EQ(view.toPlainText().trimmed(), Utf8("Поиск: «тормоз» ЁЖЯ ё ©"));
  view.LoadStrings({"<html><body>second</body></html>"});
  EXPECT_EQ(view.toPlainText().trimmed(), "second");
  view.LoadStrings({});
  EXPECT_TRUE(view.toPlainText().isEmpty());
}

// Each article of a result page is one line ending in "<br><br>": on screen each is followed by
// one empty line, also after the separator of non-strict matches, which ends in a "<br>" itself.
TEST(HtmlLiteTest, ArticlesAreFollowedByOneEmptyLine) {
  ThtmlLite view(ThtmlLite::ResultView());
  view.LoadStrings({"<html><body>", "<hr>", "<b>first</b> - one<br>definition<br><br>",
                    "<b>second</b> - two<br><br>", "<hr><b>loose:</b><hr><br>",
                    "<b>third</b> - three<br><br>", "<b>fourth</b> - four<br><br>", "</body></html>"});
  QStringList lines;
  for (QTextBlock block = view.document()->begin(); block.isValid(); block = block.next()) {
    if (block.blockFormat().hasProperty(QTextFormat::BlockTrailingHorizontalRulerWidth)) {
      lines.push_back("<hr>");
      continue;
    }
    for (const QString& line : block.text().split(QChar::LineSeparator)) lines.push_back(line.trimmed());
  }
  EXPECT_EQ(lines.join('|'),
            "<hr>|first - one|definition||second - two||<hr>|loose:|<hr>||third - three||fourth - four|");
}

TEST(HtmlLiteTest, ClickReportsTheHrefAsWrittenAndStaysOnThePage) {
  // As written in the page, and as a browser reads it: quotes taken off, entities decoded.
  const std::vector<std::pair<std::string, const char*>> hrefs = {
      {"article://12", "article://12"},
      {"'article://139'", "article://139"},
      {"variant://all", "variant://all"},
      {"variant://-1", "variant://-1"},
      {"bookmark://0", "bookmark://0"},
      {"mailto:carro@example.com", "mailto:carro@example.com"},
      {"https://www.example.com/carro/", "https://www.example.com/carro/"},
      {"ARTICLE://5", "ARTICLE://5"},
      {"\"article://12x\"", "article://12x"},
      {"article://2=x", "article://2=x"},
      {"https://example.org/?q=brake&amp;page=2", "https://example.org/?q=brake&page=2"},
      {"article://3\"x'", "article://3\"x'"},
      {"'a=b c'", "a=b c"},
      {" article://4", "article://4"},
  };
  CShownView shown;
  std::vector<std::string> lines{"<html><body>"};
  for (std::size_t i = 0; i < hrefs.size(); ++i)
    lines.push_back("<p><a href=" + hrefs[i].first + ">link" + std::to_string(i) + "</a> after</p>");
  lines.push_back("</body></html>");
  shown.view.LoadStrings(lines);
  const QString page = shown.view.toPlainText();
  for (std::size_t i = 0; i < hrefs.size(); ++i) {
    shown.clicks.clear();
    shown.Click(QString("link%1").arg(i));
    EXPECT_EQ(shown.clicks, std::vector<QString>{Utf8(hrefs[i].second)}) << hrefs[i].first;
  }
  EXPECT_EQ(shown.view.toPlainText(), page);
  EXPECT_TRUE(shown.view.source().isEmpty());
}

// The window answers a click by showing another page in the same view.
TEST(HtmlLiteTest, TheClickedViewMayShowAnotherPageAtOnce) {
  CShownView shown;
  shown.view.LoadStrings({"<html><body><a href=article://1>first</a></body></html>"});
  QObject::connect(&shown.view, &ThtmlLite::HotSpotClick, [&shown](const QString& href, bool&) {
    shown.view.LoadStrings(
        {"<html><body><a href=article://2>second</a> after " + href.toStdString() + "</body></html>"});
  });
  shown.Click("first");
  shown.Click("second");
  EXPECT_EQ(shown.clicks, (std::vector<QString>{"article://1", "article://2"}));
  EXPECT_EQ(shown.view.toPlainText(), "second after article://2");
}

TEST(HtmlLiteTest, OnlyLeftClicksOnLinksAreReported) {
  CShownView shown;
  shown.view.LoadStrings({"<html><body><a href=article://1>link</a> plain <a>nameless</a></body></html>"});
  shown.Click("link", Qt::RightButton);
  shown.Click("plain");
  shown.Click("nameless");
  EXPECT_TRUE(shown.clicks.empty());
}

TEST(HtmlLiteTest, LinkChosenWithTheKeyboardReportsItsHref) {
  CShownView shown;
  shown.view.LoadStrings({"<html><body>text <a href=article://12>link</a></body></html>"});
  QTest::keyClick(&shown.view, Qt::Key_Tab);
  QTest::keyClick(&shown.view, Qt::Key_Return);
  EXPECT_EQ(shown.clicks, std::vector<QString>{"article://12"});
}

TEST(HtmlLiteTest, FontSizeIsNeverBelowSix) {
  ThtmlLite view(ThtmlLite::ResultView());
  EXPECT_EQ(view.document()->defaultFont().pointSize(), 9);
  for (const auto& [asked, used] :
       std::vector<std::pair<int, int>>{{12, 12}, {6, 6}, {5, 6}, {0, 6}, {-40, 6}}) {
    view.SetFontSize(asked);
    EXPECT_EQ(view.document()->defaultFont().pointSize(), used) << asked;
  }
}

TEST(HtmlLiteTest, SelectAllAndCopyPutThePlainTextOnTheClipboard) {
  CShownView shown;
  QClipboard& clipboard = *QApplication::clipboard();
  shown.view.LoadStrings(
      {std::string("<html><body><img src=help/none.gif><b>тормоз</b>&nbsp;- <i>brake</i></body></html>"_cp)});
  clipboard.setText("before");
  shown.view.CopyToClipboard();
  EXPECT_EQ(clipboard.text(), "before");

  shown.view.SelectAll();
  shown.view.CopyToClipboard();
  EXPECT_EQ(clipboard.text(), Utf8("тормоз - brake"));

  // The view's own copy keys give the same plain text.
  clipboard.setText("before");
  QTest::keyClick(&shown.view, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(clipboard.text(), Utf8("тормоз - brake"));
  EXPECT_FALSE(clipboard.mimeData()->hasHtml());
}

TEST(HtmlLiteTest, NothingIsSelectedInTheVariantsPane) {
  CShownView shown(ThtmlLite::VariantsPane());
  shown.view.LoadStrings({std::string("<html><body><a href=variant://0>тор</a>моз</body></html>"_cp)});
  QApplication::clipboard()->setText("before");
  shown.view.SelectAll();
  QTest::keyClick(&shown.view, Qt::Key_A, Qt::ControlModifier);
  shown.view.CopyToClipboard();
  EXPECT_FALSE(shown.view.textCursor().hasSelection());
  EXPECT_EQ(QApplication::clipboard()->text(), "before");
}

TEST(HtmlLiteTest, KeyDownCarriesTheKeyAndCtrlBeforeTheViewActs) {
  struct CCase {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool ctrl;
  };
  const std::vector<CCase> cases = {
      {Qt::Key_C, Qt::ControlModifier, true},      {Qt::Key_C, Qt::NoModifier, false},
      {Qt::Key_Insert, Qt::ControlModifier, true}, {Qt::Key_Insert, Qt::ShiftModifier, false},
      {Qt::Key_A, Qt::ControlModifier, true},      {Qt::Key_F5, Qt::NoModifier, false}};
  CShownView shown;
  shown.view.LoadStrings({"<html><body>some text</body></html>"});
  std::optional<std::pair<int, bool>> reported;
  bool selectedAlready = false;
  QObject::connect(&shown.view, &ThtmlLite::KeyDown, [&](int key, bool ctrl) {
    reported = {key, ctrl};
    selectedAlready = shown.view.textCursor().hasSelection();
  });
  for (const CCase& pressed : cases) {
    shown.view.setTextCursor(QTextCursor(shown.view.document()));
    reported.reset();
    QTest::keyClick(&shown.view, pressed.key, pressed.modifiers);
    EXPECT_EQ(reported, std::make_pair(static_cast<int>(pressed.key), pressed.ctrl)) << pressed.key;
    EXPECT_FALSE(selectedAlready) << pressed.key;
  }
}

TEST(HtmlLiteTest, LogoResolvesFromTheSearchFolder) {
  ThtmlLite view(ThtmlLite::ResultView());
  EXPECT_EQ(view.searchPaths(), QStringList{QCoreApplication::applicationDirPath()});

  QTemporaryDir folder;
  PutLogo(folder, {81, 69});  // read by its content
  const auto loadedLogo = [&view] {
    return view.document()->resource(QTextDocument::ImageResource, QUrl("help/telmo.gif")).value<QImage>();
  };

  view.setSearchPaths({folder.path()});
  view.LoadStrings({"<html><body><img src=help/telmo.gif></body></html>"});
  EXPECT_EQ(loadedLogo().size(), QSize(81, 69));

  view.setSearchPaths({folder.filePath("help")});
  view.LoadStrings({"<html><body><img src=help/telmo.gif></body></html>"});
  EXPECT_EQ(loadedLogo().size(), QSize(1, 1)) << "one clear pixel where the logo is missing";
}

// Lines a block of the view breaks by itself, beyond its own line breaks.
int WrappedLines(const QTextDocument& document) {
  int wrapped = 0;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
    wrapped += block.layout()->lineCount() - static_cast<int>(block.text().count(QChar::LineSeparator)) - 1;
  return wrapped;
}

// The about page's table has no width: as in a browser, it is as wide as its widest line, and the
// title stands beside the logo however wide the window is.
TEST(HtmlLiteTest, ATableWithoutAWidthIsAsWideAsItsContent) {
  QTemporaryDir folder;
  PutLogo(folder, {81, 69});
  CShownView shown;
  shown.view.setSearchPaths({folder.path()});
  CHtmlLines lines;
  RenderAboutPage(CDictionary(), lines);
  shown.view.LoadStrings(lines);
  QTextDocument& page = *shown.view.document();
  const auto left = [&page](const char* text) {
    return page.documentLayout()->blockBoundingRect(page.find(Utf8(text)).block()).left();
  };
  const QTextTable* table = page.find(Utf8("TELMO")).currentTable();
  ASSERT_NE(table, nullptr);
  const QTextTableCell logoCell = table->cellAt(0, 0);
  const qreal logoRight =
      page.documentLayout()->blockBoundingRect(logoCell.firstCursorPosition().block()).left() + 81;

  for (const int width : {500, 900, 1400}) {
    SCOPED_TRACE(width);
    shown.view.resize(width, 400);
    QApplication::processEvents();
    EXPECT_EQ(WrappedLines(page), 0);
    const qreal gap = left("TELMO Carro Lexiconia") - logoRight;
    EXPECT_GE(gap, 0);
    EXPECT_LE(gap, 40);
    EXPECT_LT(page.documentLayout()->frameBoundingRect(const_cast<QTextTable*>(table)).width(), 480);
  }
  // Narrower than the table, the view wraps its lines as a browser would, within the window.
  shown.view.resize(300, 400);
  QApplication::processEvents();
  EXPECT_LE(page.documentLayout()->frameBoundingRect(const_cast<QTextTable*>(table)).right(),
            shown.view.viewport()->width());
}

// Dictionary texts may name any file; the view opens none of them, and only the program's logo
// loads. A FIFO would block the window for good and /dev/zero would never end.
TEST(HtmlLiteTest, APageOpensNoFileItNames) {
  QTemporaryDir folder;
  PutLogo(folder, {8, 8});
  QImage pixels(8, 8, QImage::Format_RGB32);
  pixels.fill(Qt::red);
  ASSERT_TRUE(pixels.save(folder.filePath("secret.png"), "PNG"));
  ASSERT_EQ(mkfifo(folder.filePath("fifo").toLocal8Bit().constData(), 0600), 0);
  const std::string secret = folder.filePath("secret.png").toStdString();
  const std::vector<std::string> named = {
      "<img src=" + secret + ">",
      "<img src=file://" + secret + ">",
      "<img src=" + folder.filePath("fifo").toStdString() + ">",
      "<img src=/dev/zero>",
      "<img src=help/../secret.png>",
      "<img src=\"data:image/png;base64,iVBORw0KGgo=\">",
      "<table background=" + secret + "><tr><td>cell</td></tr></table>",
      "<span style=\"background-image: url(" + secret + ")\">styled</span>",
      "<link rel=stylesheet href=" + folder.filePath("style.css").toStdString() + "><LINK/>",
      "<a href=article://1 title=\"<img src=" + secret + ">\">titled</a>",
  };
  CShownView shown;
  shown.view.setSearchPaths({folder.path()});
  const CWatchdog watchdog("a page naming a FIFO", std::chrono::seconds(20));
  CFileOpens opens(folder.path());
  CFileOpens helpOpens(folder.filePath("help"));
  std::vector<std::string> lines{"<html><body>"};
  lines.insert(lines.end(), named.begin(), named.end());
  lines.insert(lines.end(), {"<img src=help/telmo.gif> after the page's texts", "</body></html>"});
  shown.view.LoadStrings(lines);
  shown.view.grab();

  QHelpEvent hover(QEvent::ToolTip, shown.PointIn("titled"),
                   shown.view.viewport()->mapToGlobal(shown.PointIn("titled")));
  QApplication::sendEvent(shown.view.viewport(), &hover);
  EXPECT_EQ(QToolTip::text(), "<qt>&lt;img src=" + QString::fromStdString(secret) + "&gt;</qt>");
  QToolTip::hideText();

  EXPECT_EQ(opens.Seen(), QStringList());
  EXPECT_TRUE(shown.view.toPlainText().contains("after the page's texts")) << "a <link> hides nothing";
  EXPECT_EQ(helpOpens.Seen().count("telmo.gif"), helpOpens.Seen().size()) << "only the logo";
  for (const QString& image : QStringList{QString::fromStdString(secret), "/dev/zero", "help/../secret.png"})
    EXPECT_EQ(
        shown.view.document()->resource(QTextDocument::ImageResource, QUrl(image)).value<QImage>().size(),
        QSize(1, 1))
        << image.toStdString();
  EXPECT_EQ(shown.view.document()
                ->resource(QTextDocument::ImageResource, QUrl("help/telmo.gif"))
                .value<QImage>()
                .size(),
            QSize(8, 8));
}

// Pages that Qt alone takes minutes over, or runs out of memory on, show within about a second.
TEST(HtmlLiteTest, PathologicalPagesShowQuicklyAndSayWhatWasLeftOut) {
  const std::string word(900'000, 'a');
  std::string nested;
  for (int i = 0; i < 20000; ++i) nested += "<b>";
  std::string definition;
  while (definition.size() < (60u << 20)) definition += "тормоз колодка суппорт "_cp;
  const struct {
    const char* what;
    std::vector<std::string> lines;
    const char* shown;
    bool leftOut;
  } cases[] = {
      {"20,000 nested tags", {"<html><body>", nested + "x", "</body></html>"}, "x", false},
      {"a word of 900,000 letters", {"<html><body>", word, "</body></html>"}, "aaaa", false},
      {"a 60 MB definition", {"<html><body>", definition, "</body></html>"}, "тормоз колодка", true},
  };
  CShownView shown;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    {
      const CWatchdog watchdog(c.what, std::chrono::seconds(15), 1500);
      shown.view.LoadStrings(c.lines);
      shown.view.grab();
    }
    const QString text = shown.view.toPlainText();
    EXPECT_TRUE(text.contains(Utf8(c.shown)));
    EXPECT_EQ(text.contains(Utf8("её остаток опущен")), c.leftOut);
  }
  // The breaks that keep a long word quick are not part of what is copied.
  shown.view.LoadStrings({"<html><body>", std::string(1000, 'b'), "</body></html>"});
  shown.view.SelectAll();
  shown.view.CopyToClipboard();
  EXPECT_EQ(QApplication::clipboard()->text().trimmed(), QString(1000, 'b'));
}

TEST(HtmlLiteTest, FontSizeStaysWithinWhatTheDialogOffers) {
  ThtmlLite view(ThtmlLite::ResultView());
  for (const auto& [asked, used] :
       std::vector<std::pair<int, int>>{{100, 100}, {101, 100}, {2147483647, 100}, {-2147483647 - 1, 6}}) {
    view.SetFontSize(asked);
    EXPECT_EQ(view.document()->defaultFont().pointSize(), used) << asked;
  }
}

TEST(HtmlLiteTest, EachViewHasItsSettings) {
  struct CCase {
    const char* name;
    ThtmlLite::CSettings settings;
    bool selectable;
    Qt::ScrollBarPolicy scrollBar;
    bool plainLinks;
    int marginHeight;
    int marginWidth;
  };
  const std::vector<CCase> cases = {
      {"result", ThtmlLite::ResultView(), true, Qt::ScrollBarAsNeeded, false, 5, 5},
      {"variants", ThtmlLite::VariantsPane(), false, Qt::ScrollBarAlwaysOn, true, 0, 2},
      {"bookmarks", ThtmlLite::BookmarksPane(), true, Qt::ScrollBarAlwaysOn, true, 0, 0},
  };
  for (const CCase& expected : cases) {
    ThtmlLite view(expected.settings);
    view.LoadStrings({"<html><body><a href=bookmark://0>link</a> <pre>fixed</pre></body></html>"});
    EXPECT_EQ(view.textInteractionFlags().testFlag(Qt::TextSelectableByMouse), expected.selectable)
        << expected.name;
    EXPECT_EQ(view.verticalScrollBarPolicy(), expected.scrollBar) << expected.name;
    EXPECT_FALSE(view.openLinks()) << expected.name;
    EXPECT_EQ(view.palette().color(QPalette::Base), QColor(Qt::white)) << expected.name;
    EXPECT_EQ(view.frameShape(), QFrame::Box) << expected.name;
    EXPECT_EQ(view.lineWidth(), 1) << expected.name;
    EXPECT_EQ(view.document()->defaultFont().family(), "Arial") << expected.name;
    EXPECT_EQ(view.document()->defaultFont().pointSize(), 9) << expected.name;

    QTextCursor link(view.document()->find("link"));
    link.setPosition(link.selectionStart() + 1);
    const QTextCharFormat linkFormat = link.charFormat();
    EXPECT_EQ(linkFormat.foreground().color() == QColor(Qt::black), expected.plainLinks) << expected.name;
    EXPECT_EQ(linkFormat.fontUnderline(), !expected.plainLinks) << expected.name;
    QTextCursor fixed(view.document()->find("fixed"));
    EXPECT_EQ(fixed.charFormat().fontFamilies().toStringList().value(0), "Courier New") << expected.name;

    const QTextFrameFormat page = view.document()->rootFrame()->frameFormat();
    EXPECT_EQ(page.topMargin(), expected.marginHeight) << expected.name;
    EXPECT_EQ(page.bottomMargin(), expected.marginHeight) << expected.name;
    EXPECT_EQ(page.leftMargin(), expected.marginWidth) << expected.name;
    EXPECT_EQ(page.rightMargin(), expected.marginWidth) << expected.name;
  }
}

}  // namespace
