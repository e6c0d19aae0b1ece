// The window as a user meets it: shown and active, typed into where the focus is, clicked with the
// mouse, its captions whole, its status texts on screen.
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusTipEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include "app/Application.h"
#include "app/SplashForm.h"
#include "dictionary/Messages.h"
#include "tests/app/MainFormFixture.h"
#include "tests/support/TextsFit.h"

using namespace Qt::StringLiterals;

namespace {

// Counts the events of one type that reach an object.
class CEventCounter : public QObject {
 public:
  CEventCounter(QObject* watched, QEvent::Type counted, int& counter) : type(counted), count(counter) {
    watched->installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == type) ++count;
    return false;
  }

 private:
  QEvent::Type type;
  int& count;
};

class WindowUseTest : public MainFormTest {
 protected:
  // Started and on screen, active as after a start on a desktop.
  TMainForm& Shown() {
    TMainForm& window = Start();
    window.ShowAtStart();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    return window;
  }

  // Types into whatever has the focus, as the keyboard does.
  static void TypeKeys(const QString& text) {
    for (const QChar c : text) {
      QWidget* focus = QApplication::focusWidget();
      ASSERT_NE(focus, nullptr);
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
      QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
      QApplication::sendEvent(focus, &press);
      QApplication::sendEvent(focus, &release);
    }
  }

  static void Key(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }

  void Search(const QString& text) {
    form->SearchComboBox->lineEdit()->clear();
    TypeKeys(text);
    Key(Qt::Key_Return);
  }

  QString BoxText() const { return form->SearchComboBox->currentText(); }
};

TEST_F(WindowUseTest, TypingAfterTheStartGoesIntoTheSearchBox) {
  TMainForm& window = Shown();
  EXPECT_EQ(QApplication::focusWidget(), window.SearchComboBox);
  TypeKeys(QString::fromUtf8("тормоз"));
  EXPECT_EQ(BoxText(), QString::fromUtf8("тормоз"));
  EXPECT_EQ(window.PageControl->currentIndex(), 0);
}

TEST_F(WindowUseTest, EveryWayBackPutsTheFocusInTheSearchBox) {
  TMainForm& window = Shown();
  const std::pair<const char*, std::function<void()>> ways[] = {
      {"minimised", [&window] { window.showMinimized(); }},
      {"hidden in the tray", [&window] { window.hide(); }},
  };
  for (const auto& [how, leave] : ways) {
    SCOPED_TRACE(how);
    window.ResultBrowser->setFocus();
    leave();
    QApplication::processEvents();
    window.RestoreWindow();  // the tray icon, its menu and a second start all come back this way
    EXPECT_TRUE(window.isVisible());
    // The widget that takes the keyboard once the desktop activates the window (the offscreen
    // platform does not always activate a window shown again).
    EXPECT_EQ(window.focusWidget(), window.SearchComboBox);
  }
}

TEST_F(WindowUseTest, TheBoxHoldsExactlyWhatWasTyped) {
  TMainForm& window = Shown();
  Search("brake");
  Search("**");
  for (const char* typed : {"br", "*", "b"}) {
    window.SearchComboBox->lineEdit()->clear();
    TypeKeys(typed);
    EXPECT_EQ(BoxText(), typed);
    window.VariantsTimerTimer();
    Key(Qt::Key_Return);
    EXPECT_EQ(Label(), typed);
  }
  EXPECT_EQ(window.SearchComboBox->itemText(0), "b");
}

TEST_F(WindowUseTest, ArrowKeysWalkTheQueriesNewestFirst) {
  TMainForm& window = Shown();
  for (const char* query : {"oil", "torque", "brake"}) Search(query);
  window.SearchComboBox->lineEdit()->clear();
  TypeKeys("x");
  int checkBoxFocused = 0;
  CEventCounter focusIns(window.HighlightCheckBox, QEvent::FocusIn, checkBoxFocused);
  const std::pair<Qt::Key, const char*> steps[] = {
      {Qt::Key_Down, "brake"}, {Qt::Key_Down, "torque"}, {Qt::Key_Down, "oil"}, {Qt::Key_Down, "oil"},
      {Qt::Key_Up, "torque"},  {Qt::Key_Up, "brake"},    {Qt::Key_Up, "brake"},
  };
  int moves = 0;
  for (const auto& [key, shown] : steps) {
    const QString before = BoxText();
    Key(key);
    EXPECT_EQ(BoxText(), shown);
    if (BoxText() != before) ++moves;
    EXPECT_EQ(QApplication::focusWidget(), window.SearchComboBox);
  }
  EXPECT_EQ(checkBoxFocused, moves) << "each choice passes the focus through the check box";
  // A choice is a change of the box: the pane follows it at the next tick.
  window.VariantsTimerTimer();
  EXPECT_TRUE(window.VariantsBrowser->toPlainText().contains(QString::fromUtf8("brake (тормоз)")));
}

