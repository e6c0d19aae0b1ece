#include "app/MainForm.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

#include "app/Modal.h"
#include "app/QtText.h"
#include "app/SplashForm.h"
#include "dictionary/DataFileLocation.h"
#include "dictionary/Messages.h"
#include "htmlview/HtmlLite.h"
#include "pages/Links.h"

namespace {

constexpr int kVariantsTick = 300;
constexpr int kLeftPaneWidth = 177;
constexpr int kMaxStatusLength = 1000;

QString Utf8(const char* text) {
  return QString::fromUtf8(text);
}

QToolButton* SpeedButton(QToolBar* bar, const char* name, const char* caption, QStyle::StandardPixmap picture,
                         const char* hint = nullptr) {
  auto* button = new QToolButton(bar);
  button->setObjectName(name);
  button->setText(Utf8(caption));
  button->setIcon(bar->style()->standardIcon(picture));
  button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  button->setAutoRaise(true);
  if (hint) button->setToolTip(Utf8(hint));
  bar->addWidget(button);
  return button;
}

QAction* Item(QMenu* menu, const char* name, const char* caption) {
  QAction* action = menu->addAction(Utf8(caption));
  action->setObjectName(name);
  return action;
}

// The data file: the current folder, beside the program, then the data folders.
std::vector<std::filesystem::path> DataFolders() {
  return DataFileFolders(QCoreApplication::applicationDirPath().toStdString(), ProcessEnvironment);
}

}  // namespace

TMainForm::TMainForm() : dataFolders(DataFolders()) {
  setObjectName("MainForm");
  resize(794, 562);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  CreatePanes();
  CreateToolBars();
  CreateMenus();
  ConnectCommands();
  CreateTray();
  statusBar()->setObjectName("StatusBar");

  VariantsTimer = new QTimer(this);
  VariantsTimer->setObjectName("VariantsTimer");
  VariantsTimer->setInterval(kVariantsTick);
  connect(VariantsTimer, &QTimer::timeout, this, &TMainForm::VariantsTimerTimer);
  VariantsTimer->start();
  setFocusProxy(SearchComboBox);
  SearchComboBox->setFocus();
}

TMainForm::~TMainForm() {
  FormDestroy();
}

void TMainForm::CreatePanes() {
  Splitter1 = new QSplitter(Qt::Horizontal, this);
  Splitter1->setObjectName("Splitter1");
  Splitter1->setHandleWidth(3);
  Splitter1->setChildrenCollapsible(false);

  PageControl = new QTabWidget(Splitter1);
  PageControl->setObjectName("PageControl");
  const auto tab = [this](const char* name, const char* caption, QStyle::StandardPixmap icon,
                          ThtmlLite* view) {
    auto* sheet = new QWidget(PageControl);
    sheet->setObjectName(name);
    auto* layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view);
    PageControl->addTab(sheet, style()->standardIcon(icon), Utf8(caption));
    return sheet;
  };
  VariantsBrowser = new ThtmlLite(ThtmlLite::VariantsPane());
  VariantsBrowser->setObjectName("VariantsBrowser");
  BookmarksBrowser = new ThtmlLite(ThtmlLite::BookmarksPane());
  BookmarksBrowser->setObjectName("BookmarksBrowser");
  VariantsTabSheet = tab("VariantsTabSheet", "Варианты", QStyle::SP_FileDialogListView, VariantsBrowser);
  BookmarksTabSheet = tab("BookmarksTabSheet", "Закладки", QStyle::SP_DirIcon, BookmarksBrowser);
  // Both captions whole: the pane is as wide as its tabs need where the desktop's font asks for more.
  PageControl->tabBar()->setUsesScrollButtons(false);
  PageControl->tabBar()->setElideMode(Qt::ElideNone);

  auto* resultPanel = new QWidget(Splitter1);
  resultPanel->setObjectName("ResultPanel");
  auto* resultLayout = new QVBoxLayout(resultPanel);
  resultLayout->setContentsMargins(0, 0, 0, 0);
  ResultBrowser = new ThtmlLite(ThtmlLite::ResultView(), resultPanel);
  ResultBrowser->setObjectName("ResultBrowser");
  resultLayout->addWidget(ResultBrowser);
  const int leftPane = std::max(kLeftPaneWidth, PageControl->minimumSizeHint().width());
  Splitter1->setSizes({leftPane, width() - leftPane});
  Splitter1->setStretchFactor(1, 1);
  setCentralWidget(Splitter1);

  for (ThtmlLite* view : {ResultBrowser, VariantsBrowser, BookmarksBrowser})
    connect(view, &ThtmlLite::HotSpotClick, this,
            [this](const QString& href, bool& handled) { handled = HandleLink(href); });
  connect(ResultBrowser, &ThtmlLite::KeyDown, this, &TMainForm::ResultBrowserKeyDown);
}

