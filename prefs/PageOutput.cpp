#include "prefs/PageOutput.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <filesystem>

#include "dictionary/DataFileLocation.h"

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype kMaxProposedNameLength = 100;

}  // namespace

QString ProposedFileName(const QString& label) {
  QString name = label;
  // File systems take 255 bytes a name; a label may be a whole pasted text.
  return name.remove(u'.').remove(u'/').left(kMaxProposedNameLength);
}

void SetUpPageSaveDialog(QFileDialog& dialog, const QString& proposedName) {
  dialog.setWindowTitle(QString::fromUtf8("Сохранение результата поиска"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // The captions stay as they are; the patterns in the last parentheses are what the dialog applies.
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setNameFilters({QString::fromUtf8("Веб-страница (*.htm, *.html) (*.htm *.html)"),
                         QString::fromUtf8("Все файлы (*.*) (*)")});
  dialog.setDefaultSuffix(u"htm"_s);
  dialog.selectFile(proposedName);
}

QString WritePageFile(const QString& path, const std::string& bytes) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return file.errorString();
  if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
    QString reason = file.errorString();
    file.cancelWriting();
    return reason;
  }
  if (!file.commit()) return file.errorString();
  return QString();
}

QString WriteNewFile(const QString& path, const QByteArray& bytes) {
  QTemporaryFile file(QFileInfo(path).path() + u"/.carrolex-XXXXXX"_s);
  if (!file.open()) return file.errorString();
  if (file.write(bytes) != bytes.size() || !file.flush()) return file.errorString();
  // rename() replaces whatever has the name, a link included, and never writes where one points.
  std::error_code error;
  std::filesystem::rename(file.fileName().toStdString(), path.toStdString(), error);
  if (error) return QString::fromStdString(error.message());
  file.setAutoRemove(false);
  return QString();
}

QString PrepareBrowserFile(const QString& logoFile) {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
  // A link planted where the help folder belongs goes; nothing is written where it points.
  const QString help = QDir(folder).filePath(u"help"_s);
  if (QFileInfo(help).isSymLink()) QFile::remove(help);
  QDir(folder).mkpath(u"help"_s);
  const QString logoCopy = QDir(folder).filePath(QLatin1StringView(kLogoFile));
  const QFileInfo copied(logoCopy);
  if (QFile logo(logoFile);
      !logoFile.isEmpty() && (copied.isSymLink() || !copied.exists()) && logo.open(QIODevice::ReadOnly))
    WriteNewFile(logoCopy, logo.readAll());
  return QDir(folder).filePath(u"result.htm"_s);
}
