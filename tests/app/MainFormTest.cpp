#include "tests/app/MainFormFixture.h"

namespace {

TEST_F(MainFormTest, StartsOnTheAboutPage) {
  TMainForm& window = Start();
  EXPECT_EQ(window.windowTitle(), QString::fromUtf8("ТЕЛМО Карролексия"));
  EXPECT_EQ(Status(), QString::fromUtf8("О программе"));
  EXPECT_EQ(window.CurrentPage().pageKind, CPageKind::About);
  EXPECT_EQ(window.History().size(), 1u);
  EXPECT_FALSE(window.BackSpeedButton->isEnabled());
  EXPECT_FALSE(window.ForwardSpeedButton->isEnabled());
  EXPECT_FALSE(window.BackItem->isEnabled());
  for (QAction* item : {window.SaveResultItem, window.PrintItem, window.BookmarkItem, window.SaveItem,
                        window.PrintItem2, window.OpenInBrowserItem})
    EXPECT_TRUE(item->isEnabled()) << item->objectName().toStdString();
  EXPECT_TRUE(window.SaveSpeedButton->isEnabled());
  EXPECT_TRUE(ResultText().contains(QString::fromUtf8("Версия данных словаря: 2026-test")));
  EXPECT_TRUE(ResultText().contains(QString::fromUtf8("Количество статей: 5")));
  EXPECT_EQ(window.VariantsBrowser->toPlainText().trimmed(), QString());
  EXPECT_EQ(window.PageControl->currentWidget(), window.VariantsTabSheet);
  EXPECT_TRUE(messages.empty());
}

TEST_F(MainFormTest, TypingRefreshesTheVariantsPaneAtTheNextTick) {
  TMainForm& window = Start();
  window.PageControl->setCurrentWidget(window.BookmarksTabSheet);
  Type(QString::fromUtf8("тор"));
  EXPECT_TRUE(window.VariantsBrowser->toPlainText().trimmed().isEmpty());
  window.VariantsTimerTimer();
  EXPECT_EQ(window.PageControl->currentWidget(), window.VariantsTabSheet);
  const QString pane = window.VariantsBrowser->toPlainText();
  EXPECT_TRUE(pane.contains(QString::fromUtf8("тормоз (Bremse)"))) << pane.toStdString();
  EXPECT_TRUE(pane.contains(QString::fromUtf8("Найдено вариантов: 3."))) << pane.toStdString();
  // Nothing changed since: the next tick leaves the pane alone.
  window.VariantsBrowser->LoadStrings({"<html><body>kept</body></html>"});
  window.VariantsTimerTimer();
  EXPECT_EQ(window.VariantsBrowser->toPlainText().trimmed(), "kept");
}

TEST_F(MainFormTest, EnterSearchesWithAnyModifierAndKeepsTheQueryInTheList) {
  TMainForm& window = Start();
  for (const Qt::KeyboardModifiers modifiers :
       {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::ShiftModifier),
        Qt::KeyboardModifiers(Qt::ControlModifier)}) {
    Type(QString::fromUtf8(" тормоз "));
    QTest::keyClick(window.SearchComboBox->lineEdit(), Qt::Key_Return, modifiers);
  }
  EXPECT_EQ(Label(), QString::fromUtf8("тормоз"));
  EXPECT_EQ(window.History().size(), 4u);
  EXPECT_EQ(window.CurrentPage().articleIds, (std::vector<int32_t>{2, 3, 1}));
  EXPECT_EQ(Status(), QString());
  ASSERT_EQ(window.SearchComboBox->count(), 3);
  EXPECT_EQ(window.SearchComboBox->itemText(0), QString::fromUtf8(" тормоз "));
  EXPECT_EQ(window.SearchComboBox->currentText(), QString::fromUtf8(" тормоз "));
  EXPECT_TRUE(ResultText().contains(QString::fromUtf8("Найдено вариантов: 3")));

  Type("");
  window.SearchSpeedButton->click();
  EXPECT_TRUE(window.CurrentPage().articleIds.empty());
  EXPECT_EQ(window.SearchComboBox->itemText(0), QString());
}

TEST_F(MainFormTest, FoundWordsAreRedUnlessTheBoxIsCleared) {
  TMainForm& window = Start();
  Type(QString::fromUtf8("масло"));
  window.RunSearch();
  const auto red = [&window] { return window.ResultBrowser->toHtml().contains("#ff0000"); };
  EXPECT_TRUE(red());
  const std::size_t entries = window.History().size();
  window.HighlightCheckBox->click();
  EXPECT_FALSE(red());
  EXPECT_EQ(window.History().size(), entries);
  window.HighlightCheckBox->click();
  EXPECT_TRUE(red());
}

