#pragma once
// The benchmark corpus: $CARRO_CORPUS, or the one `cmake --build … --target corpus` makes; and ten
// copies of it merged into one file, ids renumbered, built by the first benchmark that asks for it.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "dictionary/Dictionary.h"
#include "formats/Merge.h"

inline std::string CorpusPath() {
  const char* named = std::getenv("CARRO_CORPUS");
  return named ? named : CARRO_CORPUS;
}

inline bool CorpusMissing(benchmark::State& state) {
  if (std::filesystem::exists(CorpusPath())) return false;
  state.SkipWithError(("no corpus at " + CorpusPath() + ": build the target 'corpus' first").c_str());
  return true;
}

inline CDictionary Loaded(const std::string& path) {
  CDictionary loaded;
  loaded.Load(path);
  return loaded;
}

// Loaded once for all the benchmarks of a run.
inline const CDictionary& Corpus() {
  static const CDictionary dictionary = Loaded(CorpusPath());
  return dictionary;
}

// The large corpus, or ten copies of it merged into one file, every copy after the first numbered
// after the last: what a dictionary grown by merged glossaries holds.
enum class CScale { Large, Tenfold };

inline const std::string& ScaledCorpusPath(CScale scale) {
  static const std::string large = CorpusPath();
  if (scale == CScale::Large) return large;
  // Written once a run to the temporary folder, and removed at the end of the run.
  struct CTemporaryFile {
    std::string path;
    ~CTemporaryFile() {
      std::error_code ignored;
      std::filesystem::remove(path, ignored);
    }
  };
  static const CTemporaryFile tenfold = [] {
    CMerge merge;
    const CGlossary copy = GlossaryOf(Corpus());
    for (int n = 0; n < 10; ++n) merge.Add(copy);
    const std::string bytes = merge.Bytes();
    CTemporaryFile file{(std::filesystem::temp_directory_path() / "carro-bench-tenfold.dct").string()};
    std::ofstream(file.path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file;
  }();
  return tenfold.path;
}

inline const CDictionary& ScaledCorpus(CScale scale) {
  if (scale == CScale::Large) return Corpus();
  static const CDictionary tenfold = Loaded(ScaledCorpusPath(CScale::Tenfold));
  return tenfold;
}
