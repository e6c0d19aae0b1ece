#include "dictionary/Dictionary.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>

#include "dictionary/DataReader.h"
#include "dictionary/Messages.h"
#include "dictionary/ProgramInfo.h"

namespace {

constexpr std::size_t kHeaderSize = 44;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

double ReadVersionNumber(std::string_view text) {
  const auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // from_chars would also take "inf" and "nan", which are not version numbers.
  if (text.empty() ||
      !(IsDigit(text.front()) || (text.front() == '.' && text.size() > 1 && IsDigit(text[1]))))
    return 0;
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return negative ? -value : value;
}

std::vector<char> ReadDataFile(const std::string& fileName, std::size_t limit) {
  // A device or a folder is no data file: /dev/zero would be read for ever.
  std::error_code unknown;
  const auto status = std::filesystem::status(fileName, unknown);
  if (!unknown && status.type() != std::filesystem::file_type::regular &&
      status.type() != std::filesystem::file_type::fifo)
    throw CDictionaryError(NotAFileMessage(fileName));
  std::ifstream in(fileName, std::ios::binary);
  if (!in) throw CDictionaryError(CannotOpenMessage(fileName));
  // Sized ahead when the size is known; a file that grew or a pipe is read on to its end or the bound.
  std::error_code sizeUnknown;
  const auto expected = std::filesystem::file_size(fileName, sizeUnknown);
  if (!sizeUnknown && expected > limit) throw CDictionaryError(TooLargeMessage(fileName));
  std::vector<char> content(sizeUnknown ? 0 : expected);
  in.read(content.data(), static_cast<std::streamsize>(content.size()));
  auto got = static_cast<std::size_t>(in.gcount());
  constexpr std::size_t kChunk = 1 << 16;
  while (in && in.peek() != std::ifstream::traits_type::eof()) {
    if (got >= limit) throw CDictionaryError(TooLargeMessage(fileName));
    content.resize(got + kChunk);
    in.read(content.data() + got, kChunk);
    got += static_cast<std::size_t>(in.gcount());
  }
  if (in.bad()) throw CDictionaryError(CannotReadMessage(fileName));
  if (got > limit) throw CDictionaryError(TooLargeMessage(fileName));
  content.resize(got);
  content.shrink_to_fit();
  return content;
}

void CDictionary::Load(const std::string& fileName, CLoadProgress* progress) {
  LoadBytes(ReadDataFile(fileName), fileName, progress);
}

void CDictionary::LoadBytes(std::vector<char> content, std::string_view fileName, CLoadProgress* progress) {
  if (progress) {
    progress->SetRange(0, kProgressMaximum);
    progress->SetPosition(0);
  }
  if (content.size() < kHeaderSize) throw CDictionaryError(TooShortMessage(fileName));
  bytes = std::move(content);
  CDataReader in({bytes.data(), bytes.size()}, kHeaderSize);

  for (std::string* text : info.Texts()) {
    const auto read = in.ReadString();
    if (!read) throw CDictionaryError(MetadataDamagedMessage(fileName));
    *text = *read;
  }
  if (ReadVersionNumber(info.requiredVersion) > kProgramVersionNumber) {
    state = LoadState::NeedsNewerProgram;
    return;
  }
  state = LoadState::Loaded;

  // A first pass counts the records, so that the store is allocated once, at its size.
  CDataReader counter = in;
  std::size_t records = 0;
  while (CArticle::SkipRecord(counter) == CRecordRead::Read) ++records;
  articles.reserve(records);
  for (int32_t attempt = 0;; ++attempt) {
    CArticle article;
    const CRecordRead read = article.ReadRecord(in);
    if (read == CRecordRead::Read) articles.push_back(article);
    if (progress && attempt % kProgressStep == 0) progress->SetPosition(attempt);
    if (read == CRecordRead::Damaged) damaged = true;
    if (read != CRecordRead::Read) break;
  }
  BuildIndexes();
}

void CDictionary::BuildIndexes() {
  idIndex.clear();
  groupIndex.clear();
  pairIndex.assign(kPairRows * PairRowWords(), 0);
  oneByteHeadwords.clear();
  articleStarts.clear();
  articleStarts.reserve(articles.size());
  idsAscend = true;
  for (int32_t position = 0; position < ArticleCount(); ++position) {
    const CArticle& article = articles[position];
    IndexHeadwordPairs(position);
    if (article.term.size() == 1 || article.translation.size() == 1) oneByteHeadwords.push_back(position);
    articleStarts.push_back(static_cast<uint32_t>(article.term.data() - bytes.data()));
    if (position > 0 && article.id <= articles[position - 1].id) idsAscend = false;
    if (article.synonymGroup > 0) groupIndex.emplace_back(article.synonymGroup, position);
  }
  // Positions ascend already, so ordering by group alone orders the pairs; members mostly stand near
  // their heads, which a merge sort takes in fewer unforeseen branches than a quicksort.
  std::stable_sort(groupIndex.begin(), groupIndex.end(),
                   [](const CKeyPosition& a, const CKeyPosition& b) { return a.first < b.first; });
  if (idsAscend) return;
  for (int32_t position = 0; position < ArticleCount(); ++position)
    if (articles[position].id > 0) idIndex.emplace_back(articles[position].id, position);
  // When ids repeat, the last article read wins: keep the highest position of each id.
  std::sort(idIndex.begin(), idIndex.end());
  std::size_t kept = 0;
  for (std::size_t i = 0; i < idIndex.size(); ++i)
    if (i + 1 == idIndex.size() || idIndex[i + 1].first != idIndex[i].first) idIndex[kept++] = idIndex[i];
  idIndex.resize(kept);
}

int32_t CDictionary::PositionOf(int32_t id) const {
  if (articles.empty()) return -1;
  if (idsAscend) {
    if (id <= 0) return 0;
    const auto it =
        std::lower_bound(articles.begin(), articles.end(), id,
                         [](const CArticle& article, int32_t wanted) { return article.id < wanted; });
    return it != articles.end() && it->id == id ? static_cast<int32_t>(it - articles.begin()) : 0;
  }
  const auto it = std::lower_bound(idIndex.begin(), idIndex.end(), CKeyPosition{id, INT32_MIN});
  return it != idIndex.end() && it->first == id ? it->second : 0;
}

std::vector<int32_t> CDictionary::SynonymGroupMembers(int32_t group) const {
  std::vector<int32_t> ids;
  if (group <= 0) return ids;
  auto it = std::lower_bound(groupIndex.begin(), groupIndex.end(), CKeyPosition{group, INT32_MIN});
  for (; it != groupIndex.end() && it->first == group; ++it) ids.push_back(articles[it->second].id);
  return ids;
}

int32_t CDictionary::CountTermsByLanguage(int32_t code) const {
  return static_cast<int32_t>(std::count_if(articles.begin(), articles.end(),
                                            [code](const CArticle& a) { return a.language == code; }));
}
