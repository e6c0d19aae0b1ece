#include "app/Application.h"

#include <QApplication>
#include <QClipboard>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

#include "app/SingleInstance.h"
#include "dictionary/ProgramInfo.h"

using namespace Qt::StringLiterals;

void SetUpApplication() {
  QApplication::setOrganizationName(QLatin1StringView(kOrganizationName));
  QApplication::setApplicationName(QLatin1StringView(kApplicationName));
  // No display name: Qt would append it to every window's caption, and each caption is the program's own.
  QApplication::setDesktopFileName(u"carrolex"_s);
  QApplication::setWindowIcon(QIcon(u":/carrolex.png"_s));
  // Every word of the program is Russian; so are the standard dialogs, whatever the system's language.
  auto* standardDialogs = new QTranslator(qApp);
  if (standardDialogs->load(u"qtbase_ru"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(standardDialogs);
  // The program ends when its main window is closed, not when the last visible window goes:
  // the main window may be hidden in the tray.
  QApplication::setQuitOnLastWindowClosed(false);
}

QString LookUpOfArguments(const QStringList& arguments) {
  const QStringList words = arguments.mid(1);
  if (words != QStringList{QStringLiteral("--selection")})
    return CSingleInstance::LookUpText(words.join(u' '));
  const QClipboard* clipboard = QGuiApplication::clipboard();
  return CSingleInstance::LookUpText(
      clipboard->text(clipboard->supportsSelection() ? QClipboard::Selection : QClipboard::Clipboard));
}
