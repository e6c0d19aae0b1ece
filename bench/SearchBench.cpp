#include "bench/Corpus.h"
#include "bench/Floor.h"
#include "dictionary/Dictionary.h"
#include "dictionary/Variant.h"
#include "pages/ResultPage.h"
#include "tests/support/LiteralSearch.h"
#include "text/Cp1251.h"

namespace {

void FloorScan(benchmark::State& state, CScale scale) {
  if (CorpusMissing(state)) return;
  const std::string_view bytes = floor_scan::CorpusBytes(scale);
  std::size_t found = 0;
  floor_scan::CFloorSampler floor(state, scale);
  for (auto _ : state) {
    found = floor_scan::CountEither(bytes.data(), bytes.size(), 0xF2, 0xD2);
    floor.Sample();
  }
  state.counters["MB"] = static_cast<double>(bytes.size()) / (1 << 20);
  state.counters["found"] = static_cast<double>(found);
  state.counters["x_floor"] = floor.TimesFloor();
}
BENCHMARK_CAPTURE(FloorScan, large, CScale::Large)->Unit(benchmark::kMillisecond);

void SearchQuery(benchmark::State& state, CScale scale, std::string_view typed, bool yoAsYe = false) {
  if (CorpusMissing(state)) return;
  const CDictionary& dictionary = ScaledCorpus(scale);
  const CSearchQuery query(cp1251::FromUtf8Lossy(typed), false, false, yoAsYe);
  std::size_t found = 0;
  floor_scan::CFloorSampler floor(state, scale);
  for (auto _ : state) {
    found = dictionary.Search(query).articleIds.size();
    floor.Sample();
  }
  state.counters["found"] = static_cast<double>(found);
  state.counters["x_floor"] = floor.TimesFloor();
}
BENCHMARK_CAPTURE(SearchQuery, one_word_ru, CScale::Large, "тормоз")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SearchQuery, one_word_en, CScale::Large, "engine")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SearchQuery, three_words, CScale::Large, "тормоз масло двигатель")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SearchQuery, every_article, CScale::Large, "*")->Unit(benchmark::kMillisecond);
// With е and ё as one letter, against one_word_ru and one_word_en.
BENCHMARK_CAPTURE(SearchQuery, one_word_ru_fold_yo, CScale::Large, "тормоз", true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SearchQuery, one_word_en_fold_yo, CScale::Large, "engine", true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SearchQuery, one_word_yo_fold_yo, CScale::Large, "ёмкость", true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SearchQuery, one_word_yo, CScale::Large, "ёмкость")->Unit(benchmark::kMillisecond);

// The ranking rules as plain loops, for the ratio; both must give the same page.
void LiteralSearchQuery(benchmark::State& state, std::string_view typed) {
  if (CorpusMissing(state)) return;
  const CSearchQuery query(cp1251::FromUtf8Lossy(typed), false, false);
  if (!(LiteralSearch(Corpus(), query) == Corpus().Search(query))) {
    state.SkipWithError("the literal search ranks differently");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(LiteralSearch(Corpus(), query));
}
BENCHMARK_CAPTURE(LiteralSearchQuery, one_word_ru, "тормоз")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LiteralSearchQuery, one_word_en, "engine")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LiteralSearchQuery, three_words, "тормоз масло двигатель")->Unit(benchmark::kMillisecond);

void Variants(benchmark::State& state, CScale scale, std::string_view typed, bool yoAsYe = false) {
  if (CorpusMissing(state)) return;
  const std::string input = cp1251::FromUtf8Lossy(typed);
  const CDictionary& dictionary = ScaledCorpus(scale);
  std::vector<CVariant> list;
  floor_scan::CFloorSampler floor(state, scale);
  for (auto _ : state) {
    dictionary.LookupVariants(input, list, yoAsYe);
    floor.Sample();
  }
  state.counters["variants"] = static_cast<double>(list.size());
  state.counters["x_floor"] = floor.TimesFloor();
}
BENCHMARK_CAPTURE(Variants, b, CScale::Large, "b")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Variants, br, CScale::Large, "br")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Variants, tor, CScale::Large, "тор")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Variants, brake, CScale::Large, "brake")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Variants, tor_fold_yo, CScale::Large, "тор", true)->Unit(benchmark::kMicrosecond);

// The same on ten copies of the corpus in one file: each figure should grow no more than tenfold.
BENCHMARK_CAPTURE(FloorScan, tenfold, CScale::Tenfold)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SearchQuery, tenfold_one_word_ru, CScale::Tenfold, "тормоз")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SearchQuery, tenfold_one_word_en, CScale::Tenfold, "engine")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SearchQuery, tenfold_three_words, CScale::Tenfold, "тормоз масло двигатель")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SearchQuery, tenfold_one_word_ru_fold_yo, CScale::Tenfold, "тормоз", true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Variants, tenfold_br, CScale::Tenfold, "br")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Variants, tenfold_tor, CScale::Tenfold, "тор")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Variants, tenfold_brake, CScale::Tenfold, "brake")->Unit(benchmark::kMicrosecond);

}  // namespace
