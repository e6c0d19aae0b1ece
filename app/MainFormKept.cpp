// The bookmarks and the history kept between runs, with the setting on, in the user's data folder.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/MainForm.h"
#include "app/Modal.h"
#include "app/QtText.h"
#include "dictionary/DataFileLocation.h"
#include "htmlview/HtmlLite.h"
#include "pages/KeptPages.h"
#include "pages/Panes.h"
#include "prefs/PageOutput.h"

QString TMainForm::KeptPagesPath() const {
  const auto folder = UserDataFolder(ProcessEnvironment);
  return folder ? QString::fromStdString((*folder / "pages.txt").string()) : QString();
}

void TMainForm::LoadKeptPages() {
  // From here on the lists are the run's own, and may be written over the file.
  keptPagesRead = true;
  const QString path = KeptPagesPath();
  if (!prefs.KeepPages || path.isEmpty() || !QFileInfo::exists(path)) return;
  CKeptPages kept;
  try {
    QFile file(path);
    if (!QFileInfo(path).isFile())
      throw CKeptPagesError(std::string("это не файл закладок и истории программы"_cp));
    if (!file.open(QIODevice::ReadOnly)) throw CKeptPagesError(ToCp1251(file.errorString()));
    // One byte beyond the bound tells the reader that the file is larger.
    const QByteArray bytes = file.read(static_cast<qint64>(kMaxKeptPagesBytes) + 1);
    kept = ReadKeptPages(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  } catch (const CKeptPagesError& error) {
    // Nothing is lost: the file goes aside, and the lists start empty.
    const QString aside = path + QString::fromUtf8(".bak");
    QFile::remove(aside);
    const bool setAside = QFile::rename(path, aside);
    ShowMessage(
        nullptr,
        QString::fromUtf8("Не удалось прочитать сохранённые закладки и историю\n%1\n%2\n\n%3")
            .arg(path, FromCp1251(error.what()),
                 setAside ? QString::fromUtf8("Списки начаты заново; файл сохранён как %1.").arg(aside)
                          : QString::fromUtf8("Списки начаты заново.")));
    return;
  }
  history = std::move(kept.history);
  bookmarks = std::move(kept.bookmarks);
  // The start's about page follows the kept pages, so that "Назад" leads into them.
  historyIndex = static_cast<int32_t>(history.size()) - 1;
  BookmarksBrowser->LoadStrings(BookmarksPaneLines(bookmarks));
}

void TMainForm::SaveKeptPages() {
  const QString path = KeptPagesPath();
  if (!prefs.KeepPages || path.isEmpty() || !keptPagesRead) return;
  const std::string text =
      KeptPagesText({.history = history, .position = historyIndex, .bookmarks = bookmarks});
  QString reason = QDir().mkpath(QFileInfo(path).path()) ? WritePageFile(path, text)
                                                         : QString::fromUtf8("папку нельзя создать");
  if (reason.isEmpty() || keptPagesWriteReported) return;
  keptPagesWriteReported = true;
  ShowMessage(isVisible() ? this : nullptr,
              QString::fromUtf8("Не удалось записать закладки и историю (%1: %2). Они действуют до выхода из "
                                "программы.")
                  .arg(path, reason));
}