TEST_F(WindowUseTest, TheTimerRefreshesThePaneByItself) {
  TMainForm& window = Shown();
  TypeKeys(QString::fromUtf8("мас"));
  EXPECT_FALSE(window.VariantsBrowser->toPlainText().contains(QString::fromUtf8("масло")));
  EXPECT_TRUE(QTest::qWaitFor(
      [&window] { return window.VariantsBrowser->toPlainText().contains(QString::fromUtf8("масло (oil)")); },
      1000));
}

TEST_F(WindowUseTest, EveryCaptionIsShownWhole) {
  TMainForm& window = Shown();
  EXPECT_EQ(CutCaptions(window), std::vector<std::string>());
  window.PageControl->setCurrentWidget(window.BookmarksTabSheet);
  EXPECT_EQ(CutCaptions(window), std::vector<std::string>());
  EXPECT_FALSE(window.PageControl->tabBar()->usesScrollButtons());
  EXPECT_GE(window.PageControl->width(), 177);

  TSplashForm splash(QString{});
  splash.show();
  QApplication::processEvents();
  EXPECT_EQ(CutCaptions(splash), std::vector<std::string>());
  EXPECT_GE(splash.width(), 290);
  EXPECT_GE(splash.height(), 154);
}

TEST_F(WindowUseTest, TheOutdatedDataMessageKeepsEachAddressOnOneLine) {
  const QString text = QString::fromStdString(cp1251::ToUtf8(OutdatedDataMessage("2.0")));
  const auto box = MessageBox(nullptr, QString::fromUtf8("Устаревшая версия программы"), text);
  box->show();
  QApplication::processEvents();
  const auto* label = box->findChild<QLabel*>("qt_msgbox_label");
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text(), text);
  for (std::string_view address : {kMakerSite, kMakerEmail}) {
    const QString line = QString::fromLatin1(address.data(), static_cast<qsizetype>(address.size()));
    ASSERT_TRUE(text.split('\n').contains(line)) << address;
    EXPECT_LE(label->fontMetrics().horizontalAdvance(line), label->contentsRect().width()) << address;
  }
}

TEST_F(WindowUseTest, TheAboutPageShowsTheTitleBesideTheLogo) {
  TMainForm& window = Shown();
  QTextDocument& page = *window.ResultBrowser->document();
  const QTextCursor title = page.find(QString::fromUtf8("ТЕЛМО Карролексия"));
  const QTextTable* table = title.currentTable();
  ASSERT_NE(table, nullptr);
  const auto layout = page.documentLayout();
  const QRectF logo = layout->blockBoundingRect(table->cellAt(0, 0).firstCursorPosition().block());
  for (const int width : {794, 1400}) {
    window.resize(width, 562);
    QApplication::processEvents();
    const qreal titleLeft = layout->blockBoundingRect(title.block()).left();
    EXPECT_GT(titleLeft, logo.left() + 81) << width;
    EXPECT_LT(titleLeft, logo.left() + 81 + 40) << width;
  }
}

// Records the status bar's text each time it is painted.
class CPaintedTexts : public QObject {
 public:
  explicit CPaintedTexts(QStatusBar* statusBar) : bar(statusBar) { bar->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && (texts.empty() || texts.back() != bar->currentMessage()))
      texts.push_back(bar->currentMessage());
    return false;
  }
  QStatusBar* bar;
  std::vector<QString> texts;
};

