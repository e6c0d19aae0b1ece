#include "dictionary/Article.h"

#include <optional>

#include "dictionary/DataReader.h"
#include "text/Cp1251.h"

namespace {

template <class T>
bool Take(std::optional<T> value, T& field) {
  if (value) field = *value;
  return value.has_value();
}

}  // namespace

CRecordRead CArticle::ReadRecord(CDataReader& in) {
  CArticle read;
  if (!Take(in.ReadInt32(), read.id)) return CRecordRead::End;
  const bool complete = Take(in.ReadString(), read.term) && Take(in.ReadString(), read.translation) &&
                        Take(in.ReadInt32(), read.language) && Take(in.ReadString(), read.definition) &&
                        Take(in.ReadInt32(), read.synonymGroup) && Take(in.ReadString(), read.extraText) &&
                        Take(in.ReadString(), read.seeAlso) && Take(in.ReadString(), read.transcription);
  if (!complete) return CRecordRead::Damaged;
  *this = read;
  return CRecordRead::Read;
}

std::string CArticle::Title() const {
  if (translation.empty()) return term.empty() ? std::string("- Без заголовка -"_cp) : std::string(term);
  std::string title(translation);
  if (!term.empty()) title.append(" (").append(term).append(")");
  return title;
}