void TMainForm::CreateToolBars() {
  auto* searchRow = addToolBar(Utf8("Поиск"));
  searchRow->setObjectName("Panel1");
  searchRow->setMovable(false);
  auto* label = new QLabel(Utf8("Поиск:"), searchRow);
  label->setObjectName("Label1");
  searchRow->addWidget(label);
  SearchComboBox = new QComboBox(searchRow);
  SearchComboBox->setObjectName("SearchComboBox");
  SearchComboBox->setEditable(true);
  SearchComboBox->setInsertPolicy(QComboBox::NoInsert);
  // The box holds exactly what was typed: no completion from the list. A paste beyond the bound is cut.
  SearchComboBox->setCompleter(nullptr);
  SearchComboBox->lineEdit()->setMaxLength(kMaxSearchTextLength);
  SearchComboBox->setMinimumWidth(161);
  SearchComboBox->installEventFilter(this);
  SearchComboBox->lineEdit()->installEventFilter(this);
  searchRow->addWidget(SearchComboBox);
  SearchSpeedButton = SpeedButton(searchRow, "SearchSpeedButton", "Найти", QStyle::SP_FileDialogContentsView);
  ExactSearchComboBox = new QComboBox(searchRow);
  ExactSearchComboBox->setObjectName("ExactSearchComboBox");
  ExactSearchComboBox->addItems({Utf8("Любое слово"), Utf8("Все слова")});
  ExactSearchComboBox->setToolTip(Utf8("Поиск любого слова из перечисленных, либо всех слов"));
  searchRow->addWidget(ExactSearchComboBox);
  FullWordsComboBox = new QComboBox(searchRow);
  FullWordsComboBox->setObjectName("FullWordsComboBox");
  FullWordsComboBox->addItems({Utf8("Начало слова"), Utf8("Слово целиком")});
  FullWordsComboBox->setToolTip(Utf8("Поиск слов по началу, либо целиком"));
  searchRow->addWidget(FullWordsComboBox);
  HighlightCheckBox = new QCheckBox(Utf8("Выделить найденные слова"), searchRow);
  HighlightCheckBox->setObjectName("HighlightCheckBox");
  HighlightCheckBox->setChecked(true);
  searchRow->addWidget(HighlightCheckBox);

  addToolBarBreak();
  auto* pageRow = addToolBar(Utf8("Страница"));
  pageRow->setObjectName("Panel2");
  pageRow->setMovable(false);
  BackSpeedButton = SpeedButton(pageRow, "BackSpeedButton", "Назад", QStyle::SP_ArrowBack,
                                "Вернуться к предыдущей странице");
  ForwardSpeedButton = SpeedButton(pageRow, "ForwardSpeedButton", "Вперед", QStyle::SP_ArrowForward,
                                   "Вернуться к следующей странице");
  BookmarkSpeedButton = SpeedButton(pageRow, "BookmarkSpeedButton", "В закладки", QStyle::SP_DialogYesButton,
                                    "Добавить закладку на  эту страницу");
  SaveSpeedButton = SpeedButton(pageRow, "SaveSpeedButton", "Сохранить...", QStyle::SP_DialogSaveButton,
                                "Сохранить страницу в HTML-файл");
  PrintSpeedButton = SpeedButton(pageRow, "PrintSpeedButton", "Печать...", QStyle::SP_FileIcon,
                                 "Печать текущей страницы результата поиска");
  OpenInBrowserSpeedButton =
      SpeedButton(pageRow, "OpenInBrowserSpeedButton", "Открыть в браузере", QStyle::SP_DesktopIcon);

  connect(SearchSpeedButton, &QToolButton::clicked, this, &TMainForm::RunSearch);
  connect(SearchComboBox, &QComboBox::editTextChanged, this, [this] { variantsDirty = true; });
  connect(SearchComboBox, &QComboBox::activated, this, &TMainForm::SearchComboBoxClick);
  connect(ExactSearchComboBox, &QComboBox::currentIndexChanged, this, &TMainForm::StoreSearchModes);
  connect(FullWordsComboBox, &QComboBox::currentIndexChanged, this, &TMainForm::StoreSearchModes);
  connect(HighlightCheckBox, &QCheckBox::clicked, this, &TMainForm::RefreshCurrentPage);
}

