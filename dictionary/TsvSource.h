#pragma once
// The editable source of a data file: UTF-8 text, up to four "# name: value" metadata lines,
// the header line, then one article a line with nine tab-separated fields. In fields, \t, \n,
// \r and \\ stand for tab, line feed, carriage return and backslash.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "dictionary/Dictionary.h"
#include "text/Cp1251.h"

// A source line that cannot be used; what() is Windows-1251 and names the line and column.
class CSourceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct CParsedSource {
  CDictionaryInfo info;  // Windows-1251
  std::string records;   // encoded records, ready for DataFileBytes
  int32_t articleCount = 0;
};

// The header line: the field names of kArticleFields, tab-separated.
const std::string& TsvHeader();

// `sourceName` names the source in messages. A character that Windows-1251 lacks is an error,
// unless `how` transliterates it or (lossy) writes "?".
CParsedSource ParseTsvSource(std::string_view tsv, std::string_view sourceName, cp1251::CConversion how = {});

// The source of a loaded dictionary; ParseTsvSource of it gives back the same file.
std::string DumpTsvSource(const CDictionary& dictionary);
