#include <malloc.h>

#include "bench/Corpus.h"
#include "suggest/Suggester.h"
#include "text/Cp1251.h"

namespace {

double HeapMegabytes() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<double>(info.uordblks + info.hblkhd) / (1 << 20);
}

constexpr const char* kMisses[] = {"тармоз",    "supension", "тормозные колодкт",
                                   "подъемник", "Kuehlers",  "амортизаторы"};

// The first question of a run: the vocabulary is built and the Hunspell dictionaries load.
void SuggestFirst(benchmark::State& state) {
  if (CorpusMissing(state)) return;
  const std::string typed = cp1251::FromUtf8Lossy("тармоз");
  std::size_t offered = 0;
  for (auto _ : state) {
    CSuggester suggester(Corpus());
    offered = suggester.For(typed, false).size();
  }
  state.counters["suggestions"] = static_cast<double>(offered);
}
BENCHMARK(SuggestFirst)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Every later miss.
void Suggest(benchmark::State& state) {
  if (CorpusMissing(state)) return;
  static CSuggester suggester(Corpus());
  const std::string typed = cp1251::FromUtf8Lossy(kMisses[state.range(0)]);
  std::size_t offered = suggester.For(typed, false).size();
  for (auto _ : state) offered = suggester.For(typed, false).size();
  state.SetLabel(kMisses[state.range(0)]);
  state.counters["suggestions"] = static_cast<double>(offered);
}
BENCHMARK(Suggest)->DenseRange(0, std::size(kMisses) - 1)->Unit(benchmark::kMillisecond);

// What the suggestions keep beside the dictionary: their vocabulary, and the Hunspell dictionaries.
void SuggesterMemory(benchmark::State& state) {
  if (CorpusMissing(state)) return;
  double dictionaryMegabytes = 0;
  double addedMegabytes = 0;
  double vocabularyMegabytes = 0;
  for (auto _ : state) {
    const double start = HeapMegabytes();
    CDictionary dictionary;
    dictionary.Load(CorpusPath());
    const double loaded = HeapMegabytes();
    CSuggester suggester(dictionary);
    for (const char* typed : kMisses)
      benchmark::DoNotOptimize(suggester.For(cp1251::FromUtf8Lossy(typed), false));
    dictionaryMegabytes = loaded - start;
    addedMegabytes = HeapMegabytes() - loaded;
    vocabularyMegabytes = static_cast<double>(suggester.HeldBytes()) / (1 << 20);
  }
  state.counters["dictionary_MB"] = dictionaryMegabytes;
  state.counters["vocabulary_MB"] = vocabularyMegabytes;
  state.counters["vocabulary_share"] = vocabularyMegabytes / dictionaryMegabytes;
  state.counters["with_hunspell_MB"] = addedMegabytes;
}
BENCHMARK(SuggesterMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
