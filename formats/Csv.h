#pragma once
// Glossaries kept in spreadsheets and saved as CSV or TSV: UTF-8 (with or without its byte-order mark)
// or Windows-1251; comma, semicolon or tab; quoted fields with doubled quotes and line breaks. A header
// row names the columns (en, de, ru, term and language, definition, transcription, see also, id,
// synonym group, in English or Russian); --columns names them for a file without one, and a file with
// neither is read as foreign term, Russian term, definition. One article per foreign term of a row.
//
// The export writes UTF-8 with its byte-order mark (what spreadsheets expect), comma-separated, the
// headword first: term, ru, language, transcription, definition (plain text), see also, id, synonym group.

#include <string>
#include <string_view>
#include <vector>

#include "dictionary/Dictionary.h"
#include "formats/Glossary.h"

CGlossary ReadCsv(std::string_view bytes, std::string_view file, const CImportOptions& options);

std::vector<CExportFile> ExportCsv(const CDictionary& dictionary, const std::string& outPath);
