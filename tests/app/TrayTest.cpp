// The tray icon, hiding into it and coming back, and how the window starts.
#include <QApplication>
#include <QClipboard>
#include <QTemporaryDir>
#include <QTimer>

#include "app/Application.h"
#include "app/SingleInstance.h"
#include "tests/app/MainFormFixture.h"
#include "tests/app/ProbeProcess.h"

using namespace Qt::StringLiterals;

namespace {

class TrayTest : public MainFormTest {
 protected:
  // A window on the settings given, on a desktop with or without a tray.
  TMainForm& StartWith(const CPrefs& prefs, bool trayAvailable) {
    form.reset();  // a window saves its settings as it goes
    EXPECT_TRUE(prefs.SaveToRegistry());
    form = std::make_unique<TMainForm>();
    form->trayAvailable = [trayAvailable] { return trayAvailable; };
    EXPECT_EQ(form->FormCreate(), 0);
    return *form;
  }

  void Minimise() {
    form->showMinimized();
    QCoreApplication::processEvents();
  }
};

TEST_F(TrayTest, TheIconFollowsTheTraySettingWithItsTipAndMenu) {
  TMainForm& window = StartWith({.MinToTray = true}, true);
  EXPECT_TRUE(window.TrayIcon->isVisible());
  EXPECT_EQ(window.TrayIcon->toolTip(), QString::fromUtf8("ТЕЛМО Карролексия"));
  ASSERT_EQ(window.TrayIcon->contextMenu(), window.TrayPopupMenu);
  const QList<QAction*> items = window.TrayPopupMenu->actions();
  ASSERT_EQ(items.size(), 3);
  EXPECT_EQ(items[0], window.N9);
  EXPECT_EQ(window.N9->text(), QString::fromUtf8("Показать словарь"));
  EXPECT_EQ(window.TrayPopupMenu->defaultAction(), window.N9);
  EXPECT_TRUE(window.N9->font().bold());
  EXPECT_TRUE(items[1]->isSeparator());
  EXPECT_EQ(items[2], window.N11);
  EXPECT_EQ(window.N11->text(), QString::fromUtf8("Выход"));

  // Switched off in the settings dialog: the icon goes at once.
  const CAnsweredDialogs answer([](QDialog& dialog) {
    dialog.findChild<QCheckBox*>("TrayCheckBox")->setChecked(false);
    return int(QDialog::Accepted);
  });
  window.N7->trigger();
  EXPECT_FALSE(window.TrayIcon->isVisible());
}

TEST_F(TrayTest, MinimisingHidesIntoTheTrayAndOnlyADoubleClickBringsItBack) {
  TMainForm& window = StartWith({.MinToTray = true}, true);
  window.show();
  Minimise();
  EXPECT_TRUE(window.isHidden());
  emit window.TrayIcon->activated(QSystemTrayIcon::Trigger);
  EXPECT_TRUE(window.isHidden()) << "a single click does nothing";
  emit window.TrayIcon->activated(QSystemTrayIcon::DoubleClick);
  EXPECT_TRUE(window.isVisible());
  EXPECT_FALSE(window.isMinimized());

  Minimise();
  ASSERT_TRUE(window.isHidden());
  window.N9->trigger();
  EXPECT_TRUE(window.isVisible());
  EXPECT_FALSE(window.isMinimized());
  window.N9->trigger();  // already shown: stays so
  EXPECT_TRUE(window.isVisible());
}

TEST_F(TrayTest, WithoutATrayOrWithoutTheSettingMinimisingStaysOnTheTaskbar) {
  for (const auto& [minToTray, trayAvailable] : {std::pair{true, false}, std::pair{false, true}}) {
    SCOPED_TRACE(testing::Message() << "MinToTray " << minToTray << ", tray " << trayAvailable);
    TMainForm& window = StartWith({.MinToTray = minToTray}, trayAvailable);
    EXPECT_FALSE(window.TrayIcon->isVisible());
    window.show();
    Minimise();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.isMinimized());
    window.RestoreWindow();  // as a second start of the program asks
    EXPECT_FALSE(window.isMinimized());
  }
}

TEST_F(TrayTest, StartsShownMinimisedOrOnlyAsTheIcon) {
  struct CCase {
    bool runMinimized, minToTray, trayAvailable;
    bool shown, minimised;
  };
  const CCase cases[] =
      {
          {false, false, true, true, false}, {false, true, true, true, false},
          {true, false, true, true, true},   {true, true, true, false, false},
          {true, true, false, true, true},  // no tray to start in: minimised instead of invisible
      };
  for (const CCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "RunMinimized " << c.runMinimized << ", MinToTray " << c.minToTray
                                    << ", tray " << c.trayAvailable);
    TMainForm& window =
        StartWith({.MinToTray = c.minToTray, .RunMinimized = c.runMinimized}, c.trayAvailable);
    window.ShowAtStart();
    EXPECT_EQ(window.isVisible(), c.shown);
    EXPECT_EQ(window.isMinimized(), c.minimised);
    EXPECT_EQ(window.TrayIcon->isVisible(), c.minToTray && c.trayAvailable);
    window.RestoreWindow();
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isMinimized());
  }
}

