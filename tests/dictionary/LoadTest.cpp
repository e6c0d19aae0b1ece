#include <gtest/gtest.h>

#include <clocale>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include <sys/stat.h>

#include "dictionary/Messages.h"
#include "tests/support/TestData.h"

namespace {

class CRecordedProgress : public CLoadProgress {
 public:
  void SetRange(int32_t minimum, int32_t maximum) override { range = {minimum, maximum}; }
  void SetPosition(int32_t position) override { positions.push_back(position); }
  std::pair<int32_t, int32_t> range;
  std::vector<int32_t> positions;
};

CArticle Numbered(int32_t id, int32_t language = 2, int32_t group = 0) {
  CArticle article = Brake();
  article.id = id;
  article.language = language;
  article.synonymGroup = group;
  return article;
}

void AppendInt32(std::vector<char>& bytes, int32_t value) {
  for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<char>((value >> shift) & 0xFF));
}

TEST(Load, ReadsEveryFieldAndTheMetadata) {
  const CDictionary dictionary = Loaded(FileBytes({Brake()}));
  ASSERT_EQ(dictionary.ArticleCount(), 1);
  // Every field, a field added later included.
  EXPECT_EQ(dictionary.ArticleAt(0), Brake());
  EXPECT_EQ(dictionary.Info().infoText1, "info one");
  EXPECT_EQ(dictionary.Info().infoText2, "info two");
  EXPECT_EQ(dictionary.Info().dataVersion, "2026-12");
  EXPECT_EQ(dictionary.Info().requiredVersion, "1.0");
  EXPECT_EQ(dictionary.loadState(), CDictionary::LoadState::Loaded);
  EXPECT_FALSE(dictionary.LoadDamaged());
}

TEST(Load, EmptyTextsAndAFileEndingAfterTheMetadata) {
  const CDictionary empty = Loaded(FileBytes({}));
  EXPECT_EQ(empty.ArticleCount(), 0);
  EXPECT_EQ(empty.loadState(), CDictionary::LoadState::Loaded);
  EXPECT_FALSE(empty.LoadDamaged());

  const CDictionary blank = Loaded(FileBytes({CArticle{.id = 3}}));
  ASSERT_EQ(blank.ArticleCount(), 1);
  EXPECT_TRUE(blank.ArticleAt(0).term.empty());
  EXPECT_TRUE(blank.ArticleAt(0).transcription.empty());
}

TEST(Load, TextsEndAtTheirFirstNul) {
  CArticle article = Brake();
  const std::string term("br\0ake", 6);
  article.term = term;
  const CDictionary dictionary = Loaded(FileBytes({article, Numbered(2)}));
  ASSERT_EQ(dictionary.ArticleCount(), 2);
  EXPECT_EQ(dictionary.ArticleAt(0).term, "br");
  EXPECT_EQ(dictionary.ArticleAt(0).translation, Brake().translation);
}

TEST(Load, StrayBytesAfterTheLastRecordAreIgnored) {
  for (int stray = 1; stray <= 3; ++stray) {
    std::vector<char> bytes = FileBytes({Numbered(1), Numbered(2)});
    bytes.insert(bytes.end(), stray, '\x7F');
    const CDictionary dictionary = Loaded(bytes);
    EXPECT_EQ(dictionary.ArticleCount(), 2) << stray;
    EXPECT_FALSE(dictionary.LoadDamaged()) << stray;
  }
}

struct CVersionCase {
  const char* requiredVersion;
  bool accepted;
};

class VersionRule : public testing::TestWithParam<CVersionCase> {};

TEST_P(VersionRule, RefusesOnlyVersionsAboveOurOwn) {
  const CDictionary dictionary = Loaded(FileBytes({Numbered(1)}, TestInfo(GetParam().requiredVersion)));
  EXPECT_EQ(dictionary.loadState(),
            GetParam().accepted ? CDictionary::LoadState::Loaded : CDictionary::LoadState::NeedsNewerProgram);
  EXPECT_EQ(dictionary.ArticleCount(), GetParam().accepted ? 1 : 0);
  EXPECT_EQ(dictionary.Info().requiredVersion, GetParam().requiredVersion);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VersionRule,
    testing::Values(CVersionCase{"1.0", true}, CVersionCase{"1", true}, CVersionCase{"0.9", true},
                    CVersionCase{"", true}, CVersionCase{"abc", true}, CVersionCase{"1,5", true},
                    CVersionCase{"1.0000", true}, CVersionCase{"-3", true}, CVersionCase{"1e-1", true},
                    CVersionCase{"inf", true}, CVersionCase{".", true}, CVersionCase{"1.01", false},
                    CVersionCase{"1.5", false}, CVersionCase{"2", false}, CVersionCase{"  \t2.0 beta", false},
                    CVersionCase{"+2", false}, CVersionCase{".5e1", false}, CVersionCase{"2e0", false}));