TEST_F(WindowUseTest, StatusTextsAreOnScreenWhileTheWorkRuns) {
  TMainForm& window = Shown();
  CPaintedTexts painted(window.statusBar());
  Type(QString::fromUtf8("тормоз"));
  window.SearchSpeedButton->click();
  const std::vector<QString> expected = {
      QString::fromUtf8("Поиск..."), QString::fromUtf8("Подсветка найденных слов..."),
      QString::fromUtf8("Вывод результатов поиска..."), QString::fromUtf8("тормоз"), QString()};
  EXPECT_EQ(painted.texts, expected);
}

TEST_F(WindowUseTest, MenusLeaveTheStatusTextAlone) {
  TMainForm& window = Shown();
  window.OpenArticle(4);
  const QString shown = Status();
  for (QAction* menu : window.menuBar()->actions()) {
    window.menuBar()->setActiveAction(menu);
    for (QAction* item : menu->menu()->actions()) menu->menu()->setActiveAction(item);
    menu->menu()->close();
    QApplication::processEvents();
    EXPECT_EQ(Status(), shown) << menu->text().toStdString();
  }
  QStatusTipEvent tip{QString()};
  QApplication::sendEvent(&window, &tip);
  EXPECT_EQ(Status(), shown);
}

TEST_F(WindowUseTest, MenusHoldTheirItemsInOrder) {
  TMainForm& window = Start();
  const auto listed = [](const QMenu& menu) {
    QStringList items;
    for (const QAction* item : menu.actions())
      items << (item->isSeparator() ? "-" : item->objectName() + " " + item->text());
    return items.join(" | ").toStdString();
  };
  QStringList bar;
  for (const QAction* menu : window.menuBar()->actions()) bar << menu->text();
  EXPECT_EQ(bar.join(" | ").toStdString(), "Файл | Настройка | Справка");
  const std::pair<const QMenu*, const char*> menus[] = {
      {window.menuBar()->actions()[0]->menu(),
       "SaveResultItem Сохранить страницу... | - | PrintItem Печать... | - | AddDictionaryItem Добавить "
       "словарь... | - | N2 Выход"},
      {window.menuBar()->actions()[1]->menu(), "N7 Настройка программы..."},
      {window.menuBar()->actions()[2]->menu(), "N4 О программе..."},
      {window.ResultPopupMenu,
       "BackItem Назад | ForwardItem Вперед | - | N14 Выделить все | N5 Копировать | - | "
       "BookmarkItem Добавить в закладки | - | SaveItem Сохранить... | PrintItem2 Печать... | "
       "OpenInBrowserItem Открыть в браузере..."},
      {window.TrayPopupMenu, "N9 Показать словарь | - | N11 Выход"},
  };
  for (const auto& [menu, items] : menus) EXPECT_EQ(listed(*menu), items);
  for (const QAction* item : window.findChildren<QAction*>()) EXPECT_TRUE(item->shortcut().isEmpty());
}

TEST_F(WindowUseTest, TheTenPageCommandsShareOneState) {
  const auto states = [this] {
    std::vector<bool> enabled;
    for (QWidget* button :
         {static_cast<QWidget*>(form->BookmarkSpeedButton), static_cast<QWidget*>(form->SaveSpeedButton),
          static_cast<QWidget*>(form->PrintSpeedButton),
          static_cast<QWidget*>(form->OpenInBrowserSpeedButton)})
      enabled.push_back(button->isEnabled());
    for (QAction* item : {form->SaveResultItem, form->PrintItem, form->BookmarkItem, form->SaveItem,
                          form->PrintItem2, form->OpenInBrowserItem})
      enabled.push_back(item->isEnabled());
    return enabled;
  };
  // A file for a newer program ends the start before the first page: all ten stay off.
  WriteDataFile(std::string("# requiredVersion: 2.0\n") + (kSource + std::string(kSource).find("id\t")));
  form = std::make_unique<TMainForm>();
  EXPECT_NE(form->FormCreate(), 0);
  EXPECT_EQ(states(), std::vector<bool>(10, false));
  WriteDataFile(kSource);
  Start();
  EXPECT_EQ(states(), std::vector<bool>(10, true));
}

