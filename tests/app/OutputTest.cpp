// The current page leaving the window: saved, printed, opened in the browser; and the settings dialog.
#include <QFileDialog>
#include <QImage>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>

#include "dictionary/Messages.h"
#include "pages/PageRenderer.h"
#include "prefs/MainPropsForm.h"
#include "prefs/PageOutput.h"
#include "tests/app/MainFormFixture.h"
#include "tests/support/ReadOnlyFolder.h"

namespace {

std::string ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

void WriteBytes(const QString& path, const std::string& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// What a text viewer shows of a PDF file.
QString PdfText(const QString& path) {
  QProcess process;
  process.start("pdftotext", {"-enc", "UTF-8", path, "-"});
  process.waitForFinished();
  return QString::fromUtf8(process.readAllStandardOutput());
}

class OutputTest : public MainFormTest {
 protected:
  // The page on screen, searched for in the window.
  TMainForm& StartOnSearch(const QString& text) {
    TMainForm& window = Start();
    Type(text);
    window.RunSearch();
    return window;
  }

  // The export rendering of the current page, from a dictionary of the test's own.
  std::string ExpectedFileBytes() const {
    CDictionary dictionary;
    dictionary.Load("carro.dct", nullptr);
    CHtmlLines lines;
    RenderPage(dictionary, form->CurrentPage(), lines, true, {});
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    return bytes;
  }

  // Save dialogs get `name` typed into them, or are cancelled when it is empty; each one is kept
  // for a look at how it was set up.
  CAnsweredDialogs AnswerSaveDialogsWith(const QString& name) {
    return CAnsweredDialogs([this, name](QDialog& dialog) {
      auto& save = dynamic_cast<QFileDialog&>(dialog);
      dialogs.push_back({save.windowTitle(), save.defaultSuffix(), save.nameFilters(),
                         save.selectedNameFilter(), save.selectedFiles().value(0)});
      if (name.isEmpty()) return int(QDialog::Rejected);
      if (name != "-") save.selectFile(name);
      return int(QDialog::Accepted);
    });
  }

  // Print dialogs print into `pdf`, or are cancelled when it is empty.
  CAnsweredDialogs AnswerPrintDialogsWith(const QString& pdf) {
    return CAnsweredDialogs([this, pdf](QDialog& dialog) {
      ++printDialogs;
      if (pdf.isEmpty()) return int(QDialog::Rejected);
      QPrinter* printer = dynamic_cast<QPrintDialog&>(dialog).printer();
      printer->setOutputFormat(QPrinter::PdfFormat);
      printer->setOutputFileName(pdf);
      return int(QDialog::Accepted);
    });
  }

  void PutLogoInTheCurrentFolder() {
    QDir().mkpath("help");
    QImage logo(81, 69, QImage::Format_RGB32);
    logo.fill(Qt::darkBlue);
    ASSERT_TRUE(logo.save("help/telmo.gif", "PNG"));  // read by its content
  }

  struct CSaveDialog {
    QString title, suffix;
    QStringList filters;
    QString selectedFilter, proposed;
  };
  std::vector<CSaveDialog> dialogs;
  int printDialogs = 0;
};

TEST_F(OutputTest, ASavedPageIsTheExportRenderingWithCrLfAndReplacesTheOldFile) {
  TMainForm& window = StartOnSearch(QString::fromUtf8("тормоз"));
  ASSERT_TRUE(window.HighlightCheckBox->isChecked());
  ASSERT_TRUE(window.ResultBrowser->toHtml().contains("#ff0000"));
  WriteBytes(folder.filePath("page.htm"), std::string(100000, 'x'));
  const auto saveAs = AnswerSaveDialogsWith(folder.filePath("page.htm"));
  window.SaveSpeedButton->click();

  const std::string saved = ReadBytes(folder.filePath("page.htm"));
  EXPECT_EQ(saved, ExpectedFileBytes());
  EXPECT_TRUE(saved.starts_with("<html>"));
  EXPECT_TRUE(saved.ends_with("</html>\r\n"));
  EXPECT_NE(saved.find(kExportCredit), std::string::npos);
  EXPECT_NE(saved.find("тормозной диск"_cp), std::string::npos);
  EXPECT_EQ(saved.find("<font color=red>"), std::string::npos) << "no highlighting in files";
  for (std::size_t at = saved.find('\n'); at != std::string::npos; at = saved.find('\n', at + 1))
    ASSERT_EQ(saved[at - 1], '\r') << "at byte " << at;
  EXPECT_EQ(Status(), QString::fromUtf8("тормоз"));
  EXPECT_TRUE(messages.empty());
}

TEST_F(OutputTest, TheSaveDialogProposesTheLabelWithoutDotsAndAddsHtm) {
  TMainForm& window = Start();
  Type(QString::fromUtf8("мотор"));
  window.ShowAllVariants();  // labelled "мотор..."
  ASSERT_EQ(Label(), QString::fromUtf8("мотор..."));
  const auto acceptProposed = AnswerSaveDialogsWith("-");  // accepted as proposed
  window.SaveItem->trigger();

  ASSERT_EQ(dialogs.size(), 1u);
  const CSaveDialog& dialog = dialogs.front();
  EXPECT_EQ(dialog.title, QString::fromUtf8("Сохранение результата поиска"));
  EXPECT_EQ(dialog.suffix, "htm");
  ASSERT_EQ(dialog.filters.size(), 2);
  EXPECT_EQ(dialog.selectedFilter, QString::fromUtf8("Веб-страница (*.htm, *.html)"));
  EXPECT_TRUE(dialog.filters.back().startsWith(QString::fromUtf8("Все файлы (*.*)")));
  // The folder is the dialog's own choice: the last one used in this run, or the current one.
  EXPECT_EQ(QFileInfo(dialog.proposed).fileName(), QString::fromUtf8("мотор.htm"));
  EXPECT_EQ(ReadBytes(dialog.proposed), ExpectedFileBytes());
  QFile::remove(dialog.proposed);
}

TEST(ProposedFileName, DropsDotsAndSlashes) {
  const std::vector<std::pair<const char*, const char*>> cases = {{"мотор...", "мотор"},
                                                                  {"a.b.c", "abc"},
                                                                  {"A/C компрессор", "AC компрессор"},
                                                                  {"...", ""},
                                                                  {"oil", "oil"}};
  for (const auto& [label, proposed] : cases)
    EXPECT_EQ(ProposedFileName(QString::fromUtf8(label)), QString::fromUtf8(proposed)) << label;
}

TEST_F(OutputTest, CancellingTheSaveDialogWritesNothing) {
  TMainForm& window = StartOnSearch("oil");
  const QStringList before = QDir(folder.path()).entryList(QDir::Files);
  const auto cancelSave = AnswerSaveDialogsWith(QString());
  window.SaveResultItem->trigger();
  EXPECT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), before);
  EXPECT_TRUE(messages.empty());
}

