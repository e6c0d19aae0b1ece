#include "formats/Merge.h"

#include <algorithm>
#include <limits>
#include <unordered_map>

#include "dictionary/DataFileWriter.h"

namespace {

void AppendArticle(std::string& records, const CGlossaryArticle& source, int32_t id, int32_t group) {
  CArticle article;
  article.id = id;
  article.term = source.term;
  article.translation = source.translation;
  article.language = source.language;
  article.definition = source.definition;
  article.synonymGroup = group;
  article.extraText = source.extraText;
  article.seeAlso = source.seeAlso;
  article.transcription = source.transcription;
  AppendRecord(records, article);
}

}  // namespace

void CMerge::Add(const CGlossary& source) {
  if (empty) {
    info = source.info;
    for (const CGlossaryArticle& article : source.articles) {
      AppendArticle(records, article, article.id, article.synonymGroup);
      largestId = std::max(largestId, article.id);
    }
  } else {
    if (largestId > std::numeric_limits<int32_t>::max() - static_cast<int64_t>(source.articles.size()))
      throw CFormatError(std::string("слишком много статей для одного файла словаря"_cp));
    std::unordered_map<int32_t, int32_t> newIds;
    newIds.reserve(source.articles.size());
    int32_t next = largestId;
    for (const CGlossaryArticle& article : source.articles) newIds.try_emplace(article.id, ++next);
    next = largestId;
    for (const CGlossaryArticle& article : source.articles) {
      const auto group = newIds.find(article.synonymGroup);
      AppendArticle(records, article, ++next,
                    article.synonymGroup > 0 && group != newIds.end() ? group->second : 0);
    }
    largestId = next;
  }
  count += static_cast<int32_t>(source.articles.size());
  empty = false;
}

std::string CMerge::Bytes() const {
  return DataFileBytes(info, records);
}

CGlossary GlossaryOf(const CDictionary& dictionary) {
  CGlossary glossary;
  glossary.info = dictionary.Info();
  glossary.articles.reserve(dictionary.Articles().size());
  for (const CArticle& article : dictionary.Articles())
    glossary.articles.push_back({.id = article.id,
                                 .term = std::string(article.term),
                                 .translation = std::string(article.translation),
                                 .language = article.language,
                                 .definition = std::string(article.definition),
                                 .synonymGroup = article.synonymGroup,
                                 .extraText = std::string(article.extraText),
                                 .seeAlso = std::string(article.seeAlso),
                                 .transcription = std::string(article.transcription)});
  return glossary;
}
