// What a data file, a link, a pasted text or a settings file may hold, met by the real window:
// nothing crashes, freezes, grows without bound or shows as markup where text was meant.
#include <QLabel>
#include <QMessageBox>
#include <QStandardPaths>
#include <fstream>
#include <sstream>

#include "tests/app/MainFormFixture.h"
#include "tests/support/ReadOnlyFolder.h"
#include "tests/support/Watchdog.h"

namespace {

std::string BundledSource() {
  std::ifstream in(CARRO_BUNDLED_TSV, std::ios::binary);
  std::ostringstream source;
  source << in.rdbuf();
  return source.str();
}

class HostileInputTest : public MainFormTest {};

TEST_F(HostileInputTest, PathologicalArticlesShowQuicklyAndSaveWhole) {
  std::string nested;
  for (int i = 0; i < 20000; ++i) nested += "<b>";
  std::string huge;
  while (huge.size() < (30u << 20)) huge += "колодка суппорт ";
  WriteDataFile(std::string(kSource) + "6\tnested\tвложенные\t2\t" + nested + "x\t0\t\t\t\n" +
                "7\tword\tслово\t2\t" + std::string(1 << 20, 'a') + "\t0\t\t\t\n" + "8\thuge\tогромная\t2\t" +
                huge + "\t0\t\t\t\n");
  TMainForm& window = Start();
  window.show();
  for (const int32_t id : {6, 7, 8}) {
    const CWatchdog watchdog("article " + std::to_string(id), std::chrono::seconds(20), 2000);
    window.OpenArticle(id);
    window.ResultBrowser->grab();
  }
  EXPECT_TRUE(ResultText().contains(QString::fromUtf8("её остаток опущен")));
  // The file gets the whole page all the same.
  const QString saved = folder.filePath("huge.htm");
  ASSERT_TRUE(window.SavePage(saved));
  EXPECT_GT(QFileInfo(saved).size(), QString::fromStdString(huge).size());  // one byte a letter on disk
}

TEST_F(HostileInputTest, ALinkShowsInItsMessageAsPlainText) {
  WriteDataFile(
      std::string(kSource) +
      "6\tlinks\tссылки\t2\t<a href=\"bookmark://&lt;h1&gt;Fake&lt;/h1&gt;&lt;img src=/dev/zero&gt;\">"
      "поддельная</a>\t0\t\t\t\n");
  TMainForm& window = Start();
  window.OpenArticle(6);
  QTextCursor link = window.ResultBrowser->document()->find(QString::fromUtf8("поддельная"));
  ASSERT_FALSE(link.isNull());
  link.setPosition(link.selectionStart() + 1);
  Click(window.ResultBrowser, link.charFormat().anchorHref());
  ASSERT_EQ(messages.size(), 1u);
  const QString text = messages[0].text;
  EXPECT_EQ(text, "'<h1>Fake</h1><img src=/dev/zero>' is not a valid integer value");
  const CWatchdog watchdog("the message box", std::chrono::seconds(10), 1000);
  const auto box = MessageBox(&window, messages[0].caption, text);
  box->show();
  QApplication::processEvents();
  const auto* label = box->findChild<QLabel*>("qt_msgbox_label");
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->textFormat(), Qt::PlainText);
  EXPECT_EQ(label->text(), text);
}

TEST_F(HostileInputTest, ALongPasteShowsItsPageQuickly) {
  WriteDataFile(BundledSource());
  TMainForm& window = Start();
  QString repeated;
  for (int i = 0; i < 2857; ++i) repeated += QString::fromUtf8("тормоз ");
  QString distinct;
  for (int i = 0; distinct.size() < 30000; ++i)
    distinct += QString::fromUtf8("тормоз%1 масло диск%1 ").arg(i);
  for (const QString& pasted : {repeated, distinct}) {
    window.SearchComboBox->lineEdit()->clear();
    window.SearchComboBox->lineEdit()->insert(pasted);
    EXPECT_EQ(window.SearchComboBox->currentText().size(), std::min<qsizetype>(pasted.size(), 20000));
    const CWatchdog watchdog("a search for a long paste", std::chrono::seconds(10), 1500);
    window.VariantsTimerTimer();
    window.SearchSpeedButton->click();
    window.ResultBrowser->grab();
    EXPECT_FALSE(window.CurrentPage().articleIds.empty());
  }
}

TEST_F(HostileInputTest, FontSizesBeyondTheDialogsRangeStayInTheStoreButNotOnScreen) {
  QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "TelmoTX", "Telmo Carro Lexiconia");
  settings.setValue("ResultsFontSize", 2147483647);
  settings.setValue("VariantsFontSize", -5);
  settings.sync();
  TMainForm& window = Start();
  EXPECT_EQ(window.ResultBrowser->document()->defaultFont().pointSize(), 100);
  EXPECT_EQ(window.VariantsBrowser->document()->defaultFont().pointSize(), 6);
  EXPECT_TRUE(ResultText().contains(QString::fromUtf8("О программе")) || !ResultText().isEmpty());
  form.reset();
  settings.sync();
  EXPECT_EQ(settings.value("ResultsFontSize").toLongLong(), 2147483647);
  EXPECT_EQ(settings.value("VariantsFontSize").toInt(), -5);
}

TEST_F(HostileInputTest, AnUnwritableAutostartFolderIsToldAsSuchOnce) {
  const QString autostart =
      QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/autostart";
  QDir().mkpath(autostart);
  QFile entry(autostart + "/carrolex.desktop");
  ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
  entry.write("[Desktop Entry]\nExec=/old/place/carrolex\n");
  entry.close();
  TMainForm& window = Start();
  {
    const ReadOnlyFolder readOnly(autostart);
    if (!readOnly.Holds()) GTEST_SKIP() << "this process writes into read-only folders";
    window.ExactSearchComboBox->setCurrentIndex(1);
    window.FullWordsComboBox->setCurrentIndex(1);
  }
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].text.contains(QString::fromUtf8("автозапуска"))) << messages[0].text.toStdString();
  EXPECT_TRUE(messages[0].text.contains(QString::fromUtf8("Остальные настройки сохранены")));
  const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "TelmoTX", "Telmo Carro Lexiconia");
  EXPECT_EQ(settings.value("SearchFullWords").toInt(), 1);
  QFile::remove(autostart + "/carrolex.desktop");
}

}  // namespace