TEST_F(WindowUseTest, AMouseClickOnALinkInTheResultViewReachesTheLinkAsWritten) {
  WriteDataFile(std::string(kSource) +
                "6\tlinks\tссылки\t2\tСм. <a href=article://4>масло</a>, <a href=article://2=x>неверная</a>, "
                "<a href=https://example.org/?q=brake>сайт</a>.\t0\t\t\t\n");
  TMainForm& window = Shown();
  const auto click = [&window](const char* text) {
    window.OpenArticle(6);
    QTextCursor found = window.ResultBrowser->document()->find(QString::fromUtf8(text));
    ASSERT_FALSE(found.isNull()) << text;
    found.setPosition(found.selectionStart() + 1);
    QTest::mouseClick(window.ResultBrowser->viewport(), Qt::LeftButton, {},
                      window.ResultBrowser->cursorRect(found).center());
  };
  click("неверная");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "'2=x' is not a valid integer value");
  click("сайт");
  EXPECT_EQ(urls.opened, std::vector<QString>{"https://example.org/?q=brake"});
  click("масло");
  EXPECT_EQ(Label(), QString::fromUtf8("масло (oil)"));
}

TEST_F(WindowUseTest, AnUnwritableSettingsStoreIsReportedOncePerRun) {
  QTemporaryDir settings;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  QFile blocker(settings.filePath("TelmoTX"));  // a file where the settings folder should be
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  const QString report =
      QString::fromUtf8("Не удалось записать настройки. Они действуют до выхода из программы.");
  for (const bool changeFirst : {true, false}) {
    SCOPED_TRACE(changeFirst);
    messages.clear();
    TMainForm& window = Start();
    if (changeFirst) {
      window.ExactSearchComboBox->setCurrentIndex(1);
      window.FullWordsComboBox->setCurrentIndex(1);
      EXPECT_TRUE(window.Prefs().SearchExact) << "the values in memory stay in use";
      Type("brake oil");
      window.RunSearch();
      EXPECT_TRUE(window.CurrentPage().articleIds.empty());
    }
    form.reset();  // the exit saves once more
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, report);
  }
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QDir::homePath() + "/config");
}

// "Не различать буквы е и ё": off, the program keeps them apart; on, the lookup, the search and the
// highlighting take them as one letter, and the setting is kept.
TEST_F(WindowUseTest, TheYoSettingJoinsЕAndЁEverywhere) {
  WriteDataFile(std::string(kSource) + "6\tsteel wheel\tколёсный диск\t2\tДиск колеса.\t0\t\t\t\n");
  TMainForm& window = Shown();
  const auto searchFor = [&](const char* typed) {
    Search(QString::fromUtf8(typed));
    window.VariantsTimerTimer();
    return window.CurrentPage().articleIds;
  };
  EXPECT_TRUE(searchFor("колесный").empty());
  const CAnsweredDialogs switchOn([](QDialog& dialog) {
    dialog.findChild<QCheckBox*>("FoldYoCheckBox")->setChecked(true);
    return int(QDialog::Accepted);
  });
  window.N7->trigger();
  EXPECT_TRUE(window.Prefs().FoldYo);
  EXPECT_EQ(searchFor("колесный"), std::vector<int32_t>{6});
  EXPECT_TRUE(window.ResultBrowser->toHtml().contains(QString::fromUtf8(">колёсный<")));
  EXPECT_TRUE(
      window.VariantsBrowser->toPlainText().contains(QString::fromUtf8("колёсный диск (steel wheel)")));
  const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "TelmoTX", "Telmo Carro Lexiconia");
  EXPECT_EQ(settings.value("FoldYo").toInt(), 1);
}

// The user's own data file of one test, in a data folder of its own.
class CUserDataFolder {
 public:
  explicit CUserDataFolder(const QString& path) : previous(qgetenv("XDG_DATA_HOME")) {
    qputenv("XDG_DATA_HOME", path.toUtf8());
  }
  ~CUserDataFolder() { qputenv("XDG_DATA_HOME", previous); }
  CUserDataFolder(const CUserDataFolder&) = delete;
  CUserDataFolder& operator=(const CUserDataFolder&) = delete;

 private:
  QByteArray previous;
};