void TMainForm::CreateMenus() {
  menuBar()->setObjectName("MainMenu1");
  QMenu* file = menuBar()->addMenu(Utf8("Файл"));
  SaveResultItem = Item(file, "SaveResultItem", "Сохранить страницу...");
  file->addSeparator();
  PrintItem = Item(file, "PrintItem", "Печать...");
  file->addSeparator();
  AddDictionaryItem = Item(file, "AddDictionaryItem", "Добавить словарь...");
  file->addSeparator();
  N2 = Item(file, "N2", "Выход");
  N7 = Item(menuBar()->addMenu(Utf8("Настройка")), "N7", "Настройка программы...");
  N4 = Item(menuBar()->addMenu(Utf8("Справка")), "N4", "О программе...");

  ResultPopupMenu = new QMenu(this);
  ResultPopupMenu->setObjectName("ResultPopupMenu");
  BackItem = Item(ResultPopupMenu, "BackItem", "Назад");
  ForwardItem = Item(ResultPopupMenu, "ForwardItem", "Вперед");
  ResultPopupMenu->addSeparator();
  N14 = Item(ResultPopupMenu, "N14", "Выделить все");
  N5 = Item(ResultPopupMenu, "N5", "Копировать");
  ResultPopupMenu->addSeparator();
  BookmarkItem = Item(ResultPopupMenu, "BookmarkItem", "Добавить в закладки");
  ResultPopupMenu->addSeparator();
  SaveItem = Item(ResultPopupMenu, "SaveItem", "Сохранить...");
  PrintItem2 = Item(ResultPopupMenu, "PrintItem2", "Печать...");
  OpenInBrowserItem = Item(ResultPopupMenu, "OpenInBrowserItem", "Открыть в браузере...");
  BookmarksPopupMenu = new QMenu(this);
  BookmarksPopupMenu->setObjectName("BookmarksPopupMenu");
  DeleteBookmarkItem = Item(BookmarksPopupMenu, "DeleteBookmarkItem", "Удалить закладку");
  BookmarksBrowser->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(BookmarksBrowser, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    const CLink link = ParseLink(ToCp1251(BookmarksBrowser->anchorAt(at)));
    if (link.kind != CLink::CKind::Bookmark || link.number < 0 ||
        link.number >= static_cast<int32_t>(bookmarks.size()))
      return;
    chosenBookmark = link.number;
    BookmarksPopupMenu->popup(BookmarksBrowser->mapToGlobal(at));
  });
  ResultBrowser->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(ResultBrowser, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { ResultPopupMenu->popup(ResultBrowser->mapToGlobal(at)); });
}