TEST_F(MainFormTest, LinksOfEverySchemeFromEveryView) {
  TMainForm& window = Start();
  Type(QString::fromUtf8("тор"));
  window.VariantsTimerTimer();
  for (ThtmlLite* view : {window.ResultBrowser, window.VariantsBrowser, window.BookmarksBrowser}) {
    const std::string name = view->objectName().toStdString();
    EXPECT_TRUE(Click(view, "article://4")) << name;
    EXPECT_EQ(Label(), QString::fromUtf8("масло (oil)")) << name;
    EXPECT_TRUE(Click(view, "variant://1")) << name;
    EXPECT_EQ(Label(), QString::fromUtf8("тормоз (brake)")) << name;
    EXPECT_FALSE(window.CurrentPage().showHeader);
    EXPECT_TRUE(Click(view, "variant://all")) << name;
    EXPECT_EQ(Label(), QString::fromUtf8("тор...")) << name;
    EXPECT_EQ(window.CurrentPage().articleIds.size(), 3u);
  }
  const std::size_t entries = window.History().size();
  // Numbers that name nothing do nothing; a number that is no number says so.
  EXPECT_TRUE(Click(window.ResultBrowser, "variant://99"));
  EXPECT_TRUE(Click(window.ResultBrowser, "bookmark://0"));
  EXPECT_TRUE(Click(window.ResultBrowser, "variant://-1"));
  EXPECT_EQ(window.History().size(), entries);
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(Click(window.ResultBrowser, "article://12x"));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "'12x' is not a valid integer value");
  EXPECT_EQ(window.History().size(), entries);
  // An unknown id shows the first article.
  Click(window.ResultBrowser, "article://777");
  EXPECT_EQ(Label(), QString::fromUtf8("тормоз (brake)"));

  // Web and mail go to the desktop unchanged; other schemes from dictionary texts go nowhere.
  for (const char* href :
       {"https://www.example.com/carro/", "mailto:carro@example.com", "ftp://example.com/x",
        "file:///etc/passwd", "ARTICLE://4", "javascript:alert(1)", "/usr/bin/xterm"})
    EXPECT_TRUE(Click(window.VariantsBrowser, href));
  EXPECT_EQ(urls.opened, (std::vector<QString>{"https://www.example.com/carro/", "mailto:carro@example.com",
                                               "ftp://example.com/x"}));
}

TEST_F(MainFormTest, HistoryDropsForwardPagesWhenANewPageIsShown) {
  TMainForm& window = Start();
  window.OpenArticle(1);
  window.OpenArticle(3);
  window.OpenArticle(4);
  window.GoBack();
  window.GoBack();
  EXPECT_EQ(Label(), QString::fromUtf8("тормоз (brake)"));
  EXPECT_TRUE(window.ForwardSpeedButton->isEnabled());
  EXPECT_TRUE(window.ForwardItem->isEnabled());
  window.OpenArticle(5);
  EXPECT_EQ(window.History().size(), 3u);
  EXPECT_FALSE(window.ForwardSpeedButton->isEnabled());
  window.BackSpeedButton->click();
  EXPECT_EQ(Label(), QString::fromUtf8("тормоз (brake)"));
  window.BackItem->trigger();
  EXPECT_EQ(window.CurrentPage().pageKind, CPageKind::About);
  EXPECT_FALSE(window.BackSpeedButton->isEnabled());
  window.GoBack();
  EXPECT_EQ(window.HistoryIndex(), 0);
  window.ForwardItem->trigger();
  EXPECT_EQ(Label(), QString::fromUtf8("тормоз (brake)"));
}

