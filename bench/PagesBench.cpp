#include "bench/Corpus.h"
#include "dictionary/Dictionary.h"
#include "pages/PageRenderer.h"
#include "pages/ResultPage.h"
#include "text/Cp1251.h"

namespace {

// A result page of `articles` articles of the corpus, highlighted for a two-word query.
void RenderResultPage(benchmark::State& state) {
  if (CorpusMissing(state)) return;
  const CDictionary& dictionary = Corpus();
  const auto articles = static_cast<int32_t>(state.range(0));
  CResultPage page = dictionary.Search(CSearchQuery("*", false, false));
  page.articleIds.resize(static_cast<std::size_t>(articles));
  page.SetQuery(CSearchQuery("тормоз the"_cp, false, false));
  const CRenderOptions options{.maxResultDisplayCount = articles, .highlight = true};
  std::size_t bytes = 0;
  for (auto _ : state) {
    CHtmlLines lines;
    RenderPage(dictionary, page, lines, false, options);
    bytes = 0;
    for (const std::string& line : lines) bytes += line.size();
  }
  state.counters["page_KB"] = static_cast<double>(bytes) / 1024;
}
BENCHMARK(RenderResultPage)->Arg(300)->Arg(600)->Unit(benchmark::kMillisecond);

}  // namespace