void TMainForm::ConnectCommands() {
  // Each command once: what it does, its buttons and menu items, whether it needs a page.
  commands = {
      {[this] { GoBack(); }, {BackSpeedButton}, {BackItem}, false},
      {[this] { GoForward(); }, {ForwardSpeedButton}, {ForwardItem}, false},
      {[this] { AddBookmark(); }, {BookmarkSpeedButton}, {BookmarkItem}, true},
      {[this] { SavePage(); }, {SaveSpeedButton}, {SaveResultItem, SaveItem}, true},
      {[this] { PrintPage(); }, {PrintSpeedButton}, {PrintItem, PrintItem2}, true},
      {[this] { OpenInBrowser(); }, {OpenInBrowserSpeedButton}, {OpenInBrowserItem}, true},
      {[this] { AddDictionary(); }, {}, {AddDictionaryItem}, false},
      {[this] { RemoveBookmark(chosenBookmark); }, {}, {DeleteBookmarkItem}, false},
      {[this] { ResultBrowser->SelectAll(); }, {}, {N14}, false},
      {[this] { CopySelection(); }, {}, {N5}, false},
      {[this] { N7Click(); }, {}, {N7}, false},
      {[this] { ShowAboutPage(); }, {}, {N4}, false},
      {[this] { close(); }, {}, {N2}, false},
  };
  for (const CCommand& command : commands) {
    for (QToolButton* button : command.buttons) connect(button, &QToolButton::clicked, this, command.run);
    for (QAction* item : command.items) connect(item, &QAction::triggered, this, command.run);
  }
}

int TMainForm::FormCreate() {
  // Pages refer to the logo by a path relative to the folder that holds the help folder.
  if (const auto logo = FindInFolders(dataFolders, kLogoFile)) {
    const auto path = std::filesystem::absolute(*logo).lexically_normal();
    logoFile = QString::fromStdString(path.string());
    ResultBrowser->setSearchPaths({QString::fromStdString(path.parent_path().parent_path().string())});
  }
  TSplashForm splash(logoFile);
  splash.show();
  splash.repaint();
  setWindowTitle(FromCp1251(kProgramTitle));
  prefs.LoadFromRegistry();
  ApplyPrefs();

  dictionary = std::make_unique<CDictionary>();
  const auto found = FindDataFileForUser(dataFolders, ProcessEnvironment);
  try {
    if (!found) {
      std::vector<std::string> places;
      for (const auto& folder : dataFolders)
        places.push_back(std::filesystem::absolute(folder).lexically_normal().string());
      throw CDictionaryError(NotFoundMessage(places));
    }
    dictionary->Load(found->string(), &splash);
  } catch (const CDictionaryError& error) {
    splash.close();
    ShowMessage(this, FromCp1251(error.what()));
    return kDataFileUnusable;
  } catch (const std::bad_alloc&) {
    dictionary = std::make_unique<CDictionary>();  // whatever the load took goes back first
    splash.close();
    ShowMessage(this, FromCp1251(kOutOfMemoryMessage));
    return kDataFileUnusable;
  }
  if (dictionary->LoadDamaged()) ShowMessage(this, QString(), FromCp1251(kLoadErrorMessage));

  historyIndex = -1;
  variantsDirty = false;
  suggester = std::make_unique<CSuggester>(*dictionary);
  RefreshVariantsPane();
  UpdateHistoryButtons();
  EnablePageCommands(false);
  splash.close();
  if (dictionary->loadState() == CDictionary::LoadState::NeedsNewerProgram) {
    ShowMessage(this, FromCp1251(kOutdatedCaption),
                FromCp1251(OutdatedDataMessage(dictionary->Info().requiredVersion)));
    return kDataFileUnusable;
  }
  LoadKeptPages();
  ShowAboutPage();
  return 0;
}

void TMainForm::FormDestroy() {
  RemoveTrayIcon();
  SavePrefs();
  SaveKeptPages();
  suggester.reset();
  dictionary.reset();
}

void TMainForm::EnablePageCommands(bool enabled) {
  for (const CCommand& command : commands) {
    if (!command.needsPage) continue;
    for (QToolButton* button : command.buttons) button->setEnabled(enabled);
    for (QAction* item : command.items) item->setEnabled(enabled);
  }
}