TEST_F(MainFormTest, BookmarksListNewestFirstAndReopen) {
  TMainForm& window = Start();
  window.BookmarkSpeedButton->click();  // the about page
  window.OpenArticle(4);
  window.BookmarkItem->trigger();
  Type(QString::fromUtf8("a<b"));
  window.RunSearch();
  window.AddBookmark();
  window.AddBookmark();
  ASSERT_EQ(window.Bookmarks().size(), 4u);
  const QString html = window.BookmarksBrowser->toHtml();
  const QString pane = window.BookmarksBrowser->toPlainText();
  EXPECT_LT(pane.indexOf("a<b"), pane.indexOf(QString::fromUtf8("масло (oil)")));
  EXPECT_LT(pane.indexOf(QString::fromUtf8("масло (oil)")), pane.indexOf(QString::fromUtf8("О программе")));
  EXPECT_EQ(window.PageControl->currentWidget(), window.VariantsTabSheet);

  const std::size_t entries = window.History().size();
  Click(window.BookmarksBrowser, "bookmark://0");
  EXPECT_EQ(window.CurrentPage().pageKind, CPageKind::About);
  Click(window.BookmarksBrowser, "bookmark://1");
  EXPECT_EQ(Label(), QString::fromUtf8("масло (oil)"));
  EXPECT_EQ(window.History().size(), entries + 2);
  window.GoBack();
  EXPECT_EQ(window.CurrentPage().pageKind, CPageKind::About);
}

TEST_F(MainFormTest, SearchModesAreSavedAtOnceAndComeBackAfterARestart) {
  TMainForm& window = Start();
  window.OpenArticle(4);
  const QString before = ResultText();
  window.ExactSearchComboBox->setCurrentIndex(1);
  EXPECT_EQ(ResultText(), before);
  const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "TelmoTX", "Telmo Carro Lexiconia");
  EXPECT_EQ(settings.value("SearchExact").toInt(), 1);
  EXPECT_EQ(settings.value("SearchFullWords").toInt(), 0);
  window.FullWordsComboBox->setCurrentIndex(1);

  Type(QString::fromUtf8("тормоз масло"));
  window.RunSearch();
  EXPECT_TRUE(window.CurrentPage().articleIds.empty());  // every word required, whole words

  form.reset();
  TMainForm& again = Start();
  EXPECT_EQ(again.ExactSearchComboBox->currentIndex(), 1);
  EXPECT_EQ(again.FullWordsComboBox->currentIndex(), 1);
}

TEST_F(MainFormTest, AFileForANewerProgramEndsTheStartWithItsMessage) {
  WriteDataFile(std::string("# requiredVersion: 2.0\n") + (kSource + std::string(kSource).find("id\t")));
  form = std::make_unique<TMainForm>();
  EXPECT_NE(form->FormCreate(), 0);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].caption, QString::fromUtf8("Устаревшая версия программы"));
  EXPECT_TRUE(messages[0].text.startsWith(
      QString::fromUtf8("Для работы с данной версией словаря требуется программа версии не ниже 2.0.\n")));
  EXPECT_TRUE(form->CurrentPage().label.empty());
  EXPECT_FALSE(form->SaveSpeedButton->isEnabled());
  EXPECT_FALSE(form->PrintItem2->isEnabled());
}

TEST_F(MainFormTest, AMissingDataFileNamesWhereItWasLookedFor) {
  QFile::remove("carro.dct");
  form = std::make_unique<TMainForm>();
  form->dataFolders = {".", std::filesystem::path(folder.path().toStdString()) / "nowhere"};
  EXPECT_EQ(form->FormCreate(), TMainForm::kDataFileUnusable);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].text.contains(QString::fromUtf8("не найден"))) << messages[0].text.toStdString();
  EXPECT_TRUE(messages[0].text.contains(folder.path() + "/nowhere")) << messages[0].text.toStdString();
}

TEST_F(MainFormTest, ADamagedFileIsReportedOnceAndTheProgramGoesOn) {
  std::ifstream in("carro.dct", std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), {});
  in.close();
  bytes.resize(bytes.size() - 5);
  std::ofstream("carro.dct", std::ios::binary | std::ios::trunc) << bytes;
  Start();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].caption, QString());
  EXPECT_EQ(messages[0].text, QString::fromUtf8("Ошибка загрузки словаря"));
  EXPECT_TRUE(ResultText().contains(QString::fromUtf8("Количество статей: 4")));
}

TEST_F(MainFormTest, CopyAndSelectAllKeys) {
  TMainForm& window = Start();
  window.OpenArticle(4);
  QApplication::clipboard()->setText("before");
  QTest::keyClick(window.ResultBrowser, Qt::Key_C);
  EXPECT_EQ(QApplication::clipboard()->text(), "before");
  QTest::keyClick(window.ResultBrowser, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(window.ResultBrowser, Qt::Key_Insert, Qt::ControlModifier);
  EXPECT_TRUE(QApplication::clipboard()->text().contains(QString::fromUtf8("Смазочный материал.")));
}

}  // namespace
