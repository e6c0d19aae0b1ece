#pragma once
// Small data files built in the test, from articles written out in full.

#include <stdlib.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "dictionary/DataFileWriter.h"
#include "dictionary/Dictionary.h"
#include "text/Cp1251.h"

inline CDictionaryInfo TestInfo(std::string requiredVersion = "1.0") {
  return {"info one", "info two", "2026-12", std::move(requiredVersion)};
}

inline std::vector<char> FileBytes(const std::vector<CArticle>& articles,
                                   const CDictionaryInfo& info = TestInfo()) {
  std::string records;
  for (const CArticle& article : articles) AppendRecord(records, article);
  const std::string bytes = DataFileBytes(info, records);
  return {bytes.begin(), bytes.end()};
}

inline CDictionary Loaded(std::vector<char> bytes) {
  CDictionary dictionary;
  dictionary.LoadBytes(std::move(bytes), "test.dct");
  return dictionary;
}

// An article of the fields a test names; the others empty.
inline CArticle ArticleOf(int32_t id, std::string_view term, std::string_view translation, int32_t language,
                          std::string_view definition, int32_t group = 0, std::string_view seeAlso = {},
                          std::string_view transcription = {}) {
  return {.id = id,
          .language = language,
          .synonymGroup = group,
          .term = term,
          .translation = translation,
          .definition = definition,
          .extraText = {},
          .seeAlso = seeAlso,
          .transcription = transcription};
}

inline CArticle Brake() {
  return {.id = 1,
          .language = 2,
          .synonymGroup = 0,
          .term = "brake",
          .translation = "тормоз"_cp,
          .definition = "Устройство для <i>замедления</i>."_cp,
          .extraText = "тормоза"_cp,
          .seeAlso = "тормозной диск"_cp,
          .transcription = "брейк"_cp};
}

// A fresh folder of its own for each test, so that tests can run side by side.
class CTemporaryFolder {
 public:
  CTemporaryFolder() {
    std::string name = (std::filesystem::temp_directory_path() / "carro-test-XXXXXX").string();
    path = mkdtemp(name.data());
  }
  ~CTemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  CTemporaryFolder(const CTemporaryFolder&) = delete;
  CTemporaryFolder& operator=(const CTemporaryFolder&) = delete;

  std::filesystem::path path;
};

// Up to `maxPieces` pieces drawn at random: texts made to hit the matching rules' corners.
inline std::string RandomText(std::mt19937& random, const std::vector<std::string_view>& pieces,
                              int maxPieces) {
  std::string text;
  for (int n = std::uniform_int_distribution(0, maxPieces)(random); n > 0; --n)
    text += pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(random)];
  return text;
}
