#pragma once
// Sources merged into one data file. The first source keeps its ids; every later source's articles
// get new ids after the largest so far, their synonym groups renumbered with them, so that merging a
// glossary into a dictionary keeps every id that pages, history and bookmarks name.

#include <cstdint>
#include <string>

#include "dictionary/Dictionary.h"
#include "formats/Glossary.h"

class CMerge {
 public:
  void Add(const CGlossary& source);

  CDictionaryInfo& Info() { return info; }  // the first source's, for the caller to override
  int32_t ArticleCount() const { return count; }
  // The whole data file.
  std::string Bytes() const;

 private:
  bool empty = true;
  CDictionaryInfo info;
  std::string records;
  int32_t count = 0;
  int32_t largestId = 0;
};

// The articles of a loaded dictionary as a source, with its info.
CGlossary GlossaryOf(const CDictionary& dictionary);
