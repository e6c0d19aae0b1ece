#include <fstream>

#include "bench/Corpus.h"
#include "dictionary/Dictionary.h"

namespace {

double ResidentMegabytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0;
  long resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * 4096 / (1 << 20);
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

// Resident memory that the loaded dictionary adds, against the file's size.
void LoadedMemory(benchmark::State& state) {
  if (CorpusMissing(state)) return;
  const double fileMegabytes = static_cast<double>(std::filesystem::file_size(CorpusPath())) / (1 << 20);
  double added = 0;
  for (auto _ : state) {
    const double before = ResidentMegabytes();
    CDictionary dictionary;
    dictionary.Load(CorpusPath());
    added = ResidentMegabytes() - before;
    benchmark::DoNotOptimize(dictionary.ArticleCount());
  }
  state.counters["file_MB"] = fileMegabytes;
  state.counters["resident_MB"] = added;
  state.counters["resident_per_file_byte"] = added / fileMegabytes;
}
BENCHMARK(LoadedMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
