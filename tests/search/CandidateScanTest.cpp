#include "search/CandidateScan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "search/Search.h"
#include "tests/support/ScanPaths.h"
#include "text/WordRules.h"

namespace {

using CScan = void (*)(const char*, std::size_t, std::size_t, const CWordFilter*, std::size_t, bool,
                       CCandidateVisit, void*);

CScan ScanOf(CScanPath path) {
#if CARRO_WIDE_SCAN
  if (path == CScanPath::Widest) return ScanCandidatesWidest;
  if (path == CScanPath::Wide) return ScanCandidatesWide;
#endif
  return path == CScanPath::Portable ? ScanCandidatesPortable : nullptr;
}

std::vector<std::size_t> Candidates(CScanPath path, const std::string& text, const CWordFilter& filter,
                                    bool wordStartsOnly) {
  std::vector<std::size_t> found;
  const CCandidateVisit visit = [](void* context, std::size_t p) {
    static_cast<std::vector<std::size_t>*>(context)->push_back(p);
    return p + 1;
  };
  ScanOf(path)(text.data(), 1, text.size(), &filter, 1, wordStartsOnly, visit, &found);
  return found;
}

class CandidateScanOnPath : public testing::TestWithParam<CScanPath> {
 protected:
  void SetUp() override {
    if (!ProcessorRuns(GetParam()) || !ScanOf(GetParam())) GTEST_SKIP() << "the processor lacks this path";
  }
};

// Every byte value before a word, at every offset within a block: asked for word starts, the scan
// keeps exactly the positions after a byte that is no word letter.
TEST_P(CandidateScanOnPath, WordStartsFollowExactlyTheBytesThatAreNoLetters) {
  const CWordFilter oil = {{{0x20, 'o'}, {0x20, 'i'}, {0x20, 'l'}}};
  std::string text = " ";
  std::vector<std::size_t> all;
  std::vector<std::size_t> starts;
  for (int b = 0; b < 256; ++b) {
    text += static_cast<char>(b);
    all.push_back(text.size());
    if (!IsWordLetter(static_cast<unsigned char>(b))) starts.push_back(text.size());
    text += "OiL";
  }
  EXPECT_EQ(Candidates(GetParam(), text, oil, true), starts);
  EXPECT_EQ(Candidates(GetParam(), text, oil, false), all);
}

INSTANTIATE_TEST_SUITE_P(Paths, CandidateScanOnPath, EveryScanPath(), ScanPathName);

}  // namespace
