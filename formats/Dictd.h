#pragma once
// The database of a DICT protocol server: NAME.index holds one line per headword, "key TAB offset
// TAB length" with an optional fourth column (the headword as written, where the key is its
// folded search form), offset and length in base 64 digits (A-Z a-z 0-9 + /, most significant
// first); NAME.dict (or NAME.dict.dz) holds the UTF-8 article texts those lines point at.
//
// Import: headwords starting with 00-database- are the database's own entries (-short becomes
// infoText1, -info infoText2); index lines pointing at one text are one entry with alternative
// headwords, an article each, all in one synonym group (a Russian headword beside foreign ones only
// finds the text from the Russian side). Of a text, a first line repeating the headword (with a
// transcription in [...] or /.../) gives its spelling and is dropped, a first Russian line gives the
// translation (its first equivalent; a line of several stays in the definition too), a last line
// "См. также: ..." the see-also, the rest the definition; the language is options.language or English.
//
// Export: each article (a synonym group: its members one after another) is one text,
//   brake [брейк]
//      тормоз
//      Устройство для замедления.
//      См. также: тормозной диск
// the translation always on the second line (empty when there is none), indexed under its term
// and each Russian equivalent, keys folded as the server folds what is looked up, in its order.
// An entry 00-database-carro marks that layout, which import reads back field by field. Plain
// text holds no bold or italic and no language; extraText is not written, nor an article with neither
// a term nor a translation to be found by.

#include <string>
#include <string_view>
#include <vector>

#include "dictionary/Dictionary.h"
#include "formats/Glossary.h"

// `index` and `dict` are the two files' bytes (the .dict uncompressed); `file` names the .index.
CGlossary ReadDictd(std::string_view index, std::string_view dict, std::string_view file,
                    const CImportOptions& options);
// NAME.index with NAME.dict, or NAME.dict.dz when there is no NAME.dict, next to it.
CGlossary ReadDictdFile(const std::string& indexPath, const CImportOptions& options);

// NAME.index and NAME.dict; ".index" is appended to `outIndexPath` when it lacks it.
std::vector<CExportFile> ExportDictd(const CDictionary& dictionary, const std::string& outIndexPath);
