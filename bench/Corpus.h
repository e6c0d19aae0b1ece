#pragma once
// The benchmark corpus: $CARRO_CORPUS, or the one `cmake --build … --target corpus` makes.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "dictionary/Dictionary.h"

inline std::string CorpusPath() {
  const char* named = std::getenv("CARRO_CORPUS");
  return named ? named : CARRO_CORPUS;
}

inline bool CorpusMissing(benchmark::State& state) {
  if (std::filesystem::exists(CorpusPath())) return false;
  state.SkipWithError(("no corpus at " + CorpusPath() + ": build the target 'corpus' first").c_str());
  return true;
}

// Loaded once for all the benchmarks of a run.
inline const CDictionary& Corpus() {
  static const CDictionary dictionary = [] {
    CDictionary loaded;
    loaded.Load(CorpusPath());
    return loaded;
  }();
  return dictionary;
}
