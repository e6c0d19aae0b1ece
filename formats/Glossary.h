#pragma once
// What every import reader gives and every export writer shares: articles with owned Windows-1251
// texts, the skipped entries of a source, errors that name the file and the place, and the
// conversions between the data's page markup and the formats' texts.

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/Article.h"
#include "dictionary/Dictionary.h"
#include "text/Cp1251.h"

// A source that cannot be read; what() is Windows-1251 and names the file and the line or offset.
class CFormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// An article as a source gives it. Readers without ids of their own number articles from 1 and
// give each synonym group the id of its first article; merging renumbers them.
// The definition is page markup; the other texts are plain, as the data file holds its headwords.
struct CGlossaryArticle {
  int32_t id = 0;
  std::string term;         // the foreign headword
  std::string translation;  // the Russian headword
  int32_t language = 0;     // LanguageCode(CLanguage)
  std::string definition;   // page markup: escaped text, <b>, <i>, <br>
  int32_t synonymGroup = 0;
  std::string extraText;
  std::string seeAlso;
  std::string transcription;
};

struct CGlossary {
  CDictionaryInfo info;  // only data files and our TSV carry one
  std::vector<CGlossaryArticle> articles;
  std::map<std::string, int32_t> skipped;  // reason (Windows-1251) -> entries skipped for it
  int32_t transcriptionsLeftOut = 0;       // see TranscriptionText
};

struct CImportOptions {
  cp1251::CConversion how{.transliterate = true};
  bool keepGoing = false;  // skip a bad entry (counted) instead of failing the source
  int32_t language = 0;    // --language; 0: from the source's language names
  std::string columns;     // --columns for CSV, e.g. "en,ru,definition"
  // Our own TSV source should be exact: it transliterates only when asked to.
  bool ourTsvTransliterates = false;
};

// Latin capitals in lower case, every other byte as it is: names of tags, formats and languages.
std::string AsciiLower(std::string_view text);

// "FILE, строка N" / "FILE, смещение N" in Windows-1251, FILE as given (UTF-8).
std::string LinePlace(std::string_view file, uint64_t line);
std::string OffsetPlace(std::string_view file, uint64_t offset);

// UTF-8 to Windows-1251 through the transliteration table; a character still left (or a malformed
// sequence) throws CFormatError naming `place` and the character, or becomes "?" with how.lossy.
std::string SourceText(std::string_view utf8, std::string_view place, const CImportOptions& options);

// A transcription: one in symbols the code page lacks (the phonetic alphabet) is left out and
// counted, for it should not cost the article; with how.lossy it keeps its "?" like every text.
std::string TranscriptionText(std::string_view utf8, std::string_view place, const CImportOptions& options,
                              CGlossary& glossary);

// A page shows a synonym's own definition and then its group head's: a glossary's members that
// repeat their head's definition (alternative headwords of one card, terms of one concept) keep none
// of their own, as the data's synonyms do.
void LeaveSharedDefinitionsToHeads(CGlossary& glossary);

// A bad entry: with keepGoing it is counted under `reason`, otherwise the source fails at `place`.
void SkipOrFail(CGlossary& glossary, const CImportOptions& options, std::string_view place,
                std::string_view reason);

// The language code of a language name or code as sources write them (en, eng, English, 1033,
// de, deu, ger, German, Deutsch, 1031, ...); 0 when it names neither English nor German.
int32_t LanguageFromName(std::string_view name);
// Whether a language name or code means Russian (ru, rus, Russian, Русский, 1049, ...).
bool IsRussianName(std::string_view name);

// A whole file, at most `maxBytes`; CFormatError naming the file when it cannot be read or is larger.
inline constexpr std::size_t kMaxSourceBytes = std::size_t{1} << 30;
std::string ReadSourceFile(const std::string& path, std::size_t maxBytes = kMaxSourceBytes);

// Page markup of Windows-1251 text: escaped, with line feeds as <br>.
std::string MarkupOfText(std::string_view cp1251Text);

// The data's page markup (Windows-1251 HTML) as the formats take it, in UTF-8: runs of text that are
// bold and/or italic, and line breaks (<br>, <p>, </p>, <div>). Other tags are dropped, entities decoded.
struct CMarkupRun {
  std::string text;  // UTF-8, empty for a line break
  bool bold = false;
  bool italic = false;
  bool lineBreak = false;
};
std::vector<CMarkupRun> MarkupRuns(std::string_view html);
// The character of an HTML entity at `pos` (just past '&') in UTF-8, moving past it; empty when it is
// not one we know.
std::string DecodeEntity(std::string_view html, std::size_t& pos);
// The same as plain UTF-8 text, line breaks as "\n".
std::string PlainText(std::string_view html);

// One file an export writes.
struct CExportFile {
  std::string path;
  std::string bytes;
};