TEST_F(WindowUseTest, AGlossaryAddedFromTheFileMenuKeepsThePagesAndTheBundledFile) {
  const CUserDataFolder data(folder.path() + "/data");
  TMainForm& window = Shown();
  Search(QString::fromUtf8("тормоз"));
  const std::vector<int32_t> found = window.CurrentPage().articleIds;
  window.AddBookmark();
  std::ifstream bundledIn("carro.dct", std::ios::binary);
  const std::string bundled{std::istreambuf_iterator<char>(bundledIn), {}};
  std::ofstream("mine.csv", std::ios::binary) << "en,ru,definition\nwheel hub,ступица,Узел колеса\nbrake,,\n";

  QStringList filters;
  const CAnsweredDialogs pick([&](QDialog& dialog) {
    auto& open = dynamic_cast<QFileDialog&>(dialog);
    filters = open.nameFilters();
    open.selectFile(folder.filePath("mine.csv"));
    return int(QDialog::Accepted);
  });
  window.AddDictionaryItem->trigger();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window)) << "back from the splash window";
  EXPECT_EQ(QApplication::focusWidget(), window.SearchComboBox);
  ASSERT_FALSE(messages.empty());
  EXPECT_TRUE(messages.back().text.startsWith(QString::fromUtf8("Словарь добавлен: статей 1, пропущено 1.")))
      << messages.back().text.toStdString();
  ASSERT_FALSE(filters.empty());
  EXPECT_TRUE(filters.front().contains("*.dsl.dz")) << filters.front().toStdString();

  std::ifstream bundledAfter("carro.dct", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(bundledAfter), {}), bundled) << "never touched";
  EXPECT_TRUE(QFile::exists(folder.path() + "/data/TelmoTX/Telmo Carro Lexiconia/carro.dct"));
  EXPECT_EQ(window.CurrentPage().articleIds, found);
  EXPECT_TRUE(ResultText().contains(QString::fromUtf8("Устройство для остановки.")))
      << "the page shown again";
  Search(QString::fromUtf8("ступица"));
  EXPECT_EQ(window.CurrentPage().articleIds, std::vector<int32_t>{6});
  EXPECT_TRUE(ResultText().contains(QString::fromUtf8("Узел колеса")));
  window.BackSpeedButton->click();
  EXPECT_EQ(window.CurrentPage().articleIds, found) << "history keeps its articles";
  ASSERT_EQ(window.Bookmarks().size(), 1u);
  EXPECT_EQ(window.Bookmarks().front().articleIds, found);

  form.reset();
  Start();
  EXPECT_EQ(form->Dictionary().ArticleCount(), 6) << "the next start opens the user's own file";
}

TEST_F(WindowUseTest, AGlossaryThatCannotBeReadLeavesTheDictionaryAsItWas) {
  const CUserDataFolder data(folder.path() + "/data");
  TMainForm& window = Shown();
  std::ofstream("bad.csv", std::ios::binary) << "en,ru\nbrake,\"тормоз\n";
  std::ofstream("list.xls", std::ios::binary) << "en,ru\n";
  for (const char* name : {"bad.csv", "list.xls", "missing.tbx"}) {
    SCOPED_TRACE(name);
    messages.clear();
    EXPECT_FALSE(window.AddDictionary(folder.filePath(QString::fromUtf8(name))));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages.front().text.startsWith(QString::fromUtf8("Не удалось добавить словарь\n") +
                                                 folder.filePath(QString::fromUtf8(name))))
        << messages.front().text.toStdString();
  }
  EXPECT_FALSE(QFile::exists(folder.path() + "/data/TelmoTX/Telmo Carro Lexiconia/carro.dct"));
  EXPECT_EQ(window.Dictionary().ArticleCount(), 5);
  Search(QString::fromUtf8("тормоз"));
  EXPECT_EQ(window.CurrentPage().articleIds.size(), 3u);
}

// The bookmarks and the history of one run, with the setting on or off, in a data folder of the test's.
class KeptPagesTest : public WindowUseTest {
 protected:
  TMainForm& StartKeeping(bool keep) {
    form.reset();  // the window before writes its lists and settings as it goes
    CPrefs prefs;
    prefs.KeepPages = keep;
    EXPECT_TRUE(prefs.SaveToRegistry());
    return Shown();
  }
  QString KeptFile() const { return folder.path() + u"/data/TelmoTX/Telmo Carro Lexiconia/pages.txt"_s; }
  // The window writes its lists at the exit: while the test's data folder is still the one in use.
  void TearDown() override { form.reset(); }

