#pragma once
// What one pass over the loaded corpus costs at the least: every byte compared with two values in the
// widest vectors the processor has. The search and the variants lookup report their time as a multiple
// of it ("x_floor"), measured in the same run.

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <vector>

#include "bench/Corpus.h"

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

// The corpus file's bytes, read once a run.
inline const std::vector<char>& CorpusBytes(CScale scale) {
  static const std::vector<char> large = ReadDataFile(ScaledCorpusPath(CScale::Large));
  if (scale == CScale::Large) return large;
  static const std::vector<char> tenfold = ReadDataFile(ScaledCorpusPath(CScale::Tenfold));
  return tenfold;
}

// The median of many passes over the corpus file, in seconds, as the benchmarks report medians: the
// floor the others are measured against. Measured again for each benchmark, right after it, so that
// both see the machine in the same state.
inline double FloorSeconds(CScale scale) {
  const std::vector<char>& bytes = CorpusBytes(scale);
  std::vector<double> passes;
  for (int run = 0; run < 21; ++run) {
    const auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(CountEither(bytes.data(), bytes.size(), 0xF2, 0xD2));
    passes.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  std::nth_element(passes.begin(), passes.begin() + passes.size() / 2, passes.end());
  return passes[passes.size() / 2];
}

// A counter that shows the benchmark's time per iteration divided by the floor's on the same corpus.
inline benchmark::Counter TimesFloor(CScale scale) {
  return benchmark::Counter(FloorSeconds(scale),
                            benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace floor_scan
