// The main window on the large corpus: start-up, a search, a variants tick, memory.
#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <fstream>

#include "app/MainForm.h"
#include "app/Modal.h"
#include "bench/Corpus.h"
#include "htmlview/HtmlLite.h"

namespace {

std::unique_ptr<TMainForm> StartedWindow() {
  auto window = std::make_unique<TMainForm>();
  window->dataFolders = {std::filesystem::path(CorpusPath()).parent_path()};
  window->FormCreate();
  window->show();
  return window;
}

// A started window showing the result page of `query`.
std::unique_ptr<TMainForm> WindowShowing(const char* query) {
  auto window = StartedWindow();
  window->SearchComboBox->setEditText(query);
  window->RunSearch();
  return window;
}

// Lays out and paints the whole window, as the screen would show it.
void Paint(QWidget& window) {
  QImage image(window.size(), QImage::Format_RGB32);
  window.render(&image);
  benchmark::DoNotOptimize(image.bits());
}

void StartToAboutPage(benchmark::State& state) {
  if (CorpusMissing(state)) return;
  for (auto _ : state) {
    auto window = StartedWindow();
    Paint(*window);
    state.PauseTiming();
    window.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(StartToAboutPage)->Unit(benchmark::kMillisecond)->Iterations(10);

void EnterToResultPage(benchmark::State& state) {
  if (CorpusMissing(state)) return;
  auto window = StartedWindow();
  window->SearchComboBox->setEditText("car");
  for (auto _ : state) {
    window->RunSearch();
    Paint(*window);
  }
  state.counters["found"] = static_cast<double>(window->CurrentPage().articleIds.size());
  std::ifstream statm("/proc/self/statm");
  long pages = 0;
  long resident = 0;
  statm >> pages >> resident;
  state.counters["resident_MB"] = static_cast<double>(resident) * 4096 / (1 << 20);
}
BENCHMARK(EnterToResultPage)->Unit(benchmark::kMillisecond);

void TickToVariantsPane(benchmark::State& state) {
  if (CorpusMissing(state)) return;
  auto window = StartedWindow();
  for (auto _ : state) {
    window->SearchComboBox->setEditText(QString());
    window->SearchComboBox->setEditText(QString::fromUtf8("тор"));
    window->VariantsTimerTimer();
    Paint(*window->VariantsBrowser);
  }
}
BENCHMARK(TickToVariantsPane)->Unit(benchmark::kMillisecond);

// The dialogs of the output commands are answered at once, so that only the program's own work counts.
void SaveResultPage(benchmark::State& state) {
  if (CorpusMissing(state)) return;
  auto window = WindowShowing("car");
  const QTemporaryDir folder;
  for (auto _ : state) window->SavePage(folder.filePath("car.htm"));
  state.counters["file_KB"] = static_cast<double>(QFileInfo(folder.filePath("car.htm")).size()) / 1024;
}
BENCHMARK(SaveResultPage)->Unit(benchmark::kMillisecond);

void PrintResultPageToPdf(benchmark::State& state) {
  if (CorpusMissing(state)) return;
  auto window = WindowShowing("car");
  const QTemporaryDir folder;
  const CAnsweredDialogs answer([&folder](QDialog& dialog) {
    QPrinter* printer = dynamic_cast<QPrintDialog&>(dialog).printer();
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(folder.filePath("car.pdf"));
    return int(QDialog::Accepted);
  });
  for (auto _ : state) window->PrintPage();
  state.counters["pdf_KB"] = static_cast<double>(QFileInfo(folder.filePath("car.pdf")).size()) / 1024;
}
BENCHMARK(PrintResultPageToPdf)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
