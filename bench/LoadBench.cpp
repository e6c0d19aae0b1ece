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

void LoadCorpus(benchmark::State& state) {
  if (CorpusMissing(state)) return;
  int32_t articles = 0;
  for (auto _ : state) {
    CDictionary dictionary;
    dictionary.Load(CorpusPath());
    articles = dictionary.ArticleCount();
    benchmark::DoNotOptimize(articles);
  }
  state.counters["articles"] = articles;
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(CorpusPath())) / (1 << 20);
}
BENCHMARK(LoadCorpus)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

// Memory that the loaded dictionary holds, against the file's size.
void LoadedMemory(benchmark::State& state) {
  if (CorpusMissing(state)) return;
  const double fileMegabytes = static_cast<double>(std::filesystem::file_size(CorpusPath())) / (1 << 20);
  double added = 0;
  for (auto _ : state) {
    const double before = HeapMegabytes();
    CDictionary dictionary;
    dictionary.Load(CorpusPath());
    added = HeapMegabytes() - before;
    benchmark::DoNotOptimize(dictionary.ArticleCount());
  }
  state.counters["file_MB"] = fileMegabytes;
  state.counters["memory_MB"] = added;
  state.counters["memory_per_file_byte"] = added / fileMegabytes;
}
BENCHMARK(LoadedMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