TEST(VersionRule, ReadsTheDecimalPointInAnyLocale) {
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = previous ? previous : "C";
  bool switched = false;
  for (const char* name : {"ru_RU.UTF-8", "ru_RU.utf8", "de_DE.UTF-8", "de_DE.utf8"})
    if (std::setlocale(LC_NUMERIC, name)) {
      switched = true;
      break;
    }
  const double read = ReadVersionNumber("1.5");
  std::setlocale(LC_NUMERIC, saved.c_str());
  if (!switched) GTEST_SKIP() << "no locale with a decimal comma on this machine";
  EXPECT_EQ(read, 1.5);
}

TEST(Load, DuplicateAndNonPositiveIds) {
  const CDictionary dictionary =
      Loaded(FileBytes({Numbered(5), Numbered(7), Numbered(5), Numbered(0), Numbered(-3)}));
  EXPECT_EQ(dictionary.ArticleCount(), 5);
  EXPECT_EQ(dictionary.PositionOf(5), 2);
  EXPECT_EQ(dictionary.PositionOf(7), 1);
  // Unknown ids, and ids never indexed, lead to the first article, every time.
  EXPECT_EQ(dictionary.PositionOf(99), 0);
  EXPECT_EQ(dictionary.PositionOf(99), 0);
  EXPECT_EQ(dictionary.PositionOf(-3), 0);
  EXPECT_EQ(dictionary.ArticleAt(4).id, -3);
}

// Ids that ascend in store order are looked up in the store itself: the same answers.
TEST(Load, AscendingIdsWithGapsAndNonPositiveOnes) {
  const CDictionary dictionary =
      Loaded(FileBytes({Numbered(-3), Numbered(0), Numbered(4), Numbered(9), Numbered(10)}));
  for (const auto& [id, position] : std::vector<std::pair<int32_t, int32_t>>{
           {4, 2}, {9, 3}, {10, 4}, {5, 0}, {11, 0}, {1, 0}, {0, 0}, {-3, 0}, {INT32_MIN, 0}})
    EXPECT_EQ(dictionary.PositionOf(id), position) << id;
}

TEST(Load, PositionOfInAnEmptyStoreSaysThereIsNoArticle) {
  EXPECT_EQ(CDictionary().PositionOf(1), -1);
  EXPECT_EQ(Loaded(FileBytes({})).PositionOf(1), -1);
}

TEST(Load, SynonymGroupMembersInStoreOrder) {
  const CDictionary dictionary =
      Loaded(FileBytes({Numbered(10, 2, 12), Numbered(11), Numbered(12, 2, 12), Numbered(13, 5, 12),
                        Numbered(10, 5, 12), Numbered(14, 2, -1)}));
  EXPECT_EQ(dictionary.SynonymGroupMembers(12), (std::vector<int32_t>{10, 12, 13, 10}));
  EXPECT_TRUE(dictionary.SynonymGroupMembers(0).empty());
  EXPECT_TRUE(dictionary.SynonymGroupMembers(-1).empty());
  EXPECT_TRUE(dictionary.SynonymGroupMembers(99).empty());
}

TEST(Load, CountsTermsByLanguage) {
  std::vector<CArticle> articles;
  for (int i = 1; i <= 500; ++i) articles.push_back(Numbered(i, i <= 300 ? 2 : i <= 450 ? 5 : 7));
  const CDictionary dictionary = Loaded(FileBytes(articles));
  EXPECT_EQ(dictionary.ArticleCount(), 500);
  EXPECT_EQ(dictionary.CountTermsByLanguage(2), 300);
  EXPECT_EQ(dictionary.CountTermsByLanguage(5), 150);
  EXPECT_EQ(dictionary.CountTermsByLanguage(3), 0);
}

