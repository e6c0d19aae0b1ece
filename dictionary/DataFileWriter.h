#pragma once
// Writes data files in the form the loader reads: the 44-byte header text, the four metadata
// texts and the records, stored plain.

#include <string>
#include <string_view>

#include "dictionary/Article.h"
#include "dictionary/Dictionary.h"

void AppendRecord(std::string& records, const CArticle& article);

// The whole file: header, `info`, then `records` as AppendRecord made them.
std::string DataFileBytes(const CDictionaryInfo& info, std::string_view records);
