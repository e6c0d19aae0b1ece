#include "formats/Formats.h"

#include <array>
#include <utility>

#include "dictionary/DataFileWriter.h"
#include "dictionary/TsvSource.h"
#include "formats/Csv.h"
#include "formats/Dictd.h"
#include "formats/Dictzip.h"
#include "formats/Dsl.h"
#include "formats/Merge.h"
#include "formats/StarDict.h"
#include "formats/Tbx.h"

namespace {

constexpr std::array<std::pair<std::string_view, CFormat>, 7> kNames = {{{"tsv", CFormat::Tsv},
                                                                         {"dct", CFormat::DataFile},
                                                                         {"csv", CFormat::Csv},
                                                                         {"dsl", CFormat::Dsl},
                                                                         {"tbx", CFormat::Tbx},
                                                                         {"stardict", CFormat::StarDict},
                                                                         {"dictd", CFormat::Dictd}}};

constexpr std::array<std::pair<std::string_view, CFormat>, 8> kEndings = {{{".tsv", CFormat::Tsv},
                                                                           {".dct", CFormat::DataFile},
                                                                           {".csv", CFormat::Csv},
                                                                           {".dsl", CFormat::Dsl},
                                                                           {".dsl.dz", CFormat::Dsl},
                                                                           {".tbx", CFormat::Tbx},
                                                                           {".ifo", CFormat::StarDict},
                                                                           {".index", CFormat::Dictd}}};

// Our own source starts with "# name: value" lines and then our header line.
bool IsOurTsv(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  while (bytes.starts_with("# ")) {
    const std::size_t end = bytes.find('\n');
    if (end == std::string_view::npos) return false;
    bytes.remove_prefix(end + 1);
  }
  return bytes.starts_with(TsvHeader()) &&
         (bytes.size() == TsvHeader().size() || bytes[TsvHeader().size()] == '\n' ||
          bytes[TsvHeader().size()] == '\r');
}

CGlossary ReadOurTsv(std::string_view bytes, const std::string& path, const CImportOptions& options) {
  CParsedSource source;
  try {
    source = ParseTsvSource(bytes, path,
                            {.transliterate = options.ourTsvTransliterates, .lossy = options.how.lossy});
  } catch (const CSourceError& error) {
    throw CFormatError(error.what());
  }
  const std::string file = DataFileBytes(source.info, source.records);
  CDictionary dictionary;
  dictionary.LoadBytes({file.begin(), file.end()}, path);
  return GlossaryOf(dictionary);
}

}  // namespace

std::optional<CFormat> FormatNamed(std::string_view name) {
  for (const auto& [known, format] : kNames)
    if (AsciiLower(name) == known) return format;
  return std::nullopt;
}

std::optional<CFormat> FormatOfFile(std::string_view path) {
  const std::string lower = AsciiLower(path);
  for (const auto& [ending, format] : kEndings)
    if (lower.ends_with(ending)) return format;
  return std::nullopt;
}

std::string_view FormatEndings() {
  return ".tsv .csv .dct .dsl .dsl.dz .tbx .ifo .index";
}

CGlossary ReadSource(const std::string& path, CFormat format, const CImportOptions& options) {
  CGlossary glossary;
  switch (format) {
    case CFormat::DataFile: {
      CDictionary dictionary;
      dictionary.Load(path);
      return GlossaryOf(dictionary);
    }
    case CFormat::Tsv: {
      const std::string bytes = ReadSourceFile(path);
      // A source exported from a spreadsheet is a glossary, even when it ends in .tsv.
      if (IsOurTsv(bytes)) return ReadOurTsv(bytes, path, options);
      glossary = ReadCsv(bytes, path, options);
      break;
    }
    case CFormat::StarDict:
      glossary = ReadStarDictFile(path, options);
      break;
    case CFormat::Dictd:
      glossary = ReadDictdFile(path, options);
      break;
    case CFormat::Dsl:
      glossary = ReadDslFile(path, options);
      break;
    case CFormat::Tbx:
      glossary = ReadTbx(ReadSourceFile(path), path, options);
      break;
    case CFormat::Csv:
      glossary = ReadCsv(ReadSourceFile(path), path, options);
      break;
  }
  LeaveSharedDefinitionsToHeads(glossary);
  return glossary;
}

bool CanExport(CFormat format) {
  return format != CFormat::Tsv && format != CFormat::DataFile;
}

std::vector<CExportFile> Export(const CDictionary& dictionary, CFormat format, const std::string& outPath) {
  switch (format) {
    case CFormat::StarDict:
      return ExportStarDict(dictionary, outPath);
    case CFormat::Dictd:
      return ExportDictd(dictionary, outPath);
    case CFormat::Dsl:
      return ExportDsl(dictionary, outPath);
    case CFormat::Tbx:
      return ExportTbx(dictionary, outPath);
    case CFormat::Csv:
      return ExportCsv(dictionary, outPath);
    default:
      return {};
  }
}

CAddedGlossary AddGlossary(const CDictionary& inUse, const std::string& path, CFormat format,
                           const CImportOptions& options) {
  const CGlossary source = ReadSource(path, format, options);
  CMerge merge;
  merge.Add(GlossaryOf(inUse));
  merge.Add(source);
  CAddedGlossary added{.bytes = merge.Bytes(), .added = static_cast<int32_t>(source.articles.size())};
  for (const auto& [reason, count] : source.skipped) added.skipped += count;
  added.transcriptionsLeftOut = source.transcriptionsLeftOut;
  return added;
}
