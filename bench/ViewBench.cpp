// The HTML view: a page set, laid out whole and painted in a visible view, as the window shows it.
#include <QApplication>
#include <QImage>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextDocument>
#include <algorithm>
#include <string>
#include <vector>

#include "bench/Corpus.h"
#include "dictionary/Dictionary.h"
#include "htmlview/HtmlLite.h"
#include "pages/PageRenderer.h"
#include "pages/Panes.h"
#include "text/Cp1251.h"

namespace {

double Kilobytes(const CHtmlLines& lines) {
  std::size_t bytes = 0;
  for (const std::string& line : lines) bytes += line.size();
  return static_cast<double>(bytes) / 1024;
}

// Sets a page and paints the view. The view lays out what the first screen needs at once and
// the rest bit by bit while the window idles; with the argument "whole" set, the whole page is
// laid out before painting.
template <typename Load>
void Measure(benchmark::State& state, ThtmlLite& view, QSize size, Load load) {
  view.resize(size);
  view.show();
  QImage screen(size, QImage::Format_ARGB32_Premultiplied);
  const bool whole = state.range(0) != 0;
  for (auto _ : state) {
    load();
    if (whole) benchmark::DoNotOptimize(view.document()->size());
    view.render(&screen);
  }
}

void Show(benchmark::State& state, const ThtmlLite::CSettings& settings, QSize size,
          const CHtmlLines& lines) {
  ThtmlLite view(settings);
  Measure(state, view, size, [&] { view.LoadStrings(lines); });
  state.counters["page_KB"] = Kilobytes(lines);
}

CHtmlLines ResultPageLines() {
  CHtmlLines lines;
  RenderPage(Corpus(), Corpus().Search(CSearchQuery("*", false, false)), lines, false,
             CRenderOptions{.maxResultDisplayCount = 300});
  return lines;
}

void ResultPage300(benchmark::State& state) {
  if (CorpusMissing(state)) return;
  Show(state, ThtmlLite::ResultView(), {1000, 700}, ResultPageLines());
}
BENCHMARK(ResultPage300)->ArgName("whole")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The same page handed to Qt as it comes, all articles in one paragraph: what the view's
// preparation of the lines saves.
void ResultPage300AsOneParagraph(benchmark::State& state) {
  if (CorpusMissing(state)) return;
  const CHtmlLines lines = ResultPageLines();
  std::string page;
  for (const std::string& line : lines) page.append(line).push_back('\n');
  const QString html = QString::fromStdString(cp1251::ToUtf8(page));
  ThtmlLite view(ThtmlLite::ResultView());
  Measure(state, view, {1000, 700}, [&] { view.setHtml(html); });
  state.counters["page_KB"] = Kilobytes(lines);
}
BENCHMARK(ResultPage300AsOneParagraph)->ArgName("whole")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void AboutPage(benchmark::State& state) {
  if (CorpusMissing(state)) return;
  CResultPage about;
  about.pageKind = CPageKind::About;
  CHtmlLines lines;
  RenderPage(Corpus(), about, lines, false, {});
  Show(state, ThtmlLite::ResultView(), {1000, 700}, lines);
}
BENCHMARK(AboutPage)->ArgName("whole")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The pane at its largest: 200 rows.
void VariantsPane(benchmark::State& state) {
  if (CorpusMissing(state)) return;
  const std::string input(VariantsInput("тор"_cp));
  std::vector<CVariant> variants;
  Corpus().LookupVariants(input, variants);
  Show(state, ThtmlLite::VariantsPane(), {177, 500},
       VariantsPaneLines(variants, static_cast<int32_t>(input.size()), 200));
  state.counters["rows"] = static_cast<double>(std::min<std::size_t>(variants.size(), 200));
}
BENCHMARK(VariantsPane)->ArgName("whole")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The window saves its settings when it closes: into a folder of the bench's own.
  QTemporaryDir home;
  qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
  QApplication application(argc, argv);
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
