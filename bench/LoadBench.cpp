#include <malloc.h>

#include "bench/Corpus.h"
#include "dictionary/Dictionary.h"

namespace {

// Heap in use, counted by malloc itself: resident-set readings hide memory that an earlier
// iteration freed and malloc kept.
double HeapMegabytes() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<double>(info.uordblks + info.hblkhd) / (1 << 20);
}

void LoadCorpus(benchmark::State& state, CScale scale) {
  if (CorpusMissing(state)) return;
  const std::string& path = ScaledCorpusPath(scale);
  int32_t articles = 0;
  for (auto _ : state) {
    CDictionary dictionary;
    dictionary.Load(path);
    articles = dictionary.ArticleCount();
    benchmark::DoNotOptimize(articles);
  }
  state.counters["articles"] = articles;
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / (1 << 20);
}
BENCHMARK_CAPTURE(LoadCorpus, large, CScale::Large)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(LoadCorpus, tenfold, CScale::Tenfold)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// Memory that the loaded dictionary holds, against the file's size.
void LoadedMemory(benchmark::State& state, CScale scale) {
  if (CorpusMissing(state)) return;
  const std::string& path = ScaledCorpusPath(scale);
  const double fileMegabytes = static_cast<double>(std::filesystem::file_size(path)) / (1 << 20);
  double added = 0;
  for (auto _ : state) {
    const double before = HeapMegabytes();
    CDictionary dictionary;
    dictionary.Load(path);
    added = HeapMegabytes() - before;
    benchmark::DoNotOptimize(dictionary.ArticleCount());
  }
  state.counters["file_MB"] = fileMegabytes;
  state.counters["memory_MB"] = added;
  state.counters["memory_per_file_byte"] = added / fileMegabytes;
}
BENCHMARK_CAPTURE(LoadedMemory, large, CScale::Large)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadedMemory, tenfold, CScale::Tenfold)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
