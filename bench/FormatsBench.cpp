// Importing a large glossary and exporting the corpus, in memory (the files' writing is the disk's).
#include <string>

#include "bench/Corpus.h"
#include "formats/Csv.h"
#include "formats/Dsl.h"
#include "formats/Formats.h"

namespace {

constexpr int kGlossaryEntries = 100'000;

// Entries shaped like a workshop glossary: a two-word term, a Russian headword, a sentence.
std::string Term(int i) {
  return "brake part " + std::to_string(i);
}
std::string Russian(int i) {
  return "деталь тормоза " + std::to_string(i);
}
const std::string kDefinition =
    "Деталь тормозного механизма; меняется вместе с парной на другой стороне оси.";

const std::string& GlossaryCsv() {
  static const std::string csv = [] {
    std::string text =
        "\xEF\xBB\xBF"
        "en;ru;definition\r\n";
    for (int i = 0; i < kGlossaryEntries; ++i)
      text += Term(i) + ";" + Russian(i) + ";\"" + kDefinition + "\"\r\n";
    return text;
  }();
  return csv;
}

// UTF-16LE with its byte-order mark, as DSL files are shared.
const std::string& GlossaryDsl() {
  static const std::string dsl = [] {
    std::string text = "#NAME \"Bench\"\n#INDEX_LANGUAGE \"English\"\n#CONTENTS_LANGUAGE \"Russian\"\n\n";
    for (int i = 0; i < kGlossaryEntries; ++i)
      text += Term(i) + "\n\t[m1][trn]" + Russian(i) + "[/trn][/m]\n\t[m1][i]" + kDefinition + "[/i][/m]\n\n";
    std::string utf16 = "\xFF\xFE";
    utf16.reserve(text.size() * 2 + 2);
    for (std::size_t pos = 0; pos < text.size();) {
      const char32_t c = cp1251::DecodeUtf8(text, pos);
      utf16 += static_cast<char>(c & 0xFF);
      utf16 += static_cast<char>(c >> 8);
    }
    return utf16;
  }();
  return dsl;
}

void ImportCsv(benchmark::State& state) {
  std::size_t read = 0;
  for (auto _ : state) read = ReadCsv(GlossaryCsv(), "bench.csv", {}).articles.size();
  state.counters["articles"] = static_cast<double>(read);
  state.counters["MB"] = static_cast<double>(GlossaryCsv().size()) / (1 << 20);
}
BENCHMARK(ImportCsv)->Unit(benchmark::kMillisecond);

void ImportDsl(benchmark::State& state) {
  std::size_t read = 0;
  for (auto _ : state) read = ReadDsl(GlossaryDsl(), "bench.dsl", {}).articles.size();
  state.counters["articles"] = static_cast<double>(read);
  state.counters["MB"] = static_cast<double>(GlossaryDsl().size()) / (1 << 20);
}
BENCHMARK(ImportDsl)->Unit(benchmark::kMillisecond);

constexpr std::pair<CFormat, const char*> kExports[] = {{CFormat::StarDict, "/nonexistent/x.ifo"},
                                                        {CFormat::Dictd, "/nonexistent/x.index"},
                                                        {CFormat::Dsl, "/nonexistent/x.dsl"},
                                                        {CFormat::Tbx, "/nonexistent/x.tbx"},
                                                        {CFormat::Csv, "/nonexistent/x.csv"}};

void ExportCorpus(benchmark::State& state) {
  if (CorpusMissing(state)) return;
  const auto& [format, path] = kExports[state.range(0)];
  std::size_t bytes = 0;
  for (auto _ : state) {
    bytes = 0;
    for (const CExportFile& file : Export(Corpus(), format, path)) bytes += file.bytes.size();
  }
  state.SetLabel(path);
  state.counters["MB"] = static_cast<double>(bytes) / (1 << 20);
}
BENCHMARK(ExportCorpus)->DenseRange(0, std::size(kExports) - 1)->Unit(benchmark::kMillisecond);

}  // namespace
