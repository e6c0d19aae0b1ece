#pragma once
// ABBYY Lingvo DSL: a text file (UTF-16LE with a byte-order mark, its usual form; UTF-8, or
// Windows-1251 / Windows-1252 named by #SOURCE_CODE_PAGE) of "#" headers and cards. A card is one or
// more headword lines at column 0 and body lines that start with a tab or a space, in [tag] markup.
//
// Import: each headword of a card is an article, the headwords of one card one synonym group with
// the same body. The foreign headword is the term, the first [trn] text (else the first phrase of the
// first line) the translation; a Russian-indexed file gives the other way round. [b] and [i] become
// <b> and <i>, each body line or [mN] paragraph a line (<br>), [t] the transcription, [ref] and <<…>>
// the see-also (their text stays in the definition), [s] media are dropped, everything else is text.
// A line that holds nothing but the translation is not repeated in the definition.
//
// Export: UTF-16LE, one index language a file. A card is
//   headword                              (several lines: synonyms whose other fields are all equal)
//   	[m0][t]transcription[/t][/m]         (when there is one)
//   	[m1][trn]translation[/trn][/m]       (always, empty when there is none)
//   	[m1]a line of the definition[/m]    (each, with [b] and [i])
//   	[m1]См. также: [ref]a[/ref], [ref]b[/ref][/m]
//   	[m1]Синонимы: [ref]x[/ref], [ref]y[/ref][/m]   (the group's other cards in this file)
// The import reads these last two lines back as the see-also and as links that join the cards
// into one synonym group. extraText is not written, and a term's leading and trailing blanks are lost.

#include <string>
#include <string_view>
#include <vector>

#include "dictionary/Dictionary.h"
#include "formats/Glossary.h"

CGlossary ReadDsl(std::string_view bytes, std::string_view file, const CImportOptions& options);
// A .dsl file, or a .dsl.dz (dictzip) one.
CGlossary ReadDslFile(const std::string& path, const CImportOptions& options);

// English and no-language articles go to outPath, German ones to a second file (outPath with ".dsl"
// replaced by ".de.dsl") when both are present; only German: outPath. Articles without a term are
// left out, since a card needs a headword.
std::vector<CExportFile> ExportDsl(const CDictionary& dictionary, const std::string& outPath);
