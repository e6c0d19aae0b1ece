#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

#include "app/MainForm.h"
#include "app/QtText.h"
#include "app/SingleInstance.h"
#include "dictionary/Messages.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setOrganizationName("TelmoTX");
  QApplication::setApplicationName("Telmo Carro Lexiconia");
  // No display name: Qt would append it to every window's caption, and each caption is the program's own.
  QApplication::setDesktopFileName("carrolex");
  QApplication::setWindowIcon(QIcon(":/carrolex.png"));
  // Every word of the program is Russian; so are the standard dialogs, whatever the system's language.
  QTranslator standardDialogs;
  if (standardDialogs.load("qtbase_ru", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&standardDialogs);
  // The program ends when its main window is closed, not when the last visible window goes:
  // the main window may be hidden in the tray.
  QApplication::setQuitOnLastWindowClosed(false);

  // A second start hands over to the running program and ends before any window exists.
  CSingleInstance instance;
  if (instance.HandOverToRunningInstance()) return 0;

  TMainForm form;
  QObject::connect(&instance, &CSingleInstance::RestoreRequested, &form, &TMainForm::RestoreWindow);
  if (const int code = form.FormCreate(); code != 0) return code;
  form.ShowAtStart();
  return QApplication::exec();
}
