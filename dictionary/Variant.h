#pragma once
// One entry of the variants list: a headword that matches the typed text.

#include <cstdint>
#include <string>

// Which headword of an article a variant matched; carro prints it as "term" or "translation".
enum class CHeadword : int32_t { Term = 0, Translation = 1 };

class CVariant {
 public:
  CVariant(std::string headwords, int32_t id, int32_t rank, int32_t position, CHeadword field)
      : text(std::move(headwords)), articleId(id), score(rank), matchPos(position), matchedField(field) {}

  bool operator==(const CVariant&) const = default;

  std::string text;   // the matched headword, then the other one in parentheses
  int32_t articleId;  // by id, not position
  int32_t score;      // 1..100
  int32_t matchPos;   // where the typed text starts in `text`
  CHeadword matchedField;
};
