#pragma once
// One article of the data file. Its texts are Windows-1251 views into the loaded file, so an
// article lives as long as the dictionary that holds it.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

class CDataReader;

enum class CRecordRead { Read, End, Damaged };

// The language codes of the data file's `language` field; any other value marks no language.
enum class CLanguage : int32_t { English = 2, German = 5 };

constexpr int32_t LanguageCode(CLanguage language) {
  return static_cast<int32_t>(language);
}

class CArticle {
 public:
  // The numbers first and the texts after them: no padding between, as the store holds one per article.
  int32_t id = 0;
  int32_t language = 0;            // 2 English, 5 German
  int32_t synonymGroup = 0;        // id of the group's head article; 0 or less: none
  std::string_view term{};         // English or German headword
  std::string_view translation{};  // Russian headword
  std::string_view definition{};   // HTML written by the data's authors
  std::string_view extraText{};
  std::string_view seeAlso{};
  std::string_view transcription{};

  // End: not even a whole id was left, the normal end of the file. Damaged: the record
  // stopped part-way or holds an impossible text count.
  CRecordRead ReadRecord(CDataReader& in);
  // The same reading of a record's numbers and counts, keeping nothing: how the loader counts ahead.
  static CRecordRead SkipRecord(CDataReader& in);

  std::string Title() const;

  bool operator==(const CArticle&) const = default;
};

// The nine fields of a record in the order the data file stores them, named as the TSV source's
// header names them. The reader, the writer, the TSV source and its dump all go through this table.
struct CArticleField {
  std::string_view name;
  std::variant<int32_t CArticle::*, std::string_view CArticle::*> member;
};
// Whether a member of the table is one of the numbers (the others are texts).
template <class TMember>
inline constexpr bool kIsNumberField = std::is_same_v<TMember, int32_t CArticle::*>;

inline constexpr std::array<CArticleField, 9> kArticleFields = {{
    {"id", &CArticle::id},
    {"term", &CArticle::term},
    {"translation", &CArticle::translation},
    {"language", &CArticle::language},
    {"definition", &CArticle::definition},
    {"synonymGroup", &CArticle::synonymGroup},
    {"extraText", &CArticle::extraText},
    {"seeAlso", &CArticle::seeAlso},
    {"transcription", &CArticle::transcription},
}};