TEST_F(OutputTest, AFailedSaveNamesTheFileAndKeepsTheOldOne) {
  TMainForm& window = StartOnSearch("oil");
  QDir(folder.path()).mkpath("locked");
  QDir(folder.path()).mkpath("a folder.htm");
  const QString old = folder.filePath("locked/old.htm");
  WriteBytes(old, "the old page");
  const ReadOnlyFolder readOnly(folder.filePath("locked"));
  const std::vector<QString> paths = {folder.filePath("missing/page.htm"), folder.filePath("a folder.htm"),
                                      old};
  for (const QString& path : paths) {
    SCOPED_TRACE(path.toStdString());
    if (path == old && !readOnly.Holds()) continue;  // this process writes into read-only folders
    messages.clear();
    EXPECT_FALSE(window.SavePage(path));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages.front().caption, QString::fromUtf8("ТЕЛМО Карролексия"));
    EXPECT_TRUE(messages.front().text.contains(path)) << messages.front().text.toStdString();
  }
  EXPECT_EQ(ReadBytes(old), "the old page");
}

TEST_F(OutputTest, PrintingPutsTheExportPageOnPaperEveryTimeAskingFirst) {
  PutLogoInTheCurrentFolder();
  TMainForm& window = StartOnSearch(QString::fromUtf8("тормоз"));
  const auto printFirst = AnswerPrintDialogsWith(folder.filePath("first.pdf"));
  window.PrintSpeedButton->click();
  const QString first = PdfText(folder.filePath("first.pdf"));
  EXPECT_TRUE(first.contains(QString::fromUtf8("тормозной диск"))) << first.toStdString();
  EXPECT_TRUE(first.contains(QString::fromUtf8("Устройство для остановки")));

  // The second request prints the page current then, after asking again.
  window.ShowAboutPage();
  const auto printSecond = AnswerPrintDialogsWith(folder.filePath("second.pdf"));
  window.PrintItem2->trigger();
  EXPECT_EQ(printDialogs, 2);
  const QString second = PdfText(folder.filePath("second.pdf"));
  EXPECT_TRUE(second.contains(QString::fromUtf8("Количество статей: 5"))) << second.toStdString();
  EXPECT_FALSE(second.contains(QString::fromUtf8("тормозной диск")));
  QProcess images;
  images.start("pdfimages", {"-list", folder.filePath("second.pdf")});
  images.waitForFinished();
  EXPECT_GE(QString(images.readAllStandardOutput()).count("image"), 1) << "the logo is printed";

  const auto cancelPrint = AnswerPrintDialogsWith(QString());
  window.PrintItem->trigger();
  EXPECT_EQ(printDialogs, 3);
  EXPECT_EQ(QDir(folder.path()).entryList({"*.pdf"}).size(), 2) << "a cancelled print prints nothing";
  EXPECT_TRUE(messages.empty());
}