TEST(Load, ProgressMovesEveryFiveThousandReadAttempts) {
  std::vector<CArticle> articles(12000, CArticle{.id = 1});
  CRecordedProgress progress;
  CDictionary dictionary;
  dictionary.LoadBytes(FileBytes(articles), "big.dct", &progress);
  EXPECT_EQ(dictionary.ArticleCount(), 12000);
  EXPECT_EQ(progress.range, std::make_pair(0, 45321));
  EXPECT_EQ(progress.positions, (std::vector<int32_t>{0, 0, 5000, 10000}));
}

// Damage inside the records: reading ends there, what came before stays, one report.
struct CDamageCase {
  const char* name;
  std::vector<char> (*tail)();  // bytes after two good records
};

std::vector<char> NegativeCount() {
  std::vector<char> bytes;
  AppendInt32(bytes, 3);
  AppendInt32(bytes, -1);
  return bytes;
}
std::vector<char> CountBeyondTheEnd() {
  std::vector<char> bytes;
  AppendInt32(bytes, 3);
  AppendInt32(bytes, 0x7FFFFFFF);
  bytes.insert(bytes.end(), {'a', 'b'});
  return bytes;
}
std::vector<char> RecordCutAfterItsId() {
  std::vector<char> bytes;
  AppendInt32(bytes, 3);
  return bytes;
}
std::vector<char> RecordCutInItsLastText() {
  std::vector<char> bytes = FileBytes({Numbered(3)});
  bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(FileBytes({}).size()));
  bytes.pop_back();
  return bytes;
}
std::vector<char> GoodRecordAfterADamagedOne() {
  std::vector<char> bytes = NegativeCount();
  const std::vector<char> good = FileBytes({Numbered(4)});
  bytes.insert(bytes.end(), good.begin() + static_cast<std::ptrdiff_t>(FileBytes({}).size()), good.end());
  return bytes;
}

class DamagedRecords : public testing::TestWithParam<CDamageCase> {};

TEST_P(DamagedRecords, KeepWhatWasReadAndReportOnce) {
  std::vector<char> bytes = FileBytes({Numbered(1), Numbered(2)});
  const std::vector<char> tail = GetParam().tail();
  bytes.insert(bytes.end(), tail.begin(), tail.end());
  CRecordedProgress progress;
  CDictionary dictionary;
  dictionary.LoadBytes(bytes, "damaged.dct", &progress);
  EXPECT_TRUE(dictionary.LoadDamaged());
  ASSERT_EQ(dictionary.ArticleCount(), 2);
  EXPECT_EQ(dictionary.PositionOf(2), 1);
  EXPECT_EQ(dictionary.ArticleAt(1).translation, Brake().translation);
  EXPECT_EQ(dictionary.loadState(), CDictionary::LoadState::Loaded);
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedRecords,
                         testing::Values(CDamageCase{"NegativeCount", NegativeCount},
                                         CDamageCase{"CountBeyondTheEnd", CountBeyondTheEnd},
                                         CDamageCase{"RecordCutAfterItsId", RecordCutAfterItsId},
                                         CDamageCase{"RecordCutInItsLastText", RecordCutInItsLastText},
                                         CDamageCase{"GoodRecordAfterADamagedOne",
                                                     GoodRecordAfterADamagedOne}),
                         [](const auto& test) { return std::string(test.param.name); });

std::string Message(const std::vector<char>& bytes) {
  try {
    Loaded(bytes);
  } catch (const CDictionaryError& error) {
    return error.what();
  }
  return "";
}

TEST(Load, FilesThatCannotBeUsedAreReportedByName) {
  const std::vector<char> valid = FileBytes({Numbered(1)});
  EXPECT_EQ(Message({}), TooShortMessage("test.dct"));
  EXPECT_EQ(Message(std::vector<char>(valid.begin(), valid.begin() + 43)), TooShortMessage("test.dct"));
  EXPECT_EQ(Message(std::vector<char>(valid.begin(), valid.begin() + 44)),
            MetadataDamagedMessage("test.dct"));
  EXPECT_EQ(Message(std::vector<char>(valid.begin(), valid.begin() + 60)),
            MetadataDamagedMessage("test.dct"));
  EXPECT_NE(TooShortMessage("test.dct").find("test.dct"), std::string::npos);
  EXPECT_NE(MetadataDamagedMessage("test.dct").find("test.dct"), std::string::npos);
}

