// The tray icon, hiding into it on minimise, and the one way back that every restore takes.
#include <QApplication>
#include <QCloseEvent>
#include <QTimer>

#include "app/MainForm.h"
#include "app/QtText.h"
#include "dictionary/Messages.h"

void TMainForm::CreateTray() {
  TrayPopupMenu = new QMenu(this);
  TrayPopupMenu->setObjectName("TrayPopupMenu");
  N9 = TrayPopupMenu->addAction(QString::fromUtf8("Показать словарь"));
  N9->setObjectName("N9");
  QFont bold = N9->font();
  bold.setBold(true);
  N9->setFont(bold);
  TrayPopupMenu->setDefaultAction(N9);
  TrayPopupMenu->addSeparator();
  N11 = TrayPopupMenu->addAction(QString::fromUtf8("Выход"));
  N11->setObjectName("N11");
  connect(N9, &QAction::triggered, this, &TMainForm::RestoreWindow);
  connect(N11, &QAction::triggered, this, &QWidget::close);

  TrayIcon = new QSystemTrayIcon(QApplication::windowIcon(), this);
  TrayIcon->setObjectName("TrayIcon");
  TrayIcon->setToolTip(FromCp1251(kProgramTitle));
  // The menu opens on the icon's context click by itself; a single click does nothing.
  TrayIcon->setContextMenu(TrayPopupMenu);
  connect(TrayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::DoubleClick) RestoreWindow();
  });
}

void TMainForm::AddTrayIcon() {
  if (trayAvailable()) TrayIcon->show();
}

void TMainForm::RemoveTrayIcon() {
  TrayIcon->hide();
}

void TMainForm::UpdateTrayIcon() {
  if (prefs.MinToTray)
    AddTrayIcon();
  else
    RemoveTrayIcon();
}

void TMainForm::AppMinimize() {
  if (!prefs.MinToTray || !isMinimized()) return;
  // A tray that appeared after the start gets its icon now; with none, the window stays on the taskbar.
  AddTrayIcon();
  if (TrayIcon->isVisible()) hide();
}

void TMainForm::RestoreWindow() {
  setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  show();
  raise();
  activateWindow();
  SearchComboBox->setFocus();
}

void TMainForm::LookUp(const QString& text) {
  RestoreWindow();
  if (text.isEmpty()) return;
  SearchComboBox->setEditText(text);
  RunSearch();
}

void TMainForm::ShowAtStart(const QString& lookUp) {
  // A start with a text to look up shows its result, however the window would start.
  if (!lookUp.isEmpty()) return LookUp(lookUp);
  if (!prefs.RunMinimized)
    show();
  else if (!prefs.MinToTray || !TrayIcon->isVisible())
    showMinimized();
}

void TMainForm::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  // Hidden once the minimising is over, so that the window system does not undo it.
  if (event->type() == QEvent::WindowStateChange && isMinimized())
    QTimer::singleShot(0, this, &TMainForm::AppMinimize);
}

// Closing the main window ends the program, also when it is hidden in the tray.
void TMainForm::closeEvent(QCloseEvent* event) {
  QMainWindow::closeEvent(event);
  if (event->isAccepted()) QCoreApplication::quit();
}
