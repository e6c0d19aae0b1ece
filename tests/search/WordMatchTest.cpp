#include <gtest/gtest.h>

#include "dictionary/Dictionary.h"
#include "text/Cp1251.h"

namespace {

struct CFindCase {
  std::string_view word;
  std::string_view text;
  int32_t start;
  bool wholeWord;
  int32_t found;
};

class FindWord : public testing::TestWithParam<CFindCase> {};

TEST_P(FindWord, FollowsTheMatchingRules) {
  const CFindCase& c = GetParam();
  EXPECT_EQ(CDictionary::FindWord(c.word, c.text, c.start, c.wholeWord), c.found)
      << cp1251::ToUtf8(c.word) << " in " << cp1251::ToUtf8(c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindWord,
    testing::Values(CFindCase{"ДВИГ"_cp, "двигатель"_cp, 0, false, 0},
                    CFindCase{"ДВИГ"_cp, "двигатель"_cp, 0, true, -1},
                    CFindCase{"OIL", "ENGINE-OIL", 0, false, 7}, CFindCase{"OIL", "2OIL", 0, true, 1},
                    CFindCase{"OIL", "BOIL", 0, false, -1}, CFindCase{"OIL", "OIL-PUMP", 0, true, 0},
                    CFindCase{"OIL", "OIL2", 0, true, 0}, CFindCase{"OIL", "OILS", 0, true, -1},
                    CFindCase{"OIL", "OILS oil", 0, true, 5}, CFindCase{"ЁЖ"_cp, "ёж"_cp, 0, true, 0},
                    CFindCase{"ЕЖ"_cp, "ёж"_cp, 0, false, -1}, CFindCase{"OIL", "oil oil", 1, true, 4},
                    CFindCase{"OIL", "oil", 1, false, -1}, CFindCase{"OIL", "oil", 9, false, -1},
                    CFindCase{"OIL", "oi", 0, false, -1}, CFindCase{"OIL", "oil", -5, true, 0},
                    CFindCase{"", "", 0, false, 0}, CFindCase{"", "A  B", 2, false, 2},
                    CFindCase{"", "AB", 1, false, -1}, CFindCase{" B", "A  B", 0, false, 2},
                    CFindCase{"-PUMP", "OIL-PUMP", 0, true, -1},
                    CFindCase{"-PUMP", "OIL -PUMP", 0, true, 4}));

}  // namespace
