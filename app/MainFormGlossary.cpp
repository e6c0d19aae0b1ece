// A user's glossary added to the dictionary in use, into the user's own data file.
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include "app/MainForm.h"
#include "app/Modal.h"
#include "app/QtText.h"
#include "app/SplashForm.h"
#include "dictionary/DataFileLocation.h"
#include "dictionary/Messages.h"
#include "formats/Formats.h"
#include "formats/Merge.h"
#include "prefs/PageOutput.h"
#include "suggest/Suggester.h"

using namespace Qt::StringLiterals;

namespace {

QString ChosenFile(QWidget* parent) {
  QFileDialog dialog(parent);
  dialog.setWindowTitle(QString::fromUtf8("Добавить словарь"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  QStringList patterns;
  for (const QString& ending : FromCp1251(FormatEndings()).split(u' ', Qt::SkipEmptyParts))
    patterns.append(u'*' + ending);
  dialog.setNameFilters({QString::fromUtf8("Словари и глоссарии (%1)").arg(patterns.join(u' ')),
                         QString::fromUtf8("Все файлы (*)")});
  if (RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front();
}

}  // namespace

bool TMainForm::AddDictionary(QString fileName) {
  if (fileName.isEmpty()) fileName = ChosenFile(this);
  if (fileName.isEmpty()) return false;
  const auto failed = [&](const QString& reason) {
    ShowMessage(this, QString::fromUtf8("Не удалось добавить словарь\n%1\n\n%2").arg(fileName, reason));
    return false;
  };
  const std::string path = QFile::encodeName(fileName).toStdString();
  const auto format = FormatOfFile(path);
  if (!format)
    return failed(QString::fromUtf8("Формат файла не ясен по его окончанию; словари и глоссарии: %1.")
                      .arg(FromCp1251(FormatEndings())));
  const auto folder = UserDataFolder(ProcessEnvironment);
  if (!folder) return failed(QString::fromUtf8("Не задана папка данных пользователя (HOME)."));
  CAddedGlossary added;
  // Entries a source cannot give are counted, as the message tells the user.
  CImportOptions options;
  options.keepGoing = true;
  try {
    added = AddGlossary(*dictionary, path, *format, options);
  } catch (const CFormatError& error) {
    return failed(FromCp1251(error.what()));
  } catch (const CDictionaryError& error) {
    return failed(FromCp1251(error.what()));
  } catch (const std::bad_alloc&) {
    return failed(FromCp1251(kOutOfMemoryMessage));
  }
  const QString target = QString::fromStdString((*folder / kDataFileName).string());
  if (!QDir().mkpath(QString::fromStdString(folder->string())))
    return failed(
        QString::fromUtf8("Не удалось создать папку %1").arg(QString::fromStdString(folder->string())));
  if (const QString reason = WritePageFile(target, added.bytes); !reason.isEmpty())
    return failed(QString::fromUtf8("Не удалось записать файл %1: %2").arg(target, reason));

  TSplashForm splash(logoFile);
  splash.show();
  splash.repaint();
  auto reloaded = std::make_unique<CDictionary>();
  try {
    reloaded->Load(QFile::encodeName(target).toStdString(), &splash);
  } catch (const CDictionaryError& error) {
    return failed(FromCp1251(error.what()));
  }
  // The suggester refers to the dictionary: it goes first, and is made again for the new one.
  suggester.reset();
  dictionary = std::move(reloaded);
  suggester = std::make_unique<CSuggester>(*dictionary);
  splash.close();
  // The splash window took the focus; the user goes on typing in the search box.
  activateWindow();
  SearchComboBox->setFocus();
  RefreshCurrentPage();
  RefreshVariantsPane();
  QString message =
      QString::fromUtf8("Словарь добавлен: статей %1, пропущено %2.").arg(added.added).arg(added.skipped);
  if (added.transcriptionsLeftOut > 0)
    message += QString::fromUtf8("\nБез транскрипции, которой нет в Windows-1251: %1.")
                   .arg(added.transcriptionsLeftOut);
  ShowMessage(this, message + QString::fromUtf8("\nФайл словаря: %1").arg(target));
  return true;
}
