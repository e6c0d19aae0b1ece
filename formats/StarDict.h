#pragma once
// StarDict dictionaries: NAME.ifo (a magic line, then key=value lines), NAME.idx (per entry: the
// UTF-8 word, NUL, the offset and size of its data in NAME.dict, big-endian), NAME.dict (the entries'
// typed fields, plain or dictzip .dict.dz) and the optional NAME.syn (per entry: a word, NUL, the
// 32-bit big-endian number of an .idx entry it leads to).
//
// Import: each .idx entry becomes an article with the word as its term. Text fields become the
// definition: 'm', 'l', 'y', 'w' as plain text; 'h' (HTML), 'g' (Pango), 'x' (XDXF), 'k' keep bold,
// italic and line breaks, other tags dropped, entities decoded; 't' and XDXF <tr> give the
// transcription, XDXF <kref> the see-also; 'r' and binary fields (upper-case types) are skipped.
// A first line equal to the word is dropped, a first line "[...]" is the transcription, and then the
// first line's part up to ',' or ';' is the translation when it is Russian (the line leaves the
// definition only when it is nothing but the translation). A Russian word is the translation, the
// first line then gives the term when it is foreign. Entries sharing one data block form a synonym
// group. A .syn word that is the target's translation or word adds nothing; one that is another
// entry's word joins the two entries in a synonym group (the entry whose word leads back to the
// target when there are several); any other becomes a new article in the target's group with the
// target's body, the word as term (or as translation when it is Russian). The language is
// options.language, else the body's mark below, else the .ifo's lang=, else English. wordcount,
// synwordcount and idxfilesize must match the files; with keepGoing the files are trusted instead.
// Articles beyond their own data (shared blocks, .syn words) may cost at most 64 MB plus four times
// the files' size, so that small hostile files cannot make huge glossaries.
// Messages name NAME.idx, NAME.dict and NAME.syn with offsets in their uncompressed bytes.
//
// Export: version=3.0.0, sametypesequence=h; one .idx entry per article under its term (its
// translation when the term is empty; words cut to 255 bytes), sorted by StarDict's rule. The body
// is HTML of up to five blocks, each left out when its field is empty:
//   <div class="translation"><b>тормоз</b></div><div class="transcription">[брейк]</div>
//   <div class="definition">Устройство для <i>замедления</i>.</div>
//   <div class="synonyms">Синонимы: <a href="bword://brake pedal">brake pedal</a></div>
//   <div class="see-also">См. также: тормозной диск</div>
// The synonyms are the words of the other members of the article's synonym group (the head first, at
// most 64). A German article's first block carries data-lang="de" (an empty definition block when
// there is no other). Import knows a body made only of these blocks and reads each field back
// exactly; the synonyms join the entries of those words (where a word has several, the one whose body
// lists this word back). The .syn leads from each translation to its article, except where the
// translation is itself an .idx word (a .syn word hides the .idx entry of the same word from
// lookups). bookname is infoText1 (or "Carro"), description infoText2 with line breaks as <br>;
// extraText is not written.

#include <string>
#include <string_view>
#include <vector>

#include "dictionary/Dictionary.h"
#include "formats/Glossary.h"

// The four files' bytes (syn may be empty when there is no .syn); `file` names the .ifo in messages.
CGlossary ReadStarDict(std::string_view ifo, std::string_view idx, std::string_view dict,
                       std::string_view syn, std::string_view file, const CImportOptions& options);

// From the .ifo's path: NAME.idx (or NAME.idx.gz), NAME.dict (or NAME.dict.dz) and NAME.syn when
// present; a missing .idx or .dict is an error naming it.
CGlossary ReadStarDictFile(const std::string& ifoPath, const CImportOptions& options);

// NAME.ifo, NAME.idx, NAME.dict (not compressed) and NAME.syn (left out when no word leads
// elsewhere); ".ifo" is appended to `outIfoPath` when it lacks it.
std::vector<CExportFile> ExportStarDict(const CDictionary& dictionary, const std::string& outIfoPath);