TEST_F(OutputTest, OpenInBrowserWritesThePageIntoTheCacheAndHandsExactlyThatFileOver) {
  PutLogoInTheCurrentFolder();
  const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
  QDir(cache).removeRecursively();
  TMainForm& window = StartOnSearch(QString::fromUtf8("тормоз"));
  window.OpenInBrowserSpeedButton->click();

  ASSERT_EQ(urls.opened.size(), 1u);
  const QString file = cache + "/result.htm";
  EXPECT_EQ(urls.opened.front(), QUrl::fromLocalFile(file).toString());
  EXPECT_EQ(ReadBytes(file), ExpectedFileBytes());
  EXPECT_EQ(ReadBytes(cache + "/help/telmo.gif"), ReadBytes("help/telmo.gif")) << "the logo shows there too";

  window.OpenInBrowserItem->trigger();  // the same file again
  EXPECT_EQ(urls.opened, std::vector<QString>(2, QUrl::fromLocalFile(file).toString()));
  EXPECT_TRUE(messages.empty());
}

// Links planted in the cache folder are replaced, never followed: what they point at stays as it was.
TEST_F(OutputTest, TheBrowserFileReplacesALinkInsteadOfWritingWhereItPoints) {
  PutLogoInTheCurrentFolder();
  const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
  QDir(cache).removeRecursively();
  QDir().mkpath(cache);
  QTemporaryDir elsewhere;
  const QString victim = elsewhere.filePath("victim.txt");
  QFile file(victim);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("keep me");
  file.close();
  ASSERT_TRUE(QFile::link(victim, cache + "/result.htm"));
  ASSERT_TRUE(QFile::link(elsewhere.path(), cache + "/help"));
  TMainForm& window = StartOnSearch("oil");
  window.OpenInBrowser();
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(ReadBytes(victim), "keep me");
  EXPECT_FALSE(QFileInfo(cache + "/result.htm").isSymLink());
  EXPECT_EQ(ReadBytes(cache + "/result.htm"), ExpectedFileBytes());
  EXPECT_FALSE(QFileInfo(cache + "/help").isSymLink());
  EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::Files), QStringList{"victim.txt"});
  EXPECT_EQ(ReadBytes(cache + "/help/telmo.gif"), ReadBytes("help/telmo.gif"));
}

TEST_F(OutputTest, ABrowserFileThatCannotBeWrittenIsReportedAndNotOpened) {
  const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
  QDir(cache).removeRecursively();
  QDir().mkpath(QFileInfo(cache).path());
  TMainForm& window = StartOnSearch("oil");
  const ReadOnlyFolder readOnly(QFileInfo(cache).path());
  if (!readOnly.Holds()) GTEST_SKIP() << "this process writes into read-only folders";
  window.OpenInBrowser();
  EXPECT_TRUE(urls.opened.empty());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages.front().text.contains("result.htm"));
}

TEST_F(OutputTest, WithoutABrowserTheUserLearnsWhereThePageIs) {
  TMainForm& window = StartOnSearch("oil");
  QDesktopServices::unsetUrlHandler("file");  // the test platform opens nothing by itself
  window.OpenInBrowser();
  ASSERT_EQ(messages.size(), 1u);
  const QString file = QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + "/result.htm";
  EXPECT_TRUE(messages.front().text.contains(file)) << messages.front().text.toStdString();
  EXPECT_EQ(ReadBytes(file), ExpectedFileBytes());
}

