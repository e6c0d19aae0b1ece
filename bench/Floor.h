#pragma once
// What one pass over the loaded corpus costs at the least: every byte compared with two values, 32 bytes
// at a time where the processor has AVX2 (64-byte passes ran slower on the AVX-512 processors measured,
// so the floor stays the faster one). The search and the variants lookup report their time as a
// multiple of it ("x_floor"), measured between their own iterations.

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <string_view>
#include <vector>

#include "bench/Corpus.h"
#include "dictionary/Dictionary.h"

namespace floor_scan {

using CWide = unsigned char __attribute__((vector_size(32)));

// How many bytes are `a` or `b`; 32 bytes a step, counted in byte lanes flushed before they overflow.
__attribute__((target_clones("avx2", "default"))) inline std::size_t CountEither(const char* data,
                                                                                 std::size_t size,
                                                                                 unsigned char a,
                                                                                 unsigned char b) {
  std::size_t count = 0;
  std::size_t p = 0;
  while (p + sizeof(CWide) <= size) {
    CWide lanes{};
    for (int step = 0; step < 255 && p + sizeof(CWide) <= size; ++step, p += sizeof(CWide)) {
      CWide v;
      std::memcpy(&v, data + p, sizeof v);
      lanes += __builtin_convertvector((v == a) | (v == b), CWide) & 1;
    }
    for (std::size_t lane = 0; lane < sizeof(CWide); ++lane) count += lanes[lane];
  }
  for (; p < size; ++p) count += data[p] == static_cast<char>(a) || data[p] == static_cast<char>(b);
  return count;
}

// The loaded corpus's records, from the first article's texts to the last's: what the search scans. The
// floor reads the very bytes the search does, so that neither finds the other's copy in the cache.
inline std::string_view CorpusBytes(CScale scale) {
  const std::vector<CArticle>& articles = ScaledCorpus(scale).Articles();
  const char* first = articles.front().term.data();
  const std::string_view last = articles.back().transcription;
  return {first, static_cast<std::size_t>(last.data() + last.size() - first)};
}

inline double Median(std::vector<double> passes) {
  std::nth_element(passes.begin(), passes.begin() + passes.size() / 2, passes.end());
  return passes[passes.size() / 2];
}

// The time of one floor pass over `bytes`, in seconds.
inline double PassSeconds(std::string_view bytes) {
  const auto start = std::chrono::steady_clock::now();
  benchmark::DoNotOptimize(CountEither(bytes.data(), bytes.size(), 0xF2, 0xD2));
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The floor of a benchmark: floor passes made between its iterations, its clock stopped, about 50 a
// run, so that a machine shared with others moves both alike; and 21 passes in a row after it. The
// lower of the two medians is the floor: passes made far apart after work that reads little of the
// file (the variants lookup) run slower, and the ratio must not gain from that.
class CFloorSampler {
 public:
  CFloorSampler(benchmark::State& run, CScale scale)
      : state(run),
        bytes(CorpusBytes(scale)),
        stride(std::max<benchmark::IterationCount>(1, run.max_iterations / 50)) {}

  // Called at the end of each iteration.
  void Sample() {
    if (++iteration % stride != 0) return;
    state.PauseTiming();
    between.push_back(PassSeconds(bytes));
    state.ResumeTiming();
  }

  // A counter that shows the benchmark's time per iteration divided by the floor.
  benchmark::Counter TimesFloor() const {
    std::vector<double> inRow;
    for (int pass = 0; pass < 21; ++pass) inRow.push_back(PassSeconds(bytes));
    const double floor = between.empty() ? Median(inRow) : std::min(Median(between), Median(inRow));
    return benchmark::Counter(floor,
                              benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  }

 private:
  benchmark::State& state;
  const std::string_view bytes;
  const benchmark::IterationCount stride;
  benchmark::IterationCount iteration = 0;
  std::vector<double> between;
};

}  // namespace floor_scan