  const CUserDataFolder data{folder.path() + u"/data"_s};
};

TEST_F(KeptPagesTest, WithTheSettingOnBookmarksAndHistoryOutliveTheRun) {
  TMainForm& first = StartKeeping(true);
  Search(u"oil"_s);
  first.AddBookmark();
  Search(QString::fromUtf8("тормоз"));
  first.AddBookmark();
  first.BackSpeedButton->click();  // the kept position is the "oil" page
  const std::vector<CResultPage> bookmarks = first.Bookmarks();
  ASSERT_TRUE(QFile::exists(KeptFile())) << "written after every change";

  TMainForm& second = StartKeeping(true);
  EXPECT_EQ(second.Bookmarks(), bookmarks);
  EXPECT_TRUE(second.BookmarksBrowser->toPlainText().contains(QString::fromUtf8("тормоз")));
  ASSERT_EQ(second.History().size(), 4u) << "about, oil, тормоз, then this start's about page";
  EXPECT_EQ(second.HistoryIndex(), 3);
  EXPECT_EQ(second.CurrentPage().pageKind, CPageKind::About);
  second.BackSpeedButton->click();
  EXPECT_EQ(second.CurrentPage().label, std::string("тормоз"_cp));
  EXPECT_TRUE(ResultText().contains(QString::fromUtf8("Устройство для остановки."))) << "rendered afresh";
  second.BackSpeedButton->click();
  EXPECT_EQ(second.CurrentPage().query.Text(), "oil");
  messages.clear();
  form.reset();
  EXPECT_TRUE(messages.empty());
}

TEST_F(KeptPagesTest, WithTheSettingOffNothingIsReadOrWritten) {
  TMainForm& first = StartKeeping(true);
  Search(u"oil"_s);
  first.AddBookmark();
  const QByteArray kept = [&] {
    form.reset();
    QFile file(KeptFile());
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
  }();
  TMainForm& second = StartKeeping(false);
  EXPECT_TRUE(second.Bookmarks().empty());
  EXPECT_EQ(second.History().size(), 1u);
  Search(u"torque"_s);
  second.AddBookmark();
  form.reset();
  QFile file(KeptFile());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), kept);
}

TEST_F(KeptPagesTest, ADamagedFileIsToldOnceAndKeptAside) {
  QDir().mkpath(QFileInfo(KeptFile()).path());
  const QByteArray damaged = "carrolex pages 1\nposition\t7\n";
  {
    QFile file(KeptFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(damaged);
  }
  messages.clear();
  TMainForm& window = StartKeeping(true);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages.front().text.contains(QString::fromUtf8("строка 2: позиция вне истории")))
      << messages.front().text.toStdString();
  EXPECT_TRUE(window.Bookmarks().empty());
  EXPECT_EQ(window.History().size(), 1u);
  QFile aside(KeptFile() + u".bak"_s);
  ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
  EXPECT_EQ(aside.readAll(), damaged);
  Search(u"oil"_s);
  EXPECT_EQ(messages.size(), 1u);
}

TEST_F(KeptPagesTest, AFileThatCannotBeWrittenIsToldOnce) {
  // A file where the folder would go.
  QDir().mkpath(folder.path() + u"/data"_s);
  std::ofstream((folder.path() + u"/data/TelmoTX"_s).toStdString()) << "not a folder";
  messages.clear();
  TMainForm& window = StartKeeping(true);
  Search(u"oil"_s);
  window.AddBookmark();
  ASSERT_EQ(messages.size(), 1u) << "the first failed write only";
  EXPECT_TRUE(messages.back().text.startsWith(QString::fromUtf8("Не удалось записать закладки и историю")))
      << messages.back().text.toStdString();
  EXPECT_EQ(window.Bookmarks().size(), 1u) << "the lists go on in memory";
}

