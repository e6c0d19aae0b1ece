#include "dictionary/Article.h"

#include <optional>

#include "dictionary/DataReader.h"
#include "text/Cp1251.h"

namespace {

// Reads one field into `article`; false when the file ends inside it.
bool ReadField(CDataReader& in, const CArticleField& field, CArticle& article) {
  return std::visit(
      [&](auto CArticle::*member) {
        auto value = [&in] {
          if constexpr (kIsNumberField<decltype(member)>)
            return in.ReadInt32();
          else
            return in.ReadString();
        }();
        if (value) article.*member = *value;
        return value.has_value();
      },
      field.member);
}

}  // namespace

CRecordRead CArticle::ReadRecord(CDataReader& in) {
  CArticle read;
  // Not even a whole id: the file's normal end. Any later field cut short: a damaged record.
  if (!ReadField(in, kArticleFields.front(), read)) return CRecordRead::End;
  for (std::size_t i = 1; i < kArticleFields.size(); ++i)
    if (!ReadField(in, kArticleFields[i], read)) return CRecordRead::Damaged;
  *this = read;
  return CRecordRead::Read;
}

CRecordRead CArticle::SkipRecord(CDataReader& in) {
  if (!in.ReadInt32()) return CRecordRead::End;
  for (std::size_t i = 1; i < kArticleFields.size(); ++i) {
    const bool number = std::holds_alternative<int32_t CArticle::*>(kArticleFields[i].member);
    if (!(number ? in.ReadInt32().has_value() : in.SkipString())) return CRecordRead::Damaged;
  }
  return CRecordRead::Read;
}

std::string CArticle::Title() const {
  if (translation.empty()) return term.empty() ? std::string("- Без заголовка -"_cp) : std::string(term);
  std::string title(translation);
  if (!term.empty()) title.append(" (").append(term).append(")");
  return title;
}
