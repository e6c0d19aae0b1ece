// The current page leaving the program: saved, printed, opened in the browser; and the settings dialog.
#include <QDesktopServices>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>

#include "app/MainForm.h"
#include "app/Modal.h"
#include "app/QtText.h"
#include "htmlview/HtmlLite.h"
#include "prefs/MainPropsForm.h"
#include "prefs/PageOutput.h"

std::optional<CHtmlLines> TMainForm::OutputLines() {
  if (currentPage.label.empty()) return std::nullopt;
  RefreshCurrentPage();
  CHtmlLines lines;
  RenderPage(*dictionary, currentPage, lines, true, {.maxResultDisplayCount = prefs.MaxResultDisplayCount});
  return lines;
}

bool TMainForm::SavePage(QString fileName) {
  const auto lines = OutputLines();
  if (!lines) return false;
  // The browser file lives in the cache, where nobody chose it: a link found there is replaced.
  const bool asked = fileName.isEmpty();
  if (asked) {
    QFileDialog dialog(this);
    SetUpPageSaveDialog(dialog, ProposedFileName(FromCp1251(currentPage.label)));
    if (RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    fileName = dialog.selectedFiles().front();
  }
  const std::string bytes = PageFileBytes(*lines);
  const QString reason =
      asked ? WritePageFile(fileName, bytes)
            : WriteNewFile(fileName, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (!reason.isEmpty()) {
    ShowMessage(this,
                QString::fromUtf8("Не удалось сохранить страницу в файл\n%1\n\n%2").arg(fileName, reason));
    return false;
  }
  return true;
}

void TMainForm::PrintPage() {
  const auto lines = OutputLines();
  if (!lines) return;
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, this);
  if (RunModal(dialog) != QDialog::Accepted) return;
  ResultBrowser->PrintStrings(*lines, printer);
  if (printer.printerState() == QPrinter::Error)
    ShowMessage(this, QString::fromUtf8("Не удалось напечатать страницу."));
}

void TMainForm::OpenInBrowser() {
  const QString path = PrepareBrowserFile(logoFile);
  // With no page yet, the browser shows what an earlier call wrote; after a failed write, nothing.
  if (!currentPage.label.empty() && !SavePage(path)) return;
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
    ShowMessage(this,
                QString::fromUtf8("Не удалось открыть браузер. Страница сохранена в файл\n%1").arg(path));
}

void TMainForm::N7Click() {
  TMainPropsForm dialog(this, trayAvailable());
  dialog.Fill(prefs);
  if (RunModal(dialog) != QDialog::Accepted) return;
  dialog.TakeInto(prefs);
  SavePrefs();
  ApplyPrefs();
}
