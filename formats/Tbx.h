#pragma once
// TBX (TermBase eXchange), the XML format of termbases: a <martif> root with <martifHeader> and
// <text><body> of <termEntry> elements, each one concept with a <langSet xml:lang="…"> per language
// holding its terms in <tig> (or <ntig><termGrp>); the newer form with a <tbx> root, <conceptEntry>,
// <langSec> and <termSec> reads the same.
//
// Import: each English or German term of an entry becomes an article paired with the entry's first
// Russian term; several terms of one language in one entry form a synonym group. The definition is
// the first <descrip type="definition"> of the Russian side, else of the entry, else of the term or
// its langSet (<hi type="bold">/<hi type="italics"> as <b>/<i>, line feeds as <br>), with the texts
// of <note> as further lines; <termNote type="pronunciation"> gives the transcription, cross
// references (<ref>/<descrip type="crossReference">, <xref>) the see-also. An entry without a Russian
// term is a bad entry (skipped with keepGoing); one without an English or German term is only
// counted. External entities and DTDs are never loaded; internal entities are expanded within a
// bound on the text a file may give.
//
// Export: one UTF-8 file in the same structure, one <termEntry> per article, or per synonym group
// for the members that share a translation; extraText is not written.

#include <string>
#include <string_view>
#include <vector>

#include "dictionary/Dictionary.h"
#include "formats/Glossary.h"

CGlossary ReadTbx(std::string_view bytes, std::string_view file, const CImportOptions& options);

// One file at `outPath`.
std::vector<CExportFile> ExportTbx(const CDictionary& dictionary, const std::string& outPath);