TEST_F(KeptPagesTest, TheBookmarksPaneRemovesTheEntryItsMenuWasOpenedOn) {
  TMainForm& window = StartKeeping(false);
  for (const char* text : {"oil", "torque", "brake"}) {
    Search(QString::fromUtf8(text));
    window.AddBookmark();
  }
  window.PageControl->setCurrentWidget(window.BookmarksTabSheet);
  ThtmlLite* pane = window.BookmarksBrowser;
  const QTextCursor entry = pane->document()->find(QString::fromUtf8("torque"));
  ASSERT_FALSE(entry.isNull());
  QTextCursor inside(pane->document());
  inside.setPosition(entry.selectionStart() + 2);  // within the link's text
  const QPoint at = pane->cursorRect(inside).center();
  emit pane->customContextMenuRequested(at);
  ASSERT_TRUE(window.BookmarksPopupMenu->isVisible());
  EXPECT_EQ(window.BookmarksPopupMenu->actions(), QList<QAction*>{window.DeleteBookmarkItem});
  EXPECT_EQ(window.DeleteBookmarkItem->text(), QString::fromUtf8("Удалить закладку"));
  window.DeleteBookmarkItem->trigger();
  window.BookmarksPopupMenu->close();
  ASSERT_EQ(window.Bookmarks().size(), 2u);
  EXPECT_EQ(window.Bookmarks()[0].query.Text(), "oil");
  EXPECT_EQ(window.Bookmarks()[1].query.Text(), "brake");
  EXPECT_FALSE(pane->toPlainText().contains(QString::fromUtf8("torque")));
  EXPECT_TRUE(Click(pane, u"bookmark://1"_s));
  EXPECT_EQ(window.CurrentPage().query.Text(), "brake") << "the links are the new positions";

  ASSERT_FALSE(window.BookmarksPopupMenu->isVisible());
  const QPoint below(1, pane->height() - 2);
  ASSERT_TRUE(pane->anchorAt(below).isEmpty()) << pane->anchorAt(below).toStdString();
  emit pane->customContextMenuRequested(below);
  EXPECT_FALSE(window.BookmarksPopupMenu->isVisible());
}

// A search that finds nothing offers what would, a click away; the variants pane offers the same.
TEST_F(WindowUseTest, ASuggestionIsOneClickAway) {
  TMainForm& window = Shown();
  const auto clickText = [](QTextBrowser* view, const QString& text) {
    QTextCursor found = view->document()->find(text);
    ASSERT_FALSE(found.isNull()) << text.toStdString() << "\n" << view->toPlainText().toStdString();
    found.setPosition(found.selectionStart() + 1);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->cursorRect(found).center());
  };
  Search(QString::fromUtf8("тармаз"));
  EXPECT_TRUE(window.CurrentPage().articleIds.empty());
  EXPECT_TRUE(ResultText().contains(QString::fromUtf8("Возможно, вы искали: тормоз")));
  clickText(window.ResultBrowser, QString::fromUtf8("тормоз"));
  EXPECT_EQ(BoxText(), QString::fromUtf8("тормоз"));
  EXPECT_EQ(Label(), QString::fromUtf8("тормоз"));
  EXPECT_EQ(window.CurrentPage().articleIds.size(), 3u);
  EXPECT_EQ(window.SearchComboBox->itemText(0), QString::fromUtf8("тормоз")) << "an ordinary search";
  window.BackSpeedButton->click();
  EXPECT_EQ(Label(), QString::fromUtf8("тармаз"));

  window.SearchComboBox->lineEdit()->clear();
  window.SearchComboBox->setFocus();
  TypeKeys(QString::fromUtf8("мвсло"));
  window.VariantsTimerTimer();
  clickText(window.VariantsBrowser, QString::fromUtf8("масло"));
  EXPECT_EQ(BoxText(), QString::fromUtf8("масло"));
  window.VariantsTimerTimer();
  EXPECT_TRUE(window.VariantsBrowser->toPlainText().contains(QString::fromUtf8("масло (oil)")));
}

// Qt appends an application's display name to every window's caption ("Настройки программы — …").
TEST(ApplicationTest, WindowsKeepTheirOwnCaptions) {
  const QIcon testIcon = QApplication::windowIcon();
  SetUpApplication();
  EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
  EXPECT_EQ(QCoreApplication::organizationName(), "TelmoTX");
  EXPECT_FALSE(QGuiApplication::quitOnLastWindowClosed());
  QApplication::setWindowIcon(testIcon);
}

}  // namespace