TEST(Load, EveryPrefixOfAValidFileLoadsOrFailsCleanly) {
  const std::vector<CArticle> articles = {Brake(), Numbered(2, 5, 1), CArticle{.id = 3, .term = "x"}};
  const std::vector<char> whole = FileBytes(articles);
  std::vector<std::size_t> recordEnds = {FileBytes({}).size()};
  for (std::size_t n = 1; n <= articles.size(); ++n)
    recordEnds.push_back(
        FileBytes({articles.begin(), articles.begin() + static_cast<std::ptrdiff_t>(n)}).size());

  for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
    const std::vector<char> prefix(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
    if (cut < recordEnds[0]) {
      EXPECT_THROW(Loaded(prefix), CDictionaryError) << cut;
      continue;
    }
    const CDictionary dictionary = Loaded(prefix);
    const auto complete =
        std::upper_bound(recordEnds.begin(), recordEnds.end(), cut) - recordEnds.begin() - 1;
    EXPECT_EQ(dictionary.ArticleCount(), complete) << cut;
    // Up to three bytes of a next id are not a record; anything longer is a record cut short.
    EXPECT_EQ(dictionary.LoadDamaged(), cut - recordEnds[complete] >= 4) << cut;
  }
}

class LoadFromDisk : public testing::Test {
 protected:
  CTemporaryFolder temporary;
  std::filesystem::path folder = temporary.path;
};

TEST_F(LoadFromDisk, ReadsTheFileAsItsBytes) {
  const std::vector<char> bytes = FileBytes({Brake(), Numbered(2)});
  const auto path = folder / "carro.dct";
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  CDictionary dictionary;
  dictionary.Load(path.string());
  ASSERT_EQ(dictionary.ArticleCount(), 2);
  EXPECT_EQ(dictionary.ArticleAt(0).definition, Brake().definition);
}

TEST_F(LoadFromDisk, AMissingFileOrAFolderIsReportedByName) {
  const std::string missing = (folder / "нет.dct").string();
  CDictionary dictionary;
  try {
    dictionary.Load(missing);
    FAIL() << "loaded a missing file";
  } catch (const CDictionaryError& error) {
    EXPECT_EQ(std::string(error.what()), CannotOpenMessage(missing));
    EXPECT_NE(std::string(error.what()).find("нет.dct"_cp), std::string::npos);
  }
  EXPECT_THROW(CDictionary().Load(folder.string()), CDictionaryError);
}

// Whatever the name points at, the read ends with the file or with a clear message: never with a
// read that goes on for ever or an allocation beyond the format.
TEST_F(LoadFromDisk, DevicesFoldersAndOverlongStreamsAreRefusedByName) {
  const auto message = [](const std::string& name, std::size_t limit) {
    try {
      ReadDataFile(name, limit);
    } catch (const CDictionaryError& error) {
      return std::string(error.what());
    }
    return std::string("read");
  };
  EXPECT_EQ(message("/dev/zero", kMaxDataFileSize), NotAFileMessage("/dev/zero"));
  EXPECT_EQ(message(folder.string(), kMaxDataFileSize), NotAFileMessage(folder.string()));
  const auto large = folder / "large.dct";
  std::ofstream(large, std::ios::binary) << std::string(1001, 'x');
  EXPECT_EQ(message(large.string(), 1000), TooLargeMessage(large.string()));
  EXPECT_EQ(message(large.string(), 1001), "read");

  // A stream has no size ahead: it is read up to the bound, and refused beyond it.
  const auto fifo = folder / "stream";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // The reader stops early; the writer then meets a closed pipe, which must not end the test.
  const auto previous = std::signal(SIGPIPE, SIG_IGN);
  for (const std::size_t written : {std::size_t{1000}, std::size_t{300000}}) {
    std::thread writer([&] { std::ofstream(fifo, std::ios::binary) << std::string(written, 'y'); });
    const std::string said = message(fifo.string(), 200000);
    writer.join();
    EXPECT_EQ(said, written <= 200000 ? "read" : TooLargeMessage(fifo.string())) << written;
  }
  std::signal(SIGPIPE, previous);
}

}  // namespace
