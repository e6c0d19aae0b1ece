#pragma once
// The loaded data file: every article in file order (its index is its position), the id
// index, the synonym groups and the four metadata texts. Immutable once loaded.

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dictionary/Article.h"

class CResultPage;
class CSearchQuery;
class CVariant;

// Receives the progress of a load; the splash window shows it.
class CLoadProgress {
 public:
  virtual void SetRange(int32_t minimum, int32_t maximum) = 0;
  virtual void SetPosition(int32_t position) = 0;

 protected:
  virtual ~CLoadProgress() = default;
};

// A data file that cannot be used at all. what() is the Windows-1251 message for the user.
class CDictionaryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// More than any dictionary needs: positions and counts in the file are 32-bit.
inline constexpr std::size_t kMaxDataFileSize = std::size_t{1} << 32;

// The whole file, or CDictionaryError: a device or a folder, a file larger than `limit` or a stream that
// grows past it while read, a file that cannot be opened or read.
std::vector<char> ReadDataFile(const std::string& fileName, std::size_t limit = kMaxDataFileSize);

struct CDictionaryInfo {
  std::string infoText1;
  std::string infoText2;
  std::string dataVersion;
  std::string requiredVersion;

  // The four texts in the order the data file stores them, with their names.
  static constexpr std::array<std::string_view, 4> kNames = {"infoText1", "infoText2", "dataVersion",
                                                             "requiredVersion"};
  std::array<std::string*, 4> Texts() { return {&infoText1, &infoText2, &dataVersion, &requiredVersion}; }
  std::array<const std::string*, 4> Texts() const {
    return {&infoText1, &infoText2, &dataVersion, &requiredVersion};
  }
};

// The leading decimal number of a version text, read the same in every locale; 0 without one.
double ReadVersionNumber(std::string_view text);

// Its members are defined in dictionary/Dictionary.cpp unless a comment names another file.
class CDictionary {
 public:
  enum class LoadState { Loaded, NeedsNewerProgram };

  static constexpr int32_t kProgressMaximum = 45321;
  static constexpr int32_t kProgressStep = 5000;
  static constexpr uint32_t kPairRows = 128;

  CDictionary() = default;
  CDictionary(const CDictionary&) = delete;
  CDictionary& operator=(const CDictionary&) = delete;
  CDictionary(CDictionary&&) = default;
  CDictionary& operator=(CDictionary&&) = default;

  // Throws CDictionaryError when the file cannot be opened or read, is shorter than its
  // header or ends inside the metadata. Damage further on ends the reading there and keeps
  // what was read: see LoadDamaged.
  void Load(const std::string& fileName, CLoadProgress* progress = nullptr);
  // The same from the file's bytes; `fileName` only names the file in messages.
  void LoadBytes(std::vector<char> content, std::string_view fileName, CLoadProgress* progress = nullptr);

  LoadState loadState() const { return state; }
  // A record could not be read; the caller reports kLoadErrorMessage once.
  bool LoadDamaged() const { return damaged; }
  const CDictionaryInfo& Info() const { return info; }

  int32_t ArticleCount() const { return static_cast<int32_t>(articles.size()); }
  const CArticle& ArticleAt(int32_t position) const { return articles[position]; }
  const std::vector<CArticle>& Articles() const { return articles; }

  // The position of the article with `id`; an unknown id leads to the first article (0),
  // and -1 says that there is no article at all.
  int32_t PositionOf(int32_t id) const;
  // Ids of the articles whose synonymGroup is `group` (> 0), in store order.
  std::vector<int32_t> SynonymGroupMembers(int32_t group) const;
  int32_t CountTermsByLanguage(int32_t code) const;

  // Defined in search/WordMatch.cpp.
  // First occurrence of `word` in `text` at or after `start` by the word matching rules, or -1.
  // `yoAsYe`: е and ё count as one letter (the setting, off by default).
  static int32_t FindWord(std::string_view word, std::string_view text, int32_t start, bool wholeWord,
                          bool yoAsYe = false);

  // Defined in search/Search.cpp, with CandidateFields below.
  // How well `word` stands in `text`: early occurrences in short texts score highest; 0 when absent.
  static int32_t ScoreWord(std::string_view word, std::string_view text, bool wholeWord, bool yoAsYe = false);
  struct CSearchHit {
    int32_t score;
    int32_t position;
  };
  // Every article that holds the query's words, best first; `strictCount` of them hold all.
  std::vector<CSearchHit> RankArticles(const CSearchQuery& query, int32_t& strictCount) const;
  // The same as a search result page. Defined in pages/SearchPage.cpp.
  CResultPage Search(const CSearchQuery& query) const;
  // The headwords that match the typed text, ranked; `list` is replaced. Defined in
  // dictionary/Variants.cpp, with IndexHeadwordPairs below.
  void LookupVariants(std::string_view input, std::vector<CVariant>& list, bool yoAsYe = false) const;

  // The fields a search scores, with their weights.
  enum class CSearchedField : int32_t { Definition, Translation, Term };
  static constexpr int32_t FieldWeight(CSearchedField field) {
    return field == CSearchedField::Term ? 20 : field == CSearchedField::Translation ? 10 : 1;
  }
  static std::string_view FieldText(const CArticle& article, CSearchedField field) {
    return field == CSearchedField::Term          ? article.term
           : field == CSearchedField::Translation ? article.translation
                                                  : article.definition;
  }

 private:
  using CKeyPosition = std::pair<int32_t, int32_t>;

  struct CFieldRef {
    int32_t position;
    CSearchedField field;
  };

  void BuildIndexes();

  void IndexHeadwordPairs(int32_t position);
  std::size_t PairRowWords() const { return (articles.size() + 63) / 64; }

  // A query word as the scan looks for it.
  struct CLookedWord {
    std::string_view word;
    bool wholeWord;
  };
  // At most this many words share one scan: each costs the scan a few comparisons per byte.
  static constexpr std::size_t kWordsPerScan = 8;
  // For each of `words`, the searched fields that hold it, in store order, found by one scan of the
  // whole file for all of them.
  std::vector<std::vector<CFieldRef>> CandidateFields(const std::vector<CLookedWord>& words,
                                                      bool yoAsYe) const;

  std::vector<char> bytes;  // the file; the articles' texts point into it
  std::vector<CArticle> articles;
  // Where the ids ascend in store order, as in the files we build, the store is its own index and
  // idIndex stays empty; else (id, position), one per id, sorted.
  bool idsAscend = true;
  std::vector<CKeyPosition> idIndex;
  std::vector<CKeyPosition> groupIndex;  // (group, position), sorted
  // Where each article's texts begin in `bytes`, four bytes apiece: the search finds the article of
  // a position in the file here rather than in the far larger articles.
  std::vector<uint32_t> articleStarts;
  // For each of kPairRows hashed rows, a bit per article, set where a pair of first letters at an
  // early word start of its two headwords hashes to the row (each pair to two rows): a variants
  // lookup reads two rows instead of every article.
  std::vector<uint64_t> pairIndex;
  // The articles with a one-byte headword, all that a one-byte input can list.
  std::vector<int32_t> oneByteHeadwords;
  LoadState state = LoadState::Loaded;
  bool damaged = false;
  CDictionaryInfo info;
};