void TMainForm::ApplyPrefs() {
  {
    // Mirroring the preferences is no user choice: nothing to save.
    const QSignalBlocker fullWords(FullWordsComboBox);
    const QSignalBlocker exact(ExactSearchComboBox);
    FullWordsComboBox->setCurrentIndex(prefs.SearchFullWords ? 1 : 0);
    ExactSearchComboBox->setCurrentIndex(prefs.SearchExact ? 1 : 0);
  }
  VariantsBrowser->SetFontSize(prefs.VariantsFontSize);
  ResultBrowser->SetFontSize(prefs.ResultsFontSize);
  RefreshCurrentPage();
  UpdateTrayIcon();
}

void TMainForm::StoreSearchModes() {
  prefs.SearchFullWords = FullWordsComboBox->currentIndex() == 1;
  prefs.SearchExact = ExactSearchComboBox->currentIndex() == 1;
  SavePrefs();
}

void TMainForm::CopySelection() {
  ResultBrowser->CopyToClipboard();
}

void TMainForm::ResultBrowserKeyDown(int key, bool ctrl) {
  if (ctrl && (key == Qt::Key_C || key == Qt::Key_Insert)) CopySelection();
  if (ctrl && key == Qt::Key_A) ResultBrowser->SelectAll();
}

void TMainForm::SetStatus(const QString& text) {
  // More than the bar can show is never laid out: labels come from dictionary texts of any length.
  statusBar()->showMessage(text.left(kMaxStatusLength));
  // The work that follows blocks the event loop: paint now, or the text is never seen.
  statusBar()->repaint();
}

void TMainForm::SearchComboBoxClick() {
  HighlightCheckBox->setFocus();
  SearchComboBox->setFocus();
}

void TMainForm::StepThroughSearchList(int step) {
  const int count = SearchComboBox->count();
  if (count == 0) return;
  // The typed text stands before the newest entry; an entry counts as chosen while the box holds it.
  const int shown = SearchComboBox->currentIndex();
  const int from =
      shown >= 0 && SearchComboBox->itemText(shown) == SearchComboBox->currentText() ? shown : -1;
  const int to = std::clamp(from + step, 0, count - 1);
  if (to == from) return;
  SearchComboBox->setCurrentIndex(to);
  SearchComboBox->setEditText(SearchComboBox->itemText(to));
  SearchComboBoxClick();
}

void TMainForm::SavePrefs() {
  const CPrefsSaved saved = prefs.SaveToRegistry();
  QWidget* parent = isVisible() ? this : nullptr;
  if (!saved.valuesWritten && !valuesWriteReported) {
    valuesWriteReported = true;
    ShowMessage(parent,
                QString::fromUtf8("Не удалось записать настройки. Они действуют до выхода из программы."));
  }
  if (saved.valuesWritten && !saved.runAtLogonWritten && !runAtLogonWriteReported) {
    runAtLogonWriteReported = true;
    ShowMessage(parent,
                QString::fromUtf8("Не удалось изменить запуск программы при входе в систему (папка "
                                  "автозапуска недоступна для записи). Остальные настройки сохранены."));
  }
}

void TMainForm::VariantsTimerTimer() {
  if (!variantsDirty) return;
  RefreshVariantsPane();
  variantsDirty = false;
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    // Enter searches whatever modifier keys are held.
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      RunSearch();
      return true;
    }
    // The list is newest first: Down goes back in time, Up forward. Alt+Down still opens it.
    if ((key->key() == Qt::Key_Down || key->key() == Qt::Key_Up) && !(key->modifiers() & Qt::AltModifier)) {
      StepThroughSearchList(key->key() == Qt::Key_Down ? 1 : -1);
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

bool TMainForm::event(QEvent* event) {
  // Menus send their items' empty status tips, which would wipe the status bar's text.
  if (event->type() == QEvent::StatusTip) return true;
  return QMainWindow::event(event);
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  SearchComboBox->setFocus();
}
