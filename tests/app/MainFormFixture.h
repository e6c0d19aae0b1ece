#pragma once
// The real main window on a small dictionary in a temporary current folder, with every message
// box and every URL handed to the desktop recorded instead of shown.

#include <gtest/gtest.h>

#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QLineEdit>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QUrl>
#include <fstream>

#include "app/MainForm.h"
#include "app/Modal.h"
#include "dictionary/DataFileWriter.h"
#include "dictionary/TsvSource.h"
#include "htmlview/HtmlLite.h"
#include "text/Cp1251.h"

inline constexpr const char* kSource =
    "# dataVersion: 2026-test\n"
    "# requiredVersion: 1.0\n"
    "id\tterm\ttranslation\tlanguage\tdefinition\tsynonymGroup\textraText\tseeAlso\ttranscription\n"
    "1\tbrake\tтормоз\t2\tУстройство для остановки.\t1\t\tтормозной диск\tбрейк\n"
    "2\tBremse\tтормоз\t5\tТормоз.\t1\t\t\t\n"
    "3\tbrake disc\tтормозной диск\t2\tДиск тормоза.\t0\t\t\t\n"
    "4\toil\tмасло\t2\tСмазочный материал.\t0\t\t\t\n"
    "5\ttorque\tкрутящий момент\t2\tМомент силы.\t0\t\t\t\n";

// Records the URLs that the program hands to the desktop, by scheme.
class CUrlCatcher : public QObject {
  Q_OBJECT

 public slots:
  void Open(const QUrl& url) { opened.push_back(url.toString()); }

 public:
  std::vector<QString> opened;
};

class MainFormTest : public testing::Test {
 protected:
  void SetUp() override {
    previousFolder = QDir::currentPath();
    QDir::setCurrent(folder.path());
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "TelmoTX", "Telmo Carro Lexiconia").clear();
    WriteDataFile(kSource);
    for (const char* scheme : {"http", "https", "ftp", "mailto", "file", "article", "javascript"})
      QDesktopServices::setUrlHandler(scheme, &urls, "Open");
  }
  void TearDown() override {
    form.reset();
    for (const char* scheme : {"http", "https", "ftp", "mailto", "file", "article", "javascript"})
      QDesktopServices::unsetUrlHandler(scheme);
    QDir::setCurrent(previousFolder);
  }

  static void WriteDataFile(const std::string& source, const std::string& name = "carro.dct") {
    const CParsedSource parsed = ParseTsvSource(source, "test.tsv");
    const std::string bytes = DataFileBytes(parsed.info, parsed.records);
    std::ofstream(name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

  TMainForm& Start() {
    form = std::make_unique<TMainForm>();
    EXPECT_EQ(form->FormCreate(), 0);
    return *form;
  }

  // As typing does: the text changes through the line edit (QTest types ASCII only).
  void Type(const QString& text) {
    form->SearchComboBox->lineEdit()->selectAll();
    form->SearchComboBox->lineEdit()->insert(text);
  }

  bool Click(ThtmlLite* view, const QString& href) {
    bool handled = false;
    emit view->HotSpotClick(href, handled);
    return handled;
  }

  QString Status() const { return form->statusBar()->currentMessage(); }
  QString Label() const { return QString::fromStdString(cp1251::ToUtf8(form->CurrentPage().label)); }
  QString ResultText() const { return form->ResultBrowser->toPlainText(); }

  QTemporaryDir folder;
  QString previousFolder;
  std::vector<CShownMessage> messages;
  // Every message of a test is recorded rather than shown.
  const CAnsweredMessages recordMessages{
      [this](const CShownMessage& message) { messages.push_back(message); }};
  CUrlCatcher urls;
  std::unique_ptr<TMainForm> form;
};
