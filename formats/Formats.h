#pragma once
// Every format the program reads and writes, by name and by file ending, and the one entry for
// reading a source and for writing an export.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/Dictionary.h"
#include "formats/Glossary.h"

enum class CFormat { Tsv, DataFile, Csv, Dsl, Tbx, StarDict, Dictd };

// --format's names: tsv, dct, csv, dsl, tbx, stardict, dictd.
std::optional<CFormat> FormatNamed(std::string_view name);
// By the file's ending: .tsv (our source when it starts with our header, else a glossary), .csv, .dct,
// .dsl and .dsl.dz, .tbx, .ifo, .index.
std::optional<CFormat> FormatOfFile(std::string_view path);
// What a format's files end in, for messages and file dialogs.
std::string_view FormatEndings();

// The source's articles; CFormatError (or CDictionaryError for a data file) when it cannot be read.
CGlossary ReadSource(const std::string& path, CFormat format, const CImportOptions& options);

// The formats an export can write (all but our own two).
bool CanExport(CFormat format);
std::vector<CExportFile> Export(const CDictionary& dictionary, CFormat format, const std::string& outPath);

// A glossary added to the dictionary in use: the whole new data file, and what the source gave.
struct CAddedGlossary {
  std::string bytes;
  int32_t added = 0;
  int32_t skipped = 0;
  int32_t transcriptionsLeftOut = 0;
};
// Throws CFormatError or CDictionaryError when the source cannot be read; the dictionary in use is
// only read.
CAddedGlossary AddGlossary(const CDictionary& inUse, const std::string& path, CFormat format,
                           const CImportOptions& options);
