#pragma once
// The main window: the search row, the page row, the variants and bookmarks panes on the left,
// the result view, and everything the user can do with them.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QSplitter>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "dictionary/Dictionary.h"
#include "dictionary/Variant.h"
#include "pages/PageRenderer.h"
#include "pages/ResultPage.h"
#include "prefs/Prefs.h"
#include "suggest/Suggester.h"

class ThtmlLite;

class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  // Exit codes of a start that cannot go on.
  static constexpr int kDataFileUnusable = 2;
  // The longest search box text: a page for any text up to it shows within about a second.
  static constexpr int kMaxSearchTextLength = 20000;

  TMainForm();
  ~TMainForm() override;

  // Loads the preferences and the dictionary behind the splash window and shows the first
  // page. Returns 0, or the exit code of a start that ended with a message.
  int FormCreate();
  // Where FormCreate looks for the data file and the logo, in order; the standard places by default.
  std::vector<std::filesystem::path> dataFolders;
  // Whether the desktop has a system tray now; the platform's answer by default.
  std::function<bool()> trayAvailable = &QSystemTrayIcon::isSystemTrayAvailable;
  // Shows the window as the preferences ask: normally, minimised, or only as the tray icon; given a
  // text to look up, normally with that search.
  void ShowAtStart(const QString& lookUp = QString());

  // Commands, in the order the user meets them.
  void RunSearch();
  void RefreshVariantsPane();
  bool HandleLink(const QString& url);
  void OpenArticle(int32_t id);
  void OpenVariant(int32_t n);
  void ShowAllVariants();
  void AddBookmark();
  // The bookmark at position `n` of the pane goes; the others keep their order.
  void RemoveBookmark(int32_t n);
  // With the setting on, the bookmarks and the history come from the kept file at the start and go
  // into it after every change and at the exit. A damaged file is told once and kept beside as .bak.
  void LoadKeptPages();
  void SaveKeptPages();
  QString KeptPagesPath() const;
  void ShowAboutPage();
  void ShowPage(const CResultPage& page, bool addToHistory);
  void GoBack();
  void GoForward();
  void RefreshCurrentPage();
  void EnablePageCommands(bool enabled);
  void ApplyPrefs();
  void StoreSearchModes();
  void CopySelection();
  void VariantsTimerTimer();
  // Writes the current page to `fileName` as a new file (a link there is replaced), or where the user
  // says in the save dialog when it is empty. True when written.
  bool SavePage(QString fileName = QString());
  void PrintPage();
  void OpenInBrowser();
  // Merges a glossary the user picks (or `fileName`) into the user's own data file and reloads it;
  // the pages, history and bookmarks keep their articles. True when added.
  bool AddDictionary(QString fileName = QString());
  void N7Click();

  // The tray icon and the ways back from it, a second start of the program among them.
  void AddTrayIcon();
  void RemoveTrayIcon();
  void UpdateTrayIcon();
  void AppMinimize();
  void RestoreWindow();
  // A later start's request: the window comes back and, given a text, searches it as typed.
  void LookUp(const QString& text);

  const CResultPage& CurrentPage() const { return currentPage; }
  const std::vector<CResultPage>& History() const { return history; }
  const CDictionary& Dictionary() const { return *dictionary; }
  int32_t HistoryIndex() const { return historyIndex; }
  const std::vector<CResultPage>& Bookmarks() const { return bookmarks; }
  const CPrefs& Prefs() const { return prefs; }

  // Controls, by the names the tests and the rest of the program know them by.
  QComboBox* SearchComboBox;
  QToolButton* SearchSpeedButton;
  QComboBox* ExactSearchComboBox;
  QComboBox* FullWordsComboBox;
  QCheckBox* HighlightCheckBox;
  QToolButton* BackSpeedButton;
  QToolButton* ForwardSpeedButton;
  QToolButton* BookmarkSpeedButton;
  QToolButton* SaveSpeedButton;
  QToolButton* PrintSpeedButton;
  QToolButton* OpenInBrowserSpeedButton;
  QTabWidget* PageControl;
  QWidget* VariantsTabSheet;
  QWidget* BookmarksTabSheet;
  ThtmlLite* VariantsBrowser;
  ThtmlLite* BookmarksBrowser;
  ThtmlLite* ResultBrowser;
  QSplitter* Splitter1;
  QMenu* ResultPopupMenu;
  QTimer* VariantsTimer;
  QAction* SaveResultItem;
  QAction* PrintItem;
  QAction* AddDictionaryItem;
  QMenu* BookmarksPopupMenu;  // on an entry of the bookmarks pane
  QAction* DeleteBookmarkItem;
  QAction* N2;
  QAction* N7;
  QAction* N4;
  QAction* BackItem;
  QAction* ForwardItem;
  QAction* N14;
  QAction* N5;
  QAction* BookmarkItem;
  QAction* SaveItem;
  QAction* PrintItem2;
  QAction* OpenInBrowserItem;
  QSystemTrayIcon* TrayIcon;
  QMenu* TrayPopupMenu;
  QAction* N9;
  QAction* N11;

 private:
  void CreateMenus();
  void ConnectCommands();
  void CreateToolBars();
  void CreatePanes();
  void CreateTray();
  void FormDestroy();
  void PushHistory();
  void UpdateHistoryButtons();
  void ResultBrowserKeyDown(int key, bool ctrl);
  void SearchComboBoxClick();
  // Chooses the entry `step` places older (1) or newer (-1) than the one in the box.
  void StepThroughSearchList(int step);
  // Saves the preferences; a write that fails is reported once a run, the values stay in use.
  void SavePrefs();
  void SetStatus(const QString& text);
  // The current page as it leaves the program, after showing it once more; nothing without a page.
  std::optional<CHtmlLines> OutputLines();
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

  struct CCommand {
    std::function<void()> run;
    std::vector<QToolButton*> buttons;
    std::vector<QAction*> items;
    bool needsPage;  // one of the page commands, which share one enabled state
  };
  std::vector<CCommand> commands;

  std::unique_ptr<CDictionary> dictionary;
  std::unique_ptr<CSuggester> suggester;  // over `dictionary`, made once it has loaded
  bool variantsDirty = false;
  CResultPage currentPage;
  std::vector<CVariant> variants;
  std::vector<std::string> paneSuggestions;  // what the variants pane suggests when it lists nothing
  std::vector<CResultPage> history;
  int32_t historyIndex = -1;
  std::vector<CResultPage> bookmarks;
  int32_t chosenBookmark = -1;  // the entry the bookmarks pane's menu was opened on
  CPrefs prefs;
  QString logoFile;  // empty when no folder holds it
  // Each failure is told once a run.
  bool valuesWriteReported = false;
  bool runAtLogonWriteReported = false;
  bool keptPagesWriteReported = false;
  // A start that ended before its lists were read never writes them over the kept file.
  bool keptPagesRead = false;
};
