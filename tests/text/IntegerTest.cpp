#include "text/Integer.h"

#include <gtest/gtest.h>

namespace {

TEST(ParseInt32, TakesOnlyAWholeDecimalNumberInRange) {
  const std::pair<std::string_view, std::optional<int32_t>> cases[] = {
      {"0", 0},
      {"42", 42},
      {"-42", -42},
      {"007", 7},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"2147483648", {}},
      {"-2147483649", {}},
      {"", {}},
      {"-", {}},
      {"+1", {}},
      {" 1", {}},
      {"1 ", {}},
      {"1.0", {}},
      {"0x10", {}},
      {"١", {}},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(ParseInt32(text), value) << text;
}

}  // namespace