TEST_F(OutputTest, WithoutAPageNothingIsSavedOrPrintedButTheBrowserIsAskedAllTheSame) {
  form = std::make_unique<TMainForm>();  // no page has been shown
  int dialogsShown = 0;
  const CAnsweredDialogs counted([&](QDialog&) { return ++dialogsShown, int(QDialog::Accepted); });
  EXPECT_FALSE(form->SavePage());
  form->PrintPage();
  form->OpenInBrowser();
  EXPECT_EQ(dialogsShown, 0);
  ASSERT_EQ(urls.opened.size(), 1u);
  EXPECT_TRUE(urls.opened.front().endsWith("/result.htm"));
  EXPECT_TRUE(messages.empty());
}

// The settings dialog as the window runs it.
class SettingsTest : public MainFormTest {
 protected:
  std::string SettingsFile() const {
    return ReadBytes(
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "TelmoTX", "Telmo Carro Lexiconia")
            .fileName());
  }
};

TEST_F(SettingsTest, AcceptingAppliesAndSavesAtOnce) {
  std::string source = kSource;
  for (int n = 10; n < 60; ++n)
    source += std::to_string(n) + "\tbrake " + std::to_string(n) + "\tтормоз\t2\t\t0\t\t\t\n";
  WriteDataFile(source);
  TMainForm& window = Start();
  Type("brake");
  window.RunSearch();
  ASSERT_TRUE(ResultText().contains("brake 59"));
  const std::size_t historySize = window.History().size();
  const CAnsweredDialogs answer([](QDialog& dialog) {
    auto& settings = dynamic_cast<TMainPropsForm&>(dialog);
    EXPECT_EQ(settings.MaxResultDisplayCountSpin->value(), 300);
    settings.MaxResultDisplayCountSpin->setValue(10);
    settings.ResultsFontSizeSpin->setValue(14);
    settings.VariantsFontSizeSpin->setValue(3);
    return int(QDialog::Accepted);
  });
  window.N7->trigger();

  EXPECT_EQ(window.Prefs().MaxResultDisplayCount, 10);
  EXPECT_EQ(window.Prefs().ResultsFontSize, 14);
  EXPECT_EQ(window.Prefs().VariantsFontSize, 3);
  EXPECT_EQ(window.ResultBrowser->font().pointSize(), 14);
  EXPECT_EQ(window.VariantsBrowser->font().pointSize(), 6) << "sizes below 6 show as 6";
  EXPECT_EQ(window.BookmarksBrowser->font().pointSize(), 9);
  EXPECT_TRUE(ResultText().contains("brake 10"));
  EXPECT_FALSE(ResultText().contains("brake 59")) << "the page shows the first 10 at once";
  EXPECT_EQ(window.History().size(), historySize);
  CPrefs saved;
  saved.LoadFromRegistry();
  EXPECT_EQ(saved, window.Prefs());
}

TEST_F(SettingsTest, CancellingChangesNothing) {
  TMainForm& window = Start();
  const CPrefs before = window.Prefs();
  const std::string file = SettingsFile();
  window.trayAvailable = [] { return false; };
  bool saysUnavailable = false;
  const CAnsweredDialogs answer([&](QDialog& dialog) {
    auto& settings = dynamic_cast<TMainPropsForm&>(dialog);
    for (const QLabel* label : settings.findChildren<QLabel*>())
      saysUnavailable |= label->text().contains(QString::fromUtf8("недоступна"));
    settings.MaxVariantDisplayCountSpin->setValue(50);
    settings.MaxResultDisplayCountSpin->setValue(50);
    settings.TrayCheckBox->setChecked(true);
    settings.VariantsFontSizeSpin->setValue(20);
    settings.ResultsFontSizeSpin->setValue(20);
    return int(QDialog::Rejected);
  });
  window.N7->trigger();
  EXPECT_TRUE(saysUnavailable);
  EXPECT_EQ(window.Prefs(), before);
  EXPECT_EQ(SettingsFile(), file);
  EXPECT_EQ(window.ResultBrowser->font().pointSize(), 9);
}

}  // namespace