TEST_F(TrayTest, ASecondStartShowsTheWindowHiddenInTheTray) {
  QTemporaryDir runtime;
  CSingleInstance instance(runtime.path());
  ASSERT_EQ(instance.HandOverToRunningInstance(), CSingleInstance::CStart::Running);
  TMainForm& window = StartWith({.MinToTray = true}, true);
  QObject::connect(&instance, &CSingleInstance::RestoreRequested, &window, &TMainForm::LookUp);
  window.show();
  Minimise();
  ASSERT_TRUE(window.isHidden());

  auto later = StartProbe(runtime.path());
  EXPECT_EQ(ExitCode(*later), 0);  // events go on meanwhile: the restore request is answered
  EXPECT_EQ(NextLine(*later), "handed over");
  EXPECT_TRUE(window.isVisible());
  EXPECT_FALSE(window.isMinimized());
}

// `carrolex TEXT` while the program runs: the window comes back from wherever it was and searches the text.
TEST_F(TrayTest, ALaterStartWithATextLooksItUpInTheRunningWindow) {
  QTemporaryDir runtime;
  CSingleInstance instance(runtime.path());
  ASSERT_EQ(instance.HandOverToRunningInstance(), CSingleInstance::CStart::Running);
  TMainForm& window = StartWith({.MinToTray = true}, true);
  QObject::connect(&instance, &CSingleInstance::RestoreRequested, &window, &TMainForm::LookUp);
  window.show();
  for (const bool inTray : {true, false}) {
    SCOPED_TRACE(inTray ? "hidden in the tray" : "on screen");
    if (inTray) Minimise();
    ASSERT_EQ(window.isHidden(), inTray);
    auto later = StartProbe(runtime.path(), {QString::fromUtf8("Brémse")}, CARROLEX);
    EXPECT_EQ(ExitCode(*later), 0) << later->readAllStandardError().toStdString();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.SearchComboBox->currentText(), QString::fromUtf8("Brémse"));
    EXPECT_EQ(window.CurrentPage().query.Text(), "Bremse");
    EXPECT_EQ(window.CurrentPage().articleIds.size(), 1u);
  }
  auto plain = StartProbe(runtime.path(), {}, CARROLEX);
  EXPECT_EQ(ExitCode(*plain), 0);
  EXPECT_EQ(window.CurrentPage().query.Text(), "Bremse") << "a start without a text only restores";
}

TEST_F(TrayTest, AFirstStartWithATextShowsTheAboutPageThenTheSearch) {
  TMainForm& window = StartWith({.MinToTray = true, .RunMinimized = true}, true);
  window.ShowAtStart(QString::fromUtf8("тормоз"));
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.CurrentPage().query.Text(), std::string("тормоз"_cp));
  ASSERT_EQ(window.History().size(), 2u);
  EXPECT_EQ(window.History().front().pageKind, CPageKind::About);
}

TEST_F(TrayTest, TheSelectionIsTheTextOfTheClipboardWhereThePlatformHasNoSelection) {
  QGuiApplication::clipboard()->setText(QString::fromUtf8(" brake\npad\t"));
  const QStringList selection = {u"carrolex"_s, u"--selection"_s};
  EXPECT_EQ(LookUpOfArguments(selection), u"brake pad"_s);
  EXPECT_EQ(LookUpOfArguments({u"carrolex"_s, u"wheel"_s, u"hub"_s}), u"wheel hub"_s);
  EXPECT_EQ(LookUpOfArguments({u"carrolex"_s}), QString());
  QGuiApplication::clipboard()->clear();
  EXPECT_EQ(LookUpOfArguments(selection), QString()) << "nothing selected: the window only comes back";
}

TEST_F(TrayTest, ExitFromTheTrayMenuEndsTheProgramFromTheTray) {
  TMainForm& window = StartWith({.MinToTray = true}, true);
  window.show();
  Minimise();
  ASSERT_TRUE(window.isHidden());
  QTimer::singleShot(0, window.N11, &QAction::trigger);
  QTimer notEnded;
  QObject::connect(&notEnded, &QTimer::timeout, [] { QCoreApplication::exit(1); });
  notEnded.start(5000);
  EXPECT_EQ(QApplication::exec(), 0);
  form.reset();
  CPrefs saved;
  saved.LoadFromRegistry();
  EXPECT_TRUE(saved.MinToTray);
}

}  // namespace
